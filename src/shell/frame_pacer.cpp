// Frame pacing and the still-screen test; see frame_pacer.h.
#include "shell/frame_pacer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "effects/particles.h"
#include "frontend/hiscores.h"
#include "frontend/labels.h"
#include "game/game.h"
#include "game/planes.h"
#include "shell/form_main.h"
#include "shell/input.h"
#include "shell/options.h"

TFramePacer FramePacer;

namespace {

bool CapSwitchedOff = false;

// Mode 2 flashes the score line at or below this fill (game/planes.cpp).
constexpr float LowEnergyFill = 0.2f;

TFrameNeed PreviousNeed = TFrameNeed::Moving;

}  // namespace

bool FramesCapped() { return !CapSwitchedOff && (!Options || Options->FrameCap); }

void SetFrameCapSwitchOff(bool Off) { CapSwitchedOff = Off; }

// ---- The pacer ---------------------------------------------------------------

void TFramePacer::SetRefreshRate(int Hz) { PeriodMs_ = 1000.0 / (Hz > 0 ? Hz : 60); }

void TFramePacer::FrameStarted(double Now) {
  // Frames are due at steady steps, so that waits rounded to the millisecond
  // do not add up; a frame more than a step late starts the steps afresh
  // instead of hurrying to catch up.
  if (!Started_ || Now - NextFrame_ > PeriodMs_)
    NextFrame_ = Now + PeriodMs_;
  else
    NextFrame_ += PeriodMs_;
  LastFrame_ = Now;
  Started_ = true;
}

bool TFramePacer::Resting(double Now, TFrameNeed Need) const {
  return Capped_ && Need == TFrameNeed::Still && Now - LastChange_ >= ChangeGraceMs;
}

double TFramePacer::WaitMs(double Now, TFrameNeed Need) const {
  if (Need == TFrameNeed::Inactive) return InactiveWaitMs;
  if (!Capped_ || !Started_) return 0;
  double due = NextFrame_;
  if (Resting(Now, Need)) due = std::max(due, LastFrame_ + StillPeriodMs);
  // Less than a millisecond is not worth a sleep: where the driver waits for
  // the vertical blank, frames arrive that close to their step anyway.
  return due - Now < 1 ? 0 : due - Now;
}

double PacerNowMs() {
  static const double Frequency = static_cast<double>(SDL_GetPerformanceFrequency());
  return static_cast<double>(SDL_GetPerformanceCounter()) * 1000.0 / Frequency;
}

void PaceForWindow(SDL_Window* Window) {
  int hz = 0;
  SDL_DisplayMode mode{};
  if (Window && SDL_GetWindowDisplayMode(Window, &mode) == 0) hz = mode.refresh_rate;
  if (hz <= 0 && Window && SDL_GetCurrentDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(Window)), &mode) == 0)
    hz = mode.refresh_rate;
  FramePacer.SetRefreshRate(hz);
  FramePacer.SetCapped(FramesCapped());
}

// ---- What the screen does ------------------------------------------------------

namespace {

// A paused game stands still once nothing on the board moves, grows, bursts,
// floats or counts, and the score line does not flash.
bool PausedGameStill(const TGame& G) {
  if (G.EndPhase != epPaused) return false;
  for (int i = 1; i <= G.CubeCount; ++i)
    if (G.Cubes[i].State != csWaiting && G.Cubes[i].State != csResting) return false;
  for (int list = 1; list <= ParticleListCount; ++list)
    if (ParticleLists[list]) return false;
  if (ScoreLabelCount != 0 || G.PendingScore > 0) return false;
  for (const auto& delayed : DelayedLabels)
    if (delayed.Active) return false;
  return !(G.Mode == 2 && G.ScoreLine && G.ScoreLine->Fill <= LowEnergyFill);
}

}  // namespace

TFrameNeed CurrentFrameNeed(bool WindowActive) {
  if (!WindowActive) return TFrameNeed::Inactive;
  // A held pad direction repeats on the pass's clock.
  if (PadDirectionHeld()) return TFrameNeed::Moving;
  switch (GameState) {
    case gsMenu:
    case gsTutorial:
    case gsHelp:
    case gsGameOver:
      return TFrameNeed::Still;
    case gsHiScores:
      // The caret of a name being typed blinks.
      return HiScores && HiScores->Editing ? TFrameNeed::Moving : TFrameNeed::Still;
    case gsGame:
      return Game && PausedGameStill(*Game) ? TFrameNeed::Still : TFrameNeed::Moving;
    default:
      return TFrameNeed::Moving;
  }
}

// ---- Waiting -------------------------------------------------------------------

bool WaitForNextPass(const std::function<TFrameNeed()>& Need, const std::function<void(const SDL_Event&)>& Handle,
                     const std::function<bool()>& Stopped) {
  const double start = PacerNowMs();
  for (;;) {
    if (Stopped()) return false;
    const double now = PacerNowMs();
    const TFrameNeed need = Need();
    // The first frame of a still screen is drawn at the full pace.
    if (need != PreviousNeed) FramePacer.Changed(now);
    PreviousNeed = need;
    double wait = FramePacer.WaitMs(now, need);
    if (need == TFrameNeed::Inactive) wait = start + wait - now;
    if (wait <= 0) return false;
    const int ms = static_cast<int>(std::ceil(wait));
    if (FramePacer.Resting(now, need)) {
      // Peek only: the pass draws the still screen before the event is handled.
      if (SDL_WaitEventTimeout(nullptr, ms) == 1) {
        FramePacer.Changed(PacerNowMs());
        return true;
      }
      continue;
    }
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, ms) == 1) {
      Handle(event);
      FramePacer.Changed(PacerNowMs());
    }
  }
}
