// Forms over SDL2 + SDL_Renderer + Dear ImGui: one window, renderer and ImGui
// context per form, made when the form is first shown.
#include "platform/forms/form.h"

#include "platform/forms/display_watch.h"
#include "platform/install/desktop_identity.h"
#include "platform/win32/message_box.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <filesystem>

#ifdef VOXARINE_HAVE_IMGUI
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>
#include <imgui_internal.h>  // focusing a control by its item id, for Tab
#endif

TApplication Application;

namespace {

// The modal dialog in front while the loop runs for it: a gamepad belongs to
// no window, so only that dialog may take it.
const TForm* ModalInFront = nullptr;

// A caption bar and frame, so that an outer height maps to a client height
// as on the desktop the dialogs were laid out for.
constexpr int FrameHeight = 29;

#ifdef VOXARINE_HAVE_IMGUI
// A narrow sans-serif, so that captions fit the controls' design-time widths.
struct TDialogFont {
  const char* File;
  float Size;  // pixels
};
const TDialogFont DialogFonts[] = {
    {"/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf", 13.0f},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 12.0f},
};

// Light grey faces, thin dark frames, a blue focus ring: a plain native look.
void ApplyDialogStyle() {
  ImGui::StyleColorsLight();
  ImGuiStyle& s = ImGui::GetStyle();
  s.WindowPadding = ImVec2(0, 0);
  s.WindowBorderSize = 0;
  s.WindowRounding = 0;
  s.FrameRounding = 2;
  s.FrameBorderSize = 1;
  s.FramePadding = ImVec2(4, 2);
  s.ItemSpacing = ImVec2(6, 4);
  s.PopupBorderSize = 1;
  ImVec4* c = s.Colors;
  c[ImGuiCol_WindowBg] = ImVec4(0.94f, 0.94f, 0.94f, 1);
  c[ImGuiCol_PopupBg] = ImVec4(1, 1, 1, 1);
  c[ImGuiCol_Text] = ImVec4(0, 0, 0, 1);
  c[ImGuiCol_TextDisabled] = ImVec4(0.55f, 0.55f, 0.55f, 1);
  c[ImGuiCol_Border] = ImVec4(0.55f, 0.55f, 0.55f, 1);
  c[ImGuiCol_FrameBg] = ImVec4(1, 1, 1, 1);
  c[ImGuiCol_FrameBgHovered] = ImVec4(0.90f, 0.95f, 1, 1);
  c[ImGuiCol_FrameBgActive] = ImVec4(0.80f, 0.90f, 1, 1);
  c[ImGuiCol_Button] = ImVec4(0.88f, 0.88f, 0.88f, 1);
  c[ImGuiCol_ButtonHovered] = ImVec4(0.90f, 0.95f, 1, 1);
  c[ImGuiCol_ButtonActive] = ImVec4(0.80f, 0.90f, 1, 1);
  c[ImGuiCol_CheckMark] = ImVec4(0.1f, 0.1f, 0.1f, 1);
  c[ImGuiCol_Header] = ImVec4(0.0f, 0.47f, 0.84f, 1);
  c[ImGuiCol_HeaderHovered] = ImVec4(0.0f, 0.47f, 0.84f, 0.8f);
  c[ImGuiCol_HeaderActive] = ImVec4(0.0f, 0.47f, 0.84f, 1);
  c[ImGuiCol_NavHighlight] = ImVec4(0.0f, 0.47f, 0.84f, 1);
}
#endif

SDL_Renderer* Painting = nullptr;

}  // namespace

SDL_Renderer* PaintingRenderer() { return Painting; }

void RunEvent(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (const std::exception& e) {
    ShowErrorMessage(e.what());
  }
}

// ---- TForm ------------------------------------------------------------------------

TForm::TForm(std::string Caption_, int ClientWidth_, int ClientHeight_)
    : Caption(std::move(Caption_)), ClientWidth(ClientWidth_), ClientHeight(ClientHeight_) {
  Application.AddForm(this);
}

TForm::~TForm() {
  DestroyWindow();
  Application.RemoveForm(this);
}

void TForm::Bind(TButton& Control, std::function<void()> Handler) {
  Bindings_.push_back(TBinding{&Control, &Control, nullptr, std::move(Handler)});
}

void TForm::Bind(TCheckBox& Control, std::function<void()> Handler) {
  Bindings_.push_back(TBinding{&Control, nullptr, &Control, std::move(Handler)});
}

void TForm::Click(TControl& Control) {
  // Not inside the frame: a handler may open a modal dialog, whose loop
  // draws this form again, and a frame of Dear ImGui cannot nest.
  if (InPaint_) {
    PendingClicks_.push_back(&Control);
    return;
  }
  for (TBinding& b : Bindings_) {
    if (b.Control != &Control) continue;
    if (!Control.Enabled || !Control.Visible) return;
    if (b.Button && b.Button->ModalResult != mrNone) ModalResult = b.Button->ModalResult;
    if (b.Handler) RunEvent(b.Handler);
    return;
  }
}

bool TForm::WantsText() const {
#ifdef VOXARINE_HAVE_IMGUI
  if (Gui_) {
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(Gui_);
    const bool wants = ImGui::GetIO().WantTextInput;
    ImGui::SetCurrentContext(previous);
    return wants;
  }
#endif
  return false;
}

bool TForm::PopupOpen() const {
#ifdef VOXARINE_HAVE_IMGUI
  if (Gui_) {
    ImGuiContext* previous = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(Gui_);
    const bool open = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId);
    ImGui::SetCurrentContext(previous);
    return open;
  }
#endif
  return false;
}

void TForm::TabStop(TControl& Control, bool TakesText) {
#ifdef VOXARINE_HAVE_IMGUI
  const int index = static_cast<int>(DrawnStops_.size());
  DrawnStops_.push_back(TTabStop{&Control, ImGui::GetItemID()});
  if (index != TabRequest_) return;
  TabRequest_ = -1;
  if (TakesText) {
    ImGui::SetKeyboardFocusHere(-1);  // the field starts taking text
  } else {
    ImGui::ClearActiveID();  // a field being typed into lets go of the keys
    ImGui::SetFocusID(ImGui::GetItemID(), ImGui::GetCurrentWindow());
  }
  // Show where the keys are, and let Space press it.
  ImGuiContext& g = *ImGui::GetCurrentContext();
  g.NavDisableHighlight = false;
  g.NavDisableMouseHover = true;
#else
  (void)Control;
  (void)TakesText;
#endif
}

// Dear ImGui tabs only between text fields; a dialog tabs through all its
// controls in their tab order, wrapping around.
void TForm::MoveTab(int Step) {
#ifdef VOXARINE_HAVE_IMGUI
  const int count = static_cast<int>(TabStops_.size());
  if (!Gui_ || count == 0) return;
  ImGui::SetCurrentContext(Gui_);
  const ImGuiID nav = ImGui::GetFocusID();
  int current = -1;
  for (int i = 0; i < count && current < 0; ++i)
    if (TabStops_[static_cast<std::size_t>(i)].Id == nav) current = i;
  // Arrows may have moved within a control of several items (a radio group).
  for (int i = 0; i < count && current < 0; ++i)
    if (Focused && TabStops_[static_cast<std::size_t>(i)].Control == Focused) current = i;
  if (current < 0)
    TabRequest_ = Step > 0 ? 0 : count - 1;
  else
    TabRequest_ = ((current + Step) % count + count) % count;
#else
  (void)Step;
#endif
}

bool TForm::PressKey(int Key, bool Alt) {
  // An open drop-down list takes Enter and Escape itself.
  if ((Key == SDLK_RETURN || Key == SDLK_KP_ENTER || Key == SDLK_ESCAPE) && PopupOpen()) return false;
  auto usable = [](const TBinding& b) { return b.Control->Enabled && b.Control->Visible; };
  if (Key == SDLK_RETURN || Key == SDLK_KP_ENTER) {
    // The focused button takes Enter; otherwise the default button does.
    for (TBinding& b : Bindings_)
      if (b.Button && b.Control == Focused && usable(b)) return Click(*b.Control), true;
    for (TBinding& b : Bindings_)
      if (b.Button && b.Button->Default && usable(b)) return Click(*b.Control), true;
    return false;
  }
  if (Key == SDLK_ESCAPE) {
    for (TBinding& b : Bindings_)
      if (b.Button && b.Button->Cancel && usable(b)) return Click(*b.Control), true;
    return false;
  }
  // Accelerators: with Alt always, without it unless text is being typed.
  if (Key < 0 || Key > 127 || !std::isalnum(Key) || (!Alt && WantsText())) return false;
  const char letter = static_cast<char>(std::tolower(Key));
  for (TBinding& b : Bindings_) {
    if (AcceleratorOf(b.Control->Caption) != letter || !usable(b)) continue;
    if (b.Check) b.Check->Checked = !b.Check->Checked;
    Focused = b.Control;
    Click(*b.Control);
    return true;
  }
  return false;
}

void TForm::CloseBox() {
  if (Modal_)
    ModalResult = mrCancel;
  else
    Close();
}

void TForm::SetCaption(const std::string& Text) {
  Caption = Text;
  if (Window_) SDL_SetWindowTitle(Window_, Caption.c_str());
}

void TForm::SetHeight(int OuterHeight) {
  ClientHeight = std::max(1, OuterHeight - FrameHeight);
  if (Window_) SDL_SetWindowSize(Window_, ClientWidth, ClientHeight);
}

void TForm::Show() {
  if (Closed_) return;
  RunEvent([this] { FormShow(); });
  if (Application.HasDisplay && !Window_ && !MakeWindow() && Application.MainForm == this) {
    // An invisible main window would leave a process nobody can reach.
    ShowErrorMessage("Cannot open the \"" + Caption + "\" window: " + SDL_GetError());
    Application.ExitCode = 1;
    Application.Terminate();
  }
  if (Window_) {
    SDL_SetWindowTitle(Window_, Caption.c_str());
    SDL_SetWindowSize(Window_, ClientWidth, ClientHeight);
    SDL_SetWindowPosition(Window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    SDL_ShowWindow(Window_);
    SDL_RaiseWindow(Window_);
    // Without a window manager nobody hands the keyboard to a new window.
    SDL_SetWindowInputFocus(Window_);
  }
  Visible_ = true;
  // The first control in tab order starts with the focus, as in any dialog.
  TabRequest_ = 0;
}

void TForm::Hide() {
  if (!Visible_) return;
  Visible_ = false;
  if (Window_) SDL_HideWindow(Window_);
  RunEvent([this] { FormHide(); });
}

void TForm::Close() {
  if (Closed_) return;
  RunEvent([this] { FormClose(); });
  Closed_ = true;
  Visible_ = false;
  if (Window_) SDL_HideWindow(Window_);
  if (Application.MainForm == this) Application.Terminate();
}

int TForm::ShowModal() {
  ModalResult = mrNone;
  Modal_ = true;
  Show();
  // Without a display nobody can answer: the dialog is cancelled at once.
  if (!Window_) ModalResult = mrCancel;
  while (ModalResult == mrNone && !Application.Terminated) Application.ProcessMessages(this);
  Modal_ = false;
  Hide();
  // The keyboard goes back to the main window, as a dialog's owner gets it.
  TForm* main = Application.MainForm;
  if (main && main != this && main->Visible() && main->Window()) {
    SDL_RaiseWindow(main->Window());
    SDL_SetWindowInputFocus(main->Window());
  }
  return ModalResult;
}

bool TForm::OwnsEvent(const SDL_Event& Event) const {
  if (!Window_) return false;
  const Uint32 id = SDL_GetWindowID(Window_);
  switch (Event.type) {
    case SDL_WINDOWEVENT: return Event.window.windowID == id;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return Event.key.windowID == id;
    case SDL_TEXTINPUT: return Event.text.windowID == id;
    case SDL_MOUSEMOTION: return Event.motion.windowID == id;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return Event.button.windowID == id;
    case SDL_MOUSEWHEEL: return Event.wheel.windowID == id;
    default: return false;
  }
}

void TForm::HandleEvent(const SDL_Event& Event, bool AcceptInput) {
  if (Event.type == SDL_WINDOWEVENT && Event.window.event == SDL_WINDOWEVENT_CLOSE) {
    if (AcceptInput) CloseBox();
    return;
  }
  const bool input = Event.type == SDL_KEYDOWN || Event.type == SDL_KEYUP || Event.type == SDL_TEXTINPUT ||
                     Event.type == SDL_MOUSEBUTTONDOWN || Event.type == SDL_MOUSEBUTTONUP ||
                     Event.type == SDL_MOUSEWHEEL;
  if (input && !AcceptInput) return;
  if (Event.type == SDL_KEYDOWN && Event.key.keysym.sym == SDLK_TAB &&
      (Event.key.keysym.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) == 0 && !PopupOpen()) {
    MoveTab((Event.key.keysym.mod & KMOD_SHIFT) ? -1 : 1);
    return;
  }
  if (Event.type == SDL_KEYDOWN && (Event.key.keysym.mod & (KMOD_CTRL | KMOD_GUI)) == 0) {
    if (PressKey(Event.key.keysym.sym, (Event.key.keysym.mod & KMOD_ALT) != 0)) return;
  }
  // On a gamepad, A presses the focused control (Dear ImGui's navigation),
  // B is the cancel button's Escape and Start the default button's Enter.
  if (Event.type == SDL_CONTROLLERBUTTONDOWN) {
    if (!AcceptInput) return;
    if (Event.cbutton.button == SDL_CONTROLLER_BUTTON_B) PressKey(SDLK_ESCAPE, false);
    if (Event.cbutton.button == SDL_CONTROLLER_BUTTON_START) PressKey(SDLK_RETURN, false);
    return;
  }
#ifdef VOXARINE_HAVE_IMGUI
  if (Gui_) {
    ImGui::SetCurrentContext(Gui_);
    ImGui_ImplSDL2_ProcessEvent(&Event);
  }
#endif
}

bool TForm::MakeWindow() {
#ifdef VOXARINE_HAVE_IMGUI
  Window_ = SDL_CreateWindow(Caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, ClientWidth,
                             ClientHeight, SDL_WINDOW_HIDDEN);
  if (!Window_) {
    std::fprintf(stderr, "Voxarine: cannot open the \"%s\" window: %s\n", Caption.c_str(), SDL_GetError());
    return false;
  }
  WatchDisplay(Window_);
  SetWindowIcon(Window_);
  // Software drawing: a dialog is small and mostly still, and it must open
  // whatever the graphics driver can or cannot do.
  Renderer_ = SDL_CreateRenderer(Window_, -1, SDL_RENDERER_SOFTWARE);
  if (!Renderer_) {
    std::fprintf(stderr, "Voxarine: cannot draw the \"%s\" window: %s\n", Caption.c_str(), SDL_GetError());
    SDL_DestroyWindow(Window_);
    Window_ = nullptr;
    return false;
  }

  ImGuiContext* previous = ImGui::GetCurrentContext();
  Gui_ = ImGui::CreateContext();
  ImGui::SetCurrentContext(Gui_);
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // dialogs have fixed layouts: nothing to remember
  io.LogFilename = nullptr;
  // Keys and a gamepad move the focus between the controls (A presses).
  io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard | ImGuiConfigFlags_NavEnableGamepad;
  for (const TDialogFont& font : DialogFonts) {
    std::error_code ec;
    if (std::filesystem::exists(font.File, ec) && io.Fonts->AddFontFromFileTTF(font.File, font.Size)) break;
  }
  ApplyDialogStyle();
  ImGui_ImplSDL2_InitForSDLRenderer(Window_);
  ImGui_ImplSDLRenderer_Init(Renderer_);
  if (previous) ImGui::SetCurrentContext(previous);
  return true;
#else
  return false;
#endif
}

void TForm::DestroyWindow() {
  if (!Window_) return;
#ifdef VOXARINE_HAVE_IMGUI
  ImGui::SetCurrentContext(Gui_);
  ImGui_ImplSDLRenderer_Shutdown();
  ImGui_ImplSDL2_Shutdown();
  ImGui::DestroyContext(Gui_);
  Gui_ = nullptr;
#endif
  if (Renderer_) SDL_DestroyRenderer(Renderer_);
  Renderer_ = nullptr;
  SDL_DestroyWindow(Window_);
  Window_ = nullptr;
}

void TForm::Render() {
#ifdef VOXARINE_HAVE_IMGUI
  if (!Window_ || !Visible_ || !Gui_) return;
  ImGui::SetCurrentContext(Gui_);
  if (ModalInFront && ModalInFront != this)
    ImGui::GetIO().ConfigFlags &= ~ImGuiConfigFlags_NavEnableGamepad;
  else
    ImGui::GetIO().ConfigFlags |= ImGuiConfigFlags_NavEnableGamepad;
  ImGui_ImplSDLRenderer_NewFrame();
  ImGui_ImplSDL2_NewFrame();
  ImGui::NewFrame();
  const ImGuiIO& io = ImGui::GetIO();
  ImGui::SetNextWindowPos(ImVec2(0, 0));
  ImGui::SetNextWindowSize(io.DisplaySize);
  ImGui::Begin("##form", nullptr,
               ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                   ImGuiWindowFlags_NoBringToFrontOnFocus);
  Focused = nullptr;
  DrawnStops_.clear();
  Painting = Renderer_;
  InPaint_ = true;
  Paint();
  InPaint_ = false;
  Painting = nullptr;
  TabStops_ = DrawnStops_;
  if (TabRequest_ >= static_cast<int>(TabStops_.size())) TabRequest_ = -1;
  ImGui::End();
  ImGui::Render();
  SDL_SetRenderDrawColor(Renderer_, 240, 240, 240, 255);
  SDL_RenderClear(Renderer_);
  ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
  SDL_RenderPresent(Renderer_);
  // The frame is over: the clicks it saw may now open dialogs.
  std::vector<TControl*> clicks;
  clicks.swap(PendingClicks_);
  for (TControl* control : clicks) Click(*control);
#endif
}

// ---- TApplication -------------------------------------------------------------------

bool TApplication::Initialize() {
  HasDisplay = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
  // Gamepads drive the dialogs too (a failure only leaves them to keys and mouse).
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  if (HasDisplay) {
    const char* driver = SDL_GetCurrentVideoDriver();
    // The dummy and offscreen drivers have no windows to show a dialog in.
    if (driver && (SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "offscreen") == 0)) HasDisplay = false;
  }
  return HasDisplay;
}

void TApplication::CreateForm(TForm& Form) {
  RunEvent([&Form] { Form.FormCreate(); });
}

void TApplication::AddForm(TForm* Form) { Forms_.push_back(Form); }

void TApplication::RemoveForm(TForm* Form) {
  Forms_.erase(std::remove(Forms_.begin(), Forms_.end(), Form), Forms_.end());
  if (MainForm == Form) MainForm = nullptr;
}

void TApplication::ProcessMessages(TForm* Modal) {
  if (DisplayConnectionLost()) DisplayLost();
  SDL_Event e;
  // Wake at least every 50 ms so that idle work and redraws go on.
  if (SDL_WaitEventTimeout(&e, 50)) {
    do {
      if (e.type == SDL_QUIT) {  // a termination signal, or the session ending
        if (MainForm) MainForm->Close();
        Terminate();
        continue;
      }
      TForm* target = nullptr;
      for (TForm* f : Forms_)
        if (f->OwnsEvent(e)) target = f;
      // Keys that arrive while no window of ours has the focus, and gamepad
      // buttons, go to the dialog in front.
      if (!target && (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP || e.type == SDL_TEXTINPUT ||
                      e.type == SDL_CONTROLLERBUTTONDOWN))
        target = Modal ? Modal : MainForm;
      if (target) target->HandleEvent(e, Modal == nullptr || Modal == target);
      // Dear ImGui reads a key's state once a frame: a press must be drawn
      // before its release is handled, or a quick tap (Space) is lost.
      if (e.type == SDL_KEYDOWN) break;
    } while (SDL_PollEvent(&e));
  }
  ModalInFront = Modal;
  for (TForm* f : std::vector<TForm*>(Forms_)) f->Render();
  ModalInFront = nullptr;
}

void TApplication::Run(TForm& Main) {
  MainForm = &Main;
  while (!Terminated && !Main.Closed()) {
    if (Idle) Idle();
    if (Terminated || Main.Closed()) break;
    ProcessMessages();
  }
}
