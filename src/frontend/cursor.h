// The game's own mouse pointer: a sprite in the 3D scene that follows the
// system pointer on the plane of the menu items and the board. The menu and
// the game read the pointer's world position from CursorSprites[CursorMode].
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "shell/textures.h"

// 1 menu pointer, 2 game pointer, 3 aiming a shot.
extern std::uint8_t CursorMode;

// [1..3]; element 0 unused. Empty until CreateCursor.
extern std::array<std::unique_ptr<T3DSprite>, 4> CursorSprites;

// Centres the system pointer in the window, logs where it went, builds the
// three sprites and the window-to-world scale; CursorMode = 1. Runs while
// loading, after the device exists.
void CreateCursor();

// Pointer at client pixel (x, y) → sprite position on the plane z = 0. The
// 4 : 3 picture spans the view; in the bars around it (a window of another
// shape) the sprite stands at the picture's nearest edge.
void MoveCursor(int x, int y);
// The pointer's last position (MoveCursor, PlaceCursor) lay in the picture:
// in the bars it points at nothing, and a click there does nothing.
bool PointerInPicture();

// Draws sprite `mode` with alpha blending; nothing for a mode outside 1..3,
// before CreateCursor, or while the system pointer is outside a window or in
// the bars around the picture.
void DrawCursor(std::uint8_t mode);

// World position of the current cursor sprite (x, y); (-1.8, -0.25) before
// the cursor exists.
float CursorX();
float CursorY();

// Drops the sprites (the device is going away).
void FreeCursor();

// Puts every cursor sprite at world point (X, Y) on the board plane, as if the
// pointer had moved there: the keyboard and gamepad stand in for the pointer.
void PlaceCursor(float X, float Y);
// Set while keys or a gamepad drive the cursor: it is then drawn wherever the
// system pointer happens to be.
extern bool CursorKeyDriven;

// The frame that marks the board cursor's cell ("Images\boardcursor.tga"),
// made with the cursor sprites; absent when its picture is missing.
extern std::unique_ptr<T3DSprite> BoardFrameSprite;
// Draws the frame on cell (X, Y) in the board plane, where the reach marks
// lie; drawn with the depth test off, it shows over a cube. Time (ms) makes it pulse.
void DrawBoardFrame(int X, int Y, double Time);
