// The frame loop's pace: never faster than the display refreshes, and on a
// screen where nothing moves, a frame only when something happens (or a few
// times a second), sleeping in the event wait between. The device waits for
// the vertical blank where the driver can; where it does not (software GL,
// many windowed drivers) the pacer's own timed wait keeps the pace. Game time
// is the sum of measured frame times, so the game plays alike at any pace.
#pragma once

#include <functional>

union SDL_Event;
struct SDL_Window;

// The FrameCap setting, unless the command line turned the cap off for this
// run. Off: every pass draws at once, as fast as the machine allows.
bool FramesCapped();
void SetFrameCapSwitchOff(bool Off);  // --no-frame-cap

// What the window's next pass has to show.
enum class TFrameNeed {
  Moving,    // something moves: a frame each refresh
  Still,     // nothing moves: a frame when something happens, else a few a second
  Inactive,  // minimised or without the focus: nothing is drawn
};

class TFramePacer {
 public:
  static constexpr double StillPeriodMs = 250;   // a still screen's low rate: 4 frames a second
  static constexpr double ChangeGraceMs = 500;   // after an event, a still screen keeps the full pace this long
  static constexpr double InactiveWaitMs = 100;  // between the passes of an inactive window

  // Hz: the display's refresh rate; 0 or less (unknown) counts as 60.
  void SetRefreshRate(int Hz);
  void SetCapped(bool On) { Capped_ = On; }
  bool Capped() const { return Capped_; }
  double PeriodMs() const { return PeriodMs_; }

  // A frame starts at Now (ms, any steady clock).
  void FrameStarted(double Now);
  // Something happened at Now (input, a window event) that a still screen must show.
  void Changed(double Now) { LastChange_ = Now; }
  // Ms to wait at Now before the next pass; 0: go on at once.
  double WaitMs(double Now, TFrameNeed Need) const;
  // Whether Need at Now is the low rate of a still screen (no change lately).
  bool Resting(double Now, TFrameNeed Need) const;

 private:
  double PeriodMs_ = 1000.0 / 60;
  bool Capped_ = true;
  bool Started_ = false;
  double NextFrame_ = 0;  // ms: when the next frame is due at the full pace
  double LastFrame_ = 0;  // ms: when the last one started
  double LastChange_ = -1e300;
};

extern TFramePacer FramePacer;

// Milliseconds of a steady high-resolution clock.
double PacerNowMs();

// The refresh rate and the cap for the game window's display (after its device exists).
void PaceForWindow(SDL_Window* Window);

// Whether the screen shown moves now (state of the game, the menus, the
// pointer and the pads); Inactive for a window out of the frame loop.
TFrameNeed CurrentFrameNeed(bool WindowActive);

// Waits until the next pass is due, asking Need what the screen does. Events arriving meanwhile go to Handle
// (Stopped ends the wait, e.g. once the window closed). A still screen woken
// by an event returns true and leaves the event queued: the pass draws first,
// so that the time the screen stood still is a frame of the still state,
// never counted into what the event starts (play resumed, a game begun).
bool WaitForNextPass(const std::function<TFrameNeed()>& Need, const std::function<void(const SDL_Event&)>& Handle,
                     const std::function<bool()>& Stopped);
