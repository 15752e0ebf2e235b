// Keyboard and gamepad play on the game window (recording device, SDL's dummy
// video driver): the board cursor's moves, edges and hand-over, each key and
// pad button against the mouse action it stands for, the dialogs over the
// board, name entry by pad, and a virtual gamepad plugged in and pulled out.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <vector>

#include "audio/sounds.h"
#include "effects/particles.h"
#include "frontend/labels.h"
#include "frontend/cursor.h"
#include "frontend/hiscores.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "game/game.h"
#include "menu_test_support.h"
#include "platform/win32/random.h"
#include "platform/win32/registry.h"
#include "platform/win32/screen_metrics.h"
#include "platform/win32/ticks.h"
#include "platform/win32/virtual_keys.h"
#include "game_window_fixture.h"
#include "scene_fixture.h"
#include "shell/input.h"

namespace {

namespace fs = std::filesystem;

class InputTest : public GameWindowTest {
 protected:
  void SetUp() override {
    GameWindowTest::SetUp();
    menutest::WriteTga(Folder / "Images/boardcursor.tga");
    BoardCursor = TBoardCursor{};
  }

  void OpenWindow() {
    CreateAndShowWindow();
    bool done = true;
    FormMain->ApplicationEvents1Idle(done);
    FormMain->ApplicationEvents1Idle(done);
    ASSERT_EQ(GameState, gsMenu);
    Options->Help = false;
    Rec = AsRecordDevice(D3DDevice);
  }

  // A fresh game of mode 1 from a fixed seed, its first cubes at rest.
  void StartPlaying(std::uint32_t Seed = 42) {
    // Effects left by an earlier game would draw on the same random numbers.
    ClearAllParticles();
    ClearScoreLabels();
    RandSeed(Seed);
    Game->Mode = 1;
    StartGame();
    ASSERT_EQ(GameState, gsGame);
    ASSERT_EQ(Game->EndPhase, epPlaying);
    Settle();
  }
  void Settle() {
    for (int i = 0; i < 2000 && !(Game->Quiet && Game->StateCount[StateSlot(csMoving)] == 0); ++i) Game->Update(16);
    ASSERT_TRUE(Game->Quiet);
  }

  // The window pixel on which the pointer stands on cell (X, Y).
  void MouseToCell(int X, int Y) {
    const int w = FormMain->ClientWidth(), h = FormMain->ClientHeight();
    FormMain->FormMouseMove(static_cast<int>(std::lround((0.5 - (X - 5 + 1.8) / 14.45) * w)),
                            static_cast<int>(std::lround((0.5 - (Y - 5 + 0.25) / 10.8375) * h)));
  }
  void MouseAtWorld(float X, float Y) {
    const int w = FormMain->ClientWidth(), h = FormMain->ClientHeight();
    FormMain->FormMouseMove(static_cast<int>(std::lround((0.5 - (X + 1.8) / 14.45) * w)),
                            static_cast<int>(std::lround((0.5 - (Y + 0.25) / 10.8375) * h)));
  }
  void MouseClick(int Button) {
    FormMain->FormMouseDown(Button);
    FormMain->FormMouseUp(Button);
  }
  void Key(std::uint16_t K) { FormMain->FormKeyDown(K); }
  // Walks the board cursor to (X, Y) with the arrows.
  void KeysToCell(int X, int Y) {
    if (!BoardCursor.Shown) Key(VK_UP);
    for (int guard = 0; guard < 20 && (BoardCursor.X != X || BoardCursor.Y != Y); ++guard) {
      if (BoardCursor.X < X) Key(VK_LEFT);
      else if (BoardCursor.X > X) Key(VK_RIGHT);
      else if (BoardCursor.Y < Y) Key(VK_UP);
      else Key(VK_DOWN);
    }
    ASSERT_EQ(BoardCursor.X, X);
    ASSERT_EQ(BoardCursor.Y, Y);
  }

  // A cube a click can select, and an empty cell its path reaches.
  int SelectableCube() const {
    for (int i = 1; i <= Game->CubeCount; ++i) {
      const TCube& c = Game->Cubes[i];
      if (c.Kind != ckStone && c.State == csResting && !IsSpecialKind(c.Kind)) return i;
    }
    return 0;
  }
  bool CellEmpty(int X, int Y) const {
    for (int i = 1; i <= Game->CubeCount; ++i)
      if (Game->Cubes[i].X == X && Game->Cubes[i].Y == Y) return false;
    return true;
  }
  void ReachableEmptyCell(int& X, int& Y) const {
    for (X = 1; X <= 9; ++X)
      for (Y = 1; Y <= 9; ++Y)
        if (Game->Board[X][Y].Dist >= 2 && CellEmpty(X, Y)) return;
    X = Y = 0;
  }

  // What the game and the board's drawing show: the selection, the marks, every cube.
  struct TSnapshot {
    int Selected, DotCount, CursorMode, EndPhase;
    std::vector<int> Dots, Cubes;
    std::vector<std::vector<float>> Worlds;
    std::vector<std::string> Sounds;
    bool operator==(const TSnapshot&) const = default;
  };
  TSnapshot Snapshot() {
    TSnapshot s{Game->Selected, Game->DotCount, CursorMode, Game->EndPhase, {}, {}, {}, {}};
    for (int i = 1; i <= Game->DotCount; ++i) s.Dots.push_back(Game->Dots[i].Kind * 1000 + Game->Dots[i].Cell);
    for (int i = 1; i <= Game->CubeCount; ++i)
      s.Cubes.push_back(Game->Cubes[i].State * 10000 + Game->Cubes[i].X * 100 + Game->Cubes[i].Y);
    Rec->ClearLog();
    Game->DrawBoard();
    for (const auto& d : Rec->Draws()) s.Worlds.push_back(std::vector<float>(&d.World._11, &d.World._11 + 16));
    for (const TAudioCall& c : AudioCalls) s.Sounds.push_back(c.Name + std::to_string(c.Arg));
    AudioCalls.clear();
    return s;
  }
  size_t FramesDrawn() {
    Rec->ClearLog();
    RenderFrame();
    size_t n = 0;
    for (const auto& d : Rec->Draws())
      if (BoardFrameSprite && d.Texture == BoardFrameSprite->Texture) ++n;
    return n;
  }
  bool Played(const std::string& Name, int Arg) const {
    for (const auto& c : AudioCalls)
      if (c.Name == Name && c.Arg == Arg) return true;
    return false;
  }
};

// ---- The board cursor ---------------------------------------------------------------

TEST_F(InputTest, FirstArrowTakesOverOnThePointersCellOrTheCentre) {
  OpenWindow();
  StartPlaying();
  MouseToCell(3, 7);
  EXPECT_FALSE(BoardCursorVisible());
  Key(VK_LEFT);
  EXPECT_TRUE(BoardCursorVisible());
  EXPECT_EQ(BoardCursor.X, 3) << "the first press only puts the cursor where the pointer is";
  EXPECT_EQ(BoardCursor.Y, 7);

  MouseAtWorld(6.0f, 4.9f);  // off the board
  EXPECT_FALSE(BoardCursorVisible()) << "the mouse took over";
  Key(VK_DOWN);
  EXPECT_EQ(BoardCursor.X, 5);
  EXPECT_EQ(BoardCursor.Y, 5);
  EXPECT_FLOAT_EQ(CursorX(), 0.0f) << "the pointer the game reads stands on the cell";
  EXPECT_FLOAT_EQ(CursorY(), 0.0f);
}

TEST_F(InputTest, ArrowsMoveOneCellTheirWayOnScreenAndStopAtTheEdges) {
  OpenWindow();
  StartPlaying();
  MouseAtWorld(6.0f, 4.9f);  // off the board
  Key(VK_UP);                // shows it in the centre
  ASSERT_EQ(BoardCursor.X, 5);
  const int w = FormMain->ClientWidth();
  auto screenX = [&] { return (0.5 - (CursorX() + 1.8) / 14.45) * w; };
  auto screenY = [&] { return (0.5 - (CursorY() + 0.25) / 10.8375) * FormMain->ClientHeight(); };
  double x0 = screenX(), y0 = screenY();
  Key(VK_RIGHT);
  EXPECT_GT(screenX(), x0 + 10) << "Right moves right on screen";
  EXPECT_EQ(BoardCursor.X, 4);
  Key(VK_UP);
  EXPECT_LT(screenY(), y0 - 10) << "Up moves up on screen";
  EXPECT_EQ(BoardCursor.Y, 6);

  for (int i = 0; i < 12; ++i) Key(VK_LEFT);
  EXPECT_EQ(BoardCursor.X, 9) << "no wrap-around";
  for (int i = 0; i < 12; ++i) Key(VK_DOWN);
  EXPECT_EQ(BoardCursor.Y, 1);
  Key(VK_RIGHT);
  EXPECT_EQ(BoardCursor.X, 8) << "and back off the edge at once";
  for (int i = 0; i < 12; ++i) Key(VK_RIGHT);
  for (int i = 0; i < 12; ++i) Key(VK_UP);
  EXPECT_EQ(BoardCursor.X, 1);
  EXPECT_EQ(BoardCursor.Y, 9);
}

TEST_F(InputTest, HeldKeysRepeatOnlyForTheArrowsInPlay) {
  OpenWindow();
  StartPlaying();
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.repeat = 1;
  e.key.keysym.sym = SDLK_ESCAPE;
  FormMain->HandleEvent(e);
  EXPECT_EQ(Game->EndPhase, epPlaying) << "a held Escape's repeats neither pause nor continue";
  e.key.keysym.sym = SDLK_UP;
  FormMain->HandleEvent(e);
  FormMain->HandleEvent(e);
  EXPECT_TRUE(BoardCursor.Shown);
  EXPECT_EQ(BoardCursor.Y, 6) << "a held arrow walks on";
  e.key.keysym.sym = SDLK_RETURN;
  FormMain->HandleEvent(e);
  EXPECT_EQ(Game->Selected, 0) << "a held Enter clicks once";
}

TEST_F(InputTest, DrawnOnlyWhilePlayRuns) {
  OpenWindow();
  StartPlaying();
  EXPECT_EQ(FramesDrawn(), 0u) << "not before the first key";
  Key(VK_UP);
  EXPECT_EQ(FramesDrawn(), 1u);
  Game->EndPhase = epLevelDone;
  EXPECT_EQ(FramesDrawn(), 0u) << "end sequence";
  Game->EndPhase = epPlaying;
  Key(VK_ESCAPE);
  EXPECT_EQ(FramesDrawn(), 0u) << "paused";
  Key(VK_ESCAPE);
  EXPECT_EQ(FramesDrawn(), 1u) << "back where it was after the pause";
  GameState = gsGameOver;
  UpdateInput(2000);
  GameState = gsGame;
  EXPECT_FALSE(BoardCursorVisible()) << "dropped once play has ended";
}

// Where the world origin of a drawn quad (its centre) lands in a W x H window.
std::pair<double, double> ScreenCentre(const TRecordedDraw& D, int W, int H) {
  std::array<double, 4> p{0, 0, 0, 1};  // a row vector, as the device transforms it
  for (const D3DMATRIX* m : {&D.World, &D.View, &D.Projection}) {
    std::array<double, 4> q{};
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) q[j] += p[k] * m->m[k][j];
    p = q;
  }
  return {(p[0] / p[3] + 1) / 2 * W, (1 - p[1] / p[3]) / 2 * H};
}

// The frame lies on its cell where the cell's reach mark does, within a pixel,
// in a corner of the board, on the bottom row and in the middle; drawn after
// every cube with the depth test off, a cube on the cell cannot hide it.
TEST_F(InputTest, FrameLiesOnItsCellsReachMarkOnScreen) {
  OpenWindow();
  StartPlaying();
  const int w = FormMain->ClientWidth(), h = FormMain->ClientHeight();
  const UINT cubeStart = 3 * Collector.Ranges[RangeCube].Start;
  for (const auto& [x, y] : {std::pair{9, 1}, std::pair{5, 1}, std::pair{5, 5}}) {
    SCOPED_TRACE("cell " + std::to_string(x) + ", " + std::to_string(y));
    KeysToCell(x, y);
    Game->DotCount = 0;
    Game->AddDot(MakeCell(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)), 2);
    Rec->ClearLog();
    RenderFrame();
    const std::vector<TRecordedDraw> frameDraws = Rec->Draws();
    const auto frame = std::find_if(frameDraws.begin(), frameDraws.end(), [](const TRecordedDraw& d) {
      return d.Texture == BoardFrameSprite->Texture;
    });
    ASSERT_NE(frame, frameDraws.end());
    const auto lastCube = std::find_if(frameDraws.rbegin(), frameDraws.rend(), [&](const TRecordedDraw& d) {
      return d.StartVertex == cubeStart;
    });
    ASSERT_NE(lastCube, frameDraws.rend());
    EXPECT_GT(frame - frameDraws.begin(), frameDraws.rend() - lastCube - 1) << "drawn after the cubes";
    EXPECT_EQ(frame->RenderState(D3DRS_ZENABLE), static_cast<DWORD>(FALSE));

    Rec->ClearLog();
    D3DDevice->BeginScene();
    Game->DrawBoard();  // the path marks come first
    D3DDevice->EndScene();
    ASSERT_FALSE(Rec->Draws().empty());
    const auto [fx, fy] = ScreenCentre(*frame, w, h);
    const auto [mx, my] = ScreenCentre(Rec->Draws()[0], w, h);
    EXPECT_NEAR(fx, mx, 1.0);
    EXPECT_NEAR(fy, my, 1.0);
  }
}

// ---- Keys make the mouse's calls ----------------------------------------------------------

TEST_F(InputTest, EnterSpaceAndBackspaceDoWhatTheMouseDoesOnThatCell) {
  OpenWindow();
  // The same game twice: once with the mouse, once with the keys; after every
  // step the game and the board's drawing must be the same.
  std::vector<TSnapshot> byMouse, byKeys;
  for (int pass = 0; pass < 2; ++pass) {
    const bool keys = pass == 1;
    std::vector<TSnapshot>& out = keys ? byKeys : byMouse;
    StartPlaying();
    AudioCalls.clear();
    const int cube = SelectableCube();
    ASSERT_NE(cube, 0);
    const int cx = Game->Cubes[cube].X, cy = Game->Cubes[cube].Y;
    auto pointAt = [&](int X, int Y) {
      if (keys) KeysToCell(X, Y); else MouseToCell(X, Y);
    };
    auto click = [&](int Button) {
      if (keys) Key(Button == 0 ? VK_RETURN : VK_BACK); else MouseClick(Button);
    };
    pointAt(cx, cy);
    out.push_back(Snapshot());
    click(0);  // select
    out.push_back(Snapshot());
    click(1);  // let go
    out.push_back(Snapshot());
    if (keys) Key(VK_SPACE); else MouseClick(0);  // Space selects as well
    out.push_back(Snapshot());
    int tx = 0, ty = 0;
    ReachableEmptyCell(tx, ty);
    ASSERT_NE(tx, 0);
    pointAt(tx, ty);  // the path marks to the cell
    out.push_back(Snapshot());
    EXPECT_GT(Game->DotCount, 1);
    click(0);  // move
    out.push_back(Snapshot());
    EXPECT_GT(Game->StateCount[StateSlot(csMoving)], 0);
    Settle();
    EXPECT_FALSE(CellEmpty(tx, ty)) << (keys ? "keys" : "mouse") << ": the cube arrived";
    out.push_back(Snapshot());
  }
  ASSERT_EQ(byMouse.size(), byKeys.size());
  for (size_t i = 0; i < byMouse.size(); ++i) EXPECT_TRUE(byMouse[i] == byKeys[i]) << "step " << i;
}

TEST_F(InputTest, AimedShotFollowsTheBoardCursorEnterFiresBackspacePutsItBack) {
  OpenWindow();
  StartPlaying();
  const int cube = SelectableCube();
  ASSERT_NE(cube, 0);
  const std::uint8_t kind = Game->Cubes[cube].Kind;
  const int cx = Game->Cubes[cube].X, cy = Game->Cubes[cube].Y;

  // Aiming: Backspace cancels and the shot item stands on its cell again.
  int sx = 0, sy = 0;
  for (sx = 1; sx <= 9 && !CellEmpty(sx, 1); ++sx) {}
  sy = 1;
  ASSERT_LE(sx, 9);
  CursorMode = 3;
  Game->ShotCell = MakeCell(static_cast<std::uint8_t>(sx), static_cast<std::uint8_t>(sy));
  Key(VK_UP);
  Key(VK_BACK);
  EXPECT_EQ(CursorMode, 2);
  EXPECT_FALSE(CellEmpty(sx, sy));

  // Aiming again: the cube under the board cursor spins, Enter shoots its colour.
  Settle();
  CursorMode = 3;
  KeysToCell(cx, cy);
  for (int i = 0; i < 5; ++i) Game->Update(16);
  ASSERT_EQ(Game->Cubes[cube].State, csSpinning) << "the cube under the board cursor reacts as under the pointer";
  Key(VK_RETURN);
  EXPECT_EQ(CursorMode, 2);
  for (int i = 1; i <= Game->CubeCount; ++i)
    if (Game->Cubes[i].Kind == kind && Game->Cubes[i].State != csWaiting) {
      EXPECT_EQ(Game->Cubes[i].State, csExploding);
    }
}

// ---- Dialogs over the board ------------------------------------------------------------

TEST_F(InputTest, PauseDialogTakesTheMenuKeysAndThePauseKeysContinue) {
  OpenWindow();
  StartPlaying();
  for (std::uint16_t pauseKey : {VK_ESCAPE, std::uint16_t('P'), VK_F1}) {
    Key(pauseKey);
    ASSERT_EQ(Game->EndPhase, epPaused);
    ASSERT_EQ(Menu->CurrentPage, mpPause);
    EXPECT_EQ(Menu->Current().Selected, 2) << "opens on its first selectable item";
    Key(VK_DOWN);
    EXPECT_EQ(Menu->Current().Selected, 3);
    Key(VK_RIGHT);
    EXPECT_EQ(Menu->Current().Selected, 2) << "wraps round";
    Key(pauseKey);
    EXPECT_EQ(Game->EndPhase, epPlaying);
    EXPECT_EQ(Menu->CurrentPage, mpPlaying);
  }
  // While paused the arrows move the dialog's selection, not the board cursor.
  Key(VK_ESCAPE);
  BoardCursor = TBoardCursor{};
  Key(VK_UP);
  EXPECT_FALSE(BoardCursor.Shown);
  EXPECT_EQ(Menu->Current().Selected, 3) << "Up from quit wraps round to continue";
  Key(VK_RETURN);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  // Enter on "quit" leaves and saves.
  Key(VK_ESCAPE);
  Key(VK_RETURN);
  EXPECT_EQ(GameState, gsMenu);
  EXPECT_TRUE(fs::exists(ResolvePath(SaveFileNames[1])));
}

// A click acts on the item under the pointer, never on one the keys chose:
// a click on the board while the keys hold the pause button (or "quit" in the
// pause dialog) neither pauses nor quits.
TEST_F(InputTest, AClickActsOnTheItemUnderThePointerNotOnTheKeysChoice) {
  OpenWindow();
  StartPlaying();
  MouseToCell(5, 5);
  Menu->Current().Selected = 1;  // the pause button, as the keys leave it
  MouseClick(0);
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_EQ(Menu->CurrentPage, mpPlaying);

  Key(VK_ESCAPE);
  Key(VK_DOWN);
  ASSERT_EQ(Menu->Current().Selected, 3);
  MouseClick(0);
  EXPECT_EQ(GameState, gsGame) << "the click was not on quit";
  EXPECT_EQ(Menu->CurrentPage, mpPause);
  Key(VK_ESCAPE);
  EXPECT_EQ(Game->EndPhase, epPlaying);
}

TEST_F(InputTest, SavedGameOfferTakesTheMenuKeysAndPlayGoesOnByKeys) {
  OpenWindow();
  StartPlaying();
  Key(VK_ESCAPE);
  Key(VK_RETURN);  // quit: saved
  ASSERT_EQ(GameState, gsMenu);
  Key(VK_RETURN);  // play
  Key(VK_RETURN);  // mode 1
  ASSERT_EQ(GameState, gsGame);
  ASSERT_EQ(Menu->CurrentPage, mpSavedGame);
  EXPECT_EQ(Menu->Current().Selected, 2) << "opens on its first selectable item";
  Key(VK_UP);
  EXPECT_EQ(Menu->Current().Selected, 3);
  Key(VK_UP);
  Key(VK_RETURN);  // continue the saved game
  EXPECT_EQ(Game->EndPhase, epPlaying);
  EXPECT_EQ(Menu->CurrentPage, mpPlaying);
  Settle();
  Key(VK_UP);
  EXPECT_TRUE(BoardCursorVisible()) << "the loaded game plays by keys";
  const int cube = SelectableCube();
  ASSERT_NE(cube, 0);
  KeysToCell(Game->Cubes[cube].X, Game->Cubes[cube].Y);
  Key(VK_RETURN);
  EXPECT_EQ(Game->Selected, cube);
}

TEST_F(InputTest, LeftAndRightSwitchTheHighScoreTablesOnlyOutsideNameEntry) {
  OpenWindow();
  Menu->Current().Selected = 3;
  MenuCommand(VK_RETURN);  // high scores
  ASSERT_EQ(GameState, gsHiScores);
  Key(VK_RIGHT);
  EXPECT_EQ(HiScores->ShownTable, 2);
  Key(VK_LEFT);
  EXPECT_EQ(HiScores->ShownTable, 1);
  Key(VK_RETURN);
  EXPECT_EQ(GameState, gsMenu) << "Enter still leaves the table";
}

// ---- Gamepad -------------------------------------------------------------------------------

TEST_F(InputTest, PadButtonsStandForTheKeysOfEachScreen) {
  OpenWindow();
  EXPECT_EQ(PadKey(TPadButton::A), VK_RETURN);
  EXPECT_EQ(PadKey(TPadButton::B), VK_ESCAPE) << "back in the menus";
  EXPECT_EQ(PadKey(TPadButton::Start), VK_RETURN);
  EXPECT_EQ(PadKey(TPadButton::Left), VK_LEFT);
  StartPlaying();
  EXPECT_EQ(PadKey(TPadButton::B), VK_BACK) << "right click in play";
  EXPECT_EQ(PadKey(TPadButton::Start), VK_ESCAPE) << "pause";
  PadButtonDown(TPadButton::Start);
  ASSERT_EQ(Game->EndPhase, epPaused);
  EXPECT_EQ(PadKey(TPadButton::B), VK_ESCAPE);
  PadButtonDown(TPadButton::Start);
  EXPECT_EQ(Game->EndPhase, epPlaying) << "Start continues";
  PadButtonDown(TPadButton::Start);
  PadButtonDown(TPadButton::B);
  EXPECT_EQ(Game->EndPhase, epPlaying) << "B is back: it continues too";
}

TEST_F(InputTest, PadNameEntryTurnsTheLetterAtTheCaretAddsRemovesAndAccepts) {
  OpenWindow();
  GameState = gsGameOver;
  Game->Mode = 1;
  Game->Score = 5000;
  PadButtonDown(TPadButton::A);  // any button leaves the game-over screen
  ASSERT_EQ(GameState, gsHiScores);
  ASSERT_TRUE(HiScores->Editing);
  auto name = [] { return HiScores->Entry(1, HiScores->EditRow).Name(); };
  PadButtonDown(TPadButton::Up);
  EXPECT_EQ(name(), "A") << "an empty name gets its first letter";
  PadButtonDown(TPadButton::Up);
  EXPECT_EQ(name(), "B");
  PadButtonDown(TPadButton::Down);
  PadButtonDown(TPadButton::Down);
  EXPECT_EQ(name(), "9") << "down from A wraps to the last sign";
  PadButtonDown(TPadButton::Up);
  EXPECT_EQ(name(), "A");
  PadButtonDown(TPadButton::Right);
  PadButtonDown(TPadButton::Up);
  EXPECT_EQ(name(), "AB");
  PadButtonDown(TPadButton::Right);
  PadButtonDown(TPadButton::Left);
  EXPECT_EQ(name(), "AB") << "left removes the last letter";
  EXPECT_TRUE(Played("PlaySound", 23));
  PadButtonDown(TPadButton::A);
  EXPECT_FALSE(HiScores->Editing);
  const std::string file = menutest::ReadBytes(ResolvePath(HiScoresFileName));
  ASSERT_EQ(file.size(), HiScoreFileBytes);
  EXPECT_EQ(file.substr(0, 3), std::string("\x02" "AB", 3));
}

SDL_Event AxisEvent(std::uint8_t Axis, int Value) {
  SDL_Event e{};
  e.type = SDL_CONTROLLERAXISMOTION;
  e.caxis.axis = Axis;
  e.caxis.value = static_cast<Sint16>(Value);
  return e;
}

TEST_F(InputTest, StickHasADeadZoneAndHeldDirectionsRepeat) {
  OpenWindow();
  StartPlaying();
  MouseAtWorld(6.0f, 4.9f);  // off the board
  Key(VK_UP);                // centre
  ASSERT_EQ(BoardCursor.X, 5);
  FormMain->HandleEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 7000));
  EXPECT_EQ(BoardCursor.X, 5) << "inside the dead zone";
  FormMain->HandleEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 20000));
  EXPECT_EQ(BoardCursor.X, 4) << "pushed right: one cell right";
  FormMain->HandleEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 12000));
  EXPECT_EQ(BoardCursor.X, 4) << "easing off a little is still the same push";
  UpdateInput(1399);
  EXPECT_EQ(BoardCursor.X, 4);
  UpdateInput(1400);
  EXPECT_EQ(BoardCursor.X, 3) << "held: repeats after the delay";
  UpdateInput(1509);
  EXPECT_EQ(BoardCursor.X, 3);
  UpdateInput(1510);
  EXPECT_EQ(BoardCursor.X, 2);
  FormMain->HandleEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTX, 1000));
  UpdateInput(3000);
  EXPECT_EQ(BoardCursor.X, 2) << "released: no more repeats";
  FormMain->HandleEvent(AxisEvent(SDL_CONTROLLER_AXIS_LEFTY, -30000));
  EXPECT_EQ(BoardCursor.Y, 6) << "the stick pushed up";
}

// A virtual gamepad with every button and both left stick axes.
class VirtualPad {
 public:
  VirtualPad() {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = 2;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
    desc.button_mask = (1u << desc.nbuttons) - 1;  // joystick button b is controller button b
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_LEFTX) | (1u << SDL_CONTROLLER_AXIS_LEFTY);
    desc.name = "Test Pad";
    Index = SDL_JoystickAttachVirtualEx(&desc);
    if (Index >= 0) Joystick = SDL_JoystickOpen(Index);
  }
  ~VirtualPad() { Unplug(); }
  void Unplug() {
    if (Joystick) SDL_JoystickClose(Joystick);
    Joystick = nullptr;
    if (Index >= 0) SDL_JoystickDetachVirtual(Index);
    Index = -1;
  }
  void Set(SDL_GameControllerButton Button, bool Down) {
    SDL_JoystickSetVirtualButton(Joystick, Button, Down ? 1 : 0);
  }
  int Index = -1;
  SDL_Joystick* Joystick = nullptr;
};

class VirtualPadTest : public InputTest {
 protected:
  // The dummy driver gives no window the keyboard focus, and SDL drops pad
  // input meant for an application in the background.
  void SetUp() override {
    InputTest::SetUp();
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  }
  void TearDown() override {
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "0");
    InputTest::TearDown();
  }

  // Hands every waiting SDL event to the window, as its loop does.
  void Pump() {
    SDL_Event e;
    // Only the pads' events: the dummy driver's window events would move the
    // focus around, which is not what this test is about.
    for (int round = 0; round < 3; ++round)
      while (SDL_PollEvent(&e))
        if (e.type >= SDL_CONTROLLERAXISMOTION && e.type <= SDL_CONTROLLERDEVICEREMAPPED) FormMain->HandleEvent(e);
  }
  void Press(VirtualPad& Pad, SDL_GameControllerButton Button) {
    Pad.Set(Button, true);
    Pump();
    Pad.Set(Button, false);
    Pump();
  }
  // D-pad presses until the board cursor stands on (X, Y).
  void PadToCell(VirtualPad& Pad, int X, int Y) {
    if (!BoardCursor.Shown) Press(Pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    for (int guard = 0; guard < 20 && (BoardCursor.X != X || BoardCursor.Y != Y); ++guard) {
      if (BoardCursor.X < X) Press(Pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);
      else if (BoardCursor.X > X) Press(Pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
      else if (BoardCursor.Y < Y) Press(Pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
      else Press(Pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    }
    ASSERT_EQ(BoardCursor.X, X);
    ASSERT_EQ(BoardCursor.Y, Y);
  }
};

TEST_F(VirtualPadTest, PluggedInItPlaysFromTheMenuToAMoveAndPausesPulledOutTheMouseGoesOn) {
  OpenWindow();
  VirtualPad pad;
  ASSERT_GE(pad.Index, 0) << SDL_GetError();
  Pump();
  ASSERT_EQ(GamepadCount(), 1);
  EXPECT_NE(Log().find(" Gamepad connected: "), std::string::npos);

  // Menu: play, mode 1 (the first items, selected on each page's opening).
  Press(pad, SDL_CONTROLLER_BUTTON_A);
  ASSERT_EQ(Menu->CurrentPage, mpChooseGame);
  Press(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
  RandSeed(7);
  Press(pad, SDL_CONTROLLER_BUTTON_A);
  ASSERT_EQ(GameState, gsGame);
  ASSERT_EQ(Game->EndPhase, epPlaying);
  Settle();

  // A cube selected and moved.
  const int cube = SelectableCube();
  ASSERT_NE(cube, 0);
  const std::uint8_t kind = Game->Cubes[cube].Kind;
  PadToCell(pad, Game->Cubes[cube].X, Game->Cubes[cube].Y);
  Press(pad, SDL_CONTROLLER_BUTTON_A);
  ASSERT_EQ(Game->Selected, cube);
  int tx = 0, ty = 0;
  ReachableEmptyCell(tx, ty);
  ASSERT_NE(tx, 0);
  PadToCell(pad, tx, ty);
  Press(pad, SDL_CONTROLLER_BUTTON_A);
  EXPECT_GT(Game->StateCount[StateSlot(csMoving)], 0);
  Settle();
  bool arrived = false;
  for (int i = 1; i <= Game->CubeCount; ++i)
    if (Game->Cubes[i].X == tx && Game->Cubes[i].Y == ty && Game->Cubes[i].Kind == kind) arrived = true;
  EXPECT_TRUE(arrived || Game->Combo > 0) << "the cube stands on its new cell (or scored there)";

  // Start pauses; pulling the pad out keeps the game, paused.
  Press(pad, SDL_CONTROLLER_BUTTON_START);
  ASSERT_EQ(Game->EndPhase, epPaused);
  ASSERT_EQ(Menu->CurrentPage, mpPause);
  pad.Unplug();
  Pump();
  EXPECT_EQ(GamepadCount(), 0);
  EXPECT_NE(Log().find(" Gamepad disconnected: "), std::string::npos);
  EXPECT_EQ(GameState, gsGame);
  EXPECT_EQ(Game->EndPhase, epPaused);

  // The mouse continues and plays.
  MouseAtWorld(1.45f, -0.55f);
  MouseClick(0);
  ASSERT_EQ(Game->EndPhase, epPlaying);
  Settle();
  const int next = SelectableCube();
  ASSERT_NE(next, 0);
  MouseToCell(Game->Cubes[next].X, Game->Cubes[next].Y);
  MouseClick(0);
  EXPECT_EQ(Game->Selected, next);
}

TEST_F(VirtualPadTest, PulledOutDuringPlayTheGameWaitsInThePauseDialog) {
  OpenWindow();
  StartPlaying();
  {
    VirtualPad pad;
    ASSERT_GE(pad.Index, 0) << SDL_GetError();
    Pump();
    ASSERT_EQ(GamepadCount(), 1);
  }
  Pump();
  EXPECT_EQ(GamepadCount(), 0);
  EXPECT_EQ(Game->EndPhase, epPaused);
  EXPECT_EQ(Menu->CurrentPage, mpPause);
}

}  // namespace

namespace {

TEST_F(VirtualPadTest, OptionsAndHighScoresByPadAlone) {
  OpenWindow();
  VirtualPad pad;
  ASSERT_GE(pad.Index, 0) << SDL_GetError();
  Pump();
  Options->SoundVol = 4;

  // Options: the page opens on the skin number; down wraps to accept,
  // cancel, sound down, sound up.
  Press(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(pad, SDL_CONTROLLER_BUTTON_A);
  ASSERT_EQ(Menu->CurrentPage, mpOptions);
  for (int i = 0; i < 4; ++i) Press(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(pad, SDL_CONTROLLER_BUTTON_A);
  EXPECT_EQ(Options->SoundVol, 5);
  Press(pad, SDL_CONTROLLER_BUTTON_B);
  EXPECT_EQ(Menu->CurrentPage, mpMain) << "B is back";

  // High scores: the left stick to the third item, A; right shows the other table; B leaves.
  SDL_JoystickSetVirtualAxis(pad.Joystick, 1, 30000);  // left stick down, held
  Pump();
  SDL_JoystickSetVirtualAxis(pad.Joystick, 1, 0);
  Pump();
  Press(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  Press(pad, SDL_CONTROLLER_BUTTON_A);
  ASSERT_EQ(GameState, gsHiScores);
  Press(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  EXPECT_EQ(HiScores->ShownTable, 2);
  Press(pad, SDL_CONTROLLER_BUTTON_B);
  EXPECT_EQ(GameState, gsMenu);
}

}  // namespace
