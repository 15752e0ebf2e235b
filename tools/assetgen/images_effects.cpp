// Particle sprites (images/effect1..6.tga), the new-level banner and the two
// cursors. Particles are mostly drawn additively, so their pictures are light
// on transparent black and fade smoothly to nothing at the edge.
#include <cmath>

#include "assetgen.h"
#include "style.h"

namespace ag {

namespace {

constexpr float Pi = 3.14159265f;

void Sprite(const Context& ctx, const std::string& file, int size,
            const std::function<RGBA(float x, float y)>& f) {
  Image img(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      RGBA c = f((x + 0.5f) / size * 2 - 1, (y + 0.5f) / size * 2 - 1);
      c.a = Clamp01(c.a);
      img.At(x, y) = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    }
  SaveTga(ctx.Path(file), img);
}

void Effects(const Context& ctx) {
  // 1: the spark of a vanishing colour cube: a warm soft dot.
  Sprite(ctx, "Images/effect1.tga", 64, [](float x, float y) {
    float d = std::hypot(x, y);
    float a = std::pow(Clamp01(1 - d), 2.2f);
    return Mix(Rgb(255, 190, 90, a), Rgb(255, 255, 240, a), Smooth(0.6f, 0.0f, d));
  });
  // 2: a four-pointed glint for jokers and stones.
  Sprite(ctx, "Images/effect2.tga", 64, [](float x, float y) {
    float d = std::hypot(x, y);
    float rays = std::exp(-std::fabs(x) * 14) + std::exp(-std::fabs(y) * 14);
    float a = Clamp01(rays * Clamp01(1 - d) + std::pow(Clamp01(1 - d * 2.2f), 2));
    return Rgb(235, 240, 255, a);
  });
  // 3: the fireball of a bomb, grows while it fades.
  Sprite(ctx, "Images/effect3.tga", 128, [](float x, float y) {
    float d = std::hypot(x, y);
    float n = Fbm(x * 3, y * 3, 4, 7) * 0.35f;
    float a = Clamp01((1 - d + n) * 1.2f);
    a = a * a;
    RGBA col = Mix(Rgb(255, 250, 200), Rgb(255, 110, 20), Smooth(0.0f, 0.8f, d - n));
    return WithAlpha(col, a);
  });
  // 4: hot debris of a bomb.
  Sprite(ctx, "Images/effect4.tga", 32, [](float x, float y) {
    float d = std::hypot(x, y);
    return Rgb(255, 230, 140, std::pow(Clamp01(1 - d), 1.5f));
  });
  // 5: the colorize swirl: a spinning rainbow pinwheel.
  Sprite(ctx, "Images/effect5.tga", 128, [](float x, float y) {
    float d = std::hypot(x, y), a = std::atan2(y, x);
    float arms = 0.5f + 0.5f * std::sin(a * 5 + d * 6);
    float alpha = Clamp01(1 - d) * (0.35f + 0.65f * arms);
    return WithAlpha(Hsv(a / (2 * Pi) + d * 0.3f, 0.75f, 1.0f), alpha);
  });
  // 6: fuse sparks, tiny and white hot.
  Sprite(ctx, "Images/effect6.tga", 32, [](float x, float y) {
    float d = std::hypot(x, y);
    return Mix(Rgb(255, 150, 40, 0), Rgb(255, 255, 220, 1), std::pow(Clamp01(1 - d), 2.5f));
  });
}

// The banner that rises at a level start: 4.45 x 0.85 units.
void Banner(const Context& ctx) {
  Image img(2048, 512);
  Canvas c(img, 4.45f, 0.85f);
  Box all{0, 0, 4.45f, 0.85f};
  // A dark ribbon fading out to both ends.
  c.Fill(all, [](float u, float v) { return SdRoundBox(u, v, 2.225f, 0.425f, 2.2f, 0.3f, 0.3f); },
         [](float u, float v) {
           float fade = Smooth(0.0f, 0.9f, u) * Smooth(4.45f, 3.55f, u);
           RGBA col = Mix(Rgb(40, 44, 98), Rgb(14, 14, 38), Clamp01((v - 0.125f) / 0.6f));
           return WithAlpha(col, 0.85f * fade);
         });
  for (float v0 : {0.14f, 0.71f})
    c.Fill(all, [=](float u, float v) { return std::max(std::fabs(v - v0) - 0.012f, std::fabs(u - 2.225f) - 2.0f); },
           [](float u, float) { return WithAlpha(pal::BrassLight, Smooth(0.2f, 1.2f, u) * Smooth(4.25f, 3.25f, u)); });
  TextStyle st;
  st.face = Face::SerifBold;
  st.size = 0.44f;
  st.align = Align::Centre;
  st.tracking = 0.05f;
  st.colour = pal::BrassLight;
  TextStyle glow = st;
  glow.colour = Rgb(255, 170, 60, 0.9f);
  Image g = TextLayer(c, "NEXT LEVEL", 2.225f, 0.58f, glow);
  Blur(g, static_cast<int>(0.05f * c.Sy));
  c.Img.Over(g);
  DrawText(c, "NEXT LEVEL", 2.225f, 0.58f, st);
  SaveTga(ctx.Path("Images/newlevel.tga"), img.Resized(1024, 256));
}

// Cursors are 1 x 1 unit with the hot spot in the middle of the picture.
void Cursors(const Context& ctx) {
  {
    Image img(512, 512);
    Canvas c(img, 1, 1);
    Box all{0, 0, 1, 1};
    // Arrow with its tip at the centre, pointing up and to the left.
    std::vector<std::pair<float, float>> arrow{{0.5f, 0.5f}, {0.5f, 0.86f}, {0.585f, 0.775f},
                                               {0.64f, 0.9f}, {0.69f, 0.878f}, {0.636f, 0.755f},
                                               {0.755f, 0.755f}};
    auto shape = [&](float u, float v) { return SdPolygon(u, v, arrow); };
    Shadow(c, all, shape, Rgb(0, 0, 0, 0.6f), 0.02f, 0.012f, 0.02f);
    c.Fill(all, [&](float u, float v) { return shape(u, v) - 0.018f; }, Rgb(30, 20, 10));
    c.Fill(all, shape, [](float u, float v) {
      return Mix(Rgb(255, 246, 214), pal::Brass, Clamp01((u - 0.5f + v - 0.5f) * 1.6f));
    });
    SaveTga(ctx.Path("Images/cursor.tga"), img.Resized(128, 128));
  }
  {
    Image img(512, 512);
    Canvas c(img, 1, 1);
    Box all{0, 0, 1, 1};
    auto sight = [](float u, float v) {
      float d = std::hypot(u - 0.5f, v - 0.5f);
      float ring = std::fabs(d - 0.2f) - 0.014f;
      float ticks = std::min(std::min(SdRoundBox(u, v, 0.5f, 0.2f, 0.012f, 0.09f, 0), SdRoundBox(u, v, 0.5f, 0.8f, 0.012f, 0.09f, 0)),
                             std::min(SdRoundBox(u, v, 0.2f, 0.5f, 0.09f, 0.012f, 0), SdRoundBox(u, v, 0.8f, 0.5f, 0.09f, 0.012f, 0)));
      return std::min(std::min(ring, ticks), SdCircle(u, v, 0.5f, 0.5f, 0.02f));
    };
    c.Fill(all, [&](float u, float v) { return sight(u, v) - 0.014f; }, Rgb(20, 0, 0, 0.8f));
    Glow(c, all, sight, Rgb(255, 60, 40, 0.9f), 0.02f);
    c.Fill(all, sight, Rgb(255, 110, 90));
    SaveTga(ctx.Path("Images/cursor1.tga"), img.Resized(128, 128));
  }
  {
    // The board cursor of keyboard and gamepad play: one cell, a bright
    // frame with a dark edge so that it reads on light and dark skins alike.
    Image img(512, 512);
    Canvas c(img, 1, 1);
    Box all{0, 0, 1, 1};
    auto frame = [](float u, float v) { return std::fabs(SdRoundBox(u, v, 0.5f, 0.5f, 0.42f, 0.42f, 0.09f)) - 0.045f; };
    Glow(c, all, frame, Rgb(90, 230, 255, 0.95f), 0.035f);
    c.Fill(all, [&](float u, float v) { return frame(u, v) - 0.02f; }, Rgb(10, 12, 30, 0.95f));
    c.Fill(all, frame, [](float u, float v) {
      return Mix(Rgb(255, 255, 255), Rgb(255, 236, 120), Clamp01((u + v) * 0.5f));
    });
    SaveTga(ctx.Path("Images/boardcursor.tga"), img.Resized(128, 128));
  }
}

}  // namespace

void AddEffectJobs(std::vector<Job>& jobs) {
  jobs.push_back({"effects", 1, Effects});
  jobs.push_back({"newlevel", 2, Banner});
  jobs.push_back({"cursors", 1, Cursors});
}

}  // namespace ag
