// Losing the display (the X server going away under the running program).
// Xlib's own reaction is to exit on the spot from inside whatever call noticed
// it; where nothing in Xlib looks (a connection that broke between calls),
// SDL's event wait keeps waking on the dead socket and the process spins
// forever, invisible. Both paths end here instead: the handler the program
// set runs once (it saves what must not be lost, touching no window), then
// the process ends with status 1.
#pragma once

#include <functional>

struct SDL_Window;

// What runs when the display is lost; set by the game window while it lives.
// It must not call into the window system: there is none any more.
extern std::function<void()> OnDisplayLost;

// Starts watching the display Window lives on: Xlib's fatal I/O errors come
// here, and DisplayConnectionLost can poll its connection. Does nothing for
// other video drivers or when already watching.
void WatchDisplay(SDL_Window* Window);

// True when the watched connection was hung up by the other side. Cheap (one
// poll of the socket, at most every 100 ms); false when nothing is watched.
bool DisplayConnectionLost();

// Runs OnDisplayLost (once, even when a fault inside it lands here again),
// then ends the process with status 1.
[[noreturn]] void DisplayLost();

// True when the socket's peer has hung up: the check behind
// DisplayConnectionLost, for any connected socket.
bool SocketHungUp(int Fd);
