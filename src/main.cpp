// Program start: the application title, the launcher (main window) and the
// hidden options dialog, then the message loop until the launcher closes.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/d3dx/d3dx8.h"
#include "platform/forms/form.h"
#include "platform/win32/message_box.h"
#include "platform/win32/paths.h"
#include "platform/win32/single_instance.h"
#include "replay/game_input.h"
#include "replay/playback.h"
#include "shell/command_line.h"
#include "shell/debug_log.h"
#include "shell/form_main.h"
#include "shell/options.h"
#include "shell/startup.h"
#include "shell/video_options.h"

int main(int argc, char** argv) {
  // Pictures pass through large buffers while loading (decoded pixels, mip
  // levels, the GL driver's copies). glibc would raise its mapping threshold
  // after the first one is freed and keep the later ones on the heap, where
  // freed memory stays resident; a fixed threshold hands them back. The
  // frame loop raises it again (ReturnLargeBuffers(false)): the GL driver's
  // per-frame buffers would otherwise be mapped and faulted in every frame.
  ReturnLargeBuffers(true);
  // Taken before the start moves into the game folder: a relative name is the player's.
  std::string replayFile = ParseCommandLine(argc, argv).ReplayFile;
  if (!replayFile.empty()) replayFile = std::filesystem::absolute(replayFile).string();
  // Options, the data folder and the working directory; may end the program here.
  if (const int status = PrepareStart(argc, argv); status >= 0) return status;
  // One game per user, decided before anything is written: a second start
  // says so and leaves every file (the log, the settings, the saves) alone.
  std::string lockProblem;
  switch (TakeInstanceLock(WriteFolder(), &lockProblem)) {
    case TInstanceLock::HeldByAnother:
      MessageBoxA(nullptr, "Voxarine is already running.\n\nOnly one game can run at a time; switch to the one that is open.",
                  "Voxarine", MB_OK | MB_ICONINFORMATION);
      return 0;
    case TInstanceLock::Unavailable:
      std::fprintf(stderr, "voxarine: cannot lock %s; a second copy would not be noticed\n", lockProblem.c_str());
      break;
    case TInstanceLock::Taken:
      break;
  }

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

  // 4. The message loop, until the main window closes. Every game in the
  // window is recorded; a replay asked for goes straight to the game window.
  replay::Recording.Enabled = true;
  replay::Recording.Written = [](const std::string& Path) { DebugLog(false, " Replay written: " + Path); };
  replay::Recording.Failed = [](const std::string& Why) { DebugLog(false, " Replay not written: " + Why); };
  StartUp->Show();
  if (!replayFile.empty()) {
    replay::RequestWindowReplay(replayFile);
    StartUp->btnStartClick();
  }
  Application.Run(*StartUp);

  // A game window that could not get a device, or not load its data, ends
  // the program as a failure.
  const int status = FormMain && (FormMain->Terminated() || FormMain->LoadFailed()) ? 1 : Application.ExitCode;
  if (FormMain) ReleaseGameWindow();
  FormVideoMode.reset();
  StartUp.reset();
  Options.reset();
  SDL_Quit();
  return status;
}
