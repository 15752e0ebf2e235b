// Process-wide settings for the unit test binary: no display, no speakers, and
// leak reports only for our own code (SDL keeps a few allocations until exit).
#include <cstdlib>

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libSDL2-2.0.so\nleak:libSDL2_mixer\nleak:libasound\nleak:libpulse\nleak:libdbus\n";
}

namespace {
struct TTestEnvironment {
  TTestEnvironment() {
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
  }
} TestEnvironment;
}  // namespace
