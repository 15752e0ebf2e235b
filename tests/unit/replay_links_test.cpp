// High-score entries and their replays: a new entry's link moves the rows
// below down with their scores, a link counts only while its entry holds its
// score, the side file survives a restart and damage, and pruning keeps the
// replays of entries.
#include <gtest/gtest.h>

#include <filesystem>

#include "foundation_temp.h"
#include "frontend/hiscores.h"
#include "platform/win32/paths.h"
#include "replay/game_input.h"
#include "replay/links.h"

namespace {

using namespace replay;

class ReplayLinksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(Folder / "data");
    SetGameFolder(Folder.Path);
    SetUserDataFolder(Folder / "user");
    Recording = TRecordSettings{};
    Recording.Folder = Folder / "rec";
    std::filesystem::create_directories(Recording.Folder);
    HiScores = std::make_unique<THiScores>();
    ForgetLinks();
  }
  void TearDown() override {
    HiScores.reset();
    Recording = TRecordSettings{};
    ForgetLinks();
  }
  // A new high score entered as the game does, with its replay file.
  void Enter(int Table, std::int32_t Score, const std::string& Name) {
    HiScores->ShownTable = static_cast<std::uint8_t>(Table);
    const int row = HiScores->InsertScore(Score);
    WriteText(Recording.Folder + "/" + Name, "replay");
    LinkNewEntry(Table, row, Score, Recording.Folder + "/" + Name);
  }
  TTempFolder Folder;
};

// Entries keep their replays as later, better scores push them down.
TEST_F(ReplayLinksTest, LinksMoveWithTheirEntries) {
  Enter(1, 900000, "a.vxr");
  Enter(1, 950000, "b.vxr");
  EXPECT_EQ(EntryReplay(1, 1), Recording.Folder + "/b.vxr");
  EXPECT_EQ(EntryReplay(1, 2), Recording.Folder + "/a.vxr");
  EXPECT_EQ(EntryReplay(1, 3), "");
  EXPECT_EQ(EntryReplay(2, 1), "");
  EXPECT_TRUE(IsReplayLinked("/elsewhere/a.vxr"));
  EXPECT_FALSE(IsReplayLinked(Recording.Folder + "/c.vxr"));
}

// The side file is read again after a restart; an entry whose score changed
// (another table file) or whose replay is gone has none.
TEST_F(ReplayLinksTest, SideFileAndStaleLinks) {
  Enter(2, 900000, "a.vxr");
  Enter(2, 800000, "b.vxr");
  ForgetLinks();
  EXPECT_EQ(EntryReplay(2, 2), Recording.Folder + "/b.vxr");
  HiScores->Entry(2, 1).Score = 123;
  EXPECT_EQ(EntryReplay(2, 1), "");
  std::filesystem::remove(Recording.Folder + "/b.vxr");
  EXPECT_EQ(EntryReplay(2, 2), "");
}

// Damaged lines, and names that would lead out of the folder, are left out.
TEST_F(ReplayLinksTest, DamagedSideFileLinesAreIgnored) {
  HiScores->Entry(1, 1).Score = 500;
  HiScores->Entry(1, 2).Score = 400;
  WriteText(Recording.Folder + "/ok.vxr", "r");
  WriteText(Folder / "data/Hiscores.replays",
            "1 1 500 ../../etc.vxr\n1 2 400 ok.vxr\n9 1 500 ok.vxr\ngarbage\n1 3\n");
  ForgetLinks();
  EXPECT_EQ(EntryReplay(1, 1), "");
  EXPECT_EQ(EntryReplay(1, 2), Recording.Folder + "/ok.vxr");
}

// Pruning to the newest keeps an old replay that belongs to an entry.
TEST_F(ReplayLinksTest, PruningKeepsLinkedReplays) {
  Enter(1, 900000, "2020-01-01_00-00-00_mode1_900000.vxr");
  for (int k = 0; k < 5; ++k) WriteText(Recording.Folder + "/2026-01-0" + std::to_string(k + 1) + "_x.vxr", "r");
  PruneReplays(Recording.Folder, 3);
  EXPECT_TRUE(std::filesystem::exists(Recording.Folder + "/2020-01-01_00-00-00_mode1_900000.vxr"));
  EXPECT_FALSE(std::filesystem::exists(Recording.Folder + "/2026-01-01_x.vxr"));
  EXPECT_TRUE(std::filesystem::exists(Recording.Folder + "/2026-01-05_x.vxr"));
}

}  // namespace
