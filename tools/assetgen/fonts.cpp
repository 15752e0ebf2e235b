// The two bitmap fonts: data/font.tga + font.dat (words) and data/font1.tga +
// font1.dat (numbers and points), 51 glyphs each in the game's order:
// 0-9, A-Z, : , ! < > ' - . + / | = ? @ $.
//
// The game draws every glyph 40 font pixels high and as wide as its metrics
// say. The texture keeps more detail than that: each row is 64 texture pixels
// high for 40 font pixels, while one texture pixel across is one font pixel.
// So glyphs are rendered 1.6 times taller than wide, and the quad the game
// draws squeezes them back to their true shape. Glyphs are white with a dark
// outline in the alpha channel, so the text colours tint them and they stay
// readable on any background.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "assetgen.h"
#include "raster.h"

namespace ag {

namespace {

constexpr int TexW = 512, TexH = 256, Rows = 4;
constexpr float RowPx = 64.f / 40.f;  // texture pixels per font pixel, vertically
const std::string GlyphOrder = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ:,!<>'-.+/|=?@$";

struct FontSpec {
  std::string Name;   // file name without extension
  Face Typeface;
  float Em;           // em size in font pixels
  float Baseline;     // baseline, font pixels from the row's top
  int Outline;        // outline radius, font pixels
};

struct Glyph {
  std::vector<float> Cov;  // coverage, w x h texture pixels
  int W = 0, H = 0, Left = 0, Top = 0;
  int Advance = 0;         // font pixels
};

Glyph RenderGlyph(FT_Face face, char ch) {
  Glyph g;
  if (FT_Load_Char(face, static_cast<FT_ULong>(ch), FT_LOAD_RENDER))
    throw std::runtime_error(std::string("no glyph for ") + ch);
  const FT_Bitmap& bm = face->glyph->bitmap;
  g.W = static_cast<int>(bm.width);
  g.H = static_cast<int>(bm.rows);
  g.Left = face->glyph->bitmap_left;
  g.Top = face->glyph->bitmap_top;
  g.Advance = static_cast<int>(std::lround(face->glyph->advance.x / 64.0));
  g.Cov.resize(static_cast<size_t>(g.W) * g.H);
  for (int y = 0; y < g.H; ++y)
    for (int x = 0; x < g.W; ++x) g.Cov[y * g.W + x] = bm.buffer[y * bm.pitch + x] / 255.f;
  return g;
}

void MakeFont(const Context& ctx, const FontSpec& fontDef) {
  FT_Library lib;
  if (FT_Init_FreeType(&lib)) throw std::runtime_error("FreeType did not start");
  FT_Face face;
  if (FT_New_Face(lib, FacePath(fontDef.Typeface).c_str(), 0, &face))
    throw std::runtime_error("cannot open " + FacePath(fontDef.Typeface));
  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(fontDef.Em * 64),
                   static_cast<FT_F26Dot6>(fontDef.Em * RowPx * 64), 72, 72);

  // Coverage of the whole atlas first, outlines added afterwards.
  std::vector<float> cov(static_cast<size_t>(TexW) * TexH, 0.f);
  std::vector<std::vector<int>> borders(Rows, std::vector<int>{0});
  int row = 0, x = 0;
  // Room for the outline and its soft edge on both sides of the ink.
  const int pad = fontDef.Outline + 2;
  for (char ch : GlyphOrder) {
    Glyph g = RenderGlyph(face, ch);
    // The cell spans the pen's advance and any ink outside it (a J's hook).
    int cellL = std::min(0, g.Left), cellR = std::max(g.Advance, g.Left + g.W);
    int cell = cellR - cellL + 2 * pad;
    if (x + cell > TexW) {
      if (++row >= Rows) throw std::runtime_error(fontDef.Name + ": glyphs do not fit");
      x = 0;
    }
    int ox = x + pad - cellL + g.Left;
    int baseline = static_cast<int>(std::lround((row * 40 + fontDef.Baseline) * RowPx));
    int oy = baseline - g.Top;
    for (int yy = 0; yy < g.H; ++yy)
      for (int xx = 0; xx < g.W; ++xx) {
        int px = ox + xx, py = oy + yy;
        if (px < 0 || px >= TexW || py < row * 64 || py >= (row + 1) * 64) continue;
        float& dst = cov[py * TexW + px];
        dst = std::max(dst, g.Cov[yy * g.W + xx]);
      }
    x += cell;
    borders[row].push_back(x);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);

  // Outline: the coverage dilated by an ellipse that is round in font pixels,
  // kept within each row so rows never bleed into each other.
  Image img(TexW, TexH);
  const float rx = static_cast<float>(fontDef.Outline), ry = fontDef.Outline * RowPx;
  for (int y = 0; y < TexH; ++y) {
    int r = y / 64;
    for (int xx = 0; xx < TexW; ++xx) {
      float c = cov[y * TexW + xx];
      float o = 0;
      for (int dy = -static_cast<int>(std::ceil(ry)); dy <= static_cast<int>(std::ceil(ry)); ++dy) {
        int sy = y + dy;
        if (sy < r * 64 || sy >= (r + 1) * 64) continue;
        for (int dx = -fontDef.Outline - 1; dx <= fontDef.Outline + 1; ++dx) {
          int sx = xx + dx;
          if (sx < 0 || sx >= TexW) continue;
          float d = std::sqrt((dx / rx) * (dx / rx) + (dy / ry) * (dy / ry));
          float w = Clamp01(1.5f - d);  // soft edge of the ellipse
          o = std::max(o, cov[sy * TexW + sx] * w);
        }
      }
      float a = c + o * 0.85f * (1 - c);
      // Premultiplied: white glyph over a near-black outline.
      img.At(xx, y) = {c, c, c, a};
    }
  }
  SaveTga(ctx.Path("data/" + fontDef.Name + ".tga"), img);

  std::ofstream dat(ctx.Path("data/" + fontDef.Name + ".dat"), std::ios::binary);
  dat << "Voxarine bitmap font: texture width, then glyph rows (borders in pixels)\n";
  dat << TexW << "\n";
  dat << "glyph rows, 40 font pixels each; glyphs 0-9 A-Z : , ! < > ' - . + / | = ? @ $\n";
  dat << Rows << "\n";
  for (int r = 0; r < Rows; ++r) {
    for (size_t i = 0; i < borders[r].size(); ++i) dat << (i ? " " : "") << borders[r][i];
    dat << "\n";
  }
  if (!dat) throw std::runtime_error("cannot write " + fontDef.Name + ".dat");
}

}  // namespace

void AddFontJobs(std::vector<Job>& jobs) {
  jobs.push_back({"font", 2, [](const Context& c) {
    MakeFont(c, {"font", Face::SansBold, 32.f, 29.f, 2});
  }});
  jobs.push_back({"font1", 2, [](const Context& c) {
    MakeFont(c, {"font1", Face::SerifBold, 32.f, 29.f, 2});
  }});
}

}  // namespace ag
