// The recurring pieces of the night-workshop look (see style.h).
#include "style.h"

#include <algorithm>
#include <cmath>

namespace ag {

ScreenPicture::ScreenPicture() : Img(2048, 1536), C(Img, ViewW, ViewH) {}

Image ScreenPicture::Final(int size) const { return Img.Resized(size, size); }

void NightBackdrop(Canvas& c, int seed, float vignette) {
  float cu = c.UW / 2, cv = c.UH / 2;
  float diag = std::hypot(cu, cv);
  c.FillAll([&](float u, float v) {
    float t = v / c.UH;
    RGBA col = Mix(pal::NightTop, pal::NightBottom, t);
    // Slow clouds of colour and a fine grain keep large areas from banding.
    float cloud = Fbm(u * 0.25f, v * 0.25f, 4, seed);
    col = Mix(col, Rgb(52, 40, 96), Clamp01(cloud * 0.9f + 0.1f) * 0.35f);
    float grain = Noise(u * 40.f, v * 40.f, seed + 3) * 0.012f;
    float d = std::hypot(u - cu, v - cv) / diag;
    float vig = 1 - vignette * Smooth(0.35f, 1.05f, d);
    return RGBA{(col.r + grain) * vig, (col.g + grain) * vig, (col.b + grain) * vig, 1};
  });
}

void GlassPanel(Canvas& c, float cu, float cv, float hw, float hh, float radius) {
  Box box = BoxAround(cu, cv, hw, hh, 0.1f);
  auto shape = [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw, hh, radius); };
  Shadow(c, box, shape, Rgb(0, 0, 0, 0.6f), 0.18f, 0.05f, 0.09f);
  c.Fill(box, shape, [=](float u, float v) {
    float t = (v - (cv - hh)) / (2 * hh);
    RGBA col = Mix(Rgb(40, 46, 96, 0.86f), Rgb(18, 20, 48, 0.9f), t);
    // A faint diagonal sheen across the glass.
    float s = (u - cu) * 0.35f + (v - cv);
    col = Mix(col, Rgb(120, 130, 200, 0.9f), 0.08f * Smooth(0.4f, 0.0f, std::fabs(s + hh * 0.5f)));
    return col;
  });
  // Brass rim: a thin ring with light on top and shade below.
  c.Fill(box, [=](float u, float v) { return std::fabs(shape(u, v) + 0.02f) - 0.022f; },
         [=](float, float v) {
           float t = (v - (cv - hh)) / (2 * hh);
           return Mix(pal::BrassLight, pal::BrassDark, t);
         });
}

void CreamPlate(Canvas& c, float cu, float cv, float hw, float hh, float radius) {
  Box box = BoxAround(cu, cv, hw, hh, 0.12f);
  auto outer = [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw, hh, radius); };
  auto inner = [=](float u, float v) {
    return SdRoundBox(u, v, cu, cv, hw - 0.06f, hh - 0.06f, std::max(0.02f, radius - 0.06f));
  };
  Shadow(c, box, outer, Rgb(0, 0, 0, 0.55f), 0.08f, 0.03f, 0.06f);
  c.Fill(box, outer, [=](float, float v) {
    float t = (v - (cv - hh)) / (2 * hh);
    return Mix(pal::BrassLight, pal::BrassDark, Smooth(0.f, 1.f, t));
  });
  c.Fill(box, inner, [=](float u, float v) {
    float t = (v - (cv - hh)) / (2 * hh);
    RGBA col = Mix(pal::Cream, pal::CreamShade, t * 0.8f);
    float paper = Fbm(u * 6, v * 6, 2, 11) * 0.03f;
    return RGBA{col.r + paper, col.g + paper, col.b + paper, 1};
  });
  // Inner shadow along the top edge: the plate sits a little below the rim.
  c.Fill(box, [=](float u, float v) { return std::max(inner(u, v), -(inner(u, v + 0.05f))); },
         Rgb(80, 60, 30, 0.25f), 0.03f);
}

void Button(Canvas& c, float cu, float cv, float hw, float hh, const std::string& label,
            bool highlighted, const std::string& sub, float labelSize) {
  float r = std::min(hh * 0.9f, 0.3f);
  Box box = BoxAround(cu, cv, hw, hh, 0.02f);
  auto shape = [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw, hh, r); };
  float rim = std::min(0.045f, hh * 0.12f);
  auto body = [=](float u, float v) { return SdRoundBox(u, v, cu, cv, hw - rim, hh - rim, r - rim); };
  if (highlighted) Glow(c, box, body, Rgb(255, 190, 80, 0.7f), hh * 0.25f);
  c.Fill(box, shape, [=](float, float v) {
    float t = (v - (cv - hh)) / (2 * hh);
    return Mix(pal::BrassLight, pal::BrassDark, t);
  });
  c.Fill(box, body, [=](float u, float v) {
    float t = (v - (cv - hh)) / (2 * hh);
    RGBA top = highlighted ? Rgb(120, 72, 30) : Rgb(48, 52, 104);
    RGBA bottom = highlighted ? Rgb(64, 30, 14) : Rgb(20, 22, 52);
    RGBA col = Mix(top, bottom, t);
    // Glassy highlight on the upper half.
    float hl = Smooth(0.5f, 0.0f, t) * 0.22f;
    col = Mix(col, Rgb(255, 255, 255), hl);
    (void)u;
    return col;
  });
  TextStyle st;
  st.face = Face::SansBold;
  st.align = Align::Centre;
  float size = labelSize > 0 ? labelSize : hh * (sub.empty() ? 0.95f : 0.62f);
  st.size = size;
  // Fit long labels into the button.
  float w = MeasureText(c, label, st);
  if (w > hw * 1.8f) st.size *= hw * 1.8f / w;
  st.colour = highlighted ? Rgb(255, 240, 200) : pal::Text;
  float base = sub.empty() ? cv + st.size * 0.36f : cv - hh * 0.08f;
  DrawTextShadowed(c, label, cu, base, st, Rgb(0, 0, 0, 0.8f), st.size * 0.06f, 0.0f,
                   st.size * 0.05f);
  if (!sub.empty()) {
    TextStyle ss = st;
    ss.face = Face::Sans;
    ss.size = hh * 0.34f;
    float sw = MeasureText(c, sub, ss);
    if (sw > hw * 1.85f) ss.size *= hw * 1.85f / sw;
    ss.colour = highlighted ? Rgb(255, 220, 160) : pal::TextDim;
    DrawText(c, sub, cu, cv + hh * 0.6f, ss);
  }
}

void Logo(Canvas& c, float cu, float baseline, float size) {
  TextStyle st;
  st.face = Face::SerifBold;
  st.size = size;
  st.align = Align::Centre;
  st.tracking = size * 0.08f;
  // Shadow, then a brass gradient clipped to the letters.
  TextStyle sh = st;
  sh.colour = Rgb(0, 0, 0, 0.85f);
  Image shadow = TextLayer(c, "VOXARINE", cu + size * 0.03f, baseline + size * 0.06f, sh);
  Blur(shadow, static_cast<int>(size * 0.08f * c.Sy));
  c.Img.Over(shadow);
  TextStyle mask = st;
  mask.colour = Rgb(255, 255, 255);
  Image letters = TextLayer(c, "VOXARINE", cu, baseline, mask);
  float top = baseline - size * 0.75f;
  for (int y = 0; y < letters.H; ++y)
    for (int x = 0; x < letters.W; ++x) {
      float a = letters.At(x, y).a;
      if (a <= 0) continue;
      float v = (y + 0.5f) / c.Sy;
      float t = Clamp01((v - top) / (size * 0.75f));
      RGBA col = t < 0.5f ? Mix(Rgb(255, 244, 200), pal::BrassLight, t * 2)
                          : Mix(pal::Brass, pal::BrassDark, (t - 0.5f) * 2);
      c.Img.Blend(x, y, col, a);
    }
}

void Lamp(Canvas& c, float cu, float cv, float r, bool lit) {
  Box box = BoxAround(cu, cv, r * 1.6f, r * 1.6f, 0.02f);
  if (lit) Glow(c, box, [=](float u, float v) { return SdCircle(u, v, cu, cv, r * 0.8f); },
                Rgb(255, 180, 70, 0.9f), r * 0.5f);
  // Brass socket.
  c.Fill(box, [=](float u, float v) { return SdCircle(u, v, cu, cv, r); },
         [=](float, float v) { return Mix(pal::BrassLight, pal::BrassDark, Clamp01((v - cv + r) / (2 * r))); });
  c.Fill(box, [=](float u, float v) { return SdCircle(u, v, cu, cv, r * 0.78f); },
         [=](float u, float v) {
           float d = std::hypot(u - cu + r * 0.25f, v - cv + r * 0.25f) / r;
           if (lit) return Mix(Rgb(255, 250, 220), Rgb(240, 140, 30), Clamp01(d));
           return Mix(Rgb(90, 80, 90), Rgb(26, 22, 34), Clamp01(d));
         });
  // Specular dot.
  c.Fill(box, [=](float u, float v) { return SdCircle(u, v, cu - r * 0.28f, cv - r * 0.3f, r * 0.18f); },
         Rgb(255, 255, 255, lit ? 0.85f : 0.35f), r * 0.1f);
}

// The bomb as players see it on the board: a round black bomb with a lit fuse.
static void BombIcon(Canvas& c, float cu, float cv, float size) {
  float r = size * 0.4f, bv = cv + size * 0.06f;
  Box box = BoxAround(cu, cv, size * 0.6f, size * 0.6f, 0.02f);
  auto ball = [=](float u, float v) { return SdCircle(u, v, cu, bv, r); };
  Shadow(c, box, ball, Rgb(0, 0, 0, 0.6f), size * 0.08f, size * 0.04f, size * 0.08f);
  c.Fill(box, ball, [=](float u, float v) {
    float d = std::hypot(u - cu + r * 0.35f, v - bv + r * 0.35f) / (r * 1.3f);
    return Mix(Rgb(120, 126, 160), Rgb(14, 14, 22), Clamp01(d));
  });
  c.Fill(box, [=](float u, float v) { return SdRoundBox(u, v, cu + r * 0.45f, bv - r * 0.85f, r * 0.2f, r * 0.16f, r * 0.05f); },
         Rgb(70, 70, 86));
  c.Fill(box, [=](float u, float v) { return SdSegment(u, v, cu + r * 0.5f, bv - r * 1.0f, cu + r * 0.8f, bv - r * 1.35f, r * 0.06f); },
         Rgb(170, 130, 70));
  Glow(c, box, [=](float u, float v) { return SdCircle(u, v, cu + r * 0.82f, bv - r * 1.38f, r * 0.1f); },
       Rgb(255, 190, 60, 0.95f), r * 0.15f);
  c.Fill(box, [=](float u, float v) { return SdCircle(u, v, cu + r * 0.82f, bv - r * 1.38f, r * 0.07f); },
         Rgb(255, 250, 210));
}

void DiagramCube(Canvas& c, int skin, int number, float cu, float cv, float size) {
  if (number == 8) {
    BombIcon(c, cu, cv, size);
    return;
  }
  float h = size / 2;
  Shadow(c, BoxAround(cu, cv, h, h, 0.05f),
         [=](float u, float v) { return SdRoundBox(u, v, cu, cv, h, h, size * 0.14f); },
         Rgb(0, 0, 0, 0.6f), size * 0.1f, size * 0.05f, size * 0.09f);
  CubeFace(c, skin, number, cu, cv, size);
}

}  // namespace ag
