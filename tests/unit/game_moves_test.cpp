// Selecting, the reachable cells and path marks, moves, and aiming a shot.
#include "game_rules_fixture.h"

namespace {

class GameMovesTest : public GameRulesTest {
 protected:
  // Walls on rows 2, 4, 6 and 8 with one gap each, at alternating ends: from
  // (1, 1) the way snakes up the board, so (9, 7) is 30 steps away and (8, 7) 31.
  int BuildSnake() {
    const int start = Put(1, 1, 1);
    for (int X = 1; X <= 9; ++X) {
      if (X != 9) Put(X, 2, ckStone);
      if (X != 1) Put(X, 4, ckStone);
      if (X != 9) Put(X, 6, ckStone);
      Put(X, 8, ckStone);
    }
    G().Quiet = true;
    return start;
  }
};

// ---- Cursor mapping -----------------------------------------------------------------

TEST_F(GameMovesTest, CursorCellRoundsHalvesToTheEvenNeighbour) {
  PointAt(0.5f, -0.5f);
  EXPECT_EQ(G().CursorCell(), MakeCell(5, 5));
  PointAt(1.5f, -1.5f);
  EXPECT_EQ(G().CursorCell(), MakeCell(7, 3));
  PointAt(-4.5f, 4.49f);
  EXPECT_TRUE(G().CursorOnBoard());
  EXPECT_EQ(G().CursorCell(), MakeCell(1, 9));
  PointAt(4.5f, 0);
  EXPECT_FALSE(G().CursorOnBoard());
}

TEST_F(GameMovesTest, IsUnderCursorCoversTheCellsSquareHalfOpen) {
  const int i = Put(3, 3, 1);  // centre (-2, -2)
  PointAt(-2.5f, -2.5f);
  EXPECT_TRUE(G().IsUnderCursor(i));
  PointAt(-1.5f, -2);
  EXPECT_FALSE(G().IsUnderCursor(i));
}

// ---- Reach and path marks ---------------------------------------------------------------

TEST_F(GameMovesTest, ThirtyStepsAreReachableAndThirtyOneAreNot) {
  const int s = BuildSnake();
  Click(1, 1);
  ASSERT_EQ(G().Selected, s);
  EXPECT_EQ(G().Board[9][7].Dist, 30);
  EXPECT_EQ(G().Board[8][7].Dist, 0);
  EXPECT_EQ(G().Board[1][1].Dist, 0);  // the cube's own cell

  Hover(9, 7);
  ASSERT_EQ(G().DotCount, 30);
  EXPECT_EQ(G().Dots[1].Kind, 2);
  EXPECT_EQ(G().Dots[1].Cell, MakeCell(9, 7));
  EXPECT_EQ(G().Dots[30].Cell, MakeCell(2, 1));  // next to the cube
  EXPECT_EQ(G().Dots[2].Kind, 1);

  Hover(8, 7);
  ASSERT_EQ(G().DotCount, 1);
  EXPECT_EQ(G().Dots[1].Kind, 3);
  G().MouseDown(0);  // unreachable: nothing happens
  EXPECT_EQ(G().Cubes[s].State, csSelected);
  EXPECT_EQ(G().StateCount[StateSlot(csMoving)], 0);
}

TEST_F(GameMovesTest, AWaitingCubeIsNoObstacleButAnyOtherCubeIs) {
  const int s = Put(1, 1, 1);
  PutWaiting(2, 1, 2);
  const int other = Put(1, 2, 3);
  G().Quiet = true;
  Click(1, 1);
  Hover(2, 1);
  EXPECT_EQ(G().DotCount, 1);
  EXPECT_EQ(G().Dots[1].Kind, 2);
  Hover(1, 2);
  EXPECT_EQ(G().DotCount, 0);  // no marks onto a blocking cube
  G().MouseDown(0);            // ...and a click there selects it instead
  EXPECT_EQ(G().Selected, other);
  EXPECT_EQ(G().Cubes[s].State, csResting);
}

TEST_F(GameMovesTest, LeavingTheBoardClearsTheMarksButKeepsTheSelection) {
  const int s = Put(5, 5, 1);
  G().Quiet = true;
  Click(5, 5);
  Hover(7, 5);
  EXPECT_EQ(G().DotCount, 2);
  PointAt(6, 0);
  G().MouseMove();
  EXPECT_EQ(G().DotCount, 0);
  EXPECT_EQ(G().Selected, s);
}

TEST_F(GameMovesTest, NoHoverOrClickWhileTheBoardIsBusyOrTheLevelIsOver) {
  Put(5, 5, 1);
  G().Quiet = false;
  Click(5, 5);
  EXPECT_EQ(G().Selected, 0);
  G().Quiet = true;
  G().EndPhase = epLevelDone;
  Click(5, 5);
  EXPECT_EQ(G().Selected, 0);
}

// ---- Selection ---------------------------------------------------------------------

TEST_F(GameMovesTest, ClickingTheSelectedCubeAgainLetsItGo) {
  const int s = Put(4, 4, 1);
  G().Quiet = true;
  Click(4, 4);
  EXPECT_EQ(G().Selected, s);
  EXPECT_EQ(Sounds(sndSelected), 1);
  EXPECT_EQ(Sounds(sndSelectCube), 1);
  Click(4, 4);
  EXPECT_EQ(G().Selected, 0);
  EXPECT_EQ(G().Cubes[s].State, csResting);
  EXPECT_GE(Stops(sndSelected), 1);
}

TEST_F(GameMovesTest, StonesAndWaitingCubesCannotBeSelectedItemsCan) {
  Put(1, 1, ckStone);
  PutWaiting(2, 2, 1);
  const int joker = Put(3, 3, ckJoker);
  const int bomb = Put(4, 4, ckBomb);
  const int colorize = Put(5, 5, ckColorize3);
  G().Quiet = true;
  Click(1, 1);
  EXPECT_EQ(G().Selected, 0);
  Click(2, 2);
  EXPECT_EQ(G().Selected, 0);
  for (int i : {joker, bomb, colorize}) {
    Click(G().Cubes[i].X, G().Cubes[i].Y);
    EXPECT_EQ(G().Selected, i);
  }
}

TEST_F(GameMovesTest, RightClickDropsTheSelectionAndTheMarks) {
  Put(4, 4, 1);
  G().Quiet = true;
  Click(4, 4);
  Hover(6, 4);
  G().MouseDown(1);
  EXPECT_EQ(G().Selected, 0);
  EXPECT_EQ(G().DotCount, 0);
}

// ---- Moves -----------------------------------------------------------------------------

TEST_F(GameMovesTest, AClickOnAShownPathSendsTheCubeOff) {
  const int s = Put(2, 2, 1);
  G().Quiet = true;
  Click(2, 2);
  Hover(2, 5);
  ASSERT_EQ(G().DotCount, 3);
  G().MouseDown(0);
  const TCube& c = G().Cubes[s];
  EXPECT_EQ(c.State, csMoving);
  EXPECT_TRUE(G().MoveUnscored);
  ASSERT_EQ(G().DotCount, 4);
  EXPECT_EQ(G().Dots[4].Cell, MakeCell(2, 2));  // the start cell goes last
  EXPECT_FLOAT_EQ(c.PathPos, 4);
  EXPECT_FLOAT_EQ(c.NextStep, 4);
  EXPECT_FLOAT_EQ(c.Position.z, 0.4f);
  EXPECT_GE(Stops(sndSelected), 1);

  RunUntilQuiet();
  EXPECT_EQ(G().Cubes[s].X, 2);
  EXPECT_EQ(G().Cubes[s].Y, 5);
  EXPECT_EQ(Sounds(sndMoved), 1);
  ExpectConsistent();
}

// ---- Shots -------------------------------------------------------------------------

TEST_F(GameMovesTest, AShotAimedAndCancelledComesBackToItsCell) {
  const int shot = Put(3, 3, ckShot);
  Put(7, 7, 2);
  Put(8, 8, ckJoker);
  G().Quiet = true;
  Click(3, 3);
  EXPECT_EQ(G().Cubes[shot].State, csExploding);
  EXPECT_EQ(G().ShotCell, MakeCell(3, 3));
  EXPECT_EQ(CursorMode, 3);
  EXPECT_EQ(Sounds(sndSelected), 0);  // no selection loop for a shot

  // While the item vanishes, clicks do nothing.
  G().MouseDown(1);
  EXPECT_EQ(CursorMode, 3);
  RunUntilQuiet();
  ASSERT_EQ(Kinds(ckShot), 0);

  // A joker under the cursor, or empty space, is no target.
  Hover(8, 8);
  G().Update(16);
  G().MouseDown(0);
  Hover(5, 5);
  G().MouseDown(0);
  EXPECT_EQ(CursorMode, 3);
  EXPECT_EQ(G().CubeCount, 2);

  G().MouseDown(1);
  EXPECT_EQ(CursorMode, 2);
  ASSERT_EQ(Kinds(ckShot), 1);
  const TCube& back = G().Cubes[G().CubeCount];
  EXPECT_EQ(back.X, 3);
  EXPECT_EQ(back.Y, 3);
  EXPECT_EQ(Sounds(sndShot), 0);
  ExpectConsistent();
}

TEST_F(GameMovesTest, AShotFiredAtASpinningCubeRemovesItsColour) {
  Put(3, 3, ckShot);
  Put(7, 7, 2);
  Put(1, 9, 2);
  Put(8, 8, 4);
  G().Quiet = true;
  Click(3, 3);
  RunUntilQuiet();
  Hover(7, 7);
  G().Update(16);  // the cube under the cursor starts to spin
  ASSERT_EQ(G().Cubes[1].State, csSpinning);
  G().MouseDown(0);
  EXPECT_EQ(CursorMode, 2);
  EXPECT_EQ(Sounds(sndShot), 1);
  EXPECT_DOUBLE_EQ(G().PendingScore, 20);
  EXPECT_TRUE(HasLabel("20"));
  RunUntilQuiet();
  EXPECT_EQ(Kinds(2), 0);
  EXPECT_EQ(Kinds(4), 1);
  ExpectConsistent();
}

}  // namespace
