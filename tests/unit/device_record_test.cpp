// The recording device: Direct3D 8 defaults, state snapshots at draws,
// argument checks and the lifetime of resources.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/record/record_device.h"

namespace {

class RecordDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    D3D8SelectBackend(TD3D8Backend::Recording);
    RecordConfig() = {};
    D3D = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(D3D, nullptr);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &Device), D3D_OK);
    Rec = AsRecordDevice(Device);
    ASSERT_NE(Rec, nullptr);
  }
  void TearDown() override {
    SafeRelease(VB);
    SafeRelease(Device);
    SafeRelease(D3D);
  }

  // A buffer of n scene vertices, bound as stream 0, vertex i with colour 0xFF000000 + i.
  void MakeBuffer(UINT n) {
    ASSERT_EQ(Device->CreateVertexBuffer(n * 36, 0, d3d8::VertexFormat, D3DPOOL_MANAGED, &VB), D3D_OK);
    BYTE* p = nullptr;
    ASSERT_EQ(VB->Lock(0, 0, &p, 0), D3D_OK);
    for (UINT i = 0; i < n; ++i) {
      const D3DCOLOR c = 0xFF000000u + i;
      std::memcpy(p + i * 36 + 24, &c, 4);
    }
    ASSERT_EQ(VB->Unlock(), D3D_OK);
    Device->SetStreamSource(0, VB, 36);
    Device->SetVertexShader(d3d8::VertexFormat);
  }

  IDirect3D8* D3D = nullptr;
  IDirect3DDevice8* Device = nullptr;
  IDirect3DVertexBuffer8* VB = nullptr;
  TRecordDevice* Rec = nullptr;
};

DWORD RS(IDirect3DDevice8* d, D3DRENDERSTATETYPE s) {
  DWORD v = 0xDEADBEEF;
  d->GetRenderState(s, &v);
  return v;
}

DWORD TSS(IDirect3DDevice8* d, DWORD stage, D3DTEXTURESTAGESTATETYPE t) {
  DWORD v = 0xDEADBEEF;
  d->GetTextureStageState(stage, t, &v);
  return v;
}

// The states the game never sets must start at Direct3D 8's values.
TEST_F(RecordDeviceTest, StartsWithDirect3D8Defaults) {
  EXPECT_EQ(RS(Device, D3DRS_ZENABLE), TRUE);  // an automatic depth buffer was asked for
  EXPECT_EQ(RS(Device, D3DRS_ZWRITEENABLE), TRUE);
  EXPECT_EQ(RS(Device, D3DRS_ZFUNC), D3DCMP_LESSEQUAL);
  EXPECT_EQ(RS(Device, D3DRS_CULLMODE), D3DCULL_CCW);
  EXPECT_EQ(RS(Device, D3DRS_LIGHTING), TRUE);
  EXPECT_EQ(RS(Device, D3DRS_AMBIENT), 0u);
  EXPECT_EQ(RS(Device, D3DRS_SPECULARENABLE), FALSE);
  EXPECT_EQ(RS(Device, D3DRS_LOCALVIEWER), TRUE);
  EXPECT_EQ(RS(Device, D3DRS_NORMALIZENORMALS), FALSE);
  EXPECT_EQ(RS(Device, D3DRS_COLORVERTEX), TRUE);
  EXPECT_EQ(RS(Device, D3DRS_DIFFUSEMATERIALSOURCE), D3DMCS_COLOR1);
  EXPECT_EQ(RS(Device, D3DRS_AMBIENTMATERIALSOURCE), D3DMCS_MATERIAL);
  EXPECT_EQ(RS(Device, D3DRS_SRCBLEND), D3DBLEND_ONE);
  EXPECT_EQ(RS(Device, D3DRS_DESTBLEND), D3DBLEND_ZERO);
  EXPECT_EQ(RS(Device, D3DRS_ALPHATESTENABLE), FALSE);
  EXPECT_EQ(RS(Device, D3DRS_ALPHAFUNC), D3DCMP_ALWAYS);
  EXPECT_EQ(RS(Device, D3DRS_CLIPPING), TRUE);
  EXPECT_EQ(TSS(Device, 0, D3DTSS_COLOROP), D3DTOP_MODULATE);
  EXPECT_EQ(TSS(Device, 0, D3DTSS_COLORARG1), D3DTA_TEXTURE);
  EXPECT_EQ(TSS(Device, 0, D3DTSS_COLORARG2), D3DTA_CURRENT);
  EXPECT_EQ(TSS(Device, 0, D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
  EXPECT_EQ(TSS(Device, 0, D3DTSS_MAGFILTER), D3DTEXF_POINT);
  EXPECT_EQ(TSS(Device, 0, D3DTSS_MIPFILTER), D3DTEXF_NONE);
  EXPECT_EQ(TSS(Device, 1, D3DTSS_COLOROP), D3DTOP_DISABLE);

  // Without a depth buffer depth testing starts off, and clearing depth is refused.
  D3DPRESENT_PARAMETERS pp{};
  pp.Windowed = TRUE;
  IDirect3DDevice8* plain = nullptr;
  ASSERT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_REF, nullptr, 0, &pp, &plain), D3D_OK);
  EXPECT_EQ(RS(plain, D3DRS_ZENABLE), FALSE);
  EXPECT_TRUE(FAILED(plain->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0)));
  plain->Release();
}

// Each draw keeps the state of its own moment; later changes don't leak into it.
TEST_F(RecordDeviceTest, DrawSnapshotsTheStateInEffect) {
  MakeBuffer(24);
  IDirect3DTexture8* tex = nullptr;
  ASSERT_EQ(Device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
  D3DMATRIX world{};
  world._11 = world._22 = world._33 = world._44 = 2.0f;
  D3DMATERIAL8 mat{};
  mat.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};

  ASSERT_EQ(Device->BeginScene(), D3D_OK);
  Device->SetTransform(D3DTS_WORLD, &world);
  Device->SetTexture(0, tex);
  Device->SetMaterial(&mat);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  EXPECT_EQ(Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2), D3D_OK);
  Device->SetTexture(0, nullptr);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  EXPECT_EQ(Device->DrawPrimitive(D3DPT_TRIANGLELIST, 12, 4), D3D_OK);
  ASSERT_EQ(Device->EndScene(), D3D_OK);

  ASSERT_EQ(Rec->DrawCount(), 2u);
  const TRecordedDraw& a = Rec->Draws()[0];
  EXPECT_EQ(a.StartVertex, 6u);
  EXPECT_EQ(a.PrimitiveCount, 2u);
  EXPECT_EQ(a.Texture, tex);
  EXPECT_EQ(a.World._11, 2.0f);
  EXPECT_EQ(a.Material.Diffuse.g, 0.25f);
  EXPECT_EQ(a.RenderState(D3DRS_ALPHABLENDENABLE), TRUE);
  ASSERT_EQ(a.Vertices.size(), 6u * 36);
  EXPECT_EQ(a.VertexColor(0), 0xFF000006u);  // vertex 6 of the buffer
  const TRecordedDraw& b = Rec->Draws()[1];
  EXPECT_EQ(b.Texture, nullptr);
  EXPECT_EQ(b.RenderState(D3DRS_ALPHABLENDENABLE), FALSE);
  EXPECT_EQ(b.Vertices.size(), 12u * 36);

  EXPECT_EQ(Rec->CountCalls("DrawPrimitive"), 2u);
  EXPECT_EQ(Rec->CountCalls("SetRenderState", D3DRS_ALPHABLENDENABLE), 2u);
  EXPECT_EQ(Rec->Calls()[Rec->Calls().size() - 2].Draw, 1);
  tex->Release();
}

// Draws the real device would refuse are refused and leave no snapshot.
TEST_F(RecordDeviceTest, RefusesInvalidDraws) {
  MakeBuffer(12);
  EXPECT_EQ(Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);  // outside a scene
  ASSERT_EQ(Device->BeginScene(), D3D_OK);
  EXPECT_EQ(Device->BeginScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2), D3D_OK);   // the last 6 vertices
  EXPECT_EQ(Device->DrawPrimitive(D3DPT_TRIANGLELIST, 7, 2), D3DERR_INVALIDCALL);  // one past the end
  EXPECT_EQ(Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0), D3DERR_INVALIDCALL);
  BYTE* p = nullptr;
  ASSERT_EQ(VB->Lock(0, 36, &p, 0), D3D_OK);
  EXPECT_EQ(Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // buffer locked
  EXPECT_EQ(VB->Lock(0, 36, &p, 0), D3DERR_INVALIDCALL);
  EXPECT_EQ(VB->Unlock(), D3D_OK);
  EXPECT_EQ(VB->Unlock(), D3DERR_INVALIDCALL);
  EXPECT_EQ(VB->Lock(12 * 36 - 8, 16, &p, 0), D3DERR_INVALIDCALL);  // beyond the buffer
  EXPECT_EQ(Device->EndScene(), D3D_OK);
  EXPECT_EQ(Device->EndScene(), D3DERR_INVALIDCALL);
  EXPECT_EQ(Rec->DrawCount(), 1u);
}

// The device holds what is bound; resources outliving the device stay usable
// to release (the sanitizer catches any use after free).
TEST_F(RecordDeviceTest, ResourceLifetimes) {
  IDirect3DTexture8* tex = nullptr;
  ASSERT_EQ(Device->CreateTexture(8, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &tex), D3D_OK);
  EXPECT_EQ(tex->GetLevelCount(), 4u);  // 8×2, 4×1, 2×1, 1×1
  D3DSURFACE_DESC desc{};
  ASSERT_EQ(tex->GetLevelDesc(3, &desc), D3D_OK);
  EXPECT_EQ(desc.Width, 1u);
  EXPECT_EQ(desc.Height, 1u);
  EXPECT_EQ(tex->GetLevelDesc(4, &desc), D3DERR_INVALIDCALL);

  Device->SetTexture(0, tex);
  EXPECT_EQ(tex->Release(), 1u);  // the device's reference keeps it
  EXPECT_EQ(Device->SetTexture(0, nullptr), D3D_OK);  // ... until unbound

  // A texture of another device is refused and leaves the stage empty.
  D3DPRESENT_PARAMETERS pp{};
  pp.Windowed = TRUE;
  IDirect3DDevice8* other = nullptr;
  ASSERT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &other), D3D_OK);
  IDirect3DTexture8* foreign = nullptr;
  ASSERT_EQ(other->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &foreign), D3D_OK);
  IDirect3DVertexBuffer8* buffer = nullptr;
  ASSERT_EQ(other->CreateVertexBuffer(360, 0, d3d8::VertexFormat, D3DPOOL_MANAGED, &buffer), D3D_OK);
  EXPECT_EQ(Device->SetTexture(0, foreign), D3DERR_INVALIDCALL);
  EXPECT_EQ(Device->SetStreamSource(0, buffer, 36), D3DERR_INVALIDCALL);

  // Device first, resources after: still fine to lock and release.
  other->Release();
  D3DLOCKED_RECT r{};
  EXPECT_EQ(foreign->LockRect(0, &r, nullptr, 0), D3D_OK);
  EXPECT_EQ(r.Pitch, 8);
  EXPECT_EQ(foreign->UnlockRect(0), D3D_OK);
  foreign->Release();
  buffer->Release();
}

// Tests make the platform fail where the game must cope with it.
TEST_F(RecordDeviceTest, InjectedFailures) {
  Rec->SetFailure("Present", D3DERR_DEVICELOST);
  EXPECT_EQ(Device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
  Rec->ClearFailures();
  EXPECT_EQ(Device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_EQ(Rec->PresentCount, 1u);

  RecordConfig().HalResult = D3DERR_NOTAVAILABLE;
  D3DPRESENT_PARAMETERS pp{};
  IDirect3DDevice8* dev = nullptr;
  EXPECT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &pp, &dev), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(dev, nullptr);
  EXPECT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_REF, nullptr, 0, &pp, &dev), D3D_OK);
  EXPECT_EQ(AsRecordD3D(D3D)->LastDeviceType, D3DDEVTYPE_REF);
  SafeRelease(dev);

  RecordConfig().FailCreate = true;
  EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION), nullptr);
  RecordConfig() = {};
  EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION + 1), nullptr);
}

// A long run keeps a bounded log.
TEST_F(RecordDeviceTest, LogStaysBounded) {
  Rec->LogLimit = 100;
  for (int i = 0; i < 1000; ++i) Device->SetRenderState(D3DRS_AMBIENT, static_cast<DWORD>(i));
  EXPECT_LE(Rec->Calls().size(), 100u);
  EXPECT_EQ(RS(Device, D3DRS_AMBIENT), 999u);
  Rec->ClearLog();
  EXPECT_TRUE(Rec->Calls().empty());
}

}  // namespace
