// MessageBoxA over SDL_ShowMessageBox.
#include "platform/win32/message_box.h"

#include <SDL.h>

#include <cstdio>

bool MessageBoxRecording = false;
std::vector<TMessageBoxCall> MessageBoxCalls;

int MessageBoxA(HWND Owner, const char* Text, const char* Caption, unsigned Type) {
  const unsigned buttons = Type & 0x0F;
  const int firstAnswer = buttons == MB_YESNO ? IDYES : IDOK;
  if (MessageBoxRecording) {
    MessageBoxCalls.push_back({Text ? Text : "", Caption ? Caption : "", Type});
    return firstAnswer;
  }

  SDL_MessageBoxButtonData data[2]{};
  int count = 1;
  if (buttons == MB_YESNO) {
    data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
    data[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
    count = 2;
  } else if (buttons == MB_OKCANCEL) {
    data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
    data[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
    count = 2;
  } else {
    data[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"};
  }
  const unsigned icon = Type & 0xF0;
  SDL_MessageBoxData box{};
  box.flags = icon == MB_ICONERROR     ? SDL_MESSAGEBOX_ERROR
              : icon == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING
                                       : SDL_MESSAGEBOX_INFORMATION;
  box.window = static_cast<SDL_Window*>(Owner);
  box.title = Caption ? Caption : "";
  box.message = Text ? Text : "";
  box.numbuttons = count;
  box.buttons = data;
  int answer = firstAnswer;
  if (SDL_ShowMessageBox(&box, &answer) != 0) {
    // No display (or no way to show one): the message must still be seen.
    std::fprintf(stderr, "%s: %s\n", box.title, box.message);
    return firstAnswer;
  }
  return answer < 0 ? (count == 2 ? data[1].buttonid : firstAnswer) : answer;
}

void ShowErrorMessage(const std::string& Text) { MessageBoxA(nullptr, Text.c_str(), "Voxarine", MB_OK | MB_ICONERROR); }
