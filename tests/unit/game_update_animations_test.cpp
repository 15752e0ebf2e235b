// Cube animation steps, the arrival of a move, removal, and the per-frame
// bookkeeping of the update (points, drain, bursts, fuse sparks).
#include <cmath>
#include <numbers>

#include "game_update_fixture.h"

namespace {

using AnimationTest = GameUpdateTest;
constexpr float Pi = std::numbers::pi_v<float>;

// ---- Turns -------------------------------------------------------------------

TEST_F(AnimationTest, WobblesEndExactlyOnQuarterTurns) {
  const int i = Put(7, 7, ckColour1);
  for (int n = 0; n < 40; ++n) {
    G().StartWobble(i);
    ASSERT_EQ(G().Cubes[i].State, csWobbling);
    const float target = G().Cubes[i].SpinTarget;
    int steps = 0;
    while (G().Cubes[i].State == csWobbling && steps++ < 10000) G().Wobble(i, 7);
    const TCube& c = G().Cubes[i];
    const float angle = c.SpinAxis == 1 ? c.Rotation.x : c.SpinAxis == 2 ? c.Rotation.y : c.Rotation.z;
    ASSERT_EQ(angle, target);
  }
  ExpectConsistent();
}

TEST_F(AnimationTest, BombsAndStonesNeverWobbleAndStonesNeverSpin) {
  const int bomb = Put(7, 7, ckBomb);
  const int stone = Put(8, 8, ckStone);
  G().StartWobble(bomb);
  G().StartWobble(stone);
  G().StartSpin(stone);
  EXPECT_EQ(G().Cubes[bomb].State, csResting);
  EXPECT_EQ(G().Cubes[stone].State, csResting);
}

TEST_F(AnimationTest, HoveredBombTurnsOnceAtDoubleSpeedWithoutPulsing) {
  const int bomb = Put(7, 7, ckBomb);
  G().StartSpin(bomb);
  int ms = 0;
  while (G().Cubes[bomb].State == csSpinning && ms < 5000) {
    G().Spin(bomb, 1);
    ++ms;
    ASSERT_FLOAT_EQ(G().Cubes[bomb].Scale.x, 0.8f);
  }
  EXPECT_NEAR(ms, 2 * Pi / 0.008, 2);  // 2π at 0.008 rad per ms
  EXPECT_FLOAT_EQ(G().Cubes[bomb].Rotation.z, 2 * Pi);
}

TEST_F(AnimationTest, SpinningCubePulsesAndSettlesAtFullSize) {
  const int i = Put(7, 7, ckColour2);
  G().StartSpin(i);
  G().Spin(i, 100);
  G().Spin(i, 100);
  EXPECT_NE(G().Cubes[i].Scale.x, 0.8f);
  while (G().Cubes[i].State == csSpinning) G().Spin(i, 16);
  EXPECT_FLOAT_EQ(G().Cubes[i].Scale.x, 0.8f);
}

// ---- Selection ------------------------------------------------------------------

TEST_F(AnimationTest, DeselectResetsTheRecordedCubeWhateverItsState) {
  const int a = Put(7, 7, ckColour1);
  const int b = Put(8, 8, ckColour2);
  G().Select(a);
  EXPECT_EQ(Sounds(sndSelectCube), 1);
  G().Hover(a, 300);
  G().SetCubeState(a, csWobbling);  // no longer csSelected, still recorded
  G().SetCubeState(b, csSelected);
  G().Select(0);
  EXPECT_EQ(G().Selected, 0);
  EXPECT_EQ(G().Cubes[a].State, csResting);
  EXPECT_EQ(G().Cubes[b].State, csResting);
  EXPECT_FLOAT_EQ(G().Cubes[a].Position.z, 0.4f);
  ExpectConsistent();
}

// ---- Moves ------------------------------------------------------------------------

TEST_F(AnimationTest, StepSoundsEndWithMoved) {
  const int i = Put(1, 1, ckColour1);
  StartMove(i, {{2, 1}, {3, 1}, {4, 1}});
  while (G().Cubes[i].State == csMoving) G().MoveAlongPath(i, 10);
  std::vector<int> steps;
  for (const auto& c : AudioCalls)
    if (c.Name == "PlaySound" && c.Arg != sndSelectCube) steps.push_back(c.Arg);
  EXPECT_EQ(steps, (std::vector<int>{sndMoveCube, sndMoveCube, sndMoved}));
  EXPECT_EQ(G().Cubes[i].X, 4);
  ExpectConsistent();
}

TEST_F(AnimationTest, ArrivalOnAnAnnouncedCubePushesItToAFreeCell) {
  const int mover = Put(1, 1, ckColour1);
  G().AnnounceCube();
  const int waiting = G().CubeCount;
  const int wx = G().Cubes[waiting].X, wy = G().Cubes[waiting].Y;
  // Walk straight to the waiting cube's cell along row 1 / column wx.
  std::vector<std::pair<int, int>> path;
  for (int x = 2; x <= wx; ++x) path.push_back({x, 1});
  for (int y = 2; y <= wy; ++y) path.push_back({wx, y});
  ASSERT_FALSE(path.empty());
  StartMove(mover, path);
  while (G().Cubes[mover].State == csMoving) G().MoveAlongPath(mover, 10);
  EXPECT_EQ(G().Cubes[mover].X, wx);
  EXPECT_EQ(G().Cubes[mover].Y, wy);
  const TCube& w = G().Cubes[waiting];
  EXPECT_FALSE(w.X == wx && w.Y == wy);
  EXPECT_FLOAT_EQ(w.Position.z, 0.25f);
  EXPECT_EQ(G().Board[w.X][w.Y].State, 1);
  ExpectConsistent();
}

TEST_F(AnimationTest, ArrivalOnAnAnnouncedCubeWithNoFreeCellSwapsThem) {
  // A full board but for (2, 1), where a cube is announced.
  const int mover = Put(1, 1, ckColour1);
  for (int X = 1; X <= 9; ++X)
    for (int Y = 1; Y <= 9; ++Y)
      if (!(X <= 2 && Y == 1)) Put(X, Y, static_cast<TCubeKind>(ckColour1 + (X * 3 + Y * 5) % 7));
  G().AnnounceCube();  // the one free cell, (2, 1)
  const int waiting = G().CubeCount;
  ASSERT_EQ(G().Cubes[waiting].X, 2);
  ASSERT_EQ(G().FreeCount, 0);
  StartMove(mover, {{2, 1}});
  while (G().Cubes[mover].State == csMoving) G().MoveAlongPath(mover, 10);
  EXPECT_EQ(G().Cubes[mover].X, 2);
  EXPECT_EQ(G().Cubes[waiting].X, 1);
  EXPECT_EQ(G().FreeCount, 0);
  ExpectConsistent();
}

// ---- Explosions and removal -----------------------------------------------------

TEST_F(AnimationTest, ExplodingCubeSwellsShrinksAndLeavesTheArray) {
  const int a = Put(7, 7, ckColour1);
  Put(8, 8, ckColour2);
  const int c = Put(9, 9, ckColour3);
  (void)c;
  G().SetCubeState(a, csExploding);
  G().Cubes[a].Phase = 0;
  G().Explode(a, 90);
  EXPECT_NEAR(G().Cubes[a].Scale.z, 1.07f, 1e-5);
  int ms = 90;
  while (G().Cubes[a].State == csExploding) {
    G().Explode(a, 10);
    ms += 10;
  }
  EXPECT_EQ(G().Cubes[a].State, csRemoving);
  EXPECT_NEAR(ms, 470, 20);
  G().RemoveCube(a);
  EXPECT_EQ(G().CubeCount, 2);
  EXPECT_EQ(G().Cubes[1].Kind, ckColour2);
  EXPECT_EQ(G().Board[8][8].CubeIndex, 1) << "shifted cubes keep their board index";
  ExpectConsistent();
}

TEST_F(AnimationTest, OneBurstPerWaveOfExplosions) {
  const int a = Put(7, 7, ckColour1);
  const int b = Put(8, 8, ckJoker);
  Put(9, 9, ckColour2);
  G().SetCubeState(a, csExploding);
  G().Update(16);
  EXPECT_EQ(ParticleCount(ParticleLists[1]), 36);
  G().SetCubeState(b, csExploding);  // joins a wave already under way
  G().Update(1);
  EXPECT_EQ(ParticleCount(ParticleLists[1]), 36);
}

TEST_F(AnimationTest, EveryBombSparksEveryUpdate) {
  Put(7, 7, ckColour1);
  Put(1, 9, ckBomb);
  Put(9, 1, ckBomb);
  G().Update(0);
  EXPECT_EQ(ParticleCount(ParticleLists[4]), 34);
  G().Update(0);
  EXPECT_EQ(ParticleCount(ParticleLists[4]), 68);
}

// ---- Points, energy ------------------------------------------------------------

TEST_F(AnimationTest, PendingPointsCountAtTwoHundredPerSecond) {
  Put(7, 7, ckColour1);
  G().PendingScore = 100;
  G().Update(100);
  EXPECT_DOUBLE_EQ(G().Score, 20);
  EXPECT_DOUBLE_EQ(G().Levels[1].Progress, 20);
  G().Update(1000);
  EXPECT_DOUBLE_EQ(G().Score, 100) << "never more than is pending";
  EXPECT_DOUBLE_EQ(G().PendingScore, 0);
}

TEST_F(AnimationTest, DrainGrowsAfterTheFirstMinute) {
  G().Mode = 2;
  Put(7, 7, ckColour1);
  G().Levels[1].Progress = 1e9;
  G().Levels[1].Target[2] = 2e9;
  G().DrainRate = 0.001;  // the running level's rate
  G().PlayClock = 59990;
  G().Update(5);
  EXPECT_DOUBLE_EQ(G().DrainRate, 0.001);
  G().Update(5);
  EXPECT_DOUBLE_EQ(G().DrainRate, 0.001 * 1.1);
  EXPECT_DOUBLE_EQ(G().PlayClock, 45000);
  EXPECT_DOUBLE_EQ(G().Levels[1].DrainRate, 0.01) << "the level table stays as read";
  G().EndPhase = epPaused;
  const double before = G().Levels[1].Progress;
  G().Update(100);
  EXPECT_DOUBLE_EQ(G().Levels[1].Progress, before) << "no drain while paused";
}

TEST_F(AnimationTest, EmptyBoardStartsANewTurnAtOnce) {
  G().Update(16);
  EXPECT_EQ(G().CubeCount, 3);
  EXPECT_EQ(Sounds(sndNewTurn), 1);
  ExpectConsistent();
}

TEST_F(AnimationTest, MoveThatCompletesASquareGivesNoNewTurn) {
  Put(7, 7, ckColour1);
  Put(8, 7, ckColour1);
  Put(7, 8, ckColour1);
  Put(1, 1, ckColour2);  // keeps a coloured cube in play
  const int mover = Put(9, 8, ckColour1);
  StartMove(mover, {{8, 8}});
  Run(120);
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 4);
  EXPECT_EQ(Sounds(sndNewTurn), 0);
  Run(600);
  EXPECT_EQ(G().CubeCount, 1);
  EXPECT_EQ(Sounds(sndNewTurn), 0) << "the player moves again";
  ExpectConsistent();
}

}  // namespace
