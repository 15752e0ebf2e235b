// Message boxes (MessageBoxA) over SDL's message box. Without a display the
// message goes to stderr and the default button is the answer. Tests switch
// recording on to see what would have been shown.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

using HWND = void*;

// Buttons and icons; the values are Windows'.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal box; returns the button pressed. Owner may be null.
int MessageBoxA(HWND Owner, const char* Text, const char* Caption, unsigned Type);

// Text broken into lines of at most Width characters, so that a box stays
// readable and fits a small screen: at spaces, a long word (a path) after its
// slashes, and anything longer still at Width. Line breaks already in Text stay.
std::string WrapMessageText(const std::string& Text, std::size_t Width = 64);

// The game's own error box: Text with the application title as caption.
void ShowErrorMessage(const std::string& Text);

struct TMessageBoxCall {
  std::string Text, Caption;
  unsigned Type = 0;
};
extern bool MessageBoxRecording;  // when set, nothing is shown; IDOK/IDYES is returned
extern std::vector<TMessageBoxCall> MessageBoxCalls;
