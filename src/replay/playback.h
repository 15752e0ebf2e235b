// Playing a replay: the game is set up as it was when the recording began,
// then gets the recorded calls in order, one frame per step. The same player
// serves the headless checker (as fast as it can) and the game window (at
// the file's own pace, see PlaybackIdle).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "replay/replay_file.h"

namespace replay {

class TPlayer {
 public:
  TPlayer(std::string FileName, TReplay Replay) : Name(std::move(FileName)), R(std::move(Replay)) {}

  // Raises EInOutError naming the file when it comes from another version of
  // the game or was recorded with other level or figure tables.
  void CheckFits() const;
  // The game as at the recording's start: a new game of the file's mode and seed.
  void Begin();
  // Plays the events up to and including the next frame; false when the
  // file has no more. A damaged saved game raises EInOutError.
  bool Step();

  // The frame time (ms) of the next frame; negative when none is left.
  float NextFrameMs() const;

  const TReplay& Replay() const { return R; }
  const std::string& FileName() const { return Name; }
  std::uint64_t Frame() const { return Frames; }  // frames played
  double PlayedMs() const { return Ms; }          // game time played
  // The frame after which the state first differed from the file's digest
  // (0: never), and the last frame at which it was still the same.
  std::uint64_t DivergedAt = 0;
  std::uint64_t LastEqualAt = 0;
  // Told each event after it took effect (the window shows pause pages).
  std::function<void(const TEvent&)> Applied;
  // Told after each frame (the headless checker's invariants and ledger).
  std::function<void()> AfterFrame;

 private:
  std::string Name;
  TReplay R;
  std::size_t Next = 0;      // event index
  std::uint32_t RunDone = 0;  // frames of Events[Next] already played
  std::uint64_t Frames = 0;
  double Ms = 0;
};

// ---- The game window -----------------------------------------------------------
// Asks for FILE to be played once the window has loaded (voxarine --replay).
void RequestWindowReplay(const std::string& Path);
// Starts playing Path in the window now (from the menu or the high scores);
// a file that cannot be played is told in a message box. False then.
bool StartWindowReplay(const std::string& Path);
// A replay is playing in the window: nothing is recorded or saved.
bool ReplayPlaying();
// One idle pass of the window's replay with the frame time just measured:
// starts a replay asked for once the menu is up. True while one plays.
bool PlaybackIdle(float FrameMs);
// Keys while a replay plays: Space pauses, Right speeds up (2x, 4x, 8x, then
// 1x again), Escape ends. True: the key was the replay's (all are).
bool ReplayKeyDown(std::uint16_t Key);

}  // namespace replay
