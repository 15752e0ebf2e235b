// The records and enumerations of the game's data model: cube kinds and
// states, level records, cubes, board cells, path marks, bonus figures, and
// the vertex range allocator of the shared vertex buffer.
//
// Indexing: every fixed array here is indexed from 1, as the game counts
// (levels 1..100, cubes 1..81, figures 1..30, board 1..9 x 1..9). The arrays
// are declared one element larger and element 0 is never used, so
// Levels[1] is level 1 and Board[X][Y] is board cell (X, Y).
#pragma once

#include <array>
#include <cstdint>

#include "shell/textures.h"

// ---- Cube kinds (one byte; 0 is an empty cell in bonus figures) -------------
using TCubeKind = std::uint8_t;
constexpr TCubeKind ckColour1 = 1;
constexpr TCubeKind ckColour2 = 2;
constexpr TCubeKind ckColour3 = 3;
constexpr TCubeKind ckColour4 = 4;
constexpr TCubeKind ckColour5 = 5;
constexpr TCubeKind ckColour6 = 6;
constexpr TCubeKind ckColour7 = 7;
constexpr TCubeKind ckJoker = 8;   // counts as any colour
constexpr TCubeKind ckBomb = 9;    // item "B"
constexpr TCubeKind ckShot = 10;   // item "S": removes one colour
constexpr TCubeKind ckColorize1 = 11;  // item "C" for colour kind - 10
constexpr TCubeKind ckColorize2 = 12;
constexpr TCubeKind ckColorize3 = 13;
constexpr TCubeKind ckColorize4 = 14;
constexpr TCubeKind ckColorize5 = 15;
constexpr TCubeKind ckColorize6 = 16;
constexpr TCubeKind ckColorize7 = 17;
constexpr TCubeKind ckStone = 18;  // never selected, never part of a figure

inline bool IsColour(TCubeKind Kind) { return Kind >= ckColour1 && Kind <= ckColour7; }
inline bool IsColorize(TCubeKind Kind) { return Kind >= ckColorize1 && Kind <= ckColorize7; }

// Entry of the cube texture table for a kind: kind - 1 for 1..17, else 17
// (the stone). The same number is the cube's code in saved games.
inline int TextureIndex(int Kind) { return (Kind >= 1 && Kind <= 17) ? Kind - 1 : 17; }
// Inverse of TextureIndex for kinds 1..18; also turns a draw 0..N-1 into a
// colour 1..N. Anything out of range gives colour 1.
inline TCubeKind KindFromCode(int Code) {
  return (Code >= 1 && Code <= 17) ? static_cast<TCubeKind>(Code + 1) : ckColour1;
}

// ---- Cube states --------------------------------------------------------------
enum TCubeState : std::uint8_t {
  csWaiting = 0,    // announced for the next turn; does not block paths
  csAppearing = 1,  // growing after a new turn
  csResting = 2,
  csSpinning = 3,   // turning under the cursor
  csSelected = 4,
  csWobbling = 5,   // random idle quarter turn
  csMoving = 6,     // following the path marks
  csExploding = 7,
  csRemoving = 8,   // leaves the cube array on its next update
};

// StateCount slots: state + 1 for states 0..7, 9 for anything else, so the
// update can tell whether anything moves or explodes without a scan.
using TStateCounts = std::array<std::int32_t, 10>;  // [1..9]
constexpr int StateSlot(std::uint8_t State) { return State <= 7 ? State + 1 : 9; }

// ---- End phase of the running level ------------------------------------------
enum TEndPhase : std::uint8_t { epPlaying = 0, epLevelDone = 1, epGameOver = 2, epPaused = 3 };

// ---- Board cells as one 16-bit value: X low byte, Y high byte ---------------
using TCellValue = std::uint16_t;
constexpr TCellValue MakeCell(std::uint8_t X, std::uint8_t Y) {
  return static_cast<TCellValue>(X | (Y << 8));
}
constexpr std::uint8_t CellX(TCellValue Cell) { return static_cast<std::uint8_t>(Cell & 0xFF); }
constexpr std::uint8_t CellY(TCellValue Cell) { return static_cast<std::uint8_t>(Cell >> 8); }

struct TFreeCell {
  std::uint8_t X = 0, Y = 0;
};

// ---- One level (see level_file.h for how it is read and derived) ------------
struct TLevelInfo {
  std::array<std::uint8_t, 3> TurnCubes{};  // [1..2] by mode: cubes per new turn
  std::array<std::uint8_t, 3> Colours{};    // [1..2] by mode: colours 1..N, N 1..7
  std::int32_t JokerOdds = 0;               // joker when Random(JokerOdds) == 1
  std::array<std::int32_t, 3> Stones{};     // [1..2] by mode; bombs on a bonus level
  bool AllowBomb = false;
  bool AllowShot = false;
  bool AllowColorize = false;
  std::uint8_t FigureMin = 0, FigureMax = 0;  // bonus figure range
  double Progress = 0;                        // reaching Target[Mode] ends the level
  std::array<double, 3> Target{};             // [1..2] by mode
  double DrainRate = 0;                       // mode 2 drain
  std::uint8_t Kind = 0;                      // 0 normal, 1 finale, 2 bonus level
  std::uint8_t LightsOff = 0;                 // 0..5
  std::int32_t CubePoints = 0;                // derived: per cube removed by a shot
  std::int32_t SquarePoints = 0;              // derived: per 2 x 2 square
  double BonusFactor = 0;                     // derived: figure bonus x (1 + factor)
  std::int32_t BonusBase = 0;                 // derived: full bonus of a bonus level
};

// ---- One cube ----------------------------------------------------------------------
struct TCube {
  D3DVECTOR Scale{};     // 0.3 waiting, 0.8 full size
  D3DVECTOR Position{};  // (X - 5, Y - 5, z); z 0.15 waiting, 0.4 at rest
  D3DVECTOR Rotation{};  // radians
  D3DMATRIX World{};
  std::uint8_t State = csWaiting;  // TCubeState; change it only with ChangeCubeState
  float Phase = 0;                 // clock of the current state
  std::uint8_t SpinAxis = 0;       // 1 x, 2 y, 3 z
  std::int8_t SpinDir = 0;         // -1 or +1
  float SpinTarget = 0;            // radians
  float PathStart = 0, PathPos = 0, NextStep = 0;
  D3DVECTOR Velocity{}, Acceleration{}, AngularVelocity{};  // end-sequence flight
  TCubeKind Kind = 0;
  std::uint8_t X = 0, Y = 0;  // board cell 1..9

  TCellValue Cell() const { return MakeCell(X, Y); }
};

// The one way a cube's state changes: keeps StateCount exact.
inline void ChangeCubeState(TCube& Cube, std::uint8_t NewState, TStateCounts& StateCount) {
  --StateCount[StateSlot(Cube.State)];
  Cube.State = NewState;
  ++StateCount[StateSlot(NewState)];
}

// ---- One board cell ---------------------------------------------------------------
struct TBoardCell {
  std::uint8_t State = 0;      // 0 empty, 1 waiting/appearing cube (no block), 2 blocking cube
  std::uint8_t CubeIndex = 0;  // 1..81 into Cubes
  std::uint8_t Dist = 0;       // path distance from the selected cube; 0 = unreachable
};

// ---- A path mark ---------------------------------------------------------------
struct TDot : TTexMatrix {
  std::uint8_t Kind = 0;  // 1 path step, 2 reachable target, 3 unreachable target
  TCellValue Cell = 0;
};

// ---- Bonus figures -----------------------------------------------------------------
struct TBonusCube : TTexMatrix {
  std::uint8_t Kind = 0;   // 0..7 as read; 0 = no cube
  std::uint8_t Shown = 0;  // 0..7 after this level's colour shift
};

struct TBonusFigure {
  std::uint8_t Width = 0, Height = 0;  // 1..4
  std::uint8_t ColourCount = 0;        // distinct colours used
  // Cubes[c][r]: column c 1..4, row r 1..4 (column-major, as stored).
  std::array<std::array<TBonusCube, 5>, 5> Cubes{};
  double BaseBonus = 0;  // from the file
  double Bonus = 0;      // BaseBonus x (1 + BonusFactor), rounded, per level
};

// ---- Vertex ranges of the one shared vertex buffer ---------------------------------
// Ranges are consecutive from 0; lengths and starts count triangles (range k
// is drawn from vertex 3 x Start).
struct TVertexRange {
  std::int32_t Start = 0, Length = 0;
};

struct TCollector {
  static constexpr int MaxRanges = 10;
  std::int32_t Count = 0;  // ranges handed out, 0..10
  std::int32_t Total = 0;  // triangles in all ranges
  std::array<TVertexRange, MaxRanges + 1> Ranges{};  // [1..Count]

  // Appends a range of Length triangles; returns its number. More than ten
  // ranges is a programming error (std::length_error).
  int Add(std::int32_t Length);
};
