// The floating-label list: add, move and fade, remove.
#include "frontend/labels.h"

#include <algorithm>
#include <cmath>

#include "frontend/fonts.h"

std::array<TScoreLabel, MaxScoreLabels + 1> ScoreLabels{};
std::uint8_t ScoreLabelCount = 0;

namespace {
constexpr float FadePerMs = 0.1f;
constexpr float MinAlpha = 25;  // 255 - 25 at 0.1 per ms: a label lives 2.3 s
constexpr float LifeMs = (255 - MinAlpha) / FadePerMs;

// Cells 1..9 of the board plane span -4.5..4.5; labels float at height 1,
// nearer the camera (at rest at height 12.7 over (-1.8, -0.25)), so the
// board's edges seen at that height lie a little further in.
constexpr float BoardHalf = 4.5f, ViewX = -1.8f, ViewY = -0.25f, EyeHeight = 12.7f, LabelHeight = 1;
constexpr float Perspective = (EyeHeight - LabelHeight) / EyeHeight;

void LabelMotion(std::uint8_t Font, std::uint8_t Colour, D3DVECTOR& Velocity, D3DVECTOR& Damping) {
  // Words (font 1) rise straight up, the quiet colour 3 ten times slower;
  // numbers (font 2) drift up and to the side and fall back.
  if (Font == 1 && Colour == 3) {
    Velocity = {0, 0.0005f, 0};
    Damping = {0, -0.0005f, 0};
  } else if (Font == 1) {
    Velocity = {0, 0.005f, 0};
    Damping = {0, -0.001f, 0};
  } else {
    Velocity = {-0.001f, 0.001f, 0};
    Damping = {0, -0.006f, 0};
  }
}

// Distance covered over a label's life by a speed that decays by Factor per ms.
float Drift(float Speed, float Factor) {
  if (Factor == 0) return Speed * LifeMs;
  return Speed * (std::exp(Factor * LifeMs) - 1) / Factor;
}

// Where Start (an edge of a span Low..High around it) may lie so that the
// span stays within Min..Max; a span too long is centred.
float Fit(float Start, float Low, float High, float Min, float Max) {
  const float lo = Min - Low, hi = Max - High;
  if (lo > hi) return (lo + hi) / 2;
  return std::clamp(Start, lo, hi);
}

float TextWidth(int Font, int Size, const std::string& Text) {
  Font = std::clamp(Font, 1, FontCount);
  const float s = static_cast<float>(Size) * 0.001f;
  float w = 0;
  for (char c : Text) {
    const int g = GlyphNumber(c);
    if (g == GlyphSpace)
      w += SpaceAdvance * s;
    else if (g != GlyphSkipped && g <= Fonts[Font].GlyphCount)
      w += static_cast<float>(Fonts[Font].Widths[g]) * s;
  }
  return w;
}
}  // namespace

TLabelSpan LabelSpan(std::uint8_t Font, std::uint8_t Colour, std::int32_t Size, const std::string& Text) {
  TLabelSpan span;
  span.Width = TextWidth(Font, Size, Text);
  span.Height = GlyphHeight * static_cast<float>(Size) * 0.001f;
  D3DVECTOR v, f;
  LabelMotion(Font, Colour, v, f);
  span.DriftX = Drift(v.x, f.x);
  span.DriftY = Drift(v.y, f.y);
  return span;
}

D3DVECTOR BoardLabelStart(float CentreX, float CentreY, const TLabelSpan& Span) {
  const float half = BoardHalf * Perspective;
  const float minX = ViewX + (-BoardHalf - ViewX) * Perspective, maxX = minX + 2 * half;
  const float minY = ViewY + (-BoardHalf - ViewY) * Perspective, maxY = minY + 2 * half;
  // The text covers X - Width..X at the start, the same moved by the drift at the end.
  const float x = Fit(CentreX + Span.Width / 2, std::min(0.0f, Span.DriftX) - Span.Width, std::max(0.0f, Span.DriftX),
                      minX, maxX);
  const float y = Fit(CentreY, std::min(0.0f, Span.DriftY) - Span.Height / 2,
                      std::max(0.0f, Span.DriftY) + Span.Height / 2, minY, maxY);
  return D3DVECTOR{x, y, LabelHeight};
}

void AddBoardLabel(float CentreX, float CentreY, std::uint8_t Font, std::uint8_t Colour, std::int32_t Size,
                   const std::string& Text) {
  AddScoreLabel(BoardLabelStart(CentreX, CentreY, LabelSpan(Font, Colour, Size, Text)), Font, Colour, Size, Text);
}

void AddScoreLabel(const D3DVECTOR& Position, std::uint8_t Font, std::uint8_t Colour, std::int32_t Size,
                   const std::string& Text) {
  if (ScoreLabelCount >= MaxScoreLabels) return;
  ++ScoreLabelCount;
  TScoreLabel& label = ScoreLabels[ScoreLabelCount];
  label.Position = {Position.x, Position.y, 1.0f};
  LabelMotion(Font, Colour, label.Velocity, label.Damping);
  label.Font = Font;
  label.Colour = Colour;
  label.Size = Size;
  label.Text = Text;
  label.Alpha = 255;
}

void UpdateScoreLabels(float DeltaMs) {
  int i = 1;
  while (i <= ScoreLabelCount) {
    TScoreLabel& label = ScoreLabels[i];
    label.Position.x += label.Velocity.x * DeltaMs;
    label.Position.y += label.Velocity.y * DeltaMs;
    label.Velocity.x += label.Velocity.x * label.Damping.x * DeltaMs;
    label.Velocity.y += label.Velocity.y * label.Damping.y * DeltaMs;
    label.Velocity.z += label.Velocity.z * label.Damping.z * DeltaMs;
    label.Alpha -= FadePerMs * DeltaMs;
    // The label that moves into slot i is left for the next call.
    if (label.Alpha < MinAlpha) RemoveScoreLabel(static_cast<std::uint8_t>(i));
    ++i;
  }
}

void RemoveScoreLabel(std::uint8_t Index) {
  if (Index < 1 || Index > ScoreLabelCount) return;
  for (int j = Index; j < ScoreLabelCount; ++j) ScoreLabels[j] = std::move(ScoreLabels[j + 1]);
  ScoreLabels[ScoreLabelCount] = TScoreLabel{};
  --ScoreLabelCount;
}

void ClearScoreLabels() {
  for (auto& label : ScoreLabels) label = TScoreLabel{};
  ScoreLabelCount = 0;
}
