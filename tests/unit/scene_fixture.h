// The scene's globals on the recording device, in a temporary game folder:
// shared by the tests of the scene, textures, fonts, cursor and main window.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation_temp.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/record/record_device.h"
#include "platform/win32/message_box.h"
#include "platform/win32/paths.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/scene.h"

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetGameFolder(Folder.Path);
    SetUserDataFolder(Folder / "user");
    D3D8SelectBackend(TD3D8Backend::Recording);
    RecordConfig() = {};
    MessageBoxRecording = true;
    MessageBoxCalls.clear();
    Options = std::make_unique<TOptions>();
    Options->SetDefaults();
    GameState = gsMenu;
  }

  void TearDown() override {
    ReleaseGraphics();
    Options.reset();
    MessageBoxRecording = false;
    GameState = gsLaunch;
  }

  // A windowed recording device with the scene's states, lights and geometry.
  void MakeScene() {
    ASSERT_TRUE(InitD3D(nullptr, false, 800, 600, 32, 0, true, true));
    SetupRenderStates();
    SetupLights();
    ASSERT_EQ(InitGeometry(), D3D_OK);
    Rec = AsRecordDevice(D3DDevice);
    ASSERT_NE(Rec, nullptr);
    Rec->ClearLog();
  }

  const TSceneVertex* Vertices() const {
    const auto* bytes = Rec->VertexBytes(VertexBuffer);
    return bytes ? reinterpret_cast<const TSceneVertex*>(bytes->data()) : nullptr;
  }

  std::string Log() const { return ReadText(Folder / "debug.txt"); }

  TTempFolder Folder;
  TRecordDevice* Rec = nullptr;
};
