// A render test fixture with the whole game loaded on a hidden window of the
// parameter's size: the game folder as working directory, a scratch folder
// for what it writes, fonts, the skin and a new game of mode 1.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "effects/particles.h"
#include "frontend/fonts.h"
#include "frontend/labels.h"
#include "frontend/menu.h"
#include "game/game.h"
#include "platform/win32/paths.h"
#include "platform/win32/random.h"
#include "render_window.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/scene.h"

struct TSize {
  int W, H;
};

class TGameSceneTest : public ::testing::TestWithParam<TSize> {
 protected:
  // Name tells the window and the scratch folder apart; Seed fixes the game's draws.
  void OpenGame(const char* Name, unsigned Seed) {
    W = GetParam().W;
    H = GetParam().H;
    const char* dir = std::getenv("VOXARINE_SHOT_GAME_DIR");
    GameDir = dir ? dir : VOXARINE_GAME_DIR;
    if (!std::filesystem::exists(GameDir + "/Images/background.jpg")) GTEST_SKIP() << "no game folder at " << GameDir;
    // Loading logs into the game folder's debug.txt; leave the folder as found.
    HadLog = std::filesystem::exists(GameDir + "/debug.txt");
    OldDir = std::filesystem::current_path();
    std::filesystem::current_path(GameDir);
    SetGameFolder(GameDir);
    Scratch = std::filesystem::temp_directory_path() / ("voxarine-" + std::string(Name) + "-" + std::to_string(getpid()));
    SetUserDataFolder(Scratch.string());

    OpenSceneWindow(Name, W, H, Window);
    if (HasFatalFailure()) return;
    Options = std::make_unique<TOptions>();
    LoadFontTextures();
    LoadFontMetrics();
    RandSeed(Seed);
    Game = std::make_unique<TGame>(D3DDevice);
    Game->LoadResources();
    LoadSkinTextures(1);
    Game->Mode = 1;
    Game->NewGame();
    GameState = gsGame;
  }

  void TearDown() override {
    ClearScoreLabels();
    ClearAllParticles();
    Game.reset();
    Options.reset();
    FreeFontTextures();
    ReleaseGraphics();
    if (Window) SDL_DestroyWindow(Window);
    SDL_Quit();
    GameState = gsLaunch;
    SetGameFolder("");
    SetUserDataFolder("");
    std::error_code ec;
    std::filesystem::remove_all(Scratch, ec);
    if (!HadLog) std::filesystem::remove(GameDir + "/debug.txt", ec);
    if (!OldDir.empty()) std::filesystem::current_path(OldDir);
  }

  int W = 0, H = 0;
  std::string GameDir;
  bool HadLog = false;
  std::filesystem::path OldDir, Scratch;
  SDL_Window* Window = nullptr;
};
