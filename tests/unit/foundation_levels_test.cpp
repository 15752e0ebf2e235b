// The level table and bonus figure files, and the small records of the game model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "game/figure_file.h"
#include "game/game_types.h"
#include "game/level_file.h"
#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "unit/foundation_temp.h"

using ::testing::AllOf;
using ::testing::HasSubstr;

namespace {

struct TLevelText {
  int LightsOff = 1, Colours1 = 4, Colours2 = 5, Turn1 = 3, Turn2 = 4, FigMin = 1, FigMax = 3;
  double Target1 = 100, Target2 = 200, Drain = 0.5;
  int Joker = 20, Stones1 = 1, Stones2 = 2;
  const char* Flags = "1\n0 no\nx\n";
};

// A level table of Count levels; level i has Target1 = 100 i and Target2 = 1000 + i.
std::string LevelFile(int Count, const std::function<void(int, TLevelText&)>& Edit = {}) {
  std::string s = std::to_string(Count) + "   levels in this file\n";
  for (int i = 1; i <= Count; ++i) {
    TLevelText l;
    l.Target1 = 100.0 * i;
    l.Target2 = 1000.0 + i;
    if (Edit) Edit(i, l);
    char buf[512];
    std::snprintf(buf, sizeof buf, "--- level %d ---\n%d\n%d\n%d\n%d\n%d\n%d ; min\n%d\n%g\n%g\n%g\n%d\n%d\n%d\n%s", i,
                  l.LightsOff, l.Colours1, l.Colours2, l.Turn1, l.Turn2, l.FigMin, l.FigMax, l.Target1, l.Target2,
                  l.Drain, l.Joker, l.Stones1, l.Stones2, l.Flags);
    s += buf;
  }
  return s;
}

std::string FigureFile(int Count, const char* Sizes = "2\n2\n3\n", const char* Grid = "1200\n2100\n1100\n0000\n") {
  std::string s = std::to_string(Count) + "\n";
  for (int k = 1; k <= Count; ++k) s += "Figure " + std::to_string(k) + "\n" + Sizes + "150.5\n" + Grid;
  return s;
}

class LevelFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SetGameFolder(Temp.Path); }
  void TearDown() override { SetGameFolder(""); }

  std::string Error(const std::string& Text) {
    WriteText(Temp / "data/Levels.dat", Text);
    try {
      ReadLevelTable("data/Levels.dat", Levels, Count);
    } catch (const EInOutError& e) {
      return e.what();
    }
    return "no error";
  }
  std::string FigureError(const std::string& Text) {
    WriteText(Temp / "data/BonusFigures.dat", Text);
    try {
      ReadFigureTable("data/BonusFigures.dat", Figures, FigureCount);
    } catch (const EInOutError& e) {
      return e.what();
    }
    return "no error";
  }

  TTempFolder Temp;
  TLevelTable Levels{};
  std::int32_t Count = 0;
  TFigureTable Figures{};
  std::int32_t FigureCount = 0;
};

}  // namespace

// ---- Level table ----------------------------------------------------------------------

TEST_F(LevelFileTest, FiftyLevelsYieldHundredWithWorkedValues) {
  ASSERT_EQ(Error(LevelFile(50)), "no error");
  EXPECT_EQ(Count, 50);

  const TLevelInfo& l1 = Levels[1];
  EXPECT_EQ(l1.Kind, 0);
  EXPECT_EQ(l1.CubePoints, 15);
  EXPECT_EQ(l1.SquarePoints, 40);
  EXPECT_DOUBLE_EQ(l1.BonusFactor, 0);
  EXPECT_EQ(l1.BonusBase, 300);
  EXPECT_EQ(l1.LightsOff, 1);
  EXPECT_EQ(l1.JokerOdds, 20);
  EXPECT_TRUE(l1.AllowBomb);
  EXPECT_FALSE(l1.AllowShot);      // "0 no"
  EXPECT_FALSE(l1.AllowColorize);  // "x"

  const TLevelInfo& l12 = Levels[12];
  EXPECT_EQ(l12.CubePoints, 25);
  EXPECT_EQ(l12.SquarePoints, 50);
  EXPECT_DOUBLE_EQ(l12.BonusFactor, 0.4);
  EXPECT_EQ(l12.BonusBase, 500);

  const TLevelInfo& l73 = Levels[73];
  EXPECT_EQ(l73.Kind, 0);
  EXPECT_EQ(l73.TurnCubes[1], 8);
  EXPECT_EQ(l73.TurnCubes[2], 7);
  EXPECT_EQ(l73.Colours[1], 7);
  EXPECT_EQ(l73.Colours[2], 7);
  EXPECT_DOUBLE_EQ(l73.Target[1], 2 * 2300.0);
  EXPECT_DOUBLE_EQ(l73.Target[2], 2 * 1023.0);
  EXPECT_EQ(l73.CubePoints, 35);
  EXPECT_EQ(l73.SquarePoints, 60);
  EXPECT_DOUBLE_EQ(l73.BonusFactor, 0.8);
  EXPECT_EQ(l73.BonusBase, 700);

  EXPECT_EQ(Levels[4].Kind, 1);
  EXPECT_EQ(Levels[99].Kind, 1);
  EXPECT_EQ(Levels[51].TurnCubes[1], 6);
  EXPECT_EQ(Levels[100].TurnCubes[1], Levels[50].TurnCubes[1]);
}

// A bonus level's first target is computed; generated bonus levels only get seven colours.
TEST_F(LevelFileTest, BonusLevelsTargetsAndCopies) {
  ASSERT_EQ(Error(LevelFile(50)), "no error");
  EXPECT_EQ(Levels[5].Kind, 2);
  EXPECT_DOUBLE_EQ(Levels[5].Target[1], 3 * 20.0);  // TurnCubes x CubePoints
  EXPECT_DOUBLE_EQ(Levels[5].Target[2], 1005.0);    // from the file
  EXPECT_EQ(Levels[55].Kind, 2);
  EXPECT_EQ(Levels[55].TurnCubes[1], 3);
  EXPECT_DOUBLE_EQ(Levels[55].Target[1], Levels[5].Target[1]);
  EXPECT_EQ(Levels[55].Colours[1], 7);
}

TEST_F(LevelFileTest, HundredLevelsGenerateNothing) {
  ASSERT_EQ(Error(LevelFile(100)), "no error");
  EXPECT_EQ(Levels[73].TurnCubes[1], 3);
  EXPECT_DOUBLE_EQ(Levels[73].Target[2], 1073.0);
  EXPECT_EQ(Levels[73].Colours[1], 4);
}

TEST_F(LevelFileTest, OutOfRangeFilesAreRejectedNamingFileLineAndRule) {
  EXPECT_THAT(Error(LevelFile(49)), AllOf(HasSubstr("data/Levels.dat"), HasSubstr("line 1"), HasSubstr("50..100")));
  EXPECT_THAT(Error(LevelFile(101)), AllOf(HasSubstr("line 1"), HasSubstr("50..100")));
  // Level 2's LightsOff stands on line 1 + 17 + 2.
  EXPECT_THAT(Error(LevelFile(50, [](int i, TLevelText& l) { if (i == 2) l.LightsOff = 6; })),
              AllOf(HasSubstr("line 20"), HasSubstr("LightsOff must be 0..5")));
  EXPECT_THAT(Error(LevelFile(50, [](int i, TLevelText& l) { if (i == 1) l.LightsOff = -1; })),
              HasSubstr("LightsOff"));
  EXPECT_THAT(Error(LevelFile(50, [](int i, TLevelText& l) { if (i == 3) l.Colours2 = 8; })),
              HasSubstr("Colours of mode 2 must be 1..7"));
  std::string text = LevelFile(50);
  text.resize(text.size() / 2);
  EXPECT_THAT(Error(text), HasSubstr("data/Levels.dat"));
  EXPECT_THAT(Error("50\ntitle\nnot a number\n"), AllOf(HasSubstr("line 3"), HasSubstr("integer")));
}

// Every field is range-checked before it is stored: nothing wraps into a
// byte, and no count can make a level start loop or overflow.
TEST_F(LevelFileTest, EveryFieldIsRangeCheckedNamingItsLine) {
  auto at = [this](int Level, const std::function<void(TLevelText&)>& Edit) {
    return Error(LevelFile(50, [&](int i, TLevelText& l) { if (i == Level) Edit(l); }));
  };
  // Level 2 starts on line 19: TurnCubes[1] on line 23, FigureMin 25, Stones[2] 32.
  EXPECT_THAT(at(2, [](TLevelText& l) { l.Turn1 = 257; }), AllOf(HasSubstr("line 23"), HasSubstr("TurnCubes")));
  EXPECT_THAT(at(2, [](TLevelText& l) { l.FigMin = 257, l.FigMax = 258; }),
              AllOf(HasSubstr("line 25"), HasSubstr("FigureMin")));
  EXPECT_THAT(at(2, [](TLevelText& l) { l.FigMin = 3, l.FigMax = 2; }), AllOf(HasSubstr("line 26"), HasSubstr("FigureMax")));
  EXPECT_THAT(at(5, [](TLevelText& l) { l.Stones2 = 2000000000; }), HasSubstr("Stones of mode 2 must be 0..81"));
  EXPECT_THAT(at(2, [](TLevelText& l) { l.Stones1 = 1 << 30; }), AllOf(HasSubstr("line 31"), HasSubstr("Stones")));
  EXPECT_THAT(at(2, [](TLevelText& l) { l.Stones2 = -1; }), AllOf(HasSubstr("line 32"), HasSubstr("Stones")));
  EXPECT_THAT(at(2, [](TLevelText& l) { l.Joker = -5; }), HasSubstr("JokerOdds"));
  EXPECT_THAT(at(2, [](TLevelText& l) { l.Target1 = 1e300; }), AllOf(HasSubstr("line 27"), HasSubstr("Target")));
  EXPECT_THAT(at(2, [](TLevelText& l) { l.Target2 = -1; }), HasSubstr("Target of mode 2"));
  EXPECT_THAT(at(2, [](TLevelText& l) { l.Drain = 1e20; }), HasSubstr("DrainRate"));
  // The largest sound values still load.
  EXPECT_EQ(at(5, [](TLevelText& l) { l.Turn1 = 81, l.Stones1 = 81, l.FigMax = 255; }), "no error");
  EXPECT_EQ(Levels[5].TurnCubes[1], 81);
  EXPECT_EQ(Levels[5].FigureMax, 255);
}

TEST_F(LevelFileTest, FigureRangesMustNameExistingFigures) {
  ASSERT_EQ(Error(LevelFile(50, [](int i, TLevelText& l) { if (i == 7) l.FigMin = 4, l.FigMax = 9; })), "no error");
  TLevelLines lines{};
  ReadLevelTable("data/Levels.dat", Levels, Count, &lines);
  EXPECT_NO_THROW(CheckFigureRanges("data/Levels.dat", Levels, Count, 4, lines));  // max above the count is fine
  try {
    CheckFigureRanges("data/Levels.dat", Levels, Count, 3, lines);
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Line, 1 + 6 * 17 + 7);  // level 7's FigureMin
    EXPECT_THAT(e.what(), HasSubstr("level 7 names bonus figure 4"));
  }
  EXPECT_THROW(CheckFigureRanges("data/Levels.dat", Levels, Count, 0, lines), EInOutError);
}

// ---- Bonus figures -------------------------------------------------------------------------

TEST_F(LevelFileTest, FiguresReadColumnMajorWithDisplayPlaces) {
  ASSERT_EQ(FigureError(FigureFile(2, "2\n2\n3\n", "1289xx\n2900\n1100\n0000\n")), "no error");
  ASSERT_EQ(FigureCount, 2);
  const TBonusFigure& f = Figures[2];
  EXPECT_EQ(f.ColourCount, 2);
  EXPECT_EQ(f.Width, 2);
  EXPECT_EQ(f.Height, 3);
  EXPECT_DOUBLE_EQ(f.BaseBonus, 150.5);
  EXPECT_EQ(f.Cubes[1][1].Kind, 1);
  EXPECT_EQ(f.Cubes[2][1].Kind, 2);
  EXPECT_EQ(f.Cubes[3][1].Kind, 0);  // "8"
  EXPECT_EQ(f.Cubes[4][1].Kind, 0);  // "9"
  EXPECT_EQ(f.Cubes[1][2].Kind, 2);
  EXPECT_EQ(f.Cubes[2][2].Shown, 0);
  // Halves 1 and 1.5 for a 2 x 3 figure.
  EXPECT_FLOAT_EQ(f.Cubes[1][1].Position.x, 0.0f * 0.46f - 7.14f);
  EXPECT_FLOAT_EQ(f.Cubes[2][3].Position.x, 1.0f * 0.46f - 7.14f);
  EXPECT_FLOAT_EQ(f.Cubes[1][1].Position.y, -0.5f * 0.46f - 2.32f);
  EXPECT_FLOAT_EQ(f.Cubes[1][1].Position.z, 0.2f);
  EXPECT_FLOAT_EQ(f.Cubes[1][1].Scale.y, 0.46f);
  EXPECT_FLOAT_EQ(f.Cubes[1][1].World._11, 0.46f);
  EXPECT_FLOAT_EQ(f.Cubes[1][1].World._41, f.Cubes[1][1].Position.x);
}

TEST_F(LevelFileTest, FigureFileLimits) {
  EXPECT_EQ(FigureError("0\n"), "no error");
  EXPECT_EQ(FigureCount, 0);
  EXPECT_EQ(FigureError(FigureFile(30)), "no error");
  EXPECT_THAT(FigureError(FigureFile(31)), AllOf(HasSubstr("data/BonusFigures.dat"), HasSubstr("line 1"),
                                                 HasSubstr("0..30")));
  EXPECT_THAT(FigureError(FigureFile(1, "2\n0\n3\n")), AllOf(HasSubstr("line 4"), HasSubstr("Width must be 1..4")));
  EXPECT_THAT(FigureError(FigureFile(1, "2\n4\n5\n")), AllOf(HasSubstr("line 5"), HasSubstr("Height must be 1..4")));
  EXPECT_THAT(FigureError(FigureFile(1, "2\n2\n2\n", "12 0\n0000\n0000\n0000\n")),
              AllOf(HasSubstr("line 7"), HasSubstr("digit")));
  EXPECT_THAT(FigureError(FigureFile(1, "2\n2\n2\n", "1200\n00\n0000\n0000\n")),
              AllOf(HasSubstr("line 8"), HasSubstr("digit")));  // short line
  EXPECT_THAT(FigureError(FigureFile(1, "x\n2\n2\n")), HasSubstr("line 3"));
}

// The base bonus is shown as a whole number beside the board: a huge or
// negative one is refused where it is read, as are colour counts past 7.
TEST_F(LevelFileTest, FigureBonusAndColourCountMustBeSane) {
  EXPECT_THAT(FigureError(FigureFile(1, "2\n2\n3\n").replace(FigureFile(1).find("150.5"), 5, "1e300")),
              AllOf(HasSubstr("line 6"), HasSubstr("BaseBonus")));
  EXPECT_THAT(FigureError(FigureFile(1).replace(FigureFile(1).find("150.5"), 5, "-3")), HasSubstr("BaseBonus"));
  EXPECT_THAT(FigureError(FigureFile(1, "258\n2\n3\n")), AllOf(HasSubstr("line 3"), HasSubstr("ColourCount")));
  EXPECT_EQ(FigureError(FigureFile(1, "7\n2\n3\n").replace(FigureFile(1).find("150.5"), 5, "1000000")),
            "no error");
}

// ---- Records of the game model ------------------------------------------------------------

TEST(GameTypes, TextureIndexAndKindFromCodeAreInverse) {
  EXPECT_EQ(TextureIndex(1), 0);
  EXPECT_EQ(TextureIndex(17), 16);
  EXPECT_EQ(TextureIndex(18), 17);
  EXPECT_EQ(TextureIndex(0), 17);
  for (int k = 1; k <= 18; ++k) EXPECT_EQ(KindFromCode(TextureIndex(k)), k);
  EXPECT_EQ(KindFromCode(0), 1);
  EXPECT_EQ(KindFromCode(17), 18);
  EXPECT_EQ(KindFromCode(18), 1);
  EXPECT_EQ(KindFromCode(-1), 1);
}

TEST(GameTypes, StateChangesKeepSlotCounts) {
  TStateCounts counts{};
  TCube c;
  c.State = csWaiting;
  counts[StateSlot(csWaiting)] = 1;
  ChangeCubeState(c, csMoving, counts);
  EXPECT_EQ(counts[1], 0);
  EXPECT_EQ(counts[7], 1);
  ChangeCubeState(c, csRemoving, counts);
  EXPECT_EQ(counts[9], 1);
  EXPECT_EQ(StateSlot(200), 9);
  EXPECT_EQ(MakeCell(3, 7), 0x0703);
  EXPECT_EQ(CellY(MakeCell(3, 7)), 7);
}

TEST(GameTypes, CollectorHandsOutConsecutiveRanges) {
  TCollector c;
  for (int len : {2, 2, 204, 354, 44}) c.Add(len);
  EXPECT_EQ(c.Count, 5);
  EXPECT_EQ(c.Total, 606);
  EXPECT_EQ(c.Ranges[3].Start, 4);
  EXPECT_EQ(c.Ranges[5].Start, 562);
  EXPECT_EQ(c.Ranges[5].Length, 44);
  for (int i = 6; i <= 10; ++i) c.Add(1);
  EXPECT_THROW(c.Add(1), std::length_error);
  EXPECT_EQ(c.Count, 10);
}
