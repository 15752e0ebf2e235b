// GetSystemMetrics over SDL's desktop display mode.
#include "platform/win32/screen_metrics.h"

#include <SDL.h>

namespace {
std::optional<TScreenSize> Override;
}

void SetScreenSizeOverride(std::optional<TScreenSize> Size) { Override = Size; }

int GetSystemMetrics(int Index) {
  if (Index != SM_CXSCREEN && Index != SM_CYSCREEN) return 0;
  TScreenSize size;
  if (Override) {
    size = *Override;
  } else {
    // The video subsystem stays up once started: the game window needs it anyway.
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    size = {mode.w, mode.h};
  }
  return Index == SM_CXSCREEN ? size.Width : size.Height;
}
