// Fitting the picture into the screen; see picture_fit.h.
#include "platform/d3d8/picture_fit.h"

#include <algorithm>
#include <cmath>

TPictureRect FitPicture(int Width, int Height, int AspectW, int AspectH) {
  const TPictureRect whole{0, 0, std::max(Width, 0), std::max(Height, 0)};
  if (AspectW <= 0 || AspectH <= 0 || Width <= 0 || Height <= 0) return whole;
  // 64-bit products: a screen's size times the aspect must not overflow.
  const long long w = Width, h = Height, aw = AspectW, ah = AspectH;
  if (w * ah > h * aw) {
    // Wider than the picture: bars left and right.
    const int fitted = static_cast<int>(std::llround(static_cast<double>(h * aw) / static_cast<double>(ah)));
    if (Width - fitted < 2) return whole;
    return TPictureRect{(Width - fitted) / 2, 0, fitted, Height};
  }
  const int fitted = static_cast<int>(std::llround(static_cast<double>(w * ah) / static_cast<double>(aw)));
  if (Height - fitted < 2) return whole;
  return TPictureRect{0, (Height - fitted) / 2, Width, fitted};
}

bool PointInPicture(const TPictureRect& Picture, int X, int Y, float& U, float& V) {
  const int dx = X - Picture.X, dy = Y - Picture.Y;
  const bool inside = dx >= 0 && dy >= 0 && dx < Picture.Width && dy < Picture.Height;
  U = Picture.Width > 0 ? std::clamp(static_cast<float>(dx) / static_cast<float>(Picture.Width), 0.0f, 1.0f) : 0.0f;
  V = Picture.Height > 0 ? std::clamp(static_cast<float>(dy) / static_cast<float>(Picture.Height), 0.0f, 1.0f) : 0.0f;
  return inside;
}
