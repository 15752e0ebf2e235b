// The launcher and the options dialog without a display: control states after
// each click and key, and what OK stores.
#include <SDL.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/forms/display_watch.h"
#include "platform/forms/form.h"
#include "platform/win32/message_box.h"
#include "platform/win32/paths.h"
#include "platform/win32/registry.h"
#include "platform/win32/shell_open.h"
#include "shell/options.h"
#include "shell/startup.h"
#include "shell/video_options.h"
#include "unit/foundation_temp.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistryFile(Temp / "settings.reg");
    SetGameFolder(Temp.Path);
    SetUserDataFolder(Temp / "user");
    Application.Title = "Voxarine";
    Application.Terminated = false;
    Options = std::make_unique<TOptions>();
    Options->Load();
    Dialog = std::make_unique<TFormVideoMode>();
  }
  void TearDown() override {
    Dialog.reset();
    Options.reset();
    Application.Terminated = false;
    MessageBoxRecording = ShellRecording = false;
    MessageBoxCalls.clear();
    ShellCalls.clear();
    SetRegistryFile("");
    SetGameFolder("");
    SetUserDataFolder("");
  }
  TOptions Saved() {
    TOptions o;
    o.ReadRegistry();
    return o;
  }

  TTempFolder Temp;
  std::unique_ptr<TFormVideoMode> Dialog;
};

}  // namespace

TEST(Controls, AcceleratorsAndCaptions) {
  EXPECT_EQ(AcceleratorOf("E&xit"), 'x');
  EXPECT_EQ(AcceleratorOf("&Start Game"), 's');
  EXPECT_EQ(AcceleratorOf("Fish && &Chips"), 'c');
  EXPECT_EQ(AcceleratorOf("Resolution:"), 0);
  EXPECT_EQ(DisplayCaption("Fish && &Chips"), "Fish & Chips");
  TComboBox c;
  c.Items = {"a", "b"};
  c.Select(1);
  EXPECT_EQ(c.Text, "b");
  c.Edit("bb");
  EXPECT_EQ(c.ItemIndex, -1);
  c.Select(5);
  EXPECT_EQ(c.Text, "");
}

// Defaults (full screen on the desktop): the size list is disabled and shows 800x600.
TEST_F(DialogTest, ShowLoadsControlsFromOptions) {
  Dialog->FormShow();
  EXPECT_EQ(Dialog->rgFullscreen.ItemIndex, 0);
  EXPECT_TRUE(Dialog->cbDesktop.Checked);
  EXPECT_TRUE(Dialog->cbDesktop.Enabled);
  EXPECT_FALSE(Dialog->cbRes.Enabled);
  EXPECT_FALSE(Dialog->labRes.Enabled);
  EXPECT_EQ(Dialog->cbRes.ItemIndex, 3);
  EXPECT_TRUE(Dialog->cbShowHelp.Checked);

  Options->Fullscreen = false;
  Options->Desktop = false;
  Options->Resolution = 9;
  Options->Help = false;
  Dialog->FormShow();
  EXPECT_EQ(Dialog->rgFullscreen.ItemIndex, 1);
  EXPECT_FALSE(Dialog->cbDesktop.Enabled);
  EXPECT_TRUE(Dialog->cbRes.Enabled);
  EXPECT_EQ(Dialog->cbRes.ItemIndex, -1);  // the desktop size has no item
  EXPECT_EQ(Dialog->cbRes.Text, "");
  EXPECT_FALSE(Dialog->cbShowHelp.Checked);
}

TEST_F(DialogTest, ModeChoiceKeepsDesktopSwitchConsistent) {
  Options->Desktop = false;
  Options->Resolution = 5;
  Dialog->FormShow();
  EXPECT_EQ(Dialog->cbRes.ItemIndex, 5);
  Dialog->rgFullscreen.ItemIndex = 1;
  Dialog->rgFullscreenClick();
  EXPECT_FALSE(Dialog->cbDesktop.Enabled);
  EXPECT_FALSE(Dialog->cbDesktop.Checked);
  EXPECT_TRUE(Dialog->cbRes.Enabled);
  EXPECT_EQ(Dialog->cbRes.ItemIndex, 5);  // unchanged
  Dialog->rgFullscreen.ItemIndex = 0;
  Dialog->rgFullscreenClick();
  EXPECT_TRUE(Dialog->cbDesktop.Checked);
  EXPECT_FALSE(Dialog->cbRes.Enabled);
  EXPECT_EQ(Dialog->cbRes.ItemIndex, 3);
}

// OK without a change still stores 32-bit colour, and the shown 800x600 with the desktop on.
TEST_F(DialogTest, OkStoresControlsAndSaves) {
  Options->Resolution = 7;
  Options->Save();
  Dialog->FormShow();
  EXPECT_TRUE(Dialog->PressKey(SDLK_RETURN, false));
  EXPECT_EQ(Dialog->ModalResult, mrOk);
  const TOptions s = Saved();
  EXPECT_EQ(s.Color, 1);
  EXPECT_EQ(s.Resolution, 3);
  EXPECT_TRUE(s.Desktop);
  EXPECT_TRUE(s.Fullscreen);
}

TEST_F(DialogTest, TypedSizeSavesFallbackAndWindowedClearsDesktop) {
  Dialog->FormShow();
  Dialog->rgFullscreen.ItemIndex = 1;
  Dialog->rgFullscreenClick();
  Dialog->cbRes.Edit("1600x1200");
  Dialog->cbShowHelp.Checked = false;
  Dialog->Click(Dialog->btnOK);
  const TOptions s = Saved();
  EXPECT_FALSE(s.Fullscreen);
  EXPECT_FALSE(s.Desktop);
  EXPECT_EQ(s.Resolution, 3);
  EXPECT_FALSE(s.Help);
}

// Escape, Alt+C and the close box cancel: Options and the file stay as they were.
TEST_F(DialogTest, CancelLeavesOptionsUntouched) {
  const std::string before = ReadText(Temp / "settings.reg");
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    Dialog->FormShow();
    Dialog->rgFullscreen.ItemIndex = 1;
    Dialog->rgFullscreenClick();
    Dialog->ModalResult = mrNone;
    if (way == 0) {
      EXPECT_TRUE(Dialog->PressKey(SDLK_ESCAPE, false));
    } else if (way == 1) {
      EXPECT_TRUE(Dialog->PressKey(SDLK_c, true));
    } else {
      // A modal showing nobody can answer (no display) is cancelled at once.
      EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    }
    EXPECT_EQ(Dialog->ModalResult, mrCancel);
    EXPECT_TRUE(Options->Fullscreen);
    EXPECT_EQ(Options->Color, 0);
  }
  EXPECT_EQ(ReadText(Temp / "settings.reg"), before);
}

// ---- Launcher -------------------------------------------------------------------------

TEST_F(DialogTest, LauncherCaptionHeightAndButtons) {
  TStartUp s;
  s.FormShow();
  EXPECT_EQ(s.Caption, "Voxarine");
  EXPECT_EQ(s.ClientHeight + 29, 229);
  EXPECT_TRUE(s.btnStart.Default);
  EXPECT_EQ(s.btnExit.Caption, "E&xit");
  EXPECT_EQ(s.tbnHome.Caption, "&Homepage");
}

TEST_F(DialogTest, HelpAndHomeOpenThroughTheShell) {
  ShellRecording = true;
  TStartUp s;
  EXPECT_TRUE(s.PressKey(SDLK_v, true));
  EXPECT_TRUE(s.PressKey(SDLK_h, true));
  EXPECT_THAT(ShellCalls, ElementsAre("Readme.html", DefaultHomePage));
}

// With no opener installed, Help and Homepage tell the player what to open
// (the manual by its full path) instead of doing nothing.
TEST_F(DialogTest, HelpAndHomeWithoutAnOpenerNameWhatToOpen) {
  const char* oldPath = std::getenv("PATH");
  const std::string saved = oldPath ? oldPath : "";
  std::filesystem::create_directories(Temp / "no-opener");
  setenv("PATH", (Temp / "no-opener").c_str(), 1);
  EXPECT_FALSE(ShellOpenerFound());
  MessageBoxRecording = true;
  TStartUp s;
  EXPECT_TRUE(s.PressKey(SDLK_v, true));
  EXPECT_TRUE(s.PressKey(SDLK_h, true));
  // An opener on the PATH is used: no message.
  const std::string opener = Temp / "no-opener/xdg-open";
  WriteText(opener, "#!/bin/sh\nexit 0\n");
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  EXPECT_TRUE(ShellOpenerFound());
  setenv("PATH", saved.c_str(), 1);
  ASSERT_EQ(MessageBoxCalls.size(), 2u);
  EXPECT_THAT(MessageBoxCalls[0].Text, HasSubstr("xdg-open"));
  EXPECT_THAT(MessageBoxCalls[0].Text, HasSubstr((std::filesystem::current_path() / "Readme.html").string()));
  EXPECT_THAT(MessageBoxCalls[1].Text, HasSubstr(DefaultHomePage));
  EXPECT_EQ(MessageBoxCalls[1].Caption, "Voxarine");
}

// Message boxes are as wide as their longest line: text is wrapped at
// spaces, paths after a slash, anything else at the width; nothing is lost.
TEST(MessageText, WrapsToAReadableWidth) {
  EXPECT_EQ(WrapMessageText("Short enough."), "Short enough.");
  EXPECT_EQ(WrapMessageText("One\n\nTwo"), "One\n\nTwo");
  // An indented line (a list of folders) keeps its indent on every piece.
  EXPECT_EQ(WrapMessageText("Looked in:\n  /a/bb/ccc/dddd", 10), "Looked in:\n  /a/bb/\n  ccc/dddd");
  const std::string path = "/home/a-player-with-a-long-name/.local/share/voxarine/data/some/deeper/folder/Hiscores.dat";
  const std::string text = "The high score table \"" + path +
                           "\" is damaged: its entries are not in order. It was kept aside as Hiscores.dat.damaged "
                           "and the default table is shown instead.";
  const std::string wrapped = WrapMessageText(text, 64);
  std::string joined, line;
  std::istringstream lines(wrapped);
  int count = 0;
  while (std::getline(lines, line)) {
    ++count;
    EXPECT_LE(line.size(), 64u) << line;
    EXPECT_FALSE(line.empty());
    // A line that breaks the path ends at one of its slashes.
    const bool inPath = line.find("/home") != std::string::npos || line.find("share/") == 0;
    if (inPath && line.find(".dat") == std::string::npos) {
      EXPECT_EQ(line.back(), '/') << line;
    }
    joined += line;
    joined += ' ';
  }
  EXPECT_GE(count, 3);
  // Rejoined at the breaks, the text is whole (a path's breaks add no blank).
  std::string rejoined = joined;
  for (std::size_t at; (at = rejoined.find("/ ")) != std::string::npos;) rejoined.erase(at + 1, 1);
  EXPECT_EQ(rejoined, text + " ");

  const std::string word(150, 'x');
  EXPECT_EQ(WrapMessageText("a " + word, 64),
            "a\n" + word.substr(0, 64) + "\n" + word.substr(64, 64) + "\n" + word.substr(128));
}

// Exit before Start ends the program and touches neither graphics nor the log.
TEST_F(DialogTest, ExitBeforeStartClosesOnly) {
  TStartUp s;
  Application.MainForm = &s;
  EXPECT_TRUE(s.PressKey(SDLK_x, true));
  EXPECT_TRUE(s.Closed());
  EXPECT_TRUE(Application.Terminated);
  EXPECT_FALSE(std::filesystem::exists(Temp / "debug.txt"));
  Application.MainForm = nullptr;
}

// Bad settings: the creation handler's error is shown, and the launcher opens with defaults.
TEST_F(DialogTest, BadSettingsAreShownNotFatal) {
  WriteText(Temp / "settings.reg", "[HKEY_CURRENT_USER\\Software\\Voxarine]\n\"Fullscreen\"=\"yes\"\n");
  MessageBoxRecording = true;
  Options.reset();
  TStartUp s;
  Application.CreateForm(s);
  ASSERT_EQ(MessageBoxCalls.size(), 1u);
  EXPECT_THAT(MessageBoxCalls[0].Text, HasSubstr("Fullscreen"));
  ASSERT_TRUE(Options);
  EXPECT_EQ(Options->Texture, 1);
  EXPECT_EQ(Options->Resolution, 6);
  // The Homepage button still has its address.
  ShellRecording = true;
  EXPECT_TRUE(s.PressKey(SDLK_h, true));
  EXPECT_THAT(ShellCalls, ElementsAre(DefaultHomePage));
}

// The display's socket: waiting events are no hang-up; the server's end
// closing is, whether or not unread events remain.
TEST(DisplayWatch, ASocketIsHungUpOnlyWhenItsPeerCloses) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  EXPECT_FALSE(SocketHungUp(fds[0]));
  ASSERT_EQ(write(fds[1], "e", 1), 1);
  EXPECT_FALSE(SocketHungUp(fds[0])) << "an event waiting to be read";
  close(fds[1]);
  EXPECT_TRUE(SocketHungUp(fds[0]));
  close(fds[0]);
  EXPECT_FALSE(SocketHungUp(-1));
  EXPECT_FALSE(DisplayConnectionLost()) << "nothing watched without a display";
}
