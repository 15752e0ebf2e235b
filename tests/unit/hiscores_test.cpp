// High score tables: defaults, the 400-byte file (round trip, short, long and
// damaged files), insertion and name entry.
#include <gtest/gtest.h>

#include <random>

#include "audio/sounds.h"
#include "frontend/hiscores.h"
#include "menu_test_support.h"

namespace {

using menutest::ReadBytes;
using menutest::WriteBytes;

class HiScoresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AudioRecording = true;
    AudioCalls.clear();
  }
  void TearDown() override { AudioRecording = false; }
  std::filesystem::path File() const { return folder.Game() / "data" / "Hiscores.dat"; }

  // One 20-byte entry as the file holds it.
  static std::string EntryBytes(const std::string& Name, std::int32_t Score, int Length = -1) {
    std::string b(20, '\0');
    b[0] = static_cast<char>(Length < 0 ? static_cast<int>(Name.size()) : Length);
    for (std::size_t i = 0; i < Name.size() && i < 15; ++i) b[1 + i] = Name[i];
    const auto u = static_cast<std::uint32_t>(Score);
    for (int k = 0; k < 4; ++k) b[16 + k] = static_cast<char>((u >> (8 * k)) & 0xFF);
    return b;
  }
  static void ExpectDefault(THiScores& h, int Table, int Row) {
    EXPECT_EQ(h.Entry(Table, Row).Name(), "Anonymous") << Table << "/" << Row;
    EXPECT_EQ(h.Entry(Table, Row).Score, 1100 - 100 * Row) << Table << "/" << Row;
  }

  menutest::TTempGameFolder folder;
};

TEST_F(HiScoresTest, WithoutAFileBothTablesHoldTheDefaults) {
  THiScores h;
  for (int t = 1; t <= 2; ++t)
    for (int i = 1; i <= 10; ++i) ExpectDefault(h, t, i);
  EXPECT_FALSE(std::filesystem::exists(File()));  // reading never writes
}

TEST_F(HiScoresTest, SaveAndReadBackGiveTheSame400Bytes) {
  THiScores h;
  h.Entry(1, 1).SetName("ALICE");
  h.Entry(1, 1).Score = 123456;
  h.Entry(2, 10).Score = -5;
  h.Entry(2, 3).SetName("FIFTEEN CHARS!!");
  h.Entry(2, 4).NameLength = 2;  // "An" with leftover bytes after it
  h.SaveScores();
  const std::string saved = ReadBytes(File());
  ASSERT_EQ(saved.size(), 400u);
  EXPECT_EQ(saved, h.Image());

  THiScores back;
  EXPECT_EQ(back.Image(), saved);
  EXPECT_EQ(back.Entry(1, 1).Name(), "ALICE");
  EXPECT_EQ(back.Entry(2, 10).Score, -5);
  EXPECT_EQ(back.Entry(2, 4).Name(), "An");
  back.SaveScores();
  EXPECT_EQ(ReadBytes(File()), saved);
  // Nothing but the file itself is left in the folder (atomic write, no temporaries).
  std::size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.Game() / "data")) files += e.is_regular_file();
  EXPECT_EQ(files, 1u);
}

TEST_F(HiScoresTest, FileLayoutIsLengthNameAndLittleEndianScore) {
  std::string image;
  for (int i = 1; i <= 20; ++i) image += EntryBytes("P" + std::to_string(i), 5000 - i);
  image.replace(200, 20, EntryBytes("MODE2", -123456789));
  WriteBytes(File(), image);
  THiScores h;
  EXPECT_EQ(h.Entry(1, 1).Name(), "P1");
  EXPECT_EQ(h.Entry(1, 10).Score, 4990);
  EXPECT_EQ(h.Entry(2, 1).Name(), "MODE2");
  EXPECT_EQ(h.Entry(2, 1).Score, -123456789);
  EXPECT_EQ(h.Entry(2, 2).Name(), "P12");
}

TEST_F(HiScoresTest, ShortFileReplacesOnlyTheWholeEntriesItHolds) {
  WriteBytes(File(), EntryBytes("SHORT", 77) + EntryBytes("CUT", 66).substr(0, 9));
  THiScores h;
  EXPECT_EQ(h.Entry(1, 1).Name(), "SHORT");
  EXPECT_EQ(h.Entry(1, 1).Score, 77);
  ExpectDefault(h, 1, 2);  // cut off: not taken
  ExpectDefault(h, 2, 1);

  WriteBytes(File(), "");
  THiScores empty;
  ExpectDefault(empty, 1, 1);
}

TEST_F(HiScoresTest, LongFileIsReadForItsFirst400BytesOnly) {
  std::string image;
  for (int i = 1; i <= 20; ++i) image += EntryBytes("OK", 100 * i);
  image += EntryBytes("TAIL", 999999) + std::string(1000, 'x');
  WriteBytes(File(), image);
  THiScores h;
  EXPECT_EQ(h.Entry(1, 1).Name(), "OK");
  EXPECT_EQ(h.Entry(1, 1).Score, 100);
  EXPECT_EQ(h.Entry(2, 10).Score, 2000);
}

TEST_F(HiScoresTest, NameLengthAbove15StopsReadingAtThatEntry) {
  std::string image;
  for (int i = 1; i <= 20; ++i) image += EntryBytes("GOOD", 10 * i);
  image[20 * 3] = 16;  // entry 4 of table 1 claims 16 characters
  WriteBytes(File(), image);
  THiScores h;
  EXPECT_EQ(h.Entry(1, 3).Name(), "GOOD");
  EXPECT_EQ(h.Entry(1, 3).Score, 30);
  ExpectDefault(h, 1, 4);
  ExpectDefault(h, 2, 10);
}

TEST_F(HiScoresTest, GarbageFilesNeverGiveOverlongNamesOrCrash) {
  std::mt19937 rng(7);
  for (std::size_t size : {1u, 19u, 20u, 199u, 399u, 400u, 401u, 4096u}) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    WriteBytes(File(), bytes);
    THiScores h;
    for (int t = 1; t <= 2; ++t)
      for (int i = 1; i <= 10; ++i) EXPECT_LE(h.Entry(t, i).Name().size(), 15u);
    h.SaveScores();
    EXPECT_EQ(ReadBytes(File()).size(), 400u);
  }
}

TEST_F(HiScoresTest, InsertScoreBoundaries) {
  THiScores h;
  h.ShownTable = 1;
  EXPECT_EQ(h.InsertScore(100), 0);  // equal to entry 10: not entered
  EXPECT_EQ(h.Entry(1, 10).Score, 100);
  EXPECT_EQ(h.InsertScore(101), 10);  // one more enters last
  EXPECT_EQ(h.Entry(1, 10).Score, 101);
  EXPECT_EQ(h.Entry(1, 10).Name(), "");

  THiScores g;
  g.Entry(1, 5).SetName("FIVE");
  EXPECT_EQ(g.InsertScore(800), 4);  // equal to entry 3 goes below it
  EXPECT_EQ(g.Entry(1, 3).Score, 800);
  EXPECT_EQ(g.Entry(1, 4).Score, 800);
  EXPECT_EQ(g.Entry(1, 4).Name(), "");
  EXPECT_EQ(g.Entry(1, 5).Score, 700);  // entries 4..9 moved down one
  EXPECT_EQ(g.Entry(1, 6).Name(), "FIVE");
  EXPECT_EQ(g.Entry(1, 10).Score, 200);  // the old tenth dropped out
}

TEST_F(HiScoresTest, FirstScoreInMode2LeavesTable1Alone) {
  THiScores h;
  const std::string table1 = h.Image().substr(0, 200);
  h.ShownTable = 2;
  EXPECT_EQ(h.InsertScore(1001), 1);
  EXPECT_EQ(h.Entry(2, 1).Score, 1001);
  EXPECT_EQ(h.Entry(2, 2).Score, 1000);
  EXPECT_EQ(h.Image().substr(0, 200), table1);
}

TEST_F(HiScoresTest, NameEntryTypesCapsAndDigitsUpTo15AndSavesOnEnter) {
  THiScores h;
  h.ShownTable = 2;
  h.EditRow = h.InsertScore(5000);
  h.Editing = true;
  h.EditKey(8);  // Backspace on an empty name
  EXPECT_EQ(h.Entry(2, 1).Name(), "");
  for (char c : std::string("BOB7")) h.EditKey(static_cast<std::uint8_t>(c));
  h.EditKey(8);
  EXPECT_EQ(h.Entry(2, 1).Name(), "BOB");
  for (int i = 0; i < 20; ++i) h.EditKey('Z');
  EXPECT_EQ(h.Entry(2, 1).Name(), "BOB" + std::string(12, 'Z'));
  EXPECT_FALSE(std::filesystem::exists(File()));
  h.EditKey(13);
  EXPECT_FALSE(h.Editing);
  THiScores back;
  EXPECT_EQ(back.Entry(2, 1).Name(), "BOB" + std::string(12, 'Z'));
  EXPECT_EQ(back.Entry(2, 1).Score, 5000);
  // Every key clicks, Enter included.
  ASSERT_EQ(AudioCalls.size(), 1u + 5u + 20u + 1u);
  for (const TAudioCall& c : AudioCalls) EXPECT_EQ(c.Arg, 23);
}

TEST_F(HiScoresTest, EnterWithAnEmptyNameStoresAnEmptyName) {
  THiScores h;
  h.EditRow = h.InsertScore(2000);
  h.Editing = true;
  h.EditKey(13);
  THiScores back;
  EXPECT_EQ(back.Entry(1, 1).Name(), "");
  EXPECT_EQ(back.Entry(1, 1).Score, 2000);
}

TEST_F(HiScoresTest, SavingGoesToTheWritableFolderAndReadingFindsIt) {
  THiScores h;
  h.Entry(1, 2).SetName("HERE");
  h.SaveScores();
  EXPECT_EQ(menutest::ReadBytes(WritablePath("data\\HISCORES.DAT")).size(), 400u);
  THiScores back;
  EXPECT_EQ(back.Entry(1, 2).Name(), "HERE");
}

}  // namespace
