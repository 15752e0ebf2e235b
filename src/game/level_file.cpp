// Reading and completing the level table.
#include "game/level_file.h"

#include "game/game.h"
#include "platform/win32/io_error.h"
#include "platform/win32/text_reader.h"

namespace {

constexpr int MinLevelsInFile = 50;  // every generated level needs a source fifty below

// What ReadLevelFile read last, for the figure check that can only run once
// the bonus figures are read.
std::string LastFileName;
TLevelLines LastFigureLines{};

std::int64_t ReadRanged(TTextReader& In, const char* Field, std::int64_t Min, std::int64_t Max) {
  const std::int64_t v = In.ReadInt();
  if (v < Min || v > Max)
    In.FailField(std::string(Field) + " must be " + std::to_string(Min) + ".." + std::to_string(Max) + ", not " +
                 std::to_string(v));
  return v;
}

// Reals must be plain finite numbers in range: an overflowing target or drain
// would reach integer conversions of the score display.
double ReadRangedReal(TTextReader& In, const char* Field, double Min, double Max) {
  const double v = In.ReadReal();
  if (!(v >= Min && v <= Max))
    In.FailField(std::string(Field) + " must be " + std::to_string(static_cast<long long>(Min)) + ".." +
                 std::to_string(static_cast<long long>(Max)));
  return v;
}

// Most fields are stored in bytes or bounded by the 81 cells of the board;
// every one is range-checked first, so nothing wraps on the way in.
constexpr std::int64_t MaxBoardCubes = 81;
constexpr double MaxTarget = 1e9;
constexpr double MaxDrainRate = 1000;  // per millisecond

// A flag is the first character of its line as it stands: "1" is true.
bool ReadFlag(TTextReader& In) {
  const bool flag = In.ReadChar() == '1';
  In.NextLine();
  return flag;
}

void ReadLevel(TTextReader& In, TLevelInfo& L, int& FigureLine) {
  In.ReadLine();  // title
  L.LightsOff = static_cast<std::uint8_t>(ReadRanged(In, "LightsOff", 0, 5));
  L.Colours[1] = static_cast<std::uint8_t>(ReadRanged(In, "Colours of mode 1", 1, 7));
  L.Colours[2] = static_cast<std::uint8_t>(ReadRanged(In, "Colours of mode 2", 1, 7));
  L.TurnCubes[1] = static_cast<std::uint8_t>(ReadRanged(In, "TurnCubes of mode 1", 0, MaxBoardCubes));
  L.TurnCubes[2] = static_cast<std::uint8_t>(ReadRanged(In, "TurnCubes of mode 2", 0, MaxBoardCubes));
  // FigureMin is checked against the figures read once they are known;
  // FigureMax may name more figures than exist (it is lowered when drawing).
  L.FigureMin = static_cast<std::uint8_t>(ReadRanged(In, "FigureMin", 1, 255));
  FigureLine = In.FieldLine();
  L.FigureMax = static_cast<std::uint8_t>(ReadRanged(In, "FigureMax", L.FigureMin, 255));
  L.Target[1] = ReadRangedReal(In, "Target of mode 1", 0, MaxTarget);
  L.Target[2] = ReadRangedReal(In, "Target of mode 2", 0, MaxTarget);
  L.DrainRate = ReadRangedReal(In, "DrainRate", 0, MaxDrainRate);
  L.JokerOdds = static_cast<std::int32_t>(ReadRanged(In, "JokerOdds", 0, INT32_MAX));
  L.Stones[1] = static_cast<std::int32_t>(ReadRanged(In, "Stones of mode 1", 0, MaxBoardCubes));
  L.Stones[2] = static_cast<std::int32_t>(ReadRanged(In, "Stones of mode 2", 0, MaxBoardCubes));
  L.AllowBomb = ReadFlag(In);
  L.AllowShot = ReadFlag(In);
  L.AllowColorize = ReadFlag(In);
}

}  // namespace

void DeriveLevelValues(int Number, TLevelInfo& Level) {
  const int q = Number / 5;
  const int r = Number % 5;
  Level.Kind = r == 4 ? 1 : r == 0 ? 2 : 0;
  Level.CubePoints = 5 * q + 15;
  Level.SquarePoints = 5 * q + 40;
  Level.BonusFactor = 0.2 * q;
  Level.BonusBase = 100 * q + 300;
  if (Level.Kind == 2) Level.Target[1] = static_cast<double>(Level.TurnCubes[1]) * Level.CubePoints;
}

void GenerateLevels(TLevelTable& Levels, int LevelCount) {
  for (int i = LevelCount + 1; i <= 100; ++i) {
    if (i - 50 < 1) continue;  // no source; ReadLevelTable never lets this happen
    TLevelInfo& L = Levels[i];
    L = Levels[i - 50];
    L.Colours[1] = 7;
    L.Colours[2] = 7;
    if (L.Kind != 2) {
      L.TurnCubes[1] = static_cast<std::uint8_t>((i - 50) / 10 + 6);
      L.TurnCubes[2] = static_cast<std::uint8_t>(L.TurnCubes[1] - 1);
      L.Target[1] *= 2;
      L.Target[2] *= 2;
    }
  }
}

void ReadLevelTable(const std::string& FileName, TLevelTable& Levels, std::int32_t& LevelCount,
                    TLevelLines* FigureLines) {
  TTextReader in(FileName);
  const int count = static_cast<int>(ReadRanged(in, "the number of levels", MinLevelsInFile, 100));
  for (int i = 1; i <= count; ++i) {
    int figureLine = 0;
    ReadLevel(in, Levels[i], figureLine);
    DeriveLevelValues(i, Levels[i]);
    if (FigureLines) (*FigureLines)[i] = figureLine;
  }
  LevelCount = count;
  GenerateLevels(Levels, count);
}

void CheckFigureRanges(const std::string& FileName, const TLevelTable& Levels, int LevelCount, int FigureCount,
                       const TLevelLines& FigureLines) {
  for (int i = 1; i <= LevelCount && i <= 100; ++i) {
    const int min = Levels[i].FigureMin;
    if (min < 1 || min > FigureCount)
      throw EInOutError(FileName, FigureLines[i],
                        "level " + std::to_string(i) + " names bonus figure " + std::to_string(min) +
                            ", but the figures are 1.." + std::to_string(FigureCount));
  }
}

void ReadLevelFile(const std::string& FileName, TGame& Game) {
  TLevelLines lines{};
  ReadLevelTable(FileName, Game.Levels, Game.LevelCount, &lines);
  LastFileName = FileName;
  LastFigureLines = lines;
}

void CheckLevelFigures(const TGame& Game) {
  if (LastFileName.empty()) return;
  CheckFigureRanges(LastFileName, Game.Levels, Game.LevelCount, Game.BonusFigureCount, LastFigureLines);
}
