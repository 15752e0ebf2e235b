// The picture's shape on the real device: at the window and screen sizes
// players have, the board's cells are square (within a pixel), the 4 : 3
// picture is centred, and the bars around it are black. With VOXARINE_SHOTS
// set to a folder, each frame is saved there as a PNG, for looking at.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "frontend/fonts.h"
#include "frontend/menu.h"
#include "game/game.h"
#include "platform/d3d8/gl/gl_device.h"
#include "platform/win32/paths.h"
#include "platform/win32/random.h"
#include "game_scene_fixture.h"
#include "render_window.h"
#include "shell/form_main.h"
#include "shell/math/d3dmath.h"
#include "shell/options.h"
#include "shell/scene.h"

namespace {

constexpr DWORD Marker = 0xFF00FF;  // magenta: nowhere else in the scene

// A pixel's colour without its alpha.
DWORD Rgb(DWORD Pixel) { return Pixel & 0xFFFFFF; }

struct TBox {
  int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1;  // inclusive
  int Width() const { return Right - Left + 1; }
  int Height() const { return Bottom - Top + 1; }
  bool Empty() const { return Right < Left; }
};

class DisplayShapeRenderTest : public TGameSceneTest {
 protected:
  void SetUp() override {
    OpenGame("shape", 2121);
    if (IsSkipped() || HasFatalFailure()) return;
    for (int i = 0; i < 100; ++i) Game->Update(16);  // the first cubes grown
  }

  // Draws the game as the frame does, then one flat magenta cell-sized square
  // on the board plane over each cell of Cells; returns the pixels.
  std::vector<DWORD> Frame(const std::vector<std::pair<int, int>>& Cells) {
    IDirect3DDevice8* d = D3DDevice;
    EXPECT_EQ(d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, ClearColor, 1.0f, 0), D3D_OK);
    EXPECT_EQ(d->BeginScene(), D3D_OK);
    const D3DMATRIX view = SceneViewMatrix(), projection = SceneProjectionMatrix();
    d->SetTransform(D3DTS_VIEW, &view);
    d->SetTransform(D3DTS_PROJECTION, &projection);
    d->SetTransform(D3DTS_WORLD, &IdentityMatrix);
    DrawGame();
    RecolorQuad(0xFF000000 | Marker, 0);
    d->SetRenderState(D3DRS_ZENABLE, FALSE);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d->SetTexture(0, nullptr);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    for (const auto& [x, y] : Cells) {
      // Cell (x, y) is the unit square centred on (x - 5, y - 5).
      const D3DMATRIX at = MatrixTranslation(MakeVector(static_cast<float>(x - 5), static_cast<float>(y - 5), 0));
      d->SetTransform(D3DTS_WORLD, &at);
      d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    }
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetRenderState(D3DRS_LIGHTING, TRUE);
    d->SetRenderState(D3DRS_ZENABLE, TRUE);
    EXPECT_EQ(d->EndScene(), D3D_OK);
    std::vector<DWORD> px;
    EXPECT_EQ(D3D8GLReadPixels(d, 0, 0, W, H, px), D3D_OK);
    return px;
  }

  void Save(const std::vector<DWORD>& Px, const std::string& Name) const {
    const char* out = std::getenv("VOXARINE_SHOTS");
    if (!out || Px.size() != static_cast<size_t>(W) * H) return;
    std::vector<unsigned char> rgb(Px.size() * 3);
    for (size_t i = 0; i < Px.size(); ++i) {
      rgb[3 * i] = static_cast<unsigned char>(Px[i] >> 16);
      rgb[3 * i + 1] = static_cast<unsigned char>(Px[i] >> 8);
      rgb[3 * i + 2] = static_cast<unsigned char>(Px[i]);
    }
    const std::string file = std::string(out) + "/" + Name + "_" + std::to_string(W) + "x" + std::to_string(H) + ".png";
    stbi_write_png(file.c_str(), W, H, 3, rgb.data(), W * 3);
  }

  // Bounding box of the pixels for which Keep holds, within [X0, X1) x [Y0, Y1).
  template <class TKeep>
  TBox BoxOf(const std::vector<DWORD>& Px, TKeep Keep, int X0 = 0, int Y0 = 0, int X1 = -1, int Y1 = -1) const {
    TBox b;
    for (int y = Y0; y < (Y1 < 0 ? H : Y1); ++y)
      for (int x = X0; x < (X1 < 0 ? W : X1); ++x)
        if (Keep(Px[static_cast<size_t>(y) * W + x])) {
          b.Left = std::min(b.Left, x);
          b.Right = std::max(b.Right, x);
          b.Top = std::min(b.Top, y);
          b.Bottom = std::max(b.Bottom, y);
        }
    return b;
  }

};

// The cells at the board's corners and centre are square; the picture is
// 4 : 3, centred, and whatever is left over is black.
TEST_P(DisplayShapeRenderTest, BoardCellsAreSquareAndThePictureSitsBetweenBlackBars) {
  const std::vector<DWORD> plain = Frame({});
  ASSERT_EQ(plain.size(), static_cast<size_t>(W) * H);
  Save(plain, "board");

  // The picture: everything that is not pure black (the room leaves no pixel black).
  const TBox picture = BoxOf(plain, [](DWORD p) { return Rgb(p) != 0; });
  ASSERT_FALSE(picture.Empty());
  EXPECT_NEAR(picture.Width() * 3.0, picture.Height() * 4.0, 4.0 + 1e-9) << "a 4 : 3 picture, within a pixel";
  EXPECT_LE(std::abs(picture.Left - (W - 1 - picture.Right)), 1) << "centred across";
  EXPECT_LE(std::abs(picture.Top - (H - 1 - picture.Bottom)), 1) << "centred down";
  EXPECT_TRUE(picture.Width() == W || picture.Height() == H) << "as large as fits";
  // The bars are wholly black.
  const TBox outside = BoxOf(plain, [](DWORD p) { return Rgb(p) != 0; }, 0, 0, picture.Left, H);
  EXPECT_TRUE(outside.Empty()) << "the left bar is black";

  for (const auto& cell : std::vector<std::pair<int, int>>{{1, 1}, {5, 5}, {9, 9}, {1, 9}}) {
    const std::vector<DWORD> marked = Frame({cell});
    const TBox box = BoxOf(marked, [](DWORD p) { return Rgb(p) == Marker; });
    ASSERT_FALSE(box.Empty()) << "cell " << cell.first << "," << cell.second;
    EXPECT_NEAR(box.Width(), box.Height(), 1.0) << "cell " << cell.first << "," << cell.second << " at " << W << "x"
                                                 << H << ": " << box.Width() << " x " << box.Height() << " pixels";
    EXPECT_GE(box.Left, picture.Left);
    EXPECT_LE(box.Right, picture.Right);
    // A cell is 1 / 14.45 of the view's width at the board's plane (the view's own plane).
    EXPECT_NEAR(box.Width(), picture.Width() / ViewWidth, 2.0);
  }
  Save(Frame({{1, 1}, {5, 5}, {9, 9}, {1, 9}, {9, 1}}), "cells");
}

INSTANTIATE_TEST_SUITE_P(ScreenSizes, DisplayShapeRenderTest,
                         ::testing::Values(TSize{1280, 768}, TSize{1920, 1080}, TSize{1280, 800}, TSize{800, 600}),
                         [](const ::testing::TestParamInfo<TSize>& info) {
                           return std::to_string(info.param.W) + "x" + std::to_string(info.param.H);
                         });

}  // namespace
