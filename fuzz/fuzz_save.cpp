// A saved game, loaded as the menu's "continue" does after starting a game
// of the slot's mode, then the first frame that uses it and the score shown.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "game/game.h"
#include "platform/win32/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzGame();
  TGame& g = *Game;
  for (int mode = 1; mode <= 2; ++mode) {
    const std::string name = "data/Save" + std::to_string(mode) + ".dat";
    WriteInput(name, Data, Size);
    g.Mode = static_cast<std::uint8_t>(mode);
    g.Level = 1;
    g.ClearBoard();
    g.Levels[1].Progress = 0;
    g.NewGame();
    g.EndPhase = epPlaying;
    try {
      g.LoadGame(g.Mode);
    } catch (const EInOutError&) {
      continue;
    }
    g.Update(16);
    volatile std::size_t shown = RoundedText(g.Score).size();
    (void)shown;
  }
  ClearRecording();
  return 0;
}
