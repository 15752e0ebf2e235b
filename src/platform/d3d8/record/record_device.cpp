// The recording device: the shared state keeping plus a call log.
#include "platform/d3d8/record/record_device.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint64_t Ptr(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

void AppendFloats(std::vector<float>& out, const float* values, size_t count) {
  out.insert(out.end(), values, values + count);
}

void AppendColor(std::vector<float>& out, const D3DCOLORVALUE& c) {
  out.insert(out.end(), {c.r, c.g, c.b, c.a});
}

}  // namespace

// ---- TRecordedDraw -------------------------------------------------------------

D3DCOLOR TRecordedDraw::VertexColor(UINT i) const {
  D3DCOLOR c;
  std::memcpy(&c, Vertices.data() + i * d3d8::VertexSize + 24, 4);
  return c;
}

float TRecordedDraw::VertexU(UINT i) const {
  float u;
  std::memcpy(&u, Vertices.data() + i * d3d8::VertexSize + 28, 4);
  return u;
}

float TRecordedDraw::VertexV(UINT i) const {
  float v;
  std::memcpy(&v, Vertices.data() + i * d3d8::VertexSize + 32, 4);
  return v;
}

D3DVECTOR TRecordedDraw::VertexPosition(UINT i) const {
  D3DVECTOR p;
  std::memcpy(&p, Vertices.data() + i * d3d8::VertexSize, sizeof p);
  return p;
}

// ---- TRecordDevice -------------------------------------------------------------

TRecordDevice::TRecordDevice(const D3DPRESENT_PARAMETERS& params, HWND window)
    : TDevice(params.EnableAutoDepthStencil != FALSE), Params(params), DeviceWindow(window) {
  if (!params.Windowed && params.BackBufferWidth && params.BackBufferHeight) {
    BackBufferWidth = params.BackBufferWidth;
    BackBufferHeight = params.BackBufferHeight;
  }
}

TRecordedCall& TRecordDevice::Append(std::string_view name, std::vector<std::uint64_t> args) {
  if (Log.size() >= LogLimit) ClearLog();
  Log.push_back(TRecordedCall{name, std::move(args), {}, D3D_OK, -1});
  return Log.back();
}

TRecordedCall& TRecordDevice::Unlogged() {
  Scratch.Args.clear();
  Scratch.Floats.clear();
  Scratch.Result = D3D_OK;
  Scratch.Draw = -1;
  return Scratch;
}

bool TRecordDevice::Fails(std::string_view name, HRESULT& hr) const {
  for (const auto& [method, result] : Failures)
    if (method == name) {
      hr = result;
      return true;
    }
  return false;
}

void TRecordDevice::SetFailure(std::string_view name, HRESULT hr) {
  for (auto& f : Failures)
    if (f.first == name) {
      f.second = hr;
      return;
    }
  Failures.emplace_back(std::string(name), hr);
}

void TRecordDevice::ClearLog() {
  Log.clear();
  DrawLog.clear();
}

size_t TRecordDevice::CountCalls(std::string_view name) const {
  return static_cast<size_t>(std::count_if(Log.begin(), Log.end(), [&](const auto& c) { return c.Name == name; }));
}

size_t TRecordDevice::CountCalls(std::string_view name, std::uint64_t arg0) const {
  return static_cast<size_t>(std::count_if(Log.begin(), Log.end(), [&](const auto& c) {
    return c.Name == name && !c.Args.empty() && c.Args[0] == arg0;
  }));
}

const std::vector<BYTE>* TRecordDevice::VertexBytes(IDirect3DVertexBuffer8* vb) const {
  const d3d8::TMemVertexBuffer* mem = OwnVertexBuffer(vb);
  return mem ? &mem->Bytes() : nullptr;
}

// Each method: log it, fail if a test asked so, otherwise do what any device does.
#define RECORD_CALL(name, ...)                            \
  TRecordedCall& call = Logging ? Append(name, {__VA_ARGS__}) : Unlogged(); \
  if (HRESULT injected; Fails(name, injected)) {          \
    call.Result = injected;                               \
    return injected;                                      \
  }

HRESULT TRecordDevice::Clear(DWORD Count, const void* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) {
  RECORD_CALL("Clear", Count, Ptr(pRects), Flags, Color, Stencil);
  call.Floats.push_back(Z);
  if ((Count == 0) != (pRects == nullptr)) call.Result = D3DERR_INVALIDCALL;
  if ((Flags & D3DCLEAR_ZBUFFER) && !Params.EnableAutoDepthStencil) call.Result = D3DERR_INVALIDCALL;
  return call.Result;
}

HRESULT TRecordDevice::BeginScene() {
  RECORD_CALL("BeginScene");
  return call.Result = TDevice::BeginScene();
}

HRESULT TRecordDevice::EndScene() {
  RECORD_CALL("EndScene");
  return call.Result = TDevice::EndScene();
}

HRESULT TRecordDevice::Present(const void* pSourceRect, const void* pDestRect, HWND hDestWindowOverride,
                               const void* pDirtyRegion) {
  RECORD_CALL("Present", Ptr(pSourceRect), Ptr(pDestRect), Ptr(hDestWindowOverride), Ptr(pDirtyRegion));
  ++PresentCount;
  return call.Result;
}

HRESULT TRecordDevice::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) {
  RECORD_CALL("SetTransform", State);
  if (pMatrix && Logging) AppendFloats(call.Floats, &pMatrix->_11, 16);
  return call.Result = TDevice::SetTransform(State, pMatrix);
}

HRESULT TRecordDevice::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) {
  RECORD_CALL("SetRenderState", State, Value);
  return call.Result = TDevice::SetRenderState(State, Value);
}

HRESULT TRecordDevice::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) {
  RECORD_CALL("SetTextureStageState", Stage, Type, Value);
  return call.Result = TDevice::SetTextureStageState(Stage, Type, Value);
}

HRESULT TRecordDevice::SetTexture(DWORD Stage, IDirect3DTexture8* pTexture) {
  RECORD_CALL("SetTexture", Stage, Ptr(pTexture));
  return call.Result = TDevice::SetTexture(Stage, pTexture);
}

HRESULT TRecordDevice::SetMaterial(const D3DMATERIAL8* pMaterial) {
  RECORD_CALL("SetMaterial");
  if (pMaterial && Logging) {
    AppendColor(call.Floats, pMaterial->Diffuse);
    AppendColor(call.Floats, pMaterial->Ambient);
    AppendColor(call.Floats, pMaterial->Specular);
    AppendColor(call.Floats, pMaterial->Emissive);
    call.Floats.push_back(pMaterial->Power);
  }
  return call.Result = TDevice::SetMaterial(pMaterial);
}

HRESULT TRecordDevice::SetLight(DWORD Index, const D3DLIGHT8* pLight) {
  RECORD_CALL("SetLight", Index);
  if (pLight) {
    call.Args.push_back(pLight->Type);
    AppendColor(call.Floats, pLight->Diffuse);
    AppendColor(call.Floats, pLight->Specular);
    AppendColor(call.Floats, pLight->Ambient);
    AppendFloats(call.Floats, &pLight->Position.x, 3);
    call.Floats.insert(call.Floats.end(),
                       {pLight->Range, pLight->Attenuation0, pLight->Attenuation1, pLight->Attenuation2});
  }
  return call.Result = TDevice::SetLight(Index, pLight);
}

HRESULT TRecordDevice::LightEnable(DWORD Index, BOOL Enable) {
  RECORD_CALL("LightEnable", Index, static_cast<std::uint64_t>(Enable));
  return call.Result = TDevice::LightEnable(Index, Enable);
}

HRESULT TRecordDevice::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                          IDirect3DVertexBuffer8** ppVertexBuffer) {
  RECORD_CALL("CreateVertexBuffer", Length, Usage, FVF, Pool);
  return call.Result = TDevice::CreateVertexBuffer(Length, Usage, FVF, Pool, ppVertexBuffer);
}

HRESULT TRecordDevice::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                     IDirect3DTexture8** ppTexture) {
  RECORD_CALL("CreateTexture", Width, Height, Levels, Usage, Format, Pool);
  return call.Result = TDevice::CreateTexture(Width, Height, Levels, Usage, Format, Pool, ppTexture);
}

HRESULT TRecordDevice::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData, UINT Stride) {
  RECORD_CALL("SetStreamSource", StreamNumber, Ptr(pStreamData), Stride);
  return call.Result = TDevice::SetStreamSource(StreamNumber, pStreamData, Stride);
}

HRESULT TRecordDevice::SetVertexShader(DWORD Handle) {
  RECORD_CALL("SetVertexShader", Handle);
  return call.Result = TDevice::SetVertexShader(Handle);
}

HRESULT TRecordDevice::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) {
  RECORD_CALL("DrawPrimitive", PrimitiveType, StartVertex, PrimitiveCount);
  call.Result = CheckDraw(PrimitiveType, StartVertex, PrimitiveCount);
  if (FAILED(call.Result)) return call.Result;
  ++DrawCalls;
  if (!Logging) return call.Result;

  TRecordedDraw d;
  d.PrimitiveType = PrimitiveType;
  d.StartVertex = StartVertex;
  d.PrimitiveCount = PrimitiveCount;
  d.World = S.World;
  d.View = S.View;
  d.Projection = S.Projection;
  d.Texture = S.Textures[0];
  d.Material = S.Material;
  d.RenderStates = S.RenderStates;
  d.Stage0 = S.StageStates[0];
  for (size_t i = 0; i < d.Lights.size(); ++i) {
    d.Lights[i] = S.Lights[i];
    d.LightEnabled[i] = S.LightEnabled[i];
  }
  const UINT count = d3d8::VertexCount(PrimitiveType, PrimitiveCount);
  if (count <= TRecordedDraw::MaxCopiedVertices) {
    const auto& bytes = OwnVertexBuffer(S.Stream)->Bytes();
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(StartVertex) * d3d8::VertexSize;
    d.Vertices.assign(first, first + static_cast<std::ptrdiff_t>(count) * d3d8::VertexSize);
  }
  call.Draw = static_cast<int>(DrawLog.size());
  DrawLog.push_back(std::move(d));
  return call.Result;
}

HRESULT TRecordDevice::GetBackBufferSize(UINT* pWidth, UINT* pHeight) {
  if (!pWidth || !pHeight) return D3DERR_INVALIDCALL;
  *pWidth = BackBufferWidth;
  *pHeight = BackBufferHeight;
  return D3D_OK;
}

#undef RECORD_CALL

// ---- TRecordD3D ----------------------------------------------------------------

TRecordConfig& RecordConfig() {
  static TRecordConfig config;
  return config;
}

HRESULT TRecordD3D::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) {
  if (!pMode || Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
  if (FAILED(RecordConfig().DisplayModeResult)) return RecordConfig().DisplayModeResult;
  *pMode = RecordConfig().DisplayMode;
  return D3D_OK;
}

HRESULT TRecordD3D::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                                 D3DPRESENT_PARAMETERS* pPresentationParameters,
                                 IDirect3DDevice8** ppReturnedDeviceInterface) {
  ++CreateDeviceCalls;
  LastDeviceType = DeviceType;
  LastBehaviorFlags = BehaviorFlags;
  LastFocusWindow = hFocusWindow;
  if (pPresentationParameters) LastParams = *pPresentationParameters;
  if (!ppReturnedDeviceInterface) return D3DERR_INVALIDCALL;
  *ppReturnedDeviceInterface = nullptr;
  if (!pPresentationParameters || Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
  HRESULT hr = D3DERR_INVALIDCALL;
  if (DeviceType == D3DDEVTYPE_HAL) hr = RecordConfig().HalResult;
  if (DeviceType == D3DDEVTYPE_REF) hr = RecordConfig().RefResult;
  if (FAILED(hr)) return hr;
  HWND window = pPresentationParameters->hDeviceWindow ? pPresentationParameters->hDeviceWindow : hFocusWindow;
  *ppReturnedDeviceInterface = new TRecordDevice(*pPresentationParameters, window);
  return D3D_OK;
}

TRecordDevice* AsRecordDevice(IDirect3DDevice8* device) { return dynamic_cast<TRecordDevice*>(device); }
TRecordD3D* AsRecordD3D(IDirect3D8* d3d) { return dynamic_cast<TRecordD3D*>(d3d); }
