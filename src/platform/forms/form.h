// The windowing framework's dialogs: TForm is one top-level window with its
// events (create, show, hide, close), keyboard handling (accelerators, Enter
// for the default button, Escape for the cancel button) and modal showing;
// TApplication runs the message loop. Each visible form is an SDL window with
// its own software SDL_Renderer and Dear ImGui context, drawn by the form's
// Paint: the dialogs need no OpenGL, so the launcher opens (and can say what
// is wrong) on a machine whose OpenGL is too old for the game.
//
// Without a display the forms still work as objects (Visible, ModalResult,
// the key handling) but draw nothing, so dialog logic runs in unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/controls.h"

struct SDL_Window;
struct SDL_Renderer;
union SDL_Event;
struct ImGuiContext;
struct ImFont;

class TForm {
 public:
  TForm(std::string Caption, int ClientWidth, int ClientHeight);
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  // ---- Events, overridden by each dialog --------------------------------------
  virtual void FormCreate() {}
  virtual void FormShow() {}
  virtual void FormHide() {}
  virtual void FormClose() {}
  virtual void Paint() {}  // draws the controls (widgets.h); only with a window

  // ---- Operations -------------------------------------------------------------
  void Show();        // FormShow runs, then the window appears (made on first show)
  void Hide();        // the window disappears, then FormHide runs
  void Close();       // FormClose runs, the window goes; the main form ends the program
  int ShowModal();    // shows, runs the loop until ModalResult is set, hides; returns it
  // Sets the caption and the outer height (the title bar and frame included).
  void SetCaption(const std::string& Text);
  void SetHeight(int OuterHeight);

  // A key as the dialog gets it (SDL key code, Alt held): accelerators, Enter
  // and Escape. True when it did something.
  bool PressKey(int Key, bool Alt);
  // The window's close box: a modal dialog closes with mrCancel, others close.
  void CloseBox();

  // Registers a clickable control for the key handling; Handler is its event
  // (may be empty: a button that only closes the dialog).
  void Bind(TButton& Control, std::function<void()> Handler);
  void Bind(TCheckBox& Control, std::function<void()> Handler);
  // A click on a bound control, from the mouse or the keyboard: a button's
  // ModalResult goes to the form first, then the handler runs. A click seen
  // while the form draws its controls runs once that frame is over.
  void Click(TControl& Control);
  // Called by the widgets for each control that Tab stops at, in tab order,
  // right after the control's item: gives it the focus when Tab asked for it.
  void TabStop(TControl& Control, bool TakesText);
  // The control that has the keyboard focus (set by the widgets), or null.
  TControl* Focused = nullptr;

  std::string Caption;
  int ClientWidth, ClientHeight;
  int ModalResult = mrNone;
  bool Visible() const { return Visible_; }
  bool Closed() const { return Closed_; }
  bool Modal() const { return Modal_; }

  // ---- Used by TApplication ------------------------------------------------------
  bool OwnsEvent(const SDL_Event& Event) const;
  void HandleEvent(const SDL_Event& Event, bool AcceptInput);
  void Render();
  SDL_Window* Window() const { return Window_; }

 private:
  struct TBinding {
    TControl* Control = nullptr;
    TButton* Button = nullptr;     // set for buttons
    TCheckBox* Check = nullptr;    // set for check boxes
    std::function<void()> Handler;
  };
  bool MakeWindow();
  void DestroyWindow();
  bool WantsText() const;
  bool PopupOpen() const;
  void MoveTab(int Step);  // Tab (+1) and Shift+Tab (-1)

  struct TTabStop {
    TControl* Control = nullptr;
    unsigned Id = 0;  // the ImGui item
  };
  std::vector<TBinding> Bindings_;
  std::vector<TControl*> PendingClicks_;
  bool InPaint_ = false;
  std::vector<TTabStop> TabStops_, DrawnStops_;  // last frame's; this frame's
  int TabRequest_ = -1;  // the stop to focus while drawing, or -1
  bool Visible_ = false;
  bool Closed_ = false;
  bool Modal_ = false;
  SDL_Window* Window_ = nullptr;
  SDL_Renderer* Renderer_ = nullptr;
  ImGuiContext* Gui_ = nullptr;
};

class TApplication {
 public:
  // Starts the video subsystem; false when there is no display (forms then
  // stay windowless).
  bool Initialize();
  // Runs until MainForm closes. Idle, when set, runs once per pass.
  void Run(TForm& MainForm);
  // One pass: waits briefly for events, dispatches them, draws visible forms.
  // While Modal is set only it gets input.
  void ProcessMessages(TForm* Modal = nullptr);
  void Terminate() { Terminated = true; }

  // Runs the form's FormCreate; an error it raises is shown, and the form
  // lives on (as the framework did for a creation handler).
  void CreateForm(TForm& Form);
  void AddForm(TForm* Form);
  void RemoveForm(TForm* Form);

  std::string Title;
  TForm* MainForm = nullptr;
  bool Terminated = false;
  int ExitCode = 0;  // the process's status once the loop ends
  bool HasDisplay = false;
  std::function<void()> Idle;

 private:
  std::vector<TForm*> Forms_;
};

extern TApplication Application;

// The renderer of the form whose Paint is running (null outside Paint):
// pictures are textures of that renderer.
SDL_Renderer* PaintingRenderer();

// Runs an event handler; an exception escaping it is shown in a message box
// instead of ending the program.
void RunEvent(const std::function<void()>& Handler);
