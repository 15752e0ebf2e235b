// The options dialog by gamepad, without a display: B is the dialog's
// Escape (cancel) and Start its Enter (the default button); a pad button
// for a dialog behind a modal one does nothing.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/forms/form.h"
#include "platform/win32/paths.h"
#include "platform/win32/registry.h"
#include "shell/options.h"
#include "shell/video_options.h"
#include "unit/foundation_temp.h"

namespace {

SDL_Event PadButton(SDL_GameControllerButton Button) {
  SDL_Event e{};
  e.type = SDL_CONTROLLERBUTTONDOWN;
  e.cbutton.button = static_cast<Uint8>(Button);
  e.cbutton.state = SDL_PRESSED;
  return e;
}

class PadDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistryFile(Temp / "settings.reg");
    SetGameFolder(Temp.Path);
    SetUserDataFolder(Temp / "user");
    Options = std::make_unique<TOptions>();
    Options->Load();
    Options->Save();
    Dialog = std::make_unique<TFormVideoMode>();
    Dialog->FormShow();
    Dialog->rgFullscreen.ItemIndex = 1;  // windowed: a change OK would store
    Dialog->rgFullscreenClick();
    Dialog->ModalResult = mrNone;
  }
  void TearDown() override {
    Dialog.reset();
    Options.reset();
    SetRegistryFile("");
    SetGameFolder("");
    SetUserDataFolder("");
  }
  TTempFolder Temp;
  std::unique_ptr<TFormVideoMode> Dialog;
};

}  // namespace

TEST_F(PadDialogTest, BCancelsStartConfirmsOnlyForTheDialogInFront) {
  const std::string before = ReadText(Temp / "settings.reg");
  Dialog->HandleEvent(PadButton(SDL_CONTROLLER_BUTTON_START), false);
  EXPECT_EQ(Dialog->ModalResult, mrNone) << "behind a modal dialog the pad does nothing";
  Dialog->HandleEvent(PadButton(SDL_CONTROLLER_BUTTON_B), true);
  EXPECT_EQ(Dialog->ModalResult, mrCancel);
  EXPECT_TRUE(Options->Fullscreen);
  EXPECT_EQ(ReadText(Temp / "settings.reg"), before);

  Dialog->ModalResult = mrNone;
  Dialog->HandleEvent(PadButton(SDL_CONTROLLER_BUTTON_START), true);
  EXPECT_EQ(Dialog->ModalResult, mrOk);
  EXPECT_FALSE(Options->Fullscreen) << "OK stored the dialog's controls";
}
