// Squares, bonus figures, combos and the items they earn.
#include "../../tools/autoplay/ledger.h"
#include "game_rules_fixture.h"

namespace {

class GameScoringTest : public GameRulesTest {
 protected:
  void Square(int X, int Y, TCubeKind A, TCubeKind B, TCubeKind C, TCubeKind D) {
    Put(X, Y, A);
    Put(X + 1, Y, B);
    Put(X, Y + 1, C);
    Put(X + 1, Y + 1, D);
  }
  // The figure test as it runs in the update in which a move ended.
  void TestAfterMove() {
    G().PrevStateCount[StateSlot(csMoving)] = 1;
    G().TestFigures();
    G().PrevStateCount[StateSlot(csMoving)] = 0;
  }
  // A 2 x 1 figure: colour 1 left of colour 2.
  void SmallFigure() {
    TBonusFigure& F = G().BonusFigures[1];
    F = TBonusFigure{};
    F.Width = 2;
    F.Height = 1;
    F.ColourCount = 2;
    F.BaseBonus = 125;
    F.Cubes[1][1].Kind = F.Cubes[1][1].Shown = 1;
    F.Cubes[2][1].Kind = F.Cubes[2][1].Shown = 2;
    F.Bonus = 150;
  }
};

// ---- Squares -------------------------------------------------------------------------

TEST_F(GameScoringTest, JokersCountAsAnyColour) {
  Square(1, 1, 3, ckJoker, 3, 3);
  Square(5, 5, ckJoker, ckJoker, ckJoker, ckJoker);
  EXPECT_TRUE(G().TestSquare(1, 1));
  EXPECT_TRUE(G().TestSquare(5, 5));
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 8);
}

TEST_F(GameScoringTest, ItemsAndStonesNeverFormASquare) {
  const TCubeKind kinds[] = {ckStone, ckBomb, ckShot, ckColorize2};
  int X = 1;
  for (TCubeKind k : kinds) {
    Square(X, 1, k, k, k, k);
    EXPECT_FALSE(G().TestSquare(X, 1)) << "kind " << int(k);
    Square(X, 4, 1, 1, 1, k);
    EXPECT_FALSE(G().TestSquare(X, 4)) << "kind " << int(k);
    X += 2;
  }
  Square(1, 7, 1, 1, 2, 1);  // mixed colours
  EXPECT_FALSE(G().TestSquare(1, 7));
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 0);
}

TEST_F(GameScoringTest, ABlockOfTwoByThreeScoresTwoSquaresAtOnce) {
  Square(1, 1, 2, 2, 2, 2);
  Put(1, 3, 2);
  Put(2, 3, 2);
  G().TestFigures();
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 6);
  EXPECT_DOUBLE_EQ(G().PendingScore, 80);
  EXPECT_TRUE(HasLabel("80"));
  EXPECT_EQ(Sounds(sndFigureDone), 1);
}

TEST_F(GameScoringTest, ASquareWhoseTopCornerAlreadyExplodesIsNotCountedAgain) {
  Square(1, 1, 2, 2, 2, 2);
  G().SetCubeState(G().Board[2][2].CubeIndex, csExploding);
  EXPECT_FALSE(G().TestSquare(1, 1));
}

TEST_F(GameScoringTest, StaleBoardIndexesAreRenumberedBeforeTheTest) {
  Put(9, 9, 5);
  Square(1, 1, 2, 2, 2, 2);
  G().RemoveCube(1);  // shifts the square's cubes down without renumbering
  G().TestFigures();
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 4);
  EXPECT_DOUBLE_EQ(G().PendingScore, 40);
}

// ---- Combos -------------------------------------------------------------------------

TEST_F(GameScoringTest, ConsecutiveScoringMovesRaiseTheCombo) {
  G().Combo = 1;
  Square(1, 1, 1, 1, 1, 1);
  TestAfterMove();
  EXPECT_EQ(G().Combo, 2);
  EXPECT_DOUBLE_EQ(G().PendingScore, 80);
  EXPECT_TRUE(HasLabel("40x2"));
  EXPECT_TRUE(HasLabel("Double score"));
  EXPECT_EQ(Sounds(sndDouble), 1);
  EXPECT_EQ(G().ItemRequests, 0);
}

TEST_F(GameScoringTest, TwoSquaresInTheThirdMoveOfAComboEarnAnItem) {
  G().Combo = 2;
  Square(1, 1, 1, 1, 1, 1);
  Square(5, 5, 3, 3, 3, 3);
  TestAfterMove();
  EXPECT_EQ(G().Combo, 3);
  EXPECT_DOUBLE_EQ(G().PendingScore, 240);
  EXPECT_TRUE(HasLabel("80x3"));
  EXPECT_TRUE(HasLabel("Triple score"));
  EXPECT_EQ(G().ItemRequests, 1);
}

TEST_F(GameScoringTest, ComboWordsAndItemsBeyondThree) {
  G().Combo = 3;
  Square(1, 1, 1, 1, 1, 1);
  TestAfterMove();
  EXPECT_TRUE(HasLabel("Quadro score"));
  EXPECT_EQ(G().ItemRequests, 0);  // even combos earn nothing
  G().ClearBoard();
  Square(1, 1, 1, 1, 1, 1);
  TestAfterMove();
  EXPECT_TRUE(HasLabel("5x score"));
  EXPECT_EQ(Sounds(sndExcellent), 1);
  EXPECT_EQ(G().ItemRequests, 1);
}

TEST_F(GameScoringTest, AMoveThatScoresNothingEndsTheCombo) {
  G().Combo = 4;
  G().MoveUnscored = true;
  TestAfterMove();
  EXPECT_EQ(G().Combo, 0);
}

TEST_F(GameScoringTest, SquaresOfAppearingCubesScoreWithoutRaisingTheCombo) {
  G().Combo = 0;
  Square(1, 1, 1, 1, 1, 1);
  G().TestFigures();  // not after a move
  EXPECT_EQ(G().Combo, 1);
  EXPECT_DOUBLE_EQ(G().PendingScore, 40);
  G().ClearBoard();
  G().Combo = 3;
  Square(1, 1, 1, 1, 1, 1);
  G().TestFigures();
  EXPECT_EQ(G().Combo, 3);
}

// Cubes already paid for take part in no later square: two fresh cubes beside
// an exploding square do not make a second one with it, while the squares of
// one test may still overlap (above).
TEST_F(GameScoringTest, CubesAlreadyExplodingFormNoFurtherSquare) {
  Square(1, 1, 2, 2, 2, 2);
  G().TestFigures();
  ASSERT_DOUBLE_EQ(G().PendingScore, 40);
  Put(1, 3, 2);
  Put(2, 3, 2);
  G().TestFigures();
  EXPECT_DOUBLE_EQ(G().PendingScore, 40);
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 4);
  EXPECT_FALSE(G().TestSquare(1, 2));
}

// Points earned while a level's end runs (cubes landing or growing in then
// complete squares) are the player's, though counting them takes longer than
// the end: they reach the score, not the next level's progress.
TEST_F(GameScoringTest, PointsEarnedAsALevelEndsReachTheScore) {
  TLevelInfo& L = G().Levels[1];
  L.Progress = L.Target[1];
  Put(9, 9, 3);
  G().Update(16);
  ASSERT_EQ(G().EndPhase, epLevelDone);
  for (int X = 1; X <= 3; ++X)
    for (int Y = 1; Y <= 3; ++Y) Put(X, Y, 2);
  G().TestFigures();  // four squares: 160 points, more than the end counts
  const double owed = G().Score + G().PendingScore;
  ASSERT_DOUBLE_EQ(G().PendingScore, 160);
  ASSERT_TRUE(RunUntil([] { return G().Level == 2; }));
  EXPECT_DOUBLE_EQ(G().Score + G().PendingScore, owed);
  EXPECT_DOUBLE_EQ(G().Levels[2].Progress, 0);
}

// ---- Bonus figures -----------------------------------------------------------------------

// A completed figure earns an item, which grows in; the figure test that runs
// when it has grown must not find the same figure again in the cubes still
// exploding, though the level draws the same figure in the same colours.
TEST_F(GameScoringTest, AFigureThatEarnsAnItemPaysOnce) {
  SmallFigure();
  TLevelInfo& L = G().Levels[1];
  L.Colours = {0, 2, 2};  // the figure's own colours: drawn again unshifted
  L.AllowBomb = true;
  autoplay::TScoreLedger ledger;
  G().ScoreObserver = &ledger;
  Put(9, 9, 3);  // a cube in play: no new turn brings random cubes
  Put(4, 6, 1);
  const int mover = Put(7, 7, 2);
  StartMove(mover, {{7, 6}, {6, 6}, {5, 6}});
  for (double t = 0; t < 3000; t += 16) {
    G().Update(16);
    ASSERT_EQ(ledger.Check(G()), "") << "after " << t << " ms";
  }
  EXPECT_DOUBLE_EQ(G().Score + G().PendingScore, 150);
  EXPECT_EQ(Sounds(sndShowBonus), 1);
  EXPECT_EQ(Kinds(ckBomb), 1);
  EXPECT_EQ(ledger.Count[skFigure], 1);
  G().ScoreObserver = nullptr;
}

TEST_F(GameScoringTest, ABonusFigureCanBeCompletedWithAJoker) {
  SmallFigure();
  Put(4, 6, 1);
  Put(5, 6, ckJoker);  // stands for colour 2
  G().TestFigures();
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 2);
  EXPECT_DOUBLE_EQ(G().PendingScore, 150);
  EXPECT_FALSE(G().MoveUnscored);
  EXPECT_EQ(Sounds(sndShowBonus), 1);
  EXPECT_EQ(Sounds(sndExcellent) + Sounds(sndVoxarine), 1);
  EXPECT_EQ(G().ItemRequests, 1);
  EXPECT_TRUE(HasLabel("BONUS"));
  EXPECT_TRUE(HasLabel("150"));
  // The labels stand over the figure's last cube, (5, 6).
  const D3DVECTOR at = BoardLabelStart(0, 1, LabelSpan(2, 2, 14, "150"));
  for (int i = 1; i <= ScoreLabelCount; ++i)
    if (ScoreLabels[i].Text == "150") {
      EXPECT_FLOAT_EQ(ScoreLabels[i].Position.x, at.x);
      EXPECT_FLOAT_EQ(ScoreLabels[i].Position.y, at.y);
    }
}

TEST_F(GameScoringTest, AFigureWithoutCubesNeverMatches) {
  TBonusFigure& F = G().BonusFigures[1];
  F = TBonusFigure{};
  F.Width = F.Height = 2;
  EXPECT_FALSE(G().TestBonusFigure());
  G().BonusFigureCount = 0;
  G().CurrentFigure = 0;
  EXPECT_FALSE(G().TestBonusFigure());
}

TEST_F(GameScoringTest, FigureColoursShiftWithinTheLevelsColours) {
  SmallFigure();
  TLevelInfo& L = G().Levels[1];
  L.Colours[1] = 2;  // as many colours as the figure: no shift
  L.BonusFactor = 0.2;
  G().ColouriseFigure();
  EXPECT_EQ(G().BonusFigures[1].Cubes[1][1].Shown, 1);
  EXPECT_EQ(G().BonusFigures[1].Cubes[2][1].Shown, 2);
  EXPECT_DOUBLE_EQ(G().BonusFigures[1].Bonus, 150);

  L.Colours[1] = 7;
  bool sawShift = false;
  for (int n = 0; n < 50; ++n) {
    G().ColouriseFigure();
    const int shift = G().BonusFigures[1].Cubes[1][1].Shown - 1;
    EXPECT_TRUE(shift >= 0 && shift <= 4);
    EXPECT_EQ(G().BonusFigures[1].Cubes[2][1].Shown, 2 + shift);
    sawShift |= shift > 0;
  }
  EXPECT_TRUE(sawShift);

  G().BonusFigures[1].BaseBonus = 2.5;  // rounds half to even
  L.BonusFactor = 0;
  G().ColouriseFigure();
  EXPECT_DOUBLE_EQ(G().BonusFigures[1].Bonus, 2);
}

TEST_F(GameScoringTest, AFigureRangeBeyondTheFileIsLowered) {
  G().BonusFigureCount = 3;
  for (int k = 2; k <= 3; ++k) G().BonusFigures[k] = G().BonusFigures[1];
  TLevelInfo& L = G().Levels[1];
  L.FigureMin = 2;
  L.FigureMax = 9;
  for (int n = 0; n < 20; ++n) {
    G().ChooseBonusFigure(false);
    EXPECT_TRUE(G().CurrentFigure == 2 || G().CurrentFigure == 3);
  }
  EXPECT_EQ(L.FigureMax, 3);
  EXPECT_EQ(G().ItemRequests, 0);
}

// ---- Items granted -------------------------------------------------------------------

TEST_F(GameScoringTest, ALevelThatAllowsNoItemGrantsNone) {
  for (int n = 0; n < 5; ++n) G().GrantItem();
  EXPECT_EQ(G().CubeCount, 0);
}

TEST_F(GameScoringTest, GrantedItemsFollowTheLevelsFlags) {
  TLevelInfo& L = G().Levels[1];
  L.AllowBomb = true;
  G().GrantItem();
  ASSERT_EQ(G().CubeCount, 1);
  EXPECT_EQ(G().Cubes[1].Kind, ckBomb);

  L.AllowBomb = false;
  L.AllowColorize = true;
  L.Colours[1] = 3;
  for (int n = 0; n < 20; ++n) G().GrantItem();
  for (int i = 2; i <= G().CubeCount; ++i)
    EXPECT_TRUE(G().Cubes[i].Kind >= ckColorize1 && G().Cubes[i].Kind <= ckColorize3);

  L.AllowColorize = false;
  L.AllowShot = true;
  G().GrantItem();
  EXPECT_EQ(G().Cubes[G().CubeCount].Kind, ckShot);
  ExpectConsistent();
}

TEST_F(GameScoringTest, AGrantedItemGrowsInWithSparkleAndItsName) {
  TLevelInfo& L = G().Levels[1];
  const struct {
    bool Bomb, Colorize, Shot;
    const char* Name;
  } items[] = {{true, false, false, "BOMB!"}, {false, true, false, "COLORIZE!"}, {false, false, true, "SHOT!"}};
  for (const auto& item : items) {
    SCOPED_TRACE(item.Name);
    L.AllowBomb = item.Bomb;
    L.AllowColorize = item.Colorize;
    L.AllowShot = item.Shot;
    ClearAllParticles();
    G().GrantItem();
    const TCube& c = G().Cubes[G().CubeCount];
    EXPECT_EQ(c.State, csAppearing);
    EXPECT_FLOAT_EQ(c.Scale.x, 0.3f) << "starts small like a new cube";
    EXPECT_EQ(G().Board[c.X][c.Y].State, 2) << "a growing item blocks its cell: no cube may be sent onto it";
    EXPECT_TRUE(HasLabel(item.Name));
    EXPECT_NE(ParticleLists[6], nullptr) << "a burst of sparkle";
    ExpectConsistent();
  }
  // Once grown, the items are cubes like any other.
  ASSERT_EQ(G().CubeCount, 3);
  Put(9, 9, 1);  // a colour in play, so the update brings no new turn
  for (int n = 0; n < 30; ++n) G().Update(16);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_NE(G().Cubes[i].State, csAppearing);
    EXPECT_EQ(G().Board[G().Cubes[i].X][G().Cubes[i].Y].State, 2);
  }
}

TEST_F(GameScoringTest, AnItemOnAFullBoardShowsNothing) {
  for (int x = 1; x <= 9; ++x)
    for (int y = 1; y <= 9; ++y) Put(x, y, static_cast<TCubeKind>(1 + (x * 3 + y) % 5));
  G().Levels[1].AllowBomb = true;
  ClearScoreLabels();
  G().GrantItem();
  EXPECT_EQ(G().CubeCount, 81);
  EXPECT_EQ(ScoreLabelCount, 0);
  ExpectConsistent();
}

}  // namespace
