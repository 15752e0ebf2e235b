// The floating-label list: add, move and fade, remove.
#include "frontend/labels.h"

std::array<TScoreLabel, MaxScoreLabels + 1> ScoreLabels{};
std::uint8_t ScoreLabelCount = 0;

namespace {
constexpr float FadePerMs = 0.1f;
constexpr float MinAlpha = 25;  // 255 - 25 at 0.1 per ms: a label lives 2.3 s
}  // namespace

void AddScoreLabel(const D3DVECTOR& Position, std::uint8_t Font, std::uint8_t Colour, std::int32_t Size,
                   const std::string& Text) {
  if (ScoreLabelCount >= MaxScoreLabels) return;
  ++ScoreLabelCount;
  TScoreLabel& label = ScoreLabels[ScoreLabelCount];
  label.Position = {Position.x, Position.y, 1.0f};
  // Words (font 1) rise straight up, the quiet colour 3 ten times slower;
  // numbers (font 2) drift up and to the side and fall back.
  if (Font == 1 && Colour == 3) {
    label.Velocity = {0, 0.0005f, 0};
    label.Damping = {0, -0.0005f, 0};
  } else if (Font == 1) {
    label.Velocity = {0, 0.005f, 0};
    label.Damping = {0, -0.001f, 0};
  } else {
    label.Velocity = {-0.001f, 0.001f, 0};
    label.Damping = {0, -0.006f, 0};
  }
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
