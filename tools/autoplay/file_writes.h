// Writing the game's files over and over, and reading them back, for the
// interrupted-write trials (tests/faults/kill_during_writes.sh).
#pragma once

// Writes saved games of both modes, the high scores, the settings, a tutorial
// bitmap and a debug-log line, alternating two versions starting with
// FirstVersion (0 or 1); Rounds 0 goes on until killed.
int WriteFiles(long Rounds, int FirstVersion);
// Reads every file with the game's readers; 1 when one is refused or (with
// Versions) is neither version. Without Versions only the files present are
// read, whatever their content, and the tutorial bitmaps 1..9.
int CheckFiles(bool Versions);
