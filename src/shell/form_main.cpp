// The game window and its frame loop on SDL. The loop reproduces the form
// toolkit's idle mechanism: all waiting events are handled, then one idle
// pass runs; a pass that leaves Done set makes the loop wait for the next
// event before the following pass.
#include "shell/form_main.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <limits>
#include <string>

#include "audio/sounds.h"
#include "frontend/cursor.h"
#include "frontend/fonts.h"
#include "frontend/hiscores.h"
#include "frontend/loading_bar.h"
#include "frontend/menu.h"
#include "frontend/menu3d.h"
#include "frontend/tutorial.h"
#include "game/game.h"
#include "platform/d3d8/gl/gl_device.h"
#include "platform/d3dx/d3dx8.h"
#include "platform/forms/display_watch.h"
#include "platform/forms/form.h"
#include "platform/install/desktop_identity.h"
#include "platform/win32/message_box.h"
#include "platform/win32/random.h"
#include "platform/win32/screen_metrics.h"
#include "platform/win32/ticks.h"
#include "replay/game_input.h"
#include "replay/links.h"
#include "replay/playback.h"
#include "shell/d3d_error.h"
#include "shell/debug_log.h"
#include "shell/frame_pacer.h"
#include "shell/input.h"
#include "shell/options.h"
#include "shell/scene.h"

TGameState GameState = gsLaunch;
std::uint32_t FrameTime = 0;
double TotalTime = 0;
std::unique_ptr<TFormMain> FormMain;
std::function<void()> CloseLauncher;

namespace {

constexpr const char* ApplicationTitle = "Voxarine";
// How long a pass that left Done set waits for an event. The window system
// may stay silent (no expose or timer messages under a bare X server), and
// the loading sequence must not hang on that.
constexpr Uint32 IdleWaitMs = 50;

int MouseButton(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    default: return 2;
  }
}

// Rounds halves to the even neighbour, as the score's conversion does.
std::int64_t RoundHalfEven(double v) {
  const double r = std::nearbyint(v);  // the default rounding mode is to nearest, ties to even
  if (!(r > -9.2e18 && r < 9.2e18)) return r > 0 ? std::numeric_limits<std::int64_t>::max() : 0;
  return static_cast<std::int64_t>(r);
}

// Why the last device creation failed, for the debug log.
std::string DeviceFailure() {
  const char* e = SDL_GetError();
  return e && *e ? e : "no OpenGL 3.3 device";
}

// One step of closing the window: a failure is logged (and, for what the
// player must know about, shown) and the next step still runs, so the program
// always ends.
template <class TStep>
void CloseStep(TStep&& Step, bool Report = false) {
  try {
    Step();
  } catch (const std::exception& e) {
    try {
      DebugLog(false, std::string(" Error while closing: ") + e.what());
    } catch (const std::exception&) {
    }
    if (Report) ShowErrorMessage(e.what());
  }
}

const char* StateName(TGameState s) {
  switch (s) {
    case gsLaunch: return "gsLaunch";
    case gsMenu: return "gsMenu";
    case gsGame: return "gsGame";
    case gsLoading: return "gsLoading";
    default: return "other";
  }
}

}  // namespace

std::uint16_t VirtualKeyFromSDL(int Keycode) {
  if (Keycode >= SDLK_a && Keycode <= SDLK_z) return static_cast<std::uint16_t>('A' + (Keycode - SDLK_a));
  if (Keycode >= SDLK_0 && Keycode <= SDLK_9) return static_cast<std::uint16_t>('0' + (Keycode - SDLK_0));
  if (Keycode >= SDLK_F1 && Keycode <= SDLK_F12) return static_cast<std::uint16_t>(VK_F1 + (Keycode - SDLK_F1));
  if (Keycode >= SDLK_KP_1 && Keycode <= SDLK_KP_9) return static_cast<std::uint16_t>(97 + (Keycode - SDLK_KP_1));
  switch (Keycode) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return 9;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    case SDLK_KP_0: return 96;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL: case SDLK_RCTRL: return 17;
    case SDLK_LALT: case SDLK_RALT: return 18;
    case SDLK_PAUSE: return 19;
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: return 0;
  }
}

// ---- Creation, showing, closing ---------------------------------------------

TFormMain::TFormMain() {
  if (SDL_WasInit(SDL_INIT_VIDEO) || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (D3D8CurrentBackend() == TD3D8Backend::OpenGL) {
      D3D8PrepareWindowAttributes();
      flags |= SDL_WINDOW_OPENGL;
    }
    Window = SDL_CreateWindow(ApplicationTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, WindowWidth_,
                              WindowHeight_, flags);
    WatchDisplay(Window);
    SetWindowIcon(Window);
  }
  OnDisplayLost = [this] { SaveOnDisplayLost(); };
  FormCreate();
  InitGamepads();  // after the log is emptied, so that it tells which pads were found
}

TFormMain::~TFormMain() {
  OnDisplayLost = nullptr;
  if (Window) SDL_DestroyWindow(Window);
  Window = nullptr;
}

void TFormMain::FormCreate() {
  Randomize();
  GameState = gsLaunch;
  Collector = TCollector{};
  // The game draws its own pointer.
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_DISABLE);
  TotalTime = 0;
  DebugLog(true, " Main form created");
}

void TFormMain::ChooseDisplaySize(int& Width, int& Height) {
  TOptions& o = *Options;
  if (o.Resolution > 9) o.Resolution = 9;
  const TResolution desktop{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (o.Fullscreen && o.Desktop) {
    o.Resolution = 9;
    Resolutions[9] = desktop;
    DebugLog(false, " use desktop settings");
  }
  if (o.PseudoFullscreen) {
    o.Resolution = 9;
    Resolutions[9] = desktop;
    DebugLog(false, " use desktop settings with pseudofullscreen mode");
  }
  Width = Resolutions[o.Resolution].Width;
  Height = Resolutions[o.Resolution].Height;
  // A desktop that cannot be asked leaves entry 9 empty; a window needs a size.
  if (Width <= 0 || Height <= 0) {
    Width = Resolutions[3].Width;
    Height = Resolutions[3].Height;
  }
}

void TFormMain::FormShow() {
  DebugLog(false, " Showing main form ");
  SafeRelease(VertexBuffer);
  SafeRelease(D3DDevice);
  SafeRelease(D3D);
  if (Window) SDL_SetWindowTitle(Window, ApplicationTitle);

  int width = 0, height = 0;
  ChooseDisplaySize(width, height);
  const TOptions& o = *Options;
  const bool trueFullscreen = o.Fullscreen && !o.PseudoFullscreen;
  if (Window) {
    // A full-screen device switches the window itself, at the back buffer's size.
    SDL_SetWindowSize(Window, width, height);
    if (o.PseudoFullscreen || trueFullscreen)
      SDL_SetWindowPosition(Window, 0, 0);
    else
      SDL_SetWindowPosition(Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  WindowWidth_ = width;
  WindowHeight_ = height;

  const int colorBits = ColorDepths[o.Color <= 1 ? o.Color : 0];
  DebugLog(false, o.Fullscreen ? " Fullscreen = True" : " Fullscreen = False");
  DebugLog(false, " Resolution = " + std::to_string(o.Resolution) + " = " + std::to_string(width) + "x" +
                      std::to_string(height) + "x" + std::to_string(colorBits));

  SDL_ClearError();
  if (!InitD3D(Handle(), trueFullscreen, width, height, colorBits, 0, true, true)) {
    DebugLog(false, " Error init 3D");
    DebugLog(false, " 3D hardware failed: " + DeviceFailure());
    MessageBoxA(nullptr, "Error initializing 3D Hardware.\nNow software will be used...", "Warning.",
                MB_ICONWARNING);
    ReleaseGraphics();
    SDL_ClearError();
    if (!InitD3D(Handle(), trueFullscreen, width, height, colorBits, 0, false, true)) {
      DebugLog(false, " 3D software failed: " + DeviceFailure());
      MessageBoxA(nullptr, "Could not initialize DirectX Graphics.\nYou must have installed DirectX 8 or better ",
                  "Error", MB_ICONERROR);
      // Without a device there is nothing to show: the program ends (with a
      // failure status), rather than living on without a window.
      Terminated_ = true;
      Application.Terminate();
      return;
    }
  }
  SetupRenderStates();
  SetupLights();
  PaceForWindow(Window);
  DebugLog(false, " Main form showed");
}

void TFormMain::Show() {
  if (!Window) {
    FormActivate();
    return;
  }
  SDL_ShowWindow(Window);
  SDL_RaiseWindow(Window);
  // Without a window manager nobody hands the keyboard to a new window.
  SDL_SetWindowInputFocus(Window);
  FormActivate();
}

void TFormMain::SaveRunningGame(bool Report) {
  if (replay::ReplayPlaying()) return;  // a replay's game is not the player's
  // A new high score whose name is still being typed is kept too.
  if (GameState == gsHiScores && HiScores) {
    try {
      HiScores->SaveScores();
    } catch (const std::exception& e) {
      CloseStep([&] { DebugLog(false, std::string(" Saving the high scores failed: ") + e.what()); });
      if (Report) ShowErrorMessage(e.what());
    }
  }
  // Closing the window must not lose a running game: it is saved as the pause
  // menu's quit does. Not while the saved-game offer is open (the file on disk
  // is the game on offer) nor after the game is lost.
  if (GameState != gsGame || !Game || Game->EndPhase == epGameOver) return;
  if (Menu && Menu->CurrentPage == mpSavedGame) return;
  try {
    Game->SaveGame();
  } catch (const std::exception& e) {
    CloseStep([&] { DebugLog(false, std::string(" Saving the game failed: ") + e.what()); });
    // Without a display (lost, or never there) the terminal is told.
    if (Report)
      ShowErrorMessage(GameNotSavedText(e.what()));
    else
      std::fprintf(stderr, "voxarine: %s\n", GameNotSavedText(e.what()).c_str());
  }
}

void TFormMain::FormClose() {
  SaveRunningGame();
  CloseStep([] { ReplayWindowClosing(); });
  CloseStep([] { DebugLog(false, " Closing mainform"); });
  // The one failure the player is told about: the settings did not stick.
  CloseStep([] { if (Options && !replay::ReplayPlaying()) Options->Save(); }, true);
  CloseStep([] { DoneSound(); });
  CloseStep([] { if (CloseLauncher) CloseLauncher(); });
  CloseStep([] { DebugLog(false, " Main form closed"); });
  CloseStep([] { ReleaseGraphics(); });
}

void TFormMain::SaveOnDisplayLost() {
  SaveRunningGame(false);
  CloseStep([] { ReplayWindowClosing(); });
  CloseStep([] { DebugLog(false, " Display lost"); });
  CloseStep([] { if (Options) Options->Save(); });
}

void TFormMain::Close() {
  if (Closed_) return;
  Closed_ = true;
  try {
    FormClose();
  } catch (const std::exception& e) {
    ShowErrorMessage(e.what());
  }
  if (Window) SDL_HideWindow(Window);
}

// ---- Window geometry ---------------------------------------------------------

int TFormMain::ClientWidth() const {
  if (!Window) return WindowWidth_;
  int w = 0, h = 0;
  SDL_GetWindowSize(Window, &w, &h);
  return w;
}

int TFormMain::ClientHeight() const {
  if (!Window) return WindowHeight_;
  int w = 0, h = 0;
  SDL_GetWindowSize(Window, &w, &h);
  return h;
}

int TFormMain::Left() const {
  int x = 0, y = 0;
  if (Window) SDL_GetWindowPosition(Window, &x, &y);
  return x;
}

int TFormMain::Top() const {
  int x = 0, y = 0;
  if (Window) SDL_GetWindowPosition(Window, &x, &y);
  return y;
}

bool TFormMain::Minimized() const { return Window && (SDL_GetWindowFlags(Window) & SDL_WINDOW_MINIMIZED) != 0; }

// ---- The frame loop ----------------------------------------------------------

void TFormMain::ApplicationEvents1Idle(bool& Done) {
  if (Closed_ || Terminated_) return;
  const bool minimized = Minimized();
  if (minimized) SDL_MinimizeWindow(Window);
  if (!Active && !minimized && !Deactivated_) {
    Active = true;
    ResumeMusic();
  }
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(Active ? SDL_DISABLE : SDL_ENABLE);
  if (!Active) {
    Done = false;
    return;
  }
  UpdateInput(GetTickCount());  // held gamepad directions repeat
  if (GameState == gsLaunch && !VertexBuffer) {
    InitGeometry();  // a failure leaves the game without geometry, nothing more
    LoadingBar = std::make_unique<TLoadingBar>(D3DDevice);
    GameState = gsLoading;
    return;
  }
  if (GameState == gsLoading) RunLoading();

  FramePacer.FrameStarted(PacerNowMs());
  ++FrameCount;
  const HRESULT hr = RenderFrame();
  if (FAILED(hr)) {
    Active = false;
    MessageBoxA(Handle(), D3DErrorText(hr).c_str(), "Render", MB_OK);
    DebugLog(false, " Render error ");
    return;
  }

  const std::uint32_t now = GetTickCount();
  ThisTick = now;
  FrameTime = now - LastTick;  // unsigned: right across the tick counter's wrap
  LastTick = GetTickCount();
  TotalTime += FrameTime;

  if (Options && Options->WriteDebug) {
    const std::uint32_t span = ThisTick - FpsStart;
    if (span > 1000) {
      const double fps = static_cast<double>(FrameCount) * 1000.0 / static_cast<double>(span);
      char number[32];
      std::snprintf(number, sizeof number, "%6.0f", fps);
      if (GameState == gsMenu) DebugLog(false, std::string(" gsMenu  FPS:") + number);
      if (GameState == gsGame) DebugLog(false, std::string(" gsGame  FPS:") + number);
      FrameCount = 0;
      FpsStart = GetTickCount();
    }
  }

  ReplayIdle(static_cast<float>(FrameTime));  // the game's frame, recorded or replayed (replay/)
  if (GameState == gsMenu || GameState == gsHiScores || GameState == gsTutorial) UpdateMenuMusic();
  Done = false;
}

void TFormMain::RunLoading() {
  // The game's pictures decode on a worker while the menu, sound and fonts load.
  if (!Game || !Game->ResourcesLoaded) D3DXDecodeAhead(TGame::ResourcePictures());
  LoadingProgress(1);
  LoadMenu();
  LoadingProgress(11);

  Game = std::make_unique<TGame>(D3DDevice);

  if (InitSound(Handle())) {
    LoadingProgress(12);
    OpenMusicStreams();
    LoadSounds();
    LoadingProgress(13);
    SetSoundVolume(Options->SoundVol);
    SetMusicVolume(Options->MusicVol);
  }
  // Without a device the sound player stays silent by itself; the volumes
  // are the player's settings and are saved unchanged at close.

  CreateCursor();
  LoadingProgress(14);

  LoadFontTextures();
  LoadFontMetrics();

  HiScores = std::make_unique<THiScores>();

  if (!Game->ResourcesLoaded) Game->LoadResources();
  LoadingProgress(30);

  EnterMenu();
  LoadingBar.reset();
  ReturnLargeBuffers(false);
  DebugLog(false, " ... Loading finished");
  DebugLog(false, "");
  PlaySound(sndVoxarine);
}

void TFormMain::Run() {
  SDL_Event event;
  bool drawFirst = false;  // a still screen woke: its frame comes before the waiting event
  while (!Closed_ && !Terminated_) {
    if (DisplayConnectionLost()) DisplayLost();
    while (!drawFirst && !Closed_ && SDL_PollEvent(&event)) {
      HandleEvent(event);
      FramePacer.Changed(PacerNowMs());
    }
    drawFirst = false;
    if (Closed_) break;
    bool done = true;
    try {
      ApplicationEvents1Idle(done);
    } catch (const std::exception& e) {
      // As the toolkit does with an error escaping a handler: show it. Without
      // the data loading needs, the game cannot go on.
      const bool loading = GameState == gsLoading || GameState == gsLaunch;
      DebugLog(false, std::string(" Error: ") + e.what());
      ShowErrorMessage(e.what());
      if (loading) {
        LoadFailed_ = true;
        Close();
        break;
      }
    }
    if (Closed_ || Terminated_) break;
    if (done) {
      if (SDL_WaitEventTimeout(&event, IdleWaitMs)) HandleEvent(event);
    } else {
      // Paced: never faster than the display, slowly while nothing moves (shell/frame_pacer).
      drawFirst = WaitForNextPass([this] { return CurrentFrameNeed(Active); },
                                  [this](const SDL_Event& e) { HandleEvent(e); },
                                  [this] { return Closed_ || Terminated_; });
    }
  }
}

// ---- Events ------------------------------------------------------------------

void TFormMain::HandleEvent(const SDL_Event& Event) {
  try {
    switch (Event.type) {
      case SDL_QUIT:
        Close();
        break;
      case SDL_WINDOWEVENT:
        if (Window && Event.window.windowID != SDL_GetWindowID(Window)) break;
        switch (Event.window.event) {
          case SDL_WINDOWEVENT_CLOSE: Close(); break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            Focused_ = true;
            // Showing the window activated it already; the focus arriving
            // after that is no new activation.
            if (Deactivated_) {
              FormActivate();
              ResumeMusic();
            } else if (!Active) {
              FormActivate();
            }
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            // Only a focus we had can be lost (windows flicker while they map).
            if (Focused_) {
              Focused_ = false;
              ApplicationEvents1Deactivate();
            }
            break;
          case SDL_WINDOWEVENT_ENTER: PointerEntered(); break;  // shell/input
          case SDL_WINDOWEVENT_MINIMIZED: ApplicationEvents1Minimize(); break;
          case SDL_WINDOWEVENT_RESTORED: ApplicationEvents1Restore(); break;
          default: break;
        }
        break;
      case SDL_KEYDOWN: {
        const SDL_Keycode sym = Event.key.keysym.sym;
        if (sym == SDLK_F4 && (Event.key.keysym.mod & KMOD_ALT)) {
          Close();
          break;
        }
        if (const std::uint16_t key = VirtualKeyFromSDL(sym)) {
          if (Event.key.repeat && !KeyRepeats(key)) break;  // shell/input
          FormKeyDown(key);
        }
        break;
      }
      case SDL_MOUSEMOTION: FormMouseMove(Event.motion.x, Event.motion.y); break;
      case SDL_MOUSEBUTTONDOWN: FormMouseDown(MouseButton(Event.button.button)); break;
      case SDL_MOUSEBUTTONUP: FormMouseUp(MouseButton(Event.button.button)); break;
      default: HandleInputEvent(Event); break;  // gamepads (shell/input)
    }
  } catch (const std::exception& e) {
    DebugLog(false, std::string(" Error: ") + e.what());
    ShowErrorMessage(e.what());
  }
}

void TFormMain::FormActivate() {
  LastTick = FpsStart = GetTickCount();
  Active = true;
  Deactivated_ = false;
  DebugLog(false, " Form activated");
}

void TFormMain::ApplicationEvents1Deactivate() {
  Active = false;
  Deactivated_ = true;
  if (Options && Options->Fullscreen && !Options->PseudoFullscreen) Close();
  if (Window) SDL_MinimizeWindow(Window);
  DebugLog(false, " Application deactivated");
  StopMusic();
  StopSound(sndSelected);
}

void TFormMain::ApplicationEvents1Minimize() {
  Active = false;
  DebugLog(false, " Application minimized");
  if (Window) SDL_MinimizeWindow(Window);
}

void TFormMain::ApplicationEvents1Restore() {
  if (Closed_) return;
  DebugLog(false, " Restore application");
  ResumeMusic();
  if (Options && Options->Fullscreen) {
    if (!Options->PseudoFullscreen) {
      // A new device: the scene and every texture are built again by the loading sequence.
      ReleaseGraphics();
      FormShow();
      if (Terminated_) {
        // No device any more: the program ends, keeping the running game.
        SaveRunningGame();
        return;
      }
      GameState = gsLaunch;
      if (Window) SDL_MaximizeWindow(Window);
    }
  } else if (Window) {
    SDL_RestoreWindow(Window);
  }
  Active = true;
  Deactivated_ = false;
  DebugLog(false, " Application restored");
}

void ResumeMusic() {
  DebugLog(false, std::string(" Game = ") + StateName(GameState));
  StopMusic();
  if (GameState == gsGame) {
    PlayMusic(Game && Game->Mode == 2 ? 3 : 2, 1);
  } else {
    PlayMusic(0, 0);
    LastMenuTrack = 1;
  }
}

// ---- Input routing -----------------------------------------------------------

void TFormMain::FormKeyDown(std::uint16_t Key) {
  if (replay::ReplayKeyDown(Key)) return;  // a replay plays: its own keys only
  switch (GameState) {
    case gsGame:
      GameKey(Key);
      if (Game && Game->EndPhase == epPlaying && (Key == VK_ESCAPE || Key == VK_F1 || Key == 'P')) {
        Game->EndPhase = epPaused;
        if (Menu) Menu->SetPage(mpPause);
      } else {
        PlayKeyDown(Key);  // board cursor, and the dialogs over the board (shell/input)
      }
      break;
    case gsMenu:
    case gsTutorial:
    case gsHelp:
      MenuCommand(Key);
      break;
    case gsGameOver:
      GameOverTransition();
      break;
    case gsHiScores:
      if (!HiScores) break;
      if (HiScores->Editing) {
        HiScores->EditKey(static_cast<std::uint8_t>(Key));
      } else if (replay::HiScoresReplayKey(Key)) {
        // an entry's replay chosen or played (replay/links)
      } else if (Key == VK_ESCAPE || Key == VK_RETURN) {
        HiScores->SaveScores();
        GameState = gsMenu;
        if (Menu) Menu->SetPage(mpMain);
      } else {
        HiScoresTableKeyDown(Key);  // Left, Right: the other table
      }
      break;
    default:
      break;
  }
}

void TFormMain::FormMouseMove(int X, int Y) {
  // Told first even while loading, so that a report that is no move is used up.
  if (!PointerMoved(X, Y)) return;  // no move of the player's (shell/input)
  if (GameState == gsLaunch || GameState == gsLoading || replay::ReplayPlaying()) return;
  MoveCursor(X, Y);
  const float x = CursorX(), y = CursorY();
  MoveCursorLight(x, y);
  if (!PointerInPicture()) return;  // the bars around the picture point at nothing
  if (GameState == gsGame && Game) GamePointer();
  MenuPointAt(x, y);
}

void TFormMain::FormMouseDown(int Button) {
  // A press in the bars is no click, and neither is its release.
  PressInBars_ = !PointerInPicture();
  if (PressInBars_) return;
  if (GameState == gsLaunch || GameState == gsLoading || replay::ReplayPlaying()) return;
  if (Game && Game->EndPhase == epGameOver) return;
  if (GameState == gsGame && Game) GamePress(Button);
  MenuMouseDown(CursorX(), CursorY());
}

void TFormMain::FormMouseUp(int Button) {
  if (!Active) {
    // A click only brings the window back after an error or a focus change.
    Active = true;
    Deactivated_ = false;
    ResumeMusic();
    return;
  }
  if (PressInBars_ || !PointerInPicture()) {
    PressInBars_ = false;
    if (Menu) Menu->Pressed = false;  // a press carried off into the bars is let go
    return;
  }
  if (GameState == gsLaunch || GameState == gsLoading || replay::ReplayPlaying()) return;
  if (Game && Game->EndPhase == epGameOver) return;
  if (GameState == gsGame) GameRelease(Button);
  if (GameState == gsGameOver) {
    GameOverTransition();
    return;
  }
  if (GameState == gsHiScores && Button == 0 && replay::HiScoresReplayClick(CursorX(), CursorY())) return;
  MenuMouseUp(Button, CursorX(), CursorY());
}

void TFormMain::GameOverTransition() {
  if (!HiScores || !Game) return;
  const int mode = Game->Mode == 2 ? 2 : 1;
  HiScores->ShownTable = static_cast<std::uint8_t>(mode);
  const std::int64_t score = RoundHalfEven(Game->Score);
  if (score > HiScores->Entry(mode, HiScoreRows).Score) {
    HiScores->Editing = true;
    // The table holds 32-bit scores: a larger one enters as the largest there is.
    const std::int64_t capped = std::min<std::int64_t>(score, std::numeric_limits<std::int32_t>::max());
    HiScores->EditRow = HiScores->InsertScore(static_cast<std::int32_t>(capped));
    replay::LinkNewEntry(mode, HiScores->EditRow, static_cast<std::int32_t>(capped), replay::LastReplayWritten());
  } else {
    HiScores->Editing = false;
  }
  GameState = gsHiScores;
  if (Menu) {
    Menu->SetPage(mpHiScores);
    Menu->SwapItems(3, 2);
    if (mode == 2) Menu->SwapItems(2, 3);
  }
}

// ---- The launcher's entry ------------------------------------------------------

void RunGameWindow() {
  if (!Options) {
    Options = std::make_unique<TOptions>();
    Options->Load();
  }
  FormMain.reset();
  FormMain = std::make_unique<TFormMain>();
  FormMain->FormShow();
  if (!FormMain->Terminated()) {
    FormMain->Show();
    FormMain->Run();
  }
  ReleaseGameWindow();
}

void ReleaseGameWindow() {
  CloseGamepads();
  // Everything that holds textures goes before the device and the window.
  Tutorial.reset();
  LoadingBar.reset();
  FreeCursor();
  Game.reset();
  Menu.reset();
  HiScores.reset();
  SafeRelease(MenuBackground);
  // A closed window has released its graphics already.
  if (D3D || D3DDevice || VertexBuffer) ReleaseGraphics();
  FormMain.reset();
}
