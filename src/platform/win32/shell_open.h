// The shell's "open" verb (ShellExecuteA): web addresses and files open in
// the desktop's default program. Tests switch recording on to see the calls.
#pragma once

#include <string>
#include <vector>

using HWND = void*;

constexpr int SW_HIDE = 0;

// The desktop window: there is none to own anything here, so null.
inline HWND GetDesktopWindow() { return nullptr; }

// Opens File with Operation "open" (the only verb supported). A file name
// without a scheme is taken relative to the current directory. Returns a
// value above 32 on success, as Windows does; 31 (no association) when the
// desktop has no opener installed.
long ShellExecuteA(HWND Owner, const char* Operation, const char* File, const char* Parameters,
                   const char* Directory, int ShowCmd);

// Whether the desktop's opener (xdg-open) is on the PATH.
bool ShellOpenerFound();

extern bool ShellRecording;  // when set, nothing is opened; the call is recorded
extern std::vector<std::string> ShellCalls;  // the File of each recorded call
