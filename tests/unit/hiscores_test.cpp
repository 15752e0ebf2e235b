// High score tables: defaults, the 400-byte file (round trip, short, long and
// damaged files, no rewrite of an unchanged table), insertion, name entry and
// the placement of the drawn table.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "audio/sounds.h"
#include "frontend/fonts.h"
#include "frontend/hiscores.h"
#include "menu_test_support.h"
#include "platform/win32/message_box.h"
#include "shell/scene.h"

namespace {

using menutest::ReadBytes;
using menutest::WriteBytes;

class HiScoresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AudioRecording = true;
    AudioCalls.clear();
    MessageBoxRecording = true;
    MessageBoxCalls.clear();
  }
  void TearDown() override {
    AudioRecording = false;
    MessageBoxRecording = false;
  }
  std::filesystem::path File() const { return folder.Game() / "data" / "Hiscores.dat"; }
  std::filesystem::path Damaged() const { return folder.Game() / "data" / "Hiscores.dat.damaged"; }
  // Twenty good entries, "P1" .. "P20", scores 5000 - i.
  static std::string GoodImage() {
    std::string image;
    for (int i = 1; i <= 20; ++i) image += EntryBytes("P" + std::to_string(i), 5000 - i);
    return image;
  }

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
  h.Entry(2, 10).Score = 5;
  h.Entry(2, 3).SetName("FIFTEEN CHARS!!");
  h.Entry(2, 4).NameLength = 2;  // "An" with leftover bytes after it
  h.SaveScores();
  const std::string saved = ReadBytes(File());
  ASSERT_EQ(saved.size(), 400u);
  EXPECT_EQ(saved, h.Image());

  THiScores back;
  EXPECT_EQ(back.Image(), saved);
  EXPECT_EQ(back.Entry(1, 1).Name(), "ALICE");
  EXPECT_EQ(back.Entry(2, 10).Score, 5);
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
  image.replace(200, 20, EntryBytes("MODE2", 123456789));
  WriteBytes(File(), image);
  THiScores h;
  EXPECT_EQ(h.Entry(1, 1).Name(), "P1");
  EXPECT_EQ(h.Entry(1, 10).Score, 4990);
  EXPECT_EQ(h.Entry(2, 1).Name(), "MODE2");
  EXPECT_EQ(h.Entry(2, 1).Score, 123456789);
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
  for (int i = 1; i <= 20; ++i) image += EntryBytes("OK", 100 * (21 - i));
  image += EntryBytes("TAIL", 999999) + std::string(1000, 'x');
  WriteBytes(File(), image);
  THiScores h;
  EXPECT_EQ(h.Entry(1, 1).Name(), "OK");
  EXPECT_EQ(h.Entry(1, 1).Score, 2000);
  EXPECT_EQ(h.Entry(2, 10).Score, 100);
}

// A bad length byte in entry 4: the entries after it are still read, the
// damage is reported once naming the file, the original is kept beside it,
// and viewing (saving an unchanged table) leaves the file as it is.
TEST_F(HiScoresTest, ADamagedTableIsReportedOnceAndKeptUntilItChanges) {
  std::string image = GoodImage();
  image[20 * 3] = 16;  // entry 4 of table 1 claims 16 characters
  WriteBytes(File(), image);
  THiScores h;
  EXPECT_EQ(h.Entry(1, 3).Name(), "P3");
  EXPECT_EQ(h.Entry(1, 4).Score, 4996);  // its score survives, its name is cut to 15
  EXPECT_EQ(h.Entry(1, 4).Name().size(), 15u);
  EXPECT_EQ(h.Entry(1, 5).Name(), "P5");
  EXPECT_EQ(h.Entry(2, 10).Name(), "P20");
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  EXPECT_NE(MessageBoxCalls[0].Text.find(File().string()), std::string::npos) << MessageBoxCalls[0].Text;
  EXPECT_NE(MessageBoxCalls[0].Text.find("Hiscores.dat.damaged"), std::string::npos);
  EXPECT_EQ(ReadBytes(Damaged()), image);

  h.SaveScores();  // leaving the table without a new entry
  EXPECT_EQ(ReadBytes(File()), image);

  // The next start finds the same damage: logged, not shown again.
  THiScores again;
  EXPECT_EQ(MessageBoxCalls.size(), 1u);

  // A new entry rewrites the table; the original stays in the kept copy.
  again.ShownTable = 2;
  again.EditRow = again.InsertScore(9000);
  again.Editing = true;
  again.EditKey('Q');
  again.EditKey(13);
  THiScores back;
  EXPECT_EQ(back.Entry(2, 1).Name(), "Q");
  EXPECT_EQ(back.Entry(1, 5).Name(), "P5");
  EXPECT_EQ(ReadBytes(File()).size(), 400u);
  EXPECT_EQ(ReadBytes(Damaged()), image);
  EXPECT_EQ(MessageBoxCalls.size(), 1u);
}

// A damaged file different from the one kept earlier replaces the kept copy
// and is reported; a cut-off file counts as damaged too.
TEST_F(HiScoresTest, ANewlyDamagedFileReplacesTheOlderKeptCopy) {
  WriteBytes(Damaged(), "older damage");
  const std::string cut = GoodImage().substr(0, 130);
  WriteBytes(File(), cut);
  THiScores h;
  EXPECT_EQ(h.Entry(1, 6).Name(), "P6");
  ExpectDefault(h, 1, 7);  // cut off inside entry 7
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  EXPECT_NE(MessageBoxCalls[0].Text.find("130 bytes"), std::string::npos) << MessageBoxCalls[0].Text;
  EXPECT_EQ(ReadBytes(Damaged()), cut);
  EXPECT_EQ(ReadBytes(File()), cut);
}

// The reproducer of a table cut down just by viewing it: twenty stored
// entries, one bad length byte in entry 4 of table 1 (kept as a file in
// tests/unit/data). Reading and leaving the table changes no byte.
TEST_F(HiScoresTest, ViewingTheDamagedReproducerChangesNothing) {
  const std::string image =
      ReadBytes(std::filesystem::path(VOXARINE_SOURCE_DIR) / "tests" / "unit" / "data" / "Hiscores-bad-entry4.dat");
  ASSERT_EQ(image.size(), 400u);
  WriteBytes(File(), image);
  THiScores h;
  h.SaveScores();
  EXPECT_EQ(ReadBytes(File()), image);
  EXPECT_EQ(ReadBytes(Damaged()), image);
  int named = 0;
  for (int t = 1; t <= 2; ++t)
    for (int i = 1; i <= 10; ++i) named += h.Entry(t, i).Name() != "Anonymous";
  EXPECT_EQ(named, 20);  // every stored entry is shown, none fell back to a default
}

// A table whose entries are out of order, below 0 or named with characters
// the font lacks is junk, not the player's: it shows the defaults (the other
// table stays), reported once, the original kept aside and left in place.
TEST_F(HiScoresTest, ATableOutOfOrderOrWithJunkShowsTheDefaults) {
  struct TCase {
    const char* What;
    int Entry;  // 0..19, the entry made bad
    std::string Bytes;
    int BadTable;
  };
  const TCase cases[] = {
      {"a negative score", 4, EntryBytes("P5", -1), 1},
      {"a score above the one before", 12, EntryBytes("P13", 4990), 2},
      {"a name the font cannot draw", 0, EntryBytes(std::string("P\x01~\xE9"), 4999), 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    MessageBoxCalls.clear();
    std::string image = GoodImage();
    image.replace(static_cast<std::size_t>(c.Entry) * 20, 20, c.Bytes);
    WriteBytes(File(), image);
    THiScores h;
    for (int i = 1; i <= 10; ++i) ExpectDefault(h, c.BadTable, i);
    const int good = 3 - c.BadTable;
    EXPECT_EQ(h.Entry(good, 1).Name(), "P" + std::to_string(good == 1 ? 1 : 11));
    ASSERT_EQ(MessageBoxCalls.size(), 1u);
    EXPECT_NE(MessageBoxCalls[0].Text.find(File().string()), std::string::npos) << MessageBoxCalls[0].Text;
    EXPECT_NE(MessageBoxCalls[0].Text.find("table " + std::to_string(c.BadTable)), std::string::npos)
        << MessageBoxCalls[0].Text;
    EXPECT_EQ(ReadBytes(Damaged()), image);
    EXPECT_EQ(ReadBytes(File()), image);
  }

  // Random bytes, the file the player met: both tables are the defaults.
  std::mt19937 rng(20);
  std::string junk(400, '\0');
  for (char& b : junk) b = static_cast<char>(rng());
  WriteBytes(File(), junk);
  MessageBoxCalls.clear();
  THiScores h;
  for (int t = 1; t <= 2; ++t)
    for (int i = 1; i <= 10; ++i) ExpectDefault(h, t, i);
  EXPECT_EQ(MessageBoxCalls.size(), 1u);
  EXPECT_EQ(ReadBytes(Damaged()), junk);
}

TEST_F(HiScoresTest, AnUnchangedTableIsNeverRewritten) {
  WriteBytes(File(), GoodImage());
  const auto before = std::filesystem::last_write_time(File());
  std::filesystem::last_write_time(File(), before - std::chrono::hours(1));
  const auto old = std::filesystem::last_write_time(File());
  THiScores h;
  h.SaveScores();
  EXPECT_EQ(std::filesystem::last_write_time(File()), old);
  EXPECT_TRUE(MessageBoxCalls.empty());
  EXPECT_FALSE(std::filesystem::exists(Damaged()));
  // Without a file there is nothing to rewrite either: the defaults stay unwritten.
  std::filesystem::remove(File());
  THiScores fresh;
  fresh.SaveScores();
  EXPECT_FALSE(std::filesystem::exists(File()));
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
    h.Entry(1, 1).Score ^= 1;  // a change, so that the table is written
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

// Only what the font can draw is typed: Shift before a capital, Control, Alt,
// Caps Lock, F-keys and arrows add nothing; the number pad types digits.
TEST_F(HiScoresTest, NameEntryIgnoresKeysWithoutAGlyph) {
  THiScores h;
  h.EditRow = h.InsertScore(3000);
  h.Editing = true;
  const std::uint8_t keys[] = {16, 'Q', 16, 'A', 32, 17, 18, 20, 'T', 112, 39, 9, 46, 97, 105, 189, 190, 186, 0};
  for (std::uint8_t k : keys) h.EditKey(k);
  EXPECT_EQ(h.Entry(1, 1).Name(), "QA T19-.");
  for (char c : h.Entry(1, 1).Name()) {
    const int g = GlyphNumber(c);
    EXPECT_TRUE((g >= 1 && g <= 51) || g == GlyphSpace) << int(c);
  }
  // Shifted capitals no longer take two places each: 15 letters fit.
  for (int i = 0; i < 20; ++i) {
    h.EditKey(16);
    h.EditKey('Z');
  }
  EXPECT_EQ(h.Entry(1, 1).Name(), "QA T19-." + std::string(7, 'Z'));
}

// Escape ends the name as Enter does and keeps the new entry.
TEST_F(HiScoresTest, EscapeDuringNameEntryKeepsTheEntry) {
  THiScores h;
  h.EditRow = h.InsertScore(2500);
  h.Editing = true;
  h.EditKey('J');
  h.EditKey(27);
  EXPECT_FALSE(h.Editing);
  THiScores back;
  EXPECT_EQ(back.Entry(1, 1).Name(), "J");
  EXPECT_EQ(back.Entry(1, 1).Score, 2500);
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

// ---- The drawn table ----------------------------------------------------------

class HiScoresDrawTest : public HiScoresTest {
 protected:
  void SetUp() override {
    HiScoresTest::SetUp();
    D3DDevice = menutest::MakeRecordingDevice();
    ASSERT_NE(D3DDevice, nullptr);
    saved = Fonts[1];
    Fonts[1].GlyphCount = 51;
    for (int g = 1; g <= 51; ++g) Fonts[1].Widths[static_cast<std::size_t>(g)] = 20 + g;  // every glyph its own width
  }
  void TearDown() override {
    Fonts[1] = saved;
    SafeRelease(D3DDevice);
    HiScoresTest::TearDown();
  }
  TRecordDevice* Rec() const { return AsRecordDevice(D3DDevice); }

  // One drawn glyph: its left and right x on screen (text runs along -x),
  // its centre y and its height.
  struct TGlyphBox {
    float Left, Right, Y, Height;
  };
  std::vector<TGlyphBox> Glyphs() const {
    std::vector<TGlyphBox> out;
    for (const TRecordedDraw& d : Rec()->Draws())
      out.push_back({d.World._41, d.World._41 - d.World._11, d.World._42, d.World._22});
    return out;
  }

  TFont saved;
};

// Scores of any length end under the right edge of the "SCORE" heading.
TEST_F(HiScoresDrawTest, ScoresAreRightAlignedInTheirColumn) {
  THiScores h;
  for (int i = 1; i <= 10; ++i) h.Entry(1, i).SetName("");  // only scores are drawn
  h.Entry(1, 1).Score = 1000;
  h.Entry(1, 2).Score = 2147483647;
  h.Entry(1, 3).Score = -42;
  h.Entry(1, 10).Score = 7;
  Rec()->ClearLog();
  h.DrawScores(0);
  std::map<float, TGlyphBox> lastOfRow;  // by row y: the glyph furthest along the text
  for (const TGlyphBox& g : Glyphs()) {
    auto it = lastOfRow.find(g.Y);
    if (it == lastOfRow.end() || g.Right < it->second.Right) lastOfRow[g.Y] = g;
  }
  ASSERT_EQ(lastOfRow.size(), 10u);
  for (const auto& [y, g] : lastOfRow) EXPECT_NEAR(g.Right, ScoreColumnRight, 1e-4f) << "row at y " << y;
}

// "ENTER YOUR NAME" sits inside the panel, right under the row being typed,
// clear of every row, for the first and the last row alike.
TEST_F(HiScoresDrawTest, TheNamePromptSitsUnderTheEditedRowInsideThePanel) {
  // The table's glass panel (centre -1.8, -0.55; 5.4 by 4.4 units each way)
  // and the Back button's top edge under it.
  constexpr float PanelLeft = 3.6f, PanelRight = -7.2f, BackTop = -4.25f + 0.4f;
  for (int row : {1, 4, 10}) {
    SCOPED_TRACE(row);
    THiScores h;
    h.EditRow = h.InsertScore(1100 - 100 * row + 1);
    ASSERT_EQ(h.EditRow, row);
    h.Editing = true;
    Rec()->ClearLog();
    h.DrawScores(0);
    std::vector<TGlyphBox> prompt, rows;
    for (const TGlyphBox& g : Glyphs()) (g.Height < 0.3f ? prompt : rows).push_back(g);
    ASSERT_EQ(prompt.size(), std::string("ENTERYOURNAME").size());
    const float y = prompt[0].Y, half = prompt[0].Height / 2;
    const float edited = HiScoreRowY(row, row);
    EXPECT_LT(y, edited);
    EXPECT_GT(y, edited - 0.6f) << "near its row";
    EXPECT_GT(y - half, BackTop);
    for (const TGlyphBox& g : prompt) {
      EXPECT_LE(g.Left, PanelLeft);
      EXPECT_GE(g.Right, PanelRight);
    }
    for (const TGlyphBox& g : rows) EXPECT_GE(std::fabs(g.Y - y), half + g.Height / 2) << "overlaps a row at y " << g.Y;
  }
}

}  // namespace
