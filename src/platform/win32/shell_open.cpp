// ShellExecuteA("open") over SDL_OpenURL.
#include "platform/win32/shell_open.h"

#include <SDL.h>

#include <cctype>
#include <cstring>
#include <filesystem>

bool ShellRecording = false;
std::vector<std::string> ShellCalls;

namespace {
bool HasScheme(const std::string& s) {
  const std::size_t colon = s.find("://");
  if (colon == std::string::npos || colon == 0) return false;
  for (std::size_t i = 0; i < colon; ++i)
    if (!std::isalpha(static_cast<unsigned char>(s[i]))) return false;
  return true;
}
}  // namespace

long ShellExecuteA(HWND, const char* Operation, const char* File, const char*, const char*, int) {
  if (!File || !*File) return 2;  // ERROR_FILE_NOT_FOUND
  if (Operation && std::strcmp(Operation, "open") != 0) return 31;  // SE_ERR_NOASSOC
  std::string target = File;
  if (ShellRecording) {
    ShellCalls.push_back(target);
    return 33;
  }
  if (!HasScheme(target)) {
    std::error_code ec;
    target = "file://" + std::filesystem::absolute(target, ec).string();
  }
  // SDL_OpenURL hands the address to the desktop's opener as one argument,
  // never through a shell.
  return SDL_OpenURL(target.c_str()) == 0 ? 33 : 31;
}
