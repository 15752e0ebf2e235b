#include "platform/install/desktop_identity.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/d3dx/image_io.h"
#include "platform/win32/paths.h"

void SetDesktopIdentity() {
  // SDL 2 reads these from the environment (hints are not consulted for
  // them); without them the class would be the executable's name, which
  // does not match the desktop entry's StartupWMClass.
  setenv("SDL_VIDEO_X11_WMCLASS", AppId, 1);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", AppId, 1);
}

void SetWindowIcon(SDL_Window* Window) {
  if (!Window) return;
  TImage image;
  if (!DecodeImageFile(ResolvePath(WindowIconFile), image) || image.Width <= 0 || image.Height <= 0) return;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(image.Pixels.data(), image.Width, image.Height, 32,
                                                            image.Width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return;
  SDL_SetWindowIcon(Window, surface);  // SDL copies the pixels
  SDL_FreeSurface(surface);
}
