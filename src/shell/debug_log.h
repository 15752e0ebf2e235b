// The debug log "debug.txt": one line per call, "<tick count><text>" + CR LF,
// opened, written and closed each time so that it is complete up to a crash.
// Rewrite empties the file first (only the game window's creation does that).
// Failing to open or write raises EInOutError.
#pragma once

#include <string>

void DebugLog(bool Rewrite, const std::string& Text);
