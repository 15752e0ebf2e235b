// The settings file: the .reg reader, the settings built from it, and their
// first use, the display size and colour depth chosen and the skin named.
#include <cstdint>
#include <string>

#include "frontend/menu.h"
#include "fuzz_support.h"
#include "platform/win32/io_error.h"
#include "platform/win32/registry.h"
#include "shell/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzScene();
  static const std::string file = FuzzFolder() + "/user/settings.reg";
  SetRegistryFile(file);
  WriteInput("user/settings.reg", Data, Size);
  TOptions options;
  try {
    options.ReadRegistry();
  } catch (const EInOutError&) {
    return 0;
  }
  const TResolution size = Resolutions.at(options.Resolution);
  const unsigned bits = ColorDepths.at(options.Color);
  const std::string skin = SkinTextureName(options.Texture, 0);
  volatile std::size_t use = static_cast<std::size_t>(size.Width) + bits + skin.size() + options.SoundVol +
                             options.MusicVol;
  (void)use;
  return 0;
}
