// Whole sequences played through the mouse handlers and the frame update:
// moves that score, items at work, a saved game continued.
#include "game_rules_fixture.h"

namespace {

class GameRulesScenarioTest : public GameRulesTest {
 protected:
  void SetUp() override {
    GameRulesTest::SetUp();
    Put(9, 9, 4);  // a coloured cube stays in play throughout
    G().Quiet = true;
    AudioCalls.clear();
  }

  // Select (FromX, FromY), click (ToX, ToY), and let the board settle.
  void Move(int FromX, int FromY, int ToX, int ToY) {
    Click(FromX, FromY);
    ASSERT_NE(G().Selected, 0) << "nothing selected at " << FromX << "," << FromY;
    Click(ToX, ToY);
    ASSERT_EQ(G().StateCount[StateSlot(csMoving)], 1) << "no move to " << ToX << "," << ToY;
    RunUntilQuiet();
    PointAt(-10, -10);  // keep the pointer from spinning cubes
  }

  void CountAll() { Run(3000); }

  TCubeKind KindAt(int X, int Y) const {
    for (int i = 1; i <= G().CubeCount; ++i)
      if (G().Cubes[i].X == X && G().Cubes[i].Y == Y) return G().Cubes[i].Kind;
    return 0;
  }
};

TEST_F(GameRulesScenarioTest, AMoveThatCompletesASquareLetsThePlayerMoveAgain) {
  Put(1, 1, 1);
  Put(2, 1, 1);
  Put(1, 2, 1);
  Put(5, 5, 1);
  Move(5, 5, 2, 2);
  EXPECT_EQ(G().CubeCount, 1);  // only the cube at (9, 9) is left
  EXPECT_EQ(Sounds(sndNewTurn), 0);
  EXPECT_EQ(Sounds(sndFigureDone), 1);
  EXPECT_EQ(G().Combo, 1);
  EXPECT_TRUE(HasLabel("40"));
  EXPECT_EQ(G().EndPhase, epPlaying);
  CountAll();
  EXPECT_NEAR(G().Score, 40, 1e-9);
  EXPECT_DOUBLE_EQ(G().PendingScore, 0);
  EXPECT_NEAR(G().Levels[1].Progress, 40, 1e-9);
  EXPECT_TRUE(G().Quiet);
  Click(9, 9);
  EXPECT_EQ(G().Selected, 1);
  ExpectConsistent();
}

TEST_F(GameRulesScenarioTest, AMoveThatScoresNothingBringsANewTurn) {
  Put(5, 5, 1);
  G().Combo = 2;
  Move(5, 5, 5, 7);
  EXPECT_EQ(Sounds(sndNewTurn), 1);
  EXPECT_EQ(G().Combo, 0);
  EXPECT_EQ(G().StateCount[StateSlot(csWaiting)], 3);
  ExpectConsistent();
}

// At a low frame rate a one-step move ends inside the first frame after the click.
TEST_F(GameRulesScenarioTest, AMoveEndingWithinOneLongFrameStillBringsANewTurn) {
  Put(5, 5, 1);
  Click(5, 5);
  Click(5, 6);
  G().Update(250);
  G().Update(16);
  EXPECT_EQ(Sounds(sndNewTurn), 1);
  ExpectConsistent();
}

TEST_F(GameRulesScenarioTest, ABonusFigureCompletedWithAJoker) {
  TBonusFigure& F = G().BonusFigures[1];
  F = TBonusFigure{};
  F.Width = 2;
  F.Height = 1;
  F.ColourCount = 2;
  F.BaseBonus = F.Bonus = 150;
  F.Cubes[1][1].Kind = F.Cubes[1][1].Shown = 1;
  F.Cubes[2][1].Kind = F.Cubes[2][1].Shown = 2;
  G().Levels[1].AllowBomb = true;
  Put(4, 6, 1);
  Put(7, 2, ckJoker);
  Move(7, 2, 5, 6);
  EXPECT_EQ(Sounds(sndShowBonus), 1);
  EXPECT_EQ(Sounds(sndNewTurn), 0);
  EXPECT_TRUE(HasLabel("BONUS"));
  EXPECT_TRUE(HasLabel("150"));
  EXPECT_EQ(Kinds(ckBomb), 1);  // the figure earned an item
  EXPECT_EQ(Kinds(ckJoker), 0);
  EXPECT_EQ(G().Combo, 0);      // a figure alone does not raise the combo...
  CountAll();
  EXPECT_NEAR(G().Score, 150, 1e-9);
  ExpectConsistent();
}

TEST_F(GameRulesScenarioTest, AComboOfThreeEarnsAnItem) {
  G().Levels[1].AllowShot = true;
  const int colours[3] = {1, 2, 3};
  for (int n = 0; n < 3; ++n) {
    const int X = 1 + 3 * n;
    Put(X, 1, colours[n]);
    Put(X + 1, 1, colours[n]);
    Put(X, 2, colours[n]);
    Put(X, 5, colours[n]);
  }
  Move(1, 5, 2, 2);
  EXPECT_TRUE(HasLabel("40"));
  Move(4, 5, 5, 2);
  EXPECT_TRUE(HasLabel("40x2"));
  EXPECT_TRUE(HasLabel("Double score"));
  EXPECT_EQ(Kinds(ckShot), 0);
  Move(7, 5, 8, 2);
  EXPECT_TRUE(HasLabel("40x3"));
  EXPECT_TRUE(HasLabel("Triple score"));
  EXPECT_EQ(Sounds(sndTriple), 1);
  EXPECT_EQ(G().Combo, 3);
  EXPECT_EQ(Kinds(ckShot), 1);
  EXPECT_EQ(Sounds(sndNewTurn), 0);
  CountAll();
  EXPECT_NEAR(G().Score, 40 + 80 + 120, 1e-9);
  ExpectConsistent();
}

TEST_F(GameRulesScenarioTest, AColorizeNextToItemsRecoloursAndCompletesASquare) {
  Put(3, 4, 1);
  Put(3, 5, 1);
  Put(4, 4, 2);
  Put(4, 5, 3);
  Put(4, 6, ckBomb);
  Put(6, 6, ckJoker);
  Put(5, 4, ckStone);
  Put(6, 4, ckShot);
  Put(9, 5, ckColorize1);
  Move(9, 5, 5, 5);
  EXPECT_EQ(Sounds(sndColorize), 1);
  EXPECT_TRUE(HasLabel("20"));  // two coloured neighbours
  EXPECT_EQ(Sounds(sndFigureDone), 1);
  EXPECT_EQ(KindAt(4, 4), 0);  // recoloured, then gone in the square
  EXPECT_EQ(KindAt(3, 4), 0);
  EXPECT_EQ(KindAt(4, 6), ckBomb);
  EXPECT_EQ(KindAt(6, 6), ckJoker);
  EXPECT_EQ(KindAt(5, 4), ckStone);
  EXPECT_EQ(KindAt(6, 4), ckShot);
  EXPECT_EQ(KindAt(5, 5), 0);  // the item itself is used up
  EXPECT_EQ(Sounds(sndNewTurn), 0);
  EXPECT_EQ(G().Combo, 1);
  CountAll();
  EXPECT_NEAR(G().Score, 60, 1e-9);
  ExpectConsistent();
}

TEST_F(GameRulesScenarioTest, ASavedGameContinuesWhereItWasLeft) {
  Put(2, 2, 1);
  Put(6, 3, ckBomb);
  Move(2, 2, 2, 6);  // a new turn announces three cubes
  CountAll();
  G().Score = 321;
  G().EndPhase = epPaused;
  G().Update(16);
  G().SaveGame();

  G().Mode = 1;
  G().NewGame();
  G().EndPhase = epPlaying;
  G().LoadGame(1);
  EXPECT_DOUBLE_EQ(G().Score, 321);
  EXPECT_EQ(G().StateCount[StateSlot(csWaiting)], 3);
  EXPECT_EQ(KindAt(6, 3), ckBomb);
  EXPECT_EQ(KindAt(2, 6), 1);
  RunUntilQuiet();
  ExpectConsistent();
  G().Quiet = true;
  Move(2, 6, 1, 9);
  EXPECT_EQ(KindAt(1, 9), 1);
  ExpectConsistent();
}

// No coloured cube in play, only a bomb and a waiting cube: such a board gets
// new cubes at once, but not while the bomb is on its way to the waiting
// cube's cell, which must still be waiting (and make way) when it lands.
class WaitingBoardTest : public GameRulesTest {
 protected:
  void SetUp() override {
    GameRulesTest::SetUp();
    Put(5, 5, ckBomb);
    PutWaiting(5, 7, 1);
    G().Quiet = true;
    Click(5, 5);  // the bomb selected
  }
};

TEST_F(WaitingBoardTest, TakesItsTurnAfterTheBombHasLanded) {
  Click(5, 7);
  ASSERT_EQ(G().StateCount[StateSlot(csMoving)], 1);
  RunUntilQuiet();
  ExpectConsistent();
  EXPECT_GT(Sounds(sndNewTurn), 0);
}

// With the bomb only selected the turn comes, and the path shown to the cell
// it fills goes, so no click can send the bomb there.
TEST_F(WaitingBoardTest, TakesBackAPathToACellItsTurnFills) {
  Hover(5, 7);
  ASSERT_GT(G().DotCount, 0);
  G().Update(16);
  EXPECT_EQ(G().DotCount, 0);
}

TEST_F(GameRulesScenarioTest, TheInvariantCheckSpotsACorruptedBoard) {
  EXPECT_EQ(autoplay::CheckInvariants(G()), "");
  G().FreeCells[1] = TFreeCell{9, 9};  // the occupied cell listed as free
  EXPECT_NE(autoplay::CheckInvariants(G()).find("free-cell list"), std::string::npos);
  G().ClearBoard();
  Put(3, 3, 1);
  ++G().StateCount[StateSlot(csMoving)];
  EXPECT_NE(autoplay::CheckInvariants(G()).find("StateCount[7]"), std::string::npos);
}

}  // namespace
