// Textures from image files, world matrices from scale/position/rotation, and
// T3DSprite: a textured unit square (quad B of the shared vertex buffer).
#pragma once

#include <string>

#include "platform/d3d8/d3d8.h"

// What a drawable object needs: its transform values, the matrix built from
// them, and its texture (released by the owner).
struct TTexMatrix {
  D3DVECTOR Scale{};
  D3DVECTOR Position{};
  D3DVECTOR Rotation{};  // radians about x, y, z
  D3DMATRIX World{};
  IDirect3DTexture8* Texture = nullptr;
};

// Releases what Texture holds, then loads FileName with a full mip chain.
// On failure Texture is nullptr; nothing is reported.
void LoadTexture(IDirect3DDevice8* Device, const std::string& FileName, IDirect3DTexture8*& Texture);

// World = S · Rz · Ry · Rx · T.
void BuildWorldMatrix(const D3DVECTOR& Scale, const D3DVECTOR& Position, const D3DVECTOR& Rotation,
                      D3DMATRIX& World);

// Decodes the JPEG FileName and writes it as a 24-bit BMP beside it (same
// name, ".bmp"). Raises EInOutError on a missing or damaged file.
void JpegToBmp(const std::string& FileName);

class T3DSprite {
 public:
  T3DSprite(IDirect3DDevice8* Device, const std::string& FileName);
  ~T3DSprite();
  T3DSprite(const T3DSprite&) = delete;
  T3DSprite& operator=(const T3DSprite&) = delete;

  void Draw();

  IDirect3DDevice8* Device = nullptr;
  D3DMATRIX World{};
  D3DVECTOR Scale{};
  D3DVECTOR Position{};
  D3DVECTOR Rotation{};
  IDirect3DTexture8* Texture = nullptr;
};
