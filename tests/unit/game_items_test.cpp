// Bombs, colorize items and shots on the board.
#include "game_rules_fixture.h"

namespace {

class GameItemsTest : public GameRulesTest {};

TEST_F(GameItemsTest, ABombInACornerBlastsOnlyTheCellsOnTheBoard) {
  for (int X = 1; X <= 3; ++X)
    for (int Y = 1; Y <= 3; ++Y)
      if (X + Y > 2) Put(X, Y, 1);
  Put(1, 1, ckBomb);
  G().BombBlast(1, 1);
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 4);  // the bomb and three cubes
  EXPECT_DOUBLE_EQ(G().PendingScore, 40);
  EXPECT_TRUE(HasLabel("40"));
  EXPECT_EQ(Sounds(sndExplodeBomb), 1);
  EXPECT_FALSE(G().MoveUnscored);
  EXPECT_EQ(G().Cubes[G().Board[3][3].CubeIndex].State, csResting);
}

TEST_F(GameItemsTest, OnABonusLevelBombsPayOnlyInTheTimedMode) {
  G().Levels[1].Kind = 2;
  for (int mode : {1, 2}) {
    G().ClearBoard();
    G().PendingScore = 0;
    G().Mode = static_cast<std::uint8_t>(mode);
    Put(5, 5, ckBomb);
    Put(6, 5, ckBomb);
    Put(4, 4, ckStone);
    PutWaiting(5, 6, ckStone);  // not yet full size: untouched
    G().BombBlast(5, 5);
    EXPECT_DOUBLE_EQ(G().PendingScore, mode == 1 ? 10 : 30) << "mode " << mode;
    EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 3);
  }
}

TEST_F(GameItemsTest, ColorizeChangesOnlyTheColouredNeighbours) {
  const int item = Put(5, 5, ckColorize4);
  const int red = Put(4, 4, 1);
  const int green = Put(6, 6, 2);
  const int joker = Put(5, 6, ckJoker);
  const int bomb = Put(4, 5, ckBomb);
  const int shot = Put(6, 4, ckShot);
  const int other = Put(4, 6, ckColorize1);
  const int stone = Put(5, 4, ckStone);
  const int far = Put(7, 7, 3);
  G().Colorize(5, 5, 3);
  EXPECT_EQ(G().Cubes[red].Kind, 4);
  EXPECT_EQ(G().Cubes[green].Kind, 4);
  EXPECT_EQ(G().Cubes[joker].Kind, ckJoker);
  EXPECT_EQ(G().Cubes[bomb].Kind, ckBomb);
  EXPECT_EQ(G().Cubes[shot].Kind, ckShot);
  EXPECT_EQ(G().Cubes[other].Kind, ckColorize1);
  EXPECT_EQ(G().Cubes[stone].Kind, ckStone);
  EXPECT_EQ(G().Cubes[far].Kind, 3);
  EXPECT_EQ(G().Cubes[item].State, csExploding);
  EXPECT_EQ(G().Cubes[red].State, csResting);  // recoloured cubes stay
  EXPECT_DOUBLE_EQ(G().PendingScore, 20);
  EXPECT_EQ(Sounds(sndColorize), 1);
}

TEST_F(GameItemsTest, ColorizeWithoutColouredNeighboursStillShowsZero) {
  Put(1, 9, ckColorize2);
  Put(2, 9, ckBomb);
  G().Colorize(1, 9, 1);
  EXPECT_TRUE(HasLabel("0"));
  EXPECT_EQ(Sounds(sndColorize), 1);
  EXPECT_FALSE(G().MoveUnscored);
}

TEST_F(GameItemsTest, AShotTakesEveryCubeOfItsKindThatIsNotMerelyAnnounced) {
  Put(1, 1, 3);
  const int appearing = Put(2, 2, 3);
  G().SetCubeState(appearing, csAppearing);
  const int waiting = PutWaiting(3, 3, 3);
  const int other = Put(4, 4, 2);
  G().HoverX = 1;
  G().HoverY = 1;
  G().ShootColour(3);
  EXPECT_EQ(G().StateCount[StateSlot(csExploding)], 2);
  EXPECT_EQ(G().Cubes[waiting].State, csWaiting);
  EXPECT_EQ(G().Cubes[other].State, csResting);
  EXPECT_DOUBLE_EQ(G().PendingScore, 20);
  EXPECT_EQ(Sounds(sndShot), 1);
  ASSERT_GE(ScoreLabelCount, 1);
  // Over the cell under the mouse, moved inward off the board's edge.
  const D3DVECTOR at = BoardLabelStart(-4, -4, LabelSpan(2, 2, 14, "20"));
  EXPECT_FLOAT_EQ(ScoreLabels[ScoreLabelCount].Position.x, at.x);
  EXPECT_FLOAT_EQ(ScoreLabels[ScoreLabelCount].Position.y, at.y);
}

TEST_F(GameItemsTest, OnlyThePlainColoursAreNotSpecial) {
  for (int k = 1; k <= 7; ++k) EXPECT_FALSE(IsSpecialKind(static_cast<TCubeKind>(k)));
  for (int k : {0, 8, 9, 10, 11, 17, 18, 200}) EXPECT_TRUE(IsSpecialKind(static_cast<TCubeKind>(k)));
}

}  // namespace
