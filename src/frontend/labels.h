// Floating text labels: points and words that rise from the board and fade
// out. A fixed list of 20 slots; the 21st label is dropped. The drawing is
// DrawScoreLabels in frontend/fonts.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/d3d8/d3d8.h"

struct TScoreLabel {
  D3DVECTOR Position{};  // world units; z is always 1
  D3DVECTOR Velocity{};  // world units per ms
  D3DVECTOR Damping{};   // velocity change factors per ms
  float Alpha = 255;     // removed below 25
  std::uint8_t Font = 1;    // 1..2
  std::uint8_t Colour = 1;  // 1..7
  std::int32_t Size = 0;    // as for DrawText3D
  std::string Text;
};

constexpr int MaxScoreLabels = 20;
extern std::array<TScoreLabel, MaxScoreLabels + 1> ScoreLabels;  // [1..ScoreLabelCount] live, oldest first
extern std::uint8_t ScoreLabelCount;

// Starts a label at (x, y) of Position, at height 1 whatever Position.z says.
void AddScoreLabel(const D3DVECTOR& Position, std::uint8_t Font, std::uint8_t Colour, std::int32_t Size,
                   const std::string& Text);
// The label's text box at the start of its life and where its motion takes
// it before it fades out, for placing it: text runs from X towards -x.
struct TLabelSpan {
  float Width = 0, Height = 0;  // world units
  float DriftX = 0, DriftY = 0;  // how far the motion carries it, world units
};
TLabelSpan LabelSpan(std::uint8_t Font, std::uint8_t Colour, std::int32_t Size, const std::string& Text);
// Where a label over the board starts: centred on (CentreX, CentreY), then
// moved inward just enough that its whole box stays over the board (as the
// camera at rest sees it) all along its path.
D3DVECTOR BoardLabelStart(float CentreX, float CentreY, const TLabelSpan& Span);
// AddScoreLabel at BoardLabelStart.
void AddBoardLabel(float CentreX, float CentreY, std::uint8_t Font, std::uint8_t Colour, std::int32_t Size,
                   const std::string& Text);
// Moves and fades every label by DeltaMs; drops those faded below alpha 25.
void UpdateScoreLabels(float DeltaMs);
// Removes slot Index (1..count); the later labels keep their order.
void RemoveScoreLabel(std::uint8_t Index);
// Empties the list (a new game, tests).
void ClearScoreLabels();
