// The launcher: the application's main window. It loads the settings and
// offers Start (creates and shows the game window, then hides itself),
// Options, Help, Homepage and Exit. Closing it ends the program.
#pragma once

#include <memory>
#include <string>

#include "platform/forms/form.h"

struct SDL_Texture;

class TStartUp : public TForm {
 public:
  TStartUp();
  ~TStartUp() override;

  void FormCreate() override;  // Options = TOptions, loaded
  void FormShow() override;    // caption = application title, outer height 229
  void FormHide() override;    // shows the game window, if there is one
  void Paint() override;

  void btnStartClick();
  void btnOptionsClick();
  void btnHelpClick();
  void tbnHomeClick();
  void btnExitClick();

  TButton btnStart, btnOptions, btnHelp, tbnHome, btnExit;

  // The 200 x 150 picture beside the buttons.
  std::string PictureFile = "Images\\launcher.jpg";

 private:
  SDL_Texture* Picture_ = nullptr;
  int PictureWidth_ = 0, PictureHeight_ = 0;
  bool PictureLoaded_ = false;
};

extern std::unique_ptr<TStartUp> StartUp;
