// The later game on the real device with the game folder's pictures, at both
// window sizes of the video options: the bonus level's plate and caption,
// and scenes of labels, granted items, the finale's flight, the camera sweep
// and the game-over picture. With VOXARINE_SHOTS set to a folder, every
// scene is also saved there as a PNG, for looking at.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "effects/particles.h"
#include "frontend/fonts.h"
#include "frontend/labels.h"
#include "frontend/menu.h"
#include "game/game.h"
#include "game/planes.h"
#include "platform/d3d8/gl/gl_device.h"
#include "platform/win32/paths.h"
#include "platform/win32/random.h"
#include "game_scene_fixture.h"
#include "render_window.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/scene.h"

namespace {

class LaterGameRenderTest : public TGameSceneTest {
 protected:
  void SetUp() override {
    OpenGame("later", 4242);
  }

  static TGame& G() { return *Game; }

  // Renders one frame and returns its pixels (0xAARRGGBB, top row first).
  std::vector<DWORD> Frame(const std::string& Name) {
    EXPECT_EQ(RenderFrame(), D3D_OK);
    std::vector<DWORD> px;
    EXPECT_EQ(D3D8GLReadPixels(D3DDevice, 0, 0, W, H, px), D3D_OK);
    if (const char* out = std::getenv("VOXARINE_SHOTS"); out && px.size() == static_cast<size_t>(W * H)) {
      std::vector<unsigned char> rgb(static_cast<size_t>(W * H * 3));
      for (size_t i = 0; i < px.size(); ++i) {
        rgb[3 * i] = static_cast<unsigned char>(px[i] >> 16);
        rgb[3 * i + 1] = static_cast<unsigned char>(px[i] >> 8);
        rgb[3 * i + 2] = static_cast<unsigned char>(px[i]);
      }
      const std::string file = std::string(out) + "/" + Name + "_" + std::to_string(W) + "x" + std::to_string(H) + ".png";
      stbi_write_png(file.c_str(), W, H, 3, rgb.data(), W * 3);
    }
    return px;
  }

  // Window pixel of a point of the board plane, through the camera at rest.
  void ScreenOf(float X, float Y, int& PX, int& PY) const {
    const D3DMATRIX m = MatrixMultiply(SceneProjectionMatrix(), SceneViewMatrix());
    const float cx = X * m._11 + Y * m._21 + m._41, cy = X * m._12 + Y * m._22 + m._42;
    const float cw = X * m._14 + Y * m._24 + m._44;
    PX = static_cast<int>((cx / cw + 1) * 0.5f * static_cast<float>(W));
    PY = static_cast<int>((1 - cy / cw) * 0.5f * static_cast<float>(H));
  }

  // Mean colour difference of two frames along a row of the board plane.
  double RowDifference(const std::vector<DWORD>& A, const std::vector<DWORD>& B, float Y, float X0, float X1) const {
    double sum = 0;
    int n = 0;
    for (float x = X0; x >= X1; x -= 0.02f) {
      int px, py;
      ScreenOf(x, Y, px, py);
      const size_t i = static_cast<size_t>(py) * W + px;
      for (int shift : {0, 8, 16}) sum += std::abs(static_cast<int>((A[i] >> shift) & 0xFF) - static_cast<int>((B[i] >> shift) & 0xFF));
      ++n;
    }
    return n ? sum / (3 * n) : 0;
  }

  int Put(int X, int Y, TCubeKind Kind) {
    G().AddItemAt(Kind, MakeCell(static_cast<std::uint8_t>(X), static_cast<std::uint8_t>(Y)));
    return G().CubeCount;
  }

  void Square(int X, int Y, TCubeKind Kind) {
    for (int dx = 0; dx <= 1; ++dx)
      for (int dy = 0; dy <= 1; ++dy) Put(X + dx, Y + dy, Kind);
  }

  void Run(double Ms, float Step) {
    for (double t = 0; t < Ms; t += Step) {
      TotalTime += Step;
      G().Update(Step);
    }
  }

};

TEST_P(LaterGameRenderTest, TheBonusPlateFitsItsWindowAndBringsItsOwnCaption) {
  const std::vector<DWORD> normal = Frame("level");
  G().Level = 4;  // the next level is the first bonus level
  G().StartLevel();
  ASSERT_EQ(G().CurrentLevel().Kind, 2);
  const std::vector<DWORD> bonus = Frame("item7_item9_bonus_level");
  ASSERT_EQ(normal.size(), bonus.size());
  // The window's lower rim, at y -3.2, shows as on any level.
  EXPECT_LT(RowDifference(normal, bonus, -3.2f, -6.3f, -7.6f), 6) << "the plate covers the window's rim";
  // The caption's upper half, at y -0.58, reads differently on a bonus level.
  EXPECT_GT(RowDifference(normal, bonus, -0.58f, -6.3f, -7.6f), 6) << "the bonus level keeps the figure's caption";
}

TEST_P(LaterGameRenderTest, Scenes) {
  // Labels of squares and a blast at the board's edges and corners.
  G().ClearBoard();
  Put(5, 5, ckColour3);
  G().Combo = 2;
  Square(1, 8, ckColour1);
  G().TestFigures();
  G().Combo = 4;
  Square(8, 8, ckColour2);
  G().TestFigures();
  Square(1, 1, ckColour4);
  G().TestFigures();
  Put(5, 9, ckColour3);
  Put(9, 1, ckBomb);
  G().BombBlast(9, 1);
  Run(150, 16);
  Frame("item3_labels");

  // Items granted for a combo: the second caught 150 ms after it was granted.
  ClearScoreLabels();
  ClearAllParticles();
  G().ClearBoard();
  for (int x = 2; x <= 8; x += 3) Put(x, 4, ckColour1);
  TLevelInfo& L = G().CurrentLevel();
  L.AllowBomb = L.AllowShot = L.AllowColorize = true;
  RandSeed(7);
  G().GrantItem();
  Run(700, 16);
  G().GrantItem();
  Run(150, 16);
  Frame("item4_granted");

  // The finale's flight at 90 frames a second, one second and two and a half seconds in.
  ClearScoreLabels();
  ClearAllParticles();
  G().Level = 3;
  G().StartLevel();
  ASSERT_EQ(G().CurrentLevel().Kind, 1);
  G().ClearBoard();
  for (int x = 1; x <= 9; ++x)
    for (int y = 1; y <= 9; y += 2) Put(x, y, static_cast<TCubeKind>(1 + (x + y) % 4));
  G().CurrentLevel().Progress = G().CurrentLevel().Target[1];
  Run(1000, 11);
  Frame("item5_flight_1s");
  Run(1500, 11);
  Frame("item5_flight_2.5s");
  Run(2000, 11);  // into the next level

  // The game-over sweep with the score line half full, the camera low over its side.
  ClearScoreLabels();
  ClearAllParticles();
  for (int x = 2; x <= 8; x += 2) Put(x, 3, ckColour2);
  G().EndPhase = epGameOver;
  G().EndTimer = 0;
  if (G().ScoreLine) G().ScoreLine->Fill = 0.6f;
  Run(1260, 16);
  Frame("item6_sweep");
  if (Options) Options->ResetCamera();

  GameState = gsGameOver;
  Frame("item2_gameover");
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, LaterGameRenderTest, ::testing::Values(TSize{800, 600}, TSize{1280, 960}),
                         [](const auto& Info) { return std::to_string(Info.param.W) + "x" + std::to_string(Info.param.H); });

}  // namespace
