// Playing without a mouse. The board cursor: a cell that the arrow keys or a
// gamepad move over the board, on which the game sees the pointer standing
// (so every click, hover and aim works as with the mouse); the menu keys for
// the dialogs shown over the board; gamepads (SDL game controllers, plugged
// in and pulled out at any time) turned into the keys of each screen.
#pragma once

#include <cstdint>

union SDL_Event;

struct TBoardCursor {
  bool Shown = false;         // in use: keys drive the pointer; false once the mouse moves
  std::uint8_t X = 5, Y = 5;  // cell, 1..9
};
extern TBoardCursor BoardCursor;

// What a gamepad offers; the stick's four directions count as the D-pad's.
enum class TPadButton : std::uint8_t { Up, Down, Left, Right, A, B, Start };

// Keys in play other than the pause keys: arrows move the board cursor,
// Enter and Space click on it, Backspace right-clicks. While a dialog stands
// over the board (pause, saved-game offer) they are the menu keys, and the
// pause keys continue from the pause dialog.
void PlayKeyDown(std::uint16_t Key);
// Whether a held key's repeats count: in play only the arrows repeat, so that
// a held Enter does not click on and on, nor a held Escape pause and continue.
bool KeyRepeats(std::uint16_t Key);
// Left and Right on the high score table, when no name is being typed: the
// other table's tab, as a click on it.
void HiScoresTableKeyDown(std::uint16_t Key);
// The pointer is reported at client pixel (X, Y). False when the report only
// says where the pointer already was (see below): no move of the player's,
// which must not change what the keys have selected. Otherwise the mouse
// takes over from the board cursor.
bool PointerMoved(int X, int Y);
// The game put the system pointer at client pixel (X, Y): the report that
// echoes it is no move.
void PointerPlaced(int X, int Y);
// The pointer entered the window (also when the window appeared under it):
// the report that comes with it is no move.
void PointerEntered();

// One gamepad button pressed, as the game window gets it from any pad.
void PadButtonDown(TPadButton Button);
// The key a pad button stands for on the screen shown (0 for none).
std::uint16_t PadKey(TPadButton Button);

// Opens the game controller subsystem and every pad already connected.
void InitGamepads();
// Closes every open pad (the game window is going away).
void CloseGamepads();
// How many pads are open.
int GamepadCount();
// Pad plugging, buttons and stick; false for any other event.
bool HandleInputEvent(const SDL_Event& Event);
// Once per idle pass with the tick count (ms): held pad directions repeat,
// and the board cursor is dropped outside play.
void UpdateInput(std::uint32_t Now);
// A pad direction is held: its repeats need the passes to keep coming.
bool PadDirectionHeld();

// Whether the board cursor is drawn now: in use, and play running.
bool BoardCursorVisible();
// Draws it (the frame render calls this in gsGame, depth test off).
void DrawBoardCursor();
