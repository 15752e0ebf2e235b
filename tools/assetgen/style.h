// The game's one look, "night workshop": deep indigo rooms, brass fittings,
// warm cream plates with ink lettering, and jewel-coloured glass cubes. Every
// picture takes its colours and its recurring pieces (panels, plates,
// buttons) from here so that menus, board and tutorials agree.
#pragma once

#include <string>

#include "raster.h"

namespace ag {

namespace pal {
inline const RGBA NightTop = Rgb(22, 26, 58);
inline const RGBA NightBottom = Rgb(9, 10, 26);
inline const RGBA Ink = Rgb(30, 22, 48);
inline const RGBA BrassLight = Rgb(246, 214, 142);
inline const RGBA Brass = Rgb(196, 150, 72);
inline const RGBA BrassDark = Rgb(110, 74, 30);
inline const RGBA Cream = Rgb(246, 236, 212);
inline const RGBA CreamShade = Rgb(214, 198, 166);
inline const RGBA Glass = Rgb(34, 40, 86, 0.78f);
inline const RGBA GlassEdge = Rgb(120, 140, 220, 0.9f);
inline const RGBA Glow = Rgb(255, 196, 92);
inline const RGBA Teal = Rgb(84, 214, 208);
inline const RGBA Text = Rgb(240, 234, 220);
inline const RGBA TextDim = Rgb(170, 170, 200);
}  // namespace pal

// ---- Full-screen pictures: the 14.45 x 10.8375 view of the board plane ----
constexpr float ViewW = 14.45f, ViewH = 10.8375f;
constexpr float ViewCx = -1.8f, ViewCy = -0.25f;
// World x grows to the left on screen and y upwards; design u, v go right/down.
inline float WU(float x) { return ViewCx + ViewW / 2 - x; }
inline float WV(float y) { return ViewCy + ViewH / 2 - y; }

// A 4:3 design surface rendered at 2048 x 1536 and stored as a square
// power-of-two texture (the game stretches it back onto its quad).
struct ScreenPicture {
  ScreenPicture();
  Image Img;
  Canvas C;
  Image Final(int size = 1024) const;
};

// The shared night backdrop: indigo gradient, fine grain, soft vignette.
void NightBackdrop(Canvas& c, int seed, float vignette = 0.55f);
// A dark glass panel with a thin brass rim and soft shadow.
void GlassPanel(Canvas& c, float cu, float cv, float hw, float hh, float radius = 0.25f);
// A cream plate with a brass rim (for numbers written in ink).
void CreamPlate(Canvas& c, float cu, float cv, float hw, float hh, float radius = 0.18f);
// A brass-framed button; highlighted buttons glow warmly.
void Button(Canvas& c, float cu, float cv, float hw, float hh, const std::string& label,
            bool highlighted, const std::string& sub = "", float labelSize = 0);
// The game's name set in brass letters.
void Logo(Canvas& c, float cu, float baseline, float size);
// A brass lamp (bonus light), lit or not.
void Lamp(Canvas& c, float cu, float cv, float r, bool lit);

// The face of cube texture `number` (0..17) of skin (1..5), drawn into a
// square of side `size` centred on (cu, cv); used for the skins and for the
// little cubes of the tutorial and help pictures.
void CubeFace(Canvas& c, int skin, int number, float cu, float cv, float size);
// A small cube seen from above with a soft shadow, for diagrams.
void DiagramCube(Canvas& c, int skin, int number, float cu, float cv, float size);

}  // namespace ag
