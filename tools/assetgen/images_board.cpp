// The game scene's pictures: the board background with its side panel, the
// room (floor and four walls), path marks, bonus lights, the bonus plate and
// the score line with its end cap.
//
// Every place on background.jpg comes from where the game draws: the board's
// cells are centred on (X - 5, Y - 5); the level number starts at (-6.75, 3.6);
// the score is centred on x = -6.9 at y = 1.93; the five bonus lights sit at
// y = 0.527 from x = -6.388 in steps of -0.289; the bonus figure is centred
// near (-6.91, -2.09) and the bonus plate, 2.4 x 2.86, at (-6.93, -1.86)
// (the window below the caption, and the caption itself); the bonus value
// starts at (-6.4, -3.5); the score line runs at y = -5.335 from x = 4.51
// towards -x, capped at x = 4.615. The pause button stands at (-7.0, -4.72).
#include <algorithm>
#include <cmath>

#include "assetgen.h"
#include "style.h"

namespace ag {

namespace {

void Caption(Canvas& c, const std::string& text, float u, float v, float size, Align a) {
  TextStyle st;
  st.face = Face::SansCondBold;
  st.size = size;
  st.align = a;
  st.tracking = size * 0.12f;
  st.colour = pal::BrassLight;
  DrawTextShadowed(c, text, u, v, st, Rgb(0, 0, 0, 0.8f), size * 0.08f, 0, size * 0.06f);
}

// The recessed 9 x 9 tray the cubes stand in.
void Board(Canvas& c) {
  float u0 = WU(4.5f), u1 = WU(-4.5f), v0 = WV(4.5f), v1 = WV(-4.5f);
  float cu = (u0 + u1) / 2, cv = (v0 + v1) / 2, h = (u1 - u0) / 2;
  Box frameBox = BoxAround(cu, cv, h + 0.3f, h + 0.3f, 0.3f);
  auto frame = [=](float u, float v) { return SdRoundBox(u, v, cu, cv, h + 0.24f, h + 0.24f, 0.3f); };
  Shadow(c, frameBox, frame, Rgb(0, 0, 0, 0.75f), 0.3f, 0.08f, 0.16f);
  c.Fill(frameBox, frame, [=](float u, float v) {
    float t = (v - cv + h) / (2 * h);
    float grain = Fbm(u * 0.6f, v * 9.f, 4, 71) * 0.06f;
    RGBA wood = Mix(Rgb(92, 58, 40), Rgb(54, 30, 22), t);
    return RGBA{wood.r + grain, wood.g + grain * 0.7f, wood.b + grain * 0.5f, 1};
  });
  // Brass inlay around the playing field.
  c.Fill(frameBox, [=](float u, float v) {
    return std::fabs(SdRoundBox(u, v, cu, cv, h + 0.1f, h + 0.1f, 0.14f)) - 0.03f;
  }, [=](float, float v) { return Mix(pal::BrassLight, pal::BrassDark, Clamp01((v - cv + h) / (2 * h))); });
  // The field: deep slate, each cell a shallow square pocket.
  c.Fill(frameBox, [=](float u, float v) { return SdRoundBox(u, v, cu, cv, h + 0.06f, h + 0.06f, 0.1f); },
         Rgb(14, 16, 34));
  for (int X = 1; X <= 9; ++X)
    for (int Y = 1; Y <= 9; ++Y) {
      float ccu = WU(X - 5.f), ccv = WV(Y - 5.f);
      bool odd = (X + Y) % 2 == 1;
      Box cb = BoxAround(ccu, ccv, 0.5f, 0.5f, 0.02f);
      auto cell = [=](float u, float v) { return SdRoundBox(u, v, ccu, ccv, 0.455f, 0.455f, 0.09f); };
      c.Fill(cb, cell, [=](float u, float v) {
        float t = (v - ccv + 0.45f) / 0.9f;
        RGBA base = odd ? Rgb(40, 46, 90) : Rgb(34, 39, 80);
        RGBA col = Mix(Scale(base, 0.8f), Scale(base, 1.15f), t);
        float n = Fbm(u * 3.f, v * 3.f, 3, 90) * 0.03f;
        return RGBA{col.r + n, col.g + n, col.b + n, 1};
      });
      // Light catches the lower lip, shadow the upper one: the pocket is sunk.
      c.Fill(cb, [=](float u, float v) { return std::max(cell(u, v), -cell(u, v - 0.035f)); },
             Rgb(0, 0, 0, 0.45f), 0.02f);
      c.Fill(cb, [=](float u, float v) { return std::max(cell(u, v), -cell(u, v + 0.025f)); },
             Rgb(150, 160, 230, 0.25f), 0.01f);
    }
}

// Over the figure window: "BONUS FIGURE", or the bonus level's own words.
constexpr const char* FigureCaption = "BONUS FIGURE";
constexpr const char* BonusLevelCaption = "BLAST THE STONES";

void SidePanel(Canvas& c, const char* WindowCaption = FigureCaption) {
  float u0 = WU(-4.95f), u1 = WU(-8.85f), v0 = WV(4.92f), v1 = WV(-5.3f);
  GlassPanel(c, (u0 + u1) / 2, (v0 + v1) / 2, (u1 - u0) / 2, (v1 - v0) / 2, 0.3f);
  float mid = (u0 + u1) / 2;
  Logo(c, mid, v0 + 0.62f, 0.46f);

  // Level: label on the left, ink-on-cream plate where the number is written.
  CreamPlate(c, WU(-7.25f), WV(3.6f), 0.8f, 0.34f);
  Caption(c, "LEVEL", WU(-6.3f), WV(3.6f) + 0.08f, 0.24f, Align::Right);

  // Score: centred on x = -6.9 below its label.
  Caption(c, "SCORE", WU(-6.9f), WV(1.93f) - 0.5f, 0.24f, Align::Centre);
  CreamPlate(c, WU(-6.9f), WV(1.93f), 1.35f, 0.34f);

  // Bonus lights: five empty sockets; the lit lamps are drawn over them.
  Caption(c, "BONUS LEVEL", WU(-6.966f), WV(0.527f) - 0.33f, 0.19f, Align::Centre);
  for (int j = 1; j <= 5; ++j) Lamp(c, WU(-6.387875f + 0.289f * (1 - j)), WV(0.5266875f), 0.125f, false);

  // Bonus figure: a dark window around (-6.91, -2.09), where every figure is
  // centred, that also frames the bonus plate of bonus levels.
  float fu = WU(-6.93f), fv = WV(-2.0f);
  Caption(c, WindowCaption, fu, fv - 1.33f, 0.19f, Align::Centre);
  Box fb = BoxAround(fu, fv, 1.2f, 1.35f, 0.1f);
  auto win = [=](float u, float v) { return SdRoundBox(u, v, fu, fv, 1.1f, 1.19f, 0.16f); };
  c.Fill(fb, win, [=](float, float v) { return Mix(Rgb(10, 10, 24), Rgb(26, 28, 58), Clamp01((v - fv + 1.2f) / 2.4f)); });
  c.Fill(fb, [=](float u, float v) { return std::fabs(win(u, v)) - 0.025f; },
         [=](float, float v) { return Mix(pal::BrassDark, pal::BrassLight, Clamp01((v - fv + 1.2f) / 2.4f)); });

  // Bonus value "+N" starts at x = -6.4.
  Caption(c, "WORTH", WU(-6.05f), WV(-3.5f) + 0.08f, 0.2f, Align::Right);
  CreamPlate(c, WU(-7.15f), WV(-3.5f), 0.95f, 0.27f);
}

// The groove the score line runs in, below the board.
void ScoreGroove(Canvas& c) {
  float y = -0.25f - 5.08459375f;
  float ua = WU(4.80f), ub = WU(-4.32f), v = WV(y);
  float cu = (ua + ub) / 2, hw = (ub - ua) / 2;
  Box b = BoxAround(cu, v, hw, 0.3f, 0.1f);
  auto groove = [=](float uu, float vv) { return SdRoundBox(uu, vv, cu, v, hw, 0.2f, 0.2f); };
  c.Fill(b, [=](float uu, float vv) { return SdRoundBox(uu, vv, cu, v, hw + 0.05f, 0.25f, 0.25f); },
         [=](float, float vv) { return Mix(pal::BrassLight, pal::BrassDark, Clamp01((vv - v + 0.25f) / 0.5f)); });
  c.Fill(b, groove, [=](float, float vv) { return Mix(Rgb(4, 4, 12), Rgb(30, 34, 66), Clamp01((vv - v + 0.2f) / 0.4f)); });
  // Quarter marks.
  for (int q = 1; q <= 3; ++q) {
    float mu = WU(4.51f - 8.75f * q / 4);
    c.Fill(b, [=](float uu, float vv) { return SdRoundBox(uu, vv, mu, v, 0.012f, 0.2f, 0); },
           Rgb(246, 214, 142, 0.35f));
  }
}

void Background(const Context& ctx) {
  ScreenPicture p;
  NightBackdrop(p.C, 5, 0.45f);
  Board(p.C);
  SidePanel(p.C);
  ScoreGroove(p.C);
  SaveJpg(ctx.Path("Images/background.jpg"), p.Final(), 94);
}

// Floor: dark oak planks seen around the board during the camera sweeps.
void Floor(const Context& ctx) {
  Image img(1024, 1024);
  Canvas c(img, 28, 24);
  c.FillAll([](float u, float v) {
    float plank = std::floor(v / 0.8f);
    float offset = std::fmod(plank * 3.7f, 5.f);
    float seam = std::floor((u + offset) / 5.f);
    float shade = 0.85f + 0.15f * Noise(plank * 1.3f, seam * 2.1f, 31);
    float grain = Fbm(u * 0.8f, (v + plank * 10) * 12.f, 4, 33);
    RGBA col = Mix(Rgb(70, 44, 30), Rgb(40, 24, 18), Clamp01(grain + 0.5f));
    col = Scale(col, shade);
    float vv = std::fmod(v, 0.8f), uu = std::fmod(u + offset, 5.f);
    if (vv < 0.03f || uu < 0.025f) col = Scale(col, 0.45f);
    return col;
  });
  SaveJpg(ctx.Path("Images/floor.jpg"), img, 90);
}

// Walls: night-blue panelling with a brass lattice; patterned so it reads in
// whatever way the sweeping camera turns it.
void Wall(const Context& ctx, int n, float w, float h) {
  Image img(1024, 512);
  Canvas c(img, w, h);
  c.FillAll([=](float u, float v) {
    float cell = 1.5f;
    float a = std::fmod(u + v + 100, cell) / cell, b = std::fmod(u - v + 100, cell) / cell;
    float line = std::min(std::min(a, 1 - a), std::min(b, 1 - b));
    RGBA col = Mix(Rgb(30, 34, 72), Rgb(18, 20, 46), Clamp01(Fbm(u * 0.3f, v * 0.3f, 3, 50 + n) + 0.5f));
    col = Mix(col, pal::Brass, Smooth(0.05f, 0.015f, line) * 0.45f);
    // Small stars where the lattice crosses.
    float cu = std::round((u + v) / cell) * cell, cv = std::round((u - v) / cell) * cell;
    float su = (cu + cv) / 2, sv = (cu - cv) / 2;
    float d = std::hypot(u - su, v - sv);
    col = Mix(col, pal::BrassLight, Smooth(0.09f, 0.03f, d) * 0.7f);
    return col;
  });
  SaveJpg(ctx.Path("Images/wall" + std::to_string(n) + ".jpg"), img, 90);
}

// Path marks, 0.9 of a cell: 1 a step, 2 the reachable target, 3 out of reach.
void Dots(const Context& ctx) {
  for (int n = 1; n <= 3; ++n) {
    Image img(256, 256);
    Canvas c(img, 1, 1);
    Box all{0, 0, 1, 1};
    if (n == 1) {
      auto dot = [](float u, float v) { return SdCircle(u, v, 0.5f, 0.5f, 0.11f); };
      Glow(c, all, dot, Rgb(255, 200, 90, 0.8f), 0.06f);
      c.Fill(all, dot, [](float u, float v) {
        return Mix(Rgb(255, 250, 220), Rgb(255, 170, 50), Clamp01(std::hypot(u - 0.47f, v - 0.47f) / 0.12f));
      });
    } else {
      RGBA col = n == 2 ? Rgb(110, 255, 190) : Rgb(255, 90, 80);
      auto ring = [](float u, float v) {
        return std::fabs(SdRoundBox(u, v, 0.5f, 0.5f, 0.42f, 0.42f, 0.12f)) - 0.028f;
      };
      c.Fill(all, [](float u, float v) { return SdRoundBox(u, v, 0.5f, 0.5f, 0.42f, 0.42f, 0.12f); },
             WithAlpha(col, n == 2 ? 0.16f : 0.12f));
      Glow(c, all, ring, WithAlpha(col, 0.8f), 0.03f);
      c.Fill(all, ring, Mix(col, Rgb(255, 255, 255), 0.3f));
      if (n == 3) {
        auto cross = [](float u, float v) {
          return std::min(SdSegment(u, v, 0.36f, 0.36f, 0.64f, 0.64f, 0.035f),
                          SdSegment(u, v, 0.64f, 0.36f, 0.36f, 0.64f, 0.035f));
        };
        c.Fill(all, cross, Mix(col, Rgb(255, 255, 255), 0.25f));
      } else {
        c.Fill(all, [](float u, float v) { return SdCircle(u, v, 0.5f, 0.5f, 0.08f); }, Rgb(200, 255, 230));
      }
    }
    SaveTga(ctx.Path("Images/dot" + std::to_string(n) + ".tga"), img.Resized(128, 128));
  }
}

void BonusLight(const Context& ctx) {
  Image img(256, 256);
  Canvas c(img, 1, 1);
  Lamp(c, 0.5f, 0.5f, 0.34f, true);
  SaveTga(ctx.Path("Images/bonuslight.tga"), img.Resized(64, 64));
}

// Shown instead of the bonus figure on bonus levels: a cream plate that fits
// inside the figure's window, and above it the panel's own glass with the
// bonus level's caption written where "BONUS FIGURE" stands, so that the
// plate brings its caption with it.
constexpr float PlateW = 2.4f, PlateH = 2.86f;        // world units, as the game sizes the quad
constexpr float PlateX = -6.93f, PlateY = -1.86f;     // its centre
constexpr float CaptionBottom = -0.76f;               // world y; the window's rim starts below

void BonusPlate(const Context& ctx) {
  ScreenPicture bg, was;
  NightBackdrop(bg.C, 5, 0.45f);
  SidePanel(bg.C, BonusLevelCaption);
  NightBackdrop(was.C, 5, 0.45f);
  SidePanel(was.C, FigureCaption);

  Image img(512, 1024);
  Canvas c(img, PlateW, PlateH);
  // The caption strip: where the two captions differ, and a little around
  // them, the panel as background.jpg has it with the bonus level's words;
  // elsewhere the background itself shows, so that no seam can show.
  const float u0 = WU(PlateX + PlateW / 2), v0 = WV(PlateY + PlateH / 2);
  const float pxPerU = bg.Img.W / ViewW, pxPerV = bg.Img.H / ViewH;
  const float strip = (PlateY + PlateH / 2) - CaptionBottom;  // its height, plate units
  const int stripRows = static_cast<int>(strip / PlateH * img.H);
  Image diff(img.W, stripRows, RGBA{0, 0, 0, 0});
  for (int y = 0; y < stripRows; ++y)
    for (int x = 0; x < img.W; ++x) {
      const float fx = (u0 + (x + 0.5f) * PlateW / img.W) * pxPerU - 0.5f;
      const float fy = (v0 + (y + 0.5f) * PlateH / img.H) * pxPerV - 0.5f;
      const RGBA a = bg.Img.Sample(fx, fy), b = was.Img.Sample(fx, fy);
      const float d = std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
      diff.At(x, y) = RGBA{a.r, a.g, a.b, Clamp01(d * 30)};
    }
  constexpr int Reach = 6;  // pixels of the plate texture around the lettering
  for (int y = 0; y < stripRows; ++y)
    for (int x = 0; x < img.W; ++x) {
      float cover = 0;
      for (int dy = -Reach; dy <= Reach; ++dy)
        for (int dx = -Reach; dx <= Reach; ++dx) {
          const int sx = x + dx, sy = y + dy;
          if (sx < 0 || sy < 0 || sx >= img.W || sy >= stripRows) continue;
          const float fall = 1 - std::hypot(static_cast<float>(dx), static_cast<float>(dy)) / (Reach + 1);
          if (fall > 0) cover = std::max(cover, diff.At(sx, sy).a * fall);
        }
      const float a = Smooth(0.0f, 0.5f, cover);
      const RGBA px = diff.At(x, y);
      img.At(x, y) = RGBA{px.r * a, px.g * a, px.b * a, a};
    }

  // The plate in the window (1.1 x 1.19 around (-6.93, -2.0)), inside its rim.
  const float cu = c.UW / 2, cv = WV(-2.0f) - v0;
  const float hw = 0.98f, hh = 1.05f;
  CreamPlate(c, cu, cv, hw, hh, 0.16f);
  const float top = cv - hh;
  TextStyle st;
  st.face = Face::SerifBold;
  st.size = 0.3f;
  st.align = Align::Centre;
  st.colour = Rgb(110, 20, 40);
  DrawText(c, "BONUS", cu, top + 0.42f, st);
  DrawText(c, "LEVEL", cu, top + 0.74f, st);
  // A bomb beside a stone: what to do here. The bomb as on the board.
  const float bv = top + 1.2f;
  DiagramCube(c, 1, 8, cu - 0.5f, bv, 0.5f);
  TextStyle arrow = st;
  arrow.face = Face::SansBold;
  arrow.size = 0.26f;
  arrow.colour = Rgb(60, 40, 60);
  DrawText(c, "\u2192", cu, bv + 0.1f, arrow);
  DiagramCube(c, 1, 17, cu + 0.48f, bv + 0.02f, 0.38f);
  TextStyle small = st;
  small.face = Face::SansCondBold;
  small.size = 0.15f;
  small.colour = Rgb(50, 36, 60);
  // The longest line sets the size, so both fit inside the rim.
  float widest = MeasureText(c, "STONES LEFT PAYS", small);
  if (widest > 2 * hw - 0.3f) small.size *= (2 * hw - 0.3f) / widest;
  DrawText(c, "3 OR FEWER", cu, top + 1.72f, small);
  DrawText(c, "STONES LEFT PAYS", cu, top + 1.94f, small);
  SaveTga(ctx.Path("Images/plugbonus.tga"), img.Resized(256, 512));
}

// The score line: a glowing liquid tube. It is stretched along x to its
// fill, so every column is the same; it is light so that the timed mode's
// red-green warning tint shows through.
RGBA TubeColour(float t) {  // t = -1 .. 1 across the tube
  float core = 1 - t * t;
  RGBA col = Mix(Rgb(70, 190, 170), Rgb(230, 255, 245), Smooth(0.2f, 1.0f, core));
  float hl = Smooth(0.25f, 0.0f, std::fabs(t + 0.45f));
  return Mix(col, Rgb(255, 255, 255), hl * 0.7f);
}

void ScoreLine(const Context& ctx) {
  const float th = 0.13f, mid = 0.21f;  // tube half-height and centre, units of the 0.42 quad
  {
    Image img(32, 128);
    Canvas c(img, 0.27f, 0.42f);
    c.Fill({0, 0, c.UW, c.UH}, [=](float, float v) { return std::fabs(v - mid) - th; },
           [=](float, float v) { return TubeColour((v - mid) / th); });
    SaveTga(ctx.Path("Images/line.tga"), img);
  }
  {
    Image img(128, 128);
    Canvas c(img, 0.27f, 0.42f);
    float left = 0.06f + th;  // centre of the round end
    auto cap = [=](float u, float v) {
      return u < left ? std::hypot(u - left, v - mid) - th : std::fabs(v - mid) - th;
    };
    c.Fill({0, 0, c.UW, c.UH}, cap, [=](float u, float v) {
      float t = (v - mid) / th;
      if (u < left) t = std::clamp(std::hypot(u - left, v - mid) / th, 0.f, 1.f) * (v < mid ? -1 : 1);
      return TubeColour(t);
    });
    // A brass collar where the cap meets the line.
    c.Fill({0, 0, c.UW, c.UH}, [=](float u, float v) {
      return std::max(std::fabs(u - left) - 0.018f, std::fabs(v - mid) - th - 0.03f);
    }, [=](float, float v) { return Mix(pal::BrassLight, pal::BrassDark, Clamp01((v - mid + th) / (2 * th))); });
    SaveTga(ctx.Path("Images/lineleft.tga"), img);
  }
}

}  // namespace

void AddBoardJobs(std::vector<Job>& jobs) {
  jobs.push_back({"background", 10, Background});
  jobs.push_back({"floor", 4, Floor});
  jobs.push_back({"wall1", 2, [](const Context& c) { Wall(c, 1, 24, 12); }});
  jobs.push_back({"wall2", 2, [](const Context& c) { Wall(c, 2, 24, 12); }});
  jobs.push_back({"wall3", 2, [](const Context& c) { Wall(c, 3, 28, 12); }});
  jobs.push_back({"wall4", 2, [](const Context& c) { Wall(c, 4, 28, 12); }});
  jobs.push_back({"dots", 1, Dots});
  jobs.push_back({"bonuslight", 1, BonusLight});
  jobs.push_back({"plugbonus", 1, BonusPlate});
  jobs.push_back({"scoreline", 1, ScoreLine});
}

}  // namespace ag
