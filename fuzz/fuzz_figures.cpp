// The bonus figures, then their first use: a level draws a figure, colours
// it and the board shows its bonus as a number.
#include <cstdint>

#include "fuzz_support.h"
#include "game/figure_file.h"
#include "game/game.h"
#include "platform/win32/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzGame();
  WriteInput("data/BonusFigures.dat", Data, Size);
  TGame& g = *Game;
  try {
    ReadFigureTable("data/BonusFigures.dat", g.BonusFigures, g.BonusFigureCount);
  } catch (const EInOutError&) {
    return 0;
  }
  g.ClearBoard();
  g.Mode = 1;
  for (const int level : {1, 99}) {  // the smallest and the largest bonus factor
    g.Level = level;
    g.Levels[level].FigureMin = 1;
    g.Levels[level].FigureMax = 30;
    g.ChooseBonusFigure(false);
    if (g.CurrentFigure >= 1 && g.CurrentFigure <= g.BonusFigureCount) {
      volatile std::size_t shown = RoundedText(g.BonusFigures[static_cast<std::size_t>(g.CurrentFigure)].Bonus).size();
      (void)shown;
    }
  }
  return 0;
}
