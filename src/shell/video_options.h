// The "Options" dialog of the launcher: full screen or windowed, display size
// or the desktop's, the help screen switch. OK stores them into Options and
// saves; Cancel, Escape and the close box leave Options untouched.
#pragma once

#include <memory>

#include "platform/forms/form.h"

class TFormVideoMode : public TForm {
 public:
  TFormVideoMode();  // created hidden at program start, reused for every opening

  void FormShow() override;  // loads the controls from Options
  void Paint() override;

  void rgFullscreenClick();  // keep the desktop switch consistent with the mode
  void cbDesktopClick();     // the size list is only for non-desktop modes
  void btnOKClick();         // store into Options, then save

  TRadioGroup rgFullscreen;
  TLabel labRes;
  TComboBox cbRes;
  TCheckBox cbDesktop;
  TCheckBox cbShowHelp;
  TButton btnOK;
  TButton btnCancel;
};

extern std::unique_ptr<TFormVideoMode> FormVideoMode;
