// A replay in the game window: the recorded frames are played as real time
// passes (times the chosen speed), so the game looks as it did; the window's
// own input goes to the replay's keys only, and nothing is recorded, saved
// or entered in the high scores until the replay ends in the main menu.
#include <algorithm>
#include <memory>

#include "audio/sounds.h"
#include "effects/particles.h"
#include "frontend/labels.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "game/game.h"
#include "platform/win32/io_error.h"
#include "platform/win32/message_box.h"
#include "platform/win32/virtual_keys.h"
#include "replay/playback.h"
#include "shell/debug_log.h"
#include "shell/form_main.h"
#include "shell/options.h"

namespace replay {

namespace {

std::string Pending;
std::unique_ptr<TPlayer> Playing;
bool Paused = false;
int Speed = 1;       // 1, 2, 4, 8
double Budget = 0;   // ms of recorded time owed to the screen
constexpr double MaxBudgetMs = 250;  // a stalled window catches up this far, no further
constexpr int MaxStepsPerPass = 400;

void ShowPhase() {
  if (Menu && Game) Menu->SetPage(Game->EndPhase == epPaused ? mpPause : mpPlaying);
}

void Finish(const char* How) {
  DebugLog(false, std::string(" Replay ended: ") + How);
  Playing.reset();
  ClearAllParticles();
  ClearScoreLabels();
  if (Game) {
    Game->ClearBoard();
    Game->EndPhase = epPlaying;
  }
  GameState = gsMenu;
  StopMusic();
  PlayMusic(0, 0);
  LastMenuTrack = 1;
  if (Menu) Menu->SetPage(mpMain);
}

}  // namespace

void RequestWindowReplay(const std::string& Path) { Pending = Path; }

bool ReplayPlaying() { return Playing != nullptr; }

bool StartWindowReplay(const std::string& Path) {
  if (!Game) return false;
  try {
    auto player = std::make_unique<TPlayer>(Path, ReadReplayFile(Path));
    player->CheckFits();
    if (!Game->ResourcesLoaded) Game->LoadResources();
    const int skin = Options && Options->Texture >= 1 && Options->Texture <= 5 ? Options->Texture : 1;
    LoadSkinTextures(skin);
    ClearAllParticles();
    ClearScoreLabels();
    player->Applied = [](const TEvent& E) {
      if (E.Kind == TEventKind::State) ShowPhase();
    };
    player->Begin();
    Playing = std::move(player);
  } catch (const std::exception& e) {
    DebugLog(false, std::string(" Replay not played: ") + e.what());
    ShowErrorMessage(e.what());
    return false;
  }
  Paused = false;
  Speed = 1;
  Budget = 0;
  StopMusic();
  PlayMusic(Game->Mode == 2 ? 3 : 2, 1);
  ShowPhase();
  DebugLog(false, " Replay started: " + Path);
  return true;
}

bool PlaybackIdle(float FrameMs) {
  if (!Playing) {
    if (Pending.empty() || GameState != gsMenu) return false;
    const std::string path = Pending;
    Pending.clear();
    return StartWindowReplay(path);
  }
  if (!Paused) Budget = std::min(Budget + static_cast<double>(FrameMs) * Speed, MaxBudgetMs * Speed);
  for (int steps = 0; steps < MaxStepsPerPass; ++steps) {
    const float next = Playing->NextFrameMs();
    if (next < 0) {
      Finish("the end of the file");
      return true;
    }
    if (next > Budget) break;
    try {
      Playing->Step();
    } catch (const std::exception& e) {
      ShowErrorMessage(e.what());
      Finish("a damaged saved game");
      return true;
    }
    Budget -= next;
    if (GameState == gsGameOver) {
      Finish("game over");
      return true;
    }
  }
  return true;
}

bool ReplayKeyDown(std::uint16_t Key) {
  if (!Playing) return false;
  if (Key == VK_SPACE) {
    Paused = !Paused;
    DebugLog(false, Paused ? " Replay paused" : " Replay goes on");
  } else if (Key == VK_RIGHT) {
    Speed = Speed >= 8 ? 1 : Speed * 2;
    DebugLog(false, " Replay speed " + std::to_string(Speed) + "x");
  } else if (Key == VK_ESCAPE) {
    Finish("stopped by the player");
  }
  return true;
}

}  // namespace replay
