// The high score file, then what the table shows of it (names and scores of
// both tables) and a score inserted.
#include <cstdint>
#include <memory>
#include <string>

#include "frontend/hiscores.h"
#include "fuzz_support.h"
#include "platform/win32/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzFolder();
  WriteInput(HiScoresFileName, Data, Size);
  if (!HiScores) HiScores = std::make_unique<THiScores>();
  try {
    HiScores->SetDefaults();
    HiScores->LoadScores();
  } catch (const EInOutError&) {
    return 0;
  }
  std::size_t shown = 0;
  for (int table = 1; table <= 2; ++table)
    for (int row = 1; row <= HiScoreRows; ++row) {
      const THiScoreEntry& e = HiScores->Entry(table, row);
      shown += e.Name().size() + std::to_string(e.Score).size();
    }
  HiScores->ShownTable = 1;
  HiScores->EditRow = HiScores->InsertScore(5000);
  volatile std::size_t use = shown + HiScores->Entry(1, 10).Name().size();
  (void)use;
  return 0;
}
