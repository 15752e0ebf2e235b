// The launcher dialog.
#include "shell/startup.h"

#include <SDL.h>

#include <filesystem>
#include <system_error>

#include "platform/forms/widgets.h"
#include "platform/win32/message_box.h"
#include "platform/win32/paths.h"
#include "platform/win32/shell_open.h"
#include "shell/debug_log.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/scene.h"
#include "shell/video_options.h"

std::unique_ptr<TStartUp> StartUp;

namespace {
constexpr int ShownHeight = 229;  // outer height: room for the picture and the buttons

void Place(TButton& B, const char* Caption, int Top) {
  B.Caption = Caption;
  B.Left = 215, B.Top = Top, B.Width = 105, B.Height = 25;
}
}  // namespace

TStartUp::TStartUp() : TForm("Voxarine Launcher", 324, 286) {
  Place(btnStart, "&Start Game", 8);
  Place(btnOptions, "&Options", 40);
  Place(btnHelp, "&View Help", 72);
  Place(tbnHome, "&Homepage", 104);
  Place(btnExit, "E&xit", 136);
  btnStart.Default = true;
  // Bound in tab order.
  Bind(btnStart, [this] { btnStartClick(); });
  Bind(btnOptions, [this] { btnOptionsClick(); });
  Bind(btnHelp, [this] { btnHelpClick(); });
  Bind(tbnHome, [this] { tbnHomeClick(); });
  Bind(btnExit, [this] { btnExitClick(); });
}

TStartUp::~TStartUp() = default;

void TStartUp::FormCreate() {
  Options = std::make_unique<TOptions>();
  Options->Load();
}

void TStartUp::FormShow() {
  SetCaption(Application.Title);
  SetHeight(ShownHeight);
}

void TStartUp::btnStartClick() {
  FormMain.reset();
  FormMain = std::make_unique<TFormMain>();
  Hide();
}

void TStartUp::FormHide() {
  if (!FormMain) return;
  DebugLog(false, Options->Fullscreen ? " Fullscreen = True" : " Fullscreen = False");
  if (FormMain->Window) {
    SDL_RestoreWindow(FormMain->Window);
    // No border in full screen; a fixed single border with its caption in a window.
    SDL_SetWindowBordered(FormMain->Window, Options->Fullscreen ? SDL_FALSE : SDL_TRUE);
    SDL_SetWindowResizable(FormMain->Window, SDL_FALSE);
  }
  FormMain->FormShow();
  if (!FormMain->Terminated()) FormMain->Show();
}

void TStartUp::btnOptionsClick() { FormVideoMode->ShowModal(); }

namespace {
// Without a program to open it, the player is told what to open by hand
// instead of a button that does nothing.
void OpenOrTell(const std::string& Target, const std::string& What, const std::string& Shown) {
  if (ShellExecuteA(GetDesktopWindow(), "open", Target.c_str(), nullptr, nullptr, SW_HIDE) > 32) return;
  const std::string text = Application.Title + " cannot open " + What +
                           ": no program that opens files and web addresses was found (xdg-open, from the "
                           "package xdg-utils).\n\nPlease open it yourself:\n" + Shown;
  MessageBoxA(nullptr, text.c_str(), Application.Title.c_str(), MB_OK | MB_ICONINFORMATION);
}
}  // namespace

void TStartUp::btnHelpClick() {
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute("Readme.html", ec);
  OpenOrTell("Readme.html", "the manual", ec ? std::string("Readme.html") : file.string());
}

void TStartUp::tbnHomeClick() { OpenOrTell(Options->HomePage, "the home page", Options->HomePage); }

void TStartUp::btnExitClick() {
  if (FormMain) ReleaseGraphics();
  Close();
}

void TStartUp::Paint() {
  if (!PictureLoaded_) {
    PictureLoaded_ = true;
    Picture_ = LoadPicture(ResolvePath(PictureFile), PictureWidth_, PictureHeight_);
  }
  DrawPanel(0, 0, ClientWidth, ClientHeight);
  DrawPicture(Picture_, PictureWidth_, PictureHeight_, 8, 8, 200, 150);
  for (TButton* b : {&btnStart, &btnOptions, &btnHelp, &tbnHome, &btnExit})
    if (DrawButton(*this, *b)) Click(*b);
}
