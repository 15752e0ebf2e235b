// Program start: the application title, the launcher (main window) and the
// hidden options dialog, then the message loop until the launcher closes.
#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/forms/form.h"
#include "platform/win32/paths.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/startup.h"
#include "shell/video_options.h"

namespace {

void PrintHelp() {
  std::printf(
      "Usage: voxarine [--help] [--version]\n"
      "\n"
      "Voxarine, a 3D puzzle game. Starts with the launcher; the game's files\n"
      "are read from the folder of this program.\n"
      "\n"
      "  --help     show this text and exit\n"
      "  --version  show the version and exit\n");
}

// The game's files are named relative to its folder (the program's own), so
// that folder becomes the working directory.
void EnterGameFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || !exe.has_parent_path()) return;
  const std::string folder = exe.parent_path().string();
  if (chdir(folder.c_str()) == 0) SetGameFolder(folder);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Voxarine %s\n", VOXARINE_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      PrintHelp();
      return 0;
    }
    // Anything else is ignored: the game takes no settings from the command line.
  }
  EnterGameFolder();

  // 1. The application and its title.
  Application.Title = "Voxarine";
  if (!Application.Initialize()) {
    std::fprintf(stderr, "voxarine: no display to open a window on (%s)\n", SDL_GetError());
    return 1;
  }
  // 2. The launcher, the main window; its creation loads the settings.
  StartUp = std::make_unique<TStartUp>();
  Application.MainForm = StartUp.get();
  Application.CreateForm(*StartUp);
  // 3. The options dialog, hidden until asked for.
  FormVideoMode = std::make_unique<TFormVideoMode>();
  Application.CreateForm(*FormVideoMode);

  // The game window runs its own loop once the launcher has hidden itself;
  // closing it closes the launcher, which ends the program.
  CloseLauncher = [] {
    if (StartUp) StartUp->Close();
  };
  Application.Idle = [] {
    if (FormMain && !FormMain->Closed() && !StartUp->Visible()) FormMain->Run();
  };

  // 4. The message loop, until the main window closes.
  StartUp->Show();
  Application.Run(*StartUp);

  // A game window that could not get a device ends the program as a failure.
  const int status = FormMain && FormMain->Terminated() ? 1 : Application.ExitCode;
  if (FormMain) ReleaseGameWindow();
  FormVideoMode.reset();
  StartUp.reset();
  Options.reset();
  SDL_Quit();
  return status;
}
