// The menu file, with every picture it names loaded as the game loads them,
// then the first use: the main page drawn.
#include <cstdint>

#include "frontend/menu.h"
#include "fuzz_support.h"
#include "platform/win32/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzScene();
  WriteInput(MenuFileName, Data, Size);
  try {
    LoadMenu();
  } catch (const EInOutError&) {
    return 0;
  }
  DrawMenu();
  ClearRecording();
  return 0;
}
