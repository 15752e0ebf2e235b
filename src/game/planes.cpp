// Back planes, the score line and the bonus lights.
#include "game/planes.h"

#include <cmath>

#include "audio/sounds.h"
#include "game/game.h"
#include "shell/math/d3dmath.h"
#include "shell/textures.h"

namespace {
constexpr float SceneOriginY = -0.25f;
constexpr float LineY = SceneOriginY - 5.08459375f;
constexpr float LineMaxLength = 8.75f;  // world units at Fill 1
constexpr float LineRightEnd = 4.51f;   // next to the end cap
// Just above the background, like the end cap: in the plane itself the two
// fight over the depth buffer when the end sequences swing the camera low.
constexpr float LineZ = 0.01f;
constexpr float LowEnergy = 0.2f;       // mode 2 flashes and warns at or below this fill
constexpr double WarningGap = 150;      // ms
}  // namespace

D3DMATERIAL8 PlainPlaneMaterial() { return InitMaterial(1, 1, 1, 0, 10); }
D3DMATERIAL8 LinePlaneMaterial() { return InitMaterial(1, 1, 1, 0, 255); }

// ---- TBackPlane -------------------------------------------------------------

TBackPlane::TBackPlane(IDirect3DDevice8* ADevice, const std::string& FileName, const D3DVECTOR& AScale,
                       const D3DVECTOR& APosition, const D3DVECTOR& ARotation)
    : Device(ADevice), Scale(AScale), Position(APosition), Rotation(ARotation) {
  if (Device) Device->AddRef();
  if (Device) LoadTexture(Device, FileName, Texture);
  BuildWorldMatrix(Scale, Position, Rotation, Matrix);
}

TBackPlane::~TBackPlane() {
  SafeRelease(Texture);
  SafeRelease(Device);
}

void TBackPlane::DrawQuad(const TVertexRange& Quad) {
  Device->DrawPrimitive(D3DPT_TRIANGLELIST, 3 * Quad.Start, Quad.Length);
}

void TBackPlane::Draw(const TVertexRange& Quad) {
  if (!Device) return;
  const D3DMATERIAL8 plain = PlainPlaneMaterial();
  Device->SetMaterial(&plain);
  Device->SetTexture(0, Texture);
  Device->SetTransform(D3DTS_WORLD, &Matrix);
  DrawQuad(Quad);
  Device->SetTexture(0, nullptr);
}

// ---- TScoreLine -------------------------------------------------------------

void TScoreLine::WarningStep(double X, double Clock) {
  if (NextWarning == 0) {
    NextWarning = Clock + WarningGap;
  } else if (NextWarning <= Clock) {
    // Every 300 ms at the threshold, every 150 ms near empty.
    NextWarning = NextWarning + WarningGap + WarningGap * (1 - X);
    PlaySound(sndTimeUp);
  }
}

void TScoreLine::Draw(const TVertexRange& Quad, int Mode, double Clock) {
  if (!Device) return;
  if (Fill > 1) Fill = 1;
  if (!(Fill >= 0)) Fill = 0;  // also catches NaN
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);

  Scale.x = LineMaxLength * Fill;
  Position = MakeVector(LineRightEnd - LineMaxLength * Fill / 2, LineY, LineZ);
  Material = LinePlaneMaterial();
  if (Mode == 2) {
    // Compared in single precision so that exactly 20 % counts as low.
    if (Fill <= LowEnergy) {
      const double theta = (LowEnergy - Fill) * Clock / 200;
      Material = InitMaterial(static_cast<float>(std::fabs(std::sin(theta))),
                              static_cast<float>(std::fabs(std::cos(theta))), 0, 0, 256);
      if (Fill > 0) WarningStep((LowEnergy - Fill) / LowEnergy, Clock);
    } else {
      NextWarning = 0;
    }
  }
  BuildWorldMatrix(Scale, Position, Rotation, Matrix);

  Device->SetMaterial(&Material);
  if (Fill > 0 && EndCap) {
    Device->SetTexture(0, EndCap->Texture);
    Device->SetTransform(D3DTS_WORLD, &EndCap->Matrix);
    DrawQuad(Quad);
  }
  Device->SetTexture(0, Texture);
  Device->SetTransform(D3DTS_WORLD, &Matrix);
  DrawQuad(Quad);
  Device->SetTexture(0, nullptr);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

// ---- TBonusLight ------------------------------------------------------------

TBonusLight::TBonusLight(IDirect3DDevice8* ADevice, const std::string& FileName, const D3DVECTOR& AScale,
                         const D3DVECTOR& APosition, const D3DVECTOR& ARotation)
    : TBackPlane(ADevice, FileName, AScale, APosition, ARotation) {
  for (int j = 1; j <= 5; ++j) {
    LightPos[j] = Position;
    LightPos[j].x = Position.x - 0.289f * static_cast<float>(j - 1);
  }
}

void TBonusLight::Draw(const TVertexRange& Quad) {
  if (!Device) return;
  BuildWorldMatrix(Scale, Position, Rotation, Matrix);
  const D3DMATERIAL8 plain = PlainPlaneMaterial();
  Device->SetMaterial(&plain);
  const int lit = LitCount > 5 ? 5 : LitCount;
  for (int j = 1; j <= lit; ++j) {
    BuildWorldMatrix(Scale, LightPos[j], Rotation, Matrix);
    Device->SetTexture(0, Texture);
    Device->SetTransform(D3DTS_WORLD, &Matrix);
    DrawQuad(Quad);
  }
  Device->SetTexture(0, nullptr);
}
