// The OpenGL device on a real window: pixels read back from the back buffer.
// Geometry is given straight in clip space (identity transforms), so screen
// positions are easy to predict: x, y in -1..1 (y up), depth z in 0..1.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/device_common.h"
#include "platform/d3d8/gl/gl_device.h"
#include "render_window.h"

namespace {

constexpr int W = 160, H = 120;
constexpr DWORD SceneFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct TVertex {
  float X, Y, Z, NX, NY, NZ;
  D3DCOLOR Diffuse;
  float U, V;
};
static_assert(sizeof(TVertex) == 36);

// A rectangle as two triangles, each clockwise on screen (Direct3D's front
// faces under the default culling). v runs downwards, as in Direct3D.
void Quad(TVertex* out, float x0, float y0, float x1, float y1, float z, D3DCOLOR c) {
  const TVertex tl{x0, y1, z, 0, 0, -1, c, 0, 0}, tr{x1, y1, z, 0, 0, -1, c, 1, 0};
  const TVertex bl{x0, y0, z, 0, 0, -1, c, 0, 1}, br{x1, y0, z, 0, 0, -1, c, 1, 1};
  const TVertex v[6] = {bl, tl, tr, bl, tr, br};
  std::memcpy(out, v, sizeof v);
}

int Channel(DWORD c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

// Ambient from the material only: white, so a quad shows the lights' ambient sum.
D3DMATERIAL8 AmbientWhite() {
  D3DMATERIAL8 m{};
  m.Ambient = {1, 1, 1, 1};
  return m;
}

// White diffuse, a quarter ambient, no fall-off within its range.
D3DLIGHT8 WhitePointLight(D3DVECTOR position, float range) {
  D3DLIGHT8 light{};
  light.Type = D3DLIGHT_POINT;
  light.Diffuse = {1, 1, 1, 0};
  light.Ambient = {0.25f, 0.25f, 0.25f, 0};
  light.Position = position;
  light.Range = range;
  light.Attenuation0 = 1;
  return light;
}

class DeviceRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenHiddenWindow("device test", W, H, Window);
    if (HasFatalFailure()) return;
    D3D = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(D3D, nullptr);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(D3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferFormat = mode.Format;
    pp.hDeviceWindow = Window;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(D3D->CreateDevice(0, D3DDEVTYPE_HAL, Window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &Device), D3D_OK);
    ASSERT_EQ(Device->CreateVertexBuffer(64 * 36, 0, SceneFVF, D3DPOOL_MANAGED, &VB), D3D_OK);
    Device->SetStreamSource(0, VB, 36);
    Device->SetVertexShader(SceneFVF);
  }

  void TearDown() override {
    SafeRelease(VB);
    SafeRelease(Device);
    SafeRelease(D3D);
    if (Window) SDL_DestroyWindow(Window);
    SDL_Quit();
  }

  // Writes vertices from vertex `first` on.
  void Put(UINT first, const TVertex* v, UINT count) {
    BYTE* p = nullptr;
    ASSERT_EQ(VB->Lock(first * 36, count * 36, &p, 0), D3D_OK);
    std::memcpy(p, v, count * 36);
    ASSERT_EQ(VB->Unlock(), D3D_OK);
  }

  void PutQuad(UINT first, float x0, float y0, float x1, float y1, float z, D3DCOLOR c) {
    TVertex v[6];
    Quad(v, x0, y0, x1, y1, z, c);
    Put(first, v, 6);
  }

  void Begin(D3DCOLOR clear) {
    ASSERT_EQ(Device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0), D3D_OK);
    ASSERT_EQ(Device->BeginScene(), D3D_OK);
  }

  // One frame: Tex unlit on a quad over the whole back buffer, on black.
  void DrawTextureOverAll(IDirect3DTexture8* Tex) {
    PutQuad(0, -1, -1, 1, 1, 0.5f, 0xFFFFFFFF);
    Begin(0xFF000000);
    Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Device->SetTexture(0, Tex);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    Device->SetTexture(0, nullptr);
    Device->EndScene();
  }

  // One frame: Tex unlit on a quad of 8 × 6 pixels (minified), with the mip filter given.
  void DrawMinified(IDirect3DTexture8* Tex, DWORD MipFilter) {
    PutQuad(0, -0.05f, -0.05f, 0.05f, 0.05f, 0.5f, 0xFFFFFFFF);
    Begin(0xFF000000);
    Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Device->SetTexture(0, Tex);
    Device->SetTextureStageState(0, D3DTSS_MIPFILTER, MipFilter);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    Device->EndScene();
  }

  // RGB of the back buffer pixel at (x, y) from the top-left corner.
  DWORD At(UINT x, UINT y) {
    std::vector<DWORD> px;
    EXPECT_EQ(D3D8GLReadPixels(Device, x, y, 1, 1, px), D3D_OK);
    return px.empty() ? 0xDEADBEEF : px[0] & 0xFFFFFF;
  }

  void ExpectColor(UINT x, UINT y, int r, int g, int b, int tolerance = 3) {
    const DWORD c = At(x, y);
    SCOPED_TRACE(::testing::Message() << "pixel (" << x << ", " << y << ") = " << std::hex << c);
    EXPECT_NEAR(Channel(c, 16), r, tolerance);
    EXPECT_NEAR(Channel(c, 8), g, tolerance);
    EXPECT_NEAR(Channel(c, 0), b, tolerance);
  }

  IDirect3DTexture8* MakeTexture(UINT w, UINT h, UINT levels, const std::vector<std::vector<DWORD>>& pixels) {
    IDirect3DTexture8* t = nullptr;
    EXPECT_EQ(Device->CreateTexture(w, h, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
    for (UINT l = 0; l < pixels.size(); ++l) {
      D3DLOCKED_RECT r{};
      EXPECT_EQ(t->LockRect(l, &r, nullptr, 0), D3D_OK);
      std::memcpy(r.pBits, pixels[l].data(), pixels[l].size() * 4);
      t->UnlockRect(l);
    }
    return t;
  }

  SDL_Window* Window = nullptr;
  IDirect3D8* D3D = nullptr;
  IDirect3DDevice8* Device = nullptr;
  IDirect3DVertexBuffer8* VB = nullptr;
};

TEST_F(DeviceRenderTest, ClearFillsTheBackBuffer) {
  UINT w = 0, h = 0;
  ASSERT_EQ(Device->GetBackBufferSize(&w, &h), D3D_OK);
  EXPECT_EQ(w, static_cast<UINT>(W));
  EXPECT_EQ(h, static_cast<UINT>(H));
  Begin(0x02215BFF);
  Device->EndScene();
  ExpectColor(0, 0, 0x21, 0x5B, 0xFF, 0);
  ExpectColor(W - 1, H - 1, 0x21, 0x5B, 0xFF, 0);
  EXPECT_EQ(Device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

// An untextured draw shows the vertex diffuse: directly when unlit, through
// the material sources and lights when lit.
TEST_F(DeviceRenderTest, UntexturedShowsVertexDiffuse) {
  PutQuad(0, -1, -1, 0, 1, 0.5f, 0xFF80C040);   // left half
  PutQuad(6, 0, -1, 1, 1, 0.5f, 0xFF80C040);    // right half
  Begin(0xFF000000);
  Device->SetRenderState(D3DRS_LIGHTING, FALSE);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  // Lit, no light: material ambient × global ambient only; vertex diffuse × 0 lights.
  Device->SetRenderState(D3DRS_LIGHTING, TRUE);
  Device->SetRenderState(D3DRS_AMBIENT, 0x00406080);
  D3DMATERIAL8 m{};
  m.Ambient = {1, 1, 1, 1};
  Device->SetMaterial(&m);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2);
  Device->EndScene();
  ExpectColor(W / 4, H / 2, 0x80, 0xC0, 0x40);
  ExpectColor(3 * W / 4, H / 2, 0x40, 0x60, 0x80);
}

// A point light in front of a quad: diffuse by N·L with attenuation, and a
// vertex beyond the light's range gets nothing from it, not even ambient.
TEST_F(DeviceRenderTest, PointLightWithRangeCutOff) {
  PutQuad(0, -1, -1, 1, 1, 0.5f, 0xFFFF0000);
  const D3DMATERIAL8 m = AmbientWhite();
  D3DLIGHT8 light = WhitePointLight({0, 0, -1}, 0);
  const float cornerDistance = std::sqrt(1.0f + 1.0f + 1.5f * 1.5f);  // 2.06

  for (float range : {3.0f, 2.0f}) {
    SCOPED_TRACE(range);
    light.Range = range;
    Begin(0xFF000000);
    Device->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    Device->SetMaterial(&m);
    Device->SetLight(0, &light);
    Device->LightEnable(0, TRUE);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    Device->EndScene();
    const int ga = 0x20;
    if (range > cornerDistance) {
      // red: Ca·(Ga + 0.25) + Cd·(N·L = 1.5 / 2.06) clamps to 1; green: Ca·(Ga + 0.25).
      ExpectColor(W / 2, H / 2, 255, ga + 64, ga + 64);
    } else {
      ExpectColor(W / 2, H / 2, ga, ga, ga);
    }
    Device->Present(nullptr, nullptr, nullptr, nullptr);
  }

  // Diffuse alone, no ambient anywhere: every corner sees N·L = 1.5 / 2.06.
  light.Ambient = {0, 0, 0, 0};
  light.Range = 10;
  Begin(0xFF000000);
  Device->SetRenderState(D3DRS_AMBIENT, 0);
  Device->SetLight(0, &light);
  Device->LightEnable(0, TRUE);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  Device->EndScene();
  ExpectColor(W / 2, H / 2, static_cast<int>(std::lround(255 * 1.5 / cornerDistance)), 0, 0);
}

// A point light leaves out the draws beyond its range and lights the next
// one within it, in any order within a frame; a draw's reach counts its world
// scale, so a small model scaled up into the light's range is still lit.
TEST_F(DeviceRenderTest, PointLightsLightOnlyTheDrawsInTheirReach) {
  PutQuad(0, -0.1f, -0.1f, 0.1f, 0.1f, 0.5f, 0xFFFF0000);
  const D3DMATERIAL8 m = AmbientWhite();
  const D3DLIGHT8 distant = WhitePointLight({0, 0, -50}, 1);  // never near anything drawn here
  D3DLIGHT8 light = WhitePointLight({0.5f, 0, 0.4f}, 0.3f);
  const auto place = [&](float x, float scale) {
    D3DMATRIX w{};
    w._11 = w._22 = scale;
    w._33 = w._44 = 1;
    w._41 = x;
    Device->SetTransform(D3DTS_WORLD, &w);
  };
  const auto begin = [&] {
    Begin(0xFF000000);
    Device->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    Device->SetMaterial(&m);
    Device->SetLight(0, &distant);
    Device->LightEnable(0, TRUE);
    Device->SetLight(1, &light);
    Device->LightEnable(1, TRUE);
  };
  const int ga = 0x20;
  const UINT left = W / 4, right = 3 * W / 4;

  for (bool rightFirst : {false, true}) {
    SCOPED_TRACE(rightFirst ? "right quad first" : "left quad first");
    begin();
    for (int i = 0; i < 2; ++i) {
      place((i == 0) != rightFirst ? -0.5f : 0.5f, 1);
      Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    }
    Device->EndScene();
    ExpectColor(left, H / 2, ga, ga, ga);
    // Every corner of the right quad is 0.17 from the light: N·L = 0.1 / 0.17.
    ExpectColor(right, H / 2, ga + 64 + static_cast<int>(std::lround(255 * 0.1 / std::sqrt(0.03))), ga + 64, ga + 64);
    Device->Present(nullptr, nullptr, nullptr, nullptr);
  }

  // Scaled by 6 the quad's corner (0.6, 0.6) lies 0.09 from the light, its
  // centre 0.51 away; unscaled, the model reaches only 0.14 from its centre.
  light.Position = {0.55f, 0.55f, 0.45f};
  light.Range = 0.2f;
  begin();
  place(0, 6);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  Device->EndScene();
  const DWORD nearCorner = At(static_cast<UINT>(0.8f * W) - 3, static_cast<UINT>(0.2f * H) + 3);
  const DWORD farCorner = At(static_cast<UINT>(0.2f * W) + 3, static_cast<UINT>(0.8f * H) - 3);
  EXPECT_GT(Channel(nearCorner, 8), ga + 40) << std::hex << nearCorner;
  EXPECT_LT(Channel(farCorner, 8), ga + 10) << std::hex << farCorner;
  Device->Present(nullptr, nullptr, nullptr, nullptr);
}

// Texel (0, 0) is the picture's top-left corner and shows top-left on screen.
TEST_F(DeviceRenderTest, TextureIsNotMirrored) {
  IDirect3DTexture8* tex = MakeTexture(2, 2, 1, {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}});
  DrawTextureOverAll(tex);
  ExpectColor(W / 4, H / 4, 255, 0, 0, 0);
  ExpectColor(3 * W / 4, H / 4, 0, 255, 0, 0);
  ExpectColor(W / 4, 3 * H / 4, 0, 0, 255, 0);
  ExpectColor(3 * W / 4, 3 * H / 4, 255, 255, 255, 0);
  tex->Release();
}

// Written levels live in GL alone; locking one gives its pixels back to
// change, and a device going away hands every level back to the texture.
TEST_F(DeviceRenderTest, TexturePixelsLeaveMemoryAndComeBack) {
  IDirect3DTexture8* tex = MakeTexture(2, 2, 2, {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}, {0xFF808080}});
  auto* mem = static_cast<d3d8::TMemTexture*>(tex);
  EXPECT_FALSE(mem->HasPixels(0));
  EXPECT_FALSE(mem->HasPixels(1));

  D3DLOCKED_RECT r{};
  ASSERT_EQ(tex->LockRect(0, &r, nullptr, 0), D3D_OK);
  auto* bits = static_cast<DWORD*>(r.pBits);
  EXPECT_EQ(bits[0], 0xFFFF0000u);
  EXPECT_EQ(bits[3], 0xFFFFFFFFu);
  bits[3] = 0xFF00FFFF;  // bottom right: cyan
  ASSERT_EQ(tex->UnlockRect(0), D3D_OK);

  DrawTextureOverAll(tex);
  ExpectColor(W / 4, H / 4, 255, 0, 0, 0);
  ExpectColor(3 * W / 4, 3 * H / 4, 0, 255, 255, 0);

  SafeRelease(VB);
  SafeRelease(Device);
  ASSERT_TRUE(mem->HasPixels(0));
  ASSERT_TRUE(mem->HasPixels(1));
  EXPECT_EQ(mem->Pixel(0, 1, 0), 0xFF00FF00u);
  EXPECT_EQ(mem->Pixel(0, 1, 1), 0xFF00FFFFu);
  EXPECT_EQ(mem->Pixel(1, 0, 0), 0xFF808080u);
  tex->Release();
}

// A derived mip level is made when a draw samples it or it is locked, from
// the level above as it was when marked, and costs nothing before.
TEST_F(DeviceRenderTest, DerivedMipLevelsAreMadeWhenNeeded) {
  std::vector<DWORD> stripes(16 * 16);
  for (size_t i = 0; i < stripes.size(); ++i) stripes[i] = i % 2 == 0 ? 0xFFFF0000 : 0xFF0000FF;
  IDirect3DTexture8* tex = MakeTexture(16, 16, 2, {stripes});
  auto* mem = static_cast<d3d8::TMemTexture*>(tex);
  mem->DeriveLevel(1);
  EXPECT_FALSE(mem->HasPixels(1));

  for (DWORD mip : {D3DTEXF_NONE, D3DTEXF_POINT}) {
    DrawMinified(tex, mip);
    if (mip == D3DTEXF_NONE) {
      EXPECT_TRUE(mem->IsDerived(1)) << "not sampled, not made";
    } else {
      EXPECT_FALSE(mem->IsDerived(1));
      ExpectColor(W / 2, H / 2, 0x80, 0, 0x80, 0);  // two red, two blue: (2 × 255 + 2) / 4
    }
    Device->Present(nullptr, nullptr, nullptr, nullptr);
  }
  Device->SetTexture(0, nullptr);
  D3DLOCKED_RECT r{};
  ASSERT_EQ(tex->LockRect(1, &r, nullptr, 0), D3D_OK);
  EXPECT_EQ(static_cast<DWORD*>(r.pBits)[0], 0xFF800080u);
  tex->UnlockRect(1);
  tex->Release();

  // Level 0 rewritten before level 1 was ever made: level 1 keeps the
  // average of what level 0 was.
  tex = MakeTexture(16, 16, 2, {stripes});
  mem = static_cast<d3d8::TMemTexture*>(tex);
  mem->DeriveLevel(1);
  ASSERT_EQ(tex->LockRect(0, &r, nullptr, 0), D3D_OK);
  std::fill_n(static_cast<DWORD*>(r.pBits), 16 * 16, 0xFFFFFFFFu);
  tex->UnlockRect(0);
  ASSERT_EQ(tex->LockRect(1, &r, nullptr, 0), D3D_OK);
  EXPECT_EQ(static_cast<DWORD*>(r.pBits)[0], 0xFF800080u);
  tex->UnlockRect(1);
  tex->Release();
}

// MIPFILTER NONE samples level 0 only, even when minified and a chain exists.
TEST_F(DeviceRenderTest, MipFilterChoosesLevels) {
  std::vector<DWORD> red(16 * 16, 0xFFFF0000), green(8 * 8, 0xFF00FF00);
  IDirect3DTexture8* tex = MakeTexture(16, 16, 2, {red, green});
  for (DWORD mip : {D3DTEXF_NONE, D3DTEXF_POINT}) {
    DrawMinified(tex, mip);
    if (mip == D3DTEXF_NONE)
      ExpectColor(W / 2, H / 2, 255, 0, 0, 0);
    else
      ExpectColor(W / 2, H / 2, 0, 255, 0, 0);
    Device->Present(nullptr, nullptr, nullptr, nullptr);
  }
  Device->SetTexture(0, nullptr);
  tex->Release();
}

// Half alpha blends half and half; alpha testing drops what fails the test.
TEST_F(DeviceRenderTest, AlphaBlendingAndAlphaTest) {
  PutQuad(0, -1, -1, 0, 1, 0.5f, 0x80FF0000);
  PutQuad(6, 0, -1, 1, 1, 0.5f, 0x80FF0000);
  Begin(0xFF0000FF);
  Device->SetRenderState(D3DRS_LIGHTING, FALSE);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  Device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  // The reference alone does nothing while alpha testing is off.
  Device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
  Device->SetRenderState(D3DRS_ALPHAREF, 200);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  Device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2);
  Device->EndScene();
  ExpectColor(W / 4, H / 2, 128, 0, 127, 2);
  ExpectColor(3 * W / 4, H / 2, 0, 0, 255, 0);
}

// Stage 0's operations in four quarters, one shader variant each: texture ×
// diffuse, texture alone, diffuse alone, and MODULATE with no texture bound,
// which passes the diffuse colour through.
TEST_F(DeviceRenderTest, StageOperationsWithAndWithoutTexture) {
  IDirect3DTexture8* grey = MakeTexture(1, 1, 1, {{0xFF808080}});
  const D3DCOLOR diffuse = 0xFF40C0FF;
  PutQuad(0, -1, 0, 0, 1, 0.5f, diffuse);
  PutQuad(6, 0, 0, 1, 1, 0.5f, diffuse);
  PutQuad(12, -1, -1, 0, 0, 0.5f, diffuse);
  PutQuad(18, 0, -1, 1, 0, 0.5f, diffuse);
  Begin(0xFF000000);
  Device->SetRenderState(D3DRS_LIGHTING, FALSE);
  Device->SetTexture(0, grey);
  Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2);
  Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 12, 2);
  Device->SetTexture(0, nullptr);
  Device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 18, 2);
  Device->EndScene();
  ExpectColor(W / 4, H / 4, 0x20, 0x60, 0x80);
  ExpectColor(3 * W / 4, H / 4, 0x80, 0x80, 0x80);
  ExpectColor(W / 4, 3 * H / 4, 0x40, 0xC0, 0xFF);
  ExpectColor(3 * W / 4, 3 * H / 4, 0x40, 0xC0, 0xFF);
  grey->Release();
}

// A material set while another variant draws reaches the first variant too
// when it draws again: each program keeps its own uniforms.
TEST_F(DeviceRenderTest, StateSetBetweenVariantsReachesEachOfThem) {
  PutQuad(0, -1, -1, -0.34f, 1, 0.5f, 0xFFFFFFFF);
  PutQuad(6, -0.33f, -1, 0.33f, 1, 0.5f, 0xFFFFFFFF);
  PutQuad(12, 0.34f, -1, 1, 1, 0.5f, 0xFFFFFFFF);
  Begin(0xFF000000);
  Device->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
  Device->SetRenderState(D3DRS_LIGHTING, TRUE);
  D3DMATERIAL8 red{}, blue{};
  red.Ambient = {1, 0, 0, 1};
  blue.Ambient = {0, 0, 1, 1};
  Device->SetMaterial(&red);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  // Specular with no lights adds nothing, but is another variant.
  Device->SetMaterial(&blue);
  Device->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2);
  Device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 12, 2);
  Device->EndScene();
  ExpectColor(W / 6, H / 2, 255, 0, 0);
  ExpectColor(W / 2, H / 2, 0, 0, 255);
  ExpectColor(5 * W / 6, H / 2, 0, 0, 255);
}

// Culling goes by the winding seen on screen: our quads are clockwise.
TEST_F(DeviceRenderTest, CullModeByScreenWinding) {
  PutQuad(0, -1, -1, 1, 1, 0.5f, 0xFFFFFFFF);
  const DWORD modes[3] = {D3DCULL_CCW, D3DCULL_CW, D3DCULL_NONE};
  const bool drawn[3] = {true, false, true};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(modes[i]);
    Begin(0xFF000000);
    Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Device->SetRenderState(D3DRS_CULLMODE, modes[i]);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    Device->EndScene();
    EXPECT_EQ(At(W / 2, H / 2), drawn[i] ? 0xFFFFFFu : 0u);
    Device->Present(nullptr, nullptr, nullptr, nullptr);
  }
}

// The nearer of two quads wins with depth testing on, the later one with it off.
TEST_F(DeviceRenderTest, DepthTest) {
  PutQuad(0, -1, -1, 1, 1, 0.2f, 0xFFFF0000);  // near
  PutQuad(6, -1, -1, 1, 1, 0.8f, 0xFF00FF00);  // far
  for (BOOL z : {TRUE, FALSE}) {
    Begin(0xFF000000);
    Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Device->SetRenderState(D3DRS_ZENABLE, z);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 2);
    Device->EndScene();
    EXPECT_EQ(At(W / 2, H / 2), z ? 0xFF0000u : 0x00FF00u);
    Device->Present(nullptr, nullptr, nullptr, nullptr);
  }
}

// Rewriting a few vertices between draws shows in the next draw.
TEST_F(DeviceRenderTest, VertexRewritesReachTheNextDraw) {
  Begin(0xFF000000);
  Device->SetRenderState(D3DRS_LIGHTING, FALSE);
  PutQuad(0, -1, -1, 0, 1, 0.5f, 0xFF0000FF);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  PutQuad(0, 0, -1, 1, 1, 0.5f, 0xFFFFFF00);
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  Device->EndScene();
  EXPECT_EQ(At(W / 4, H / 2), 0x0000FFu);
  EXPECT_EQ(At(3 * W / 4, H / 2), 0xFFFF00u);
}

// A long range (a model's worth of vertices) drawn again after some of its
// vertices were rewritten shows the new ones, even where they used to repeat
// others.
TEST_F(DeviceRenderTest, LongRangesFollowRewrites) {
  constexpr int Quads = 8;  // 48 vertices, at first all the same quad
  for (int i = 0; i < Quads; ++i) PutQuad(6 * i, -1, -1, 1, 1, 0.5f, 0xFFFF0000);
  auto frame = [&] {
    Begin(0xFF000000);
    Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2 * Quads);
    Device->EndScene();
  };
  frame();
  ExpectColor(W / 4, H / 2, 255, 0, 0, 0);
  ExpectColor(3 * W / 4, H / 2, 255, 0, 0, 0);
  Device->Present(nullptr, nullptr, nullptr, nullptr);
  PutQuad(42, 0, -1, 1, 1, 0.5f, 0xFF00FF00);  // the last quad: the right half, green
  frame();
  ExpectColor(W / 4, H / 2, 255, 0, 0, 0);
  ExpectColor(3 * W / 4, H / 2, 0, 255, 0, 0);
  Device->Present(nullptr, nullptr, nullptr, nullptr);
  PutQuad(36, -1, -1, 0, 1, 0.5f, 0xFF0000FF);  // the one before: the left half, blue
  frame();
  ExpectColor(W / 4, H / 2, 0, 0, 255, 0);
  ExpectColor(3 * W / 4, H / 2, 0, 255, 0, 0);
}

// After the window changes size the back buffer follows it.
TEST_F(DeviceRenderTest, BackBufferFollowsWindowSize) {
  SDL_SetWindowResizable(Window, SDL_TRUE);
  SDL_SetWindowSize(Window, 200, 100);
  SDL_ShowWindow(Window);
  UINT w = 0, h = 0;
  ASSERT_EQ(Device->GetBackBufferSize(&w, &h), D3D_OK);
  ASSERT_EQ(w, 200u);
  ASSERT_EQ(h, 100u);
  PutQuad(0, 0, -1, 1, 1, 0.5f, 0xFFFFFFFF);  // right half
  // The X server resizes the window in its own time: draw frames, as a
  // running game does, until the new size has arrived (or ten seconds passed:
  // a loaded machine's X server can take more than one).
  auto frame = [&] {
    Begin(0xFF102030);
    Device->SetRenderState(D3DRS_LIGHTING, FALSE);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    Device->EndScene();
  };
  bool resized = false;
  for (int i = 0; i < 500 && !resized; ++i) {
    // A busy server has been seen to drop the first request: ask again now and then.
    if (i % 25 == 24) SDL_SetWindowSize(Window, 200, 100);
    SDL_PumpEvents();
    frame();
    resized = At(199, 0) == 0xFFFFFFu;
    if (!resized) {
      Device->Present(nullptr, nullptr, nullptr, nullptr);
      SDL_Delay(20);
    }
  }
  // What is tested is the device following a window that did change size.
  if (!resized && At(100, 0) == 0xFFFFFFu && At(199, 0) == 0) GTEST_SKIP() << "the X server never applied the resize";
  EXPECT_EQ(At(0, 0), 0x102030u);
  EXPECT_EQ(At(99, 99), 0x102030u);
  EXPECT_EQ(At(100, 0), 0xFFFFFFu);
  EXPECT_EQ(At(199, 0), 0xFFFFFFu);
  EXPECT_EQ(At(199, 99), 0xFFFFFFu);
  std::vector<DWORD> px;
  EXPECT_EQ(D3D8GLReadPixels(Device, 199, 99, 2, 1, px), D3DERR_INVALIDCALL);
}

}  // namespace
