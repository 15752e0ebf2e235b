// The video options dialog: control logic on plain control state.
#include "shell/video_options.h"

#include "platform/forms/widgets.h"
#include "shell/options.h"

std::unique_ptr<TFormVideoMode> FormVideoMode;

namespace {
constexpr int DesktopItem = 3;   // what the disabled size list shows: "800x600"
constexpr int FallbackSize = 3;  // saved when no size is selected
}  // namespace

TFormVideoMode::TFormVideoMode() : TForm("Options", 297, 196) {
  rgFullscreen.Left = 12, rgFullscreen.Top = 8, rgFullscreen.Width = 273, rgFullscreen.Height = 41;
  rgFullscreen.Columns = 2;
  rgFullscreen.Items = {"Full screen              ", "Windowed"};
  labRes.Caption = "Resolution:";
  labRes.Left = 152, labRes.Top = 55;
  cbRes.Left = 152, cbRes.Top = 74, cbRes.Width = 133, cbRes.Height = 21;
  cbRes.Items = {"512x384", "640x400", "640x480", "800x600", "1024x768", "1152x864", "1280x768", "1280x960", "1280x1024"};
  cbDesktop.Caption = "Use desktop settings";
  cbDesktop.Left = 21, cbDesktop.Top = 78, cbDesktop.Width = 129, cbDesktop.Height = 17;
  cbShowHelp.Caption = "Show help screen at startup";
  cbShowHelp.Left = 21, cbShowHelp.Top = 128, cbShowHelp.Width = 268, cbShowHelp.Height = 20;
  btnOK.Caption = "&Ok";
  btnOK.Left = 46, btnOK.Top = 161, btnOK.Width = 75, btnOK.Height = 25;
  btnOK.Default = true;
  btnOK.ModalResult = mrOk;
  btnCancel.Caption = "&Cancel";
  btnCancel.Left = 176, btnCancel.Top = 161, btnCancel.Width = 75, btnCancel.Height = 25;
  btnCancel.Cancel = true;
  btnCancel.ModalResult = mrCancel;

  Bind(btnOK, [this] { btnOKClick(); });
  Bind(cbDesktop, [this] { cbDesktopClick(); });
  Bind(btnCancel, nullptr);
  Bind(cbShowHelp, nullptr);
}

void TFormVideoMode::FormShow() {
  rgFullscreen.ItemIndex = Options->Fullscreen ? 0 : 1;
  // The desktop switch only means something in full screen; a dialog
  // cancelled in "Windowed" must not leave it disabled for a full-screen setting.
  cbDesktop.Enabled = rgFullscreen.ItemIndex == 0;
  cbRes.Select(Options->Resolution <= 8 ? Options->Resolution : -1);  // 9, the desktop size, has no item
  cbDesktop.Checked = Options->Desktop;
  cbShowHelp.Checked = Options->Help;
  cbDesktopClick();
}

void TFormVideoMode::rgFullscreenClick() {
  const bool windowed = rgFullscreen.ItemIndex == 1;
  cbDesktop.Enabled = !windowed;
  cbDesktop.Checked = !windowed;
  cbDesktopClick();
}

void TFormVideoMode::cbDesktopClick() {
  cbRes.Enabled = !cbDesktop.Checked;
  labRes.Enabled = !cbDesktop.Checked;
  if (cbDesktop.Checked) cbRes.Select(DesktopItem);
}

void TFormVideoMode::btnOKClick() {
  Options->Fullscreen = rgFullscreen.ItemIndex == 0;
  Options->Color = 1;  // 32 bits from now on
  Options->Resolution = static_cast<std::uint8_t>(cbRes.ItemIndex >= 0 ? cbRes.ItemIndex : FallbackSize);
  Options->Desktop = cbDesktop.Checked;
  Options->Help = cbShowHelp.Checked;
  Options->Save();
}

void TFormVideoMode::Paint() {
  // Drawn in tab order: OK, desktop switch, size list, Cancel, mode, help switch.
  if (DrawButton(*this, btnOK)) Click(btnOK);
  if (DrawCheckBox(*this, cbDesktop)) Click(cbDesktop);
  DrawLabel(labRes);
  DrawComboBox(*this, cbRes);
  if (DrawButton(*this, btnCancel)) Click(btnCancel);
  if (DrawRadioGroup(*this, rgFullscreen)) rgFullscreenClick();
  DrawBevelTop(0, 113, 297);
  if (DrawCheckBox(*this, cbShowHelp)) Click(cbShowHelp);
}
