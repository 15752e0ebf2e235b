// ShellExecuteA("open") over SDL_OpenURL.
#include "platform/win32/shell_open.h"

#include <SDL.h>

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

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

bool ShellOpenerFound() {
#if defined(__linux__) || defined(__FreeBSD__)
  // SDL starts xdg-open from a child that reports success before the exec
  // is tried, so a missing opener is found here or never.
  const char* path = std::getenv("PATH");
  std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const std::size_t colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    if (dir.empty()) dir = ".";
    if (access((dir + "/xdg-open").c_str(), X_OK) == 0) return true;
    if (colon == std::string_view::npos) return false;
    dirs.remove_prefix(colon + 1);
  }
#else
  return true;  // the system's own shell opens files and addresses
#endif
}

long ShellExecuteA(HWND, const char* Operation, const char* File, const char*, const char*, int) {
  if (!File || !*File) return 2;  // ERROR_FILE_NOT_FOUND
  if (Operation && std::strcmp(Operation, "open") != 0) return 31;  // SE_ERR_NOASSOC
  std::string target = File;
  if (ShellRecording) {
    ShellCalls.push_back(target);
    return 33;
  }
  if (!ShellOpenerFound()) return 31;  // SE_ERR_NOASSOC: nothing to open it with
  if (!HasScheme(target)) {
    std::error_code ec;
    target = "file://" + std::filesystem::absolute(target, ec).string();
  }
  // SDL_OpenURL hands the address to the desktop's opener as one argument,
  // never through a shell.
  return SDL_OpenURL(target.c_str()) == 0 ? 33 : 31;
}
