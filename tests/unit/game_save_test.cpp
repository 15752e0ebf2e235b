// Saved games: the file format, a round trip, and files the game must refuse.
#include <filesystem>

#include "game/planes.h"
#include "game_rules_fixture.h"
#include "platform/win32/io_error.h"

namespace {

class GameSaveTest : public GameRulesTest {
 protected:
  std::string SavePath(int Mode = 1) const { return Folder / ("data/Save" + std::to_string(Mode) + ".dat"); }

  // A file as the game writes it, with the given cube lines after the header.
  static std::string File(const std::string& Header, const std::string& Cubes) {
    std::string text = "01/02/24 10:00:00\r\n" + Header + Cubes;
    return text;
  }

  // The state NewGame leaves, to compare against after a refused load.
  struct TSnapshot {
    int Level, CubeCount, FreeCount, Mode;
    double Score;
    bool operator==(const TSnapshot&) const = default;
  };
  TSnapshot Snap() const {
    return {G().Level, G().CubeCount, G().FreeCount, G().Mode, G().Score};
  }
};

// ---- Writing ------------------------------------------------------------------------

TEST_F(GameSaveTest, TheFileHoldsOneValuePerLineWithWindowsLineEnds) {
  G().Level = 3;
  G().StonesLeft = 4;
  G().Levels[3].Progress = 1.5;
  G().Score = -2.25;  // a score is never negative; the sign column still must work
  G().CurrentFigure = 1;
  PutWaiting(2, 3, ckJoker);
  Put(9, 1, ckStone);
  G().SaveGame();
  const std::string text = ReadText(SavePath());
  const std::size_t header = text.find("\r\n") + 2;
  EXPECT_EQ(text.substr(header),
            "1\r\n3\r\n4\r\n"
            " 1.50000000000000E+0000\r\n"
            "-2.25000000000000E+0000\r\n"
            "1\r\n2\r\n"
            "0\r\n7\r\n2\r\n3\r\n"
            "1\r\n17\r\n9\r\n1\r\n");
}

TEST_F(GameSaveTest, RealsKeepTheirFieldForAnyExponent) {
  G().Levels[1].Progress = 0;
  G().Score = 123456.789;
  G().SaveGame();
  const std::string text = ReadText(SavePath());
  EXPECT_NE(text.find("\r\n 0.00000000000000E+0000\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n 1.23456789000000E+0005\r\n"), std::string::npos);
  G().Score = 0.00125;
  G().SaveGame();
  EXPECT_NE(ReadText(SavePath()).find("\r\n 1.25000000000000E-0003\r\n"), std::string::npos);
}

TEST_F(GameSaveTest, ASaveReplacesTheOldFileWhole) {
  WriteText(SavePath(), std::string(5000, 'x'));
  G().SaveGame();
  const std::string text = ReadText(SavePath());
  EXPECT_EQ(text.find('x'), std::string::npos);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Folder / "data")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);  // no temporary left behind
}

TEST_F(GameSaveTest, PointsStillBeingCountedAndLeavingCubesAreNotLost) {
  G().Score = 100;
  G().PendingScore = 40;
  G().Levels[1].Progress = 60;
  Put(1, 1, 1);
  const int leaving = Put(2, 2, 2);
  G().SetCubeState(leaving, csExploding);
  G().SaveGame();
  G().LoadGame(1);
  EXPECT_DOUBLE_EQ(G().Score, 140);
  EXPECT_DOUBLE_EQ(G().Levels[1].Progress, 100);
  EXPECT_EQ(G().CubeCount, 1);
}

// ---- Round trip ---------------------------------------------------------------------

TEST_F(GameSaveTest, LoadingRestoresEverySavedField) {
  G().Mode = 2;
  G().Level = 7;
  TLevelInfo& L = G().Levels[7];
  G().StonesLeft = 3;
  L.Progress = 412.5;
  G().Score = 9876;
  const TCubeKind kinds[] = {1, 7, ckJoker, ckBomb, ckShot, ckColorize1, ckColorize7, ckStone};
  int X = 1;
  for (TCubeKind k : kinds) Put(X++, 4, k);
  PutWaiting(3, 8, 5);
  G().Combo = 5;
  G().DrainRate = 0.5;  // sped up by play
  G().SaveGame();

  G().Mode = 1;
  G().NewGame();
  G().Combo = 5;
  G().LoadGame(2);
  EXPECT_EQ(G().Mode, 2);
  EXPECT_EQ(G().Level, 7);
  EXPECT_EQ(G().StonesLeft, 3);
  EXPECT_EQ(L.Stones[2], 0) << "the level table stays as read";
  EXPECT_DOUBLE_EQ(G().DrainRate, L.DrainRate) << "the speed-up starts again";
  EXPECT_DOUBLE_EQ(L.Progress, 412.5);
  EXPECT_DOUBLE_EQ(G().Score, 9876);
  EXPECT_EQ(G().Combo, 0);
  EXPECT_EQ(G().Selected, 0);
  EXPECT_EQ(G().DotCount, 0);
  ASSERT_EQ(G().CubeCount, 9);
  for (int i = 1; i <= 8; ++i) {
    const TCube& c = G().Cubes[i];
    EXPECT_EQ(c.Kind, kinds[i - 1]) << "cube " << i;
    EXPECT_EQ(c.X, i);
    EXPECT_EQ(c.Y, 4);
    EXPECT_EQ(c.State, csAppearing);  // grows in again
    EXPECT_FLOAT_EQ(c.Scale.x, 0.8f);
    EXPECT_EQ(G().Board[i][4].State, 2);
  }
  const TCube& w = G().Cubes[9];
  EXPECT_EQ(w.State, csWaiting);
  EXPECT_FLOAT_EQ(w.Scale.x, 0.3f);
  EXPECT_FLOAT_EQ(w.Position.z, 0.15f);
  EXPECT_EQ(G().Board[3][8].State, 1);
  EXPECT_EQ(G().FreeCount, 72);
  EXPECT_EQ(G().PrevStateCount, G().StateCount);
  ExpectConsistent();

  // The appearing cubes play their animation once and settle.
  RunUntilQuiet();
  EXPECT_EQ(G().StateCount[StateSlot(csResting)], 8);
  EXPECT_EQ(G().StateCount[StateSlot(csWaiting)], 1);
}

TEST_F(GameSaveTest, AMissingFileLeavesAnEmptyBoardAtLevelOneOfTheMode) {
  G().Level = 9;
  Put(1, 1, 1);
  G().LoadGame(2);
  EXPECT_EQ(G().Level, 1);
  EXPECT_EQ(G().Mode, 2);
  EXPECT_EQ(G().CubeCount, 0);
}

TEST_F(GameSaveTest, TheBonusFigureIsDrawnAfreshWithoutAnnouncement) {
  WriteText(SavePath(), File("1\r\n1\r\n0\r\n 0.0E+0000\r\n 0.0E+0000\r\n7\r\n0\r\n", ""));
  G().LoadGame(1);
  EXPECT_EQ(G().CurrentFigure, 1);
  EXPECT_EQ(G().ItemRequests, 0);
  EXPECT_EQ(Sounds(sndExcellent) + Sounds(sndVoxarine), 0);
}

TEST_F(GameSaveTest, LoadingLightsTheBonusLightsOfTheLoadedLevel) {
  G().BonusLights = std::make_unique<TBonusLight>(Device, "missing.tga", D3DVECTOR{1, 1, 1}, D3DVECTOR{}, D3DVECTOR{});
  G().Levels[7].LightsOff = 3;
  G().NewGame();
  ASSERT_EQ(G().BonusLights->LitCount, 5);
  WriteText(SavePath(), File("1\r\n7\r\n0\r\n 0.0E+0000\r\n 0.0E+0000\r\n1\r\n0\r\n", ""));
  G().LoadGame(1);
  EXPECT_EQ(G().BonusLights->LitCount, 2);
}

// ---- Saving while a completed level's end sequence runs ---------------------------------
// The level is over and paid: the save goes on with the level that follows.

TEST_F(GameSaveTest, ASaveAsABonusLevelEndsGoesOnWithTheNextLevelPaidOnce) {
  G().Level = 5;
  G().Levels[5].Kind = 2;
  G().ClearBoard();
  Put(2, 2, ckStone);
  const int bomb = Put(4, 2, ckBomb);
  StartMove(bomb, {{3, 2}});
  Run(700);  // the bomb takes the last stone with it
  ASSERT_EQ(G().EndPhase, epLevelDone);
  const double score = G().Score;
  ASSERT_DOUBLE_EQ(score, 10 + 300);
  G().SaveGame();

  G().NewGame();
  G().EndPhase = epPlaying;
  G().LoadGame(1);
  EXPECT_EQ(G().Level, 6);
  EXPECT_DOUBLE_EQ(G().Score, score);
  Run(3000);
  EXPECT_EQ(G().Level, 6);
  EXPECT_EQ(G().EndPhase, epPlaying);
  EXPECT_DOUBLE_EQ(G().Score, score);
  ExpectConsistent();
}

// Whatever the end phase says by then: a pause laid over the bonus level's
// end once made the save hold the cleared level, which paid its bonus again.
TEST_F(GameSaveTest, ASaveOfACompletedLevelHoldsTheNextLevelWhateverTheEndPhase) {
  G().Level = 5;
  MakeBonusLevel(5, 0, 0);
  G().ClearBoard();
  G().Update(16);  // no stone, no bomb: the level is counted and completed
  ASSERT_EQ(G().EndPhase, epLevelDone);
  const double score = G().Score;
  ASSERT_DOUBLE_EQ(score, 300);
  G().EndPhase = epPaused;
  G().SaveGame();

  G().NewGame();
  G().LoadGame(1);
  EXPECT_EQ(G().Level, 6);
  Run(1000);
  EXPECT_EQ(G().Level, 6);
  EXPECT_DOUBLE_EQ(G().Score, score);
}

TEST_F(GameSaveTest, ASaveAsAFinaleEndsGoesOnWithTheBonusLevelsOwnBoard) {
  G().Levels[4].Kind = 1;
  MakeBonusLevel(5, 6, 2);
  G().Level = 4;
  Put(5, 5, 1);
  Put(6, 6, 2);
  G().Levels[4].Progress = G().Levels[4].Target[1];
  G().Update(16);
  ASSERT_EQ(G().EndPhase, epLevelDone);
  G().SaveGame();

  G().NewGame();
  G().EndPhase = epPlaying;
  G().LoadGame(1);
  EXPECT_EQ(G().Level, 5);
  EXPECT_EQ(Kinds(ckStone), 6);
  EXPECT_EQ(Kinds(ckBomb), 2);
  EXPECT_EQ(G().CubeCount, 8) << "the finale's cubes have flown off";
  Run(1000);
  EXPECT_EQ(G().EndPhase, epPlaying) << "the bonus level is there to be played";
  EXPECT_DOUBLE_EQ(G().Score, 0);
  ExpectConsistent();
}

TEST_F(GameSaveTest, ASaveAsLevel100EndsGoesOnAtLevel1OfTheOtherMode) {
  G().Level = 100;
  Put(5, 5, 1);
  G().Levels[100].Progress = G().Levels[100].Target[1];
  G().Update(16);
  ASSERT_EQ(G().EndPhase, epLevelDone);
  G().SaveGame();
  EXPECT_FALSE(std::filesystem::exists(SavePath(1)));
  G().LoadGame(2);
  EXPECT_EQ(G().Mode, 2);
  EXPECT_EQ(G().Level, 1);
  EXPECT_DOUBLE_EQ(G().Levels[1].Progress, 500);
  EXPECT_EQ(G().CubeCount, 1);
}

// ---- Refused files ------------------------------------------------------------------

struct TBadSave {
  const char* Name;
  std::string Text;
  int Line;          // the line the error names
  const char* Rule;  // a word of the message
};

class GameSaveRejectTest : public GameSaveTest, public ::testing::WithParamInterface<TBadSave> {};

const std::string Head = "x\r\n";
const std::string Tail = " 1.0E+0000\r\n 2.0E+0000\r\n1\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rules, GameSaveRejectTest,
    ::testing::Values(
        TBadSave{"ModeThree", Head + "3\r\n1\r\n0\r\n" + Tail + "0\r\n", 2, "mode"},
        TBadSave{"LevelZero", Head + "1\r\n0\r\n0\r\n" + Tail + "0\r\n", 3, "level"},
        TBadSave{"Level101", Head + "1\r\n101\r\n0\r\n" + Tail + "0\r\n", 3, "level"},
        TBadSave{"TooManyCubes", Head + "1\r\n1\r\n0\r\n" + Tail + "82\r\n", 8, "cube count"},
        TBadSave{"CellOffTheBoard", Head + "1\r\n1\r\n0\r\n" + Tail + "1\r\n1\r\n2\r\n10\r\n3\r\n", 11, "column"},
        TBadSave{"RowZero", Head + "1\r\n1\r\n0\r\n" + Tail + "1\r\n1\r\n2\r\n3\r\n0\r\n", 12, "row"},
        TBadSave{"TwoCubesOnOneCell",
                 Head + "1\r\n1\r\n0\r\n" + Tail + "2\r\n1\r\n1\r\n4\r\n4\r\n0\r\n2\r\n4\r\n4\r\n", 16, "two cubes"},
        TBadSave{"CodeEighteen", Head + "1\r\n1\r\n0\r\n" + Tail + "1\r\n1\r\n18\r\n3\r\n3\r\n", 10, "code"},
        TBadSave{"Truncated", Head + "1\r\n1\r\n0\r\n" + Tail + "2\r\n1\r\n1\r\n4\r\n4\r\n0\r\n", 0, ""},
        TBadSave{"NotANumber", Head + "1\r\nfive\r\n", 0, ""},
        // Values no game reaches: they would overflow the whole-number
        // conversions of the display or the level start.
        TBadSave{"StonesInt32Max", Head + "1\r\n1\r\n2147483647\r\n" + Tail + "0\r\n", 4, "stones"},
        TBadSave{"StonesNegative", Head + "1\r\n1\r\n-1\r\n" + Tail + "0\r\n", 4, "stones"},
        TBadSave{"ProgressNegative", Head + "1\r\n1\r\n0\r\n-1\r\n 2.0E+0000\r\n1\r\n0\r\n", 5, "progress"},
        TBadSave{"ScoreHuge", Head + "1\r\n1\r\n0\r\n 1.0E+0000\r\n 1.0E+0300\r\n1\r\n0\r\n", 6, "score"},
        TBadSave{"ScoreNegative", Head + "1\r\n1\r\n0\r\n 1.0E+0000\r\n-5\r\n1\r\n0\r\n", 6, "score"},
        // The file of the other mode's slot: loading it would save over, or
        // on game over delete, the other mode's game.
        TBadSave{"ModeOfTheOtherSlot", Head + "2\r\n1\r\n0\r\n" + Tail + "0\r\n", 2, "mode 2"},
        // More records than the count: the count or the file is damaged.
        TBadSave{"RecordsBeyondTheCount",
                 Head + "1\r\n1\r\n0\r\n" + Tail + "1\r\n1\r\n1\r\n4\r\n4\r\n\r\n0\r\n2\r\n5\r\n5\r\n", 14,
                 "more lines"}),
    [](const ::testing::TestParamInfo<TBadSave>& Info) { return std::string(Info.param.Name); });

// The check before a save is offered: no file, a whole file, random bytes.
TEST_F(GameSaveTest, ASaveIsCheckedWholeBeforeItIsOffered) {
  EXPECT_FALSE(TGame::CheckSavedGame(1));
  Put(4, 4, ckStone);
  G().SaveGame();
  const TSnapshot before = Snap();
  EXPECT_TRUE(TGame::CheckSavedGame(1));
  EXPECT_EQ(Snap(), before);
  std::string junk;
  for (int i = 0; i < 600; ++i) junk += static_cast<char>((i * 7919 + 13) % 256);
  WriteText(SavePath(), junk);
  EXPECT_THROW(TGame::CheckSavedGame(1), EInOutError);
  EXPECT_EQ(ReadText(SavePath()), junk) << "checking never changes the file";
  EXPECT_FALSE(TGame::CheckSavedGame(2));
}

// Blank lines after the last cube are harmless.
TEST_F(GameSaveTest, BlankLinesAfterTheLastCubeAreAccepted) {
  WriteText(SavePath(), File("1\r\n1\r\n0\r\n 0.0E+0000\r\n 0.0E+0000\r\n7\r\n1\r\n1\r\n1\r\n4\r\n4\r\n", "\r\n  \r\n\r\n"));
  G().LoadGame(1);
  EXPECT_EQ(G().CubeCount, 1);
}

// A mode-2 game with negative energy would be lost on its first frame, and
// the loss deletes the save: the file is refused instead, and stays.
TEST_F(GameSaveTest, NegativeEnergyIsRefusedAndTheFileKept) {
  const std::string text = File("2\r\n3\r\n0\r\n-1\r\n 1.0E+0001\r\n1\r\n0\r\n", "");
  WriteText(SavePath(2), text);
  G().Mode = 2;
  G().NewGame();
  try {
    G().LoadGame(2);
    FAIL() << "the file was accepted";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Line, 5);
    EXPECT_NE(std::string(e.what()).find("energy"), std::string::npos) << e.what();
  }
  G().Update(16);
  EXPECT_EQ(ReadText(SavePath(2)), text);
}

TEST_P(GameSaveRejectTest, IsRefusedAndChangesNothing) {
  G().Mode = 1;
  G().NewGame();
  const TSnapshot before = Snap();
  WriteText(SavePath(), GetParam().Text);
  // The check before the offer refuses it as loading would.
  EXPECT_THROW(TGame::CheckSavedGame(1), EInOutError);
  try {
    G().LoadGame(1);
    FAIL() << "the file was accepted";
  } catch (const EInOutError& e) {
    EXPECT_NE(std::string(e.what()).find("Save1.dat"), std::string::npos) << e.what();
    if (GetParam().Line > 0) {
      EXPECT_EQ(e.Line, GetParam().Line) << e.what();
    }
    EXPECT_NE(std::string(e.what()).find(GetParam().Rule), std::string::npos) << e.what();
  }
  EXPECT_EQ(Snap(), before);
  EXPECT_EQ(ReadText(SavePath()), GetParam().Text);
  ExpectConsistent();
}

}  // namespace
