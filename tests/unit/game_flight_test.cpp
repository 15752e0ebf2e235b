// The finale's flight: the thrown cubes leave the view near the end of the
// camera's circle, whatever the frame rate.
#include <array>
#include <cmath>

#include "game_update_fixture.h"

namespace {

constexpr float SweepMs = 3750;  // the finale's whole camera sweep
constexpr float FrameTimes[] = {4, 16, 50};

// The picture the camera frames at rest: 14.45 x 10.8375 around (-1.8, -0.25).
bool InView(const TCube& c) { return std::fabs(c.Position.x + 1.8f) <= 7.225f && std::fabs(c.Position.y + 0.25f) <= 5.42f; }

class FlightTest : public GameUpdateTest {
 protected:
  // Every cell of the board full, then thrown with Pattern.
  void Throw(int Pattern) {
    RandSeed(99);
    for (int x = 1; x <= 9; ++x)
      for (int y = 1; y <= 9; ++y) Put(x, y, static_cast<TCubeKind>(1 + (x + y) % 5));
    G().Scatter(Pattern);
  }

  // Flies for Ms in frames of Step ms (the last one shorter).
  void FlyFor(float Ms, float Step) {
    for (float t = 0; t < Ms; t += Step) G().Fly(std::fmin(Step, Ms - t));
  }

  int CubesInView() {
    int n = 0;
    for (int i = 1; i <= G().CubeCount; ++i) n += InView(G().Cubes[i]) ? 1 : 0;
    return n;
  }
};

}  // namespace

TEST_F(FlightTest, CubesLeaveNearTheEndOfTheSweepAtAnyFrameRate) {
  for (int pattern = 0; pattern <= 5; ++pattern) {
    int seen[3][2] = {};
    for (int n = 0; n < 3; ++n) {
      SCOPED_TRACE(testing::Message() << "pattern " << pattern << ", frames of " << FrameTimes[n] << " ms");
      G().ClearBoard();
      Throw(pattern);
      FlyFor(1000, FrameTimes[n]);
      seen[n][0] = CubesInView();
      FlyFor(SweepMs - 1000, FrameTimes[n]);
      seen[n][1] = CubesInView();
      EXPECT_GE(seen[n][0], 81 / 2) << "most cubes are still in view after a second";
      EXPECT_LE(seen[n][1], 81 / 3) << "most cubes are gone when the camera comes back";
    }
    EXPECT_NEAR(seen[0][0], seen[2][0], 1) << "pattern " << pattern;
    EXPECT_NEAR(seen[0][1], seen[2][1], 1) << "pattern " << pattern;
  }
}

TEST_F(FlightTest, ShortAndLongFramesTraceTheSamePaths) {
  for (int pattern = 0; pattern <= 5; ++pattern) {
    SCOPED_TRACE(testing::Message() << "pattern " << pattern);
    // Bounces fall between frames, so the paths agree only closely.
    constexpr float Tolerance = 0.1f;  // an eighth of a cube
    std::array<std::array<D3DVECTOR, MaxCubes + 1>, 3> ends{};
    for (int n = 0; n < 3; ++n) {
      G().ClearBoard();
      Throw(pattern);
      FlyFor(2000, FrameTimes[n]);
      for (int i = 1; i <= G().CubeCount; ++i) ends[n][i] = G().Cubes[i].Position;
    }
    for (int i = 1; i <= G().CubeCount; ++i)
      for (int n = 1; n < 3; ++n) {
        EXPECT_NEAR(ends[n][i].x, ends[0][i].x, Tolerance) << "cube " << i;
        EXPECT_NEAR(ends[n][i].y, ends[0][i].y, Tolerance) << "cube " << i;
        EXPECT_NEAR(ends[n][i].z, ends[0][i].z, Tolerance) << "cube " << i;
      }
  }
}

TEST_F(FlightTest, ABounceLandsOnTheFloorAndLosesAFifth) {
  const int i = Put(5, 5, ckColour1);
  TCube& c = G().Cubes[i];
  c.Velocity = {0, 0, -0.2f};
  c.Acceleration = {0, 0, 0};
  c.AngularVelocity = {0.005f, 0.1f, 0};
  G().Fly(30);
  EXPECT_NEAR(c.Position.z, 0.4f + 0.8f * 0.2f, 1e-5f) << "the part of the step below the floor comes back up";
  EXPECT_FLOAT_EQ(c.Velocity.z, 0.16f);
  EXPECT_FLOAT_EQ(c.AngularVelocity.x, 0) << "spins under 0.01 stop";
  EXPECT_FLOAT_EQ(c.AngularVelocity.y, 0.08f);
  const float z = c.Position.z;
  G().Fly(0);
  EXPECT_FLOAT_EQ(c.Position.z, z) << "a frame of no time moves nothing";
}
