// The debug log writer. Lines are appended with a plain open/append/close per
// call rather than an atomic rewrite: the log only ever grows, and keeping
// each line on disk at once is the point.
#include "shell/debug_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "platform/win32/ticks.h"

void DebugLog(bool Rewrite, const std::string& Text) {
  const std::string path = WritablePath("debug.txt");
  // Appending creates the file when it is missing (deleted while running):
  // losing the log must not stop the game.
  std::FILE* f = std::fopen(path.c_str(), Rewrite ? "wb" : "ab");
  if (!f) throw EInOutError("debug.txt", std::string("cannot open the debug log: ") + std::strerror(errno));
  const std::string line = std::to_string(GetTickCount()) + Text + "\r\n";
  const bool written = std::fwrite(line.data(), 1, line.size(), f) == line.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) throw EInOutError("debug.txt", "cannot write the debug log");
}
