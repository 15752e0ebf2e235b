// How a game gets under way: the one-time loading of the game's textures,
// planes and data tables, the board reset, a new game, each level's start, the
// turn after a move that scored nothing, and the placing of new cubes.
#include <algorithm>
#include <cmath>

#include "audio/sounds.h"
#include "effects/particles.h"
#include "frontend/cursor.h"
#include "frontend/loading_bar.h"
#include "game/figure_file.h"
#include "game/game.h"
#include "game/level_file.h"
#include "game/planes.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/win32/random.h"
#include "shell/debug_log.h"
#include "shell/form_main.h"
#include "shell/math/d3dmath.h"
#include "shell/textures.h"

namespace {

constexpr float HalfPi = 1.5707964f;
constexpr float Pi = 3.14159265f;
constexpr float X0 = -1.8f;  // the room's centre in the board plane
constexpr float Y0 = -0.25f;

void Progress(int Step) { LoadingProgress(static_cast<std::uint8_t>(Step)); }

void Log(const char* Text) { DebugLog(false, Text); }

D3DVECTOR V(float x, float y, float z) { return MakeVector(x, y, z); }

}  // namespace

std::vector<std::string> TGame::ResourcePictures() {
  return {"Images\\dot1.tga",      "Images\\dot2.tga",   "Images\\dot3.tga",
          "Images\\floor.jpg",     "Images\\wall1.jpg",  "Images\\wall2.jpg",
          "Images\\wall3.jpg",    "Images\\wall4.jpg",  "Images\\background.jpg", "Images\\bonuslight.tga",
          "Images\\plugbonus.tga", "Images\\line.tga",  "Images\\lineleft.tga"};
}

void TGame::LoadResources() {
  Log(" loading initialise 1");
  if (ResourcesLoaded) return;
  Log(" loading initialise 2");
  GameState = gsLoading;

  // The game-over and hints pictures load when their screens are drawn.
  Log(" loading gameover");
  Progress(15);
  Log(" loading help");
  Progress(17);
  Log(" loading dots");
  Progress(18);
  for (int n = 1; n <= 3; ++n)
    LoadTexture(Device, "Images\\dot" + std::to_string(n) + ".tga", CubeTextures[17 + n]);

  Log(" loading materials");
  Materials[1] = InitMaterial(1, 1, 1, 0, 10);
  Materials[2] = InitMaterial(1, 1, 1, 0, 255);
  Materials[3] = InitMaterial(1, 1, 1, 1, 0);
  Materials[4] = InitMaterial(1, 1, 1, 0, 255);

  Log(" loading room 0");
  Progress(20);
  RoomPlanes[0] = std::make_unique<TBackPlane>(Device, "Images\\floor.jpg", V(28, 24, 1), V(X0, Y0, -0.11f),
                                               V(0, 0, 0));
  Log(" loading room 1");
  Progress(22);
  RoomPlanes[1] = std::make_unique<TBackPlane>(Device, "Images\\wall1.jpg", V(24, 12, 1), V(X0 - 14, Y0, 5.8f),
                                               V(0, HalfPi, HalfPi));
  Log(" loading room 2");
  Progress(24);
  RoomPlanes[2] = std::make_unique<TBackPlane>(Device, "Images\\wall2.jpg", V(24, 12, 1), V(X0 + 14, Y0, 5.8f),
                                               V(0, -HalfPi, -HalfPi));
  Log(" loading room 3");
  Progress(25);
  RoomPlanes[3] = std::make_unique<TBackPlane>(Device, "Images\\wall3.jpg", V(28, 12, 1), V(X0, Y0 - 12, 5.8f),
                                               V(-HalfPi, 0, Pi));
  Log(" loading room 4");
  Progress(26);
  RoomPlanes[4] = std::make_unique<TBackPlane>(Device, "Images\\wall4.jpg", V(28, 12, 1), V(X0, Y0 + 12, 5.8f),
                                               V(HalfPi, 0, 0));
  Log(" loading backplane");
  Progress(27);
  Background = std::make_unique<TBackPlane>(Device, "Images\\background.jpg", V(14.45f, 10.8375f, 1),
                                            V(X0, Y0, 0), V(0, 0, 0));
  Log(" loading bonuslight");
  Progress(29);
  BonusLights = std::make_unique<TBonusLight>(Device, "Images\\bonuslight.tga", V(0.36125f, 0.36125f, 1),
                                              V(X0 - 4.587875f, Y0 + 0.7766875f, 0), V(0, 0, 0));
  Log(" loading plub bonus");
  // The plate fills the figure's window and brings the caption above it.
  BonusPlate = std::make_unique<TBonusLight>(Device, "Images\\plugbonus.tga", V(2.4f, 2.86f, 1),
                                             V(-6.93f, -1.86f, 0.01f), V(0, 0, 0));
  Log(" loading scoreline");
  ScoreLine = std::make_unique<TScoreLine>(Device, "Images\\line.tga", V(0.27f, 0.42f, 1),
                                           V(4, Y0 - 5.08459375f, 0.01f), V(0, 0, 0));
  ScoreLine->EndCap = std::make_unique<TBackPlane>(Device, "Images\\lineleft.tga", V(0.27f, 0.42f, 1),
                                                   V(4.615f, Y0 - 5.08459375f, 0.01f), V(0, 0, 0));

  Log(" loading createlevels");
  ReadLevels();
  Log(" loading createbonus");
  ReadBonusFigures();
  Log(" loading initialise particles");
  LoadParticleTextures(Device);

  ResourcesLoaded = true;
}

void TGame::ClearBoard() {
  CubeCount = 0;
  DotCount = 0;
  FreeCount = MaxCubes;
  for (int X = 1; X <= 9; ++X)
    for (int Y = 1; Y <= 9; ++Y) {
      FreeCells[(X - 1) * 9 + Y] = TFreeCell{static_cast<std::uint8_t>(X), static_cast<std::uint8_t>(Y)};
      Board[X][Y].State = 0;
      Board[X][Y].CubeIndex = 0;
    }
  StateCount.fill(0);
  PrevStateCount = StateCount;
  MissedCubes = 0;  // an empty board has room for them
  Select(0);
}

void TGame::NewGame() {
  ClearBoard();
  Score = 0;
  PendingScore = 0;
  Level = 0;
  CursorMode = 2;
  StartLevel();
}

void TGame::StartLevel() {
  ++Level;
  if (Level > MaxLevels) {
    Level = 1;
    Mode = Mode == 1 ? 2 : 1;
    ResumeMusic();
  }
  TLevelInfo& L = Levels[Level];
  L.Progress = 0;
  // Points earned while the last level's end ran (cubes that landed or grew
  // in and completed figures) are the player's: they go into the score, not
  // into the new level's progress.
  Score += PendingScore;
  PendingScore = 0;
  LevelCompleted = false;
  if (Mode == 2) L.Progress = L.Kind == 2 ? L.Target[2] : L.Target[2] / 2;
  DrainRate = L.DrainRate;
  StonesLeft = L.Stones[Mode];

  if (BonusLights) BonusLights->LitCount = static_cast<std::uint8_t>(5 - std::min<int>(L.LightsOff, 5));
  ChooseBonusFigure(false);

  if (L.Kind == 2) {
    ClearBoard();
    PlaySound(sndBonusLevel);
  } else {
    PlaySound(sndNewLevel);
  }
  DotCount = 0;

  if (Level == 1)
    for (int n = 0; n < L.TurnCubes[Mode]; ++n) AnnounceCube();
  if (L.Kind == 2) {
    for (int n = 0; n < L.TurnCubes[Mode]; ++n) AnnounceCube();
    for (int n = 0; n < L.Stones[Mode]; ++n) AddItem(ckBomb);
    SettleWaitingCubes();
  }
  if (Level != 1) {
    // The banner rises from below the board and fades.
    AddParticle(ParticleLists[5], 6, V(0, -3, 1), V(0, 50, 0), 256);
    SetBannerTexture(Device, ParticleLists[5], "images\\newlevel.tga", 4.45f, 0.85f);
  }
  PlayClock = 0;
  Quiet = false;
  ReportScore(skLevelStart, 0);
}

void TGame::NewTurn() {
  SettleWaitingCubes();
  if (CurrentLevel().Kind != 2)
    for (int n = 0; n < CurrentLevel().TurnCubes[Mode]; ++n) AnnounceCube();
  ComputeReach();
  PlaySound(sndNewTurn);
  Quiet = true;
}

void TGame::SettleWaitingCubes() {
  for (int i = 1; i <= CubeCount; ++i) {
    TCube& c = Cubes[i];
    if (c.State != csWaiting) continue;
    c.Phase = 0;
    Board[c.X][c.Y].State = 1;
    Board[c.X][c.Y].CubeIndex = static_cast<std::uint8_t>(i);
    SetCubeState(i, csAppearing);
  }
}

void TGame::AnnounceCube() {
  if (CheckGameOver(true)) return;
  // Outside play (a level just completed, the pause menu) the game-over test
  // does not fire; a full board must still never take another cube. The
  // cube is owed instead and comes back in the first update in play.
  if (FreeCount < 1 || CubeCount >= MaxCubes) {
    if (EndPhase == epPaused || EndPhase == epLevelDone)
      MissedCubes = std::min(MissedCubes + 1, std::max<int>(1, CurrentLevel().TurnCubes[Mode]));
    return;
  }

  TLevelInfo& L = CurrentLevel();
  TCubeKind kind;
  if (L.Kind == 2) {
    kind = ckStone;
  } else {
    kind = KindFromCode(Random(L.Colours[Mode]));
    if (Random(L.JokerOdds) == 1) kind = ckJoker;
    if (StonesLeft > 0) {
      const int n = std::abs(40 - 2 * StonesLeft);
      if (Random(n) == 1) {
        kind = ckStone;
        --StonesLeft;
      }
    }
  }

  ++CubeCount;
  TCube& c = Cubes[CubeCount];
  c = TCube{};
  const TFreeCell cell = TakeFreeCell();
  Board[cell.X][cell.Y].State = 1;
  Board[cell.X][cell.Y].CubeIndex = static_cast<std::uint8_t>(CubeCount);
  c.Kind = kind;
  c.X = cell.X;
  c.Y = cell.Y;
  c.Position = V(cell.X - 5.0f, cell.Y - 5.0f, 0.15f);
  c.Scale = V(0.3f, 0.3f, 0.3f);
  c.Rotation = V(0, 0, 0);
  c.State = csWaiting;
  ++StateCount[StateSlot(csWaiting)];
}

namespace {

void PlaceItem(TGame& G, TCubeKind Kind, TFreeCell Cell) {
  ++G.CubeCount;
  TCube& c = G.Cubes[G.CubeCount];
  c = TCube{};
  G.Board[Cell.X][Cell.Y].State = 2;
  G.Board[Cell.X][Cell.Y].CubeIndex = static_cast<std::uint8_t>(G.CubeCount);
  c.Kind = Kind;
  c.X = Cell.X;
  c.Y = Cell.Y;
  c.Position = MakeVector(Cell.X - 5.0f, Cell.Y - 5.0f, 0.4f);
  c.Scale = MakeVector(0.8f, 0.8f, 0.8f);
  c.Rotation = MakeVector(0, 0, 0);
  c.State = csResting;
  ++G.StateCount[StateSlot(csResting)];
}

}  // namespace

void TGame::AddItem(TCubeKind Kind) {
  if (FreeCount <= 0 || CubeCount >= MaxCubes) return;
  PlaceItem(*this, Kind, TakeFreeCell());
}

void TGame::AddItemAt(TCubeKind Kind, TCellValue Cell) {
  if (FreeCount <= 0 || CubeCount >= MaxCubes) return;
  int found = 0;
  for (int k = 1; k <= FreeCount; ++k)
    if (FreeCells[k].X == CellX(Cell) && FreeCells[k].Y == CellY(Cell)) found = k;
  if (found == 0) {
    // The cell was taken meanwhile (a new turn while aiming): the item goes
    // to some other free cell rather than onto a cube.
    AddItem(Kind);
    return;
  }
  const TFreeCell cell = FreeCells[found];
  RemoveFreeCell(found);
  PlaceItem(*this, Kind, cell);
}

TFreeCell TGame::TakeFreeCell() {
  const int k = 1 + Random(FreeCount);
  const TFreeCell cell = FreeCells[k];
  RemoveFreeCell(k);
  return cell;
}

void TGame::RemoveFreeCell(int k) {
  if (k < 1 || k > FreeCount) return;
  for (int j = k; j < FreeCount; ++j) FreeCells[j] = FreeCells[j + 1];
  --FreeCount;
}

void TGame::ReadLevels() { ReadLevelFile("data/Levels.dat", *this); }

void TGame::ReadBonusFigures() { ReadBonusFigureFile("data/BonusFigures.dat", *this); }

IDirect3DTexture8* TGame::StatePicture(bool GameOver) {
  IDirect3DTexture8*& wanted = GameOver ? GameOverTexture : HelpTexture;
  SafeRelease(GameOver ? HelpTexture : GameOverTexture);
  if (!wanted) LoadTexture(Device, GameOver ? "Images\\gameover.jpg" : "Images\\help.jpg", wanted);
  return wanted;
}

void TGame::ReleaseStatePictures() {
  if (!GameOverTexture && !HelpTexture) return;
  SafeRelease(GameOverTexture);
  SafeRelease(HelpTexture);
  ReturnFreedMemory();
}
