// The game window on the recording device and SDL's dummy video driver: the
// idle passes, the loading sequence, input routing by state, the game-over
// transition, frame-rate lines, focus changes and closing.
#include <SDL.h>

#include <filesystem>

#include "audio/sounds.h"
#include "frontend/cursor.h"
#include "frontend/hiscores.h"
#include "frontend/loading_bar.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "game/game.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/forms/display_watch.h"
#include "platform/forms/form.h"
#include "platform/win32/registry.h"
#include "platform/win32/screen_metrics.h"
#include "platform/win32/ticks.h"
#include "audio_test_util.h"
#include "game_window_fixture.h"
#include "scene_fixture.h"

namespace {

namespace fs = std::filesystem;

class FormMainTest : public GameWindowTest {
 protected:
  // Creates, shows and loads the window: it ends in the menu.
  void OpenWindow() {
    CreateAndShowWindow();
    bool done = true;
    FormMain->ApplicationEvents1Idle(done);
    ASSERT_EQ(GameState, gsLoading);
    done = true;
    FormMain->ApplicationEvents1Idle(done);
    ASSERT_EQ(GameState, gsMenu);
    Rec = AsRecordDevice(D3DDevice);
  }

  // A running game of mode 1 on page 4.
  void StartPlaying() {
    Game->Mode = 1;
    StartGame();
    GameState = gsGame;
    Game->EndPhase = epPlaying;
    Menu->SetPage(mpPlaying);
  }

  bool SavedGameExists() { return fs::exists(ResolvePath(SaveFileNames[1])); }
  size_t LogCount(const std::string& text) {
    const std::string log = Log();
    size_t n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
  }
  void WindowEvent(Uint8 What) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = What;
    e.window.windowID = FormMain->Window ? SDL_GetWindowID(FormMain->Window) : 0;
    FormMain->HandleEvent(e);
  }
  bool Played(const std::string& name, int arg) {
    for (const auto& c : AudioCalls)
      if (c.Name == name && c.Arg == arg) return true;
    return false;
  }
};

TEST_F(FormMainTest, FirstPassBuildsTheSceneNextPassLoadsAndShowsTheMenu) {
  FormMain = std::make_unique<TFormMain>();
  FormMain->FormShow();
  FormMain->Show();
  bool done = true;
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_TRUE(done) << "the building pass waits for the next message";
  EXPECT_EQ(GameState, gsLoading);
  EXPECT_NE(VertexBuffer, nullptr);
  EXPECT_NE(LoadingBar, nullptr);

  done = true;
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_FALSE(done);
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_EQ(LoadingBar, nullptr);
  ASSERT_NE(Game, nullptr);
  EXPECT_TRUE(Game->ResourcesLoaded);
  EXPECT_EQ(D3DXDecodeAheadPending(), 0u) << "every picture decoded ahead was taken";
  EXPECT_NE(Game->RoomPlanes[0], nullptr);
  EXPECT_NE(HiScores, nullptr);
  EXPECT_EQ(CursorMode, 1);
  EXPECT_TRUE(Played("PlaySound", 14));
  const std::string log = Log();
  EXPECT_EQ(log.find(" Main form created"), 4u) << "the log starts afresh";
  EXPECT_NE(log.find(" Resolution = 9 = 1280x1024x16"), std::string::npos);
  EXPECT_LT(log.find(" Vertices initialized"), log.find(" ... Loading finished"));
  EXPECT_NE(log.find(" ... Loading finished\r\n1000\r\n"), std::string::npos) << "then a line of only the tick count";
  EXPECT_EQ(FormMain->FrameCount, 1u) << "the menu's first frame in the same pass";
}

TEST_F(FormMainTest, FrameTimeIsTheTickDifferenceAcrossTheWrap) {
  OpenWindow();
  FormMain->LastTick = 0xFFFFFFF0u;
  SetTickCountOverride(0x10);
  const double before = TotalTime;
  bool done = true;
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_EQ(FrameTime, 0x20u);
  EXPECT_DOUBLE_EQ(TotalTime - before, 32);
}

TEST_F(FormMainTest, FrameRateLinesOnlyInMenuAndGame) {
  Options->WriteDebug = true;
  OpenWindow();
  GameState = gsHiScores;
  FormMain->FpsStart = 1000;
  SetTickCountOverride(2001);
  bool done = true;
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_EQ(FormMain->FrameCount, 0u) << "counter reset every second in every state";
  EXPECT_EQ(Log().find("FPS"), std::string::npos);

  GameState = gsMenu;
  FormMain->FrameCount = 49;
  SetTickCountOverride(4001);
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_NE(Log().find(" gsMenu  FPS:    25\r\n"), std::string::npos) << Log();
}

TEST_F(FormMainTest, PauseKeysOnlyWhilePlaying) {
  OpenWindow();
  StartPlaying();
  Game->EndPhase = epLevelDone;
  FormMain->FormKeyDown('P');
  EXPECT_EQ(Game->EndPhase, epLevelDone);
  Game->EndPhase = epPlaying;
  FormMain->FormKeyDown('Q');
  EXPECT_EQ(Game->EndPhase, epPlaying);
  FormMain->FormKeyDown(VK_F1);
  EXPECT_EQ(Game->EndPhase, epPaused);
  EXPECT_EQ(Menu->CurrentPage, mpPause);
}

TEST_F(FormMainTest, GameOverEntersTheTableOnlyAboveTheTenthScore) {
  OpenWindow();
  Game->Mode = 2;
  GameState = gsGameOver;
  Game->Score = HiScores->Entry(2, 10).Score;
  FormMain->FormKeyDown('X');
  EXPECT_EQ(GameState, gsHiScores);
  EXPECT_FALSE(HiScores->Editing);
  EXPECT_EQ(HiScores->ShownTable, 2);
  EXPECT_EQ(Menu->CurrentPage, mpHiScores);
  EXPECT_TRUE(Menu->Item(3).Visible) << "mode 2's tab";
  EXPECT_FALSE(Menu->Item(2).Visible);

  GameState = gsGameOver;
  Game->Score = HiScores->Entry(2, 10).Score + 0.5;  // rounds to the even neighbour
  FormMain->FormMouseUp(0);
  const bool evenIsAbove = (HiScores->Entry(2, 10).Score % 2) != 0;
  EXPECT_EQ(HiScores->Editing, evenIsAbove);

  GameState = gsGameOver;
  Game->Mode = 1;
  Game->Score = 1e12;  // more than a table entry holds
  FormMain->FormKeyDown(VK_RETURN);
  ASSERT_TRUE(HiScores->Editing);
  EXPECT_EQ(HiScores->EditRow, 1);
  EXPECT_EQ(HiScores->Entry(1, 1).Score, 2147483647);

  // Escape leaves the table only when no name is being typed.
  HiScores->Editing = false;
  FormMain->FormKeyDown(VK_ESCAPE);
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_EQ(Menu->CurrentPage, mpMain);
  EXPECT_TRUE(fs::exists(ResolvePath(HiScoresFileName)));
}

TEST_F(FormMainTest, MouseUpOnAnInactiveWindowOnlyReactivates) {
  OpenWindow();
  Menu->SetPage(mpMain);
  Menu->Current().Selected = 1;
  FormMain->Active = false;
  AudioCalls.clear();
  FormMain->FormMouseUp(0);
  EXPECT_TRUE(FormMain->Active);
  EXPECT_EQ(Menu->CurrentPage, mpMain) << "the click was not passed on";
  EXPECT_TRUE(Played("PlayMusic", 0));
  EXPECT_NE(Log().find(" Game = gsMenu"), std::string::npos);
}

TEST_F(FormMainTest, PointerMovesTheCursorAndItsLight) {
  OpenWindow();
  Rec->ClearLog();
  FormMain->FormMouseMove(0, 0);
  EXPECT_NEAR(CursorX(), 5.425f, 1e-4f);
  size_t lights = 0;
  for (const auto& c : Rec->Calls())
    if (c.Name == "SetLight" && c.Args[0] == 1) ++lights;
  EXPECT_EQ(lights, 1u);
  GameState = gsLoading;
  FormMain->FormMouseMove(400, 300);
  EXPECT_NEAR(CursorX(), 5.425f, 1e-4f) << "ignored while loading";
}

TEST_F(FormMainTest, ARenderFailureStopsFramesUntilTheNextPass) {
  OpenWindow();
  Rec->SetFailure("Present", D3DERR_DEVICELOST);
  bool done = true;
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_FALSE(FormMain->Active);
  EXPECT_TRUE(done);
  ASSERT_FALSE(MessageBoxCalls.empty());
  EXPECT_EQ(MessageBoxCalls.back().Caption, "Render");
  EXPECT_EQ(MessageBoxCalls.back().Text,
            "The device is lost and cannot be restored at the current time, so rendering is not possible.");
  EXPECT_NE(Log().find(" Render error "), std::string::npos);
  Rec->ClearFailures();
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_TRUE(FormMain->Active);
}

TEST_F(FormMainTest, HardwareFailureFallsBackToSoftwareThenGivesUp) {
  RecordConfig().HalResult = D3DERR_NOTAVAILABLE;
  FormMain = std::make_unique<TFormMain>();
  FormMain->FormShow();
  EXPECT_FALSE(FormMain->Terminated());
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  EXPECT_EQ(MessageBoxCalls[0].Caption, "Warning.");
  EXPECT_EQ(AsRecordD3D(D3D)->LastDeviceType, D3DDEVTYPE_REF);
  EXPECT_NE(Log().find(" Error init 3D"), std::string::npos);

  EXPECT_FALSE(Application.Terminated);

  RecordConfig().RefResult = D3DERR_NOTAVAILABLE;
  MessageBoxCalls.clear();
  FormMain->FormShow();
  EXPECT_TRUE(FormMain->Terminated());
  EXPECT_TRUE(Application.Terminated) << "the whole program ends, not only the window";
  ASSERT_EQ(MessageBoxCalls.size(), 2u);
  EXPECT_EQ(MessageBoxCalls[1].Caption, "Error");
  EXPECT_EQ(MessageBoxCalls[1].Text, "Could not initialize DirectX Graphics.\nYou must have installed DirectX 8 or better ");
  EXPECT_NE(Log().find(" 3D hardware failed: "), std::string::npos);
  EXPECT_NE(Log().find(" 3D software failed: "), std::string::npos) << "the log says why";
}

TEST_F(FormMainTest, NoDeviceOnAFullScreenRestoreEndsTheProgramKeepingTheGame) {
  Options->Fullscreen = true;
  Options->PseudoFullscreen = false;
  OpenWindow();
  StartPlaying();
  RecordConfig().HalResult = D3DERR_NOTAVAILABLE;
  RecordConfig().RefResult = D3DERR_NOTAVAILABLE;
  MessageBoxCalls.clear();
  FormMain->ApplicationEvents1Restore();
  EXPECT_TRUE(FormMain->Terminated());
  EXPECT_TRUE(Application.Terminated);
  EXPECT_EQ(MessageBoxCalls.size(), 2u);
  EXPECT_TRUE(SavedGameExists());
  FormMain->Run();  // returns at once: nothing keeps the window's loop going
}

TEST_F(FormMainTest, ClosingDuringPlaySavesTheGame) {
  OpenWindow();
  StartPlaying();
  ASSERT_FALSE(SavedGameExists());
  FormMain->Close();
  EXPECT_TRUE(FormMain->Closed());
  EXPECT_TRUE(SavedGameExists());
  const std::string log = Log();
  EXPECT_LT(log.find(" Closing mainform"), log.find(" Main form closed"));
  EXPECT_EQ(D3DDevice, nullptr);
}

// Closing the window while a new high score is being named keeps the entry.
TEST_F(FormMainTest, ClosingDuringNameEntryKeepsTheNewScore) {
  OpenWindow();
  Game->Mode = 1;
  Game->Score = 123456;
  GameState = gsGameOver;
  FormMain->FormKeyDown('X');
  ASSERT_TRUE(HiScores->Editing);
  FormMain->FormKeyDown(16);  // Shift
  FormMain->FormKeyDown('K');
  FormMain->Close();
  THiScores onDisk;
  EXPECT_EQ(onDisk.Entry(1, 1).Score, 123456);
  EXPECT_EQ(onDisk.Entry(1, 1).Name(), "K");
}

TEST_F(FormMainTest, ClosingLeavesTheFileAloneOnTheSavedGameOfferAndAfterGameOver) {
  OpenWindow();
  StartPlaying();
  Menu->SetPage(mpSavedGame);
  Game->EndPhase = epPaused;
  FormMain->Close();
  EXPECT_FALSE(SavedGameExists());

  ReleaseGameWindow();
  OpenWindow();
  StartPlaying();
  Game->EndPhase = epGameOver;
  FormMain->Close();
  EXPECT_FALSE(SavedGameExists());
}

TEST_F(FormMainTest, LosingTheFocusInTrueFullScreenEndsTheProgram) {
  Options->Fullscreen = true;
  Options->PseudoFullscreen = false;
  OpenWindow();
  StartPlaying();
  bool launcherClosed = false;
  CloseLauncher = [&] { launcherClosed = true; };
  FormMain->ApplicationEvents1Deactivate();
  CloseLauncher = nullptr;
  EXPECT_TRUE(launcherClosed);
  EXPECT_TRUE(FormMain->Closed());
  EXPECT_TRUE(SavedGameExists()) << "the running game survives";
  const std::string log = Log();
  EXPECT_LT(log.find(" Main form closed"), log.find(" Application deactivated"));
}

// The window system minimises later (or never, without a window manager):
// until the focus returns, idle passes neither draw nor restart the music.
TEST_F(FormMainTest, LosingTheFocusInAWindowPausesUntilTheFocusReturns) {
  Options->Fullscreen = false;
  OpenWindow();
  FormMain->ApplicationEvents1Deactivate();
  EXPECT_FALSE(FormMain->Closed());
  EXPECT_FALSE(FormMain->Active);
  AudioCalls.clear();
  const auto frames = FormMain->FrameCount;
  for (int i = 0; i < 3; ++i) {
    bool done = true;
    FormMain->ApplicationEvents1Idle(done);
  }
  EXPECT_FALSE(FormMain->Active);
  EXPECT_EQ(FormMain->FrameCount, frames) << "no frames drawn";
  EXPECT_FALSE(Played("PlayMusic", 0)) << "the music stays off";

  WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  EXPECT_TRUE(FormMain->Active);
  EXPECT_TRUE(Played("PlayMusic", 0));
  bool done = true;
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_EQ(FormMain->FrameCount, frames + 1);

  // Restoring the window also ends the pause.
  FormMain->ApplicationEvents1Deactivate();
  FormMain->ApplicationEvents1Idle(done);
  EXPECT_FALSE(FormMain->Active);
  FormMain->ApplicationEvents1Restore();
  EXPECT_TRUE(FormMain->Active);
}

TEST_F(FormMainTest, ActivationAndTheGraphicsReleaseAreLoggedOnce) {
  OpenWindow();
  WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);  // the focus the showing brought
  EXPECT_EQ(LogCount(" Form activated"), 1u);
  FormMain->Close();
  ReleaseGameWindow();
  EXPECT_EQ(LogCount(" Closing DGfx"), 1u);
  EXPECT_EQ(LogCount(" D3D released"), 1u);
}

// Settings that cannot be written must not stop the close half way: sound,
// launcher and graphics still go, and the player hears of the file once.
TEST_F(FormMainTest, AFailingCloseStepDoesNotStopTheOthers) {
  WriteText(Folder / "blocker", "a file, not a folder\n");
  SetRegistryFile(Folder / "blocker/voxarine/settings.reg");
  OpenWindow();
  StartPlaying();
  bool launcherClosed = false;
  CloseLauncher = [&] { launcherClosed = true; };
  MessageBoxCalls.clear();
  FormMain->Close();
  EXPECT_TRUE(FormMain->Closed());
  EXPECT_TRUE(launcherClosed) << "the program ends";
  EXPECT_EQ(D3DDevice, nullptr);
  EXPECT_TRUE(SavedGameExists());
  const std::string log = Log();
  EXPECT_NE(log.find(" Main form closed"), std::string::npos);
  EXPECT_NE(log.find(" Error while closing: "), std::string::npos);
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  EXPECT_NE(MessageBoxCalls[0].Text.find("settings.reg"), std::string::npos) << MessageBoxCalls[0].Text;
}

TEST_F(FormMainTest, LosingTheDisplaySavesWhatACloseSaves) {
  OpenWindow();
  EXPECT_TRUE(OnDisplayLost) << "the window registers what to save";
  StartPlaying();
  Options->SoundVol = 3;
  MessageBoxCalls.clear();
  OnDisplayLost();
  EXPECT_TRUE(SavedGameExists());
  TOptions saved;
  saved.ReadRegistry();
  EXPECT_EQ(saved.SoundVol, 3);
  EXPECT_NE(Log().find(" Display lost"), std::string::npos);
  EXPECT_TRUE(MessageBoxCalls.empty()) << "no boxes without a display";
  ReleaseGameWindow();
  EXPECT_FALSE(OnDisplayLost);
}

// Without a sound device the run is silent, but the player's volumes are
// neither shown as nor saved as 0.
TEST_F(FormMainTest, NoSoundDeviceKeepsTheStoredVolumes) {
  Options->SoundVol = 6;
  Options->MusicVol = 3;
  DoneSound();  // an earlier test's mixer may still run
  {
    audiotest::TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    OpenWindow();
  }
  ASSERT_NE(Log().find(" Sound disabled"), std::string::npos) << Log();
  EXPECT_EQ(Options->SoundVol, 6);
  EXPECT_EQ(Options->MusicVol, 3);
  FormMain->Close();
  TOptions saved;
  saved.ReadRegistry();
  EXPECT_EQ(saved.SoundVol, 6);
  EXPECT_EQ(saved.MusicVol, 3);
}

// A close that cannot save the running game says so, naming the file and
// why. (A folder in the save's place fails even for root; the read-only
// folder a player meets is run as a user by tests/e2e/permissions.sh.)
TEST_F(FormMainTest, ACloseThatCannotSaveSaysSoNamingTheFile) {
  OpenWindow();
  StartPlaying();
  const fs::path save = ResolvePath(SaveFileNames[1]);
  fs::create_directories(save / "kept");
  MessageBoxCalls.clear();
  FormMain->Close();
  EXPECT_TRUE(FormMain->Closed());
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  const std::string& text = MessageBoxCalls[0].Text;
  EXPECT_NE(text.find("not saved"), std::string::npos) << text;
  EXPECT_NE(text.find(save.string()), std::string::npos) << text;
  EXPECT_TRUE(fs::is_directory(save / "kept"));
}

TEST(FormMainKeys, VirtualKeyCodes) {
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_a), 65);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_z), 90);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_0), 48);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_9), 57);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_RETURN), 13);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_ESCAPE), 27);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_SPACE), 32);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_BACKSPACE), 8);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_LEFT), 37);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_DOWN), 40);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_F1), 112);
  EXPECT_EQ(VirtualKeyFromSDL(SDLK_CAPSLOCK), 0);
}

}  // namespace
