// How the desktop recognises the game: one application id, used for the
// desktop entry, the metainfo file, the icons and the window class, so that
// the menu entry, the taskbar and the software centre all agree.
#pragma once

struct SDL_Window;

inline constexpr const char* AppId = "io.github.voxarine.Voxarine";
// The game folder's copy of the icon, set on every window at run time.
inline constexpr const char* WindowIconFile = "Images\\Icon.png";

// Names every window of the program with AppId (the X11 WM class and the
// Wayland app id). Must run before SDL's video starts.
void SetDesktopIdentity();

// Gives Window the game's icon; a missing or unreadable icon leaves the
// desktop's default (it is cosmetic).
void SetWindowIcon(SDL_Window* Window);
