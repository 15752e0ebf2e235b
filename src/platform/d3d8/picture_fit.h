// The picture's shape on a screen of another shape: the largest rectangle of
// the picture's proportions, centred, and bars around it (above and below on
// a tall screen, left and right on a wide one). The GL device's viewport and
// the pointer's mapping both use it, so that they agree to the pixel.
#pragma once

struct TPictureRect {
  int X = 0, Y = 0;           // top-left corner, pixels from the screen's top-left
  int Width = 0, Height = 0;  // pixels

  bool operator==(const TPictureRect&) const = default;
};

// The largest AspectW : AspectH rectangle centred in Width x Height. A zero
// aspect gives the whole screen, and so do bars thinner than a pixel a side:
// a screen of nearly the picture's shape is used whole.
TPictureRect FitPicture(int Width, int Height, int AspectW, int AspectH);

// Where screen pixel (X, Y) falls in the picture: U across and V down, from 0
// at the left and top edges towards 1, clamped to the picture. False when the
// pixel lies in the bars.
bool PointInPicture(const TPictureRect& Picture, int X, int Y, float& U, float& V);
