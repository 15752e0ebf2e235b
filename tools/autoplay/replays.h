// Playing replay files headless (voxarine-autoplay --replay): as fast as the
// machine goes, with the player's invariant checks and score ledger.
#pragma once

#include <string>
#include <vector>

#include "game/level_file.h"

// Plays each file (a folder stands for its .vxr files) from the pristine
// level table and prints its end. With Verify, compares each end with the
// file's own trailer and digests. Returns 0 when every file played (and, with
// Verify, matched), 1 otherwise, 2 when a file could not be played at all.
int PlayReplays(const std::vector<std::string>& Paths, bool Verify, const TLevelTable& Pristine);
