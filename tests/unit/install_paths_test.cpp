// Where an unpacked or installed game finds its data and where it writes, and
// the command line that reports both.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/install/data_folder.h"
#include "platform/win32/paths.h"
#include "platform/win32/registry.h"
#include "shell/command_line.h"
#include "unit/foundation_temp.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class DataSearchTest : public ::testing::Test {
 protected:
  // A folder that holds the game's data.
  std::string Data(const std::string& Name) {
    WriteText(Temp / (Name + "/" + DataMarkerFile), "levels\r\n");
    return Temp / Name;
  }
  TTempFolder Temp;
};

}  // namespace

TEST_F(DataSearchTest, ProgramFolderWithDataIsPortableAndComesBeforeThePrefix) {
  const std::string bin = Data("prefix/bin");
  Data("prefix/share/voxarine");
  const TDataSearch s = FindDataFolder(bin, nullptr, nullptr);
  EXPECT_EQ(s.Folder, bin);
  EXPECT_TRUE(s.Portable);
  EXPECT_THAT(s.Tried, ElementsAre(bin));
}

TEST_F(DataSearchTest, InstalledPrefixIsFoundRelativeToTheProgramAndNormalised) {
  std::filesystem::create_directories(Temp / "prefix/bin");
  const std::string share = Data("prefix/share/voxarine");
  const TDataSearch s = FindDataFolder(Temp / "prefix/bin", nullptr, "/nonexistent-a");
  EXPECT_EQ(s.Folder, share);
  EXPECT_FALSE(s.Portable);  // never writes below a prefix
  EXPECT_THAT(s.Tried, ElementsAre(Temp / "prefix/bin", share));
}

TEST_F(DataSearchTest, XdgDataDirsSkipRelativeAndEmptyEntriesAndTakeTheFirstWithData) {
  Data("second/voxarine");
  Data("third/voxarine");
  const std::string dirs = "relative/share::" + (Temp / "first") + ":" + (Temp / "second/") + ":" + (Temp / "third");
  const TDataSearch s = FindDataFolder(Temp / "bin", nullptr, dirs.c_str());
  EXPECT_EQ(s.Folder, Temp / "second/voxarine");
  EXPECT_FALSE(s.Portable);
  EXPECT_THAT(s.Tried,
              ElementsAre(Temp / "bin", Temp / "share/voxarine", Temp / "first/voxarine", Temp / "second/voxarine"));
}

TEST_F(DataSearchTest, UnsetXdgDataDirsMeansTheStandardFoldersEachListedOnce) {
  const TDataSearch s = FindDataFolder(Temp / "usr/bin", nullptr, "");
  // The machine may have the game installed: only what is looked at first is fixed.
  ASSERT_GE(s.Tried.size(), 3u);
  EXPECT_EQ(s.Tried[2], "/usr/local/share/voxarine");
  if (s.Tried.size() > 3) {
    EXPECT_EQ(s.Tried[3], "/usr/share/voxarine");
  }
  // A program in <prefix>/bin already looked at <prefix>/share/voxarine; the
  // list must not name it twice.
  const TDataSearch fromUsr = FindDataFolder("/nonexistent/usr/bin", nullptr, "/nonexistent/usr/share");
  EXPECT_THAT(fromUsr.Tried, ElementsAre("/nonexistent/usr/bin", "/nonexistent/usr/share/voxarine"));
}

TEST_F(DataSearchTest, DataDirVariableWinsAndIsNotReplacedWhenWrong) {
  const std::string bin = Data("bin");
  const std::string chosen = Data("chosen");
  TDataSearch s = FindDataFolder(bin, chosen.c_str(), nullptr);
  EXPECT_EQ(s.Folder, chosen);
  EXPECT_FALSE(s.Portable);

  // A variable pointing at the wrong folder is reported, not quietly
  // replaced by the copy beside the program.
  const std::string wrong = Temp / "empty/";
  s = FindDataFolder(bin, wrong.c_str(), nullptr);
  EXPECT_TRUE(s.Folder.empty());
  EXPECT_THAT(s.Tried, ElementsAre(Temp / "empty"));

  // Set but empty counts as unset.
  EXPECT_EQ(FindDataFolder(bin, "", nullptr).Folder, bin);
}

TEST_F(DataSearchTest, NotFoundMessageListsEveryFolderLookedAt) {
  const TDataSearch s = FindDataFolder(Temp / "bin", nullptr, (Temp / "xdg").c_str());
  ASSERT_TRUE(s.Folder.empty());
  const std::string text = DataNotFoundText(s);
  for (const std::string& folder : s.Tried) EXPECT_THAT(text, HasSubstr("  " + folder + "\n"));
  EXPECT_THAT(text, HasSubstr("data/Levels.dat"));
  EXPECT_THAT(text, HasSubstr("VOXARINE_DATA_DIR"));
}

// ---- Where the game writes ---------------------------------------------------------

class WriteFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(Temp / "game/data");
    SetGameFolder(Temp / "game");
    SetUserDataFolder(Temp / "user");
  }
  void TearDown() override {
    SetInstalledLayout(false);
    SetGameFolder("");
    SetUserDataFolder("");
  }
  TTempFolder Temp;
};

TEST_F(WriteFolderTest, InstalledGameWritesToTheUserFolderEvenWhenItCouldWriteBesideItsData) {
  // The data folder here is writable (as /usr/share is for root): the layout,
  // not the permission, decides.
  SetInstalledLayout(true);
  EXPECT_EQ(WriteFolder(), Temp / "user");
  EXPECT_EQ(WritablePath("data\\Save1.dat"), Temp / "user/data/Save1.dat");
  EXPECT_EQ(WritablePath("debug.txt"), Temp / "user/debug.txt");
  EXPECT_EQ(WritablePath("Images\\Tutorial\\tut1.bmp"), Temp / "user/Images/Tutorial/tut1.bmp");
  EXPECT_FALSE(std::filesystem::exists(Temp / "game/Images"));
}

TEST_F(WriteFolderTest, InstalledGameReadsItsOwnWrittenFilesBeforeTheShippedData) {
  SetInstalledLayout(true);
  WriteText(Temp / "game/data/Levels.dat", "shipped");
  WriteText(Temp / "user/data/Save1.dat", "saved");
  EXPECT_EQ(ResolvePath("data\\Save1.dat"), Temp / "user/data/Save1.dat");
  EXPECT_EQ(ResolvePath("Data/Levels.dat"), Temp / "game/data/Levels.dat");
}

TEST_F(WriteFolderTest, WritablePortableFolderKeepsItsFilesBesideTheData) {
  SetInstalledLayout(false);
  EXPECT_EQ(WriteFolder(), Temp / "game");
  EXPECT_EQ(WritablePath("data/Hiscores.dat"), Temp / "game/data/Hiscores.dat");
}

namespace {

// Unsets an environment variable for the life of the object.
class TUnsetVariable {
 public:
  explicit TUnsetVariable(const char* Name) : Name_(Name) {
    if (const char* v = std::getenv(Name)) Old_ = v, Had_ = true;
    unsetenv(Name);
  }
  ~TUnsetVariable() {
    if (Had_) setenv(Name_, Old_.c_str(), 1);
  }

 private:
  const char* Name_;
  std::string Old_;
  bool Had_ = false;
};

}  // namespace

TEST(WriteFolders, WithoutHomeOrXdgVariablesTheFilesStillGoToAnAbsoluteFolder) {
  // A relative name would land in the working directory: the data folder.
  TUnsetVariable home("HOME"), config("XDG_CONFIG_HOME"), data("XDG_DATA_HOME");
  SetRegistryFile("");
  SetUserDataFolder("");
  EXPECT_EQ(RegistryFile().front(), '/') << RegistryFile();
  EXPECT_EQ(UserDataFolder().front(), '/') << UserDataFolder();
  SetUserDataFolder("");
}

// ---- The command line ------------------------------------------------------------------

namespace {

TCommandLine Parse(std::initializer_list<const char*> args) {
  std::vector<const char*> argv{"voxarine"};
  argv.insert(argv.end(), args);
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

TEST(CommandLine, KnownOptionsAndMisuse) {
  EXPECT_EQ(Parse({}).Action, TCommandAction::Start);
  EXPECT_EQ(Parse({"--help"}).Action, TCommandAction::Help);
  EXPECT_EQ(Parse({"-h"}).Action, TCommandAction::Help);
  EXPECT_EQ(Parse({"--version"}).Action, TCommandAction::Version);
  EXPECT_EQ(Parse({"--version", "--help"}).Action, TCommandAction::Help);

  TCommandLine bad = Parse({"--bogus"});
  EXPECT_EQ(bad.Action, TCommandAction::Misuse);
  EXPECT_THAT(bad.Problem, HasSubstr("'--bogus'"));
  // A misuse anywhere wins: the game must not start, nor claim success.
  EXPECT_EQ(Parse({"--help", "-x"}).Action, TCommandAction::Misuse);
  bad = Parse({"level7"});
  EXPECT_EQ(bad.Action, TCommandAction::Misuse);
  EXPECT_THAT(bad.Problem, HasSubstr("argument 'level7'"));
  EXPECT_EQ(Parse({""}).Action, TCommandAction::Misuse);
}

TEST(CommandLine, HelpNamesTheDataFolderAndTheFoldersWrittenTo) {
  TDataSearch found;
  found.Folder = "/opt/games/share/voxarine";
  found.Tried = {"/opt/games/bin", found.Folder};
  std::string text = HelpText(found, "/home/p/.local/share/voxarine", "/home/p/.config/voxarine/settings.reg");
  EXPECT_THAT(text, HasSubstr("Usage: voxarine"));
  EXPECT_THAT(text, HasSubstr("Data folder: /opt/games/share/voxarine\n"));
  EXPECT_THAT(text, HasSubstr("/home/p/.local/share/voxarine\n"));
  EXPECT_THAT(text, HasSubstr("Settings: /home/p/.config/voxarine/settings.reg\n"));

  TDataSearch missing;
  missing.Tried = {"/a", "/b/voxarine"};
  text = HelpText(missing, "/w", "/s");
  EXPECT_THAT(text, HasSubstr("not found"));
  EXPECT_THAT(text, HasSubstr("  /a\n  /b/voxarine\n"));
}
