// BMP pictures through the texture loader.
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  return LoadPictureInput("Images/fuzz.bmp", Data, Size);
}
