// Starting games and levels, new turns and the placing of new cubes.
#include "game_rules_fixture.h"

namespace {

class GameLoadingTest : public GameRulesTest {};

// ---- ClearBoard / free cells -------------------------------------------------------

TEST_F(GameLoadingTest, ClearBoardListsEveryCellInColumnOrder) {
  Put(3, 4, 1);
  G().ClearBoard();
  EXPECT_EQ(G().CubeCount, 0);
  ASSERT_EQ(G().FreeCount, 81);
  EXPECT_EQ(G().FreeCells[1].X, 1);
  EXPECT_EQ(G().FreeCells[1].Y, 1);
  EXPECT_EQ(G().FreeCells[10].X, 2);
  EXPECT_EQ(G().FreeCells[10].Y, 1);
  EXPECT_EQ(G().FreeCells[81].X, 9);
  EXPECT_EQ(G().FreeCells[81].Y, 9);
  EXPECT_EQ(G().Board[3][4].State, 0);
  for (int s = 1; s <= 9; ++s) EXPECT_EQ(G().StateCount[s], 0);
}

TEST_F(GameLoadingTest, RemoveFreeCellKeepsTheOrderOfTheRest) {
  G().RemoveFreeCell(2);
  EXPECT_EQ(G().FreeCount, 80);
  EXPECT_EQ(G().FreeCells[1].Y, 1);
  EXPECT_EQ(G().FreeCells[2].Y, 3);
  EXPECT_EQ(G().FreeCells[80].Y, 9);
  G().RemoveFreeCell(0);   // out of range: ignored
  G().RemoveFreeCell(81);
  EXPECT_EQ(G().FreeCount, 80);
}

// ---- New game and level start ------------------------------------------------------------

TEST_F(GameLoadingTest, NewGameAnnouncesTheFirstLevelsCubes) {
  G().Score = 500;
  CursorMode = 1;
  G().NewGame();
  EXPECT_EQ(G().Level, 1);
  EXPECT_EQ(G().Score, 0);
  EXPECT_EQ(CursorMode, 2);
  ASSERT_EQ(G().CubeCount, 3);
  EXPECT_EQ(G().FreeCount, 78);
  for (int i = 1; i <= 3; ++i) {
    const TCube& c = G().Cubes[i];
    EXPECT_EQ(c.State, csWaiting);
    EXPECT_FLOAT_EQ(c.Scale.x, 0.3f);
    EXPECT_FLOAT_EQ(c.Position.z, 0.15f);
    EXPECT_EQ(G().Board[c.X][c.Y].State, 1);
    EXPECT_TRUE(c.Kind >= 1 && c.Kind <= 5);
  }
  EXPECT_EQ(G().StateCount[StateSlot(csWaiting)], 3);
  EXPECT_EQ(Sounds(sndNewLevel), 1);
  EXPECT_FALSE(G().Quiet);
  ExpectConsistent();
}

TEST_F(GameLoadingTest, LaterLevelsKeepTheBoardAndAnnounceNothing) {
  G().NewGame();
  const int cubes = G().CubeCount;
  G().StartLevel();
  EXPECT_EQ(G().Level, 2);
  EXPECT_EQ(G().CubeCount, cubes);
  EXPECT_EQ(ParticleCount(ParticleLists[5]), 1);  // the new-level banner
}

TEST_F(GameLoadingTest, TimedModeStartsNormalLevelsHalfFullAndBonusLevelsFull) {
  G().Mode = 2;
  G().Levels[4].Kind = 2;
  G().Level = 2;
  G().StartLevel();
  EXPECT_DOUBLE_EQ(G().Levels[3].Progress, 500);
  G().StartLevel();
  EXPECT_DOUBLE_EQ(G().Levels[4].Progress, 1000);
}

TEST_F(GameLoadingTest, BonusLevelClearsTheBoardAndSetsOutStonesAndBombs) {
  MakeBonusLevel(5, 6, 2);
  G().Level = 4;
  Put(1, 1, 1);
  G().StartLevel();
  EXPECT_EQ(Kinds(ckStone), 6);
  EXPECT_EQ(Kinds(ckBomb), 2);
  EXPECT_EQ(Kinds(1), 0);
  EXPECT_EQ(G().StateCount[StateSlot(csAppearing)], 6);
  EXPECT_EQ(G().StateCount[StateSlot(csResting)], 2);
  EXPECT_EQ(Sounds(sndBonusLevel), 1);
  ExpectConsistent();

  G().NewTurn();  // no new cubes on a bonus level
  EXPECT_EQ(G().CubeCount, 8);
}

TEST_F(GameLoadingTest, AfterLevel100PlayGoesOnAtLevel1OfTheOtherMode) {
  G().Level = 100;
  G().Mode = 1;
  G().StartLevel();
  EXPECT_EQ(G().Level, 1);
  EXPECT_EQ(G().Mode, 2);
  EXPECT_DOUBLE_EQ(G().Levels[1].Progress, 500);
}

// ---- New turns and new cubes ----------------------------------------------------------------

TEST_F(GameLoadingTest, NewTurnBringsInTheWaitingCubesAndAnnouncesMore) {
  const int w = PutWaiting(2, 2, 3);
  G().NewTurn();
  EXPECT_EQ(G().Cubes[w].State, csAppearing);
  EXPECT_EQ(G().CubeCount, 4);
  EXPECT_EQ(G().StateCount[StateSlot(csWaiting)], 3);
  EXPECT_EQ(Sounds(sndNewTurn), 1);
  EXPECT_TRUE(G().Quiet);
  ExpectConsistent();
}

TEST_F(GameLoadingTest, StoneOddsFollowTheStonesLeft) {
  G().StonesLeft = 20;  // |40 - 40| = 0: never a stone
  for (int n = 0; n < 60; ++n) G().AnnounceCube();
  EXPECT_EQ(Kinds(ckStone), 0);
  EXPECT_EQ(G().StonesLeft, 20);

  G().ClearBoard();
  G().StonesLeft = 19;  // one in two: stones come, and each is taken off what is left
  for (int n = 0; n < 60; ++n) G().AnnounceCube();
  EXPECT_GT(Kinds(ckStone), 0);
  EXPECT_EQ(G().StonesLeft + Kinds(ckStone), 19);
  EXPECT_EQ(G().Levels[1].Stones[1], 0) << "the level table stays as read";
}

TEST_F(GameLoadingTest, JokerOddsOfZeroOrOneNeverMakeAJoker) {
  for (int odds : {0, 1}) {
    G().ClearBoard();
    G().Levels[1].JokerOdds = odds;
    for (int n = 0; n < 80; ++n) G().AnnounceCube();
    EXPECT_EQ(Kinds(ckJoker), 0) << "odds " << odds;
  }
  G().ClearBoard();
  G().Levels[1].JokerOdds = 2;
  for (int n = 0; n < 80; ++n) G().AnnounceCube();
  EXPECT_GT(Kinds(ckJoker), 0);
}

TEST_F(GameLoadingTest, AFullBoardTakesNoCubeAndEndsThePlay) {
  for (int n = 0; n < 81; ++n) G().AddItem(1);
  EXPECT_EQ(G().FreeCount, 0);
  G().AddItem(ckBomb);  // nothing happens
  G().AddItemAt(ckShot, MakeCell(1, 1));
  EXPECT_EQ(G().CubeCount, 81);

  // Outside play the game-over test does not fire, yet nothing may be placed.
  G().EndPhase = epLevelDone;
  G().AnnounceCube();
  EXPECT_EQ(G().CubeCount, 81);
  ExpectConsistent();

  G().EndPhase = epPlaying;
  G().AnnounceCube();
  EXPECT_EQ(G().CubeCount, 81);
  EXPECT_EQ(G().EndPhase, epGameOver);
  EXPECT_EQ(Sounds(sndGameOver), 1);
}

TEST_F(GameLoadingTest, AddItemAtUsesTheGivenCellOrAnotherWhenItWasTaken) {
  G().AddItemAt(ckShot, MakeCell(4, 5));
  ASSERT_EQ(G().CubeCount, 1);
  EXPECT_EQ(G().Cubes[1].X, 4);
  EXPECT_EQ(G().Cubes[1].Y, 5);
  EXPECT_EQ(G().Cubes[1].State, csResting);
  EXPECT_EQ(G().Board[4][5].State, 2);

  // The cell holds a cube by now: the item must not land on top of it.
  G().AddItemAt(ckShot, MakeCell(4, 5));
  ASSERT_EQ(G().CubeCount, 2);
  EXPECT_FALSE(G().Cubes[2].X == 4 && G().Cubes[2].Y == 5);
  ExpectConsistent();
}

}  // namespace
