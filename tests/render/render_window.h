// A hidden OpenGL window for the render tests, and the game's scene device on it.
// Callers check ::testing::Test::HasFatalFailure() after each call.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include "platform/d3d8/gl/gl_device.h"
#include "shell/scene.h"

inline void OpenHiddenWindow(const char* Title, int W, int H, SDL_Window*& Window) {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  D3D8PrepareWindowAttributes();
  Window = SDL_CreateWindow(Title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, W, H,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  ASSERT_NE(Window, nullptr) << SDL_GetError();
  D3D8SelectBackend(TD3D8Backend::OpenGL);
}

inline void OpenSceneWindow(const char* Title, int W, int H, SDL_Window*& Window) {
  OpenHiddenWindow(Title, W, H, Window);
  if (::testing::Test::HasFatalFailure()) return;
  ASSERT_TRUE(InitD3D(Window, false, W, H, 32, 0, true, true));
  SetupRenderStates();
  SetupLights();
  ASSERT_EQ(InitGeometry(), D3D_OK);
}
