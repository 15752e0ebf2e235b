// The device set-up, the shared vertex buffer with its models, and the frame
// render's order, on the recording device.
#include <algorithm>
#include <cmath>

#include "frontend/cursor.h"
#include "frontend/loading_bar.h"
#include "scene_fixture.h"
#include "shell/math/d3dmath.h"
#include "shell/models.h"

namespace {

struct TExtent {
  D3DVECTOR Min{1e9f, 1e9f, 1e9f}, Max{-1e9f, -1e9f, -1e9f};
};

TExtent ExtentOf(const TModel& m) {
  TExtent e;
  for (const auto& p : m.Positions) {
    e.Min = {std::min(e.Min.x, p.x), std::min(e.Min.y, p.y), std::min(e.Min.z, p.z)};
    e.Max = {std::max(e.Max.x, p.x), std::max(e.Max.y, p.y), std::max(e.Max.z, p.z)};
  }
  return e;
}

// Every triangle faces the way its corners' normals point (outwards), and
// every index and uv is in range.
void ExpectSoundModel(const TModel& m) {
  int inward = 0;
  for (const auto& t : m.Triangles) {
    for (int k = 0; k < 3; ++k) {
      ASSERT_LT(static_cast<size_t>(t[k]), m.Positions.size());
      ASSERT_LT(static_cast<size_t>(t[3 + k]), m.Normals.size());
      ASSERT_LT(static_cast<size_t>(t[6 + k]), m.TexCoords.size());
    }
    const D3DVECTOR& a = m.Positions[t[0]];
    const D3DVECTOR face = VecCross(VecSubtract(m.Positions[t[1]], a), VecSubtract(m.Positions[t[2]], a));
    const D3DVECTOR n = VecAdd(VecAdd(m.Normals[t[3]], m.Normals[t[4]]), m.Normals[t[5]]);
    if (VecDot(face, n) <= 0) ++inward;
  }
  EXPECT_EQ(inward, 0) << "triangles wound against their normals";
  for (const auto& n : m.Normals) EXPECT_NEAR(VecLength(n), 1.0f, 1e-4f);
  for (const auto& uv : m.TexCoords) {
    EXPECT_GE(uv.U, -1e-5f);
    EXPECT_LE(uv.U, 1 + 1e-5f);
    EXPECT_GE(uv.V, -1e-5f);
    EXPECT_LE(uv.V, 1 + 1e-5f);
  }
}

TEST(SceneModels, TriangleCountsAndExtentsAsTabled) {
  EXPECT_EQ(CubeModel().Triangles.size(), 204u);
  EXPECT_EQ(BombModel().Triangles.size(), 354u);
  EXPECT_EQ(StoneModel().Triangles.size(), 44u);
  EXPECT_EQ(CubeModel().Positions.size(), 104u);
  EXPECT_EQ(StoneModel().Positions.size(), 24u);
  EXPECT_EQ(StoneModel().Normals.size(), 26u);

  const TExtent cube = ExtentOf(CubeModel()), stone = ExtentOf(StoneModel()), bomb = ExtentOf(BombModel());
  for (const TExtent& e : {cube, stone}) {
    EXPECT_NEAR(e.Min.x, -0.5f, 1e-5f);
    EXPECT_NEAR(e.Max.y, 0.5f, 1e-5f);
    EXPECT_NEAR(e.Max.z, 0.5f, 1e-5f);
  }
  EXPECT_NEAR(bomb.Max.x, 0.3755f, 1e-4f);
  EXPECT_NEAR(bomb.Min.x, -0.3755f, 1e-4f);
  EXPECT_NEAR(bomb.Min.y, -0.5f, 1e-4f);
  EXPECT_NEAR(bomb.Max.y, 0.5f, 1e-4f);
  EXPECT_NEAR(bomb.Max.z, 0.4559f, 1e-4f);
  EXPECT_NEAR(bomb.Min.z, -0.4559f, 1e-4f);
}

TEST(SceneModels, FlatFacesHaveTheTabledSize) {
  // The cube's +z face is flat from -0.4 to 0.4, the stone's from -0.38 to 0.38.
  auto flatHalf = [](const TModel& m) {
    float half = 0;
    for (const auto& p : m.Positions)
      if (std::fabs(p.z - 0.5f) < 1e-6f) half = std::max(half, std::fabs(p.x));
    return half;
  };
  EXPECT_NEAR(flatHalf(CubeModel()), 0.4f, 1e-5f);
  EXPECT_NEAR(flatHalf(StoneModel()), 0.38f, 1e-5f);
}

TEST(SceneModels, EveryTriangleFacesOutwards) {
  ExpectSoundModel(CubeModel());
  ExpectSoundModel(BombModel());
  ExpectSoundModel(StoneModel());
}

TEST_F(SceneTest, GeometryRangesAndConversions) {
  MakeScene();
  ASSERT_EQ(Collector.Count, 5);
  EXPECT_EQ(Collector.Total, 606);
  const int firstVertex[6] = {0, 0, 6, 12, 624, 1686};
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(3 * Collector.Ranges[r].Start, firstVertex[r]) << "range " << r;
  ASSERT_EQ(Rec->VertexBytes(VertexBuffer)->size(), 65448u);

  const TSceneVertex* v = Vertices();
  // Quad B vertex 1: (0.5, -0.5) with u 0, v 1, white.
  EXPECT_FLOAT_EQ(v[6].X, 0.5f);
  EXPECT_FLOAT_EQ(v[6].Y, -0.5f);
  EXPECT_FLOAT_EQ(v[6].U, 0);
  EXPECT_FLOAT_EQ(v[6].V, 1);
  EXPECT_EQ(v[6].Diffuse, 0xFFFFFFFFu);

  // Model corners: x and the normal's x negated, v negated, the bomb scaled by 1.25.
  const TModel& cube = CubeModel();
  const auto& t = cube.Triangles[0];
  EXPECT_FLOAT_EQ(v[12].X, -cube.Positions[t[0]].x);
  EXPECT_FLOAT_EQ(v[12].Y, cube.Positions[t[0]].y);
  EXPECT_FLOAT_EQ(v[12].NX, -cube.Normals[t[3]].x);
  EXPECT_FLOAT_EQ(v[12].V, -cube.TexCoords[t[6]].V);
  const TModel& bomb = BombModel();
  const auto& b = bomb.Triangles[5];
  EXPECT_FLOAT_EQ(v[624 + 15].Z, 1.25f * bomb.Positions[b[0]].z);
  float maxY = 0;
  for (int i = 624; i < 1686; ++i) maxY = std::max(maxY, v[i].Y);
  EXPECT_NEAR(maxY, 0.625f, 1e-4f);

  // A second build on a new device starts over at the same ranges.
  ReleaseGraphics();
  MakeScene();
  EXPECT_EQ(Collector.Count, 5);
  EXPECT_EQ(3 * Collector.Ranges[5].Start, 1686);
}

TEST_F(SceneTest, RecolorQuadTouchesOnlyQuadA) {
  MakeScene();
  const std::vector<BYTE> before = *Rec->VertexBytes(VertexBuffer);
  RecolorQuad(0x80FF0000, 0.25f);
  const TSceneVertex* v = Vertices();
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(v[i].Diffuse, 0x80FF0000u);
    EXPECT_FLOAT_EQ(v[i].Z, 0.25f);
  }
  EXPECT_FLOAT_EQ(v[1].U, 1);
  const std::vector<BYTE>& after = *Rec->VertexBytes(VertexBuffer);
  EXPECT_TRUE(std::equal(before.begin() + 216, before.end(), after.begin() + 216)) << "quad B and the models stay";
}

TEST_F(SceneTest, DeviceCreationFollowsTheDisplayMode) {
  // Full screen with a colour depth other than 16 or 32 makes no device.
  EXPECT_FALSE(InitD3D(nullptr, true, 800, 600, 24, 0, true, true));
  EXPECT_EQ(D3DDevice, nullptr);
  ASSERT_TRUE(InitD3D(nullptr, true, 800, 600, 16, 0, true, true));
  const TRecordD3D* d3d = AsRecordD3D(D3D);
  ASSERT_NE(d3d, nullptr);
  EXPECT_EQ(d3d->LastParams.BackBufferFormat, D3DFMT_R5G6B5);
  EXPECT_EQ(d3d->LastParams.BackBufferWidth, 800u);
  EXPECT_EQ(d3d->LastParams.Windowed, FALSE);
  EXPECT_EQ(d3d->LastParams.AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(d3d->LastBehaviorFlags, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  ReleaseGraphics();

  // Windowed: the display's format, the window's size.
  ASSERT_TRUE(InitD3D(nullptr, false, 800, 600, 24, 0, false, true));
  d3d = AsRecordD3D(D3D);
  EXPECT_EQ(d3d->LastDeviceType, D3DDEVTYPE_REF);
  EXPECT_EQ(d3d->LastParams.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(d3d->LastParams.BackBufferWidth, 0u);
  EXPECT_EQ(d3d->LastParams.Windowed, TRUE);

  RecordConfig().DisplayModeResult = E_FAIL;
  ReleaseGraphics();
  EXPECT_FALSE(InitD3D(nullptr, false, 800, 600, 32, 0, true, true));
}

TEST_F(SceneTest, ReleaseGraphicsLogsEachObjectAndIsSafeTwice) {
  MakeScene();
  ReleaseGraphics();
  EXPECT_EQ(D3DDevice, nullptr);
  EXPECT_EQ(VertexBuffer, nullptr);
  EXPECT_EQ(D3D, nullptr);
  ReleaseGraphics();
  const std::string log = Log();
  EXPECT_NE(log.find(" Closing DGfx\r\n"), std::string::npos);
  EXPECT_NE(log.find(" VB released"), std::string::npos);
  EXPECT_LT(log.find(" D3DDevice released"), log.find(" D3D released"));
}

TEST_F(SceneTest, FixedStatesAndLights) {
  MakeScene();
  DWORD v = 0;
  D3DDevice->GetRenderState(D3DRS_CULLMODE, &v);
  EXPECT_EQ(v, static_cast<DWORD>(D3DCULL_CW));
  D3DDevice->GetRenderState(D3DRS_AMBIENT, &v);
  EXPECT_EQ(v, 0x00666666u);
  D3DDevice->GetTextureStageState(0, D3DTSS_COLOROP, &v);
  EXPECT_EQ(v, static_cast<DWORD>(D3DTOP_SELECTARG1));

  MoveCursorLight(2.5f, -1.0f);
  const TRecordedCall& last = Rec->Calls().back();
  EXPECT_EQ(last.Name, "SetLight");
  EXPECT_EQ(last.Args[0], 1u);
}

TEST_F(SceneTest, NothingIsDrawnBeforeTheSceneIsBuilt) {
  GameState = gsLaunch;
  EXPECT_EQ(RenderFrame(), D3D_OK) << "no device yet, still no error";
  GameState = gsMenu;
  EXPECT_EQ(RenderFrame(), E_FAIL);
}

TEST_F(SceneTest, FrameFailuresComeBackInOrder) {
  MakeScene();
  Rec->SetFailure("BeginScene", D3DERR_DEVICELOST);
  EXPECT_EQ(RenderFrame(), D3DERR_DEVICELOST);
  EXPECT_EQ(Rec->CountCalls("EndScene"), 0u);
  Rec->ClearFailures();
  Rec->SetFailure("Present", D3DERR_INVALIDCALL);
  EXPECT_EQ(RenderFrame(), D3DERR_INVALIDCALL);
}

TEST_F(SceneTest, FrameClearsSetsTheCameraAndTurnsDepthOffForOverlays) {
  MakeScene();
  GameState = gsTutorial;  // nothing of the game or the backdrop; the cursor does not exist yet
  ASSERT_EQ(RenderFrame(), D3D_OK);
  const auto& calls = Rec->Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0].Name, "Clear");
  EXPECT_EQ(calls[0].Args[3], 0x02215BFFu);
  EXPECT_EQ(calls.back().Name, "Present");
  EXPECT_EQ(Rec->CountCalls("SetRenderState", D3DRS_ZENABLE), 2u);

  // The camera looks down on the board from (-1.8, -0.25, 12.7): world x = -4
  // lands right of the screen's middle, the origin left of it.
  const D3DMATRIX vp = MatrixMultiply(SceneProjectionMatrix(), SceneViewMatrix());
  auto screenX = [&](float x) { return (x * vp._11 + vp._41) / (x * vp._14 + vp._44); };
  EXPECT_GT(screenX(-4), 0);
  EXPECT_LT(screenX(0), 0);
}

TEST_F(SceneTest, LoadingFrameShowsThePictureAndLitLamps) {
  MakeScene();
  GameState = gsLoading;
  LoadingBar = std::make_unique<TLoadingBar>(D3DDevice);
  LoadingBar->SetProgress(0);
  EXPECT_EQ(Rec->DrawCount(), 1u) << "the picture alone";
  Rec->ClearLog();
  LoadingBar->SetProgress(30);
  ASSERT_EQ(Rec->DrawCount(), 31u);
  const TRecordedDraw& last = Rec->Draws().back();
  EXPECT_FLOAT_EQ(last.World._41, -5.495f) << "lamp 30";
  EXPECT_EQ(last.RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
  EXPECT_EQ(last.RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE)) << "turned-over lamps stay visible";
  EXPECT_EQ(Rec->Draws()[0].World._11, 14.45f);
  LoadingBar->SetProgress(200);
  EXPECT_EQ(LoadingBar->LitCount, 30);
  LoadingBar.reset();
}

}  // namespace
