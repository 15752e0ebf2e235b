// The game window: one SDL window in which the loading screen, the menu, the
// game and the high score table are drawn. It owns the frame loop (one frame
// per idle pass, paced by shell/frame_pacer), routes keys and mouse events
// by game state, and shuts the program down when it closes.
#pragma once

#include "platform/win32/virtual_keys.h"

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/d3d8/d3d8.h"

struct SDL_Window;
union SDL_Event;

// What the window is doing; stored as one byte (5 and 6 are never used).
enum TGameState : std::uint8_t {
  gsLaunch = 0,    // shown, scene not yet built
  gsMenu = 1,
  gsHiScores = 2,
  gsGame = 3,
  gsGameOver = 4,  // waits for a key or click after a lost game
  gsLoading = 7,
  gsTutorial = 8,
  gsHelp = 9,      // hints page before a game
};

extern TGameState GameState;
extern std::uint32_t FrameTime;  // ms, the last frame's duration
extern double TotalTime;         // ms, sum of all frame times since the window was created


class TFormMain {
 public:
  // FormCreate: seeds the random generator, empties the debug log, makes the
  // (hidden) window. Without a video driver the form still works, windowless.
  TFormMain();
  ~TFormMain();
  TFormMain(const TFormMain&) = delete;
  TFormMain& operator=(const TFormMain&) = delete;

  // ---- Window events ----
  void FormCreate();
  void FormShow();  // sizes the window and creates the device
  void FormActivate();
  void FormClose();
  void FormKeyDown(std::uint16_t Key);
  void FormKeyPress(char) {}
  void FormMouseDown(int Button);  // 0 left, 1 right, 2 middle
  void FormMouseMove(int X, int Y);  // client pixels
  void FormMouseUp(int Button);

  // ---- Application events ----
  void ApplicationEvents1Idle(bool& Done);
  void ApplicationEvents1Deactivate();
  void ApplicationEvents1Minimize();
  void ApplicationEvents1Restore();

  // The loading sequence (one long step of an idle pass) and the move from a
  // lost game to the high score table.
  void RunLoading();
  void GameOverTransition();

  // Shows the window after FormShow and activates it.
  void Show();
  // Asks the window to close; FormClose runs from the event loop.
  void Close();
  // The display went away: saves what a close saves (the running game, the
  // settings) without touching the window system, which is gone.
  void SaveOnDisplayLost();
  // Feeds one SDL event to the handlers above.
  void HandleEvent(const SDL_Event& Event);
  // Processes events and idle passes until the window has closed.
  void Run();

  HWND Handle() const { return reinterpret_cast<HWND>(Window); }
  int ClientWidth() const;
  int ClientHeight() const;
  int Left() const;
  int Top() const;
  bool Minimized() const;
  bool Closed() const { return Closed_; }
  bool Terminated() const { return Terminated_; }
  // Loading the game's data failed (after its message): the program ends as a failure.
  bool LoadFailed() const { return LoadFailed_; }

  SDL_Window* Window = nullptr;
  bool Active = false;  // takes part in the frame loop
  std::uint32_t ThisTick = 0;   // ms, after the last rendered frame
  std::uint32_t LastTick = 0;   // ms, when the last frame time was measured
  std::uint32_t FpsStart = 0;   // ms, start of the frame-rate interval
  std::uint32_t FrameCount = 0;

 private:
  void ChooseDisplaySize(int& Width, int& Height);
  // Report: show a failure in a message box (not when the display is gone).
  void SaveRunningGame(bool Report = true);

  bool CloseRequested_ = false;
  bool Closed_ = false;
  bool Terminated_ = false;  // the application was told to end
  bool LoadFailed_ = false;
  bool Focused_ = false;
  bool PressInBars_ = false;  // the mouse button went down outside the picture
  // The application was deactivated: it stays out of the frame loop until the
  // focus returns or the window is restored, whether or not the window system
  // has minimised it yet.
  bool Deactivated_ = false;
  int WindowWidth_ = 796, WindowHeight_ = 596;  // windowless fallback client size
};

extern std::unique_ptr<TFormMain> FormMain;

// Logs the state and restarts the music that belongs to it.
void ResumeMusic();

// Windows virtual-key code of an SDL key (0 when the game has none for it).
std::uint16_t VirtualKeyFromSDL(int Keycode);

// Run by FormClose: the launcher ends the program (set by the launcher).
extern std::function<void()> CloseLauncher;

// The launcher's Start: creates the game window (replacing one left from an
// earlier start), shows it and runs it until it closes.
void RunGameWindow();

// After the game window has run (the launcher drives create, show and run
// itself so that its own hide step sits between them): frees what holds
// textures, then the device and the window.
void ReleaseGameWindow();
