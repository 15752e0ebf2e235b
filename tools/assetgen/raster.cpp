// The 2D painter behind every generated picture (see raster.h).
#include "raster.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include "stb_image_resize.h"
#define STB_PERLIN_IMPLEMENTATION
#include "stb_perlin.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace ag {

RGBA Mix(const RGBA& x, const RGBA& y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
          x.a + (y.a - x.a) * t};
}
RGBA Scale(const RGBA& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
RGBA WithAlpha(const RGBA& c, float a) { return {c.r, c.g, c.b, a}; }

RGBA Hsv(float h, float s, float v, float a) {
  h = h - std::floor(h);
  float i = std::floor(h * 6), f = h * 6 - i;
  float p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  switch (static_cast<int>(i) % 6) {
    case 0: return {v, t, p, a};
    case 1: return {q, v, p, a};
    case 2: return {p, v, t, a};
    case 3: return {p, q, v, a};
    case 4: return {t, p, v, a};
    default: return {v, p, q, a};
  }
}

// ---- Image -------------------------------------------------------------------
Image::Image(int w, int h, RGBA fill) : W(w), H(h) {
  RGBA pm{fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a};
  Px.assign(static_cast<size_t>(w) * h, pm);
}

void Image::Blend(int x, int y, const RGBA& c, float cov) {
  if (x < 0 || y < 0 || x >= W || y >= H) return;
  float a = Clamp01(c.a * cov);
  if (a <= 0) return;
  RGBA& d = At(x, y);
  float k = 1 - a;
  d.r = c.r * a + d.r * k;
  d.g = c.g * a + d.g * k;
  d.b = c.b * a + d.b * k;
  d.a = a + d.a * k;
}

void Image::Over(const Image& top, float opacity) {
  for (size_t i = 0; i < Px.size() && i < top.Px.size(); ++i) {
    const RGBA& s = top.Px[i];
    float a = s.a * opacity;
    if (a <= 0) continue;
    RGBA& d = Px[i];
    float k = 1 - a;
    d.r = s.r * opacity + d.r * k;
    d.g = s.g * opacity + d.g * k;
    d.b = s.b * opacity + d.b * k;
    d.a = a + d.a * k;
  }
}

Image Image::Resized(int w, int h) const {
  Image out(w, h);
  stbir_resize_float(reinterpret_cast<const float*>(Px.data()), W, H, 0,
                     reinterpret_cast<float*>(out.Px.data()), w, h, 0, 4);
  for (RGBA& p : out.Px) {
    p.a = Clamp01(p.a);
    p.r = std::clamp(p.r, 0.f, p.a);
    p.g = std::clamp(p.g, 0.f, p.a);
    p.b = std::clamp(p.b, 0.f, p.a);
  }
  return out;
}

RGBA Image::Sample(float fx, float fy) const {
  fx = std::clamp(fx - 0.5f, 0.f, static_cast<float>(W - 1));
  fy = std::clamp(fy - 0.5f, 0.f, static_cast<float>(H - 1));
  int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  int x1 = std::min(x0 + 1, W - 1), y1 = std::min(y0 + 1, H - 1);
  float tx = fx - x0, ty = fy - y0;
  RGBA a = Mix(At(x0, y0), At(x1, y0), tx), b = Mix(At(x0, y1), At(x1, y1), tx);
  return Mix(a, b, ty);
}

// ---- Random numbers and noise --------------------------------------------------
std::uint64_t Rng::Next() {
  std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t HashName(const std::string& name, std::uint64_t seed) {
  std::uint64_t h = 1469598103934665603ull ^ seed;
  for (unsigned char ch : name) h = (h ^ ch) * 1099511628211ull;
  return h;
}

float Noise(float x, float y, int seed) {
  return stb_perlin_noise3_seed(x, y, 0.37f * static_cast<float>(seed % 97), 0, 0, 0, seed);
}

float Fbm(float x, float y, int octaves, int seed) {
  float sum = 0, amp = 0.5f, f = 1;
  for (int i = 0; i < octaves; ++i) {
    sum += amp * Noise(x * f, y * f, seed + i * 7);
    f *= 2.03f;
    amp *= 0.5f;
  }
  return sum;
}

// ---- Canvas ---------------------------------------------------------------------
Canvas::Canvas(Image& img, float unitsW, float unitsH)
    : Img(img), UW(unitsW), UH(unitsH), Sx(img.W / unitsW), Sy(img.H / unitsH) {
  Aa = std::max(1 / Sx, 1 / Sy);
}

void Canvas::Fill(const Box& box, const Sdf& sdf, const Paint& paint, float feather) const {
  int x0 = std::max(0, static_cast<int>(std::floor(box.u0 * Sx)));
  int x1 = std::min(Img.W - 1, static_cast<int>(std::ceil(box.u1 * Sx)));
  int y0 = std::max(0, static_cast<int>(std::floor(box.v0 * Sy)));
  int y1 = std::min(Img.H - 1, static_cast<int>(std::ceil(box.v1 * Sy)));
  float w = Aa + feather;
  for (int y = y0; y <= y1; ++y) {
    float v = (y + 0.5f) / Sy;
    for (int x = x0; x <= x1; ++x) {
      float u = (x + 0.5f) / Sx;
      float d = sdf(u, v);
      if (d > w * 0.5f) continue;
      float cov = Clamp01(0.5f - d / w);
      Img.Blend(x, y, paint(u, v), cov);
    }
  }
}

void Canvas::Fill(const Box& box, const Sdf& sdf, const RGBA& c, float feather) const {
  Fill(box, sdf, [&](float, float) { return c; }, feather);
}

void Canvas::FillAll(const Paint& paint) const {
  for (int y = 0; y < Img.H; ++y)
    for (int x = 0; x < Img.W; ++x) {
      RGBA c = paint((x + 0.5f) / Sx, (y + 0.5f) / Sy);
      Img.At(x, y) = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    }
}

// ---- Distance functions -------------------------------------------------------------
float SdRoundBox(float u, float v, float cu, float cv, float hw, float hh, float r) {
  float qx = std::fabs(u - cu) - hw + r, qy = std::fabs(v - cv) - hh + r;
  float ox = std::max(qx, 0.f), oy = std::max(qy, 0.f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.f) - r;
}

float SdCircle(float u, float v, float cu, float cv, float r) {
  return std::hypot(u - cu, v - cv) - r;
}

float SdSegment(float u, float v, float au, float av, float bu, float bv, float r) {
  float pu = u - au, pv = v - av, du = bu - au, dv = bv - av;
  float len2 = du * du + dv * dv;
  float h = len2 > 0 ? Clamp01((pu * du + pv * dv) / len2) : 0;
  return std::hypot(pu - du * h, pv - dv * h) - r;
}

float SdPolygon(float u, float v, const std::vector<std::pair<float, float>>& pts) {
  size_t n = pts.size();
  float d = 1e9f, s = 1;
  for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
    float ex = pts[j].first - pts[i].first, ey = pts[j].second - pts[i].second;
    float wx = u - pts[i].first, wy = v - pts[i].second;
    float h = Clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
    float bx = wx - ex * h, by = wy - ey * h;
    d = std::min(d, bx * bx + by * by);
    bool c1 = v >= pts[i].second, c2 = v < pts[j].second, c3 = ex * wy > ey * wx;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
  }
  return s * std::sqrt(d);
}

std::vector<std::pair<float, float>> RegularPolygon(float cu, float cv, float r, int n, float rot) {
  std::vector<std::pair<float, float>> p;
  for (int i = 0; i < n; ++i) {
    float a = rot + 6.2831853f * i / n;
    p.push_back({cu + r * std::sin(a), cv - r * std::cos(a)});
  }
  return p;
}

float SdStar(float u, float v, float cu, float cv, float r, int points, float inner, float rot) {
  std::vector<std::pair<float, float>> p;
  for (int i = 0; i < points * 2; ++i) {
    float a = rot + 3.14159265f * i / points;
    float rr = (i % 2 == 0) ? r : r * inner;
    p.push_back({cu + rr * std::sin(a), cv - rr * std::cos(a)});
  }
  return SdPolygon(u, v, p);
}

float SdHeart(float u, float v, float cu, float cv, float size) {
  // Built for a heart of height about 1 with its tip at the origin, y up.
  float px = std::fabs(u - cu) / size, py = (cv - v) / size + 0.55f;
  auto dot2 = [](float x, float y) { return x * x + y * y; };
  float d;
  if (py + px > 1.0f) {
    d = std::sqrt(dot2(px - 0.25f, py - 0.75f)) - 0.35355339f;
  } else {
    float m = 0.5f * std::max(px + py, 0.f);
    d = std::sqrt(std::min(dot2(px, py - 1.0f), dot2(px - m, py - m))) * (px - py > 0 ? 1 : -1);
  }
  return d * size;
}

Box BoxAround(float cu, float cv, float hw, float hh, float pad) {
  return {cu - hw - pad, cv - hh - pad, cu + hw + pad, cv + hh + pad};
}

// ---- Blur, shadows and glows ---------------------------------------------------------------
static void BoxPass(std::vector<RGBA>& px, int w, int h, int r, bool horizontal) {
  std::vector<RGBA> line(static_cast<size_t>(horizontal ? w : h));
  int n = horizontal ? w : h, lines = horizontal ? h : w;
  float inv = 1.f / (2 * r + 1);
  for (int l = 0; l < lines; ++l) {
    auto at = [&](int i) -> RGBA& {
      i = std::clamp(i, 0, n - 1);
      return horizontal ? px[static_cast<size_t>(l) * w + i] : px[static_cast<size_t>(i) * w + l];
    };
    RGBA acc{0, 0, 0, 0};
    for (int i = -r; i <= r; ++i) {
      RGBA& p = at(i);
      acc.r += p.r; acc.g += p.g; acc.b += p.b; acc.a += p.a;
    }
    for (int i = 0; i < n; ++i) {
      line[i] = {acc.r * inv, acc.g * inv, acc.b * inv, acc.a * inv};
      RGBA& add = at(i + r + 1);
      RGBA& sub = at(i - r);
      acc.r += add.r - sub.r; acc.g += add.g - sub.g; acc.b += add.b - sub.b; acc.a += add.a - sub.a;
    }
    for (int i = 0; i < n; ++i) at(i) = line[i];
  }
}

void Blur(Image& img, int r) {
  if (r < 1) return;
  int rr = std::max(1, r / 2);
  for (int pass = 0; pass < 3; ++pass) {
    BoxPass(img.Px, img.W, img.H, rr, true);
    BoxPass(img.Px, img.W, img.H, rr, false);
  }
}

// Blurs only the region that can hold the shape, to keep big pictures fast.
static void LayerUnder(Canvas& c, const Box& box, const Sdf& sdf, const RGBA& col, float blurUnits,
                       float du, float dv) {
  float pad = blurUnits * 2 + std::fabs(du) + std::fabs(dv) + 0.05f;
  int x0 = std::max(0, static_cast<int>((box.u0 - pad) * c.Sx));
  int y0 = std::max(0, static_cast<int>((box.v0 - pad) * c.Sy));
  int x1 = std::min(c.Img.W, static_cast<int>((box.u1 + pad) * c.Sx) + 1);
  int y1 = std::min(c.Img.H, static_cast<int>((box.v1 + pad) * c.Sy) + 1);
  if (x1 <= x0 || y1 <= y0) return;
  Image layer(x1 - x0, y1 - y0);
  Canvas lc(layer, layer.W / c.Sx, layer.H / c.Sy);
  float ou = x0 / c.Sx - du, ov = y0 / c.Sy - dv;
  lc.Fill({0, 0, lc.UW, lc.UH}, [&](float u, float v) { return sdf(u + ou, v + ov); }, col);
  Blur(layer, static_cast<int>(blurUnits * std::min(c.Sx, c.Sy)));
  for (int y = 0; y < layer.H; ++y)
    for (int x = 0; x < layer.W; ++x) {
      const RGBA& s = layer.At(x, y);
      if (s.a <= 0) continue;
      RGBA& d = c.Img.At(x0 + x, y0 + y);
      float k = 1 - s.a;
      d.r = s.r + d.r * k; d.g = s.g + d.g * k; d.b = s.b + d.b * k; d.a = s.a + d.a * k;
    }
}

void Shadow(Canvas& c, const Box& box, const Sdf& sdf, const RGBA& col, float blurUnits, float du,
            float dv) {
  LayerUnder(c, box, sdf, col, blurUnits, du, dv);
}

void Glow(Canvas& c, const Box& box, const Sdf& sdf, const RGBA& col, float blurUnits) {
  LayerUnder(c, box, sdf, col, blurUnits, 0, 0);
}

// ---- Text ------------------------------------------------------------------------------------
std::string FacePath(Face f) {
  const std::string dir = "/usr/share/fonts/truetype/dejavu/";
  switch (f) {
    case Face::Sans: return dir + "DejaVuSans.ttf";
    case Face::SansBold: return dir + "DejaVuSans-Bold.ttf";
    case Face::SansCond: return dir + "DejaVuSansCondensed.ttf";
    case Face::SansCondBold: return dir + "DejaVuSansCondensed-Bold.ttf";
    case Face::Serif: return dir + "DejaVuSerif.ttf";
    case Face::SerifBold: return dir + "DejaVuSerif-Bold.ttf";
    case Face::SerifItalic: return dir + "DejaVuSerif-Italic.ttf";
    case Face::Mono: return dir + "DejaVuSansMono-Bold.ttf";
  }
  return dir + "DejaVuSans.ttf";
}

namespace {
// FreeType objects are not shared between threads: each thread keeps its own.
struct FtThread {
  FT_Library lib = nullptr;
  std::map<Face, FT_Face> faces;
  FtThread() {
    if (FT_Init_FreeType(&lib)) throw std::runtime_error("FreeType did not start");
  }
  ~FtThread() {
    for (auto& f : faces) FT_Done_Face(f.second);
    FT_Done_FreeType(lib);
  }
  FT_Face Get(Face f) {
    auto it = faces.find(f);
    if (it != faces.end()) return it->second;
    FT_Face face = nullptr;
    std::string path = FacePath(f);
    if (FT_New_Face(lib, path.c_str(), 0, &face))
      throw std::runtime_error("cannot open font " + path);
    faces[f] = face;
    return face;
  }
};
FtThread& Ft() {
  thread_local FtThread ft;
  return ft;
}

std::u32string Utf32(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    int n;
    if (c < 0x80) { cp = c; n = 1; }
    else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
    else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
    else { cp = c & 0x07; n = 4; }
    for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    out.push_back(cp);
    i += n;
  }
  return out;
}

FT_Face Sized(const Canvas& c, const TextStyle& st) {
  FT_Face face = Ft().Get(st.face);
  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(st.size * c.Sx * 64),
                   static_cast<FT_F26Dot6>(st.size * c.Sy * 64), 72, 72);
  return face;
}

float Advance(const Canvas& c, FT_Face face, const std::u32string& text, const TextStyle& st) {
  float w = 0;
  FT_UInt prev = 0;
  for (char32_t ch : text) {
    FT_UInt gi = FT_Get_Char_Index(face, ch);
    if (prev && gi) {
      FT_Vector k;
      if (!FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k)) w += k.x / 64.f / c.Sx;
    }
    if (FT_Load_Glyph(face, gi, FT_LOAD_DEFAULT)) continue;
    w += face->glyph->advance.x / 64.f / c.Sx + st.tracking;
    prev = gi;
  }
  return w - (text.empty() ? 0 : st.tracking);
}

float RenderInto(Canvas& c, Image& target, const std::string& utf8, float u, float v,
                 const TextStyle& st) {
  FT_Face face = Sized(c, st);
  std::u32string text = Utf32(utf8);
  float w = Advance(c, face, text, st);
  float pen = u;
  if (st.align == Align::Centre) pen = u - w / 2;
  if (st.align == Align::Right) pen = u - w;
  float penPx = pen * c.Sx;
  int basePx = static_cast<int>(std::lround(v * c.Sy));
  FT_UInt prev = 0;
  RGBA col = st.colour;
  for (char32_t ch : text) {
    FT_UInt gi = FT_Get_Char_Index(face, ch);
    if (prev && gi) {
      FT_Vector k;
      if (!FT_Get_Kerning(face, prev, gi, FT_KERNING_DEFAULT, &k)) penPx += k.x / 64.f;
    }
    if (FT_Load_Glyph(face, gi, FT_LOAD_DEFAULT)) continue;
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    const FT_Bitmap& bm = face->glyph->bitmap;
    int ox = static_cast<int>(std::lround(penPx)) + face->glyph->bitmap_left;
    int oy = basePx - face->glyph->bitmap_top;
    for (unsigned y = 0; y < bm.rows; ++y)
      for (unsigned x = 0; x < bm.width; ++x) {
        float cov = bm.buffer[y * bm.pitch + x] / 255.f;
        if (cov > 0) target.Blend(ox + static_cast<int>(x), oy + static_cast<int>(y), col, cov);
      }
    penPx += face->glyph->advance.x / 64.f + st.tracking * c.Sx;
    prev = gi;
  }
  return w;
}
}  // namespace

float DrawText(Canvas& c, const std::string& utf8, float u, float v, const TextStyle& st) {
  return RenderInto(c, c.Img, utf8, u, v, st);
}

float MeasureText(const Canvas& c, const std::string& utf8, const TextStyle& st) {
  FT_Face face = Sized(c, st);
  return Advance(c, face, Utf32(utf8), st);
}

Image TextLayer(Canvas& c, const std::string& utf8, float u, float v, const TextStyle& st) {
  Image layer(c.Img.W, c.Img.H);
  RenderInto(c, layer, utf8, u, v, st);
  return layer;
}

std::vector<std::string> WrapParagraph(const Canvas& c, const std::string& utf8, float width,
                                       const TextStyle& st) {
  std::vector<std::string> words;
  std::string cur;
  for (char ch : utf8) {
    if (ch == ' ') {
      if (!cur.empty()) words.push_back(cur);
      cur.clear();
    } else {
      cur += ch;
    }
  }
  if (!cur.empty()) words.push_back(cur);
  std::vector<std::string> lines;
  std::string line;
  for (const std::string& word : words) {
    std::string trial = line.empty() ? word : line + " " + word;
    if (!line.empty() && MeasureText(c, trial, st) > width) {
      lines.push_back(line);
      line = word;
    } else {
      line = trial;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

float DrawParagraph(Canvas& c, const std::string& utf8, float u, float v, float width,
                    const TextStyle& st, float lineGap) {
  for (const std::string& line : WrapParagraph(c, utf8, width, st)) {
    DrawText(c, line, u, v, st);
    v += st.size * lineGap;
  }
  return v;
}

void DrawTextShadowed(Canvas& c, const std::string& utf8, float u, float v, const TextStyle& st,
                      const RGBA& shadow, float blurUnits, float du, float dv) {
  TextStyle sh = st;
  sh.colour = shadow;
  Image layer = TextLayer(c, utf8, u + du, v + dv, sh);
  Blur(layer, static_cast<int>(blurUnits * std::min(c.Sx, c.Sy)));
  c.Img.Over(layer);
  DrawText(c, utf8, u, v, st);
}

// ---- Files ------------------------------------------------------------------------------------
void MakeDirs(const std::string& path) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
}

static std::vector<unsigned char> Bytes(const Image& img, int channels, const RGBA& matte) {
  std::vector<unsigned char> out(static_cast<size_t>(img.W) * img.H * channels);
  for (size_t i = 0; i < img.Px.size(); ++i) {
    RGBA p = img.Px[i];
    float r, g, b, a = Clamp01(p.a);
    if (channels == 4) {
      r = a > 0 ? p.r / a : 0; g = a > 0 ? p.g / a : 0; b = a > 0 ? p.b / a : 0;
    } else {  // flatten onto the matte
      r = p.r + matte.r * (1 - a); g = p.g + matte.g * (1 - a); b = p.b + matte.b * (1 - a);
    }
    auto q = [](float x) { return static_cast<unsigned char>(std::lround(Clamp01(x) * 255)); };
    out[i * channels + 0] = q(r);
    out[i * channels + 1] = q(g);
    out[i * channels + 2] = q(b);
    if (channels == 4) out[i * channels + 3] = q(a);
  }
  return out;
}

// Uncompressed 32-bit TGA stored top row first (origin bit set): every
// reader we know honours the bit, while bottom-up files are read upside down
// by some viewers.
void SaveTga(const std::string& path, const Image& img) {
  MakeDirs(path);
  auto rgba = Bytes(img, 4, {0, 0, 0, 1});
  std::vector<unsigned char> file(18 + rgba.size());
  file[2] = 2;  // uncompressed true colour
  file[12] = static_cast<unsigned char>(img.W & 0xFF);
  file[13] = static_cast<unsigned char>(img.W >> 8);
  file[14] = static_cast<unsigned char>(img.H & 0xFF);
  file[15] = static_cast<unsigned char>(img.H >> 8);
  file[16] = 32;
  file[17] = 0x28;  // 8 alpha bits, top-left origin
  for (size_t i = 0; i < rgba.size(); i += 4) {
    file[18 + i + 0] = rgba[i + 2];
    file[18 + i + 1] = rgba[i + 1];
    file[18 + i + 2] = rgba[i + 0];
    file[18 + i + 3] = rgba[i + 3];
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(file.data(), 1, file.size(), f) == file.size();
  if (f) ok = (std::fclose(f) == 0) && ok;
  if (!ok) throw std::runtime_error("cannot write " + path);
}

void SaveJpg(const std::string& path, const Image& img, int quality) {
  MakeDirs(path);
  auto bytes = Bytes(img, 3, {0, 0, 0, 1});
  if (!stbi_write_jpg(path.c_str(), img.W, img.H, 3, bytes.data(), quality))
    throw std::runtime_error("cannot write " + path);
}

void SavePng(const std::string& path, const Image& img) {
  MakeDirs(path);
  auto bytes = Bytes(img, 4, {0, 0, 0, 1});
  if (!stbi_write_png(path.c_str(), img.W, img.H, 4, bytes.data(), img.W * 4))
    throw std::runtime_error("cannot write " + path);
}

}  // namespace ag
