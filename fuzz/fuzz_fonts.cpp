// The glyph metrics of both fonts, then the whole character set drawn.
#include <cstdint>

#include "frontend/fonts.h"
#include "fuzz_support.h"
#include "platform/win32/io_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzScene();
  WriteInput("data/font.dat", Data, Size);
  WriteInput("data/font1.dat", Data, Size);
  try {
    LoadFontMetrics();
  } catch (const EInOutError&) {
    return 0;
  }
  for (int font = 1; font <= FontCount; ++font)
    DrawText3D(font, 1, 12, 0, 0, "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ:,!<>'-.+/|=?@$", 0.1f, 255);
  ClearRecording();
  return 0;
}
