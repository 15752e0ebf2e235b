// Every display: the 4 : 3 picture fitted between bars (the fit, the pointer's
// mapping, clicks in the bars), and the frame pace (the pacer's steps, what
// counts as a still screen, the wait between passes, the FrameCap setting and
// the command-line switch).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <SDL.h>

#include "effects/particles.h"
#include "frontend/cursor.h"
#include "frontend/hiscores.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "game/game.h"
#include "platform/d3d8/picture_fit.h"
#include "shell/command_line.h"
#include "shell/frame_pacer.h"
#include "game_window_fixture.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// ---- The fit ----------------------------------------------------------------------

// The sizes players have: bars on the long side only, the picture 4 : 3 within a pixel, centred.
TEST(PictureFit, WideAndTallScreensGetBarsOnTheLongSide) {
  struct {
    int W, H;
    TPictureRect Want;
  } const cases[] = {
      {1280, 768, {128, 0, 1024, 768}},   // 5 : 3
      {1920, 1080, {240, 0, 1440, 1080}},  // 16 : 9
      {1280, 800, {106, 0, 1067, 800}},   // 16 : 10
      {640, 400, {53, 0, 533, 400}},
      {1280, 1024, {0, 32, 1280, 960}},   // 5 : 4: bars above and below
      {800, 600, {0, 0, 800, 600}},
  };
  for (const auto& c : cases) {
    const TPictureRect r = FitPicture(c.W, c.H, 4, 3);
    EXPECT_EQ(r, c.Want) << c.W << "x" << c.H;
    EXPECT_NEAR(r.Width * 3.0, r.Height * 4.0, 4.0) << "4 : 3 within a pixel";
    EXPECT_LE(std::abs((c.W - r.X - r.Width) - r.X), 1) << "centred";
  }
}

// Bars thinner than a pixel a side are none; no shape, or no screen, is the whole screen.
TEST(PictureFit, NearlyFourByThreeNoAspectAndEmptyScreensUseItWhole) {
  EXPECT_EQ(FitPicture(796, 596, 4, 3), (TPictureRect{0, 0, 796, 596}));  // 794.7 wide: 1.3 px over
  EXPECT_EQ(FitPicture(798, 596, 4, 3), (TPictureRect{1, 0, 795, 596}));  // 3 px over: bars
  EXPECT_EQ(FitPicture(1280, 768, 0, 0), (TPictureRect{0, 0, 1280, 768}));
  EXPECT_EQ(FitPicture(0, 0, 4, 3), (TPictureRect{0, 0, 0, 0}));
  EXPECT_EQ(FitPicture(-5, 10, 4, 3), (TPictureRect{0, 0, 0, 10}));
  const TPictureRect huge = FitPicture(2000000000, 1000, 4, 3);  // no overflow
  EXPECT_EQ(huge.Width, 1333);
}

// Pixels of the picture map to 0..1; the bars are outside and clamp to the edge.
TEST(PictureFit, PointsInThePictureAndInTheBars) {
  const TPictureRect r{128, 0, 1024, 768};
  float u = -1, v = -1;
  EXPECT_TRUE(PointInPicture(r, 128, 0, u, v));
  EXPECT_FLOAT_EQ(u, 0);
  EXPECT_FLOAT_EQ(v, 0);
  EXPECT_TRUE(PointInPicture(r, 640, 384, u, v));
  EXPECT_FLOAT_EQ(u, 0.5f);
  EXPECT_FLOAT_EQ(v, 0.5f);
  EXPECT_TRUE(PointInPicture(r, 1151, 767, u, v)) << "the last pixel";
  EXPECT_FALSE(PointInPicture(r, 1152, 300, u, v)) << "the first pixel of the right bar";
  EXPECT_FLOAT_EQ(u, 1);
  EXPECT_FALSE(PointInPicture(r, 127, 300, u, v)) << "the last pixel of the left bar";
  EXPECT_FLOAT_EQ(u, 0);
  EXPECT_FALSE(PointInPicture(r, 5, -3, u, v));
  EXPECT_FLOAT_EQ(v, 0);
}

// ---- The window: pointer and clicks -----------------------------------------------

class DisplayWindowTest : public GameWindowTest {
 protected:
  // A window of W x H (the video options' list, or the desktop), loaded to the menu.
  void OpenWindow(int Resolution) {
    Options->Fullscreen = false;
    Options->Desktop = false;
    Options->Resolution = static_cast<std::uint8_t>(Resolution);
    CreateAndShowWindow();
    bool done = true;
    FormMain->ApplicationEvents1Idle(done);
    done = true;
    FormMain->ApplicationEvents1Idle(done);
    ASSERT_EQ(GameState, gsMenu);
  }
  void Click(int X, int Y) {
    FormMain->FormMouseMove(X, Y);
    FormMain->FormMouseDown(0);
    FormMain->FormMouseUp(0);
  }
};

// In a 1280 x 768 window the picture is 1024 x 768 from x = 128: its edges are the view's.
TEST_F(DisplayWindowTest, PointerMapsIntoThePictureNotTheWindow) {
  OpenWindow(6);
  ASSERT_EQ(FormMain->ClientWidth(), 1280);
  FormMain->FormMouseMove(128, 0);
  EXPECT_TRUE(PointerInPicture());
  EXPECT_NEAR(CursorX(), 5.425f, 1e-4f);
  EXPECT_NEAR(CursorY(), 5.16875f, 1e-4f);
  FormMain->FormMouseMove(640, 384);
  EXPECT_NEAR(CursorX(), -1.8f, 1e-4f);
  EXPECT_NEAR(CursorY(), -0.25f, 1e-4f);
  FormMain->FormMouseMove(1151, 767);
  EXPECT_NEAR(CursorX(), -1.8f - 7.225f, 0.02f);
  // In a bar the cursor stands at the picture's edge and is not drawn.
  FormMain->FormMouseMove(20, 384);
  EXPECT_FALSE(PointerInPicture());
  EXPECT_NEAR(CursorX(), 5.425f, 1e-4f);
  Rec = AsRecordDevice(D3DDevice);
  Rec->ClearLog();
  D3DDevice->BeginScene();
  DrawCursor(1);
  D3DDevice->EndScene();
  EXPECT_EQ(Rec->DrawCount(), 0u);
  FormMain->FormMouseMove(300, 384);
  D3DDevice->BeginScene();
  DrawCursor(1);
  D3DDevice->EndScene();
  EXPECT_EQ(Rec->DrawCount(), 1u);
}

// The game-over picture moves on at any click, but not at one in the bars, nor
// at a press carried into or out of them.
TEST_F(DisplayWindowTest, AClickInTheBarsDoesNothing) {
  OpenWindow(6);
  GameState = gsGameOver;
  Game->Mode = 1;
  Game->EndPhase = epPlaying;
  Click(60, 400);      // left bar
  Click(1220, 100);    // right bar
  EXPECT_EQ(GameState, gsGameOver);
  FormMain->FormMouseMove(60, 400);
  FormMain->FormMouseDown(0);
  FormMain->FormMouseMove(640, 400);
  FormMain->FormMouseUp(0);
  EXPECT_EQ(GameState, gsGameOver) << "pressed in a bar, released in the picture";
  Click(640, 400);
  EXPECT_EQ(GameState, gsHiScores);

  // On the menu: pressed on an item, released in a bar lets the item go.
  GameState = gsMenu;
  Menu->SetPage(mpMain);
  FormMain->FormMouseMove(640, 295);  // "Play", centred in the picture
  FormMain->FormMouseDown(0);
  EXPECT_TRUE(Menu->Pressed);
  FormMain->FormMouseMove(1250, 295);
  FormMain->FormMouseUp(0);
  EXPECT_FALSE(Menu->Pressed);
  EXPECT_EQ(Menu->CurrentPage, mpMain);
  Click(640, 295);
  EXPECT_EQ(Menu->CurrentPage, mpChooseGame);
}

// Full screen on the desktop's own size: the window takes the desktop's size
// (the device then covers it without a mode change) and the picture gets bars.
TEST_F(DisplayWindowTest, DesktopSettingsUseTheDesktopSizeWithBars) {
  SetScreenSizeOverride(TScreenSize{1920, 1080});
  Options->Fullscreen = true;
  Options->Desktop = true;
  CreateAndShowWindow();
  EXPECT_EQ(FormMain->ClientWidth(), 1920);
  EXPECT_EQ(FormMain->ClientHeight(), 1080);
  EXPECT_EQ(Resolutions[9].Width, 1920);
  bool done = true;
  FormMain->ApplicationEvents1Idle(done);
  done = true;
  FormMain->ApplicationEvents1Idle(done);
  FormMain->FormMouseMove(240 + 720, 540);
  EXPECT_NEAR(CursorX(), -1.8f, 1e-4f);
  FormMain->FormMouseMove(100, 540);
  EXPECT_FALSE(PointerInPicture());
}

// ---- The pacer ----------------------------------------------------------------------

// Frames come at the refresh rate's steps, whatever the rounding of each wait.
TEST(FramePacer, StepsAtTheRefreshRateWithoutDrift) {
  TFramePacer p;
  p.SetRefreshRate(60);
  EXPECT_EQ(p.WaitMs(0, TFrameNeed::Moving), 0) << "nothing drawn yet";
  p.FrameStarted(1000);
  EXPECT_NEAR(p.WaitMs(1005, TFrameNeed::Moving), 1000.0 / 60 - 5, 1e-9);
  EXPECT_EQ(p.WaitMs(1017, TFrameNeed::Moving), 0);
  // Started a little late each time (the wait rounded up): the steps stay put.
  double t = 1000;
  for (int i = 1; i <= 600; ++i) {
    t = 1000 + i * 1000.0 / 60 + 0.9;
    p.FrameStarted(t);
  }
  EXPECT_NEAR(p.WaitMs(t, TFrameNeed::Moving), 1000.0 / 60 - 0.9, 1e-6);
  // Less than a millisecond is no wait.
  EXPECT_EQ(p.WaitMs(t + 1000.0 / 60 - 1.5, TFrameNeed::Moving), 0);
}

// A late frame starts the steps afresh instead of a burst to catch up; a slow
// machine is never made to wait.
TEST(FramePacer, LateFramesDoNotBurstAndSlowFramesDoNotWait) {
  TFramePacer p;
  p.SetRefreshRate(50);  // 20 ms
  p.FrameStarted(0);
  p.FrameStarted(500);  // stalled
  EXPECT_NEAR(p.WaitMs(505, TFrameNeed::Moving), 15, 1e-9);
  for (double t = 530; t < 1000; t += 30) {  // 30 ms frames
    p.FrameStarted(t);
    EXPECT_EQ(p.WaitMs(t + 30, TFrameNeed::Moving), 0);
  }
}

// Unknown refresh rates count as 60 Hz; 144 Hz is 6.9 ms a frame.
TEST(FramePacer, RefreshRates) {
  TFramePacer p;
  p.SetRefreshRate(0);
  EXPECT_NEAR(p.PeriodMs(), 16.667, 1e-3);
  p.SetRefreshRate(-3);
  EXPECT_NEAR(p.PeriodMs(), 16.667, 1e-3);
  p.SetRefreshRate(144);
  EXPECT_NEAR(p.PeriodMs(), 6.944, 1e-3);
}

// A still screen draws at the low rate, at full pace for a while after a
// change; uncapped, nothing waits but an inactive window.
TEST(FramePacer, StillScreensRestAndUncappedDoesNotWait) {
  TFramePacer p;
  p.SetRefreshRate(60);
  p.Changed(0);
  p.FrameStarted(100);
  EXPECT_FALSE(p.Resting(110, TFrameNeed::Still)) << "just changed";
  EXPECT_NEAR(p.WaitMs(110, TFrameNeed::Still), 100 + 1000.0 / 60 - 110, 1e-9);
  p.FrameStarted(600);
  EXPECT_TRUE(p.Resting(600, TFrameNeed::Still));
  EXPECT_NEAR(p.WaitMs(600, TFrameNeed::Still), TFramePacer::StillPeriodMs, 1e-9);
  EXPECT_FALSE(p.Resting(600, TFrameNeed::Moving));
  p.Changed(700);
  EXPECT_EQ(p.WaitMs(700, TFrameNeed::Still), 0) << "a change is drawn at the next step";
  EXPECT_EQ(p.WaitMs(700, TFrameNeed::Inactive), TFramePacer::InactiveWaitMs);

  p.SetCapped(false);
  p.FrameStarted(2000);
  EXPECT_EQ(p.WaitMs(2001, TFrameNeed::Moving), 0);
  EXPECT_EQ(p.WaitMs(2001, TFrameNeed::Still), 0);
  EXPECT_FALSE(p.Resting(3000, TFrameNeed::Still));
  EXPECT_EQ(p.WaitMs(2001, TFrameNeed::Inactive), TFramePacer::InactiveWaitMs);
}

// A resting screen woken by an event draws before the event is handled; a
// moving one hands the events over while it waits for its step.
TEST(FramePacer, WaitingForThePass) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  FramePacer = TFramePacer{};
  FramePacer.SetRefreshRate(60);
  FramePacer.FrameStarted(PacerNowMs());
  int handled = 0;
  auto handle = [&](const SDL_Event&) { ++handled; };
  auto never = [] { return false; };
  SDL_Event e{};
  e.type = SDL_USEREVENT;
  SDL_PushEvent(&e);
  EXPECT_FALSE(WaitForNextPass([] { return TFrameNeed::Moving; }, handle, never));
  EXPECT_EQ(handled, 1);

  // Resting: long past any change, the last frame long ago.
  FramePacer = TFramePacer{};
  FramePacer.FrameStarted(PacerNowMs() - 10000);
  FramePacer.FrameStarted(PacerNowMs() - 1);
  EXPECT_FALSE(WaitForNextPass([] { return TFrameNeed::Still; }, handle, never)) << "the still screen's change of need";
  SDL_PushEvent(&e);
  FramePacer.Changed(-1e9);
  FramePacer.FrameStarted(PacerNowMs());
  EXPECT_TRUE(WaitForNextPass([] { return TFrameNeed::Still; }, handle, never));
  EXPECT_EQ(handled, 1) << "left queued for after the frame";
  EXPECT_EQ(SDL_PeepEvents(nullptr, 1, SDL_PEEKEVENT, SDL_USEREVENT, SDL_USEREVENT), 1);
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  EXPECT_FALSE(WaitForNextPass([] { return TFrameNeed::Still; }, handle, [] { return true; })) << "stopped";
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
  FramePacer = TFramePacer{};
}

// ---- What moves --------------------------------------------------------------------

class FrameNeedTest : public DisplayWindowTest {};

// Menus and pictures are still; a paused game once its cubes rest; play, name
// entry and a held pad direction move; an inactive window draws nothing.
TEST_F(FrameNeedTest, StillScreensAndMovingOnes) {
  OpenWindow(3);
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Still);
  EXPECT_EQ(CurrentFrameNeed(false), TFrameNeed::Inactive);
  GameState = gsGameOver;
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Still);
  GameState = gsHiScores;
  HiScores->Editing = true;
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Moving) << "the caret blinks";
  HiScores->Editing = false;
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Still);

  Game->Mode = 1;
  StartGame();
  GameState = gsGame;
  Game->EndPhase = epPlaying;
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Moving);
  Game->EndPhase = epPaused;
  bool still = false;
  for (int i = 0; i < 3000 && !still; ++i) {
    Game->Update(16);
    still = CurrentFrameNeed(true) == TFrameNeed::Still;
  }
  ASSERT_TRUE(still) << "the paused board comes to rest";
  Game->SetCubeState(1, csWobbling);
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Moving);
  Game->SetCubeState(1, csResting);
  Game->PendingScore = 50;
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Moving) << "the score counts up";
  Game->PendingScore = 0;
  AddParticle(ParticleLists[1], 0, D3DVECTOR{0, 0, 1}, D3DVECTOR{1, 0, 0}, 256);
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Moving);
  ClearAllParticles();
  EXPECT_EQ(CurrentFrameNeed(true), TFrameNeed::Still);
}

// ---- Turning the cap off -------------------------------------------------------------

TEST(FrameCap, CommandLineSwitch) {
  const char* plain[] = {"voxarine"};
  const char* off[] = {"voxarine", "--no-frame-cap"};
  EXPECT_FALSE(ParseCommandLine(1, plain).NoFrameCap);
  const TCommandLine line = ParseCommandLine(2, off);
  EXPECT_EQ(line.Action, TCommandAction::Start);
  EXPECT_TRUE(line.NoFrameCap);
  EXPECT_THAT(UsageText(), HasSubstr("--no-frame-cap"));

  Options.reset();
  EXPECT_TRUE(FramesCapped());
  SetFrameCapSwitchOff(true);
  EXPECT_FALSE(FramesCapped());
  SetFrameCapSwitchOff(false);
}

class FrameCapSettingTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    SetRegistryFile(Folder / "config/settings.reg");
  }
  void TearDown() override {
    SetRegistryFile("");
    SceneTest::TearDown();
  }
};

// The setting is on unless turned off; the file gains it only then, and keeps it.
TEST_F(FrameCapSettingTest, OffIsSavedAndReadBackOnIsTheDefault) {
  TOptions a;
  a.Load();
  EXPECT_TRUE(a.FrameCap);
  a.Save();
  EXPECT_THAT(ReadText(Folder / "config/settings.reg"), Not(HasSubstr("FrameCap")));
  a.FrameCap = false;
  a.Save();
  EXPECT_THAT(ReadText(Folder / "config/settings.reg"), HasSubstr("\"FrameCap\"=dword:00000000"));
  TOptions b;
  b.Load();
  EXPECT_FALSE(b.FrameCap);
  *Options = b;
  EXPECT_FALSE(FramesCapped());
  b.FrameCap = true;
  b.Save();
  EXPECT_THAT(ReadText(Folder / "config/settings.reg"), HasSubstr("\"FrameCap\"=dword:00000001"));
}

}  // namespace
