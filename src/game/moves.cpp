// The player's hand on the board: where the cursor points, which cells the
// selected cube can reach (breadth first, at most 30 steps), the path marks
// shown to the hovered cell, and what a click does.
#include <cmath>

#include "audio/sounds.h"
#include "frontend/cursor.h"
#include "game/game.h"

namespace {

// Neighbours in the order every path search visits them.
constexpr int StepX[4] = {1, -1, 0, 0};
constexpr int StepY[4] = {0, 0, 1, -1};

bool OnBoard(int X, int Y) { return X >= 1 && X <= 9 && Y >= 1 && Y <= 9; }

// The pointer in the board plane: the position of the cursor sprite shown.
D3DVECTOR CursorPosition() { return D3DVECTOR{CursorX(), CursorY(), 0}; }

}  // namespace

bool TGame::CursorOnBoard() const {
  const D3DVECTOR p = CursorPosition();
  return p.x >= -4.5f && p.x < 4.5f && p.y >= -4.5f && p.y < 4.5f;
}

TCellValue TGame::CursorCell() const {
  const D3DVECTOR p = CursorPosition();
  // nearbyint rounds halves to the even neighbour, as the cell mapping expects.
  auto coord = [](float v) {
    const long c = std::lround(std::nearbyint(v)) + 5;
    return static_cast<std::uint8_t>(c < 1 ? 1 : c > 9 ? 9 : c);
  };
  return MakeCell(coord(p.x), coord(p.y));
}

bool TGame::IsUnderCursor(int i) const {
  if (i < 1 || i > CubeCount) return false;
  const D3DVECTOR p = CursorPosition();
  const TCube& c = Cubes[i];
  return p.x >= c.X - 5.5f && p.x < c.X - 4.5f && p.y >= c.Y - 5.5f && p.y < c.Y - 4.5f;
}

int TGame::MarkNeighbours(int X, int Y, int D) {
  int marked = 0;
  for (int n = 0; n < 4; ++n) {
    const int nx = X + StepX[n], ny = Y + StepY[n];
    if (!OnBoard(nx, ny)) continue;
    TBoardCell& cell = Board[nx][ny];
    if (cell.State == 2 || cell.Dist != 0) continue;
    cell.Dist = static_cast<std::uint8_t>(D);
    ++marked;
  }
  return marked;
}

void TGame::ComputeReach() {
  if (Selected == 0) return;
  for (int X = 1; X <= 9; ++X)
    for (int Y = 1; Y <= 9; ++Y) {
      Board[X][Y].State = 0;
      Board[X][Y].Dist = 0;
    }
  // Also brings every CubeIndex up to date after removals shifted the cubes.
  for (int i = 1; i <= CubeCount; ++i) {
    TBoardCell& cell = Board[Cubes[i].X][Cubes[i].Y];
    cell.State = Cubes[i].State == csWaiting ? 1 : 2;
    cell.CubeIndex = static_cast<std::uint8_t>(i);
  }
  const TCube& s = Cubes[Selected];
  MarkNeighbours(s.X, s.Y, 1);
  for (int D = 2; D <= MaxPathLength; ++D) {
    int marked = 0;
    for (int X = 1; X <= 9; ++X)
      for (int Y = 1; Y <= 9; ++Y)
        if (Board[X][Y].State != 2 && Board[X][Y].Dist == D - 1) marked += MarkNeighbours(X, Y, D);
    if (marked == 0) break;
  }
}

TCellValue TGame::StepBack(TCellValue Cell) const {
  const int X = CellX(Cell), Y = CellY(Cell);
  const int d = Board[X][Y].Dist;
  for (int n = 0; n < 4; ++n) {
    const int nx = X + StepX[n], ny = Y + StepY[n];
    if (OnBoard(nx, ny) && Board[nx][ny].Dist + 1 == d) return MakeCell(nx, ny);
  }
  return Cell;
}

void TGame::AddDot(TCellValue Cell, std::uint8_t Kind) {
  if (DotCount >= MaxCubes) return;
  ++DotCount;
  TDot& dot = Dots[DotCount];
  dot.Kind = Kind;
  dot.Cell = Cell;
  dot.Position = D3DVECTOR{CellX(Cell) - 5.0f, CellY(Cell) - 5.0f, 0.05f};
  dot.Scale = D3DVECTOR{0.9f, 0.9f, 1.0f};
  dot.Rotation = D3DVECTOR{0, 0, 0};
  dot.Texture = CubeTextures[17 + Kind];
}

void TGame::ShowPath() {
  if (Selected == 0) return;
  DotCount = 0;
  TCellValue h = MakeCell(HoverX, HoverY);
  if (!OnBoard(HoverX, HoverY)) return;
  const TBoardCell& target = Board[HoverX][HoverY];
  if (target.State == 2) return;
  if (target.Dist == 0) {
    AddDot(h, 3);
    return;
  }
  AddDot(h, 2);
  for (int n = 1; n < target.Dist; ++n) {
    h = StepBack(h);
    AddDot(h, 1);
  }
}

void TGame::MouseMove() {
  if (EndPhase != epPlaying || !Quiet) return;
  if (CursorOnBoard()) {
    const TCellValue cell = CursorCell();
    HoverX = CellX(cell);
    HoverY = CellY(cell);
    ShowPath();
  } else {
    DotCount = 0;
  }
}

void TGame::MouseDown(int Button) {
  if (EndPhase != epPlaying) return;

  if (StateCount[StateSlot(csExploding)] == 0 && CursorMode == 3) {
    if (Button == 0) {
      // The cube under the pointer is the target; others the pointer swept
      // over may still be spinning.
      for (int i = 1; i <= CubeCount; ++i) {
        const TCube& c = Cubes[i];
        if (!IsUnderCursor(i) || IsSpecialKind(c.Kind)) continue;
        if (c.State == csWaiting || c.State == csExploding || c.State == csRemoving) continue;
        ShootColour(c.Kind);
        CursorMode = 2;
        Quiet = false;  // the shot cubes explode: nothing to select until they are gone
        return;
      }
    } else if (Button == 1) {
      AddItemAt(ckShot, ShotCell);
      CursorMode = 2;
    }
    return;
  }
  if (CursorMode == 3 || !Quiet) return;

  if (Button == 1) {
    DotCount = 0;
    Select(0);
    return;
  }
  if (Button != 0) return;

  if (DotCount != 0) {
    if (Dots[1].Kind != 2 || Selected == 0) return;
    const int i = Selected;
    TCube& c = Cubes[i];
    MoveUnscored = true;
    Quiet = false;  // no hover may redraw the path the cube now follows
    StopSound(sndSelected);
    SetCubeState(i, csMoving);
    c.Phase = 0;
    c.Position = D3DVECTOR{c.X - 5.0f, c.Y - 5.0f, 0.4f};
    AddDot(c.Cell(), 1);
    c.PathStart = c.PathPos = c.NextStep = static_cast<float>(DotCount);
    return;
  }

  const int s = Selected;
  Select(0);
  if (!CursorOnBoard()) StopSound(sndSelected);
  for (int i = 1; i <= CubeCount; ++i) {
    const TCube& c = Cubes[i];
    if (c.Kind == ckStone || c.State == csWaiting || !IsUnderCursor(i)) continue;
    if (i == s)
      StopSound(sndSelected);  // clicking the selected cube again lets it go
    else
      Select(i);
  }
  if (Selected == s) return;
  if (Selected == 0) StopSound(sndSelected);
  if (Selected != 0 && Cubes[Selected].Kind != ckShot) PlaySound(sndSelected);
  ComputeReach();
  if (Selected != 0 && Cubes[Selected].Kind == ckShot) {
    const int shot = Selected;
    ShotCell = Cubes[shot].Cell();
    Select(0);
    SetCubeState(shot, csExploding);
    Cubes[shot].Phase = 0;
    Quiet = false;
    CursorMode = 3;  // aiming starts once the shot item has vanished
  }
}
