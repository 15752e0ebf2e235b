// What both device backends share: reference counting, the device state with
// Direct3D 8's defaults, and textures / vertex buffers kept in system memory
// (the managed pool: the CPU copy is the master, a GPU copy follows it).
#pragma once

#include <array>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace d3d8 {

// AddRef/Release for one interface; the last Release deletes.
template <typename Interface>
class TRefCounted : public Interface {
 public:
  ULONG AddRef() override { return ++Refs; }
  ULONG Release() override {
    const ULONG left = --Refs;
    if (left == 0) delete this;
    return left;
  }
  ULONG RefCount() const { return Refs; }

 private:
  ULONG Refs = 1;  // everything runs on one thread
};

constexpr DWORD RenderStateCount = 256;  // D3DRENDERSTATETYPE values stay below this
constexpr DWORD StageStateCount = 32;    // D3DTEXTURESTAGESTATETYPE values stay below this
constexpr DWORD StageCount = 8;
constexpr DWORD LightCount = 8;
// The one vertex format the backends draw: position, normal, diffuse, one uv pair.
constexpr DWORD VertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr UINT VertexSize = 36;  // bytes

class TDevice;

// A texture: every mip level as A8R8G8B8 DWORDs (B, G, R, A bytes in memory).
// A device whose GPU keeps its own copy may release a level's pixels once it
// has them; locking the level again fetches them back from the device.
class TMemTexture : public TRefCounted<IDirect3DTexture8> {
 public:
  TMemTexture(TDevice* owner, UINT width, UINT height, UINT levels);

  DWORD GetLevelCount() override;
  HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
  HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const void* pRect, DWORD Flags) override;
  HRESULT UnlockRect(UINT Level) override;

  UINT Width(UINT level = 0) const;
  UINT Height(UINT level = 0) const;
  const std::vector<DWORD>& Pixels(UINT level) const { return Levels[level]; }
  DWORD Pixel(UINT level, UINT x, UINT y) const { return Levels[level][y * Width(level) + x]; }
  // Whether the level's pixels are in memory (not released to the device,
  // not a level still to be derived).
  bool HasPixels(UINT level) const { return !Released[level] && !Derived[level]; }
  // The device has the level's pixels: free them here.
  void ReleasePixels(UINT level);
  // Brings a released level back (from the device); false if it cannot.
  bool RestorePixels(UINT level);
  // Level (> 0) is the 2×2 box average of the level above, made only when
  // something needs it: a lock, or a draw that samples it. Until then it
  // takes no memory here or in the GPU copy.
  void DeriveLevel(UINT level);
  bool IsDerived(UINT level) const { return Derived[level]; }
  // Makes a derived level's pixels now; false if the level above cannot be had.
  bool MakeLevel(UINT level);

  // The device that created it; nullptr once that device is gone.
  TDevice* Owner;
  // Bumped on every UnlockRect, so a GPU copy knows when to follow.
  unsigned Version = 0;

 protected:
  ~TMemTexture() override;

 private:
  UINT BaseWidth, BaseHeight;
  std::vector<std::vector<DWORD>> Levels;
  std::vector<bool> Locked, Released, Derived;
};

// One mip level from the one above: each pixel the rounded average of its
// 2×2 block, channel by channel (an odd edge repeats its last row or column).
std::vector<DWORD> HalveLevel(const std::vector<DWORD>& src, UINT w, UINT h);

class TMemVertexBuffer : public TRefCounted<IDirect3DVertexBuffer8> {
 public:
  TMemVertexBuffer(TDevice* owner, UINT length, DWORD fvf);

  HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override;
  HRESULT Unlock() override;

  const std::vector<BYTE>& Bytes() const { return Data; }
  DWORD FVF() const { return Format; }
  bool IsLocked() const { return Locked; }

  TDevice* Owner;
  // The byte range written since the GPU copy was last brought up to date
  // (DirtyEnd == 0: nothing).
  UINT DirtyBegin = 0, DirtyEnd = 0;

 protected:
  ~TMemVertexBuffer() override;

 private:
  std::vector<BYTE> Data;
  DWORD Format;
  bool Locked = false;
  UINT LockBegin = 0, LockEnd = 0;
};

// Everything a Set* call changes, with Direct3D 8's values at device creation.
struct TDeviceState {
  std::array<DWORD, RenderStateCount> RenderStates{};
  std::array<std::array<DWORD, StageStateCount>, StageCount> StageStates{};
  D3DMATRIX World{}, View{}, Projection{};
  D3DMATERIAL8 Material{};
  std::array<D3DLIGHT8, LightCount> Lights{};
  std::array<bool, LightCount> LightEnabled{};
  std::array<IDirect3DTexture8*, StageCount> Textures{};  // the device holds a reference
  IDirect3DVertexBuffer8* Stream = nullptr;                // the device holds a reference
  UINT Stride = 0;
  DWORD VertexShader = 0;
  bool InScene = false;

  // autoDepth: the device has an automatic depth buffer (ZENABLE starts TRUE).
  void Reset(bool autoDepth);
  DWORD RenderState(D3DRENDERSTATETYPE s) const { return RenderStates[s]; }
  DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE t) const { return StageStates[stage][t]; }
};

// The part of IDirect3DDevice8 both backends do the same way: state keeping,
// argument checks, resource creation and bookkeeping. A backend overrides the
// hooks to act on what changed.
class TDevice : public TRefCounted<IDirect3DDevice8> {
 public:
  explicit TDevice(bool autoDepth);

  HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
  HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
  HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
  HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override;
  HRESULT SetTexture(DWORD Stage, IDirect3DTexture8* pTexture) override;
  HRESULT SetMaterial(const D3DMATERIAL8* pMaterial) override;
  HRESULT SetLight(DWORD Index, const D3DLIGHT8* pLight) override;
  HRESULT LightEnable(DWORD Index, BOOL Enable) override;
  HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                             IDirect3DVertexBuffer8** ppVertexBuffer) override;
  HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                        IDirect3DTexture8** ppTexture) override;
  HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData, UINT Stride) override;
  HRESULT SetVertexShader(DWORD Handle) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT SetPictureAspect(UINT Width, UINT Height) override;

  const TDeviceState& State() const { return S; }

  // A texture / vertex buffer of this device, or nullptr (foreign or null).
  TMemTexture* OwnTexture(IDirect3DTexture8* t) const;
  TMemVertexBuffer* OwnVertexBuffer(IDirect3DVertexBuffer8* vb) const;

  // Resource bookkeeping, called by the resources themselves.
  void Forget(TMemTexture* t);
  void Forget(TMemVertexBuffer* vb);
  virtual void TextureDestroyed(TMemTexture*) {}
  virtual void VertexBufferDestroyed(TMemVertexBuffer*) {}
  // A level was written (UnlockRect). A device with a GPU copy may take the
  // pixels now and release them from memory.
  virtual void TextureUnlocked(TMemTexture*, UINT /*level*/) {}
  // Fills out with a released level's pixels from the GPU copy.
  virtual bool ReadTextureLevel(TMemTexture*, UINT /*level*/, std::vector<DWORD>& /*out*/) { return false; }
  // Whether the device makes derived mip levels only when a draw samples
  // them (TMemTexture::DeriveLevel); a device that does not wants them made.
  virtual bool DerivesLevelsOnDemand() const { return false; }

 protected:
  ~TDevice() override;
  // The checks DrawPrimitive makes on any backend: inside a scene, a stream
  // bound, the vertex range inside the buffer.
  HRESULT CheckDraw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) const;
  // Releases bound resources and detaches the ones still alive.
  void DetachAll();

  TDeviceState S;
  UINT PictureAspectW = 0, PictureAspectH = 0;  // 0 : 0 = the whole back buffer
  std::vector<TMemTexture*> LiveTextures;
  std::vector<TMemVertexBuffer*> LiveBuffers;
};

UINT FullMipCount(UINT width, UINT height);
UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitiveCount);

}  // namespace d3d8
