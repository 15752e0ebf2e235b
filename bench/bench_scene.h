// The scene the frame benchmarks draw: settings at their defaults, the device
// on an 800 x 600 back buffer, the shared geometry, a game object, the menu
// and the fonts, as the window's loading leaves them.
#pragma once

#include <SDL.h>

#include <memory>

#include "frontend/fonts.h"
#include "frontend/menu.h"
#include "game/game.h"
#include "shell/options.h"
#include "shell/scene.h"

inline bool OpenBenchScene(SDL_Window* Window) {
  Options = std::make_unique<TOptions>();
  Options->SetDefaults();
  if (!InitD3D(Window, false, 800, 600, 32, 0, true, true)) return false;
  SetupRenderStates();
  SetupLights();
  InitGeometry();
  Game = std::make_unique<TGame>(D3DDevice);
  LoadMenu();
  LoadFontTextures();
  LoadFontMetrics();
  return true;
}
