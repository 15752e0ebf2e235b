// Greedy move choice of the headless player. It looks one move ahead on its
// own copy of the board: squares and bonus figures completed, what a bomb or
// a colorize item would take, and how close a move brings squares of its
// colour to forming.
#include "strategy.h"

#include <algorithm>
#include <array>
#include <queue>

namespace {

// Kinds of the cubes that block (0 = empty or a waiting cube).
using TGrid = std::array<std::array<int, 11>, 11>;

TGrid BlockingGrid(const TGame& G) {
  TGrid g{};
  for (int i = 1; i <= G.CubeCount; ++i) {
    const TCube& c = G.Cubes[i];
    if (c.State != csWaiting) g[c.X][c.Y] = c.Kind;
  }
  return g;
}

bool Selectable(const TCube& C) {
  return C.Kind != ckStone && (C.State == csResting || C.State == csSpinning || C.State == csWobbling ||
                               C.State == csSelected);
}

// Breadth-first distances from (X, Y) within the longest path; 0 = unreachable.
std::array<std::array<int, 11>, 11> Reach(const TGrid& Grid, int X, int Y) {
  std::array<std::array<int, 11>, 11> dist{};
  std::queue<std::pair<int, int>> q;
  q.push({X, Y});
  dist[X][Y] = -1;
  const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
  while (!q.empty()) {
    const auto [cx, cy] = q.front();
    q.pop();
    const int d = dist[cx][cy] < 0 ? 0 : dist[cx][cy];
    if (d >= MaxPathLength) continue;
    for (int n = 0; n < 4; ++n) {
      const int nx = cx + dx[n], ny = cy + dy[n];
      if (nx < 1 || nx > 9 || ny < 1 || ny > 9 || Grid[nx][ny] != 0 || dist[nx][ny] != 0) continue;
      dist[nx][ny] = d + 1;
      q.push({nx, ny});
    }
  }
  dist[X][Y] = 0;
  return dist;
}

bool Plain(int Kind) { return Kind >= 1 && Kind <= 7; }

// A full square of one colour (jokers count as any) with its lower corner at (X, Y).
bool SquareAt(const TGrid& g, int X, int Y) {
  if (X < 1 || Y < 1 || X > 8 || Y > 8) return false;
  const int k[4] = {g[X][Y], g[X + 1][Y], g[X][Y + 1], g[X + 1][Y + 1]};
  int ref = 0;
  for (int n = 0; n < 4; ++n) {
    if (k[n] == 0) return false;
    if (k[n] != ckJoker) {
      if (!Plain(k[n])) return false;
      if (ref == 0) ref = k[n];
      if (k[n] != ref) return false;
    }
  }
  return true;
}

int SquaresAround(const TGrid& g, int X, int Y) {
  int n = 0;
  for (int sx = X - 1; sx <= X; ++sx)
    for (int sy = Y - 1; sy <= Y; ++sy) n += SquareAt(g, sx, sy);
  return n;
}

// How close the squares through (X, Y) are to forming for a cube of Kind there.
int Potential(const TGrid& g, int X, int Y, int Kind) {
  if (!Plain(Kind) && Kind != ckJoker) return 0;
  int total = 0;
  for (int sx = X - 1; sx <= X; ++sx)
    for (int sy = Y - 1; sy <= Y; ++sy) {
      if (sx < 1 || sy < 1 || sx > 8 || sy > 8) continue;
      int ref = Kind == ckJoker ? 0 : Kind, same = 0;
      bool ok = true;
      for (int cx = sx; cx <= sx + 1 && ok; ++cx)
        for (int cy = sy; cy <= sy + 1 && ok; ++cy) {
          if (cx == X && cy == Y) continue;
          const int k = g[cx][cy];
          if (k == 0) continue;
          if (k == ckJoker) {
            ++same;
            continue;
          }
          if (!Plain(k) || (ref != 0 && k != ref)) {
            ok = false;
            break;
          }
          ref = k;
          ++same;
        }
      if (ok) total += same * same;
    }
  return total;
}

// The level's bonus figure matched on g at an offset whose window holds (X, Y).
bool FigureThrough(const TGame& G, const TGrid& g, int X, int Y) {
  if (G.CurrentFigure < 1 || G.CurrentFigure > G.BonusFigureCount) return false;
  const TBonusFigure& F = G.BonusFigures[G.CurrentFigure];
  const int kind = g[X][Y];
  for (int c = 1; c <= F.Width; ++c)
    for (int r = 1; r <= F.Height; ++r) {
      const int shown = F.Cubes[c][r].Shown;
      if (shown == 0 || (kind != ckJoker && kind != shown)) continue;
      const int OX = X - c + 1, OY = Y - r + 1;
      if (OX < 1 || OY < 1 || OX > 10 - F.Width || OY > 10 - F.Height) continue;
      bool match = true, any = false;
      for (int fc = 1; fc <= F.Width && match; ++fc)
        for (int fr = 1; fr <= F.Height && match; ++fr) {
          const int s = F.Cubes[fc][fr].Shown;
          if (s == 0) continue;
          const int k = g[OX + fc - 1][OY + fr - 1];
          if (k == 0 || (k != ckJoker && k != s)) match = false;
          any = true;
        }
      if (match && any) return true;
    }
  return false;
}

int CubesInBlock(const TGrid& g, int X, int Y, bool StonesOnly) {
  int n = 0;
  for (int bx = std::max(1, X - 1); bx <= std::min(9, X + 1); ++bx)
    for (int by = std::max(1, Y - 1); by <= std::min(9, Y + 1); ++by) {
      const int k = g[bx][by];
      if (k == 0 || (bx == X && by == Y)) continue;
      if (StonesOnly ? k == ckStone : k != ckBomb) ++n;
    }
  return n;
}

int ScoreMove(const TGame& G, const TGrid& Base, const TCube& C, int X, int Y) {
  TGrid g = Base;
  g[C.X][C.Y] = 0;
  const int kind = C.Kind;
  const bool bonusLevel = G.Levels[G.Level].Kind == 2;
  if (kind == ckBomb) {
    g[X][Y] = kind;
    if (bonusLevel) return 400 * CubesInBlock(g, X, Y, true);
    const int n = CubesInBlock(g, X, Y, false);
    // Keep bombs for crowded moments.
    return n >= 5 || G.FreeCount < 25 ? 40 * n : -50;
  }
  if (kind >= ckColorize1 && kind <= ckColorize7) {
    g[X][Y] = 0;
    int recoloured = 0;
    for (int bx = std::max(1, X - 1); bx <= std::min(9, X + 1); ++bx)
      for (int by = std::max(1, Y - 1); by <= std::min(9, Y + 1); ++by)
        if (Plain(g[bx][by])) {
          g[bx][by] = kind - 10;
          ++recoloured;
        }
    int squares = 0;
    for (int sx = std::max(1, X - 2); sx <= std::min(8, X + 1); ++sx)
      for (int sy = std::max(1, Y - 2); sy <= std::min(8, Y + 1); ++sy) squares += SquareAt(g, sx, sy);
    return squares * 120 + recoloured * 8 - 30;
  }
  g[X][Y] = kind;
  int value = 0;
  value += 100 * SquaresAround(g, X, Y);
  if (FigureThrough(G, g, X, Y)) value += 300;
  if (value == 0) value = 3 * (Potential(g, X, Y, kind) - Potential(Base, C.X, C.Y, kind));
  return value;
}

}  // namespace

int ShotTarget(const TGame& G) {
  int count[8] = {};
  for (int i = 1; i <= G.CubeCount; ++i)
    if (Plain(G.Cubes[i].Kind) && G.Cubes[i].State != csWaiting && G.Cubes[i].State != csExploding)
      ++count[G.Cubes[i].Kind];
  const int best = static_cast<int>(std::max_element(count + 1, count + 8) - count);
  if (count[best] == 0) return 0;
  for (int i = 1; i <= G.CubeCount; ++i)
    if (G.Cubes[i].Kind == best && G.Cubes[i].State != csWaiting && G.Cubes[i].State != csExploding) return i;
  return 0;
}

bool AnyCubeMovable(const TGame& G) {
  const TGrid grid = BlockingGrid(G);
  for (int i = 1; i <= G.CubeCount; ++i) {
    const TCube& c = G.Cubes[i];
    if (!Selectable(c)) continue;
    if (c.Kind == ckShot) return true;
    const auto dist = Reach(grid, c.X, c.Y);
    for (int X = 1; X <= 9; ++X)
      for (int Y = 1; Y <= 9; ++Y)
        if (dist[X][Y] > 0) return true;
  }
  return false;
}

TPlan ChoosePlan(const TGame& G, std::mt19937& Rng) {
  const TGrid grid = BlockingGrid(G);
  TPlan best;
  int bestValue = -1000000;
  for (int i = 1; i <= G.CubeCount; ++i) {
    const TCube& c = G.Cubes[i];
    if (!Selectable(c)) continue;
    if (c.Kind == ckShot) {
      const int target = ShotTarget(G);
      int n = 0;
      for (int k = 1; target && k <= G.CubeCount; ++k) n += G.Cubes[k].Kind == G.Cubes[target].Kind;
      const int value = ((n >= 6 || G.FreeCount < 20) ? 30 * n : -100) * 16;
      if (value > bestValue) {
        bestValue = value;
        best = TPlan{i, 0, 0};
      }
      continue;
    }
    const auto dist = Reach(grid, c.X, c.Y);
    for (int X = 1; X <= 9; ++X)
      for (int Y = 1; Y <= 9; ++Y) {
        if (dist[X][Y] <= 0) continue;
        const int value = ScoreMove(G, grid, c, X, Y) * 16 + static_cast<int>(Rng() % 16);
        if (value > bestValue) {
          bestValue = value;
          best = TPlan{i, X, Y};
        }
      }
  }
  return best;
}
