// The recording device: no GPU. It keeps the whole device state like the real
// one, appends every call to a log and snapshots the state in effect at each
// draw, so unit tests can check what the game drew and how.
//
//   D3D8SelectBackend(TD3D8Backend::Recording);   // before anything creates a device
//   ... game code creates and uses the device ...
//   TRecordDevice* rec = AsRecordDevice(D3DDevice);
//   EXPECT_EQ(rec->DrawCount(), 3u);
//   EXPECT_EQ(rec->Draws()[0].StartVertex, 6u);
//   EXPECT_EQ(rec->Draws()[0].RenderState(D3DRS_ALPHABLENDENABLE), TRUE);
//   rec->ClearLog();
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/d3d8/device_common.h"

// One call on the device.
struct TRecordedCall {
  std::string_view Name;             // the method's name: "SetRenderState", "DrawPrimitive", ...
  std::vector<std::uint64_t> Args;   // integer and pointer arguments, in order
  std::vector<float> Floats;         // matrix (16), material (17), light, Clear's Z
  HRESULT Result = D3D_OK;
  int Draw = -1;                     // index into Draws() for DrawPrimitive
};

// The state in effect when a DrawPrimitive call was made.
struct TRecordedDraw {
  D3DPRIMITIVETYPE PrimitiveType{};
  UINT StartVertex = 0, PrimitiveCount = 0;
  D3DMATRIX World{}, View{}, Projection{};
  IDirect3DTexture8* Texture = nullptr;  // stage 0; compare pointers only (it may be gone)
  D3DMATERIAL8 Material{};
  std::array<DWORD, d3d8::RenderStateCount> RenderStates{};
  std::array<DWORD, d3d8::StageStateCount> Stage0{};
  std::array<D3DLIGHT8, 2> Lights{};
  std::array<bool, 2> LightEnabled{};
  // The vertices drawn, when there are at most MaxCopiedVertices of them:
  // quads are rewritten between draws, the models never are.
  std::vector<BYTE> Vertices;
  static constexpr UINT MaxCopiedVertices = 12;

  DWORD RenderState(D3DRENDERSTATETYPE s) const { return RenderStates[s]; }
  DWORD StageState(D3DTEXTURESTAGESTATETYPE t) const { return Stage0[t]; }
  // Diffuse colour and uv of drawn vertex i (i < Vertices.size() / 36).
  D3DCOLOR VertexColor(UINT i) const;
  float VertexU(UINT i) const;
  float VertexV(UINT i) const;
  D3DVECTOR VertexPosition(UINT i) const;
};

class TRecordDevice : public d3d8::TDevice {
 public:
  TRecordDevice(const D3DPRESENT_PARAMETERS& params, HWND window);

  HRESULT Clear(DWORD Count, const void* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Present(const void* pSourceRect, const void* pDestRect, HWND hDestWindowOverride,
                  const void* pDirtyRegion) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
  HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
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
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override;
  HRESULT GetBackBufferSize(UINT* pWidth, UINT* pHeight) override;

  // ---- For tests ----
  const std::vector<TRecordedCall>& Calls() const { return Log; }
  const std::vector<TRecordedDraw>& Draws() const { return DrawLog; }
  size_t DrawCount() const { return DrawLog.size(); }
  size_t CountCalls(std::string_view name) const;
  // Calls named name whose first argument is arg0 (e.g. SetRenderState of one state).
  size_t CountCalls(std::string_view name, std::uint64_t arg0) const;
  void ClearLog();
  // The log empties itself when it reaches this many calls, so that long runs
  // (autoplay, benchmarks) keep a bounded memory.
  size_t LogLimit = 50000;
  // Off: calls keep the device state and the counters but leave no log, so
  // that a benchmark times the game's calls rather than the log's copies.
  bool Logging = true;
  unsigned DrawCalls = 0;  // successful DrawPrimitive calls, logged or not

  // Makes every later call of that method return hr (and change nothing),
  // until ClearFailures. Names as in TRecordedCall::Name.
  void SetFailure(std::string_view name, HRESULT hr);
  void ClearFailures() { Failures.clear(); }

  const D3DPRESENT_PARAMETERS& PresentParameters() const { return Params; }
  HWND Window() const { return DeviceWindow; }
  UINT BackBufferWidth = 1280, BackBufferHeight = 1024;  // what GetBackBufferSize reports
  unsigned PresentCount = 0;
  // The vertices of a vertex buffer of this device (nullptr if not one).
  const std::vector<BYTE>* VertexBytes(IDirect3DVertexBuffer8* vb) const;

 protected:
  ~TRecordDevice() override = default;

 private:
  TRecordedCall& Append(std::string_view name, std::vector<std::uint64_t> args);
  TRecordedCall& Unlogged();
  bool Fails(std::string_view name, HRESULT& hr) const;

  D3DPRESENT_PARAMETERS Params;
  HWND DeviceWindow;
  std::vector<TRecordedCall> Log;
  TRecordedCall Scratch;  // what an unlogged call writes to
  std::vector<TRecordedDraw> DrawLog;
  std::vector<std::pair<std::string, HRESULT>> Failures;
};

// The recording Direct3D object: CreateDevice succeeds for HAL and REF unless
// a test says otherwise.
class TRecordD3D : public d3d8::TRefCounted<IDirect3D8> {
 public:
  HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override;
  HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                       D3DPRESENT_PARAMETERS* pPresentationParameters,
                       IDirect3DDevice8** ppReturnedDeviceInterface) override;

  // What the last CreateDevice call asked for.
  int CreateDeviceCalls = 0;
  D3DDEVTYPE LastDeviceType{};
  DWORD LastBehaviorFlags = 0;
  HWND LastFocusWindow = nullptr;
  D3DPRESENT_PARAMETERS LastParams{};
};

// Knobs a test sets before the code under test calls Direct3DCreate8.
struct TRecordConfig {
  bool FailCreate = false;                 // Direct3DCreate8 returns nullptr
  HRESULT HalResult = D3D_OK;              // CreateDevice with D3DDEVTYPE_HAL
  HRESULT RefResult = D3D_OK;              // CreateDevice with D3DDEVTYPE_REF
  HRESULT DisplayModeResult = D3D_OK;      // GetAdapterDisplayMode
  D3DDISPLAYMODE DisplayMode{1280, 1024, 60, D3DFMT_X8R8G8B8};
};
TRecordConfig& RecordConfig();  // reset it with RecordConfig() = {};

// nullptr unless the object is a recording one.
TRecordDevice* AsRecordDevice(IDirect3DDevice8* device);
TRecordD3D* AsRecordD3D(IDirect3D8* d3d);
