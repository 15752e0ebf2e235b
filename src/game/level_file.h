// The level table "data/Levels.dat": read, derive the per-level values, and
// fill the levels the file does not describe (LevelCount+1..100) from the
// level fifty below. Out-of-range files raise EInOutError naming the file,
// the line and the rule broken.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/game_types.h"

class TGame;

using TLevelTable = std::array<TLevelInfo, 101>;  // [1..100]
// The line of each level's FigureMin in the file, for errors found later,
// when the number of bonus figures is known.
using TLevelLines = std::array<int, 101>;

// Reads the file into Levels[1..LevelCount] with their derived values and
// generates the rest up to 100. LevelCount must be 50..100.
void ReadLevelTable(const std::string& FileName, TLevelTable& Levels, std::int32_t& LevelCount,
                    TLevelLines* FigureLines = nullptr);

// Kind, CubePoints, SquarePoints, BonusFactor, BonusBase of level Number; a
// bonus level's Target[1] becomes TurnCubes[1] x CubePoints.
void DeriveLevelValues(int Number, TLevelInfo& Level);

// Levels LevelCount+1..100 from the level fifty below, with seven colours
// and, except on bonus levels, more cubes per turn and doubled targets.
void GenerateLevels(TLevelTable& Levels, int LevelCount);

// Every level must name figures that exist: 1 <= FigureMin <= FigureCount.
// (FigureMax may exceed the count; the game lowers it when drawing.)
void CheckFigureRanges(const std::string& FileName, const TLevelTable& Levels, int LevelCount,
                       int FigureCount, const TLevelLines& FigureLines);

// The game's own entry: reads into Game.Levels and Game.LevelCount and
// remembers the file's lines for the figure check of ReadBonusFigureFile.
void ReadLevelFile(const std::string& FileName, TGame& Game);

// CheckFigureRanges on the levels of the last ReadLevelFile, now that
// Game.BonusFigureCount is known. Does nothing before any level file was read.
void CheckLevelFigures(const TGame& Game);
