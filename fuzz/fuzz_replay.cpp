// A replay file, read as the game reads one; when it reads, its first frames
// are played on the shipped tables, as the window and the headless player
// would play them (the version and tables check is left out, so that the
// corpus reaches the game). The checksum at the end is set right before
// reading: otherwise nearly every mutation would stop there, and the reader
// behind it is what must hold against hostile files.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "game/game.h"
#include "platform/win32/io_error.h"
#include "replay/playback.h"

namespace {
constexpr int MaxFrames = 600;  // enough to reach loads, pauses and clicks, and to stay fast

void Reseal(std::string& B) {
  if (B.size() < 4) return;
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i + 4 < B.size(); ++i) h = (h ^ static_cast<unsigned char>(B[i])) * 16777619u;
  for (int i = 0; i < 4; ++i) B[B.size() - 4 + static_cast<std::size_t>(i)] = static_cast<char>(h >> (8 * i));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzGame();
  replay::TReplay r;
  std::string bytes(reinterpret_cast<const char*>(Data), Size);
  Reseal(bytes);
  try {
    r = replay::DecodeReplay("Replays/fuzz.vxr", bytes);
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
