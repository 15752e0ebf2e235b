// The 3D menu on its own: selection by keys and pointer, page switching,
// item swapping, hit rectangles, drawing order and the menu sounds.
#include <gtest/gtest.h>

#include "audio/sounds.h"
#include "frontend/menu3d.h"
#include "menu_test_support.h"

namespace {

using menutest::TTempGameFolder;

class D3DMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AudioRecording = true;
    AudioCalls.clear();
    menu.SetPageCount(3);
  }
  void TearDown() override { AudioRecording = false; }

  // An item without pictures at (x, y), 1 x 1 in size.
  void Add(int Page, float X, float Y, bool Visible = true, bool Selectable = true) {
    menu.AddMenuItem(nullptr, Page, "none.tga", "none.tga", {X, Y, 0}, {1, 1, 1}, {0, 0, 0}, Visible,
                     Selectable);
  }
  std::vector<int> Sounds() const {
    std::vector<int> s;
    for (const TAudioCall& c : AudioCalls)
      if (c.Name == "PlaySound") s.push_back(c.Arg);
    return s;
  }

  TD3DMenu menu;
};

TEST_F(D3DMenuTest, SetPageSelectsLowestVisibleSelectableItem) {
  Add(1, 0, 0, false, true);   // hidden
  Add(1, 0, 1, true, false);   // not selectable
  Add(1, 0, 2);                // first candidate
  Add(1, 0, 3);
  menu.SetPage(1);
  EXPECT_EQ(menu.CurrentPage, 1);
  EXPECT_EQ(menu.Pages[1].Selected, 3);
  EXPECT_EQ(menu.Pages[1].Hovered, 3);
}

TEST_F(D3DMenuTest, SetPageKeepsOldSelectionWhenNothingIsSelectable) {
  Add(2, 0, 0, true, false);
  menu.Pages[2].Selected = 1;
  menu.SetPage(2);
  EXPECT_EQ(menu.CurrentPage, 2);
  EXPECT_EQ(menu.Pages[2].Selected, 1);
}

TEST_F(D3DMenuTest, ArrowsSkipHiddenItemsAndWrapBothWays) {
  Add(1, 0, 0);
  Add(1, 0, 1, false, true);
  Add(1, 0, 2);
  menu.SetPage(1);
  ASSERT_EQ(menu.Pages[1].Selected, 1);
  EXPECT_EQ(menu.KeyDown(40).Action, maMove);  // Down
  EXPECT_EQ(menu.Pages[1].Selected, 3);
  menu.KeyDown(39);  // Right wraps
  EXPECT_EQ(menu.Pages[1].Selected, 1);
  menu.KeyDown(38);  // Up wraps
  EXPECT_EQ(menu.Pages[1].Selected, 3);
  menu.KeyDown(37);  // Left
  EXPECT_EQ(menu.Pages[1].Selected, 1);
  EXPECT_EQ(Sounds(), (std::vector<int>{20, 20, 20, 20}));
}

TEST_F(D3DMenuTest, ArrowsOnAPageWithoutTargetsDoNothing) {
  Add(1, 0, 0, false, true);
  Add(1, 0, 1, true, false);
  menu.SetPage(1);
  EXPECT_EQ(menu.KeyDown(40).Action, maNone);
  EXPECT_EQ(menu.KeyDown(38).Action, maNone);
  EXPECT_EQ(menu.KeyDown(40).Action, maNone);
  menu.SetPageCount(1);  // an empty page
  EXPECT_EQ(menu.KeyDown(38).Action, maNone);
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(D3DMenuTest, EnterAndEscapeReportPageAndItem) {
  Add(2, 0, 0);
  Add(2, 0, 1);
  menu.SetPage(2);
  menu.KeyDown(40);
  AudioCalls.clear();
  TMenuKeyResult r = menu.KeyDown(13);
  EXPECT_EQ(r.Page, 2);
  EXPECT_EQ(r.Item, 2);
  EXPECT_EQ(r.Action, maEnter);
  r = menu.KeyDown(32);  // Space is Enter too
  EXPECT_EQ(r.Action, maEnter);
  r = menu.KeyDown(27);
  EXPECT_EQ(r.Action, maBack);
  EXPECT_EQ(r.Item, 2);
  EXPECT_EQ(Sounds(), (std::vector<int>{21, 21, 22}));
  // Other keys do nothing and report nothing.
  r = menu.KeyDown(65);
  EXPECT_EQ(r.Action, maNone);
  EXPECT_EQ(r.Page, 0);
}

TEST_F(D3DMenuTest, EscapeWithNothingSelectedIsSilent) {
  Add(1, 0, 0);
  menu.SetPage(1);
  menu.MouseMove(50, 50);  // off every item
  const TMenuKeyResult r = menu.KeyDown(27);
  EXPECT_EQ(r.Action, maBack);
  EXPECT_EQ(r.Item, 0);
  menu.KeyDown(13);
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(D3DMenuTest, PointerSelectsAndPlaysMoveSoundOncePerItem) {
  Add(1, 0, 0);
  Add(1, 0, 2);
  menu.SetPage(1);  // item 1 hovered already
  menu.MouseMove(0.1f, 0.1f);
  menu.MouseMove(-0.2f, 0.3f);
  EXPECT_EQ(menu.Pages[1].Selected, 1);
  EXPECT_TRUE(Sounds().empty());
  menu.MouseMove(0, 2.2f);
  menu.MouseMove(0.1f, 2.1f);
  EXPECT_EQ(menu.Pages[1].Selected, 2);
  EXPECT_EQ(Sounds(), std::vector<int>{20});
  menu.Pressed = true;
  menu.MouseMove(0, 1);  // between the items
  EXPECT_EQ(menu.Pages[1].Selected, 0);
  EXPECT_EQ(menu.Pages[1].Hovered, 0);
  EXPECT_FALSE(menu.Pressed);
  menu.MouseMove(0, 2);  // back on item 2: sounds again
  EXPECT_EQ(Sounds(), (std::vector<int>{20, 20}));
}

TEST_F(D3DMenuTest, PointerIgnoresHiddenAndUnselectableItemsAndHighestWins) {
  Add(1, 0, 0);
  Add(1, 0, 0.5f);             // overlaps item 1
  Add(1, 0, 0, false, true);   // hidden, on top
  Add(1, 0, 0, true, false);   // unselectable, on top
  menu.SetPage(1);
  menu.MouseMove(0, 0.25f);
  EXPECT_EQ(menu.Pages[1].Selected, 2);
}

TEST_F(D3DMenuTest, HitTestIncludesTheBorders) {
  const TMenuPose pose{{2, 1, 1}, {1, 1, 5}, {0, 3, 0}};
  EXPECT_TRUE(TD3DMenu::HitTest(pose, 0, 0.5f));
  EXPECT_TRUE(TD3DMenu::HitTest(pose, 2, 1.5f));
  EXPECT_FALSE(TD3DMenu::HitTest(pose, -0.001f, 1));
  EXPECT_FALSE(TD3DMenu::HitTest(pose, 1, 1.501f));
}

TEST_F(D3DMenuTest, SwapItemsHidesShowsAndSelects) {
  for (int i = 0; i < 16; ++i) Add(1, 0, static_cast<float>(i));
  menu.SetPage(1);
  menu.SwapItems(3, 2);
  EXPECT_FALSE(menu.Pages[1].Items[3].Visible);
  EXPECT_TRUE(menu.Pages[1].Items[2].Visible);
  EXPECT_EQ(menu.Pages[1].Selected, 2);
  EXPECT_EQ(menu.Pages[1].Hovered, 2);
  menu.SwapItems(15, 15);  // the same item: stays shown
  EXPECT_TRUE(menu.Pages[1].Items[15].Visible);
  EXPECT_EQ(menu.Pages[1].Selected, 15);
}

TEST_F(D3DMenuTest, RangeErrors) {
  for (int i = 0; i < 20; ++i) Add(3, 0, 0);
  EXPECT_THROW(Add(3, 0, 0), std::out_of_range);  // 21st item
  EXPECT_THROW(Add(11, 0, 0), std::out_of_range);
  EXPECT_THROW(menu.SetPage(0), std::out_of_range);
  EXPECT_THROW(menu.SetPage(11), std::out_of_range);
  EXPECT_THROW(menu.SwapItems(0, 1), std::out_of_range);
  EXPECT_THROW(menu.SwapItems(1, 21), std::out_of_range);
}

TEST_F(D3DMenuTest, PressedPoseIsSmallerAndLower) {
  menu.AddMenuItem(nullptr, 1, "", "", {1, 2, 3}, {2, 0.5f, 1}, {0.1f, 0.2f, 0.3f}, true, true);
  const TMenuItem& item = menu.Pages[1].Items[1];
  EXPECT_FLOAT_EQ(item.PressedPose.Scale.x, 1.96f);
  EXPECT_FLOAT_EQ(item.PressedPose.Scale.y, 0.49f);
  EXPECT_FLOAT_EQ(item.PressedPose.Scale.z, 1);
  EXPECT_FLOAT_EQ(item.PressedPose.Position.y, 1.97f);
  EXPECT_FLOAT_EQ(item.PressedPose.Position.x, 1);
  EXPECT_FLOAT_EQ(item.PressedPose.Rotation.z, 0.3f);
  EXPECT_FLOAT_EQ(item.HomePose.Position.y, 2);
}

// Drawing needs pictures: a throw-away game folder with two small ones.
class D3DMenuDrawTest : public D3DMenuTest {
 protected:
  void SetUp() override {
    D3DMenuTest::SetUp();
    menutest::WriteTga(folder.Game() / "Images" / "n.tga", 10);
    menutest::WriteTga(folder.Game() / "Images" / "h.tga", 20);
    device = menutest::MakeRecordingDevice();
    ASSERT_NE(device, nullptr);
  }
  void TearDown() override {
    menu.SetPageCount(0);
    for (auto& page : menu.Pages)
      for (auto& item : page.Items) item = TMenuItem{};
    SafeRelease(device);
    D3DMenuTest::TearDown();
  }
  void AddPictured(float X, bool Visible = true) {
    menu.AddMenuItem(device, 1, "Images\\n.tga", "images/H.TGA", {X, 0, 0}, {1, 1, 1}, {0, 0, 0}, Visible,
                     true);
  }

  TTempGameFolder folder;
  IDirect3DDevice8* device = nullptr;
};

TEST_F(D3DMenuDrawTest, MissingPicturesLeaveTheSpritesAbsent) {
  menu.AddMenuItem(device, 1, "Images\\missing.tga", "Images\\h.tga", {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, true,
                   true);
  EXPECT_EQ(menu.Pages[1].Items[1].NormalSprite, nullptr);
  ASSERT_NE(menu.Pages[1].Items[1].HighlightSprite, nullptr);
  EXPECT_FLOAT_EQ(menu.Pages[1].Items[1].HighlightSprite->Scale.x, 1);
}

TEST_F(D3DMenuDrawTest, SelectedItemIsDrawnLastWithItsHighlightAndHiddenOnesNot) {
  AddPictured(0);
  AddPictured(2);
  AddPictured(4, false);
  AddPictured(6);
  menu.SetPage(1);
  menu.KeyDown(40);  // select item 2
  TRecordDevice* rec = AsRecordDevice(device);
  rec->ClearLog();
  menu.Draw(device);
  const auto& draws = rec->Draws();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_FLOAT_EQ(draws[0].World._41, 0);
  EXPECT_FLOAT_EQ(draws[1].World._41, 6);
  EXPECT_FLOAT_EQ(draws[2].World._41, 2);
  EXPECT_EQ(draws[2].Texture, menu.Pages[1].Items[2].HighlightSprite->Texture);
  EXPECT_EQ(draws[0].Texture, menu.Pages[1].Items[1].NormalSprite->Texture);
  for (const auto& d : draws) {
    EXPECT_EQ(d.RenderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(d.RenderState(D3DRS_LIGHTING), static_cast<DWORD>(FALSE));
  }
  // The device is left lit, unblended and untextured.
  DWORD v = 0;
  device->GetRenderState(D3DRS_LIGHTING, &v);
  EXPECT_EQ(v, static_cast<DWORD>(TRUE));
  device->GetRenderState(D3DRS_ALPHABLENDENABLE, &v);
  EXPECT_EQ(v, static_cast<DWORD>(FALSE));
}

TEST_F(D3DMenuDrawTest, PressedSelectionIsDrawnSmallerAndLower) {
  AddPictured(0);
  menu.SetPage(1);
  menu.Pressed = true;
  TRecordDevice* rec = AsRecordDevice(device);
  rec->ClearLog();
  menu.Draw(device);
  ASSERT_EQ(rec->Draws().size(), 1u);
  EXPECT_FLOAT_EQ(rec->Draws()[0].World._11, 0.98f);
  EXPECT_FLOAT_EQ(rec->Draws()[0].World._42, -0.03f);
  menu.Pressed = false;
  rec->ClearLog();
  menu.Draw(device);
  EXPECT_FLOAT_EQ(rec->Draws()[0].World._11, 1);
  EXPECT_FLOAT_EQ(rec->Draws()[0].World._42, 0);
}

TEST_F(D3DMenuDrawTest, HiddenSelectedItemDrawsNothingHighlighted) {
  AddPictured(0);
  AddPictured(2);
  menu.SetPage(1);
  menu.Pages[1].Items[1].Visible = false;  // still selected
  TRecordDevice* rec = AsRecordDevice(device);
  rec->ClearLog();
  menu.Draw(device);
  ASSERT_EQ(rec->Draws().size(), 1u);
  EXPECT_FLOAT_EQ(rec->Draws()[0].World._41, 2);
}

}  // namespace
