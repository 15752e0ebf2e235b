// The headless player's choices: which cube to send where. A simple greedy
// player — complete squares and the bonus figure when it can, use items when
// they pay, otherwise move where a square is closest to forming.
#pragma once

#include <random>

#include "game/game.h"

struct TPlan {
  int Cube = 0;          // 0 = nothing to do
  int ToX = 0, ToY = 0;  // destination; 0 for a shot item (clicking it is the move)
};

TPlan ChoosePlan(const TGame& G, std::mt19937& Rng);
// Any selectable cube with at least one reachable cell.
bool AnyCubeMovable(const TGame& G);
// The cube to aim a shot at (the most common plain colour), 0 if none.
int ShotTarget(const TGame& G);
