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
// Moves and fades every label by DeltaMs; drops those faded below alpha 25.
void UpdateScoreLabels(float DeltaMs);
// Removes slot Index (1..count); the later labels keep their order.
void RemoveScoreLabel(std::uint8_t Index);
// Empties the list (a new game, tests).
void ClearScoreLabels();
