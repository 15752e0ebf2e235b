// The state of a dialog's controls as plain data: what a button, check box,
// radio group, combo box or label shows and whether it takes input. Dialog
// logic works on these alone, so it runs (and is tested) without a display;
// widgets.h draws them.
#pragma once

#include <string>
#include <vector>

// Modal results, with Windows' values.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

struct TControl {
  std::string Caption;  // "&" marks the accelerator letter
  int Left = 0, Top = 0, Width = 0, Height = 0;  // client pixels
  bool Enabled = true;
  bool Visible = true;
};

struct TButton : TControl {
  bool Default = false;  // pressed by Enter
  bool Cancel = false;   // pressed by Escape
  int ModalResult = mrNone;  // closes a modal dialog with this result
};

struct TCheckBox : TControl {
  bool Checked = false;
};

struct TLabel : TControl {};

struct TRadioGroup : TControl {
  std::vector<std::string> Items;
  int ItemIndex = -1;  // -1: nothing selected
  int Columns = 1;
};

// A drop-down list with an edit field: typing into the field drops the
// selection (ItemIndex -1) until an item is picked again.
struct TComboBox : TControl {
  std::vector<std::string> Items;
  int ItemIndex = -1;
  std::string Text;  // what the edit field shows

  void Select(int Index) {
    ItemIndex = Index >= 0 && Index < static_cast<int>(Items.size()) ? Index : -1;
    Text = ItemIndex >= 0 ? Items[static_cast<std::size_t>(ItemIndex)] : std::string();
  }
  void Edit(const std::string& NewText) {
    Text = NewText;
    ItemIndex = -1;
  }
};

// The accelerator letter of a caption, lower case ("E&xit" -> 'x'); 0 if none.
// "&&" is a literal ampersand.
char AcceleratorOf(const std::string& Caption);
// The caption as displayed: accelerator marks removed, "&&" shown as "&".
std::string DisplayCaption(const std::string& Caption);
