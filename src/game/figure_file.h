// The bonus figure file "data/BonusFigures.dat": up to 30 patterns of at most
// 4 x 4 coloured cubes, each cube placed for its display beside the board.
// Out-of-range files raise EInOutError naming the file, the line and the rule.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/game_types.h"

class TGame;

using TFigureTable = std::array<TBonusFigure, 31>;  // [1..30]

// Reads FigureCount (0..30) figures into Figures[1..FigureCount].
void ReadFigureTable(const std::string& FileName, TFigureTable& Figures, std::int32_t& FigureCount);

// Scale, position, rotation, texture and world matrix of figure cube (c, r)
// in a figure of Width x Height.
void PlaceFigureCube(int c, int r, int Width, int Height, TBonusCube& Cube);

// The game's own entry: reads into Game.BonusFigures and BonusFigureCount,
// then checks that every level read by ReadLevelFile names figures that exist.
void ReadBonusFigureFile(const std::string& FileName, TGame& Game);
