// Path resolution, atomic writes, the text-file reader and the debug log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win32/io_error.h"
#include "platform/win32/paths.h"
#include "platform/win32/text_reader.h"
#include "platform/win32/ticks.h"
#include "shell/d3d_error.h"
#include "shell/debug_log.h"
#include "unit/foundation_temp.h"

using ::testing::HasSubstr;

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetGameFolder(Temp / "game");
    SetUserDataFolder(Temp / "user");
    std::filesystem::create_directories(Temp / "game");
  }
  void TearDown() override {
    std::filesystem::permissions(Temp / "game", std::filesystem::perms::owner_all);
    SetGameFolder("");
    SetUserDataFolder("");
    SetTickCountOverride(std::nullopt);
  }
  std::string Game(const std::string& Name) const { return Temp / ("game/" + Name); }

  TTempFolder Temp;
};

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EInOutError& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

// ---- Paths ---------------------------------------------------------------------

TEST_F(FilesTest, WindowsNamesResolveWhateverTheCaseAndSeparator) {
  WriteText(Game("Images/Skin1/tex0.tga"), "a");
  WriteText(Game("data/Levels.dat"), "b");
  EXPECT_EQ(ResolvePath("Images\\Skin1\\tex0.tga"), Game("Images/Skin1/tex0.tga"));
  EXPECT_EQ(ResolvePath("images\\SKIN1\\Tex0.TGA"), Game("Images/Skin1/tex0.tga"));
  EXPECT_EQ(ResolvePath("Data/levels.dat"), Game("data/Levels.dat"));
  EXPECT_EQ(ResolvePath(".\\data\\\\Levels.dat"), Game("data/Levels.dat"));
  // A missing file keeps its name, under the folders that do exist.
  EXPECT_EQ(ResolvePath("IMAGES\\nothing.tga"), Game("Images/nothing.tga"));
}

TEST_F(FilesTest, WritablePathCreatesFolderInWritableGameFolder) {
  const std::string p = WritablePath("data\\Save1.dat");
  EXPECT_EQ(p, Game("data/Save1.dat"));
  EXPECT_TRUE(std::filesystem::is_directory(Game("data")));
}

// A read-only install writes to the per-user folder and reads from there first.
TEST_F(FilesTest, ReadOnlyGameFolderUsesUserDataFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
  WriteText(Game("data/Hiscores.dat"), "shipped");
  std::filesystem::permissions(Temp / "game", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const std::string p = WritablePath("data/Hiscores.dat");
  EXPECT_EQ(p, Temp / "user/data/Hiscores.dat");
  EXPECT_EQ(ResolvePath("data/Hiscores.dat"), Game("data/Hiscores.dat"));  // not written yet
  AtomicWriteFile(p, "mine");
  EXPECT_EQ(ResolvePath("data/Hiscores.dat"), Temp / "user/data/Hiscores.dat");
}

// The same rule with a game folder that cannot be written at all (also as root).
TEST_F(FilesTest, UnwritableGameFolderReadsUserCopyFirst) {
  SetGameFolder(Temp / "missing");
  WriteText(Temp / "user/Data/Save2.dat", "saved");
  EXPECT_EQ(ResolvePath("data\\save2.dat"), Temp / "user/Data/Save2.dat");
  EXPECT_EQ(WritablePath("data\\Save2.dat"), Temp / "user/Data/Save2.dat");
  EXPECT_EQ(WritablePath("debug.txt"), Temp / "user/debug.txt");
  EXPECT_EQ(ResolvePath("data\\Levels.dat"), Temp / "missing/data/Levels.dat");
}

TEST_F(FilesTest, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
  const std::string p = Game("save.dat");
  AtomicWriteFile(p, "first version, long");
  AtomicWriteFile(p, "second");
  EXPECT_EQ(ReadText(p), "second");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(Temp / "game")) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);
  EXPECT_THAT(ErrorOf([&] { AtomicWriteFile(Game("no/such/folder/x.dat"), "x"); }), HasSubstr("x.dat"));
}

// A write killed before its rename leaves its temporary file; the next write
// of that file clears it, and nothing of another file's.
TEST_F(FilesTest, AtomicWriteClearsTemporariesLeftByAKilledWrite) {
  WriteText(Game(".save.dat.Ab12Cd"), "half a sav");
  WriteText(Game(".other.dat.Ab12Cd"), "another file's");
  WriteText(Game(".save.dat.keep"), "not a temporary name");
  AtomicWriteFile(Game("save.dat"), "whole");
  EXPECT_FALSE(std::filesystem::exists(Game(".save.dat.Ab12Cd")));
  EXPECT_TRUE(std::filesystem::exists(Game(".other.dat.Ab12Cd")));
  EXPECT_TRUE(std::filesystem::exists(Game(".save.dat.keep")));
  EXPECT_EQ(ReadText(Game("save.dat")), "whole");
}

// ---- Text reader ------------------------------------------------------------------

TEST_F(FilesTest, NumbersSkipBlanksAndLineEndsAndIgnoreTheRestOfTheLine) {
  WriteText(Game("t.dat"), "  \t\r\n\n 12 apples\r\n-3;x\n+4.5e1 end\n.25\n7e\n");
  TTextReader r("T.DAT");
  EXPECT_EQ(r.ReadInt(), 12);
  EXPECT_EQ(r.FieldLine(), 3);
  EXPECT_EQ(r.ReadInt(), -3);
  EXPECT_DOUBLE_EQ(r.ReadReal(), 45.0);
  EXPECT_DOUBLE_EQ(r.ReadReal(), 0.25);
  EXPECT_DOUBLE_EQ(r.ReadReal(), 7.0);  // an exponent without digits is not part of the number
  EXPECT_TRUE(r.AtEnd());
}

TEST_F(FilesTest, CharactersAreReadAsTheyStand) {
  WriteText(Game("g.dat"), " 1x\r\n12\n");
  TTextReader r("g.dat");
  EXPECT_EQ(r.ReadChar(), ' ');
  EXPECT_EQ(r.ReadChar(), '1');
  EXPECT_EQ(r.ReadChar(), 'x');
  EXPECT_EQ(r.ReadChar(), ' ');  // line end
  EXPECT_EQ(r.ReadChar(), ' ');  // still there
  r.NextLine();
  EXPECT_EQ(r.Line(), 2);
  EXPECT_EQ(r.ReadLine(), "12");
  EXPECT_TRUE(r.AtEnd());
}

TEST_F(FilesTest, ReaderErrorsNameFileAndLine) {
  WriteText(Game("bad.dat"), "1\n\nabc\n");
  TTextReader r("bad.dat");
  r.ReadInt();
  EXPECT_THAT(ErrorOf([&] { r.ReadInt(); }), HasSubstr("\"bad.dat\", line 3"));

  WriteText(Game("short.dat"), "1\n");
  TTextReader s("short.dat");
  s.ReadInt();
  EXPECT_THAT(ErrorOf([&] { s.ReadReal(); }), HasSubstr("ends"));
  EXPECT_THAT(ErrorOf([&] { s.ReadChar(); }), HasSubstr("short.dat"));

  WriteText(Game("huge.dat"), "99999999999999999999999\n");
  TTextReader h("huge.dat");
  EXPECT_THAT(ErrorOf([&] { h.ReadInt(); }), HasSubstr("line 1"));

  EXPECT_THAT(ErrorOf([] { TTextReader("data\\missing.dat"); }), HasSubstr("data\\missing.dat"));
}

// ---- Debug log -----------------------------------------------------------------------

TEST_F(FilesTest, DebugLogWritesTickAndTextPerLine) {
  SetTickCountOverride(4000000000u);
  DebugLog(true, " Main form created");
  SetTickCountOverride(17);
  DebugLog(false, "");
  DebugLog(false, "Mouse created at 1_2");
  EXPECT_EQ(ReadText(Game("debug.txt")), "4000000000 Main form created\r\n17\r\n17Mouse created at 1_2\r\n");
  DebugLog(true, " again");
  EXPECT_EQ(ReadText(Game("debug.txt")), "17 again\r\n");
}

TEST(D3DError, KnownAndUnknownCodes) {
  EXPECT_EQ(D3DErrorText(0), "No error occurred.");
  EXPECT_EQ(D3DErrorText(static_cast<std::int32_t>(0x88760868u)),
            "The device is lost and cannot be restored at the current time, so rendering is not possible.");
  EXPECT_EQ(D3DErrorText(static_cast<std::int32_t>(0x8876086Cu)),
            "The method call is invalid. For example, a method's parameter may have an invalid value.");
  EXPECT_EQ(D3DErrorText(1), "Unrecognized Error");
}
