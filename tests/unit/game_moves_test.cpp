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

  // Whether the looping "Selected" sound was started and not stopped since.
  bool SelectionLoopSounds() const {
    bool playing = false;
    for (const TAudioCall& c : AudioCalls)
      if (c.Arg == sndSelected && (c.Name == "PlaySound" || c.Name == "StopSound")) playing = c.Name == "PlaySound";
    return playing;
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

TEST_F(GameMovesTest, TheSelectionLoopStopsWheneverTheSelectionIsDropped) {
  Put(4, 4, 1);
  Put(6, 6, 2);
  G().Quiet = true;
  Click(4, 4);
  ASSERT_TRUE(SelectionLoopSounds());
  G().MouseDown(1);  // right click
  EXPECT_FALSE(SelectionLoopSounds()) << "right click";

  Click(4, 4);
  Click(6, 6);  // another cube takes over the selection: the loop goes on
  EXPECT_TRUE(SelectionLoopSounds());
  G().Levels[1].Progress = G().Levels[1].Target[1];
  G().Update(16);
  ASSERT_EQ(G().EndPhase, epLevelDone);
  EXPECT_FALSE(SelectionLoopSounds()) << "level completed";

  // Into a bonus level, whose start clears the board.
  G().EndPhase = epPlaying;
  G().Levels[2].Kind = 2;
  G().Quiet = true;
  Click(4, 4);
  ASSERT_TRUE(SelectionLoopSounds());
  G().StartLevel();
  EXPECT_EQ(G().Selected, 0);
  EXPECT_FALSE(SelectionLoopSounds()) << "bonus level";
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

// Between two updates the board must already refuse what the next update
// would: a hover that redraws the path of a cube under way, a click on a cube
// the figure test has just set exploding.
TEST_F(GameMovesTest, InputBetweenUpdatesSeesMovesAndFiguresAtOnce) {
  G().Levels[1].TurnCubes = {0, 0, 0};  // no new cubes in the way
  const int s = Put(2, 2, 1);
  G().Quiet = true;
  Click(2, 2);
  Hover(2, 5);
  G().MouseDown(0);
  ASSERT_EQ(G().Cubes[s].State, csMoving);
  Hover(7, 2);
  EXPECT_EQ(G().Dots[1].Cell, MakeCell(2, 5));
  EXPECT_EQ(G().DotCount, 4);
  RunUntilQuiet();
  EXPECT_EQ(G().Cubes[s].X, 2);
  EXPECT_EQ(G().Cubes[s].Y, 5);

  // The cube lands to complete a square; the very next click hits a corner of it.
  Put(1, 5, 1);
  Put(1, 6, 1);
  const int mover = Put(5, 8, 1);
  Click(5, 8);
  Click(2, 6);
  ASSERT_EQ(G().Cubes[mover].State, csMoving);
  ASSERT_TRUE(RunUntil([&] { return G().StateCount[StateSlot(csMoving)] == 0; }));
  ASSERT_EQ(G().StateCount[StateSlot(csExploding)], 4);
  Click(1, 5);
  EXPECT_EQ(G().Selected, 0);
  RunUntilQuiet();
  EXPECT_EQ(G().CubeCount, 0) << "every cube of the square is gone";
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

// Sweeping over cubes leaves each spinning for a while: the click hits the
// cube under the pointer, not the first one still turning.
TEST_F(GameMovesTest, AShotHitsTheColourUnderThePointer) {
  Put(2, 2, 1);
  Put(6, 6, 2);
  Put(7, 7, 3);
  G().SetCubeState(1, csSpinning);
  G().SetCubeState(2, csSpinning);
  CursorMode = 3;
  Hover(7, 7);
  G().MouseDown(0);
  EXPECT_EQ(G().Cubes[3].State, csExploding);
  EXPECT_NE(G().Cubes[1].State, csExploding);
  EXPECT_NE(G().Cubes[2].State, csExploding);
  EXPECT_EQ(CursorMode, 2);
  EXPECT_FALSE(G().Quiet) << "no selecting until the shot cubes are gone";
}

}  // namespace
