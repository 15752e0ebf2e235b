// The menu file: the shipped one provides everything the commands use; bad
// files are reported with their name and line; loading advances the bar.
#include <gtest/gtest.h>

#include "frontend/loading_bar.h"
#include "menu_fixture.h"
#include "platform/win32/io_error.h"

namespace {

using menutest::TFrontEndFixture;

class MenuFileTest : public TFrontEndFixture {
 protected:
  // A menu file of Pages pages with Items items each (all visible, selectable).
  static std::string MakeMenuFile(int Pages, int Items, const std::string& Position = "0 0 0") {
    std::string s = "menu\r\nImages\\menu.jpg\r\nitems\r\n" + std::to_string(Pages) + "\r\n";
    for (int p = 1; p <= Pages; ++p) {
      s += "--- page\r\n" + std::to_string(Items) + "\r\n";
      for (int i = 1; i <= Items; ++i)
        s += "Images\\a.tga\r\nImages\\b.tga\r\n" + Position + "\r\n1 1 1\r\n0 0 0\r\n1\r\n1\r\n";
    }
    return s;
  }
  void WriteMenu(const std::string& Text) { menutest::WriteBytes(folder.Game() / "data" / "Menu.dat", Text); }
  // The error LoadMenu raises, as text ("" when it raises none).
  std::string LoadError() {
    try {
      LoadMenu();
    } catch (const EInOutError& e) {
      return e.what();
    }
    return "";
  }
};

TEST_F(MenuFileTest, ShippedFileProvidesEveryPageAndItemTheCommandsUse) {
  ASSERT_GE(Menu->PageCount, 10);
  const std::vector<std::pair<int, std::vector<int>>> chosen = {
      {1, {1, 2, 3, 4}}, {2, {1, 2, 3, 4}}, {3, {1, 2, 4, 6, 8, 10, 12, 14}}, {4, {1}}, {5, {2, 3}},
      {6, {1, 2, 3}},    {7, {2, 3}},       {9, {1, 2, 3}},                   {10, {1, 2, 3}}};
  for (const auto& [page, items] : chosen)
    for (int i : items) {
      ASSERT_LE(i, Menu->Pages[static_cast<std::size_t>(page)].Count) << "page " << page;
      EXPECT_TRUE(Menu->Item(page, i).Selectable) << "page " << page << " item " << i;
      EXPECT_NE(Menu->Item(page, i).NormalSprite, nullptr) << "page " << page << " item " << i;
      EXPECT_NE(Menu->Item(page, i).HighlightSprite, nullptr) << "page " << page << " item " << i;
    }
  EXPECT_GE(Menu->Pages[3].Count, 19);
  // Labels, bars and skin numbers are shown, not chosen.
  for (int i : {3, 5, 7, 9, 11, 13, 15, 16, 17, 18, 19}) EXPECT_FALSE(Menu->Item(3, i).Selectable) << i;
  // The bars lie where a click sets the volumes.
  const float soundY = Menu->Item(3, 7).HomePose.Position.y;
  const float musicY = Menu->Item(3, 11).HomePose.Position.y;
  EXPECT_TRUE(1.801f <= soundY && soundY <= 2.201f) << soundY;
  EXPECT_TRUE(-0.00525f <= musicY && musicY <= 0.39475f) << musicY;
  // Main page items do not overlap: a click chooses one item.
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) {
      if (i == j) continue;
      const D3DVECTOR c = Menu->Item(1, j).HomePose.Position;
      EXPECT_FALSE(TD3DMenu::HitTest(Menu->Item(1, i).HomePose, c.x, c.y)) << i << " covers " << j;
    }
}

TEST_F(MenuFileTest, MissingFileIsReportedByName) {
  std::filesystem::remove(folder.Game() / "data" / "Menu.dat");
  EXPECT_NE(LoadError().find("Menu.dat"), std::string::npos);
}

TEST_F(MenuFileTest, BadFilesAreReportedWithTheirLine) {
  WriteMenu(MakeMenuFile(1, 1, "0 zero 0"));
  EXPECT_NE(LoadError().find("line 9"), std::string::npos);
  WriteMenu(MakeMenuFile(11, 0));
  EXPECT_NE(LoadError().find("line 4"), std::string::npos);
  WriteMenu(MakeMenuFile(0, 0));
  EXPECT_NE(LoadError().find("line 4"), std::string::npos);
  WriteMenu(MakeMenuFile(1, 21));
  EXPECT_NE(LoadError().find("line 6"), std::string::npos);
  std::string cut = MakeMenuFile(2, 2);
  WriteMenu(cut.substr(0, cut.size() - 10));
  EXPECT_NE(LoadError().find("Menu.dat"), std::string::npos);
}

// A background line that names no picture (empty: the game folder itself; a
// device that never ends) leaves the background empty; the menu still loads.
TEST_F(MenuFileTest, ABackgroundThatIsNoPictureLeavesTheBackgroundEmpty) {
  for (const char* name : {"", "/dev/zero", "Images", "."}) {
    std::string text = MakeMenuFile(1, 1);
    text.replace(text.find("Images\\menu.jpg"), 15, name);
    WriteMenu(text);
    EXPECT_EQ(LoadError(), "") << "background '" << name << "'";
    EXPECT_EQ(MenuBackground, nullptr) << "background '" << name << "'";
  }
}

// The menu file itself must be a file of ours.
TEST_F(MenuFileTest, AFolderInPlaceOfTheFileIsReportedByName) {
  std::filesystem::remove(folder.Game() / "data" / "Menu.dat");
  std::filesystem::create_directories(folder.Game() / "data" / "Menu.dat");
  EXPECT_NE(LoadError().find("Menu.dat"), std::string::npos);
}

TEST_F(MenuFileTest, SmallestAndLargestFilesLoad) {
  WriteMenu(MakeMenuFile(10, 20, " -1.5  +2.25\t3e-1 "));
  EXPECT_EQ(LoadError(), "");
  EXPECT_EQ(Menu->PageCount, 10);
  EXPECT_EQ(Menu->Pages[10].Count, 20);
  EXPECT_FLOAT_EQ(Menu->Item(10, 20).HomePose.Position.x, -1.5f);
  EXPECT_FLOAT_EQ(Menu->Item(10, 20).HomePose.Position.y, 2.25f);
  EXPECT_FLOAT_EQ(Menu->Item(10, 20).HomePose.Position.z, 0.3f);
  WriteMenu(MakeMenuFile(1, 0));
  EXPECT_EQ(LoadError(), "");
  // A short menu: commands on pages it lacks find empty pages, not a crash.
  Options->Help = true;
  MenuCommand(13);
  EXPECT_EQ(Menu->CurrentPage, 1);
}

TEST_F(MenuFileTest, OnlyOneMeansVisibleOrSelectable) {
  std::string s = MakeMenuFile(1, 1);
  s.replace(s.rfind("1\r\n1\r\n"), 6, "2\r\n-1\r\n");
  WriteMenu(s);
  ASSERT_EQ(LoadError(), "");
  EXPECT_FALSE(Menu->Item(1, 1).Visible);
  EXPECT_FALSE(Menu->Item(1, 1).Selectable);
}

TEST_F(MenuFileTest, LoadingAdvancesTheBarFrom2To10) {
  GameState = gsLoading;
  LoadingBar = std::make_unique<TLoadingBar>(D3DDevice);
  TRecordDevice* rec = AsRecordDevice(D3DDevice);
  const unsigned before = rec->PresentCount;
  D3DDevice->EndScene();  // each step renders a whole frame of its own
  LoadMenu();
  D3DDevice->BeginScene();
  EXPECT_EQ(LoadingBar->LitCount, 10);
  EXPECT_EQ(rec->PresentCount - before, 9u);  // one frame per step 2..10
  LoadingBar.reset();
}

}  // namespace
