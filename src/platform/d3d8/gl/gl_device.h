// The OpenGL 3.3 core backend of the Direct3D-8-shaped device.
//
// The window: an SDL_Window created with SDL_WINDOW_OPENGL, passed to
// CreateDevice as the focus window (or hDeviceWindow). Call
// D3D8PrepareWindowAttributes() after SDL_Init(SDL_INIT_VIDEO) and before
// SDL_CreateWindow: it asks for a double-buffered 8-bit RGB visual with a
// 16-bit depth buffer and a 3.3 core context (SDL_GL_SetAttribute calls).
//
// CreateDevice makes a GL context on that window. With Windowed FALSE it also
// switches the window to full screen at the back buffer's size (and back to
// windowed when the device is released): the desktop's own size covers the
// desktop without a mode change, another size changes the mode. Present
// waits for vertical sync where the driver can, in a window too, unless
// FullScreen_PresentationInterval is D3DPRESENT_INTERVAL_IMMEDIATE. The back
// buffer is always the window's drawable: after a resize the next Clear or
// BeginScene follows it (and fits the picture's shape into it, see
// SetPictureAspect), and GetBackBufferSize reports it.
#pragma once

#include <vector>

#include "platform/d3d8/d3d8.h"

// The Direct3D object of the GL backend (never nullptr: failures show at
// CreateDevice, as D3DERR_NOTAVAILABLE).
IDirect3D8* CreateGLDirect3D8();

// The SDL_GL_SetAttribute calls the window needs; see above.
void D3D8PrepareWindowAttributes();

// For render tests: reads the back buffer (call it before Present) from
// (X, Y), measured from the top-left corner like Direct3D's screen, as
// 0xAARRGGBB pixels, top row first. D3DERR_INVALIDCALL for a device that is
// not a GL one or a rectangle outside the back buffer.
HRESULT D3D8GLReadPixels(IDirect3DDevice8* Device, UINT X, UINT Y, UINT Width, UINT Height,
                         std::vector<DWORD>& Pixels);
