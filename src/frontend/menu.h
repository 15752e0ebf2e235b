// The menu controller: builds the 3D menu from "data/Menu.dat" and gives
// every menu item its meaning (new games in both modes, the saved-game offer,
// pause and quit, high score tables, tutorial, options). The main window feeds
// it keys and mouse events in the menu states and calls DrawMenu each frame.
#pragma once

#include <cstdint>
#include <string>

#include "platform/d3d8/d3d8.h"

// Menu pages by role (fixed by the command table; the file supplies pictures).
enum TMenuPageId : std::uint16_t {
  mpMain = 1,
  mpChooseGame = 2,
  mpOptions = 3,
  mpPlaying = 4,
  mpPause = 5,
  mpHiScores = 6,
  mpSavedGame = 7,
  mpTutorial = 9,
  mpHints = 10,
};

inline constexpr const char* MenuFileName = "data/Menu.dat";

// Shown full screen behind the menu in the menu and high score states.
extern IDirect3DTexture8* MenuBackground;
// The menu's full-screen picture, held only while a screen that shows it is
// drawn: loaded again from Menu.dat's name when it is next wanted.
IDirect3DTexture8* MenuBackdrop();
void ReleaseMenuBackdrop();

// Reads the menu file and builds Menu; advances the loading bar 2..10.
// A missing or malformed file raises EInOutError naming the file and line.
void LoadMenu();
void EnterMenu();
void DrawMenu();
void MenuCommand(std::uint16_t Key);  // Windows virtual-key code
void MenuPointAt(float X, float Y);  // the pointer moved to X, Y in the menu plane
void MenuMouseDown(float X, float Y);
void MenuMouseUp(int Button, float X, float Y);  // Button 0 left, 1 right; X, Y in the menu plane
void HighlightOptionRow(float X, float Y);
void UpdateVolumeBars();
void StartGame();
// The 18 cube textures of Skin (1..5); 7, 8, 9 and 17 always come from skin 1.
void LoadSkinTextures(int Skin);
std::string SkinTextureName(int Skin, int Number);
