// The display watch over SDL's X11 connection. Xlib is reached through the
// copy SDL has already loaded, so the game does not link it itself.
#include "platform/forms/display_watch.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#if defined(__unix__)
#include <dlfcn.h>
#include <poll.h>
#include <sys/socket.h>
#endif

std::function<void()> OnDisplayLost;

namespace {

int WatchedFd = -1;
Uint32 LastCheck = 0;  // ms
bool Ending = false;

#if defined(__unix__) && defined(SDL_VIDEO_DRIVER_X11)
// Xlib calls this after a fatal error on the connection; it must not return.
int DisplayIOError(void*) { DisplayLost(); }
#endif

}  // namespace

void WatchDisplay(SDL_Window* Window) {
#if defined(__unix__) && defined(SDL_VIDEO_DRIVER_X11)
  if (WatchedFd >= 0 || !Window) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(Window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (!xlib) return;
  using TConnectionNumber = int (*)(Display*);
  using THandler = int (*)(void*);
  using TSetHandler = THandler (*)(THandler);
  auto connectionNumber = reinterpret_cast<TConnectionNumber>(dlsym(xlib, "XConnectionNumber"));
  auto setHandler = reinterpret_cast<TSetHandler>(dlsym(xlib, "XSetIOErrorHandler"));
  if (connectionNumber) WatchedFd = connectionNumber(info.info.x11.display);
  if (setHandler) setHandler(DisplayIOError);
  dlclose(xlib);  // SDL still holds it
#else
  (void)Window;
#endif
}

bool SocketHungUp(int Fd) {
#if defined(__unix__)
  if (Fd < 0) return false;
  pollfd p{Fd, POLLIN, 0};
  if (poll(&p, 1, 0) <= 0) return false;
  if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return true;
  if (!(p.revents & POLLIN)) return false;
  // Readable: either events waiting (left for Xlib) or the end of the stream.
  char byte;
  return recv(Fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
#else
  (void)Fd;
  return false;
#endif
}

bool DisplayConnectionLost() {
  if (WatchedFd < 0) return false;
  const Uint32 now = SDL_GetTicks();
  if (now - LastCheck < 100) return false;
  LastCheck = now;
  return SocketHungUp(WatchedFd);
}

void DisplayLost() {
  if (!Ending) {
    Ending = true;
    std::fprintf(stderr, "Voxarine: the display is gone; ending\n");
    try {
      if (OnDisplayLost) OnDisplayLost();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "Voxarine: %s\n", e.what());
    }
  }
  // No exit handlers: they would talk to the display that is gone.
  std::_Exit(1);
}
