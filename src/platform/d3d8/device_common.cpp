// State keeping and resources shared by the OpenGL and the recording device.
#include "platform/d3d8/device_common.h"

#include <algorithm>

namespace d3d8 {

namespace {

constexpr UINT MaxTextureSize = 16384;

D3DMATRIX Identity() {
  D3DMATRIX m{};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

// What LightEnable switches on when the light was never set.
D3DLIGHT8 DefaultLight() {
  D3DLIGHT8 l{};
  l.Type = D3DLIGHT_DIRECTIONAL;
  l.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
  l.Direction = {0.0f, 0.0f, 1.0f};
  return l;
}

}  // namespace

UINT FullMipCount(UINT width, UINT height) {
  UINT levels = 1;
  while (width > 1 || height > 1) {
    width = std::max(1u, width / 2);
    height = std::max(1u, height / 2);
    ++levels;
  }
  return levels;
}

UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitiveCount) {
  if (primitiveCount == 0) return 0;
  return type == D3DPT_TRIANGLESTRIP ? primitiveCount + 2 : primitiveCount * 3;
}

// ---- TMemTexture ---------------------------------------------------------------

TMemTexture::TMemTexture(TDevice* owner, UINT width, UINT height, UINT levels)
    : Owner(owner), BaseWidth(width), BaseHeight(height) {
  Levels.resize(levels);
  for (UINT l = 0; l < levels; ++l) Levels[l].assign(static_cast<size_t>(Width(l)) * Height(l), 0);
  Locked.assign(levels, false);
  Released.assign(levels, false);
  Derived.assign(levels, false);
}

std::vector<DWORD> HalveLevel(const std::vector<DWORD>& src, UINT w, UINT h) {
  const UINT nw = std::max(1u, w / 2), nh = std::max(1u, h / 2);
  std::vector<DWORD> out(static_cast<size_t>(nw) * nh);
  for (UINT y = 0; y < nh; ++y) {
    const UINT y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
    for (UINT x = 0; x < nw; ++x) {
      const UINT x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
      const DWORD a = src[y0 * w + x0], b = src[y0 * w + x1], c = src[y1 * w + x0], d = src[y1 * w + x1];
      // Two channels at a time, each in its own 16 bits: four bytes and the
      // rounding 2 sum to at most 1022, so the lanes never carry into each other.
      constexpr DWORD Lanes = 0x00FF00FF, Half = 0x00020002;
      const DWORD even = (a & Lanes) + (b & Lanes) + (c & Lanes) + (d & Lanes) + Half;
      const DWORD odd = ((a >> 8) & Lanes) + ((b >> 8) & Lanes) + ((c >> 8) & Lanes) + ((d >> 8) & Lanes) + Half;
      out[static_cast<size_t>(y) * nw + x] = ((even >> 2) & Lanes) | (((odd >> 2) & Lanes) << 8);
    }
  }
  return out;
}

void TMemTexture::DeriveLevel(UINT level) {
  if (level == 0 || level >= Levels.size() || Locked[level]) return;
  std::vector<DWORD>().swap(Levels[level]);
  Released[level] = false;
  Derived[level] = true;
}

bool TMemTexture::MakeLevel(UINT level) {
  if (level >= Levels.size()) return false;
  if (!Derived[level]) return true;
  if (!MakeLevel(level - 1)) return false;
  const bool aboveReleased = Released[level - 1];
  if (aboveReleased && !RestorePixels(level - 1)) return false;
  Levels[level] = HalveLevel(Levels[level - 1], Width(level - 1), Height(level - 1));
  Derived[level] = false;
  if (aboveReleased) ReleasePixels(level - 1);  // the GPU copy still has it
  return true;
}

void TMemTexture::ReleasePixels(UINT level) {
  if (level >= Levels.size() || Locked[level] || Released[level] || Derived[level]) return;
  std::vector<DWORD>().swap(Levels[level]);
  Released[level] = true;
}

bool TMemTexture::RestorePixels(UINT level) {
  if (level >= Levels.size()) return false;
  if (!Released[level]) return true;
  std::vector<DWORD> pixels;
  if (!Owner || !Owner->ReadTextureLevel(this, level, pixels) ||
      pixels.size() != static_cast<size_t>(Width(level)) * Height(level))
    return false;
  Levels[level] = std::move(pixels);
  Released[level] = false;
  return true;
}

TMemTexture::~TMemTexture() {
  if (Owner) {
    Owner->TextureDestroyed(this);
    Owner->Forget(this);
  }
}

UINT TMemTexture::Width(UINT level) const { return std::max(1u, BaseWidth >> level); }
UINT TMemTexture::Height(UINT level) const { return std::max(1u, BaseHeight >> level); }

DWORD TMemTexture::GetLevelCount() { return static_cast<DWORD>(Levels.size()); }

HRESULT TMemTexture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) {
  if (!pDesc || Level >= Levels.size()) return D3DERR_INVALIDCALL;
  pDesc->Format = D3DFMT_A8R8G8B8;
  pDesc->Pool = D3DPOOL_MANAGED;
  pDesc->Width = Width(Level);
  pDesc->Height = Height(Level);
  return D3D_OK;
}

HRESULT TMemTexture::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const void* pRect, DWORD) {
  // Sub-rectangles are not supported: nothing in the game locks part of a level.
  if (!pLockedRect || pRect || Level >= Levels.size() || Locked[Level]) return D3DERR_INVALIDCALL;
  // The level below is derived from this one as it is now: make it before
  // this one changes.
  if (!MakeLevel(Level) || (Level + 1 < Levels.size() && !MakeLevel(Level + 1)) || !RestorePixels(Level))
    return D3DERR_INVALIDCALL;
  Locked[Level] = true;
  pLockedRect->Pitch = static_cast<INT>(Width(Level) * 4);
  pLockedRect->pBits = Levels[Level].data();
  return D3D_OK;
}

HRESULT TMemTexture::UnlockRect(UINT Level) {
  if (Level >= Levels.size() || !Locked[Level]) return D3DERR_INVALIDCALL;
  Locked[Level] = false;
  ++Version;
  if (Owner) Owner->TextureUnlocked(this, Level);
  return D3D_OK;
}

// ---- TMemVertexBuffer ----------------------------------------------------------

TMemVertexBuffer::TMemVertexBuffer(TDevice* owner, UINT length, DWORD fvf)
    : Owner(owner), Data(length, 0), Format(fvf) {}

TMemVertexBuffer::~TMemVertexBuffer() {
  if (Owner) {
    Owner->VertexBufferDestroyed(this);
    Owner->Forget(this);
  }
}

HRESULT TMemVertexBuffer::Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD) {
  const auto length = static_cast<UINT>(Data.size());
  if (!ppbData || Locked || OffsetToLock > length) return D3DERR_INVALIDCALL;
  if (SizeToLock == 0) SizeToLock = length - OffsetToLock;  // 0 locks to the end
  if (SizeToLock > length - OffsetToLock) return D3DERR_INVALIDCALL;
  Locked = true;
  LockBegin = OffsetToLock;
  LockEnd = OffsetToLock + SizeToLock;
  *ppbData = Data.data() + OffsetToLock;
  return D3D_OK;
}

HRESULT TMemVertexBuffer::Unlock() {
  if (!Locked) return D3DERR_INVALIDCALL;
  Locked = false;
  if (LockEnd > LockBegin) {
    if (DirtyEnd == 0) {
      DirtyBegin = LockBegin;
      DirtyEnd = LockEnd;
    } else {
      DirtyBegin = std::min(DirtyBegin, LockBegin);
      DirtyEnd = std::max(DirtyEnd, LockEnd);
    }
  }
  return D3D_OK;
}

// ---- TDeviceState --------------------------------------------------------------

void TDeviceState::Reset(bool autoDepth) {
  RenderStates.fill(0);
  RenderStates[D3DRS_ZENABLE] = autoDepth ? TRUE : FALSE;
  RenderStates[D3DRS_FILLMODE] = D3DFILL_SOLID;
  RenderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
  RenderStates[D3DRS_ZWRITEENABLE] = TRUE;
  RenderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  RenderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  RenderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
  RenderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  RenderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  RenderStates[D3DRS_CLIPPING] = TRUE;
  RenderStates[D3DRS_LIGHTING] = TRUE;
  RenderStates[D3DRS_COLORVERTEX] = TRUE;
  RenderStates[D3DRS_LOCALVIEWER] = TRUE;
  RenderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  RenderStates[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  RenderStates[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
  RenderStates[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;

  for (DWORD stage = 0; stage < StageCount; ++stage) {
    auto& st = StageStates[stage];
    st.fill(0);
    st[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    st[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    st[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    st[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    st[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    st[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    st[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    st[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    st[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
    st[D3DTSS_MINFILTER] = D3DTEXF_POINT;
    st[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
  }
  World = View = Projection = Identity();
  Material = {};
  Lights.fill({});
  LightEnabled.fill(false);
  Textures.fill(nullptr);
  Stream = nullptr;
  Stride = 0;
  VertexShader = 0;
  InScene = false;
}

// ---- TDevice -------------------------------------------------------------------

TDevice::TDevice(bool autoDepth) { S.Reset(autoDepth); }

TDevice::~TDevice() { DetachAll(); }

void TDevice::DetachAll() {
  for (auto& t : S.Textures) SafeRelease(t);
  SafeRelease(S.Stream);
  // Levels only the GPU copy holds come back while the device can give them.
  for (TMemTexture* t : LiveTextures)
    for (UINT l = 0; l < t->GetLevelCount(); ++l) t->RestorePixels(l);
  // Resources the game still holds outlive the device; they keep their bytes
  // but no longer report to it.
  for (TMemTexture* t : LiveTextures) t->Owner = nullptr;
  for (TMemVertexBuffer* vb : LiveBuffers) vb->Owner = nullptr;
  LiveTextures.clear();
  LiveBuffers.clear();
}

void TDevice::Forget(TMemTexture* t) { std::erase(LiveTextures, t); }
void TDevice::Forget(TMemVertexBuffer* vb) { std::erase(LiveBuffers, vb); }

TMemTexture* TDevice::OwnTexture(IDirect3DTexture8* t) const {
  auto* mem = dynamic_cast<TMemTexture*>(t);
  return mem && mem->Owner == this ? mem : nullptr;
}

TMemVertexBuffer* TDevice::OwnVertexBuffer(IDirect3DVertexBuffer8* vb) const {
  auto* mem = dynamic_cast<TMemVertexBuffer*>(vb);
  return mem && mem->Owner == this ? mem : nullptr;
}

HRESULT TDevice::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
  if (!pMatrix) return D3DERR_INVALIDCALL;
  switch (State) {
    case D3DTS_WORLD: S.World = *pMatrix; return D3D_OK;
    case D3DTS_VIEW: S.View = *pMatrix; return D3D_OK;
    case D3DTS_PROJECTION: S.Projection = *pMatrix; return D3D_OK;
  }
  return D3DERR_INVALIDCALL;
}

HRESULT TDevice::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) {
  if (!pMatrix) return D3DERR_INVALIDCALL;
  switch (State) {
    case D3DTS_WORLD: *pMatrix = S.World; return D3D_OK;
    case D3DTS_VIEW: *pMatrix = S.View; return D3D_OK;
    case D3DTS_PROJECTION: *pMatrix = S.Projection; return D3D_OK;
  }
  return D3DERR_INVALIDCALL;
}

HRESULT TDevice::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
  if (State >= RenderStateCount) return D3DERR_INVALIDCALL;
  S.RenderStates[State] = Value;
  return D3D_OK;
}

HRESULT TDevice::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) {
  if (!pValue || State >= RenderStateCount) return D3DERR_INVALIDCALL;
  *pValue = S.RenderStates[State];
  return D3D_OK;
}

HRESULT TDevice::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
  if (Stage >= StageCount || Type >= StageStateCount) return D3DERR_INVALIDCALL;
  S.StageStates[Stage][Type] = Value;
  return D3D_OK;
}

HRESULT TDevice::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) {
  if (!pValue || Stage >= StageCount || Type >= StageStateCount) return D3DERR_INVALIDCALL;
  *pValue = S.StageStates[Stage][Type];
  return D3D_OK;
}

HRESULT TDevice::SetTexture(DWORD Stage, IDirect3DTexture8* pTexture) {
  if (Stage >= StageCount) return D3DERR_INVALIDCALL;
  // A texture of another (released) device would be drawn from freed GPU
  // memory: refuse it and leave the stage empty.
  const bool foreign = pTexture && !OwnTexture(pTexture);
  if (foreign) pTexture = nullptr;
  if (pTexture) pTexture->AddRef();
  SafeRelease(S.Textures[Stage]);
  S.Textures[Stage] = pTexture;
  return foreign ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT TDevice::SetMaterial(const D3DMATERIAL8* pMaterial) {
  if (!pMaterial) return D3DERR_INVALIDCALL;
  S.Material = *pMaterial;
  return D3D_OK;
}

HRESULT TDevice::SetLight(DWORD Index, const D3DLIGHT8* pLight) {
  if (!pLight || Index >= LightCount) return D3DERR_INVALIDCALL;
  if (pLight->Type != D3DLIGHT_POINT && pLight->Type != D3DLIGHT_SPOT && pLight->Type != D3DLIGHT_DIRECTIONAL)
    return D3DERR_INVALIDCALL;
  S.Lights[Index] = *pLight;
  return D3D_OK;
}

HRESULT TDevice::LightEnable(DWORD Index, BOOL Enable) {
  if (Index >= LightCount) return D3DERR_INVALIDCALL;
  if (Enable && S.Lights[Index].Type == 0) S.Lights[Index] = DefaultLight();
  S.LightEnabled[Index] = Enable != FALSE;
  return D3D_OK;
}

HRESULT TDevice::CreateVertexBuffer(UINT Length, DWORD, DWORD FVF, D3DPOOL, IDirect3DVertexBuffer8** ppVertexBuffer) {
  if (!ppVertexBuffer) return D3DERR_INVALIDCALL;
  *ppVertexBuffer = nullptr;
  if (Length == 0) return D3DERR_INVALIDCALL;
  auto* vb = new TMemVertexBuffer(this, Length, FVF);
  LiveBuffers.push_back(vb);
  *ppVertexBuffer = vb;
  return D3D_OK;
}

HRESULT TDevice::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD, D3DFORMAT, D3DPOOL,
                               IDirect3DTexture8** ppTexture) {
  if (!ppTexture) return D3DERR_INVALIDCALL;
  *ppTexture = nullptr;
  if (Width == 0 || Height == 0 || Width > MaxTextureSize || Height > MaxTextureSize) return D3DERR_INVALIDCALL;
  const UINT full = FullMipCount(Width, Height);
  if (Levels == 0 || Levels > full) Levels = full;
  auto* t = new TMemTexture(this, Width, Height, Levels);
  LiveTextures.push_back(t);
  *ppTexture = t;
  return D3D_OK;
}

HRESULT TDevice::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData, UINT Stride) {
  if (StreamNumber != 0) return D3DERR_INVALIDCALL;
  if (pStreamData && !OwnVertexBuffer(pStreamData)) return D3DERR_INVALIDCALL;
  if (pStreamData) pStreamData->AddRef();
  SafeRelease(S.Stream);
  S.Stream = pStreamData;
  S.Stride = Stride;
  return D3D_OK;
}

HRESULT TDevice::SetVertexShader(DWORD Handle) {
  S.VertexShader = Handle;
  return Handle == VertexFormat ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT TDevice::BeginScene() {
  if (S.InScene) return D3DERR_INVALIDCALL;
  S.InScene = true;
  return D3D_OK;
}

HRESULT TDevice::EndScene() {
  if (!S.InScene) return D3DERR_INVALIDCALL;
  S.InScene = false;
  return D3D_OK;
}

HRESULT TDevice::SetPictureAspect(UINT Width, UINT Height) {
  // Half a shape is no shape: both or neither.
  if ((Width == 0) != (Height == 0)) return D3DERR_INVALIDCALL;
  PictureAspectW = Width;
  PictureAspectH = Height;
  return D3D_OK;
}

HRESULT TDevice::CheckDraw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) const {
  if (!S.InScene || primitiveCount == 0) return D3DERR_INVALIDCALL;
  if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP) return D3DERR_INVALIDCALL;
  const TMemVertexBuffer* vb = OwnVertexBuffer(S.Stream);
  if (!vb || vb->IsLocked() || S.Stride != VertexSize || S.VertexShader != VertexFormat)
    return D3DERR_INVALIDCALL;
  const std::uint64_t end = (static_cast<std::uint64_t>(startVertex) + VertexCount(type, primitiveCount)) * S.Stride;
  return end <= vb->Bytes().size() ? D3D_OK : D3DERR_INVALIDCALL;
}

}  // namespace d3d8
