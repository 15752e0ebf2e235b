// The application icon: a glass cube seen from above a corner, its top split
// into the 2 x 2 square of one colour that scores in the game. Drawn afresh
// at every size so that the small ones stay crisp (no grooves below 32 px,
// outlines never thinner than a pixel).
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "assetgen.h"
#include "raster.h"
#include "style.h"

namespace ag {

namespace {

using Pt = std::pair<float, float>;

Pt Lerp(const Pt& a, const Pt& b, float t) { return {a.first + (b.first - a.first) * t, a.second + (b.second - a.second) * t}; }

// A point of the parallelogram spanned from O along A - O and B - O.
Pt On(const Pt& o, const Pt& a, const Pt& b, float s, float t) {
  return {o.first + (a.first - o.first) * s + (b.first - o.first) * t,
          o.second + (a.second - o.second) * s + (b.second - o.second) * t};
}

void FillPolygon(Canvas& c, const std::vector<Pt>& pts, const Paint& paint) {
  float u0 = 1, v0 = 1, u1 = 0, v1 = 0;
  for (const Pt& p : pts) {
    u0 = std::min(u0, p.first), u1 = std::max(u1, p.first);
    v0 = std::min(v0, p.second), v1 = std::max(v1, p.second);
  }
  c.Fill({u0 - 0.02f, v0 - 0.02f, u1 + 0.02f, v1 + 0.02f}, [pts](float u, float v) { return SdPolygon(u, v, pts); },
         paint);
}

void Line(Canvas& c, const Pt& a, const Pt& b, float r, const RGBA& col) {
  c.Fill(BoxAround((a.first + b.first) / 2, (a.second + b.second) / 2,
                   std::abs(a.first - b.first) / 2 + r, std::abs(a.second - b.second) / 2 + r, 0.02f),
         [=](float u, float v) { return SdSegment(u, v, a.first, a.second, b.first, b.second, r); }, col);
}

// One face split into 2 x 2 tiles (or whole at small sizes), shaded by light.
void CubeSide(Canvas& c, const Pt& o, const Pt& a, const Pt& b, const RGBA& col, float light, bool tiles) {
  const float gloss = light > 1 ? 0.35f : 0;
  auto paint = [=](float s, float t) {
    return [=](float, float v) {
      // A little brighter towards the top of each face, a sheen on the top.
      RGBA out = Scale(col, light * (1.06f - 0.12f * v));
      return Mix(out, Rgb(255, 255, 255), gloss * (1 - 0.5f * (s + t)));
    };
  };
  if (!tiles) {
    FillPolygon(c, {o, Lerp(o, a, 1), On(o, a, b, 1, 1), Lerp(o, b, 1)}, paint(0.5f, 0.5f));
    return;
  }
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      const float s0 = i * 0.5f, t0 = j * 0.5f;
      FillPolygon(c, {On(o, a, b, s0, t0), On(o, a, b, s0 + 0.5f, t0), On(o, a, b, s0 + 0.5f, t0 + 0.5f),
                      On(o, a, b, s0, t0 + 0.5f)},
                  paint(s0, t0));
    }
}

}  // namespace

Image DrawIcon(int size) {
  Image img(size, size);
  Canvas c(img, 1, 1);
  const bool detailed = size >= 32;
  // The six corners of the outline and the near corner in the middle.
  const Pt top{0.5f, 0.04f}, right{0.92f, 0.27f}, lowRight{0.92f, 0.73f}, bottom{0.5f, 0.96f},
      lowLeft{0.08f, 0.73f}, left{0.08f, 0.27f}, mid{0.5f, 0.5f};
  const RGBA blue = Rgb(48, 108, 232);
  CubeSide(c, top, right, left, blue, 1.25f, detailed);
  CubeSide(c, left, mid, lowLeft, blue, 0.85f, detailed);
  CubeSide(c, mid, right, bottom, blue, 0.55f, detailed);

  const float px = 1.0f / static_cast<float>(size);
  if (detailed) {
    // The grooves between the tiles, in ink.
    const float g = std::max(0.5f * px, 0.008f);
    const RGBA groove = WithAlpha(pal::Ink, 0.85f);
    Line(c, Lerp(top, right, 0.5f), Lerp(left, mid, 0.5f), g, groove);
    Line(c, Lerp(top, left, 0.5f), Lerp(right, mid, 0.5f), g, groove);
    Line(c, Lerp(left, lowLeft, 0.5f), Lerp(mid, bottom, 0.5f), g, groove);
    Line(c, Lerp(left, mid, 0.5f), Lerp(lowLeft, bottom, 0.5f), g, groove);
    Line(c, Lerp(mid, bottom, 0.5f), Lerp(right, lowRight, 0.5f), g, groove);
    Line(c, Lerp(mid, right, 0.5f), Lerp(bottom, lowRight, 0.5f), g, groove);
  }
  // The outline and the near edges, never thinner than a pixel.
  const float r = std::max(0.55f * px, 0.016f);
  const std::vector<Pt> ring{top, right, lowRight, bottom, lowLeft, left, top};
  for (std::size_t i = 0; i + 1 < ring.size(); ++i) Line(c, ring[i], ring[i + 1], r, pal::Ink);
  const RGBA edge = Mix(pal::Ink, pal::BrassLight, detailed ? 0.55f : 0.0f);
  Line(c, mid, left, r * 0.8f, edge);
  Line(c, mid, right, r * 0.8f, edge);
  Line(c, mid, bottom, r * 0.8f, edge);
  return img;
}

void WriteDesktopIcons(const std::string& folder) {
  for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
    const std::string n = std::to_string(size);
    SavePng(folder + "/" + n + "x" + n + "/apps/voxarine.png", DrawIcon(size));
  }
}

void AddIconJobs(std::vector<Job>& jobs) {
  jobs.push_back({"icon", 0.2, [](const Context& c) { SavePng(c.Path("Images/Icon.png"), DrawIcon(64)); }});
}

}  // namespace ag
