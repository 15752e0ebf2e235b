// The Direct3D objects, the fixed states and lights, the shared vertex buffer
// and the frame render.
#include "shell/scene.h"

#include <cstring>
#include <exception>

#include "frontend/cursor.h"
#include "frontend/fonts.h"
#include "frontend/hiscores.h"
#include "frontend/loading_bar.h"
#include "frontend/menu.h"
#include "game/game.h"
#include "replay/links.h"
#include "shell/debug_log.h"
#include "shell/form_main.h"
#include "shell/frame_pacer.h"
#include "shell/input.h"
#include "shell/math/d3dmath.h"
#include "shell/models.h"
#include "shell/options.h"

IDirect3D8* D3D = nullptr;
IDirect3DDevice8* D3DDevice = nullptr;
IDirect3DVertexBuffer8* VertexBuffer = nullptr;
TCollector Collector;

namespace {

const D3DVECTOR StartEye{static_cast<float>(SceneOriginX), static_cast<float>(SceneOriginY), 12.7f};
const D3DVECTOR CameraTarget{static_cast<float>(SceneOriginX), static_cast<float>(SceneOriginY), 0};

D3DLIGHT8 PointLight(float intensity, const D3DVECTOR& position, float range, float a0, float a1, float a2) {
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = light.Specular = light.Ambient = D3DCOLORVALUE{intensity, intensity, intensity, 0};
  light.Position = position;
  light.Range = range;
  light.Attenuation0 = a0;
  light.Attenuation1 = a1;
  light.Attenuation2 = a2;
  return light;
}

// Light 1 keeps its last position between cursor moves.
D3DLIGHT8 CursorLight = PointLight(0.8f, D3DVECTOR{0, 0, 1.05f}, 0.6f, 0.6f, 0, 3);

// Writes a model's triangles as the buffer wants them: x mirrored (the
// tables are right-handed), v mirrored, Scale applied.
TSceneVertex* WriteModel(TSceneVertex* out, const TModel& model, float scale) {
  for (const auto& tri : model.Triangles)
    for (int corner = 0; corner < 3; ++corner) {
      const D3DVECTOR& p = model.Positions[tri[corner]];
      const D3DVECTOR& n = model.Normals[tri[3 + corner]];
      const TModelUV& t = model.TexCoords[tri[6 + corner]];
      *out++ = TSceneVertex{-p.x * scale, p.y * scale, p.z * scale, -n.x, n.y, n.z, 0xFFFFFFFF, t.U, -t.V};
    }
  return out;
}

// The overlays are skipped while the game is over, and on a finale level's
// completion (its cubes fly off with nothing in front).
bool MenuOverlayShown() {
  if (GameState == gsGameOver) return false;
  if (!Game) return true;
  if (Game->EndPhase == epGameOver) return false;
  return !(Game->EndPhase == epLevelDone && Game->CurrentLevel().Kind == 1);
}

bool CursorShown() {
  if (GameState != gsGame || !Game) return true;
  return Game->Quiet && Game->EndPhase != epLevelDone && Game->EndPhase != epGameOver;
}

}  // namespace

D3DMATRIX SceneViewMatrix() {
  D3DMATRIX view = IdentityMatrix;
  MatrixView(view, Options ? Options->CameraEye : StartEye, CameraTarget, D3DVECTOR{0, 0, 1});
  return view;
}

D3DMATRIX SceneProjectionMatrix() {
  D3DMATRIX projection = IdentityMatrix;
  MatrixProjection(projection, 0.8f, 0.75f, 0.01f, 200.0f);
  return projection;
}

bool InitD3D(HWND Window, bool Fullscreen, std::int32_t Width, std::int32_t Height, std::int32_t ColorBits,
             std::int32_t BackBufferCount, bool Hardware, bool DepthBuffer) {
  DebugLog(false, " Inintialize D3D");
  if (!D3D) D3D = Direct3DCreate8(D3D_SDK_VERSION);
  if (!D3D) return false;

  D3DPRESENT_PARAMETERS params{};
  params.Windowed = Fullscreen ? FALSE : TRUE;
  params.SwapEffect = D3DSWAPEFFECT_DISCARD;
  params.hDeviceWindow = Window;
  params.FullScreen_PresentationInterval = FramesCapped() ? D3DPRESENT_INTERVAL_DEFAULT : D3DPRESENT_INTERVAL_IMMEDIATE;
  if (DepthBuffer) {
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D16;
  }
  if (Fullscreen) {
    params.BackBufferWidth = static_cast<UINT>(Width);
    params.BackBufferHeight = static_cast<UINT>(Height);
    params.BackBufferCount = static_cast<UINT>(BackBufferCount);
    if (ColorBits == 16)
      params.BackBufferFormat = D3DFMT_R5G6B5;
    else if (ColorBits == 32)
      params.BackBufferFormat = D3DFMT_A8R8G8B8;
    else
      return false;
  } else {
    D3DDISPLAYMODE mode{};
    if (FAILED(D3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode))) return false;
    params.BackBufferFormat = mode.Format;
  }

  SafeRelease(D3DDevice);
  const HRESULT hr = D3D->CreateDevice(D3DADAPTER_DEFAULT, Hardware ? D3DDEVTYPE_HAL : D3DDEVTYPE_REF, Window,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params, &D3DDevice);
  if (FAILED(hr) || !D3DDevice) {
    D3DDevice = nullptr;
    return false;
  }
  // The scene is laid out for 4 : 3; other screens get bars, not a stretch.
  D3DDevice->SetPictureAspect(PictureAspectW, PictureAspectH);
  DebugLog(false, " D3D initialized");
  return true;
}

void ReleaseGraphics() {
  try {
    DebugLog(false, " Closing DGfx");
    FreeFontTextures();
    DebugLog(false, " Font released");
    if (VertexBuffer) {
      SafeRelease(VertexBuffer);
      DebugLog(false, " VB released");
    }
    if (D3DDevice) {
      SafeRelease(D3DDevice);
      DebugLog(false, " D3DDevice released");
    }
    if (D3D) {
      SafeRelease(D3D);
      DebugLog(false, " D3D released");
    }
  } catch (const std::exception&) {
    // Shutting down must go on whatever failed; the log may be what failed.
    try {
      DebugLog(false, " D3D released with exception");
    } catch (const std::exception&) {
    }
  }
}

void SetupRenderStates() {
  if (!D3DDevice) return;
  IDirect3DDevice8* d = D3DDevice;
  d->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  d->SetRenderState(D3DRS_ZENABLE, TRUE);
  d->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
  d->SetRenderState(D3DRS_LIGHTING, TRUE);
  d->SetRenderState(D3DRS_AMBIENT, 0x00666666);
  d->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
  d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_LESS);
  d->SetRenderState(D3DRS_ALPHAREF, 10);
  d->SetRenderState(D3DRS_CLIPPLANEENABLE, 1);
  d->SetRenderState(D3DRS_CLIPPING, TRUE);
}

void SetupLights() {
  if (!D3DDevice) return;
  const D3DLIGHT8 room = PointLight(
      0.3f, D3DVECTOR{static_cast<float>(SceneOriginX), static_cast<float>(SceneOriginY), 10}, 16, 1, 0, 0);
  CursorLight = PointLight(0.8f, D3DVECTOR{0, 0, 1.05f}, 0.6f, 0.6f, 0, 3);
  D3DDevice->SetLight(0, &room);
  D3DDevice->LightEnable(0, TRUE);
  D3DDevice->SetLight(1, &CursorLight);
  D3DDevice->LightEnable(1, TRUE);
}

void MoveCursorLight(float X, float Y) {
  CursorLight.Position = D3DVECTOR{X, Y, 1.05f};
  if (!D3DDevice) return;
  D3DDevice->SetTransform(D3DTS_WORLD, &IdentityMatrix);
  D3DDevice->SetLight(1, &CursorLight);
}

void WriteQuad(TSceneVertex* Out, float hx, float hy, float z, float U, float V, D3DCOLOR Color) {
  const float corners[6][4] = {{hx, -hy, 0, V}, {-hx, -hy, U, V}, {hx, hy, 0, 0},
                               {hx, hy, 0, 0},  {-hx, -hy, U, V}, {-hx, hy, U, 0}};
  for (const auto& c : corners) *Out++ = TSceneVertex{c[0], c[1], z, 0, 0, 1, Color, c[2], c[3]};
}

HRESULT InitGeometry() {
  // A new device starts over: the five ranges are always the first five.
  Collector = TCollector{};
  Collector.Add(QuadTriangles);
  Collector.Add(QuadTriangles);
  Collector.Add(CubeTriangles);
  Collector.Add(BombTriangles);
  Collector.Add(StoneTriangles);

  SafeRelease(VertexBuffer);
  if (!D3DDevice) return E_FAIL;
  const UINT bytes = static_cast<UINT>(Collector.Total) * 3 * sizeof(TSceneVertex);
  HRESULT hr = D3DDevice->CreateVertexBuffer(bytes, 0, D3DFVF_SCENEVERTEX, D3DPOOL_MANAGED, &VertexBuffer);
  if (FAILED(hr)) return hr;
  hr = D3DDevice->SetStreamSource(0, VertexBuffer, sizeof(TSceneVertex));
  if (FAILED(hr)) return hr;
  hr = D3DDevice->SetVertexShader(D3DFVF_SCENEVERTEX);
  if (FAILED(hr)) return hr;

  BYTE* data = nullptr;
  hr = VertexBuffer->Lock(0, 0, &data, 0);
  if (FAILED(hr)) return hr;
  TSceneVertex* out = reinterpret_cast<TSceneVertex*>(data);
  WriteQuad(out, 0.5f, 0.5f, 0, 1, 1, 0xFFFFFFFF);
  WriteQuad(out + 6, 0.5f, 0.5f, 0, 1, 1, 0xFFFFFFFF);
  out = WriteModel(out + 12, CubeModel(), 1.0f);
  out = WriteModel(out, BombModel(), BombLoadScale);
  WriteModel(out, StoneModel(), 1.0f);
  VertexBuffer->Unlock();
  DebugLog(false, " Vertices initialized");
  return D3D_OK;
}

void RecolorQuad(D3DCOLOR Color, float Z) {
  if (!VertexBuffer) return;
  BYTE* data = nullptr;
  if (FAILED(VertexBuffer->Lock(0, 6 * sizeof(TSceneVertex), &data, 0))) return;
  WriteQuad(reinterpret_cast<TSceneVertex*>(data), 0.5f, 0.5f, Z, 1, 1, Color);
  VertexBuffer->Unlock();
}

HRESULT RenderFrame() {
  if (GameState == gsLaunch) return D3D_OK;
  if (!D3DDevice) return E_FAIL;
  IDirect3DDevice8* d = D3DDevice;
  HRESULT hr = d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, ClearColor, 1.0f, 0);
  if (FAILED(hr)) return hr;
  hr = d->BeginScene();
  if (FAILED(hr)) return hr;

  const D3DMATRIX view = SceneViewMatrix();
  const D3DMATRIX projection = SceneProjectionMatrix();
  d->SetTransform(D3DTS_VIEW, &view);
  d->SetTransform(D3DTS_PROJECTION, &projection);
  d->SetTransform(D3DTS_WORLD, &IdentityMatrix);
  d->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);

  if (GameState == gsLoading) {
    if (LoadingBar) LoadingBar->Draw();
  } else {
    if (GameState == gsMenu || GameState == gsHiScores || GameState == gsGameOver || GameState == gsHelp)
      DrawBackdrop();
    if (GameState == gsHiScores && HiScores) {
      HiScores->DrawScores(TotalTime);
      replay::DrawReplayMarks();  // entries with a replay (replay/links)
    }
    if (GameState == gsGame) DrawGame();
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    if (GameState == gsGame) DrawBoardCursor();
    if (MenuOverlayShown()) DrawMenu();
    if (CursorShown()) DrawCursor(CursorMode);
    d->SetRenderState(D3DRS_ZENABLE, TRUE);
  }

  hr = d->EndScene();
  if (FAILED(hr)) return hr;
  return d->Present(nullptr, nullptr, nullptr, nullptr);
}
