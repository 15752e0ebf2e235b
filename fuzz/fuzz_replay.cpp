// A replay file, read as the game reads one; when it reads, its first frames
// are played on the shipped tables, as the window and the headless player
// would play them (the version and tables check is left out, so that the
// corpus reaches the game).
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "game/game.h"
#include "platform/win32/io_error.h"
#include "replay/playback.h"

namespace {
constexpr int MaxFrames = 600;  // enough to reach loads, pauses and clicks, and to stay fast
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzGame();
  replay::TReplay r;
  try {
    r = replay::DecodeReplay("Replays/fuzz.vxr", std::string(reinterpret_cast<const char*>(Data), Size));
  } catch (const EInOutError&) {
    return 0;
  }
  replay::TPlayer player("Replays/fuzz.vxr", std::move(r));
  try {
    player.Begin();
    for (int f = 0; f < MaxFrames && player.Step(); ++f) {
    }
  } catch (const EInOutError&) {
    // a damaged saved game inside the replay: refused like the file itself
  }
  ClearRecording();
  return 0;
}
