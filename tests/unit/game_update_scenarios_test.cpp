// Scripted sequences of the per-frame update: level ends of every kind, game
// over by energy or by a full board reached outside play, the wrap after
// level 100, a bomb in a corner, a pause in mid-move, games played twice.
#include <cmath>
#include <filesystem>

#include "foundation_temp.h"
#include "game_update_fixture.h"
#include "game/planes.h"
#include "platform/win32/paths.h"
#include "shell/form_main.h"

namespace {

using ScenarioTest = GameUpdateTest;

// Level 5 made a bonus level, its board holding stones at the given cells.
void BonusBoard(ScenarioTest& T, const std::vector<std::pair<int, int>>& Stones) {
  TGame& g = *Game;
  g.Level = 5;
  g.Levels[5].Kind = 2;
  g.ClearBoard();
  for (auto [x, y] : Stones) T.Put(x, y, ckStone);
}

// A bonus level: stones at the given cells, one bomb that lands next to the
// first stone and blasts it.
void PlayBonusLevel(ScenarioTest& T, const std::vector<std::pair<int, int>>& Stones) {
  BonusBoard(T, Stones);
  const int bomb = T.Put(Stones[0].first + 2, Stones[0].second, ckBomb);
  T.StartMove(bomb, {{Stones[0].first + 1, Stones[0].second}});
  AudioCalls.clear();
}

TEST_F(ScenarioTest, BonusLevelWithOneStoneLeftPaysThreeQuarters) {
  PlayBonusLevel(*this, {{2, 2}, {8, 8}});
  Run(700);  // the bomb lands, blasts the stone and both are removed
  EXPECT_EQ(G().EndPhase, epLevelDone);
  EXPECT_EQ(G().CubeCount, 0) << "a finished bonus level clears the board";
  // One stone pays CubePoints (the bomb pays nothing in mode 1), then 225.
  EXPECT_DOUBLE_EQ(G().Score, 10 + 225);
  EXPECT_DOUBLE_EQ(G().PendingScore, 0);
  EXPECT_TRUE(HasLabel("LEVEL COMPLETED"));
  EXPECT_EQ(Sounds(sndBonusLevelDone), 1);
  EXPECT_FALSE(HasLabel("One cube left"));

  Run(2000);
  EXPECT_TRUE(HasLabel("One cube left"));
  EXPECT_FALSE(HasLabel("Bonus  +225"));
  Run(2000);
  EXPECT_TRUE(HasLabel("Bonus  +225"));
  EXPECT_EQ(Sounds(sndMessage), 3);
  Run(2100);
  EXPECT_EQ(G().Level, 6);
  EXPECT_EQ(G().EndPhase, epPlaying);
}

TEST_F(ScenarioTest, BonusLevelWithFiveStonesLeftPaysNothing) {
  PlayBonusLevel(*this, {{2, 2}, {8, 8}, {8, 6}, {6, 8}, {8, 4}, {4, 8}});
  Run(700);
  EXPECT_EQ(G().EndPhase, epLevelDone);
  EXPECT_DOUBLE_EQ(G().Score, 10);
  Run(4100);
  EXPECT_TRUE(HasLabel("5 cubes left"));
  EXPECT_TRUE(HasLabel("No bonus"));
  EXPECT_DOUBLE_EQ(G().Score, 10);
}

// A bomb in a corner behind two stones can never move again: the untimed mode
// would wait forever, so the level is counted as it stands. A shot beside the
// bomb with room to go could still free it, and keeps the level going.
TEST_F(ScenarioTest, ABonusLevelEndsWhenNoBombCanMoveAgain) {
  BonusBoard(*this, {{9, 8}, {2, 2}, {3, 3}});
  const int shot = Put(8, 9, ckShot);
  Put(9, 9, ckBomb);
  G().Update(16);
  EXPECT_EQ(G().EndPhase, epPlaying) << "the shot can make way for the bomb";

  G().Cubes[shot].Kind = ckStone;
  G().Update(16);
  EXPECT_EQ(G().EndPhase, epLevelDone);
  Run(4100);
  EXPECT_TRUE(HasLabel("4 cubes left"));
}

TEST_F(ScenarioTest, FinaleLevelThrowsTheCubesAndSweepsTheCamera) {
  G().Level = 4;
  G().Levels[4].Kind = 1;
  MakeBonusLevel(5, 4, 2);  // the bonus level that follows
  for (int x = 1; x <= 9; x += 2) Put(x, 7, ckColour1 + x % 3);
  G().Levels[4].Progress = 1000;
  G().Update(16);
  ASSERT_EQ(G().EndPhase, epLevelDone);
  EXPECT_EQ(Sounds(sndFlyingBy), 1);

  Run(1500);
  bool moved = false;
  for (int i = 1; i <= G().CubeCount; ++i) {
    const TCube& c = G().Cubes[i];
    if (c.Position.x != c.X - 5 || c.Position.y != c.Y - 5) moved = true;
    EXPECT_GE(c.Position.z, 0.4f) << "cubes bounce on the floor";
  }
  EXPECT_TRUE(moved);
  EXPECT_NE(Options->CameraEye.z, 12.7f) << "the camera is on its circle";

  Run(2400);  // 3000 at 0.8 per ms
  EXPECT_EQ(G().Level, 5);
  EXPECT_EQ(G().EndPhase, epPlaying);
  EXPECT_FLOAT_EQ(Options->CameraEye.x, -1.8f);
  EXPECT_FLOAT_EQ(Options->CameraEye.z, 12.7f);
  EXPECT_EQ(G().CubeCount, 4 + 2) << "the bonus level sets out its own stones and bombs";
  ExpectConsistent();
}

TEST_F(ScenarioTest, TimedLevelIsLostWhenEnergyRunsOut) {
  const std::string save = WritablePath(SaveFileNames[2]);
  WriteText(save, "saved");
  GameState = gsGame;

  G().Mode = 2;
  for (int x = 1; x <= 4; ++x) Put(x, 1, ckColour1 + x);
  G().Levels[1].Progress = 1.0;
  G().DrainRate = 0.01;  // the running level's rate
  Run(96);  // 0.96 drained: still in play
  EXPECT_EQ(G().EndPhase, epPlaying);
  Run(64);
  ASSERT_EQ(G().EndPhase, epGameOver);
  EXPECT_EQ(Sounds(sndGameOver), 1);
  EXPECT_FALSE(std::filesystem::exists(save)) << "a lost game deletes its save";

  ASSERT_TRUE(RunUntil([] { return GameState == gsGameOver; }, 6000 / 0.9 + 32));
  EXPECT_EQ(G().EndPhase, epPlaying);
  EXPECT_EQ(G().CubeCount, 0);
  EXPECT_EQ(LastMenuTrack, 2);
  ASSERT_FALSE(AudioCalls.empty());
  EXPECT_EQ(AudioCalls.back().Name, "PlayMusic");
  EXPECT_EQ(AudioCalls.back().Arg, 1);
}

TEST_F(ScenarioTest, EnergyOfExactlyZeroIsNotYetLost) {
  G().Mode = 2;
  Put(1, 1, ckColour1);
  G().Levels[1].Progress = 0.16;
  G().DrainRate = 0.01;  // the running level's rate
  G().Update(16);
  EXPECT_NEAR(G().Levels[1].Progress, 0, 1e-12);
  G().Levels[1].Progress = 0;
  G().Update(0);
  EXPECT_EQ(G().EndPhase, epPlaying);
}

TEST_F(ScenarioTest, LevelHundredLeadsToLevelOneOfTheOtherMode) {
  GameState = gsGame;
  G().Level = 100;
  Put(1, 1, ckColour1);
  G().Levels[100].Progress = 1000;
  G().PendingScore = 100;
  G().Update(16);
  ASSERT_EQ(G().EndPhase, epLevelDone);
  EXPECT_DOUBLE_EQ(G().Score, 100) << "completing a level counts all pending points at once";
  ASSERT_TRUE(RunUntil([] { return Game->Level == 1; }, 3000 / 5.5 + 32));
  EXPECT_EQ(G().Mode, 2);
  EXPECT_DOUBLE_EQ(G().Levels[1].Progress, 500) << "the timed mode starts half full";
  EXPECT_DOUBLE_EQ(G().Score, 100) << "the score carries over";
  EXPECT_GT(std::count_if(AudioCalls.begin(), AudioCalls.end(),
                          [](const TAudioCall& c) { return c.Name == "PlayMusic" && c.Arg == 3; }),
            0) << "the other mode's theme";
}

TEST_F(ScenarioTest, BombInACornerBlastsOnlyTheCellsOnTheBoard) {
  Put(2, 1, ckColour2);
  Put(2, 2, ckColour3);
  Put(3, 1, ckColour4);  // just outside the block
  Put(3, 2, ckColour5);
  const int bomb = Put(1, 4, ckBomb);
  StartMove(bomb, {{1, 3}, {1, 2}, {1, 1}});
  Run(800);
  ASSERT_EQ(G().CubeCount, 2);
  EXPECT_EQ(G().Cubes[1].Kind, ckColour4);
  EXPECT_EQ(G().Cubes[2].Kind, ckColour5);
  EXPECT_DOUBLE_EQ(G().Score + G().PendingScore, 30) << "two cubes and the bomb";
  EXPECT_TRUE(HasLabel("30"));
  EXPECT_EQ(Sounds(sndExplodeBomb), 1);
  EXPECT_EQ(Sounds(sndMoved), 1);
  EXPECT_EQ(Sounds(sndMoveBomb), 2);
  ExpectConsistent();
}

TEST_F(ScenarioTest, PauseInMidMoveLetsTheCubeFinishItsMove) {
  Put(5, 5, ckColour1);
  Put(6, 6, ckColour2);
  const int mover = Put(1, 1, ckColour3);
  StartMove(mover, {{2, 1}, {3, 1}, {4, 1}, {4, 2}});
  Run(80);
  G().EndPhase = epPaused;
  Run(600);
  EXPECT_EQ(G().DotCount, 0);
  EXPECT_EQ(G().Selected, 0);
  EXPECT_EQ(G().StateCount[StateSlot(csMoving)], 0);
  const TCube& c = G().Cubes[mover];
  EXPECT_EQ(c.X, 4);
  EXPECT_EQ(c.Y, 2);
  EXPECT_FLOAT_EQ(c.Position.z, 0.4f);
  EXPECT_EQ(G().Board[1][1].State, 0);
  EXPECT_EQ(G().Board[4][2].State, 2);
  ExpectConsistent();
}

// ---- A full board reached outside play ----------------------------------------------

// Every cell holds a cube but (1, 1) and (1, 2); no two neighbours share a
// colour. Returns the cube at (1, 3), which a move to (1, 2) leaves room for
// two of the three new cubes.
int FillBoardButTwoCells(ScenarioTest& T) {
  int mover = 0;
  for (int X = 1; X <= 9; ++X)
    for (int Y = 1; Y <= 9; ++Y) {
      if (X == 1 && Y <= 2) continue;
      const int i = T.Put(X, Y, static_cast<TCubeKind>((X + 2 * Y) % 5 + 1));
      if (X == 1 && Y == 3) mover = i;
    }
  return mover;
}

TEST_F(ScenarioTest, AFullBoardReachedDuringAPauseEndsTheGameWhenPlayResumes) {
  const int mover = FillBoardButTwoCells(*this);
  StartMove(mover, {{1, 2}});
  G().Update(16);
  G().EndPhase = epPaused;
  ASSERT_TRUE(RunUntil([] { return Game->FreeCount == 0; }, 2000)) << "the move ends and a new turn comes";
  Run(1000);
  EXPECT_EQ(G().EndPhase, epPaused);
  EXPECT_EQ(Sounds(sndGameOver), 0);
  G().EndPhase = epPlaying;
  G().Update(16);
  EXPECT_EQ(G().EndPhase, epGameOver);
  EXPECT_EQ(Sounds(sndGameOver), 1);
  ExpectConsistent();
}

TEST_F(ScenarioTest, AFullBoardReachedAsTheLevelEndsEndsTheGameInTheNextLevel) {
  const int mover = FillBoardButTwoCells(*this);
  StartMove(mover, {{1, 2}});
  G().Levels[1].Progress = G().Levels[1].Target[1];
  G().Update(250);  // the move ends in the update that completes the level
  ASSERT_EQ(G().EndPhase, epLevelDone);
  EXPECT_EQ(Sounds(sndNewTurn), 1);
  EXPECT_EQ(G().FreeCount, 0);
  ASSERT_TRUE(RunUntil([] { return Game->Level == 2; }, 3000));
  EXPECT_EQ(G().EndPhase, epPlaying);
  G().Update(16);
  EXPECT_EQ(G().EndPhase, epGameOver);
  ExpectConsistent();
}

TEST_F(ScenarioTest, ABoardClearedMeanwhileOwesNothing) {
  const int mover = FillBoardButTwoCells(*this);
  StartMove(mover, {{1, 2}});
  G().Update(16);
  G().EndPhase = epPaused;
  ASSERT_TRUE(RunUntil([] { return Game->FreeCount == 0; }, 2000));
  G().Levels[2].Kind = 2;  // the next level is a bonus level on a board of its own
  G().Levels[2].Stones = {0, 1, 1};
  G().StartLevel();
  G().EndPhase = epPlaying;
  Run(100);
  EXPECT_EQ(G().EndPhase, epPlaying);
  EXPECT_EQ(G().CubeCount, 4) << "three stones and a bomb, nothing more";
  EXPECT_EQ(G().StateCount[StateSlot(csWaiting)], 0);
  ExpectConsistent();
}

// ---- What a run changes stays with the run --------------------------------------------

int CountKind(TCubeKind Kind) {
  int n = 0;
  for (int i = 1; i <= Game->CubeCount; ++i) n += Game->Cubes[i].Kind == Kind;
  return n;
}

TEST_F(ScenarioTest, TwoGamesInARowPlayAlike) {
  G().Mode = 2;
  TLevelInfo& L = G().Levels[1];
  L.Stones = {0, 15, 15};  // one stone in ten new cubes
  L.Target = {0, 1e6, 1e6};
  struct TFigures {
    double Progress;
    int StonesPlaced;
    bool operator==(const TFigures&) const = default;
  };
  auto play = [&] {
    RandSeed(99);
    G().Combo = 0;
    G().NewGame();
    for (int n = 0; n < 20; ++n) G().NewTurn();
    Run(80000);  // past the first minute: two speed-ups of the drain
    EXPECT_NEAR(G().DrainRate, 0.01 * 1.1 * 1.1, 1e-12);
    return TFigures{L.Progress, CountKind(ckStone)};
  };
  const TFigures first = play();
  const TFigures second = play();
  EXPECT_GT(first.StonesPlaced, 0);
  EXPECT_EQ(first, second) << "progress " << first.Progress << " / " << second.Progress << ", stones "
                           << first.StonesPlaced << " / " << second.StonesPlaced;
  EXPECT_EQ(L.Stones[2], 15);
  EXPECT_DOUBLE_EQ(L.DrainRate, 0.01);
}

TEST_F(ScenarioTest, APauseDoesNotAdvanceTheDrainClock) {
  G().Mode = 2;
  G().Levels[1].Target = {0, 1e6, 1e6};
  G().NewGame();
  Run(50000);
  const double progress = G().Levels[1].Progress;
  G().EndPhase = epPaused;
  Run(60000);
  EXPECT_DOUBLE_EQ(G().Levels[1].Progress, progress) << "no drain while paused";
  G().EndPhase = epPlaying;
  Run(4800);  // 300 updates, still short of the first minute of play
  EXPECT_NEAR(progress - G().Levels[1].Progress, 4800 * 0.01, 1e-6);
}

// ---- The end of a level ------------------------------------------------------------------

TEST_F(ScenarioTest, ASelectedCubeSettlesWhenTheLevelEndsAndFliesWithTheOthers) {
  G().Levels[1].Kind = 1;  // a finale: every cube flies off
  const int i = Put(5, 5, 1);
  Put(3, 3, 2);
  G().Select(i);
  Run(100);
  G().Levels[1].Progress = G().Levels[1].Target[1];
  G().Update(16);
  ASSERT_EQ(G().EndPhase, epLevelDone);
  EXPECT_EQ(G().Selected, 0);
  EXPECT_NE(G().Cubes[i].State, csSelected);
  Run(500);
  const D3DVECTOR p = G().Cubes[i].Position;
  EXPECT_GT(std::hypot(p.x, p.y, p.z - 0.4f), 0.5f) << "it left its cell";
}

}  // namespace
