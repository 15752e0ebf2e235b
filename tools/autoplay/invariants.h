// The data-model invariants of a running game, checked from the outside: the
// free-cell list against the board, the state counts against the cubes, cube
// and board indexes, and the ranges of the counters. Header-only so that unit
// tests can check the same things after their scripted scenarios.
#pragma once

#include <cmath>
#include <sstream>
#include <string>

#include "game/game.h"

namespace autoplay {

// Returns an empty string when everything holds, else the first violation.
inline std::string CheckInvariants(const TGame& G) {
  std::ostringstream why;
  if (G.CubeCount < 0 || G.CubeCount > MaxCubes) {
    why << "CubeCount " << G.CubeCount << " outside 0..81";
    return why.str();
  }
  if (G.FreeCount < 0 || G.FreeCount > MaxCubes) {
    why << "FreeCount " << int(G.FreeCount) << " outside 0..81";
    return why.str();
  }
  if (G.Mode < 1 || G.Mode > 2) {
    why << "Mode " << int(G.Mode) << " is not 1 or 2";
    return why.str();
  }
  if (G.Level < 1 || G.Level > MaxLevels) {
    why << "Level " << G.Level << " outside 1..100";
    return why.str();
  }
  if (G.Selected < 0 || G.Selected > G.CubeCount) {
    why << "Selected " << G.Selected << " outside 0..CubeCount " << G.CubeCount;
    return why.str();
  }
  if (G.DotCount < 0 || G.DotCount > MaxCubes) {
    why << "DotCount " << G.DotCount << " outside 0..81";
    return why.str();
  }
  if (!(G.PendingScore >= 0) || !std::isfinite(G.Score)) {
    why << "score " << G.Score << " / pending " << G.PendingScore << " out of range";
    return why.str();
  }

  // Cubes: ranges, one cube per cell, state counts.
  int occupant[10][10] = {};
  TStateCounts counts{};
  for (int i = 1; i <= G.CubeCount; ++i) {
    const TCube& c = G.Cubes[i];
    if (c.X < 1 || c.X > 9 || c.Y < 1 || c.Y > 9) {
      why << "cube " << i << " stands on (" << int(c.X) << ", " << int(c.Y) << ")";
      return why.str();
    }
    if (c.Kind < 1 || c.Kind > ckStone) {
      why << "cube " << i << " has kind " << int(c.Kind);
      return why.str();
    }
    if (occupant[c.X][c.Y] != 0) {
      const TCube& other = G.Cubes[occupant[c.X][c.Y]];
      why << "cubes " << occupant[c.X][c.Y] << " and " << i << " both stand on (" << int(c.X) << ", "
          << int(c.Y) << ") (kinds " << int(other.Kind) << " and " << int(c.Kind) << ", states "
          << int(other.State) << " and " << int(c.State) << ")";
      return why.str();
    }
    occupant[c.X][c.Y] = i;
    ++counts[StateSlot(c.State)];
  }
  for (int s = 1; s <= 9; ++s)
    if (counts[s] != G.StateCount[s]) {
      why << "StateCount[" << s << "] is " << G.StateCount[s] << " but " << counts[s]
          << " live cubes are in that slot";
      return why.str();
    }

  // Free cells: exactly the cells no cube stands on, each once.
  bool listed[10][10] = {};
  for (int k = 1; k <= G.FreeCount; ++k) {
    const TFreeCell& f = G.FreeCells[k];
    if (f.X < 1 || f.X > 9 || f.Y < 1 || f.Y > 9) {
      why << "free cell entry " << k << " is (" << int(f.X) << ", " << int(f.Y) << ")";
      return why.str();
    }
    if (listed[f.X][f.Y]) {
      why << "free cell (" << int(f.X) << ", " << int(f.Y) << ") listed twice";
      return why.str();
    }
    listed[f.X][f.Y] = true;
  }
  for (int X = 1; X <= 9; ++X)
    for (int Y = 1; Y <= 9; ++Y) {
      const bool occupied = occupant[X][Y] != 0;
      if (occupied == listed[X][Y]) {
        why << "cell (" << X << ", " << Y << ") is " << (occupied ? "occupied" : "empty") << " but "
            << (listed[X][Y] ? "is" : "is not") << " in the free-cell list";
        return why.str();
      }
      const std::uint8_t state = G.Board[X][Y].State;
      if (!occupied && state != 0) {
        why << "empty cell (" << X << ", " << Y << ") has board state " << int(state);
        return why.str();
      }
      if (occupied) {
        const TCube& c = G.Cubes[occupant[X][Y]];
        const int expected = c.State == csWaiting ? 1 : (c.State == csAppearing ? state : 2);
        if (state == 0 || state != expected) {
          why << "cell (" << X << ", " << Y << ") of cube " << occupant[X][Y] << " in state " << int(c.State)
              << " has board state " << int(state);
          return why.str();
        }
      }
    }
  if (G.FreeCount + [&] {
        int n = 0;
        for (int X = 1; X <= 9; ++X)
          for (int Y = 1; Y <= 9; ++Y) n += occupant[X][Y] != 0;
        return n;
      }() != MaxCubes) {
    why << "FreeCount " << int(G.FreeCount) << " plus occupied cells is not 81";
    return why.str();
  }

  // While a cube is selected, the selecting click has renumbered the board.
  if (G.Selected != 0 && G.Cubes[G.Selected].State == csSelected)
    for (int i = 1; i <= G.CubeCount; ++i) {
      const TCube& c = G.Cubes[i];
      if (G.Board[c.X][c.Y].CubeIndex != i) {
        why << "board cell (" << int(c.X) << ", " << int(c.Y) << ") names cube " << int(G.Board[c.X][c.Y].CubeIndex)
            << " instead of " << i;
        return why.str();
      }
    }

  if (G.BonusFigureCount >= 1 && (G.CurrentFigure < 1 || G.CurrentFigure > G.BonusFigureCount)) {
    why << "CurrentFigure " << G.CurrentFigure << " outside 1.." << G.BonusFigureCount;
    return why.str();
  }
  return {};
}

}  // namespace autoplay
