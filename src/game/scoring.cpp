// Figures on the board and what they pay: 2 x 2 squares of one colour (jokers
// count as any colour), the level's bonus figure, the combo of consecutive
// scoring moves, and the special items earned on the way.
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "audio/sounds.h"
#include "effects/particles.h"
#include "frontend/labels.h"
#include "game/game.h"
#include "platform/win32/random.h"

namespace {

// Labels centred on (X, Y) of the board plane, kept over the board.
void PointLabel(float X, float Y, const std::string& Text) { AddBoardLabel(X, Y, 2, 2, 14, Text); }

void WordLabel(float X, float Y, const std::string& Text) { AddBoardLabel(X, Y, 1, 3, 12, Text); }

std::string Decimal(double Value) { return std::to_string(std::llround(Value)); }

}  // namespace

TGame::TCubeFlags TGame::PaidCubes() const {
  TCubeFlags paid{};
  for (int i = 1; i <= CubeCount; ++i) paid[static_cast<std::size_t>(i)] = Cubes[i].State >= csExploding;
  return paid;
}

bool TGame::TestSquare(int X, int Y, const TCubeFlags* Paid) {
  if (X < 1 || X > 8 || Y < 1 || Y > 8) return false;
  const TBoardCell* cells[4] = {&Board[X][Y], &Board[X + 1][Y], &Board[X][Y + 1], &Board[X + 1][Y + 1]};
  int idx[4];
  for (int n = 0; n < 4; ++n) {
    if (cells[n]->State != 2) return false;
    idx[n] = cells[n]->CubeIndex;
    if (idx[n] < 1 || idx[n] > CubeCount) return false;
  }
  int ref = idx[3];
  for (int n = 0; n < 3; ++n)
    if (Cubes[idx[n]].Kind != ckJoker) {
      ref = idx[n];
      break;
    }
  const TCubeKind kind = Cubes[ref].Kind;
  for (int n = 0; n < 4; ++n)
    if (Cubes[idx[n]].Kind != kind && Cubes[idx[n]].Kind != ckJoker) return false;
  if (kind == ckStone || kind == ckBomb || kind == ckShot || IsColorize(kind)) return false;
  // A cube paid for before this test (exploding, or leaving) is no longer
  // part of the board's figures; squares found by this test may overlap.
  const TCubeFlags paid = Paid ? *Paid : PaidCubes();
  for (int n = 0; n < 4; ++n)
    if (paid[static_cast<std::size_t>(idx[n])]) return false;
  for (int n = 0; n < 4; ++n) {
    SetCubeState(idx[n], csExploding);
    Cubes[idx[n]].Phase = 0;
  }
  return true;
}

bool TGame::TestBonusFigure(const TCubeFlags* Paid) {
  if (CurrentFigure < 1 || CurrentFigure > BonusFigureCount) return false;
  const TCubeFlags paid = Paid ? *Paid : PaidCubes();
  const TBonusFigure& F = BonusFigures[CurrentFigure];
  int cubesInFigure = 0;
  for (int c = 1; c <= F.Width; ++c)
    for (int r = 1; r <= F.Height; ++r)
      if (F.Cubes[c][r].Shown != 0) ++cubesInFigure;
  // A figure without a single cube would match everywhere, every time.
  if (cubesInFigure == 0) return false;

  bool found = false;
  float lx = 0, ly = 0;
  int foundX = 0, foundY = 0;
  for (int OX = 1; OX <= 10 - F.Width && !found; ++OX)
    for (int OY = 1; OY <= 10 - F.Height && !found; ++OY) {
      bool fits = true, matches = true;
      for (int c = 1; c <= F.Width && fits; ++c)
        for (int r = 1; r <= F.Height && fits; ++r) {
          const TBonusCube& fc = F.Cubes[c][r];
          if (fc.Shown == 0) continue;
          const TBoardCell& cell = Board[OX + c - 1][OY + r - 1];
          // Cubes on their way out were paid for already: the figure would
          // pay for them again (a granted item ending its growth re-runs the
          // test while the figure's own cubes still explode).
          if (cell.State != 2 || cell.CubeIndex < 1 || cell.CubeIndex > CubeCount || paid[cell.CubeIndex]) {
            fits = false;
            break;
          }
          const TCubeKind kind = Cubes[cell.CubeIndex].Kind;
          if (kind != ckJoker && kind != fc.Shown) matches = false;
        }
      if (!fits || !matches) continue;
      for (int c = 1; c <= F.Width; ++c)
        for (int r = 1; r <= F.Height; ++r) {
          if (F.Cubes[c][r].Shown == 0) continue;
          const int X = OX + c - 1, Y = OY + r - 1;
          const int i = Board[X][Y].CubeIndex;
          SetCubeState(i, csExploding);
          Cubes[i].Phase = 0;
          lx = X - 5.0f;
          ly = Y - 5.0f;
        }
      found = true;
      foundX = OX;
      foundY = OY;
    }
  if (found) {
    PendingScore += F.Bonus;
    if (ScoreObserver) {
      TScoreEvent e;
      e.Kind = skFigure;
      e.Level = Level;
      e.Points = F.Bonus;
      for (int c = 1; c <= F.Width; ++c)
        for (int r = 1; r <= F.Height; ++r)
          if (F.Cubes[c][r].Shown != 0) e.Add(foundX + c - 1, foundY + r - 1);
      ScoreObserver->Scored(*this, e);
    }
    WordLabel(lx, ly + 1, "BONUS");
    PointLabel(lx, ly, Decimal(F.Bonus));
    ChooseBonusFigure(true);
  }
  return found;
}

void TGame::TestFigures() {
  // Removals shift the cube records without renumbering the board; the
  // figure tests below must see every occupied cell's current cube.
  for (int i = 1; i <= CubeCount; ++i) Board[Cubes[i].X][Cubes[i].Y].CubeIndex = static_cast<std::uint8_t>(i);

  int n = 0, sx = 0, sy = 0;
  const TCubeFlags paid = PaidCubes();
  std::array<TCellValue, 64> corners{};  // lower corners of the squares found
  for (int X = 1; X <= 8; ++X)
    for (int Y = 1; Y <= 8; ++Y)
      if (Board[X][Y].State == 2 && TestSquare(X, Y, &paid)) {
        corners[static_cast<std::size_t>(n)] = MakeCell(static_cast<std::uint8_t>(X), static_cast<std::uint8_t>(Y));
        ++n;
        sx = X;
        sy = Y;
        MoveUnscored = false;
      }
  if (TestBonusFigure(&paid)) {
    PlaySound(sndShowBonus);
    MoveUnscored = false;
  }
  // Cubes now exploding must not be selected before the next update.
  if (StateCount[StateSlot(csExploding)] != 0) Quiet = false;
  const int moving = StateSlot(csMoving);
  if (PrevStateCount[moving] != 0 && StateCount[moving] == 0) {
    if (n > 0)
      ++Combo;
    else if (MoveUnscored)
      Combo = 0;
  }
  if (n == 0) return;

  if (Combo == 0) Combo = 1;
  const int points = CurrentLevel().SquarePoints;
  PendingScore += static_cast<double>(points) * n * Combo;
  if (ScoreObserver) {
    TScoreEvent e;
    e.Kind = skSquares;
    e.Level = Level;
    e.Points = static_cast<double>(points) * n * Combo;
    for (int k = 0; k < n; ++k) {
      const int X = CellX(corners[static_cast<std::size_t>(k)]), Y = CellY(corners[static_cast<std::size_t>(k)]);
      e.Add(X, Y);
      e.Add(X + 1, Y);
      e.Add(X, Y + 1);
      e.Add(X + 1, Y + 1);
    }
    ScoreObserver->Scored(*this, e);
  }
  if (Combo >= 3 && Combo % 2 == 1) ++ItemRequests;

  std::string text = std::to_string(n == 1 ? points : points * n);
  if (Combo > 1) text += "x" + std::to_string(Combo);
  // Points just below the square's middle, the word just above it.
  const float cx = sx - 4.5f, cy = sy - 4.5f;
  PointLabel(cx, cy - 0.5f, text);

  const float wx = cx, wy = cy + 0.5f + static_cast<float>(RandomReal());
  switch (Combo) {
    case 1:
      PlaySound(sndFigureDone);
      break;
    case 2:
      WordLabel(wx, wy, "Double score");
      PlaySound(sndDouble);
      break;
    case 3:
      WordLabel(wx, wy, "Triple score");
      PlaySound(sndTriple);
      break;
    case 4:
      WordLabel(wx, wy, "Quadro score");
      PlaySound(sndQuadro);
      break;
    default:
      WordLabel(wx, wy, std::to_string(Combo) + "x score");
      PlaySound(sndExcellent);
      break;
  }
}

void TGame::ReportScore(TScoreKind Kind, double Points) {
  if (!ScoreObserver) return;
  TScoreEvent e;
  e.Kind = Kind;
  e.Level = Level;
  e.Points = Points;
  ScoreObserver->Scored(*this, e);
}

void TGame::ChooseBonusFigure(bool Announce) {
  TLevelInfo& L = CurrentLevel();
  if (BonusFigureCount < L.FigureMax) L.FigureMax = static_cast<std::uint8_t>(BonusFigureCount);
  CurrentFigure = L.FigureMin + Random(L.FigureMax - L.FigureMin + 1);
  // The reader keeps FigureMin within the figures read; should a table slip
  // through anyway, show an existing figure rather than an empty record.
  if (CurrentFigure > BonusFigureCount) CurrentFigure = BonusFigureCount;
  if (CurrentFigure < 1 && BonusFigureCount >= 1) CurrentFigure = 1;
  if (L.Kind != 2) ColouriseFigure();
  if (Announce) {
    ++ItemRequests;
    PlaySound(Random(2) == 0 ? sndExcellent : sndVoxarine);
  }
}

void TGame::ColouriseFigure() {
  if (CurrentFigure < 1 || CurrentFigure > BonusFigureCount) return;
  TBonusFigure& F = BonusFigures[CurrentFigure];
  const TLevelInfo& L = CurrentLevel();
  const int shift = Random(L.Colours[Mode] - F.ColourCount);
  for (int c = 1; c <= F.Width; ++c)
    for (int r = 1; r <= F.Height; ++r) {
      TBonusCube& fc = F.Cubes[c][r];
      fc.Shown = (fc.Kind != 0 && fc.Kind + shift <= 7) ? static_cast<std::uint8_t>(fc.Kind + shift) : 0;
    }
  F.Bonus = std::nearbyint((1 + L.BonusFactor) * F.BaseBonus);
}

namespace {

const char* ItemName(TCubeKind Kind) {
  if (Kind == ckBomb) return "BOMB!";
  if (Kind == ckShot) return "SHOT!";
  return "COLORIZE!";
}

// A granted item grows in like a new cube, with a burst of sparkle and its
// name, so that the player sees where it landed.
void ShowGrantedItem(TGame& G, int i) {
  TCube& c = G.Cubes[i];
  // It grows in like a new cube but blocks its cell from the start: unlike a
  // new turn's cubes it comes while play goes on, and a cube sent onto it
  // would share the cell with it.
  G.SetCubeState(i, csAppearing);
  c.Phase = 0;
  c.Scale = {0.3f, 0.3f, 0.3f};
  c.Position.z = 0.15f;
  const float x = c.Position.x, y = c.Position.y;
  for (int j = 0; j < 24; ++j) {
    const double a = j * 2 * std::numbers::pi / 24;
    const float speed = 25 + 10 * static_cast<float>(RandomReal());  // about a cell out
    AddParticle(ParticleLists[6], 0, D3DVECTOR{x, y, 1},
                D3DVECTOR{static_cast<float>(std::cos(a)) * speed, static_cast<float>(std::sin(a)) * speed, 0}, 256);
  }
  AddBoardLabel(x, y + 0.5f, 1, 3, 12, ItemName(c.Kind));
}

}  // namespace

void TGame::GrantItem() {
  const TLevelInfo& L = CurrentLevel();
  char letters[3];
  int count = 0;
  if (L.AllowBomb) letters[count++] = 'B';
  if (L.AllowColorize) letters[count++] = 'C';
  if (L.AllowShot) letters[count++] = 'S';
  if (count == 0) return;
  const char letter = count == 1 ? letters[0] : letters[Random(count)];
  const int before = CubeCount;
  switch (letter) {
    case 'B':
      AddItem(ckBomb);
      break;
    case 'C': {
      int k = 1 + Random(L.Colours[Mode]);
      if (k >= 8) k = 1;
      AddItem(static_cast<TCubeKind>(10 + k));
      break;
    }
    case 'S':
      AddItem(ckShot);
      break;
  }
  if (CubeCount > before) ShowGrantedItem(*this, CubeCount);
}
