#include "shell/command_line.h"

#include <unistd.h>

#include <cstdio>
#include <string_view>

#include "platform/install/desktop_identity.h"
#include "platform/win32/message_box.h"
#include "platform/win32/paths.h"
#include "platform/win32/registry.h"
#include "shell/frame_pacer.h"

TCommandLine ParseCommandLine(int argc, const char* const* argv) {
  TCommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] ? argv[i] : "";
    if (arg == "--help" || arg == "-h") {
      // Help wins over a version request, a misuse does not.
      if (line.Action == TCommandAction::Start || line.Action == TCommandAction::Version) line.Action = TCommandAction::Help;
    } else if (arg == "--version") {
      if (line.Action == TCommandAction::Start) line.Action = TCommandAction::Version;
    } else if (arg == "--no-frame-cap") {
      line.NoFrameCap = true;
    } else if (arg == "--replay" && i + 1 < argc && argv[i + 1] && *argv[i + 1]) {
      line.ReplayFile = argv[++i];
    } else {
      line.Action = TCommandAction::Misuse;
      line.Problem = (!arg.empty() && arg[0] == '-' ? "unknown option '" : "unexpected argument '") +
                     std::string(arg) + "'";
      return line;
    }
  }
  return line;
}

std::string UsageText() {
  return "Usage: voxarine [-h|--help] [--version] [--no-frame-cap] [--replay FILE]\n";
}

std::string HelpText(const TDataSearch& Search, const std::string& WriteFolder, const std::string& SettingsFile) {
  std::string text = UsageText() +
                     "\n"
                     "Voxarine, a 3D puzzle game. Starts with the launcher.\n"
                     "\n"
                     "  -h, --help  show this text and exit\n"
                     "  --version   show the version and exit\n"
                     "  --no-frame-cap  draw as fast as the machine allows, not at the\n"
                     "              display's refresh rate (this run only; the FrameCap\n"
                     "              setting does it for good)\n"
                     "  --replay FILE  play a recorded game in the game window (Space pauses,\n"
                     "              Right speeds up, Escape ends); games are recorded to Replays/\n"
                     "              in the folder of the saves\n"
                     "\n";
  if (Search.Folder.empty()) {
    text += "Data folder: not found; looked in:\n";
    for (const std::string& folder : Search.Tried) text += "  " + folder + "\n";
  } else {
    text += "Data folder: " + Search.Folder + "\n";
  }
  text += "Saves, high scores, log, tutorial pictures: " + WriteFolder + "\n";
  text += "Settings: " + SettingsFile + "\n";
  text += "\nThe data folder is VOXARINE_DATA_DIR when set, else the program's folder\n"
          "when it holds " + std::string(DataMarkerFile) + ", else ../share/voxarine beside it,\n"
          "else voxarine in each folder of XDG_DATA_DIRS.\n";
  return text;
}

namespace {

// Makes Search's folder the game folder; an installed game writes only to
// the per-user folders.
void UseDataFolder(const TDataSearch& Search) {
  SetGameFolder(Search.Folder);
  SetInstalledLayout(!Search.Portable);
}

}  // namespace

int PrepareStart(int argc, char** argv) {
  const TCommandLine line = ParseCommandLine(argc, argv);
  switch (line.Action) {
    case TCommandAction::Misuse:
      std::fprintf(stderr, "voxarine: %s\n%sTry 'voxarine --help' for more information.\n", line.Problem.c_str(),
                   UsageText().c_str());
      return 2;
    case TCommandAction::Version:
      std::printf("Voxarine %s\n", VOXARINE_VERSION);
      return 0;
    case TCommandAction::Help: {
      const TDataSearch search = FindDataFolder();
      if (search.Folder.empty())
        SetInstalledLayout(true);  // nothing beside the program to write to
      else
        UseDataFolder(search);
      std::fputs(HelpText(search, WriteFolder(), RegistryFile()).c_str(), stdout);
      return 0;
    }
    case TCommandAction::Start:
      break;
  }
  SetFrameCapSwitchOff(line.NoFrameCap);

  const TDataSearch search = FindDataFolder();
  if (search.Folder.empty()) {
    ShowErrorMessage(DataNotFoundText(search));
    return 1;
  }
  UseDataFolder(search);
  // The game's file names are relative (data/Levels.dat, Readme.html), so
  // the data folder becomes the working directory.
  if (chdir(search.Folder.c_str()) != 0) {
    ShowErrorMessage("Voxarine cannot enter its data folder " + search.Folder + ".");
    return 1;
  }
  SetDesktopIdentity();
  return -1;
}
