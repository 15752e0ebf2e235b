// The command line and the first steps before any window: the game takes one
// setting for the run from the command line (--no-frame-cap), and a player
// should learn what it accepts and where it keeps its files; a typo must not
// start the game.
#pragma once

#include <string>

#include "platform/install/data_folder.h"

enum class TCommandAction { Start, Help, Version, Misuse };

struct TCommandLine {
  TCommandAction Action = TCommandAction::Start;
  std::string Problem;  // Misuse: what was wrong, naming the argument
  bool NoFrameCap = false;  // --no-frame-cap: draw as fast as the machine allows
  std::string ReplayFile;  // --replay FILE: played in the game window, then the menu
};

TCommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage lines printed with --help and after a misuse.
std::string UsageText();
// --help: the usage, the data folder found (or where it was looked for) and
// the folders the game writes to.
std::string HelpText(const TDataSearch& Search, const std::string& WriteFolder, const std::string& SettingsFile);

// Program start's first step: answers --help and --version, rejects unknown
// arguments (status 2), finds the data folder (status 1 with a message box
// listing where it looked when there is none), then makes it the game folder
// and the working directory, and applies --no-frame-cap. Returns the exit status when the program ends
// here, -1 when it goes on.
int PrepareStart(int argc, char** argv);
