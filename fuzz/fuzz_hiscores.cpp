// The high score file, then the table drawn and a score inserted.
#include <cstdint>
#include <memory>

#include "frontend/hiscores.h"
#include "fuzz_support.h"
#include "platform/win32/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzScene();
  WriteInput(HiScoresFileName, Data, Size);
  if (!HiScores) HiScores = std::make_unique<THiScores>();
  try {
    HiScores->SetDefaults();
    HiScores->LoadScores();
  } catch (const EInOutError&) {
    return 0;
  }
  for (const int table : {1, 2}) {
    HiScores->ShownTable = static_cast<std::uint8_t>(table);
    HiScores->Editing = false;
    HiScores->DrawScores(0);
  }
  HiScores->EditRow = HiScores->InsertScore(5000);
  HiScores->Editing = HiScores->EditRow != 0;
  HiScores->DrawScores(0);
  ClearRecording();
  return 0;
}
