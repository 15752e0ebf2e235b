// End sequences: a finale level throws its cubes off the board in one of six
// patterns, and the camera circles the board once (also, slower, at game
// over). Flight speeds are given per flight step of FlightStepMs and scaled
// by the frame time, so every machine shows the same flight.
#include <cmath>
#include <numbers>

#include "game/game.h"
#include "platform/win32/random.h"
#include "shell/options.h"

namespace {
constexpr double Pi = std::numbers::pi;
constexpr float X0 = -1.8f;   // the camera's default eye and target, x
constexpr float Y0 = -0.25f;  // and y
constexpr float EyeHeight = 12.7f;
constexpr float Gravity = -0.005f;  // per flight step, each flight step
// One flight step in ms: at this pace the thrown cubes leave the view near
// the end of the camera's circle.
constexpr float FlightStepMs = 30;

float Rnd() { return static_cast<float>(RandomReal()); }

// Sideways speed that sends a cube away from the centre line it stands on.
float Side(float V) {
  if (std::fabs(V) <= 0.1f) return (Rnd() - 0.5f) * 0.05f + 0.035f;
  return (Rnd() - 0.5f) * 0.05f + 0.07f * (V > 0 ? 1.0f : -1.0f);
}

float Upward() { return (Rnd() - 0.5f) * 0.1f + 0.2f; }

// Damps a bounce; components under 0.01 stop.
D3DVECTOR Damp(D3DVECTOR V) {
  V = {V.x * 0.8f, V.y * 0.8f, V.z * 0.8f};
  if (std::fabs(V.x) < 0.01f) V.x = 0;
  if (std::fabs(V.y) < 0.01f) V.y = 0;
  if (std::fabs(V.z) < 0.01f) V.z = 0;
  return V;
}
}  // namespace

void TGame::Scatter(int Pattern) {
  for (int i = 1; i <= CubeCount; ++i) {
    TCube& c = Cubes[i];
    const float x = c.Position.x, y = c.Position.y;
    c.Acceleration = {0, 0, Gravity};
    switch (Pattern) {
      case 0: {  // all towards +y, tumbling about x
        const float vy = (Rnd() - 0.5f) * 0.05f + 0.1f;
        const float vz = (Rnd() - 0.5f) * 0.1f + 0.2f;
        c.Velocity = {0, vy, vz};
        c.AngularVelocity = {-0.05f, 0, 0};
        break;
      }
      case 1: {  // every way
        const float vx = (Rnd() - 0.5f) * 0.25f + 0.01f;
        const float vy = (Rnd() - 0.5f) * 0.25f + 0.01f;
        const float vz = Upward();
        c.Velocity = {vx, vy, vz};
        const float ax = (Rnd() - 0.5f) * 0.01f + 0.05f;
        const float ay = (Rnd() - 0.5f) * 0.01f + 0.05f;
        const float az = (Rnd() - 0.5f) * 0.01f + 0.05f;
        c.AngularVelocity = {ax, ay, az};
        break;
      }
      case 3: {  // rows slide out sideways in turn, no gravity
        const bool odd = static_cast<int>(std::fabs(y)) % 2 == 1;
        c.Velocity = {odd ? -0.07f : 0.07f, 0, 0.005f};
        c.Acceleration = {0, 0, 0};
        c.AngularVelocity = {0, (Rnd() - 0.5f) * 0.07f + 0.04f, 0};
        break;
      }
      default: {  // 2 and 5 swirl by quadrant, 4 bursts outward
        const bool outward = Pattern == 4;
        const float vx = outward ? Side(x) : Side(y);
        const float vy = outward ? Side(y) : Side(x);
        const float vz = Upward();
        c.Velocity = {vx, vy, vz};
        const float ax = (Rnd() - 0.5f) * 0.1f;
        const float ay = (Rnd() - 0.5f) * 0.1f;
        const float az = (Rnd() - 0.5f) * 0.1f;
        c.AngularVelocity = {ax, ay, az};
        break;
      }
    }
  }
}

void TGame::Fly(float DeltaMs) {
  if (!(DeltaMs > 0)) return;
  const float k = DeltaMs / FlightStepMs;  // flight steps in this frame
  for (int i = 1; i <= CubeCount; ++i) {
    TCube& c = Cubes[i];
    // Exact for constant acceleration, so long and short frames trace the same arc.
    const D3DVECTOR v = c.Velocity, a = c.Acceleration;
    c.Position = {c.Position.x + v.x * k + 0.5f * a.x * k * k, c.Position.y + v.y * k + 0.5f * a.y * k * k,
                  c.Position.z + v.z * k + 0.5f * a.z * k * k};
    c.Velocity = {v.x + a.x * k, v.y + a.y * k, v.z + a.z * k};
    c.Rotation = {c.Rotation.x + c.AngularVelocity.x * k, c.Rotation.y + c.AngularVelocity.y * k,
                  c.Rotation.z + c.AngularVelocity.z * k};
    if (c.Position.z <= 0.4f) {  // bounces on the floor, losing a fifth
      // What the frame carried below the floor goes back up, so that long
      // frames bounce as high as short ones.
      c.Position.z = 0.4f + 0.8f * (0.4f - c.Position.z);
      c.Velocity.z = -c.Velocity.z;
      c.Velocity = Damp(c.Velocity);
      c.AngularVelocity = Damp(c.AngularVelocity);
    }
  }
}

void TGame::SweepCamera(float T) {
  if (!Options) return;
  D3DVECTOR& eye = Options->CameraEye;
  const bool gameOver = EndPhase == epGameOver;
  const double L = gameOver ? 5800 : 2800;  // end of the circle
  const double P = gameOver ? 5600 : 2600;  // its duration
  // The comparisons use the end timer itself, the formulas its single copy.
  if (EndTimer <= 200) {
    eye.y = Y0 - 0.05f * T;  // pull back 10 units
  } else if (EndTimer < L) {
    const double b = (T - 200.0) * 2 * Pi / P;
    eye.x = static_cast<float>(X0 + 10 * std::sin(b));
    eye.y = static_cast<float>(Y0 - 10 * std::cos(b));
    eye.z = static_cast<float>(EyeHeight - 11 * std::fabs(std::sin(b)));
  } else {
    eye.x = X0;
    eye.y = static_cast<float>(Y0 - 10 + 0.05 * (T - L));  // and back in
  }
}
