// The one way into a running game: the window, the keys and the menu deliver
// time and input to the game through these calls, which record them for the
// replay when recording is on, or leave them out while a replay plays. The
// game itself knows nothing of replays.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "replay/replay_file.h"

// A game's start, in place of Game->NewGame(): seeds the random generator
// afresh and (when recording) begins a replay; ends one still open.
void ReplayNewGame();
// The saved-game offer's "continue", in place of Game->LoadGame(Mode): the
// file is read once, and its content goes into the replay.
void ReplayLoadGame(int Mode);
// One frame of play: Game->Update(DeltaMs).
void GameFrame(float DeltaMs);
// The pointer moved (the cursor stands at its new board point): Game->MouseMove().
void GamePointer();
void GamePress(int Button);    // Game->MouseDown(Button)
void GameRelease(int Button);  // the button went up
void GameKey(std::uint16_t Key);  // a key reached play
// The window's idle pass with the last frame time (ms): a replay playing in
// the window goes on; in play, one frame; a recording whose game has been
// left (saved and quit) ends.
void ReplayIdle(float FrameMs);
// The window closes (a running game is saved): the recording ends.
void ReplayWindowClosing();

namespace replay {

struct TRecordSettings {
  bool Enabled = false;
  std::string Folder;  // empty: "Replays" in the folder the game writes its saves to
  int Keep = 50;       // newest files kept in Folder; 0 keeps all
  // Told the path of each file written, or why it could not be.
  std::function<void(const std::string& Path)> Written;
  std::function<void(const std::string& Why)> Failed;
};
extern TRecordSettings Recording;

// Ends the open recording, if any, as Reason; writes the file and returns
// its path ("" when nothing was recorded or it could not be written).
std::string EndRecording(TEndReason Reason);
bool RecordingOpen();
// The replay in memory so far (tests).
const TReplay* OpenRecording();

// Where replays are written: Recording.Folder, else "Replays" beside the saves.
std::string ReplayFolder();
// The last replay written ("" when none yet).
const std::string& LastReplayWritten();

// A file name by date, mode and score: "2026-12-09_04-10-33_mode1_12345.vxr".
std::string ReplayFileName(std::uint64_t StartTime, int Mode, double Score);
// Keeps the newest Keep replays of Folder (by name, which starts with the date).
void PruneReplays(const std::string& Folder, int Keep);

}  // namespace replay
