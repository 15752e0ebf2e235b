// The scene on the real OpenGL device under a display: the camera, the
// models, sprites, 3D text and blending, checked on pixels read back.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "frontend/fonts.h"
#include "platform/d3d8/gl/gl_device.h"
#include "platform/win32/paths.h"
#include "render_window.h"
#include "shell/math/d3dmath.h"
#include "shell/scene.h"
#include "shell/textures.h"

namespace {

constexpr int W = 800, H = 600;
constexpr float HalfPi = 1.5707964f, Pi = 3.14159265f;

int Red(DWORD c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(DWORD c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(DWORD c) { return static_cast<int>(c & 0xFF); }

class SceneRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenSceneWindow("scene test", W, H, Window);
    if (HasFatalFailure()) return;
    Device = D3DDevice;
  }

  void TearDown() override {
    for (auto* t : Textures) t->Release();
    ReleaseGraphics();
    if (Window) SDL_DestroyWindow(Window);
    SDL_Quit();
  }

  // Clears and sets the camera as every frame does.
  void BeginFrame() {
    ASSERT_EQ(Device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, ClearColor, 1.0f, 0), D3D_OK);
    ASSERT_EQ(Device->BeginScene(), D3D_OK);
    const D3DMATRIX view = SceneViewMatrix(), projection = SceneProjectionMatrix();
    Device->SetTransform(D3DTS_VIEW, &view);
    Device->SetTransform(D3DTS_PROJECTION, &projection);
    Device->SetTransform(D3DTS_WORLD, &IdentityMatrix);
  }

  void EndFrame() { Device->EndScene(); }

  DWORD At(int x, int y) {
    std::vector<DWORD> px;
    EXPECT_EQ(D3D8GLReadPixels(Device, x, y, 1, 1, px), D3D_OK);
    return px.empty() ? 0xDEADBEEF : px[0] & 0xFFFFFF;
  }

  // Window pixel of a world point, through the scene camera.
  void ScreenOf(const D3DVECTOR& p, int& x, int& y) {
    const D3DMATRIX m = MatrixMultiply(SceneProjectionMatrix(), SceneViewMatrix());
    const float cx = p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41;
    const float cy = p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42;
    const float cw = p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44;
    x = static_cast<int>((cx / cw + 1) * 0.5f * W);
    y = static_cast<int>((1 - cy / cw) * 0.5f * H);
  }

  // A texture of w × h pixels (0xAARRGGBB, top row first), one level.
  IDirect3DTexture8* Texture(UINT w, UINT h, const std::vector<DWORD>& pixels) {
    IDirect3DTexture8* t = nullptr;
    EXPECT_EQ(Device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
    D3DLOCKED_RECT r{};
    EXPECT_EQ(t->LockRect(0, &r, nullptr, 0), D3D_OK);
    for (UINT row = 0; row < h; ++row)
      std::memcpy(static_cast<BYTE*>(r.pBits) + row * r.Pitch, &pixels[row * w], w * 4);
    t->UnlockRect(0);
    Textures.push_back(t);
    return t;
  }

  // Gives a sprite its own reference to a test texture, and its place.
  static void Place(T3DSprite& sprite, IDirect3DTexture8* texture, const D3DVECTOR& scale, const D3DVECTOR& position) {
    sprite.Texture = texture;
    texture->AddRef();
    sprite.Scale = scale;
    sprite.Position = position;
  }

  void DrawCube(const D3DVECTOR& position, IDirect3DTexture8* skin) {
    const D3DMATERIAL8 material = InitMaterial(1, 1, 1, 0, 10);
    Device->SetMaterial(&material);
    D3DMATRIX world{};
    BuildWorldMatrix(D3DVECTOR{0.8f, 0.8f, 0.8f}, position, D3DVECTOR{0, 0, 0}, world);
    Device->SetTransform(D3DTS_WORLD, &world);
    Device->SetTexture(0, skin);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, CubeFirstVertex, CubeTriangles);
    Device->SetTexture(0, nullptr);
  }

  SDL_Window* Window = nullptr;
  IDirect3DDevice8* Device = nullptr;
  std::vector<IDirect3DTexture8*> Textures;
};

TEST_F(SceneRenderTest, ClearColour) {
  BeginFrame();
  const DWORD c = At(W / 2, H / 2);
  EXPECT_EQ(Red(c), 0x21);
  EXPECT_EQ(Green(c), 0x5B);
  EXPECT_EQ(Blue(c), 0xFF);
  EndFrame();
}

TEST_F(SceneRenderTest, CubeOnTheMiddleCellCoversItsScreenPointInItsSkin) {
  IDirect3DTexture8* skin = Texture(4, 4, std::vector<DWORD>(16, 0xFFC02020));
  BeginFrame();
  int x = 0, y = 0;
  ScreenOf(D3DVECTOR{0, 0, 0.4f}, x, y);
  EXPECT_EQ(At(x, y), 0x215BFFu) << "nothing there before the cube";
  DrawCube(D3DVECTOR{0, 0, 0.4f}, skin);
  const DWORD c = At(x, y);
  SCOPED_TRACE(::testing::Message() << std::hex << c);
  // The skin's red, brightened evenly by the room light's specular highlight.
  EXPECT_GE(Red(c), 0xB8);
  EXPECT_NEAR(Green(c), Blue(c), 4);
  EXPECT_LT(Green(c), Red(c) - 0x60);
  EndFrame();
}

TEST_F(SceneRenderTest, CellOneOneIsOnTheRightOfTheScreen) {
  IDirect3DTexture8* skin = Texture(4, 4, std::vector<DWORD>(16, 0xFF20C020));
  BeginFrame();
  DrawCube(D3DVECTOR{-4, -4, 0.4f}, skin);
  int x = 0, y = 0;
  ScreenOf(D3DVECTOR{-4, -4, 0.4f}, x, y);
  EXPECT_GT(x, W / 2);
  EXPECT_GT(y, H / 2) << "world y = -4 is low on the screen";
  EXPECT_GT(Green(At(x, y)), 0x90);
  int mx = 0, my = 0;
  ScreenOf(D3DVECTOR{4, -4, 0.4f}, mx, my);
  EXPECT_EQ(At(mx, my), 0x215BFFu) << "the mirrored place stays empty";
  EndFrame();
}

TEST_F(SceneRenderTest, SpriteShowsItsPictureUnmirrored) {
  // 2 × 2: top-left red, top-right blue, bottom-left green, bottom-right white.
  IDirect3DTexture8* t = Texture(2, 2, {0xFFFF0000, 0xFF0000FF, 0xFF00FF00, 0xFFFFFFFF});
  Device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
  BeginFrame();
  T3DSprite sprite(Device, "Images\\none.tga");
  Place(sprite, t, D3DVECTOR{4, 4, 1}, D3DVECTOR{-1.8f, -0.25f, 0});
  sprite.Draw();
  int cx = 0, cy = 0;
  ScreenOf(sprite.Position, cx, cy);
  const int d = 60;
  EXPECT_EQ(At(cx - d, cy - d), 0xFF0000u) << "top left";
  EXPECT_EQ(At(cx + d, cy - d), 0x0000FFu) << "top right";
  EXPECT_EQ(At(cx - d, cy + d), 0x00FF00u) << "bottom left";
  EXPECT_EQ(At(cx + d, cy + d), 0xFFFFFFu) << "bottom right";
  EndFrame();
}

TEST_F(SceneRenderTest, BackFacesAreCulledFrontFacesDrawn) {
  IDirect3DTexture8* t = Texture(1, 1, {0xFFFFFF00});
  BeginFrame();
  T3DSprite sprite(Device, "Images\\none.tga");
  Place(sprite, t, D3DVECTOR{2, 2, 1}, D3DVECTOR{-1.8f, -0.25f, 0});
  sprite.Rotation = D3DVECTOR{0, Pi, 0};  // turned away from the camera
  sprite.Draw();
  int cx = 0, cy = 0;
  ScreenOf(sprite.Position, cx, cy);
  EXPECT_EQ(At(cx, cy), 0x215BFFu);
  sprite.Rotation = D3DVECTOR{0, 0, HalfPi};  // turned in its plane: still facing us
  sprite.Draw();
  EXPECT_EQ(At(cx, cy), 0xFFFF00u);
  EndFrame();
}

TEST_F(SceneRenderTest, FullScreenPictureFillsTheWindow) {
  IDirect3DTexture8* t = Texture(1, 1, {0xFF808000});
  BeginFrame();
  T3DSprite picture(Device, "Images\\none.jpg");
  Place(picture, t, D3DVECTOR{ViewWidth, ViewHeight, 1},
        D3DVECTOR{static_cast<float>(SceneOriginX), static_cast<float>(SceneOriginY), 0});
  picture.Draw();
  for (const auto& [x, y] : {std::pair{0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}, {W / 2, 0}, {0, H / 2}})
    EXPECT_EQ(At(x, y), 0x808000u) << "pixel " << x << ", " << y;
  EndFrame();
}

class SceneTextTest : public SceneRenderTest {
 protected:
  void SetUp() override {
    SceneRenderTest::SetUp();
    // Font 2 as a white block font: every glyph is the whole 16 × 16 texture.
    Fonts[2].Texture = Texture(16, 16, std::vector<DWORD>(256, 0xFFFFFFFF));
    Fonts[2].Texture->AddRef();
    for (int g = 1; g <= 51; ++g) {
      Fonts[2].Glyphs[g] = TGlyph{0, 1, 1, 0};
      Fonts[2].Widths[g] = 20;
    }
    Fonts[2].GlyphCount = 51;
  }
  void TearDown() override {
    FreeFontTextures();
    Fonts[2] = TFont{};
    SceneRenderTest::TearDown();
  }
};

TEST_F(SceneTextTest, TextRunsToTheRightOnScreen) {
  BeginFrame();
  const float x0 = 0, y0 = 0;
  const float pen = DrawText3D(2, 2, 50, x0, y0, "1 1", 0.1f, 255);  // glyph, space, glyph
  int startX = 0, startY = 0, endX = 0, endY = 0;
  ScreenOf(D3DVECTOR{x0, y0, 0.1f}, startX, startY);
  ScreenOf(D3DVECTOR{pen, y0, 0.1f}, endX, endY);
  EXPECT_GT(endX, startX + 40);
  // First glyph just right of the start, the gap of the space, the last glyph before the pen.
  EXPECT_EQ(At(startX + 3, startY), 0xFFFFFFu);
  int gapX = 0, gapY = 0;
  ScreenOf(D3DVECTOR{x0 - 1.0f * 0.05f * 20 - 0.5f * 22 * 0.05f, y0, 0.1f}, gapX, gapY);
  EXPECT_EQ(At(gapX, gapY), 0x215BFFu);
  EXPECT_EQ(At(endX - 3, endY), 0xFFFFFFu);
  EXPECT_EQ(At(endX + 3, endY), 0x215BFFu);
  EndFrame();
}

TEST_F(SceneTextTest, HalfAlphaLabelBlendsHalfway) {
  BeginFrame();
  // The colour stage selects the texture (white here); the palette's vertex
  // colour brings only its alpha.
  DrawText3D(2, 6, 50, 0, 0, "8", 0.1f, 128);
  int x = 0, y = 0;
  ScreenOf(D3DVECTOR{-0.5f, 0, 0.1f}, x, y);
  const DWORD c = At(x, y);
  SCOPED_TRACE(::testing::Message() << std::hex << c);
  EXPECT_NEAR(Red(c), (255 * 128 + 0x21 * 127) / 255, 3);
  EXPECT_NEAR(Green(c), (255 * 128 + 0x5B * 127) / 255, 3);
  EXPECT_NEAR(Blue(c), 0xFF, 3);
  EndFrame();
}

TEST_F(SceneRenderTest, EightOfTheGameFontLightsItsGlyph) {
  const std::string game = VOXARINE_GAME_DIR;
  if (!std::filesystem::exists(game + "/data/font1.tga")) GTEST_SKIP() << "no game folder built";
  SetGameFolder(game);
  LoadFontTextures();
  LoadFontMetrics();
  ASSERT_NE(Fonts[2].Texture, nullptr);
  BeginFrame();
  const float s = 0.1f;  // size 100
  const float pen = DrawText3D(2, 2, 100, 0, 0, "8", 0.1f, 255);
  // Count lit pixels inside the glyph's box and outside, around it.
  int left = 0, top = 0, right = 0, bottom = 0;
  ScreenOf(D3DVECTOR{0, GlyphHeight * s / 2, 0.1f}, left, top);
  ScreenOf(D3DVECTOR{pen, -GlyphHeight * s / 2, 0.1f}, right, bottom);
  std::vector<DWORD> px;
  ASSERT_EQ(D3D8GLReadPixels(Device, left - 20, top - 20, right - left + 40, bottom - top + 40, px), D3D_OK);
  const int bw = right - left + 40;
  int inside = 0, outside = 0;
  for (int j = 0; j < bottom - top + 40; ++j)
    for (int i = 0; i < bw; ++i) {
      const bool lit = Red(px[j * bw + i]) > 0x90;  // the clear colour's red is 0x21
      const bool in = i >= 20 && i < bw - 20 && j >= 20 && j < bottom - top + 20;
      (in ? inside : outside) += lit ? 1 : 0;
    }
  EXPECT_GT(inside, (right - left) * (bottom - top) / 20) << "the glyph's strokes";
  EXPECT_EQ(outside, 0);
  EndFrame();
  FreeFontTextures();
}

}  // namespace
