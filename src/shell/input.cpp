// Keyboard and gamepad play. Everything here ends in the calls the mouse
// makes (pointer on a cell, button down and up) or in the keys the menus
// already take, so that mouse play and the rules stay the only path into
// the game.
#include "shell/input.h"

#include <SDL.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/sounds.h"
#include "frontend/cursor.h"
#include "frontend/hiscores.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "game/game.h"
#include "platform/win32/ticks.h"
#include "platform/win32/virtual_keys.h"
#include "replay/game_input.h"
#include "shell/debug_log.h"
#include "shell/form_main.h"
#include "shell/scene.h"

TBoardCursor BoardCursor;

namespace {

constexpr int PauseContinueItem = 3;  // the pause dialog's "continue"
constexpr int SoundNameKey = 23;      // the name entry's key sound

// A held pad direction repeats like a held key.
constexpr std::uint32_t RepeatDelayMs = 400;
constexpr std::uint32_t RepeatIntervalMs = 110;
// The stick counts as pressed beyond StickPress and as released inside
// StickRelease, so that a stick resting near the edge of the dead zone does
// not chatter.
constexpr int StickPress = 16000;
constexpr int StickRelease = 8000;

// Letters the pad's up and down step through at the caret.
constexpr char NameAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int NameAlphabetSize = sizeof NameAlphabet - 1;

struct TPad {
  SDL_GameController* Controller = nullptr;
  SDL_JoystickID Id = -1;
  std::string Name;
};

std::vector<TPad> Pads;
bool HoldingDirection = false;
TPadButton HeldDirection = TPadButton::Up;
std::uint32_t NextRepeat = 0;  // tick count of the held direction's next repeat
int StickX = 0, StickY = 0;    // -1, 0, 1: the stick's direction per axis

// Pointer reports still to come that are no moves of the player's (PointerMoved).
bool EnterPending = false;
bool PlacementPending = false;
int PlacedX = 0, PlacedY = 0;  // client pixels

bool InPlay() { return GameState == gsGame && Game && Game->EndPhase == epPlaying; }

bool DialogOverBoard() {
  return GameState == gsGame && Game && Game->EndPhase == epPaused && Menu &&
         (Menu->CurrentPage == mpPause || Menu->CurrentPage == mpSavedGame);
}

// The pointer stands on the board cursor's cell: what a mouse move there does.
void PointAtBoardCursor() {
  const float x = BoardCursor.X - 5.0f, y = BoardCursor.Y - 5.0f;
  CursorKeyDriven = true;
  PlaceCursor(x, y);
  MoveCursorLight(x, y);
  if (GameState == gsGame && Game) GamePointer();
  if (Menu) Menu->MouseMove(x, y);
}

// The first use takes over from the pointer: the cell under it, or the
// middle of the board when it is elsewhere.
void TakeOverFromPointer() {
  BoardCursor.Shown = true;
  if (Game && Game->CursorOnBoard()) {
    const TCellValue cell = Game->CursorCell();
    BoardCursor.X = CellX(cell);
    BoardCursor.Y = CellY(cell);
  } else {
    BoardCursor.X = BoardCursor.Y = 5;
  }
}

void MoveBoardCursor(int DX, int DY) {
  if (!BoardCursor.Shown) {
    TakeOverFromPointer();
  } else {
    // The edge stops the cursor; it never wraps round.
    BoardCursor.X = static_cast<std::uint8_t>(std::clamp(BoardCursor.X + DX, 1, 9));
    BoardCursor.Y = static_cast<std::uint8_t>(std::clamp(BoardCursor.Y + DY, 1, 9));
  }
  PointAtBoardCursor();
}

// A click of Button (0 left, 1 right) with the pointer on the board cursor.
void ClickBoardCursor(int Button) {
  if (!BoardCursor.Shown) TakeOverFromPointer();
  PointAtBoardCursor();
  if (FormMain) {
    FormMain->FormMouseDown(Button);
    FormMain->FormMouseUp(Button);
  } else if (Game) {
    GamePress(Button);
  }
}

void DialogKeyDown(std::uint16_t Key) {
  const bool pauseKey = Key == VK_ESCAPE || Key == VK_F1 || Key == 'P';
  if (Menu->CurrentPage == mpPause && pauseKey) {
    // The pause keys undo the pause: the dialog's own "continue".
    Menu->Current().Selected = PauseContinueItem;
    MenuCommand(VK_RETURN);
    return;
  }
  MenuCommand(Key);
}

// Name entry with four directions and a button: up and down turn the letter
// at the caret (the last one), right adds a letter, left takes one away.
void PadNameEntry(TPadButton Button) {
  switch (Button) {
    case TPadButton::A:
    case TPadButton::Start: HiScores->EditKey(VK_RETURN); return;
    case TPadButton::Left:
    case TPadButton::B: HiScores->EditKey(VK_BACK); return;
    case TPadButton::Right: HiScores->EditKey('A'); return;
    case TPadButton::Up:
    case TPadButton::Down: break;
  }
  if (HiScores->EditRow < 1 || HiScores->EditRow > HiScoreRows) return;
  THiScoreEntry& e = HiScores->Entry(HiScores->ShownTable == 2 ? 2 : 1, HiScores->EditRow);
  if (e.NameLength == 0 || e.NameLength > HiScoreNameMax) {
    HiScores->EditKey('A');  // an empty name gets its first letter
    return;
  }
  char& c = e.NameChars[static_cast<std::size_t>(e.NameLength - 1)];
  const char* at = std::find(NameAlphabet, NameAlphabet + NameAlphabetSize, c);
  int k = at == NameAlphabet + NameAlphabetSize ? -1 : static_cast<int>(at - NameAlphabet);
  if (Button == TPadButton::Up)
    k = (k + 1) % NameAlphabetSize;
  else
    k = k <= 0 ? NameAlphabetSize - 1 : k - 1;
  c = NameAlphabet[k];
  PlaySound(SoundNameKey);
}

std::string PadName(SDL_GameController* Controller) {
  const char* name = SDL_GameControllerName(Controller);
  return name ? name : "unnamed";
}

void OpenPad(int DeviceIndex) {
  if (!SDL_IsGameController(DeviceIndex)) return;
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(DeviceIndex);
  for (const TPad& pad : Pads)
    if (pad.Id == id) return;  // already open (announced again after start-up)
  SDL_GameController* controller = SDL_GameControllerOpen(DeviceIndex);
  if (!controller) {
    DebugLog(false, std::string(" Gamepad not opened: ") + SDL_GetError());
    return;
  }
  Pads.push_back(TPad{controller, id, PadName(controller)});
  DebugLog(false, " Gamepad connected: " + Pads.back().Name);
}

void ReleaseDirections() {
  HoldingDirection = false;
  StickX = StickY = 0;
}

void ClosePad(SDL_JoystickID Id) {
  const auto it = std::find_if(Pads.begin(), Pads.end(), [Id](const TPad& p) { return p.Id == Id; });
  if (it == Pads.end()) return;
  const std::string name = it->Name;
  SDL_GameControllerClose(it->Controller);
  Pads.erase(it);
  ReleaseDirections();
  DebugLog(false, " Gamepad disconnected: " + name);
  // A pad pulled out in the middle of play leaves nobody at the controls:
  // the game waits in the pause dialog, as after the pause key.
  if (InPlay() && FormMain) FormMain->FormKeyDown(VK_ESCAPE);
}

void DirectionDown(TPadButton Direction) {
  HoldingDirection = true;
  HeldDirection = Direction;
  NextRepeat = GetTickCount() + RepeatDelayMs;
  PadButtonDown(Direction);
}

void DirectionUp(TPadButton Direction) {
  if (HoldingDirection && HeldDirection == Direction) HoldingDirection = false;
}

// One stick axis: Negative/Positive are its two directions.
void StickAxis(int Value, int& State, TPadButton Negative, TPadButton Positive) {
  int next = State;
  if (Value >= StickPress)
    next = 1;
  else if (Value <= -StickPress)
    next = -1;
  else if (Value > -StickRelease && Value < StickRelease)
    next = 0;
  if (next == State) return;
  if (State != 0) DirectionUp(State < 0 ? Negative : Positive);
  State = next;
  if (State != 0) DirectionDown(State < 0 ? Negative : Positive);
}

bool DirectionOf(Uint8 SdlButton, TPadButton& Out) {
  switch (SdlButton) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP: Out = TPadButton::Up; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: Out = TPadButton::Down; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: Out = TPadButton::Left; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: Out = TPadButton::Right; return true;
    default: return false;
  }
}

}  // namespace

// ---- Keys in play ------------------------------------------------------------------

void PlayKeyDown(std::uint16_t Key) {
  if (!Game) return;
  if (DialogOverBoard()) {
    DialogKeyDown(Key);
    return;
  }
  if (Game->EndPhase != epPlaying) return;
  // World x grows to the left on screen and y upwards: Right is one column
  // down, Up one row up.
  switch (Key) {
    case VK_LEFT: MoveBoardCursor(1, 0); break;
    case VK_RIGHT: MoveBoardCursor(-1, 0); break;
    case VK_UP: MoveBoardCursor(0, 1); break;
    case VK_DOWN: MoveBoardCursor(0, -1); break;
    case VK_RETURN:
    case VK_SPACE: ClickBoardCursor(0); break;
    case VK_BACK: ClickBoardCursor(1); break;
    default: break;
  }
}

bool KeyRepeats(std::uint16_t Key) {
  return GameState != gsGame || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_UP || Key == VK_DOWN;
}

void HiScoresTableKeyDown(std::uint16_t Key) {
  if (Key != VK_LEFT && Key != VK_RIGHT) return;
  if (!Menu || !HiScores || HiScores->Editing || Menu->CurrentPage != mpHiScores) return;
  // Items 2 and 3 are the two tabs, one visible at a time: choosing it shows the other table.
  Menu->Current().Selected = Menu->Item(mpHiScores, 2).Visible ? 2 : 3;
  MenuCommand(VK_RETURN);
}

// A page shows with its first item selected; the program's own warp of the
// pointer, or the window opening under a still pointer, arrives as a pointer
// report a moment later and would otherwise take that selection away (or hand
// it to whatever item lies under the pointer), so that the same keys would do
// different things on different showings.
void PointerPlaced(int X, int Y) {
  PlacementPending = true;
  PlacedX = X;
  PlacedY = Y;
}

void PointerEntered() { EnterPending = true; }

bool PointerMoved(int X, int Y) {
  if (EnterPending) {
    EnterPending = false;
    return false;
  }
  if (PlacementPending) {
    PlacementPending = false;
    if (X == PlacedX && Y == PlacedY) return false;
  }
  BoardCursor.Shown = false;
  CursorKeyDriven = false;
  return true;
}

// ---- Gamepads ------------------------------------------------------------------------

std::uint16_t PadKey(TPadButton Button) {
  switch (Button) {
    case TPadButton::Up: return VK_UP;
    case TPadButton::Down: return VK_DOWN;
    case TPadButton::Left: return VK_LEFT;
    case TPadButton::Right: return VK_RIGHT;
    case TPadButton::A: return VK_RETURN;
    case TPadButton::B: return InPlay() ? VK_BACK : VK_ESCAPE;
    case TPadButton::Start:
      // Pause and continue in play; elsewhere it chooses, like A.
      if (InPlay()) return VK_ESCAPE;
      if (DialogOverBoard() && Menu->CurrentPage == mpPause) return VK_ESCAPE;
      return VK_RETURN;
  }
  return 0;
}

void PadButtonDown(TPadButton Button) {
  if (GameState == gsHiScores && HiScores && HiScores->Editing) {
    PadNameEntry(Button);
    return;
  }
  const std::uint16_t key = PadKey(Button);
  if (key != 0 && FormMain) FormMain->FormKeyDown(key);
}

void InitGamepads() {
  if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    DebugLog(false, std::string(" No gamepads: ") + SDL_GetError());
    return;
  }
  for (int i = 0; i < SDL_NumJoysticks(); ++i) OpenPad(i);
}

void CloseGamepads() {
  for (TPad& pad : Pads) SDL_GameControllerClose(pad.Controller);
  Pads.clear();
  ReleaseDirections();
}

int GamepadCount() { return static_cast<int>(Pads.size()); }

bool HandleInputEvent(const SDL_Event& Event) {
  TPadButton direction{};
  switch (Event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      OpenPad(Event.cdevice.which);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      ClosePad(Event.cdevice.which);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
      if (DirectionOf(Event.cbutton.button, direction)) {
        DirectionDown(direction);
      } else if (Event.cbutton.button == SDL_CONTROLLER_BUTTON_A) {
        PadButtonDown(TPadButton::A);
      } else if (Event.cbutton.button == SDL_CONTROLLER_BUTTON_B) {
        PadButtonDown(TPadButton::B);
      } else if (Event.cbutton.button == SDL_CONTROLLER_BUTTON_START) {
        PadButtonDown(TPadButton::Start);
      }
      return true;
    case SDL_CONTROLLERBUTTONUP:
      if (DirectionOf(Event.cbutton.button, direction)) DirectionUp(direction);
      return true;
    case SDL_CONTROLLERAXISMOTION:
      if (Event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
        StickAxis(Event.caxis.value, StickX, TPadButton::Left, TPadButton::Right);
      else if (Event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)  // negative is up
        StickAxis(Event.caxis.value, StickY, TPadButton::Up, TPadButton::Down);
      return true;
    default:
      return false;
  }
}

bool PadDirectionHeld() { return HoldingDirection; }

void UpdateInput(std::uint32_t Now) {
  if (GameState != gsGame) {
    BoardCursor.Shown = false;
    CursorKeyDriven = false;
  }
  // Signed difference: right across the tick counter's wrap.
  if (HoldingDirection && static_cast<std::int32_t>(Now - NextRepeat) >= 0) {
    NextRepeat = Now + RepeatIntervalMs;
    PadButtonDown(HeldDirection);
  }
}

// ---- Drawing ----------------------------------------------------------------------------

bool BoardCursorVisible() { return BoardCursor.Shown && InPlay(); }

void DrawBoardCursor() {
  if (BoardCursorVisible()) DrawBoardFrame(BoardCursor.X, BoardCursor.Y, TotalTime);
}
