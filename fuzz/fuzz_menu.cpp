// The menu file, with every picture it names loaded as the game loads them
// (the main page is set up at the end of the loading).
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
  ClearRecording();
  return 0;
}
