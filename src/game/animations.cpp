// Per-cube animation steps: appearing, idle wobbles, hover spins, the
// selected cube's bobbing, the move along the path marks with its arrival,
// and the explosion that ends with the cube leaving the array.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "audio/sounds.h"
#include "game/game.h"
#include "platform/win32/random.h"

namespace {
constexpr double Pi = std::numbers::pi;
constexpr float RestZ = 0.4f;
constexpr float RestScale = 0.8f;

// The rotation angle a quarter turn works on: axis 1 x, 2 y, 3 z.
float& AxisAngle(TCube& Cube, int Axis) {
  if (Axis == 1) return Cube.Rotation.x;
  if (Axis == 2) return Cube.Rotation.y;
  return Cube.Rotation.z;
}

void SetScale(TCube& Cube, float S) { Cube.Scale = {S, S, S}; }

// Random axis and direction, target a quarter turn away.
void PickQuarterTurn(TCube& Cube) {
  Cube.SpinAxis = static_cast<std::uint8_t>(1 + Random(3));
  Cube.SpinDir = static_cast<std::int8_t>(Random(2) * 2 - 1);
  Cube.SpinTarget = static_cast<float>(AxisAngle(Cube, Cube.SpinAxis) + Cube.SpinDir * Pi / 2);
}

bool Passed(const TCube& Cube, float Angle) {
  return (Cube.SpinDir > 0 && Angle >= Cube.SpinTarget) || (Cube.SpinDir < 0 && Angle <= Cube.SpinTarget);
}
}  // namespace

void TGame::Appear(int i, float DeltaMs) {
  TCube& c = Cubes[i];
  if (c.Phase > 1) {
    SetCubeState(i, csResting);
    Board[c.X][c.Y].State = 2;
    SetScale(c, RestScale);
    c.Position.z = RestZ;
    return;
  }
  // Grows from 0.3 to 0.8 in about 200 ms while rising, then drops to rest.
  c.Phase += 0.005f * DeltaMs;
  SetScale(c, 0.5f * c.Phase + 0.3f);
  c.Position.z = 0.65f * c.Phase + 0.15f;
}

void TGame::StartWobble(int i) {
  TCube& c = Cubes[i];
  if (c.Kind == ckBomb || c.Kind == ckStone) return;
  PickQuarterTurn(c);
  SetCubeState(i, csWobbling);
}

void TGame::Wobble(int i, float DeltaMs) {
  TCube& c = Cubes[i];
  float& angle = AxisAngle(c, c.SpinAxis);
  // Slows down as it nears the target; snaps onto it so turns never drift.
  double a = angle;
  a += (std::fabs(c.SpinTarget - a) + 0.01) * DeltaMs * c.SpinDir * 0.02 / Pi;
  angle = static_cast<float>(a);
  if (Passed(c, angle)) {
    angle = c.SpinTarget;
    SetCubeState(i, csResting);
  }
}

void TGame::StartSpin(int i) {
  TCube& c = Cubes[i];
  if (c.Kind == ckStone) return;
  if (c.Kind == ckBomb) {
    // A bomb shows itself off with a full turn about the vertical axis.
    c.SpinAxis = 3;
    c.SpinDir = 1;
    c.SpinTarget = static_cast<float>(c.Rotation.z + 2 * Pi);
  } else {
    PickQuarterTurn(c);
  }
  c.Phase = 0;
  SetCubeState(i, csSpinning);
}

void TGame::Spin(int i, float DeltaMs) {
  TCube& c = Cubes[i];
  const bool bomb = c.Kind == ckBomb;
  const float f = bomb ? 2 * DeltaMs : DeltaMs;
  if (!bomb) SetScale(c, static_cast<float>(0.1 * std::sin(4.0 * c.Phase) + 0.8));
  c.Phase += 0.004f * f;
  float& angle = AxisAngle(c, c.SpinAxis);
  angle = static_cast<float>(angle + c.SpinDir * 0.004 * f);
  if (Passed(c, angle)) {
    angle = c.SpinTarget;
    SetCubeState(i, csResting);
  }
  if (c.State == csResting) SetScale(c, RestScale);
}

void TGame::Hover(int i, float DeltaMs) {
  TCube& c = Cubes[i];
  c.Position.x = static_cast<float>(0.06 * std::sin(4.0 * c.Phase) + (c.X - 5));
  c.Position.y = static_cast<float>(0.06 * std::sin(3.0 * c.Phase) + (c.Y - 5));
  c.Position.z = static_cast<float>(0.2 * std::sin(static_cast<double>(c.Phase)) + 0.4);
  c.Phase += 0.01f * DeltaMs;
}

void TGame::Select(int i) {
  auto settle = [this](int k) {
    TCube& c = Cubes[k];
    c.Position.z = RestZ;
    SetScale(c, RestScale);
    SetCubeState(k, csResting);
  };
  if (i == 0)
    for (int k = 1; k <= CubeCount; ++k)
      if (Cubes[k].State == csSelected) settle(k);
  if (Selected >= 1 && Selected <= CubeCount) settle(Selected);
  Selected = (i >= 1 && i <= CubeCount) ? i : 0;
  // The selection loop sounds only while a cube is selected, whatever
  // dropped the selection.
  if (Selected == 0) StopSound(sndSelected);
  if (Selected != 0) {
    TCube& c = Cubes[Selected];
    SetScale(c, RestScale);
    c.Phase = 0;
    SetCubeState(Selected, csSelected);
    PlaySound(sndSelectCube);
  }
}

void TGame::MoveAlongPath(int i, float DeltaMs) {
  TCube& c = Cubes[i];
  if (DotCount >= 1) {
    // Dots run from the target (1) back to the start cell (DotCount).
    const int k = std::clamp(static_cast<int>(c.PathPos), 1, MaxCubes - 1);
    const float t = c.PathPos - static_cast<float>(static_cast<int>(c.PathPos));
    TDot& from = Dots[k + 1];
    const TDot& to = Dots[k];
    c.Position.x = from.Position.x != to.Position.x ? t * from.Position.x + (1 - t) * to.Position.x
                                                    : from.Position.x;
    c.Position.y = from.Position.y != to.Position.y ? t * from.Position.y + (1 - t) * to.Position.y
                                                    : from.Position.y;
    // One arch for every two cells.
    c.Position.z = static_cast<float>(std::fabs(std::sin(c.PathPos * Pi / 2)) + 0.4);
    from.Position.z = -1;  // hide the mark the cube has left

    if (c.PathPos <= c.NextStep) {
      c.NextStep -= 1;
      if (c.NextStep == 1)
        PlaySound(sndMoved);
      else
        PlaySound(c.Kind == ckBomb ? sndMoveBomb : sndMoveCube);
    }
    c.PathPos -= 0.014f * DeltaMs;  // about 71 ms per cell
    if (c.PathPos <= 1) DotCount = 0;
  }
  if (DotCount == 0) ArriveCube(i);
}

void TGame::ArriveCube(int i) {
  TCube& c = Cubes[i];
  const int dx = CellX(Dots[1].Cell);
  const int dy = CellY(Dots[1].Cell);
  const int oldX = c.X, oldY = c.Y;
  bool oldCellTaken = false;

  if (Board[dx][dy].State == 1) {
    // An announced cube waits on the target: it makes way.
    const int w = Board[dx][dy].CubeIndex;
    if (FreeCount > 0) {
      const int s = 1 + Random(FreeCount);
      const TFreeCell cell = FreeCells[s];
      Cubes[w].X = cell.X;
      Cubes[w].Y = cell.Y;
      Cubes[w].Position = {static_cast<float>(cell.X - 5), static_cast<float>(cell.Y - 5), 0.25f};
      Board[cell.X][cell.Y].State = 1;
      Board[cell.X][cell.Y].CubeIndex = static_cast<std::uint8_t>(w);
      FreeCells[s] = TFreeCell{static_cast<std::uint8_t>(dx), static_cast<std::uint8_t>(dy)};
    } else {
      // No free cell but the one the mover leaves: the two swap places, so
      // no cell ends up holding two cubes or dropping out of the free list.
      Cubes[w].X = static_cast<std::uint8_t>(oldX);
      Cubes[w].Y = static_cast<std::uint8_t>(oldY);
      Cubes[w].Position = {static_cast<float>(oldX - 5), static_cast<float>(oldY - 5), 0.25f};
      Board[oldX][oldY].State = 1;
      Board[oldX][oldY].CubeIndex = static_cast<std::uint8_t>(w);
      oldCellTaken = true;
    }
    if (!oldCellTaken) {
      Board[dx][dy].State = 0;
      Board[dx][dy].CubeIndex = 0;
    }
  }

  if (!oldCellTaken) {
    int f = 0;
    for (int k = 1; k <= FreeCount; ++k)
      if (FreeCells[k].X == dx && FreeCells[k].Y == dy) f = k;
    if (f == 0 && FreeCount < MaxCubes) f = ++FreeCount;  // keeps the old cell listed whatever happened
    if (f != 0) FreeCells[f] = TFreeCell{static_cast<std::uint8_t>(oldX), static_cast<std::uint8_t>(oldY)};
    Board[oldX][oldY].State = 0;
    Board[oldX][oldY].CubeIndex = 0;
  }

  c.X = static_cast<std::uint8_t>(dx);
  c.Y = static_cast<std::uint8_t>(dy);
  c.Position = {static_cast<float>(dx - 5), static_cast<float>(dy - 5), RestZ};
  Board[dx][dy].State = 2;
  Board[dx][dy].CubeIndex = static_cast<std::uint8_t>(i);
  SetCubeState(i, csResting);
  Select(0);

  if (c.Kind == ckBomb)
    BombBlast(dx, dy);
  else if (IsColorize(c.Kind))
    Colorize(dx, dy, c.Kind - ckColorize1);
}

void TGame::Explode(int i, float DeltaMs) {
  if (CubeCount <= 0) return;
  TCube& c = Cubes[i];
  const float step = 0.003f * DeltaMs;
  c.Phase += step;
  if (c.Phase < 0.003f) c.Rotation = {0, 0, 0};
  c.Rotation.x += 0.006f * DeltaMs;
  c.Rotation.y += 0.006f * DeltaMs;
  // Swells for 100 ms, then shrinks to nothing, tumbling.
  if (c.Phase < 0.3f)
    c.Scale.z += step;
  else
    c.Scale.z -= step;
  c.Scale.x = c.Scale.y = c.Scale.z;
  if (c.Scale.z <= 0) SetCubeState(i, csRemoving);
}

void TGame::RemoveCube(int i) {
  if (CubeCount <= 0 || i < 1 || i > CubeCount) return;
  const TCube& c = Cubes[i];
  if (FreeCount < MaxCubes) {
    ++FreeCount;
    FreeCells[FreeCount] = TFreeCell{c.X, c.Y};
  }
  Board[c.X][c.Y].State = 0;
  Board[c.X][c.Y].CubeIndex = 0;
  --StateCount[StateSlot(c.State)];
  for (int k = i; k < CubeCount; ++k) {
    Cubes[k] = Cubes[k + 1];
    // Keep the board naming each shifted cube, so that no later step (an
    // arrival pushing a waiting cube aside, a figure test) meets a stale index.
    TBoardCell& cell = Board[Cubes[k].X][Cubes[k].Y];
    if (cell.CubeIndex == k + 1) cell.CubeIndex = static_cast<std::uint8_t>(k);
  }
  Cubes[CubeCount] = TCube{};
  --CubeCount;
  // Keep the selection naming the same cube (or none) after the shift.
  if (Selected == i)
    Selected = 0;
  else if (Selected > i)
    --Selected;
}
