// Textures from image files, world matrices, JPEG→BMP conversion and the
// one-call textured square every 2D-in-3D picture is drawn with.
#include "shell/textures.h"

#include <cstdint>
#include <vector>

#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/image_io.h"
#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "shell/math/d3dmath.h"

void LoadTexture(IDirect3DDevice8* Device, const std::string& FileName, IDirect3DTexture8*& Texture) {
  SafeRelease(Texture);
  if (!Device) return;
  IDirect3DTexture8* loaded = nullptr;
  const HRESULT hr = D3DXCreateTextureFromFileExA(Device, FileName.c_str(), 0, 0, 0, 0, D3DFMT_UNKNOWN,
                                                  D3DPOOL_MANAGED, D3DX_FILTER_TRIANGLE, D3DX_DEFAULT, 0,
                                                  nullptr, nullptr, &loaded);
  if (FAILED(hr)) {
    // A missing picture leaves the slot empty; the quad then shows untextured.
    SafeRelease(loaded);
    return;
  }
  Texture = loaded;
}

void BuildWorldMatrix(const D3DVECTOR& Scale, const D3DVECTOR& Position, const D3DVECTOR& Rotation,
                      D3DMATRIX& World) {
  // MatrixMultiply(A, B) applies B first. The products are formed in the
  // same grouping as the game always has, so rounding matches.
  const D3DMATRIX rx = MatrixRotationX(Rotation.x);
  const D3DMATRIX ry = MatrixRotationY(Rotation.y);
  const D3DMATRIX rz = MatrixRotationZ(Rotation.z);
  const D3DMATRIX ryx = MatrixMultiply(rx, ry);      // Ry · Rx
  const D3DMATRIX rzyx = MatrixMultiply(ryx, rz);    // Rz · (Ry · Rx)
  const D3DMATRIX rt = MatrixMultiply(MatrixTranslation(Position), rzyx);
  World = MatrixMultiply(rt, MatrixScaling(Scale));  // S · that
}

void JpegToBmp(const std::string& FileName) {
  const std::string source = ResolvePath(FileName);
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  if (!DecodeJpegFile(source, width, height, rgb)) throw EInOutError(FileName, "cannot read this JPEG picture");

  std::string target = FileName;
  const std::size_t slash = target.find_last_of("/\\");
  const std::size_t dot = target.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) target.erase(dot);
  target += ".bmp";
  // The bitmap goes where the game may write: the game folder may be read-only.
  if (!WriteBmp24(WritablePath(target), width, height, rgb)) throw EInOutError(target, "cannot write the bitmap");
}

T3DSprite::T3DSprite(IDirect3DDevice8* Device_, const std::string& FileName) : Device(Device_) {
  if (Device) Device->AddRef();
  World = IdentityMatrix;
  LoadTexture(Device, FileName, Texture);
}

T3DSprite::~T3DSprite() {
  SafeRelease(Texture);
  SafeRelease(Device);
}

void T3DSprite::Draw() {
  if (!Device) return;
  BuildWorldMatrix(Scale, Position, Rotation, World);
  Device->SetTexture(0, Texture);
  Device->SetTransform(D3DTS_WORLD, &World);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2);  // quad B
  Device->SetTexture(0, nullptr);
}
