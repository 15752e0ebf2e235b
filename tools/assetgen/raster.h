// A small anti-aliased 2D painter for the generated pictures: images in
// premultiplied float RGBA, shapes as signed distance functions, gradients,
// noise, blur, text through FreeType, and the writers for TGA and JPEG.
//
// Drawing happens in design units on a Canvas: u grows to the right, v grows
// downwards, as on screen. A canvas may stretch units differently along u and
// v (a 4:3 screen picture stored in a square texture), and every primitive,
// text included, is drawn for that stretch so it looks right once the game
// squeezes the texture back onto its quad.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ag {

struct RGBA {
  float r = 0, g = 0, b = 0, a = 1;
};

inline RGBA Rgb(int r, int g, int b, float a = 1) { return {r / 255.f, g / 255.f, b / 255.f, a}; }
RGBA Mix(const RGBA& x, const RGBA& y, float t);
RGBA Scale(const RGBA& c, float k);  // rgb times k, alpha kept
RGBA WithAlpha(const RGBA& c, float a);
RGBA Hsv(float h, float s, float v, float a = 1);  // h in turns 0..1

inline float Clamp01(float x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }
inline float Smooth(float e0, float e1, float x) {
  float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Premultiplied RGBA pixels, row 0 at the top.
class Image {
 public:
  Image() = default;
  Image(int w, int h, RGBA fill = {0, 0, 0, 0});
  int W = 0, H = 0;
  std::vector<RGBA> Px;
  RGBA& At(int x, int y) { return Px[static_cast<size_t>(y) * W + x]; }
  const RGBA& At(int x, int y) const { return Px[static_cast<size_t>(y) * W + x]; }
  // Straight colour c over the pixel with coverage cov.
  void Blend(int x, int y, const RGBA& c, float cov);
  void Over(const Image& top, float opacity = 1);  // same size
  Image Resized(int w, int h) const;
  RGBA Sample(float fx, float fy) const;  // bilinear, pixel units, premultiplied
};

// Deterministic random numbers (splitmix64) for one picture.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : s_(seed) {}
  std::uint64_t Next();
  float Uniform() { return static_cast<float>(Next() >> 40) / 16777216.f; }  // [0,1)
  float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t s_;
};
std::uint64_t HashName(const std::string& name, std::uint64_t seed);

// Noise in [-1, 1]-ish, smooth; seed picks an independent field.
float Noise(float x, float y, int seed);
float Fbm(float x, float y, int octaves, int seed);

using Sdf = std::function<float(float u, float v)>;
using Paint = std::function<RGBA(float u, float v)>;

struct Box {
  float u0, v0, u1, v1;
};

class Canvas {
 public:
  Canvas(Image& img, float unitsW, float unitsH);
  Image& Img;
  float UW, UH;    // design units covered by the image
  float Sx, Sy;    // pixels per unit along u and v
  float Aa;        // one pixel in units, for edge softening

  // Fills the inside of sdf (negative = inside) within box; feather widens the
  // soft edge (units). Paint gives the straight colour at a point.
  void Fill(const Box& box, const Sdf& sdf, const Paint& paint, float feather = 0) const;
  void Fill(const Box& box, const Sdf& sdf, const RGBA& c, float feather = 0) const;
  // Paints every pixel (for backgrounds).
  void FillAll(const Paint& paint) const;
};

// Signed distance helpers (units).
float SdRoundBox(float u, float v, float cu, float cv, float hw, float hh, float r);
float SdCircle(float u, float v, float cu, float cv, float r);
float SdSegment(float u, float v, float au, float av, float bu, float bv, float r);
float SdPolygon(float u, float v, const std::vector<std::pair<float, float>>& pts);
float SdStar(float u, float v, float cu, float cv, float r, int points, float inner, float rot);
float SdHeart(float u, float v, float cu, float cv, float size);
std::vector<std::pair<float, float>> RegularPolygon(float cu, float cv, float r, int n, float rot);
Box BoxAround(float cu, float cv, float hw, float hh, float pad = 0.05f);

// Gaussian-like blur (three box passes) of radius r pixels.
void Blur(Image& img, int r);
// A soft shadow of sdf's shape: drawn into a layer, blurred, laid under.
void Shadow(Canvas& c, const Box& box, const Sdf& sdf, const RGBA& col, float blurUnits,
            float du, float dv);
void Glow(Canvas& c, const Box& box, const Sdf& sdf, const RGBA& col, float blurUnits);

// ---- Text -------------------------------------------------------------------
enum class Face { Sans, SansBold, SansCond, SansCondBold, Serif, SerifBold, SerifItalic, Mono };
enum class Align { Left, Centre, Right };

struct TextStyle {
  Face face = Face::SansBold;
  float size = 0.5f;  // em height in units
  RGBA colour{1, 1, 1, 1};
  Align align = Align::Left;
  float tracking = 0;  // extra advance per character, units
};

// Draws one line with its baseline at v; u is the left, centre or right edge.
// Returns the advance width in units.
float DrawText(Canvas& c, const std::string& utf8, float u, float v, const TextStyle& st);
float MeasureText(const Canvas& c, const std::string& utf8, const TextStyle& st);
// Renders text into a separate layer (for shadows and glows) of the canvas size.
Image TextLayer(Canvas& c, const std::string& utf8, float u, float v, const TextStyle& st);
// The lines a paragraph wraps into at width (units), words kept whole.
std::vector<std::string> WrapParagraph(const Canvas& c, const std::string& utf8, float width,
                                       const TextStyle& st);
// Word-wrapped paragraph; returns the v after the last line.
float DrawParagraph(Canvas& c, const std::string& utf8, float u, float v, float width,
                    const TextStyle& st, float lineGap = 1.35f);
// Text with a soft drop shadow.
void DrawTextShadowed(Canvas& c, const std::string& utf8, float u, float v, const TextStyle& st,
                      const RGBA& shadow, float blurUnits, float du, float dv);
std::string FacePath(Face f);

// ---- Files -----------------------------------------------------------------
void SaveTga(const std::string& path, const Image& img);
void SaveJpg(const std::string& path, const Image& img, int quality = 92);
void SavePng(const std::string& path, const Image& img);
void MakeDirs(const std::string& path);  // the folders of a file path

}  // namespace ag
