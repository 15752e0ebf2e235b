// MessageBoxA over SDL_ShowMessageBox.
#include "platform/win32/message_box.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

bool MessageBoxRecording = false;
std::vector<TMessageBoxCall> MessageBoxCalls;

namespace {

// Pieces of a word no longer than Width: cut after the last slash that
// keeps a piece short enough, else at Width.
std::vector<std::string> SplitWord(const std::string& Word, std::size_t Width) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (Word.size() - start > Width) {
    std::size_t cut = Word.find_last_of("/\\", start + Width - 1);
    cut = cut != std::string::npos && cut >= start ? cut + 1 : start + Width;
    pieces.push_back(Word.substr(start, cut - start));
    start = cut;
  }
  pieces.push_back(Word.substr(start));
  return pieces;
}

void WrapLine(const std::string& Line, std::size_t Width, std::string& Out);

// A line's indent (a list of folders, say) stays on each of its pieces.
void WrapIndented(const std::string& Line, std::size_t Width, std::string& Out) {
  const std::size_t indent = std::min(Line.find_first_not_of(' '), Line.size());
  if (indent == 0 || indent >= Width / 2) return WrapLine(Line, Width, Out);
  std::string body;
  WrapLine(Line.substr(indent), Width - indent, body);
  const std::string blanks(indent, ' ');
  Out += blanks;
  for (const char c : body) {
    Out += c;
    if (c == '\n') Out += blanks;
  }
}

void WrapLine(const std::string& Line, std::size_t Width, std::string& Out) {
  std::string line;
  std::size_t pos = 0;
  while (pos < Line.size()) {
    const std::size_t end = std::min(Line.find(' ', pos), Line.size());
    const std::string word = Line.substr(pos, end - pos);
    pos = end + 1;
    if (word.empty()) {  // blanks in a row: keep them while they fit
      if (!line.empty() && line.size() < Width) line += ' ';
      continue;
    }
    const std::size_t gap = line.empty() || line.back() == ' ' ? 0 : 1;
    if (line.size() + gap + word.size() <= Width) {
      if (gap) line += ' ';
      line += word;
      continue;
    }
    std::vector<std::string> pieces = SplitWord(word, Width);
    // The first piece of a long word may still finish the current line.
    if (word.size() > Width && line.size() + gap + pieces.front().size() <= Width) {
      if (gap) line += ' ';
      line += pieces.front();
      pieces.erase(pieces.begin());
    }
    for (const std::string& piece : pieces) {
      while (!line.empty() && line.back() == ' ') line.pop_back();
      if (!line.empty()) Out += line + '\n';
      line = piece;
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  Out += line;
}

}  // namespace

std::string WrapMessageText(const std::string& Text, std::size_t Width) {
  if (Width == 0) return Text;
  std::string out;
  std::size_t pos = 0;
  while (true) {
    const std::size_t end = Text.find('\n', pos);
    WrapIndented(Text.substr(pos, end == std::string::npos ? std::string::npos : end - pos), Width, out);
    if (end == std::string::npos) break;
    out += '\n';
    pos = end + 1;
  }
  return out;
}

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
  // X message boxes grow as wide as their longest line.
  const std::string wrapped = WrapMessageText(Text ? Text : "");
  box.message = wrapped.c_str();
  box.numbuttons = count;
  box.buttons = data;
  int answer = firstAnswer;
  if (SDL_ShowMessageBox(&box, &answer) != 0) {
    // No display (or no way to show one): the message must still be seen.
    std::fprintf(stderr, "%s: %s\n", box.title, Text ? Text : "");  // a terminal wraps by itself
    return firstAnswer;
  }
  return answer < 0 ? (count == 2 ? data[1].buttonid : firstAnswer) : answer;
}

void ShowErrorMessage(const std::string& Text) { MessageBoxA(nullptr, Text.c_str(), "Voxarine", MB_OK | MB_ICONERROR); }
