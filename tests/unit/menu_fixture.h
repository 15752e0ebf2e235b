// A loaded front end on the recording device: the shipped menu, level and
// figure files in a throw-away game folder, a game object, settings and high
// scores, as the loading sequence leaves them, with the main menu entered.
#pragma once

#include <algorithm>
#include <cstdlib>

#include "audio/sounds.h"
#include "frontend/cursor.h"
#include "frontend/hiscores.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "frontend/tutorial.h"
#include "game/game.h"
#include "game/planes.h"
#include "menu_test_support.h"
#include "platform/win32/message_box.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/scene.h"

namespace menutest {

// A small 24-bit bitmap (what the tutorial converts its pictures to).
inline void WriteBmp(const std::filesystem::path& Path) {
  std::string b = "BM";
  auto put32 = [&](std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
  };
  auto put16 = [&](std::uint16_t v) {
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>(v >> 8));
  };
  put32(54 + 16);  // file size
  put32(0);
  put32(54);  // pixel offset
  put32(40);  // header size
  put32(2);   // width
  put32(2);   // height
  put16(1);
  put16(24);
  put32(0);
  put32(16);
  put32(2835);
  put32(2835);
  put32(0);
  put32(0);
  b += std::string(16, '\x40');  // two rows of 2 pixels + 2 padding bytes
  WriteBytes(Path, b);
}

class TFrontEndFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (folder.Root / "config").c_str(), 1);
    for (const char* name : {"Menu.dat", "Levels.dat", "BonusFigures.dat"})
      std::filesystem::copy_file(std::filesystem::path(VOXARINE_SOURCE_DIR) / "assets" / "data" / name,
                                 folder.Game() / "data" / name);
    // Every picture the menu file names, so that every item has its sprites.
    std::ifstream menuFile(folder.Game() / "data" / "Menu.dat");
    for (std::string line; std::getline(menuFile, line);) {
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
      if (line.size() > 4 && line.compare(line.size() - 4, 4, ".tga") == 0) {
        std::replace(line.begin(), line.end(), '\\', '/');
        WriteTga(folder.Game() / line);
      }
    }
    D3DDevice = MakeRecordingDevice();
    ASSERT_NE(D3DDevice, nullptr);
    ASSERT_EQ(InitGeometry(), D3D_OK);
    AudioRecording = true;
    AudioCalls.clear();
    MessageBoxRecording = true;
    MessageBoxCalls.clear();

    Options = std::make_unique<TOptions>();
    Options->SetDefaults();
    Options->Help = false;
    GameState = gsLoading;
    LoadMenu();
    Game = std::make_unique<TGame>(D3DDevice);
    HiScores = std::make_unique<THiScores>();
    EnterMenu();
    AudioCalls.clear();
  }

  void TearDown() override {
    Tutorial.reset();
    Menu.reset();
    Game.reset();
    HiScores.reset();
    Options.reset();
    for (auto& t : CubeTextures) SafeRelease(t);
    SafeRelease(MenuBackground);
    SafeRelease(VertexBuffer);
    SafeRelease(D3DDevice);
    AudioRecording = false;
    MessageBoxRecording = false;
    unsetenv("XDG_CONFIG_HOME");
  }

  // Selects Item on the shown page (as the arrows or the pointer would) and presses Enter.
  void Choose(int Item) {
    Menu->Current().Selected = Item;
    MenuCommand(13);
  }
  void Escape() { MenuCommand(27); }

  int Page() const { return Menu->CurrentPage; }
  int Selected() const { return Menu->Pages[static_cast<std::size_t>(Menu->CurrentPage)].Selected; }
  bool Visible(int P, int I) const { return Menu->Item(P, I).Visible; }
  // The pointer's position at the centre of an item of the shown page.
  D3DVECTOR Centre(int I) const { return Menu->Item(I).HomePose.Position; }
  // Moves the pointer onto item I and clicks it with Button.
  void Click(int I, int Button = 0) {
    const D3DVECTOR c = Centre(I);
    ClickAt(c.x, c.y, Button);
  }
  void ClickAt(float X, float Y, int Button = 0) {
    MenuMouseDown(X, Y);  // the pointer moves there first
    MenuMouseUp(Button, X, Y);
  }
  std::vector<std::string> Audio() const {
    std::vector<std::string> s;
    for (const TAudioCall& c : AudioCalls) s.push_back(c.Name + "(" + std::to_string(c.Arg) + ")");
    return s;
  }
  bool Played(const std::string& Call) const {
    for (const std::string& s : Audio())
      if (s == Call) return true;
    return false;
  }
  std::filesystem::path SaveFile(int Mode) const {
    return folder.Game() / "data" / ("Save" + std::to_string(Mode) + ".dat");
  }

  TTempGameFolder folder;
};

}  // namespace menutest
