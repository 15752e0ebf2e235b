// The five cube skins: Images/Skin1..5/tex0..17.tga.
//
// Textures 0..6 are the seven colours, 7 the joker, 8 the bomb, 9 the shot,
// 10..16 the colorize items of colours 1..7 and 17 the stone. Every colour
// carries its own symbol in every skin (circle, triangle, square, diamond,
// star, plus, heart), so that no player has to tell colours apart by hue
// alone. Skin 4 uses a palette chosen to stay distinct for the common kinds of
// colour blindness, with bold symbols.
#include <algorithm>
#include <array>
#include <cmath>

#include "assetgen.h"
#include "style.h"

namespace ag {

namespace {

constexpr float Pi = 3.14159265f;

struct Skin {
  const char* Name;
  std::array<RGBA, 7> Colours;
};

const std::array<Skin, 5>& Skins() {
  static const std::array<Skin, 5> skins{{
      {"Glass", {Rgb(222, 48, 60), Rgb(246, 196, 36), Rgb(46, 178, 82), Rgb(48, 108, 232),
                 Rgb(150, 70, 214), Rgb(36, 204, 218), Rgb(236, 236, 242)}},
      {"Toy blocks", {Rgb(200, 62, 50), Rgb(232, 180, 60), Rgb(92, 150, 70), Rgb(60, 104, 170),
                      Rgb(128, 84, 150), Rgb(70, 160, 160), Rgb(226, 214, 190)}},
      {"Anodised", {Rgb(196, 40, 60), Rgb(214, 170, 40), Rgb(40, 160, 90), Rgb(40, 90, 200),
                    Rgb(140, 60, 190), Rgb(30, 170, 190), Rgb(200, 204, 212)}},
      // Okabe and Ito's palette: safe for protan, deutan and tritan vision.
      {"High contrast", {Rgb(213, 94, 0), Rgb(240, 228, 66), Rgb(0, 158, 115), Rgb(0, 114, 178),
                         Rgb(204, 121, 167), Rgb(86, 180, 233), Rgb(36, 36, 36)}},
      {"Neon", {Rgb(255, 70, 90), Rgb(255, 220, 60), Rgb(70, 255, 120), Rgb(70, 140, 255),
                Rgb(200, 90, 255), Rgb(60, 240, 255), Rgb(250, 250, 255)}},
  }};
  return skins;
}

// The symbol of colour k (1..7) as a distance function around (cu, cv), r its radius.
float Symbol(int k, float u, float v, float cu, float cv, float r) {
  switch (k) {
    case 1: return SdCircle(u, v, cu, cv, r * 0.8f);
    case 2: return SdPolygon(u, v, RegularPolygon(cu, cv + r * 0.18f, r * 1.05f, 3, 0)) - r * 0.06f;
    case 3: return SdRoundBox(u, v, cu, cv, r * 0.72f, r * 0.72f, r * 0.1f);
    case 4: return SdPolygon(u, v, RegularPolygon(cu, cv, r * 0.98f, 4, 0)) - r * 0.04f;
    case 5: return SdStar(u, v, cu, cv + r * 0.06f, r * 1.0f, 5, 0.45f, 0) - r * 0.03f;
    case 6: return std::min(SdRoundBox(u, v, cu, cv, r * 0.85f, r * 0.27f, r * 0.06f),
                            SdRoundBox(u, v, cu, cv, r * 0.27f, r * 0.85f, r * 0.06f));
    default: return SdHeart(u, v, cu, cv + r * 0.05f, r * 1.45f);
  }
}

float Luma(const RGBA& c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; }

// The bevelled square every cube face starts from: lighter towards the top
// left, darker rim, so the rounded cube model reads as a solid block.
void BaseFace(Canvas& c, float cu, float cv, float s, const RGBA& col, float gloss, int seed,
              float grain) {
  float h = s / 2;
  Box box = BoxAround(cu, cv, h, h, 0);
  c.Fill(box, [=](float u, float v) { return SdRoundBox(u, v, cu, cv, h, h, 0); },
         [=](float u, float v) {
           float x = (u - cu) / h, y = (v - cv) / h;
           float light = 1.08f - 0.16f * (x + y) * 0.5f;
           float edge = std::max(std::fabs(x), std::fabs(y));
           light *= 1 - 0.28f * Smooth(0.72f, 1.0f, edge);
           RGBA out = Scale(col, light);
           if (grain > 0) {
             float g = Fbm(u * 3 / s, v * 18 / s, 4, seed) * grain;
             out = {out.r + g, out.g + g, out.b + g, 1};
           }
           float sheen = gloss * Smooth(0.9f, 0.0f, std::hypot(x + 0.45f, y + 0.5f));
           return Mix(out, Rgb(255, 255, 255), sheen * 0.5f);
         });
}

// An engraved symbol: a shadowed groove with a lighter floor.
void EngravedSymbol(Canvas& c, int k, float cu, float cv, float r, const RGBA& floor,
                    const RGBA& lip) {
  Box box = BoxAround(cu, cv, r * 1.3f, r * 1.3f, 0.02f);
  auto sym = [=](float u, float v) { return Symbol(k, u, v, cu, cv, r); };
  c.Fill(box, [=](float u, float v) { return sym(u - r * 0.05f, v - r * 0.05f); }, lip, r * 0.05f);
  c.Fill(box, sym, floor);
  // Inner shade along the upper-left wall of the groove.
  c.Fill(box, [=](float u, float v) { return std::max(sym(u, v), -sym(u - r * 0.09f, v - r * 0.09f)); },
         Rgb(0, 0, 0, 0.35f), r * 0.04f);
}

void ColourFace(Canvas& c, int skin, int k, float cu, float cv, float s) {
  const RGBA col = Skins()[skin - 1].Colours[k - 1];
  float r = s * 0.3f;
  switch (skin) {
    case 1: {  // glass: glossy jewel with a frosted symbol
      BaseFace(c, cu, cv, s, col, 0.55f, k, 0);
      EngravedSymbol(c, k, cu, cv, r, Mix(col, Rgb(255, 255, 255), 0.55f), Scale(col, 0.55f));
      break;
    }
    case 2: {  // painted wood with a carved symbol
      BaseFace(c, cu, cv, s, col, 0.12f, 40 + k, 0.09f);
      EngravedSymbol(c, k, cu, cv, r, Scale(col, 0.55f), Mix(col, Rgb(255, 240, 210), 0.4f));
      break;
    }
    case 3: {  // brushed, anodised metal with a polished symbol
      BaseFace(c, cu, cv, s, col, 0.3f, 80 + k, 0.05f);
      EngravedSymbol(c, k, cu, cv, r, Mix(col, Rgb(255, 255, 255), 0.75f), Scale(col, 0.4f));
      break;
    }
    case 4: {  // high contrast: flat colour, big symbol in black or white with a halo
      BaseFace(c, cu, cv, s, col, 0.1f, k, 0);
      bool dark = Luma(col) > 0.45f;
      RGBA ink = dark ? Rgb(0, 0, 0) : Rgb(255, 255, 255);
      RGBA halo = dark ? Rgb(255, 255, 255, 0.85f) : Rgb(0, 0, 0, 0.85f);
      float rr = s * 0.36f;
      Box box = BoxAround(cu, cv, rr * 1.3f, rr * 1.3f, 0.02f);
      c.Fill(box, [=](float u, float v) { return Symbol(k, u, v, cu, cv, rr) - s * 0.03f; }, halo);
      c.Fill(box, [=](float u, float v) { return Symbol(k, u, v, cu, cv, rr); }, ink);
      break;
    }
    default: {  // neon: dark glass, glowing rim and symbol
      BaseFace(c, cu, cv, s, Rgb(18, 18, 30), 0.25f, k, 0);
      float h = s / 2;
      Box all = BoxAround(cu, cv, h, h, 0);
      auto rim = [=](float u, float v) {
        return std::fabs(SdRoundBox(u, v, cu, cv, h * 0.86f, h * 0.86f, s * 0.1f)) - s * 0.02f;
      };
      Glow(c, all, rim, WithAlpha(col, 0.9f), s * 0.05f);
      c.Fill(all, rim, Mix(col, Rgb(255, 255, 255), 0.35f));
      auto sym = [=](float u, float v) { return Symbol(k, u, v, cu, cv, r); };
      Glow(c, all, sym, WithAlpha(col, 1.0f), s * 0.06f);
      c.Fill(all, sym, Mix(col, Rgb(255, 255, 255), 0.45f));
      break;
    }
  }
}

void JokerFace(Canvas& c, float cu, float cv, float s) {
  float h = s / 2;
  Box box = BoxAround(cu, cv, h, h, 0);
  // A turning rainbow: the joker is every colour at once.
  c.Fill(box, [=](float u, float v) { return SdRoundBox(u, v, cu, cv, h, h, 0); },
         [=](float u, float v) {
           float x = (u - cu) / h, y = (v - cv) / h;
           float a = std::atan2(y, x) / (2 * Pi) + 0.5f;
           float d = std::hypot(x, y);
           RGBA col = Hsv(a, 0.7f * Smooth(0.0f, 0.7f, d), 1.0f);
           float edge = std::max(std::fabs(x), std::fabs(y));
           return Scale(col, 1 - 0.3f * Smooth(0.75f, 1.0f, edge));
         });
  float r = s * 0.34f;
  auto star = [=](float u, float v) { return SdStar(u, v, cu, cv, r, 8, 0.42f, 0) - s * 0.01f; };
  Box sb = BoxAround(cu, cv, r * 1.2f, r * 1.2f, 0.02f);
  Shadow(c, sb, star, Rgb(0, 0, 0, 0.5f), s * 0.03f, s * 0.015f, s * 0.02f);
  c.Fill(sb, star, Rgb(255, 255, 255));
  c.Fill(sb, [=](float u, float v) { return SdCircle(u, v, cu, cv, r * 0.28f); }, Rgb(40, 30, 60));
}

void BombSkin(Canvas& c, float cu, float cv, float s) {
  float h = s / 2;
  Box box = BoxAround(cu, cv, h, h, 0);
  // Black cast iron, the bomb of the diagrams: the model wraps this all round
  // and the lights give it its roundness, so it has no "front" and no marks.
  c.Fill(box, [=](float u, float v) { return SdRoundBox(u, v, cu, cv, h, h, 0); },
         [=](float u, float v) {
           float n = Fbm(u * 8 / s, v * 8 / s, 5, 301);
           return Mix(Rgb(58, 60, 80), Rgb(18, 18, 28), Clamp01(n + 0.55f));
         });
}

void ShotFace(Canvas& c, float cu, float cv, float s) {
  BaseFace(c, cu, cv, s, Rgb(34, 36, 52), 0.3f, 9, 0);
  float r = s * 0.34f;
  Box box = BoxAround(cu, cv, r * 1.3f, r * 1.3f, 0.02f);
  auto rings = [=](float u, float v) {
    float d = std::hypot(u - cu, v - cv);
    return std::min(std::fabs(d - r) - s * 0.035f, std::fabs(d - r * 0.5f) - s * 0.03f);
  };
  auto cross = [=](float u, float v) {
    float a = std::min(SdRoundBox(u, v, cu, cv, r * 1.2f, s * 0.018f, 0),
                       SdRoundBox(u, v, cu, cv, s * 0.018f, r * 1.2f, 0));
    return std::max(a, -SdCircle(u, v, cu, cv, r * 0.2f));
  };
  Glow(c, box, rings, Rgb(255, 60, 40, 0.9f), s * 0.04f);
  c.Fill(box, rings, Rgb(255, 90, 70));
  c.Fill(box, cross, Rgb(255, 240, 230));
  c.Fill(box, [=](float u, float v) { return SdCircle(u, v, cu, cv, s * 0.04f); }, Rgb(255, 80, 60));
}

void ColorizeFace(Canvas& c, int skin, int k, float cu, float cv, float s) {
  const RGBA col = Skins()[skin - 1].Colours[k - 1];
  BaseFace(c, cu, cv, s, Rgb(30, 30, 44), 0.3f, 10 + k, 0);
  float h = s / 2;
  Box all = BoxAround(cu, cv, h, h, 0);
  // Rainbow rim says "item"; the big drop says which colour it paints.
  c.Fill(all, [=](float u, float v) {
    return std::fabs(SdRoundBox(u, v, cu, cv, h * 0.84f, h * 0.84f, s * 0.1f)) - s * 0.035f;
  }, [=](float u, float v) { return Hsv(std::atan2(v - cv, u - cu) / (2 * Pi) + 0.5f, 0.65f, 1.0f); });
  auto drop = [=](float u, float v) {
    float ccv = cv + s * 0.08f, rr = s * 0.24f;
    float circle = SdCircle(u, v, cu, ccv, rr);
    float tip = SdPolygon(u, v, {{cu, ccv - rr * 2.05f}, {cu + rr * 0.87f, ccv - rr * 0.5f},
                                 {cu - rr * 0.87f, ccv - rr * 0.5f}});
    return std::min(circle, tip);
  };
  Shadow(c, all, drop, Rgb(0, 0, 0, 0.6f), s * 0.03f, s * 0.015f, s * 0.025f);
  c.Fill(all, drop, [=](float u, float v) {
    float d = std::hypot(u - cu + s * 0.08f, v - cv + s * 0.02f) / (s * 0.3f);
    return Mix(Mix(col, Rgb(255, 255, 255), 0.45f), Scale(col, 0.8f), Clamp01(d));
  });
  // The colour's own symbol on the drop, for colour-blind players.
  bool dark = Luma(col) > 0.5f;
  c.Fill(all, [=](float u, float v) { return Symbol(k, u, v, cu, cv + s * 0.1f, s * 0.1f); },
         dark ? Rgb(20, 20, 30, 0.85f) : Rgb(255, 255, 255, 0.9f));
}

void StoneFace(Canvas& c, float cu, float cv, float s) {
  float h = s / 2;
  Box box = BoxAround(cu, cv, h, h, 0);
  c.Fill(box, [=](float u, float v) { return SdRoundBox(u, v, cu, cv, h, h, 0); },
         [=](float u, float v) {
           float x = (u - cu) / s, y = (v - cv) / s;
           float n = Fbm(x * 6, y * 6, 5, 517);
           float speck = Noise(x * 60, y * 60, 519) > 0.55f ? 0.12f : 0;
           // Thin cracks where a ridged noise peaks.
           float ridge = 1 - std::fabs(Noise(x * 3.2f, y * 3.2f, 523));
           float crack = Smooth(0.965f, 0.99f, ridge) * 0.45f;
           float g = 0.42f + n * 0.25f + speck - crack;
           return RGBA{g * 0.95f, g * 0.93f, g, 1};
         });
}

}  // namespace

void CubeFace(Canvas& c, int skin, int number, float cu, float cv, float size) {
  skin = std::clamp(skin, 1, 5);
  if (number >= 0 && number <= 6) ColourFace(c, skin, number + 1, cu, cv, size);
  else if (number == 7) JokerFace(c, cu, cv, size);
  else if (number == 8) BombSkin(c, cu, cv, size);
  else if (number == 9) ShotFace(c, cu, cv, size);
  else if (number >= 10 && number <= 16) ColorizeFace(c, skin, number - 9, cu, cv, size);
  else StoneFace(c, cu, cv, size);
}

void AddCubeJobs(std::vector<Job>& jobs) {
  for (int skin = 1; skin <= 5; ++skin) {
    jobs.push_back({"skin" + std::to_string(skin), 6, [skin](const Context& ctx) {
      for (int n = 0; n <= 17; ++n) {
        // Joker, bomb, shot and stone are shared by every skin; the game
        // takes them from skin 1, the copies keep each folder complete.
        int from = (n == 7 || n == 8 || n == 9 || n == 17) ? 1 : skin;
        Image img(512, 512);
        Canvas c(img, 1, 1);
        CubeFace(c, from, n, 0.5f, 0.5f, 1.0f);
        SaveTga(ctx.Path("Images/Skin" + std::to_string(skin) + "/tex" + std::to_string(n) + ".tga"),
                img.Resized(256, 256));
      }
    }});
  }
}

}  // namespace ag
