// Textures from image files, with their mip chain.
#include "platform/d3dx/d3dx8.h"

#include <algorithm>
#include <cstring>

#include "platform/d3dx/image_io.h"
#include "platform/win32/paths.h"

namespace {

bool TakesFileSize(UINT size) { return size == 0 || size == D3DX_DEFAULT; }

// Nearest-pixel resampling, for callers that ask for a size of their own.
std::vector<std::uint32_t> Resample(const TImage& src, UINT width, UINT height) {
  std::vector<std::uint32_t> out(static_cast<size_t>(width) * height);
  for (UINT y = 0; y < height; ++y) {
    const size_t sy = static_cast<size_t>(y) * src.Height / height;
    for (UINT x = 0; x < width; ++x) {
      const size_t sx = static_cast<size_t>(x) * src.Width / width;
      out[static_cast<size_t>(y) * width + x] = src.Pixels[sy * src.Width + sx];
    }
  }
  return out;
}

// One mip level from the one above: each pixel averages its 2×2 block
// (fewer at an odd edge), channel by channel, rounded.
std::vector<std::uint32_t> HalveBox(const std::vector<std::uint32_t>& src, UINT w, UINT h, UINT nw, UINT nh) {
  std::vector<std::uint32_t> out(static_cast<size_t>(nw) * nh);
  for (UINT y = 0; y < nh; ++y) {
    const UINT y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
    for (UINT x = 0; x < nw; ++x) {
      const UINT x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
      const std::uint32_t p[4] = {src[y0 * w + x0], src[y0 * w + x1], src[y1 * w + x0], src[y1 * w + x1]};
      std::uint32_t result = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        std::uint32_t sum = 2;
        for (std::uint32_t v : p) sum += (v >> shift) & 0xFF;
        result |= (sum / 4) << shift;
      }
      out[static_cast<size_t>(y) * nw + x] = result;
    }
  }
  return out;
}

D3DXIMAGE_FILEFORMAT FileFormatCode(TImageFileFormat f) {
  switch (f) {
    case TImageFileFormat::Bmp: return D3DXIFF_BMP;
    case TImageFileFormat::Jpeg: return D3DXIFF_JPG;
    case TImageFileFormat::Tga: return D3DXIFF_TGA;
    case TImageFileFormat::Png: return D3DXIFF_PNG;
  }
  return D3DXIFF_BMP;
}

HRESULT FillLevel(IDirect3DTexture8* texture, UINT level, const std::vector<std::uint32_t>& pixels, UINT width) {
  D3DLOCKED_RECT locked{};
  const HRESULT hr = texture->LockRect(level, &locked, nullptr, 0);
  if (FAILED(hr)) return hr;
  const size_t rows = pixels.size() / width;
  for (size_t y = 0; y < rows; ++y)
    std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, pixels.data() + y * width, width * 4);
  return texture->UnlockRect(level);
}

}  // namespace

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* pDevice, const char* pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT, D3DPOOL Pool, DWORD, DWORD,
                                     D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, void*,
                                     IDirect3DTexture8** ppTexture) {
  if (!ppTexture) return D3DERR_INVALIDCALL;
  *ppTexture = nullptr;
  if (!pDevice || !pSrcFile) return D3DERR_INVALIDCALL;

  TImage image;
  if (!DecodeImageFile(ResolvePath(pSrcFile), image)) return D3DXERR_INVALIDDATA;
  if (pSrcInfo) {
    pSrcInfo->Width = static_cast<UINT>(image.Width);
    pSrcInfo->Height = static_cast<UINT>(image.Height);
    pSrcInfo->Depth = 1;
    pSrcInfo->MipLevels = 1;
    pSrcInfo->Format = image.HasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_R8G8B8;
    pSrcInfo->ResourceType = D3DRTYPE_TEXTURE;
    pSrcInfo->ImageFileFormat = FileFormatCode(image.FileFormat);
  }

  UINT width = TakesFileSize(Width) ? static_cast<UINT>(image.Width) : Width;
  UINT height = TakesFileSize(Height) ? static_cast<UINT>(image.Height) : Height;
  std::vector<std::uint32_t> level =
      width == static_cast<UINT>(image.Width) && height == static_cast<UINT>(image.Height)
          ? std::move(image.Pixels)
          : Resample(image, width, height);
  if (ColorKey != 0)
    std::replace(level.begin(), level.end(), static_cast<std::uint32_t>(ColorKey), std::uint32_t{0});

  IDirect3DTexture8* texture = nullptr;
  const UINT levels = MipLevels == D3DX_DEFAULT ? 0 : MipLevels;
  HRESULT hr = pDevice->CreateTexture(width, height, levels, Usage, D3DFMT_A8R8G8B8, Pool, &texture);
  if (FAILED(hr) || !texture) return FAILED(hr) ? hr : D3DERR_INVALIDCALL;

  const DWORD count = texture->GetLevelCount();
  for (DWORD l = 0; l < count; ++l) {
    if (l > 0) {
      const UINT nw = std::max(1u, width / 2), nh = std::max(1u, height / 2);
      level = HalveBox(level, width, height, nw, nh);
      width = nw;
      height = nh;
    }
    hr = FillLevel(texture, l, level, width);
    if (FAILED(hr)) {
      texture->Release();
      return hr;
    }
  }
  *ppTexture = texture;
  return D3D_OK;
}
