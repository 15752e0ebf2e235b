// The per-frame game update: the state machine of a turn and of a level.
// Every timer of the game runs on the frame times passed in here; nothing
// else drives the game's clock.
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>
#include <system_error>

#include "audio/sounds.h"
#include "effects/particles.h"
#include "frontend/cursor.h"
#include "frontend/labels.h"
#include "game/game.h"
#include "game/planes.h"
#include "platform/win32/paths.h"
#include "platform/win32/random.h"
#include "shell/form_main.h"
#include "shell/options.h"

namespace {
constexpr double Pi = std::numbers::pi;
constexpr double LevelDoneEnd = 3000;  // EndTimer at which the next level starts
constexpr double GameOverEnd = 6000;

int Slot(std::uint8_t State) { return StateSlot(State); }

float Rnd() { return static_cast<float>(RandomReal()); }

void ResetCameraEye() {
  if (Options) Options->ResetCamera();
}

// Explosion burst of one cube, by kind; every particle starts at height 1.
void Burst(const TCube& Cube) {
  const float x = Cube.Position.x, y = Cube.Position.y;
  const D3DVECTOR at{x, y, 1};
  auto ring = [](int j, float r1, float r2, float speed) {
    const double a = j * Pi / 18;
    return D3DVECTOR{static_cast<float>((2 * std::sin(a) + r1 - 0.5) * speed),
                     static_cast<float>((2 * std::cos(a) + r2 - 0.5) * speed), 0};
  };
  if (Cube.Kind == ckBomb) {
    for (int j = 1; j <= 72; ++j) {
      const float r1 = Rnd(), r2 = Rnd();
      AddParticle(ParticleLists[2], 3, at, ring(j, r1, r2, 12), 256);
      const float q1 = Rnd(), q2 = Rnd();
      AddParticle(ParticleLists[2], 2, at, D3DVECTOR{(q1 - 0.5f) * 40, (q2 - 0.5f) * 40, 0}, 256);
    }
  } else if (IsColour(Cube.Kind)) {
    for (int j = 1; j <= 36; ++j) {
      const float r1 = Rnd(), r2 = Rnd();
      AddParticle(ParticleLists[1], 0, at, ring(j, r1, r2, 10), 256);
    }
  } else if (Cube.Kind == ckJoker) {
    for (int j = 1; j <= 36; ++j) {
      const double a = j * Pi / 18;
      const float r1 = Rnd(), r2 = Rnd();
      const D3DVECTOR start{static_cast<float>(x + 0.5 * std::cos(a)), static_cast<float>(y + 0.5 * std::sin(a)), 1};
      AddParticle(ParticleLists[1], 1, start, D3DVECTOR{(r1 - 0.5f) * 20, (r2 - 0.5f) * 20, 0}, 256);
    }
  } else if (Cube.Kind == ckStone) {
    for (int j = 1; j <= 36; ++j) {
      const float r1 = Rnd(), r2 = Rnd();
      AddParticle(ParticleLists[1], 1, at, ring(j, r1, r2, 5), 256);
    }
  } else if (IsColorize(Cube.Kind)) {
    for (int j = 1; j <= 72; ++j) {
      const float r1 = Rnd(), r2 = Rnd();
      AddParticle(ParticleLists[3], 4, at, ring(j, r1, r2, 5), 256);
    }
  }
  // A shot vanishes without a burst.
}

// 17 sparks a frame at the tip of a bomb's fuse, which turns with the bomb.
void FuseSparks(const TCube& Cube) {
  const double a = Cube.Rotation.z;
  const D3DVECTOR tip{static_cast<float>(Cube.Position.x - 0.31 * std::cos(a) - 0.52 * std::sin(a)),
                      static_cast<float>(Cube.Position.y - 0.31 * std::sin(a) + 0.52 * std::cos(a)), 0.85f};
  for (int n = 0; n < 17; ++n) {
    const float r1 = Rnd(), r2 = Rnd(), r3 = Rnd();
    AddParticle(ParticleLists[4], 5, tip, D3DVECTOR{(r1 - 0.5f) * 25, (r2 - 0.5f) * 25, (r3 - 0.5f) * 25}, 256);
  }
}

// True when some bomb can still move: its cell joins, through cells that hold
// no stone, a free cell, so the cubes in between can make way one by one.
// Stones alone never move; bombs walled in by them would leave a bonus level
// with no way to end in the untimed mode.
bool AnyBombCanMove(const TGame& G) {
  bool stone[11][11] = {}, seen[11][11] = {};
  int stack[MaxCubes + 1][2];
  int top = 0;
  for (int i = 1; i <= G.CubeCount; ++i)
    if (G.Cubes[i].Kind == ckStone) stone[G.Cubes[i].X][G.Cubes[i].Y] = true;
  for (int k = 1; k <= G.FreeCount; ++k) {
    const TFreeCell f = G.FreeCells[k];
    if (!seen[f.X][f.Y]) {
      seen[f.X][f.Y] = true;
      stack[top][0] = f.X;
      stack[top++][1] = f.Y;
    }
  }
  while (top > 0) {
    --top;
    const int x = stack[top][0], y = stack[top][1];
    const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
    for (const auto& n : next) {
      if (n[0] < 1 || n[0] > 9 || n[1] < 1 || n[1] > 9 || seen[n[0]][n[1]] || stone[n[0]][n[1]]) continue;
      seen[n[0]][n[1]] = true;
      stack[top][0] = n[0];
      stack[top++][1] = n[1];
    }
  }
  for (int i = 1; i <= G.CubeCount; ++i)
    if (G.Cubes[i].Kind == ckBomb && seen[G.Cubes[i].X][G.Cubes[i].Y]) return true;
  return false;
}

void StoreDelayed(int Slot, float X, const std::string& Text) {
  DelayedLabels[Slot].Active = 1;
  DelayedLabels[Slot].Position = D3DVECTOR{X, -2, 0};
  DelayedLabels[Slot].Text = Text;
}

void ShowDelayed(int Slot) {
  TDelayedScoreLabel& d = DelayedLabels[Slot];
  AddScoreLabel(d.Position, 1, 2, 14, d.Text);
  PlaySound(sndMessage);
  d = TDelayedScoreLabel{};
}

void DeleteSaveFile(int Mode) {
  if (Mode < 1 || Mode > 2) return;
  std::error_code ec;
  // The save may sit in the game folder or the per-user folder.
  std::filesystem::remove(WritablePath(SaveFileNames[Mode]), ec);
  std::filesystem::remove(ResolvePath(SaveFileNames[Mode]), ec);
}
}  // namespace

void TGame::Update(float DeltaMs) {
  const float dt = DeltaMs;
  TLevelInfo& L = CurrentLevel();

  // A move started by a click between two updates counts as under way, so a
  // move that also ends within this one long frame still ends the turn.
  if (PrevStateCount[Slot(csMoving)] == 0 && StateCount[Slot(csMoving)] != 0)
    PrevStateCount[Slot(csMoving)] = StateCount[Slot(csMoving)];

  // Cubes that found the board full while the game was not in play are due
  // now; on a board still full the first of them ends the game.
  while (MissedCubes > 0 && EndPhase == epPlaying) {
    --MissedCubes;
    AnnounceCube();
  }

  CheckGameOver(false);

  // A board without a coloured cube in play gets new cubes at once, but not
  // under a cube on its way: its target may be a waiting cube's cell, which
  // must still be waiting when it lands. The move's end brings the turn.
  if (L.Kind != 2 && StateCount[Slot(csMoving)] == 0) {
    int inPlay = 0;
    for (int i = 1; i <= CubeCount; ++i)
      if (Cubes[i].State != csWaiting && IsColour(Cubes[i].Kind)) ++inPlay;
    if (inPlay == 0) {
      NewTurn();
      ShowPath();  // a shown path may end on a cell that is now taken
    }
  }

  EndTimer += 0.5 * dt;
  // Only play counts towards the drain's speed-up: not a pause, not an end sequence.
  if (EndPhase == epPlaying) PlayClock += dt;

  for (int i = 1; i <= CubeCount; ++i) {
    switch (Cubes[i].State) {
      case csWaiting:
        break;
      case csAppearing:
        Appear(i, dt);
        break;
      case csResting:
        if (Random(2000) == 1) StartWobble(i);
        break;
      case csSpinning:
        Spin(i, dt);
        break;
      case csSelected:
        Hover(i, dt);
        break;
      case csWobbling:
        Wobble(i, IsUnderCursor(i) ? 10 * dt : dt);
        break;
      case csMoving:
        MoveAlongPath(i, dt);
        break;
      case csExploding:
        Explode(i, dt);
        break;
      default:
        // The cube that moves into slot i skips its own step this frame.
        RemoveCube(i);
        break;
    }
    if (i > CubeCount) break;
    if (Cubes[i].State == csResting && EndPhase == epPlaying && IsUnderCursor(i)) StartSpin(i);
    if (Cubes[i].Kind == ckBomb) FuseSparks(Cubes[i]);
  }

  UpdateScoreLabels(dt);
  for (int list = 1; list <= ParticleListCount; ++list) UpdateParticles(ParticleLists[list], dt);

  Quiet = StateCount[Slot(csAppearing)] + StateCount[Slot(csMoving)] + StateCount[Slot(csExploding)] == 0;
  const bool appearEnded = PrevStateCount[Slot(csAppearing)] != 0 && StateCount[Slot(csAppearing)] == 0;
  const bool moveEnded = PrevStateCount[Slot(csMoving)] != 0 && StateCount[Slot(csMoving)] == 0;
  if (appearEnded || moveEnded) TestFigures();

  if (EndPhase == epPlaying && Mode == 2) {
    L.Progress -= dt * DrainRate;
    // After the first minute the drain grows by 10 % every further 15 s.
    if (PlayClock >= 60000) {
      DrainRate *= 1.1;
      PlayClock = 45000;
    }
  }

  CountPending(false, dt);

  if (EndPhase == epPlaying) {
    if (L.Kind != 2) {
      if (L.Progress >= L.Target[Mode == 2 ? 2 : 1]) {
        CompleteLevel();
        if (L.Kind == 1) Scatter(Random(6));
      }
    } else {
      bool bomb = false, stone = false;
      for (int i = 1; i <= CubeCount; ++i) {
        if (Cubes[i].Kind == ckBomb) bomb = true;
        if (Cubes[i].Kind == ckStone) stone = true;
      }
      // Once everything has settled, bombs that can no longer move end it too.
      const bool settled = Quiet && CursorMode != 3 && StateCount[Slot(csRemoving)] == 0;
      if (!bomb || !stone || (Mode == 2 && L.Progress <= 0) || (settled && !AnyBombCanMove(*this))) {
        CountBonusLevel();
        CompleteLevel();
      }
    }
  }

  // A move that completed a figure has exploding cubes by now: no new turn.
  if (PrevStateCount[Slot(csMoving)] != 0 && StateCount[Slot(csMoving)] == 0 &&
      StateCount[Slot(csExploding)] == 0)
    NewTurn();

  // One burst per wave of explosions, on its first frame.
  if (PrevStateCount[Slot(csExploding)] == 0 && StateCount[Slot(csExploding)] != 0)
    for (int i = 1; i <= CubeCount; ++i)
      if (Cubes[i].State == csExploding) Burst(Cubes[i]);

  for (int n = 0; n < ItemRequests; ++n) GrantItem();
  ItemRequests = 0;

  PrevStateCount = StateCount;

  if (EndPhase == epLevelDone) RunLevelDone(dt);
  if (EndPhase == epGameOver) RunGameOver(dt);
  if (EndPhase == epPaused) {
    // A cube in mid-move finishes its move; only a plain selection is dropped.
    if (StateCount[Slot(csMoving)] == 0) Select(0);
    StopSound(sndSelected);
  }
}

bool TGame::CheckGameOver(bool BoardFullTest) {
  if (EndPhase == epGameOver) return true;
  if (EndPhase != epPlaying) return false;
  const bool lost = BoardFullTest ? FreeCount < 1 : (Mode == 2 && CurrentLevel().Kind != 2 && CurrentLevel().Progress < 0);
  if (lost) {
    EndPhase = epGameOver;
    EndTimer = 0;
    PlaySound(sndGameOver);
    Select(0);
    StopSound(sndSelected);
    StopMusic();
    DeleteSaveFile(Mode);
  }
  return lost;
}

void TGame::CountPending(bool Instant, float DeltaMs) {
  double amount = Instant ? PendingScore : 0.2 * DeltaMs;  // 200 points per second
  if (amount > PendingScore) amount = PendingScore;
  PendingScore -= amount;
  TLevelInfo& L = CurrentLevel();
  // On a bonus level of the timed mode points do not refill the energy.
  if (Mode == 1 || (Mode == 2 && L.Kind != 2)) L.Progress += amount;
  Score += amount;
}

void TGame::CompleteLevel() {
  CountPending(true, 0);
  // The level is over: a selected cube settles (a moving one finishes its move).
  if (StateCount[Slot(csMoving)] == 0) {
    Select(0);
    DotCount = 0;
  }
  EndPhase = epLevelDone;
  EndTimer = 0;
  LevelCompleted = true;
  if (CurrentLevel().Kind == 2) ClearBoard();
  ReportScore(skLevelEnd, 0);
}

void TGame::CountBonusLevel() {
  AddScoreLabel(D3DVECTOR{3.4f, -2, 0}, 1, 2, 14, "LEVEL COMPLETED");
  PlaySound(sndMessage);
  int stones = 0;
  for (int i = 1; i <= CubeCount; ++i)
    if (Cubes[i].Kind == ckStone) ++stones;
  if (stones >= 4) {
    StoreDelayed(1, 2.67f, std::to_string(stones) + " cubes left");
    StoreDelayed(2, 2.0f, "No bonus");
    ReportScore(skBonusLevel, 0);
    return;
  }
  // 100, 75, 50 or 25 % of the level's bonus for 0..3 stones left.
  const double bonus = std::nearbyint((1 - 0.25 * stones) * CurrentLevel().BonusBase);
  PendingScore += bonus;
  ReportScore(skBonusLevel, bonus);
  static const char* const Lines[4] = {"No cubes left", "One cube left", "Two cubes left", "Three cubes left"};
  static const float Xs[4] = {3.08f, 3.08f, 3.47f, 3.92f};  // centres each line
  StoreDelayed(1, Xs[stones], Lines[stones]);
  StoreDelayed(2, 2.3f, "Bonus  +" + std::to_string(static_cast<long long>(bonus)));
}

void TGame::RunLevelDone(float DeltaMs) {
  const TLevelInfo& L = CurrentLevel();
  if (L.Kind == 0) EndTimer += 5.0 * DeltaMs;
  if (L.Kind == 2) {
    if (EndTimer == 0) PlaySound(sndBonusLevelDone);
    if (EndTimer >= 1000 && DelayedLabels[1].Active) ShowDelayed(1);
    if (EndTimer >= 2000 && DelayedLabels[2].Active) ShowDelayed(2);
  }
  if (L.Kind == 1) {
    if (EndTimer == 0) PlaySound(sndFlyingBy);
    EndTimer += 0.3 * DeltaMs;
    Fly(DeltaMs);
    SweepCamera(static_cast<float>(EndTimer));
  }
  if (ScoreLine) {
    const double t = EndTimer / LevelDoneEnd;
    if (Mode == 1)
      ScoreLine->Fill = static_cast<float>(1 - t);
    else if (L.Kind == 1)
      ScoreLine->Fill = static_cast<float>(t);
    else
      ScoreLine->Fill = static_cast<float>(ScoreLine->StartFill - (ScoreLine->StartFill - 0.5) * t);
  }
  if (EndTimer >= LevelDoneEnd) {
    ResetCameraEye();
    EndPhase = epPlaying;
    StartLevel();
  }
}

void TGame::RunGameOver(float DeltaMs) {
  EndTimer += 0.4 * DeltaMs;
  SweepCamera(static_cast<float>(EndTimer));
  if (EndTimer >= GameOverEnd) {
    ResetCameraEye();
    EndPhase = epPlaying;
    GameState = gsGameOver;
    EndTimer = 0;
    ClearBoard();
    PlayMusic(1, 0);
    LastMenuTrack = 2;
  }
}
