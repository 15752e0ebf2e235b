// Keyboard focus in the menu of the real game window (recording device, SDL's
// dummy video driver, its events pumped as the frame loop does): the same keys
// do the same on the first showing of the main menu and on a return to it.
#include <SDL.h>

#include <ostream>
#include <vector>

#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "game_window_fixture.h"
#include "platform/win32/virtual_keys.h"

namespace {

class MenuFocusTest : public GameWindowTest {
 protected:
  // Loading done and every event it left behind handled, as the loop would.
  void OpenWindow() {
    // Events earlier tests left in SDL's queue are none of this window's.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    CreateAndShowWindow();
    bool done = true;
    FormMain->ApplicationEvents1Idle(done);
    FormMain->ApplicationEvents1Idle(done);
    ASSERT_EQ(GameState, gsMenu);
    PumpEvents();
  }
  void PumpEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) FormMain->HandleEvent(e);
  }
  // What the keys lead to: the state and page after each key.
  std::vector<std::pair<int, int>> Press(const std::vector<std::uint16_t>& Keys) {
    std::vector<std::pair<int, int>> seen;
    for (std::uint16_t k : Keys) {
      FormMain->FormKeyDown(k);
      PumpEvents();
      seen.push_back({GameState, Menu->CurrentPage});
    }
    return seen;
  }
};

struct TKeysCase {
  std::vector<std::uint16_t> Keys;
  int State, Page;  // where they lead from the main menu
};

void PrintTo(const TKeysCase& C, std::ostream* Out) {
  *Out << C.Keys.size() << " keys to state " << C.State << ", page " << C.Page;
}

class MenuFocusKeysTest : public MenuFocusTest, public ::testing::WithParamInterface<TKeysCase> {};

// Enter alone, Down and Enter, Down twice and Enter: each does on the main
// menu's first showing what it does after Escape brought the menu back.
TEST_P(MenuFocusKeysTest, SameKeysDoTheSameOnTheFirstShowingAndAfterAReturn) {
  OpenWindow();
  EXPECT_EQ(Menu->Current().Selected, 1) << "the first item is selected as the menu first shows";
  const auto first = Press(GetParam().Keys);
  EXPECT_EQ(first.back(), std::make_pair(GetParam().State, GetParam().Page));
  Press({VK_ESCAPE});
  ASSERT_EQ(GameState, gsMenu);
  ASSERT_EQ(Menu->CurrentPage, mpMain);
  EXPECT_EQ(Press(GetParam().Keys), first) << "after a return from the submenu";
}

INSTANTIATE_TEST_SUITE_P(MainMenu, MenuFocusKeysTest,
                         ::testing::Values(TKeysCase{{VK_RETURN}, gsMenu, mpChooseGame},
                                           TKeysCase{{VK_DOWN, VK_RETURN}, gsMenu, mpOptions},
                                           TKeysCase{{VK_DOWN, VK_DOWN, VK_RETURN}, gsHiScores, mpHiScores}));

// The pointer still rules when it moves: off every item it clears the
// highlight, and the first Down then selects the first item.
TEST_F(MenuFocusTest, APointerMovedOffTheItemsStillClearsTheHighlight) {
  OpenWindow();
  MenuPointAt(5.0f, 4.9f);  // a corner of the menu plane, over no item
  EXPECT_EQ(Menu->Current().Selected, 0);
  Press({VK_DOWN});
  EXPECT_EQ(Menu->Current().Selected, 1);
}

}  // namespace
