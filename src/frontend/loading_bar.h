// The loading screen: a full-screen picture and a row of 30 lamps that light
// up one by one. Each progress step renders a frame at once, so the screen
// moves although loading blocks the frame loop.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "shell/textures.h"

constexpr int LoadingLamps = 30;

class TLoadingBar {
 public:
  explicit TLoadingBar(IDirect3DDevice8* Device);
  TLoadingBar(const TLoadingBar&) = delete;
  TLoadingBar& operator=(const TLoadingBar&) = delete;

  // Lights N lamps (0..30; more is held at 30) and renders one frame.
  void SetProgress(std::uint8_t N);
  void Draw();

  IDirect3DDevice8* Device = nullptr;
  std::unique_ptr<T3DSprite> Background;
  std::uint8_t LitCount = 0;
  std::array<std::unique_ptr<T3DSprite>, LoadingLamps + 1> Lamps;  // [1..30]
};

// Exists only while the game loads.
extern std::unique_ptr<TLoadingBar> LoadingBar;

// SetProgress on the loading bar when there is one (loading steps run in
// tests and after a device restore without it too).
void LoadingProgress(std::uint8_t N);
