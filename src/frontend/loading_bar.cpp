// The loading screen and its row of lamps.
#include "frontend/loading_bar.h"

#include <algorithm>

#include "shell/scene.h"

std::unique_ptr<TLoadingBar> LoadingBar;

namespace {
constexpr float Pi = 3.14159265358979f;
}

TLoadingBar::TLoadingBar(IDirect3DDevice8* Device_) : Device(Device_) {
  Background = std::make_unique<T3DSprite>(Device, "Images/loading.jpg");
  Background->Scale = D3DVECTOR{ViewWidth, ViewHeight, 1};
  Background->Position = D3DVECTOR{static_cast<float>(SceneOriginX), static_cast<float>(SceneOriginY), 0};
  for (int i = 1; i <= LoadingLamps; ++i) {
    // The lamps share one picture; each sprite keeps its own reference.
    auto& lamp = Lamps[i];
    lamp = std::make_unique<T3DSprite>(Device, "Images/bonuslight.tga");
    lamp->Scale = D3DVECTOR{0.36125f, 0.36125f, 1};
    lamp->Position = D3DVECTOR{1.9f - 0.255f * static_cast<float>(i - 1), -0.28f, 0};
    // Turned over about x: the lamp faces away from the camera (see Draw).
    lamp->Rotation = D3DVECTOR{Pi, 0, 0};
  }
}

void TLoadingBar::SetProgress(std::uint8_t N) {
  LitCount = std::min<std::uint8_t>(N, LoadingLamps);
  RenderFrame();
}

void TLoadingBar::Draw() {
  if (!Device) return;
  Background->Draw();
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  // The lamps are turned over, so the camera sees their back faces, which the
  // scene's culling would drop: draw them with culling off.
  Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  for (int i = 1; i <= LitCount && i <= LoadingLamps; ++i) Lamps[i]->Draw();
  Device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
}

void LoadingProgress(std::uint8_t N) {
  if (LoadingBar) LoadingBar->SetProgress(N);
}
