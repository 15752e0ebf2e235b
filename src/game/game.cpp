// The game object's life (construction, release of what it loaded) and the
// program-wide game globals.
#include "game/game.h"

#include "game/planes.h"

std::unique_ptr<TGame> Game;
std::array<IDirect3DTexture8*, CubeTextureCount> CubeTextures{};
const std::array<std::string, 3> SaveFileNames{"", "data/Save1.dat", "data/Save2.dat"};
std::array<TDelayedScoreLabel, 3> DelayedLabels{};

TGame::TGame(IDirect3DDevice8* ADevice) : Device(ADevice) {
  if (Device) Device->AddRef();
}

TGame::~TGame() {
  // Planes release their own textures; they go before the device reference.
  for (auto& plane : RoomPlanes) plane.reset();
  Background.reset();
  BonusLights.reset();
  BonusPlate.reset();
  ScoreLine.reset();
  SafeRelease(GameOverTexture);
  SafeRelease(HelpTexture);
  SafeRelease(Device);
}
