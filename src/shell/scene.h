// The Direct3D objects of the program (one Direct3D object, one device, one
// vertex buffer holding every piece of built-in geometry), their creation and
// release, the fixed render states and lights, and the frame render.
#pragma once

#include <cstdint>

#include "game/game_types.h"
#include "platform/d3d8/d3d8.h"

// One vertex of the shared buffer: position, normal, diffuse, one uv pair.
struct TSceneVertex {
  float X, Y, Z;
  float NX, NY, NZ;
  D3DCOLOR Diffuse;
  float U, V;
};
static_assert(sizeof(TSceneVertex) == 36, "the vertex buffer's layout is 36 bytes per vertex");

constexpr DWORD D3DFVF_SCENEVERTEX = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;  // 0x152

// The five ranges InitGeometry adds, in Collector order (range numbers).
constexpr int RangeQuadA = 1;  // scratch quad: glyphs and particles rewrite it
constexpr int RangeQuadB = 2;  // white unit square: sprites, planes, backdrops
constexpr int RangeCube = 3;
constexpr int RangeBomb = 4;
constexpr int RangeStone = 5;

constexpr int QuadTriangles = 2;
constexpr int CubeTriangles = 204;
constexpr int BombTriangles = 354;
constexpr int StoneTriangles = 44;

// First vertex of each range (3 × the range's first triangle).
constexpr UINT QuadAFirstVertex = 0;
constexpr UINT QuadBFirstVertex = 6;
constexpr UINT CubeFirstVertex = 12;
constexpr UINT BombFirstVertex = 624;
constexpr UINT StoneFirstVertex = 1686;
constexpr int SceneTriangles = 2 * QuadTriangles + CubeTriangles + BombTriangles + StoneTriangles;  // 606

// The room is centred here; camera target and room light stand above it.
constexpr double SceneOriginX = -1.8;
constexpr double SceneOriginY = -0.25;

// The camera's view of the plane z = 0: the full-screen pictures and the
// cursor mapping use this rectangle (world units).
constexpr float ViewWidth = 14.45f;
constexpr float ViewHeight = 10.8375f;
// The picture's proportions (ViewWidth : ViewHeight); a screen of another
// shape shows it between bars.
constexpr int PictureAspectW = 4;
constexpr int PictureAspectH = 3;

// Clear colour of every frame (alpha 2, a deep blue).
constexpr D3DCOLOR ClearColor = 0x02215BFF;

extern IDirect3D8* D3D;
extern IDirect3DDevice8* D3DDevice;
extern IDirect3DVertexBuffer8* VertexBuffer;
extern TCollector Collector;

// Creates the Direct3D object and the device on Window. Fullscreen uses
// Width × Height at ColorBits (16 or 32, anything else fails); windowed uses
// the window's client size. BackBufferCount 0 means one.
bool InitD3D(HWND Window, bool Fullscreen, std::int32_t Width, std::int32_t Height, std::int32_t ColorBits,
             std::int32_t BackBufferCount, bool Hardware, bool DepthBuffer);
// Font textures, vertex buffer, device, Direct3D object; never throws.
void ReleaseGraphics();
void SetupRenderStates();
void SetupLights();
// Light 1 follows the cursor (x, y of the cursor sprite, z 1.05).
void MoveCursorLight(float X, float Y);
// Fills a new vertex buffer with the two quads and the three models.
HRESULT InitGeometry();
// Draws the current game state and presents it; the first failing code of
// Clear, BeginScene, EndScene or Present.
HRESULT RenderFrame();
// Rewrites quad A with every vertex at depth Z and diffuse Color.
void RecolorQuad(D3DCOLOR Color, float Z);
// Writes the six vertices of a quad (hx, hy half sizes; U, V texture extents).
void WriteQuad(TSceneVertex* Out, float hx, float hy, float z, float U, float V, D3DCOLOR Color);

// The camera: eye from Options (or the start eye without it), fixed target.
D3DMATRIX SceneViewMatrix();
D3DMATRIX SceneProjectionMatrix();
