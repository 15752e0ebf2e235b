// What pays, told to whoever listens: every addition to the pending score and
// every level start and end, each with the cubes it takes off the board. The
// game itself never listens; the headless player keeps a ledger from these to
// prove each point has one cause and nothing is paid twice. With no observer
// set the game only pays a pointer test per event.
#pragma once

#include <array>
#include <cstdint>

#include "game/game_types.h"

class TGame;

enum TScoreKind : std::uint8_t {
  skSquares = 0,     // the squares one figure test completed
  skFigure = 1,      // the level's bonus figure
  skItem = 2,        // a bomb's blast, a colorize item, a shot
  skBonusLevel = 3,  // the count of a finished bonus level (may pay nothing)
  skLevelEnd = 4,    // the level was completed; pays nothing itself
  skLevelStart = 5,  // a level began: its end may be counted once
};

enum TItemKind : std::uint8_t { ikNone = 0, ikBomb = 1, ikColorize = 2, ikShot = 3 };

struct TScoreEvent {
  TScoreKind Kind = skSquares;
  TItemKind Item = ikNone;  // skItem: which item paid
  std::int32_t Level = 0;
  double Points = 0;  // what this event added to PendingScore
  // The cells of the cubes this event paid for and set exploding; a cube that
  // is paid for but stays (recoloured by a colorize item) is not listed.
  std::int32_t CellCount = 0;
  std::array<TCellValue, 4 * 64> Cells{};  // squares may share cells: up to 64 squares of 4

  void Add(int X, int Y) {
    if (CellCount < static_cast<std::int32_t>(Cells.size()))
      Cells[static_cast<std::size_t>(CellCount++)] = MakeCell(static_cast<std::uint8_t>(X), static_cast<std::uint8_t>(Y));
  }
};

class TScoreObserver {
 public:
  virtual ~TScoreObserver() = default;
  // Called right after the event changed the game (points already pending).
  virtual void Scored(const TGame& Game, const TScoreEvent& Event) = 0;
};
