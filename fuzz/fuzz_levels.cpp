// The level table, then the first use of what it read: the figure check and
// the start of a normal and of a bonus level in both modes.
#include <cstdint>

#include "fuzz_support.h"
#include "game/game.h"
#include "game/level_file.h"
#include "platform/win32/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzGame();
  WriteInput("data/Levels.dat", Data, Size);
  TGame& g = *Game;
  TLevelLines lines{};
  try {
    ReadLevelTable("data/Levels.dat", g.Levels, g.LevelCount, &lines);
    CheckFigureRanges("data/Levels.dat", g.Levels, g.LevelCount, g.BonusFigureCount, lines);
  } catch (const EInOutError&) {
    return 0;
  }
  for (int mode = 1; mode <= 2; ++mode) {
    g.Mode = static_cast<std::uint8_t>(mode);
    g.NewGame();  // level 1, a normal level: its first cubes are announced
    g.ClearBoard();
    g.Level = 4;
    g.StartLevel();  // level 5, a bonus level: stones and bombs
  }
  ClearRecording();
  return 0;
}
