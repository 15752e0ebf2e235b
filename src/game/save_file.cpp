// The saved game of each mode ("data/Save1.dat", "data/Save2.dat"): a text
// file of one value per line, CR LF, reals as " 1.50000000000000E+0000".
//
// Loading checks the whole file before it touches the game: a damaged or
// foreign file raises EInOutError naming the file, the line and the rule, and
// leaves both the game and the file as they were.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/save_text.h"
#include "game/planes.h"
#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "platform/win32/random.h"
#include "platform/win32/text_reader.h"

namespace {

// Sign or blank, one digit, 14 decimals, "E", exponent sign, four digits.
std::string FormatReal(double Value) {
  if (!std::isfinite(Value)) Value = 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14E", Value);
  std::string s = buf;
  const std::size_t e = s.find('E');
  const char expSign = s[e + 1];
  const int exponent = std::stoi(s.substr(e + 2));
  char expText[16];
  std::snprintf(expText, sizeof expText, "%04d", exponent);
  std::string mantissa = s.substr(0, e);
  if (mantissa[0] != '-') mantissa = " " + mantissa;
  return mantissa + "E" + expSign + expText;
}

std::string DateLine() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[64];
  std::strftime(buf, sizeof buf, "%x %X", &local);
  return buf;
}

struct TSavedCube {
  bool Waiting = false;
  int Code = 0;
  int X = 0, Y = 0;
};

struct TSavedGame {
  int Mode = 0, Level = 0;
  std::int32_t Stones = 0;
  double Progress = 0, Score = 0;
  int CurrentFigure = 0;
  std::vector<TSavedCube> Cubes;
};

// Reads an integer and checks its range; the error names the value's line.
std::int64_t ReadChecked(TTextReader& R, std::int64_t Min, std::int64_t Max, const std::string& Rule) {
  const int line = R.Line();
  const std::int64_t v = R.ReadInt();
  if (v < Min || v > Max) throw EInOutError(R.FileName(), line, Rule);
  return v;
}

// Scores and energies far beyond any real game: such a file is damaged, and
// its numbers would overflow the whole-number conversions of the display and
// of the high score table.
constexpr double MaxSavedPoints = 2e9;

double ReadAmount(TTextReader& R, const std::string& Rule) {
  const int line = R.Line();
  const double v = R.ReadReal();
  if (!(v >= 0 && v <= MaxSavedPoints)) throw EInOutError(R.FileName(), line, Rule);
  return v;
}

// Mode is the slot the file belongs to: a file that says otherwise would make
// the game save over, or on game over delete, the other mode's file.
TSavedGame ReadSaveFile(TTextReader& R, int Mode) {
  TSavedGame s;
  R.NextLine();  // the date of saving
  const int modeLine = R.Line();
  s.Mode = static_cast<int>(ReadChecked(R, 1, 2, "the mode must be 1 or 2"));
  if (s.Mode != Mode)
    throw EInOutError(R.FileName(), modeLine, "the file holds a game of mode " + std::to_string(s.Mode) +
                                                  ", not of mode " + std::to_string(Mode));
  s.Level = static_cast<int>(ReadChecked(R, 1, MaxLevels, "the level must be 1..100"));
  s.Stones = static_cast<std::int32_t>(ReadChecked(R, 0, MaxCubes, "the stones to place must be 0..81"));
  s.Progress = ReadAmount(R, Mode == 2 ? "the energy must be a number 0..2000000000"
                                       : "the progress must be a number 0..2000000000");
  s.Score = ReadAmount(R, "the score must be a number 0..2000000000");
  s.CurrentFigure = static_cast<int>(
      ReadChecked(R, INT32_MIN, INT32_MAX, "the bonus figure must be a 32-bit number"));
  const int count = static_cast<int>(ReadChecked(R, 0, MaxCubes, "the cube count must be 0..81"));
  bool taken[10][10] = {};
  for (int i = 1; i <= count; ++i) {
    TSavedCube c;
    c.Waiting = R.ReadInt() == 0;
    c.Code = static_cast<int>(ReadChecked(R, 0, 17, "a cube code must be 0..17"));
    c.X = static_cast<int>(ReadChecked(R, 1, 9, "a cube's column must be 1..9"));
    const int line = R.Line();
    c.Y = static_cast<int>(ReadChecked(R, 1, 9, "a cube's row must be 1..9"));
    if (taken[c.X][c.Y]) throw EInOutError(R.FileName(), line, "two cubes on one cell");
    taken[c.X][c.Y] = true;
    s.Cubes.push_back(c);
  }
  // More than the count announced means the count or the file is damaged.
  while (!R.AtEnd()) {
    const int line = R.Line();
    const std::string rest = R.ReadLine();
    if (rest.find_first_not_of(" \t") != std::string::npos)
      throw EInOutError(R.FileName(), line, "more lines than the " + std::to_string(count) + " cubes announced");
  }
  return s;
}

// A completed level has been paid for: a save made while its end sequence
// runs holds the level the player goes on to, started as the level start
// would start it, so loading it neither replays nor pays the level again.
void AdvanceToNextLevel(const TGame& G, TSavedGame& S) {
  S.Level = G.Level + 1;
  if (S.Level > MaxLevels) {
    S.Level = 1;
    S.Mode = S.Mode == 1 ? 2 : 1;
  }
  const TLevelInfo& next = G.Levels[S.Level];
  S.Stones = next.Stones[S.Mode];
  S.Progress = S.Mode == 2 ? (next.Kind == 2 ? next.Target[2] : next.Target[2] / 2) : 0;
  if (next.Kind != 2) return;  // the board carries over
  // A bonus level starts on a board of its own: its stones and its bombs.
  std::vector<TSavedCube> free;
  for (int X = 1; X <= 9; ++X)
    for (int Y = 1; Y <= 9; ++Y) free.push_back(TSavedCube{false, 0, X, Y});
  S.Cubes.clear();
  auto place = [&](TCubeKind Kind) {
    if (free.empty()) return;
    const std::size_t k = static_cast<std::size_t>(Random(static_cast<int>(free.size())));
    TSavedCube c = free[k];
    free.erase(free.begin() + static_cast<std::ptrdiff_t>(k));
    c.Code = TextureIndex(Kind);
    S.Cubes.push_back(c);
  };
  for (int n = 0; n < next.TurnCubes[S.Mode]; ++n) place(ckStone);
  for (int n = 0; n < next.Stones[S.Mode]; ++n) place(ckBomb);
}

std::string SaveFileText(const TSavedGame& S) {
  std::string text;
  auto line = [&text](const std::string& s) { text += s + "\r\n"; };
  line(DateLine());
  line(std::to_string(S.Mode));
  line(std::to_string(S.Level));
  line(std::to_string(S.Stones));
  line(FormatReal(S.Progress));
  line(FormatReal(S.Score));
  line(std::to_string(S.CurrentFigure));
  line(std::to_string(S.Cubes.size()));
  for (const TSavedCube& c : S.Cubes) {
    line(c.Waiting ? "0" : "1");
    line(std::to_string(c.Code));
    line(std::to_string(c.X));
    line(std::to_string(c.Y));
  }
  return text;
}

}  // namespace

void TGame::SaveGame() {
  if (Mode != 1 && Mode != 2) return;
  const TLevelInfo& L = CurrentLevel();
  TSavedGame s;
  s.Mode = Mode;
  s.Level = Level;
  s.Stones = StonesLeft;
  // Points still being counted belong to the game: they go into the file's
  // score (and progress, where they would have refilled it).
  s.Progress = L.Progress;
  if (Mode == 1 || L.Kind != 2) s.Progress += PendingScore;
  s.Score = Score + PendingScore;
  s.CurrentFigure = CurrentFigure;
  // Cubes on their way out (exploding, removing) have already scored.
  for (int i = 1; i <= CubeCount; ++i) {
    const TCube& c = Cubes[i];
    if (c.State == csExploding || c.State == csRemoving) continue;
    s.Cubes.push_back(TSavedCube{c.State == csWaiting, TextureIndex(c.Kind), c.X, c.Y});
  }
  if (EndPhase == epLevelDone || LevelCompleted) AdvanceToNextLevel(*this, s);
  AtomicWriteFile(WritablePath(SaveFileNames[s.Mode]), SaveFileText(s));
}

bool TGame::CheckSavedGame(int AMode) {
  const int slot = AMode == 2 ? 2 : 1;
  if (!std::filesystem::exists(ResolvePath(SaveFileNames[slot]))) return false;
  TTextReader reader(SaveFileNames[slot]);
  ReadSaveFile(reader, slot);
  return true;
}

std::string GameNotSavedText(const std::string& Why) {
  return "The game was not saved.\n\n" + Why + "\n\nAn earlier saved game, if there is one, is left as it was.";
}

void TGame::LoadGame(int AMode) {
  const int slot = AMode == 2 ? 2 : 1;
  const std::string name = SaveFileNames[slot];
  if (!std::filesystem::exists(ResolvePath(name))) {
    LoadGameText(*this, AMode, nullptr);
    return;
  }
  const TTextReader file(name);
  LoadGameText(*this, AMode, &file);
}

void LoadGameText(TGame& G, int AMode, const TTextReader* File) {
  const int slot = AMode == 2 ? 2 : 1;
  const bool exists = File != nullptr;
  // Read and check everything first: a rejected file changes nothing.
  TSavedGame saved;
  if (exists) {
    TTextReader reader = *File;
    saved = ReadSaveFile(reader, slot);
  }

  G.ClearBoard();
  G.Level = 1;
  G.Mode = static_cast<std::uint8_t>(AMode);
  G.LevelCompleted = false;
  if (!exists) return;

  G.Mode = static_cast<std::uint8_t>(saved.Mode);
  G.Level = saved.Level;
  TLevelInfo& L = G.Levels[G.Level];
  G.StonesLeft = saved.Stones;
  G.DrainRate = L.DrainRate;  // the speed-up is not saved: the level's clock starts again
  G.PlayClock = 0;
  L.Progress = saved.Progress;
  G.Score = saved.Score;
  G.CurrentFigure = saved.CurrentFigure;
  G.CubeCount = static_cast<std::int32_t>(saved.Cubes.size());
  for (int i = 1; i <= G.CubeCount; ++i) {
    const TSavedCube& s = saved.Cubes[i - 1];
    TCube& c = G.Cubes[i];
    c = TCube{};
    c.Kind = KindFromCode(s.Code);
    c.X = static_cast<std::uint8_t>(s.X);
    c.Y = static_cast<std::uint8_t>(s.Y);
    c.State = s.Waiting ? csWaiting : csAppearing;
    c.Phase = 0;
    int found = 0;
    for (int k = 1; k <= G.FreeCount; ++k)
      if (G.FreeCells[k].X == c.X && G.FreeCells[k].Y == c.Y) found = k;
    G.RemoveFreeCell(found);
    G.Board[c.X][c.Y].State = s.Waiting ? 1 : 2;
    G.Board[c.X][c.Y].CubeIndex = static_cast<std::uint8_t>(i);
    ++G.StateCount[StateSlot(c.State)];
    const float z = s.Waiting ? 0.15f : 0.4f;
    const float size = s.Waiting ? 0.3f : 0.8f;
    c.Position = D3DVECTOR{c.X - 5.0f, c.Y - 5.0f, z};
    c.Scale = D3DVECTOR{size, size, size};
    c.Rotation = D3DVECTOR{0, 0, 0};
  }
  G.PrevStateCount = G.StateCount;
  G.DotCount = 0;
  G.Selected = 0;
  G.Combo = 0;
  G.ChooseBonusFigure(false);
  if (G.BonusLights) G.BonusLights->LitCount = static_cast<std::uint8_t>(5 - std::min<int>(L.LightsOff, 5));
  if (G.ScoreLine) {
    const double target = L.Target[G.Mode];
    G.ScoreLine->Fill = G.ScoreLine->StartFill = target != 0 ? static_cast<float>(L.Progress / target) : 0.0f;
  }
}
