// Screen metrics (GetSystemMetrics): the desktop size of the first display.
#pragma once

#include <optional>

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// Width or height of the desktop in pixels; 0 for other indices or when no
// display can be asked.
int GetSystemMetrics(int Index);

struct TScreenSize {
  int Width = 0, Height = 0;
};
// Tests pin the desktop size; std::nullopt asks the display again.
void SetScreenSizeOverride(std::optional<TScreenSize> Size);
