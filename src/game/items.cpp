// What the special cubes do: a bomb blasts the 3 x 3 block where it lands, a
// colorize item gives its colour to the coloured cubes around it, and a shot
// removes every cube of one colour. Each pays CubePoints per cube affected.
#include <algorithm>
#include <string>

#include "audio/sounds.h"
#include "frontend/labels.h"
#include "game/game.h"

namespace {

// The points over cell (X, Y), kept over the board.
void PointsLabel(int X, int Y, int Points) {
  AddBoardLabel(X - 5.0f, Y - 5.0f, 2, 2, 14, std::to_string(Points));
}

}  // namespace

void TGame::Report(TScoreEvent& Event, double Points) {
  if (!ScoreObserver) return;
  Event.Level = Level;
  Event.Points = Points;
  ScoreObserver->Scored(*this, Event);
}

bool IsSpecialKind(TCubeKind Kind) { return !IsColour(Kind); }

void TGame::BombBlast(int X, int Y) {
  const TLevelInfo& L = CurrentLevel();
  int points = 0;
  TScoreEvent e;
  e.Kind = skItem;
  e.Item = ikBomb;
  for (int bx = std::max(1, X - 1); bx <= std::min(9, X + 1); ++bx)
    for (int by = std::max(1, Y - 1); by <= std::min(9, Y + 1); ++by) {
      const TBoardCell& cell = Board[bx][by];
      if (cell.State != 2 || cell.CubeIndex < 1 || cell.CubeIndex > CubeCount) continue;
      const int c = cell.CubeIndex;
      // On a bonus level of the points mode the bombs themselves pay nothing:
      // the stones are what the level is about.
      if (!(Mode == 1 && L.Kind == 2 && Cubes[c].Kind == ckBomb)) points += L.CubePoints;
      SetCubeState(c, csExploding);
      Cubes[c].Phase = 0;
      e.Add(bx, by);
    }
  PendingScore += points;
  Report(e, points);
  PointsLabel(X, Y, points);
  PlaySound(sndExplodeBomb);
  MoveUnscored = false;
}

void TGame::Colorize(int X, int Y, int Colour) {
  const TLevelInfo& L = CurrentLevel();
  int points = 0;
  for (int bx = std::max(1, X - 1); bx <= std::min(9, X + 1); ++bx)
    for (int by = std::max(1, Y - 1); by <= std::min(9, Y + 1); ++by) {
      const TBoardCell& cell = Board[bx][by];
      if (cell.State != 2 || cell.CubeIndex < 1 || cell.CubeIndex > CubeCount) continue;
      TCube& c = Cubes[cell.CubeIndex];
      if (!IsColour(c.Kind)) continue;
      points += L.CubePoints;
      c.Kind = static_cast<TCubeKind>(Colour + 1);
    }
  // The recoloured cubes stay on the board; only the item itself leaves.
  TScoreEvent e;
  e.Kind = skItem;
  e.Item = ikColorize;
  const TBoardCell& centre = Board[X][Y];
  if (centre.State == 2 && centre.CubeIndex >= 1 && centre.CubeIndex <= CubeCount) {
    SetCubeState(centre.CubeIndex, csExploding);
    Cubes[centre.CubeIndex].Phase = 0;
    e.Add(X, Y);
  }
  PendingScore += points;
  Report(e, points);
  PointsLabel(X, Y, points);
  PlaySound(sndColorize);
  MoveUnscored = false;
}

void TGame::ShootColour(TCubeKind Kind) {
  const int cubePoints = CurrentLevel().CubePoints;
  int points = 0;
  TScoreEvent e;
  e.Kind = skItem;
  e.Item = ikShot;
  for (int i = 1; i <= CubeCount; ++i) {
    if (Cubes[i].Kind != Kind || Cubes[i].State == csWaiting) continue;
    points += cubePoints;
    SetCubeState(i, csExploding);
    Cubes[i].Phase = 0;
    e.Add(Cubes[i].X, Cubes[i].Y);
  }
  PendingScore += points;
  Report(e, points);
  PointsLabel(HoverX, HoverY, points);
  PlaySound(sndShot);
  MoveUnscored = false;
}
