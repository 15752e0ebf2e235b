// Textures from image files, with their mip chain.
#include "platform/d3dx/d3dx8.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/d3d8/device_common.h"
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

// ---- Decoding ahead ----------------------------------------------------------

struct TAheadPicture {
  enum { Queued, Decoding, Done } State = Queued;
  TImage Image;
  bool Decoded = false;
};

class TDecodeAhead {
 public:
  ~TDecodeAhead() { Clear(); }

  void Add(const std::vector<std::string>& paths) {
    std::lock_guard<std::mutex> lock(M);
    for (const std::string& path : paths)
      if (Pictures.try_emplace(path).second) Queue.push_back(path);
    if (Running || Queue.empty()) return;
    if (Worker.joinable()) Worker.join();  // finished: its loop has ended
    Running = true;
    Worker = std::thread([this] { Work(); });
  }

  // 1: decoded ahead (image filled), 0: the file does not decode, -1: not
  // ahead (the caller decodes it itself).
  int Take(const std::string& path, TImage& image) {
    std::unique_lock<std::mutex> lock(M);
    auto it = Pictures.find(path);
    if (it == Pictures.end()) return -1;
    if (it->second.State == TAheadPicture::Queued) {
      Pictures.erase(it);  // the worker skips it
      return -1;
    }
    Changed.wait(lock, [&] { return it->second.State == TAheadPicture::Done; });
    const int result = it->second.Decoded ? 1 : 0;
    image = std::move(it->second.Image);
    Pictures.erase(it);
    Changed.notify_all();  // room for the worker to go on
    return result;
  }

  std::size_t Pending() {
    std::lock_guard<std::mutex> lock(M);
    return Pictures.size();
  }

  void Clear() {
    {
      std::lock_guard<std::mutex> lock(M);
      Queue.clear();
      Changed.notify_all();
    }
    if (Worker.joinable()) Worker.join();
    std::lock_guard<std::mutex> lock(M);
    Pictures.clear();
  }

 private:
  // Decoded pictures waiting to be taken, at most: the worker stays this
  // far ahead, so that they do not all sit in memory at once.
  static constexpr int MaxWaiting = 2;

  int Waiting() const {
    int n = 0;
    for (const auto& [path, picture] : Pictures) n += picture.State == TAheadPicture::Done ? 1 : 0;
    return n;
  }

  void Work() {
    std::unique_lock<std::mutex> lock(M);
    while (!Queue.empty()) {
      Changed.wait(lock, [&] { return Queue.empty() || Waiting() < MaxWaiting; });
      if (Queue.empty()) break;
      const std::string path = Queue.front();
      Queue.pop_front();
      auto it = Pictures.find(path);
      if (it == Pictures.end() || it->second.State != TAheadPicture::Queued) continue;
      it->second.State = TAheadPicture::Decoding;
      lock.unlock();
      TImage image;
      const bool decoded = DecodeImageFile(path, image);
      lock.lock();
      it->second.Image = std::move(image);  // map nodes stay put; only Take erases a Decoding one after Done
      it->second.Decoded = decoded;
      it->second.State = TAheadPicture::Done;
      Changed.notify_all();
    }
    Running = false;
  }

  std::mutex M;
  std::condition_variable Changed;
  std::map<std::string, TAheadPicture> Pictures;  // by resolved path
  std::deque<std::string> Queue;
  std::thread Worker;
  bool Running = false;
};

TDecodeAhead& Ahead() {
  static TDecodeAhead ahead;
  return ahead;
}

}  // namespace

void D3DXDecodeAhead(const std::vector<std::string>& Files) {
  std::vector<std::string> paths;
  paths.reserve(Files.size());
  for (const std::string& file : Files) paths.push_back(ResolvePath(file));
  Ahead().Add(paths);
}

std::size_t D3DXDecodeAheadPending() { return Ahead().Pending(); }

void D3DXDecodeAheadClear() { Ahead().Clear(); }

void ReturnLargeBuffers(bool On) {
#if defined(__GLIBC__)
  // A fixed threshold also stops glibc from raising it by itself.
  mallopt(M_MMAP_THRESHOLD, On ? 256 * 1024 : 32 * 1024 * 1024);
#else
  (void)On;
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* pDevice, const char* pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT, D3DPOOL Pool, DWORD, DWORD,
                                     D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, void*,
                                     IDirect3DTexture8** ppTexture) {
  if (!ppTexture) return D3DERR_INVALIDCALL;
  *ppTexture = nullptr;
  if (!pDevice || !pSrcFile) return D3DERR_INVALIDCALL;

  TImage image;
  const std::string path = ResolvePath(pSrcFile);
  const int ahead = Ahead().Take(path, image);
  if (ahead == 0 || (ahead < 0 && !DecodeImageFile(path, image))) return D3DXERR_INVALIDDATA;
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
  // A device that makes mip levels when first sampled gets them marked
  // instead: the game samples none, and they cost a third more memory.
  auto* mem = dynamic_cast<d3d8::TMemTexture*>(texture);
  const bool derive = mem && mem->Owner && mem->Owner->DerivesLevelsOnDemand();
  for (DWORD l = 0; l < count; ++l) {
    if (l > 0 && derive) {
      mem->DeriveLevel(l);
      continue;
    }
    if (l > 0) {
      level = d3d8::HalveLevel(level, width, height);
      width = std::max(1u, width / 2);
      height = std::max(1u, height / 2);
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
