// 3D text in the game's two bitmap fonts: glyph quads in world space, read
// right to left along -x (world x grows to the left on screen), and the
// drawing of the floating score labels (the list itself is in labels.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/d3d8/d3d8.h"

constexpr int FontCount = 2;
constexpr int MaxGlyphs = 100;
constexpr int GlyphHeight = 40;     // font pixels
constexpr int SpaceAdvance = 22;    // font pixels
constexpr int GlyphSpace = 101;     // advance only
constexpr int GlyphSkipped = 102;   // neither drawn nor advanced

struct TGlyph {
  float LeftU = 0, BottomV = 0, RightU = 0, TopV = 0;
};

struct TFont {
  IDirect3DTexture8* Texture = nullptr;
  std::array<TGlyph, MaxGlyphs + 1> Glyphs{};        // [1..100]
  std::array<std::int32_t, MaxGlyphs + 2> Widths{};  // [1..101], font pixels
  std::int32_t GlyphCount = 0;                       // glyphs the metrics file defined
};
extern std::array<TFont, FontCount + 1> Fonts;  // [1..2]

// Colour number 1..7 → red, green, blue (0..255).
extern const std::array<std::array<float, 3>, 8> TextPalette;

// "data\font.dat"/"data\font.tga" (font 1) and "data\font1.dat"/"data\font1.tga" (font 2).
void LoadFontTextures();
// A missing or malformed metrics file raises EInOutError naming it and the line.
void LoadFontMetrics();
void FreeFontTextures();

// Glyph number of a character (upper-cased first): 1..51, GlyphSpace or GlyphSkipped.
int GlyphNumber(char C);

// Draws Text from world (X, Y, Z) towards -x at Size × 0.001 world units per
// font pixel; returns where the pen stopped. Font 1..2, Colour 1..7 and
// Alpha 0..255 are clamped into range.
float DrawText3D(int Font, int Colour, int Size, float X, float Y, const std::string& Text, float Z, int Alpha);
// Writes glyph G of Font into quad A of the shared vertex buffer.
void DrawGlyphQuad(int G, int Font, D3DCOLOR Color);
// Draws every live floating label.
void DrawScoreLabels();
