// The score line, bonus lights and the game scene on the recording device:
// what is drawn, with which texture, and the state in effect at each draw.
#include <limits>

#include "frontend/cursor.h"
#include "frontend/menu.h"
#include "game/planes.h"
#include "game_update_fixture.h"
#include "shell/form_main.h"
#include "shell/scene.h"

namespace {

class DrawTest : public GameUpdateTest {
 protected:
  void SetUp() override {
    GameUpdateTest::SetUp();
    D3DDevice = Device;
    ASSERT_EQ(InitGeometry(), D3D_OK);
    ASSERT_EQ(Device->BeginScene(), D3D_OK);
    Rec->ClearLog();
  }
  void TearDown() override {
    Device->EndScene();
    SafeRelease(VertexBuffer);
    D3DDevice = nullptr;
    CursorMode = 1;
    GameUpdateTest::TearDown();
  }

  IDirect3DTexture8* NewTexture() {
    IDirect3DTexture8* t = nullptr;
    EXPECT_EQ(Device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &t), D3D_OK);
    Owned.push_back(t);
    return t;
  }

  std::unique_ptr<TScoreLine> MakeLine() {
    auto line = std::make_unique<TScoreLine>(Device, "missing.tga", D3DVECTOR{0.27f, 0.42f, 1},
                                             D3DVECTOR{4, -5.33459375f, 0.01f}, D3DVECTOR{});
    line->EndCap = std::make_unique<TBackPlane>(Device, "missing.tga", D3DVECTOR{0.27f, 0.42f, 1},
                                                D3DVECTOR{4.615f, -5.33459375f, 0.01f}, D3DVECTOR{});
    line->Texture = NewTexture();
    line->Texture->AddRef();
    line->EndCap->Texture = NewTexture();
    line->EndCap->Texture->AddRef();
    return line;
  }

  ~DrawTest() override {
    for (auto* t : Owned) t->Release();
  }

  std::vector<IDirect3DTexture8*> Owned;
};

const TVertexRange& QuadB() { return Collector.Ranges[RangeQuadB]; }

// ---- Score line --------------------------------------------------------------

TEST_F(DrawTest, EmptyScoreLineDrawsNoEndCap) {
  auto line = MakeLine();
  line->Fill = 0;
  line->Draw(QuadB(), 1, 0);
  ASSERT_EQ(Rec->DrawCount(), 1u);
  EXPECT_EQ(Rec->Draws()[0].Texture, line->Texture);
  EXPECT_FLOAT_EQ(Rec->Draws()[0].World._11, 0);
  EXPECT_EQ(Rec->Draws()[0].RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
  DWORD blend = TRUE;
  Device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blend);
  EXPECT_EQ(blend, static_cast<DWORD>(FALSE));
}

TEST_F(DrawTest, OverfullScoreLineIsFullLengthEndingAtTheCap) {
  auto line = MakeLine();
  line->Fill = 1.7f;
  line->Draw(QuadB(), 1, 0);
  ASSERT_EQ(Rec->DrawCount(), 2u);
  EXPECT_EQ(Rec->Draws()[0].Texture, line->EndCap->Texture);
  const D3DMATRIX& w = Rec->Draws()[1].World;
  EXPECT_FLOAT_EQ(w._11, 8.75f);
  EXPECT_FLOAT_EQ(w._41 + w._11 / 2, 4.51f);
  EXPECT_FLOAT_EQ(Rec->Draws()[1].Material.Power, 255);
}

TEST_F(DrawTest, ScoreLineLiesAboveTheBackgroundLikeItsEndCap) {
  auto line = MakeLine();
  for (float fill : {0.0f, 0.4f, 1.0f}) {
    Rec->ClearLog();
    line->Fill = fill;
    line->Draw(QuadB(), 2, 0);
    for (const auto& draw : Rec->Draws()) EXPECT_FLOAT_EQ(draw.World._43, 0.01f) << "fill " << fill;
  }
}

TEST_F(DrawTest, LowEnergyWarnsOnlyInTheTimedMode) {
  auto line = MakeLine();
  line->Fill = 0.1f;
  for (double clock = 0; clock < 2000; clock += 16) line->Draw(QuadB(), 1, clock);
  EXPECT_EQ(Sounds(sndTimeUp), 0);
  EXPECT_FLOAT_EQ(Rec->Draws().back().Material.Diffuse.r, 1) << "mode 1 never flashes";

  line->Fill = 0.2f;  // exactly 20 %: the warnings start
  line->Draw(QuadB(), 2, 1000);
  EXPECT_DOUBLE_EQ(line->NextWarning, 1150);
  line->Draw(QuadB(), 2, 1100);
  EXPECT_EQ(Sounds(sndTimeUp), 0);
  line->Draw(QuadB(), 2, 1150);
  EXPECT_EQ(Sounds(sndTimeUp), 1);
  EXPECT_DOUBLE_EQ(line->NextWarning, 1450) << "every 300 ms at the threshold";
  EXPECT_FLOAT_EQ(Rec->Draws().back().Material.Power, 256);

  line->Fill = 0.3f;
  line->Draw(QuadB(), 2, 1200);
  EXPECT_DOUBLE_EQ(line->NextWarning, 0);
  line->Fill = 0.05f;
  line->Draw(QuadB(), 2, 5000);
  EXPECT_DOUBLE_EQ(line->NextWarning, 5150) << "restarts from scratch";
}

TEST_F(DrawTest, BonusLightsDrawLitCountCopiesSideBySide) {
  TBonusLight lights(Device, "missing.tga", D3DVECTOR{0.36125f, 0.36125f, 1}, D3DVECTOR{-6.4f, 0.5f, 0}, D3DVECTOR{});
  lights.LitCount = 3;
  lights.Draw(QuadB());
  ASSERT_EQ(Rec->DrawCount(), 3u);
  EXPECT_FLOAT_EQ(Rec->Draws()[2].World._41, -6.4f - 2 * 0.289f);
  lights.LitCount = 0;
  lights.Draw(QuadB());
  EXPECT_EQ(Rec->DrawCount(), 3u);
}

// ---- Game scene ----------------------------------------------------------------

TEST_F(DrawTest, GameSceneOrderOfStates) {
  TGame& g = G();
  for (auto& plane : g.RoomPlanes)
    plane = std::make_unique<TBackPlane>(Device, "missing.jpg", D3DVECTOR{1, 1, 1}, D3DVECTOR{}, D3DVECTOR{});
  g.Background = std::make_unique<TBackPlane>(Device, "missing.jpg", D3DVECTOR{1, 1, 1}, D3DVECTOR{}, D3DVECTOR{});
  g.ScoreLine = MakeLine();
  g.BonusLights = std::make_unique<TBonusLight>(Device, "missing.tga", D3DVECTOR{1, 1, 1}, D3DVECTOR{}, D3DVECTOR{});
  g.BonusLights->LitCount = 2;
  g.Materials[1] = InitMaterial(1, 1, 1, 0, 10);
  g.Materials[2] = InitMaterial(1, 1, 1, 0, 255);
  Put(1, 1, ckColour1);
  Put(2, 2, ckBomb);
  Put(3, 3, ckStone);
  g.Levels[1].Progress = 250;
  g.DotCount = 0;
  AddParticle(ParticleLists[1], 0, D3DVECTOR{}, D3DVECTOR{}, 255);

  DrawGame();
  const auto& d = Rec->Draws();
  ASSERT_GE(d.size(), 6u + 2 + 2 + 3 + 16 + 1);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(d[k].StartVertex, QuadBFirstVertex);
    EXPECT_EQ(d[k].RenderState(D3DRS_AMBIENT), 0xFFFFFFu);
    EXPECT_EQ(d[k].StageState(D3DTSS_MAGFILTER), static_cast<DWORD>(D3DTEXF_NONE));
  }
  EXPECT_FLOAT_EQ(g.ScoreLine->Fill, 0.25f);
  EXPECT_EQ(d[6].StageState(D3DTSS_MINFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
  EXPECT_EQ(d[8].RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE)) << "bonus lights blend";
  // The cubes: their models, lit by the dimmer ambient, opaque, modulated.
  EXPECT_EQ(d[10].StartVertex, CubeFirstVertex);
  EXPECT_EQ(d[11].StartVertex, BombFirstVertex);
  EXPECT_FLOAT_EQ(d[11].Material.Power, 255);
  EXPECT_EQ(d[12].StartVertex, StoneFirstVertex);
  EXPECT_EQ(d[10].RenderState(D3DRS_AMBIENT), 0x666666u);
  EXPECT_EQ(d[10].RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
  EXPECT_EQ(d[10].StageState(D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
  // Sixteen figure cubes, then the particle last, additive.
  for (int k = 13; k < 29; ++k) EXPECT_EQ(d[k].StartVertex, CubeFirstVertex) << k;
  EXPECT_EQ(d.back().RenderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
}

TEST_F(DrawTest, PathMarksHiddenWhileAimingAShot) {
  G().Materials[1] = InitMaterial(1, 1, 1, 0, 10);
  G().AddDot(MakeCell(4, 4), 2);
  G().AddDot(MakeCell(4, 3), 1);
  CursorMode = 2;
  G().DrawBoard();
  size_t marks = 0;
  for (const auto& d : Rec->Draws())
    if (d.StartVertex == QuadBFirstVertex) ++marks;
  EXPECT_EQ(marks, 2u);
  Rec->ClearLog();
  CursorMode = 3;
  G().DrawBoard();
  for (const auto& d : Rec->Draws()) EXPECT_NE(d.StartVertex, QuadBFirstVertex);
}

TEST_F(DrawTest, BonusLevelShowsThePlateInsteadOfTheFigure) {
  G().Levels[1].Kind = 2;
  G().BonusPlate = std::make_unique<TBonusLight>(Device, "missing.tga", D3DVECTOR{1, 1, 1}, D3DVECTOR{}, D3DVECTOR{});
  G().BonusPlate->Texture = NewTexture();
  G().BonusPlate->Texture->AddRef();
  G().DrawBoard();
  size_t plates = 0, cubes = 0;
  for (const auto& d : Rec->Draws()) {
    if (d.Texture == G().BonusPlate->Texture) ++plates;
    if (d.StartVertex == CubeFirstVertex) ++cubes;
  }
  EXPECT_EQ(plates, 1u);
  EXPECT_EQ(cubes, 0u);
}

TEST_F(DrawTest, BackdropShowsThePictureOfTheState) {
  G().GameOverTexture = NewTexture();
  G().GameOverTexture->AddRef();
  GameState = gsGameOver;
  DrawBackdrop();
  ASSERT_EQ(Rec->DrawCount(), 1u);
  const TRecordedDraw& d = Rec->Draws()[0];
  EXPECT_EQ(d.Texture, G().GameOverTexture);
  EXPECT_EQ(d.StageState(D3DTSS_MAGFILTER), static_cast<DWORD>(D3DTEXF_NONE));
  EXPECT_FLOAT_EQ(d.World._11, 14.45f);
  EXPECT_FLOAT_EQ(d.World._22, 10.8375f);
  EXPECT_FLOAT_EQ(d.World._41, -1.8f);
  DWORD filter = 0;
  Device->GetTextureStageState(0, D3DTSS_MAGFILTER, &filter);
  EXPECT_EQ(filter, static_cast<DWORD>(D3DTEXF_LINEAR));
  GameState = gsLaunch;
}

// The full-screen pictures are held only while their screen shows: the
// hints and game-over pictures go when the other, the menu or a game is
// drawn, the menu's own when either of them or a game is.
TEST_F(DrawTest, StatePicturesAreHeldOnlyWhileTheirScreenShows) {
  const auto both = [&] {  // the game's own references, as loading gives it
    G().ReleaseStatePictures();
    G().GameOverTexture = NewTexture();
    G().GameOverTexture->AddRef();
    G().HelpTexture = NewTexture();
    G().HelpTexture->AddRef();
    ReleaseMenuBackdrop();
    MenuBackground = NewTexture();
    MenuBackground->AddRef();
  };
  both();
  IDirect3DTexture8* help = G().HelpTexture;
  GameState = gsHelp;
  DrawBackdrop();
  EXPECT_EQ(G().GameOverTexture, nullptr);
  EXPECT_EQ(MenuBackground, nullptr);
  ASSERT_EQ(Rec->DrawCount(), 1u);
  EXPECT_EQ(Rec->Draws()[0].Texture, help);

  for (TGameState leaving : {gsMenu, gsHiScores}) {
    both();
    GameState = leaving;
    DrawBackdrop();
    EXPECT_EQ(G().GameOverTexture, nullptr) << leaving;
    EXPECT_EQ(G().HelpTexture, nullptr) << leaving;
    EXPECT_NE(MenuBackground, nullptr) << leaving;
  }
  both();
  GameState = gsGame;
  DrawGame();
  EXPECT_EQ(G().GameOverTexture, nullptr);
  EXPECT_EQ(G().HelpTexture, nullptr);
  EXPECT_EQ(MenuBackground, nullptr);
  GameState = gsLaunch;
}

}  // namespace

// The board's numbers: rounded halves to even as the score's conversion does,
// and values a damaged file could carry clamped instead of overflowing.
TEST(BoardNumbers, RoundAndClampToWhatALongLongHolds) {
  EXPECT_EQ(RoundedText(1234.4), "1234");
  EXPECT_EQ(RoundedText(2.5), "2");
  EXPECT_EQ(RoundedText(-3.5), "-4");
  EXPECT_EQ(RoundedText(1e300), "9000000000000000000");
  EXPECT_EQ(RoundedText(-1e300), "-9000000000000000000");
  EXPECT_EQ(RoundedText(std::numeric_limits<double>::infinity()), "9000000000000000000");
  EXPECT_EQ(RoundedText(std::numeric_limits<double>::quiet_NaN()), "0");
}
