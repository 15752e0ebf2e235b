// Bitmap fonts: metrics files, glyph textures and the glyph-by-glyph text
// drawing into quad A; the floating labels' drawing.
#include "frontend/fonts.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string_view>

#include "frontend/labels.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/d3dx/image_io.h"
#include "platform/win32/io_error.h"
#include "platform/win32/text_reader.h"
#include "shell/math/d3dmath.h"
#include "shell/scene.h"

std::array<TFont, FontCount + 1> Fonts;

const std::array<std::array<float, 3>, 8> TextPalette = {{
    {0, 0, 0},  // unused
    {115, 0, 153},
    {255, 255, 255},
    {255, 255, 255},
    {255, 255, 255},
    {0, 255, 255},
    {255, 0, 0},
    {0, 0, 0},
}};

namespace {

const char* const MetricsFiles[FontCount + 1] = {"", "data\\font.dat", "data\\font1.dat"};
const char* const TextureFiles[FontCount + 1] = {"", "data\\font.tga", "data\\font1.tga"};

// The punctuation after the letters, glyphs 37.. in this order.
constexpr std::string_view Punctuation = ":,!<>'-.+/|=?@$";

// A row's glyph borders end with its line: true when only blanks remain on it.
bool RestOfLineEmpty(const std::string& rest) {
  return rest.find_first_not_of(" \t") == std::string::npos;
}

void ReadMetrics(TFont& font, const std::string& fileName) {
  TTextReader reader(fileName);
  reader.NextLine();
  const std::int64_t width = reader.ReadInt();
  reader.NextLine();
  const std::int64_t rows = reader.ReadInt();
  if (width <= 0 || width > MaxImageSide)
    reader.FailField("the texture width must be 1.." + std::to_string(MaxImageSide));
  if (rows <= 0 || rows > MaxGlyphs) reader.FailField("the number of glyph rows must lie in 1..100");

  const float rowStep = 1.0f / static_cast<float>(rows);
  float v = 0;
  int g = 1;
  for (std::int64_t r = 0; r < rows; ++r) {
    // Each row is one line of blank-separated x positions; the line's end ends the row.
    if (reader.AtEnd()) reader.Fail("a row of glyph borders is missing");
    const int line = reader.Line();
    const std::string text = reader.ReadLine();
    std::size_t pos = 0;
    bool first = true;
    long prev = 0;
    while (true) {
      pos = text.find_first_not_of(" \t\r", pos);
      if (pos == std::string::npos) break;
      std::size_t used = 0;
      long x = 0;
      try {
        x = std::stol(text.substr(pos), &used);
      } catch (const std::exception&) {
        throw EInOutError(fileName, line, "a glyph border is not a number");
      }
      pos += used;
      // Borders run left to right inside the picture; anything else would
      // give glyphs of negative or overflowing width.
      if (x < 0 || x > width) throw EInOutError(fileName, line, "a glyph border lies outside the picture's width");
      if (!first && x <= prev) throw EInOutError(fileName, line, "glyph borders must increase along a row");
      if (!first) {
        if (g > MaxGlyphs) throw EInOutError(fileName, line, "more than 100 glyphs");
        font.Glyphs[g] = TGlyph{static_cast<float>(prev) / static_cast<float>(width), v + rowStep,
                                static_cast<float>(x) / static_cast<float>(width), v};
        font.Widths[g] = static_cast<std::int32_t>(x - prev);
        ++g;
      }
      first = false;
      prev = x;
      if (RestOfLineEmpty(text.substr(pos))) break;
    }
    v += rowStep;
  }
  font.GlyphCount = g - 1;
}

}  // namespace

void LoadFontTextures() {
  for (int f = 1; f <= FontCount; ++f) {
    SafeRelease(Fonts[f].Texture);
    if (!D3DDevice) continue;
    // Text is drawn at about its pixel size: linear filtering, no mip levels used.
    D3DXCreateTextureFromFileExA(D3DDevice, TextureFiles[f], 0, 0, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                 D3DX_FILTER_LINEAR, D3DX_FILTER_NONE, 0, nullptr, nullptr, &Fonts[f].Texture);
  }
}

void LoadFontMetrics() {
  for (int f = 1; f <= FontCount; ++f) ReadMetrics(Fonts[f], MetricsFiles[f]);
}

void FreeFontTextures() {
  for (int f = 1; f <= FontCount; ++f) SafeRelease(Fonts[f].Texture);
}

int GlyphNumber(char C) {
  const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  if (c >= '0' && c <= '9') return c - '0' + 1;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 11;
  if (c == ' ') return GlyphSpace;
  const std::size_t p = Punctuation.find(c);
  if (c != '\0' && p != std::string_view::npos) return 37 + static_cast<int>(p);
  return GlyphSkipped;
}

void DrawGlyphQuad(int G, int Font, D3DCOLOR Color) {
  if (!VertexBuffer || G < 1 || G > MaxGlyphs || Font < 1 || Font > FontCount) return;
  BYTE* data = nullptr;
  if (FAILED(VertexBuffer->Lock(0, 6 * sizeof(TSceneVertex), &data, 0))) return;
  const TGlyph& glyph = Fonts[Font].Glyphs[G];
  // The glyph's left edge sits at x = 0 and its right edge at x = -1: text reads along -x.
  const float corners[6][4] = {{0, -0.5f, glyph.LeftU, glyph.BottomV},  {-1, -0.5f, glyph.RightU, glyph.BottomV},
                               {0, 0.5f, glyph.LeftU, glyph.TopV},      {0, 0.5f, glyph.LeftU, glyph.TopV},
                               {-1, -0.5f, glyph.RightU, glyph.BottomV}, {-1, 0.5f, glyph.RightU, glyph.TopV}};
  TSceneVertex* out = reinterpret_cast<TSceneVertex*>(data);
  for (const auto& c : corners) *out++ = TSceneVertex{c[0], c[1], 0, 0, 0, 1, Color, c[2], c[3]};
  VertexBuffer->Unlock();
}

float DrawText3D(int Font, int Colour, int Size, float X, float Y, const std::string& Text, float Z, int Alpha) {
  if (!D3DDevice) return X;
  Font = std::clamp(Font, 1, FontCount);
  Colour = std::clamp(Colour, 1, 7);
  Alpha = std::clamp(Alpha, 0, 255);
  IDirect3DDevice8* d = D3DDevice;
  const float s = static_cast<float>(Size) * 0.001f;

  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d->SetRenderState(D3DRS_LIGHTING, FALSE);

  D3DMATRIX pen = MatrixTranslation(D3DVECTOR{X, Y, Z});
  d->SetTexture(0, Fonts[Font].Texture);
  const auto& rgb = TextPalette[Colour];
  const D3DCOLOR colour = ColorARGB(Alpha, static_cast<int>(rgb[0]), static_cast<int>(rgb[1]), static_cast<int>(rgb[2]));
  for (char c : Text) {
    const int g = GlyphNumber(c);
    if (g == GlyphSpace) {
      pen._41 -= SpaceAdvance * s;
    } else if (g != GlyphSkipped && g <= Fonts[Font].GlyphCount) {
      DrawGlyphQuad(g, Font, colour);
      const float w = static_cast<float>(Fonts[Font].Widths[g]) * s;
      const D3DMATRIX world = MatrixMultiply(pen, MatrixScaling(w, GlyphHeight * s, 1));
      d->SetTransform(D3DTS_WORLD, &world);
      d->DrawPrimitive(D3DPT_TRIANGLELIST, QuadAFirstVertex, QuadTriangles);
      pen._41 -= w;
    }
  }
  d->SetTexture(0, nullptr);
  d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  d->SetRenderState(D3DRS_LIGHTING, TRUE);
  return pen._41;
}

void DrawScoreLabels() {
  for (int i = 1; i <= ScoreLabelCount && i <= MaxScoreLabels; ++i) {
    const TScoreLabel& label = ScoreLabels[i];
    DrawText3D(label.Font, label.Colour, label.Size, label.Position.x, label.Position.y, label.Text,
               label.Position.z, static_cast<int>(std::nearbyint(label.Alpha)));
  }
}
