// The game window on the recording device and SDL's dummy video driver, in a
// scratch game folder holding the shipped data files and stand-in fonts:
// shared by the window tests and the keyboard and gamepad tests.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "audio/sounds.h"
#include "frontend/menu.h"
#include "platform/forms/form.h"
#include "platform/win32/registry.h"
#include "platform/win32/screen_metrics.h"
#include "platform/win32/ticks.h"
#include "scene_fixture.h"
#include "shell/form_main.h"

class GameWindowTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    SetRegistryFile(Folder / "config/settings.reg");
    SetScreenSizeOverride(TScreenSize{1280, 1024});
    std::filesystem::create_directories(Folder / "data");
    for (const char* name : {"Menu.dat", "Levels.dat", "BonusFigures.dat"})
      std::filesystem::copy_file(std::string(VOXARINE_SOURCE_DIR) + "/assets/data/" + name,
                                 Folder / ("data/" + std::string(name)));
    std::string row = "0";
    for (int i = 1; i <= 51; ++i) row += " " + std::to_string(10 * i);
    for (const char* name : {"data/font.dat", "data/font1.dat"}) WriteText(Folder / name, "x\n512\nx\n1\n" + row + "\n");
    AudioRecording = true;
    AudioCalls.clear();
    SetTickCountOverride(1000);
  }

  void TearDown() override {
    if (FormMain) ReleaseGameWindow();
    Application.Terminated = false;
    CloseLauncher = nullptr;
    SetTickCountOverride(std::nullopt);
    SetScreenSizeOverride(std::nullopt);
    SetRegistryFile("");
    AudioRecording = false;
    SceneTest::TearDown();
  }

  // Creates and shows the window; the first idle pass begins loading.
  void CreateAndShowWindow() {
    FormMain = std::make_unique<TFormMain>();
    FormMain->FormShow();
    ASSERT_FALSE(FormMain->Terminated());
    FormMain->Show();
  }
};
