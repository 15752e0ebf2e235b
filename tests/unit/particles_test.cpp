// Particle lists: creation from the kind table, motion, fading, removal.
#include <gtest/gtest.h>

#include "effects/particles.h"

namespace {

class ParticlesTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearParticles(List); }
  TParticleList List = nullptr;
};

TEST_F(ParticlesTest, BannerAtSixteenMillisecondsLastsTwoHundredFiftyOneFrames) {
  AddParticle(List, 6, D3DVECTOR{0, -3, 1}, D3DVECTOR{0, 50, 0}, 256);
  int frames = 0;
  while (List && frames < 1000) {
    UpdateParticles(List, 16);
    ++frames;
  }
  EXPECT_EQ(frames, 251);
}

TEST_F(ParticlesTest, CubeSparkFadesOutLongBeforeItShrinksAway) {
  AddParticle(List, 0, D3DVECTOR{}, D3DVECTOR{}, 255);
  for (int n = 0; n < 83; ++n) UpdateParticles(List, 10);
  ASSERT_NE(List, nullptr);
  EXPECT_EQ(List->Particle->Alpha, 6);
  EXPECT_GT(List->Particle->SizeX, 0.3f);
  UpdateParticles(List, 10);
  EXPECT_EQ(List, nullptr);
}

TEST_F(ParticlesTest, ShortFramesStillFade) {
  // At 5 ms a frame the banner's fade rounds to nothing per frame; the time
  // is pooled, so it still fades at its rate of 8 per 100 ms.
  AddParticle(List, 6, D3DVECTOR{}, D3DVECTOR{}, 256);
  for (int n = 0; n < 200; ++n) UpdateParticles(List, 5);
  ASSERT_NE(List, nullptr);
  EXPECT_EQ(List->Particle->Alpha, 256 - 80);
  for (int n = 0; n < 20; ++n) UpdateParticles(List, 0);
  EXPECT_EQ(List->Particle->Alpha, 176) << "a frame of 0 ms changes nothing";
}

TEST_F(ParticlesTest, MotionDampingAndSpin) {
  AddParticle(List, 4, D3DVECTOR{1, 2, 3}, D3DVECTOR{10000, 0, 0}, 255);
  const TParticle& p = *List->Particle;
  EXPECT_FLOAT_EQ(p.SizeX, 0.2f);
  EXPECT_FLOAT_EQ(p.Spin, 250);
  UpdateParticles(List, 1);
  EXPECT_FLOAT_EQ(p.Position.x, 2);                       // velocity per 10 000 ms
  EXPECT_FLOAT_EQ(p.Velocity.x, 10000 * (1 - 0.00025f));  // damping -0.25 per 1000 ms
  EXPECT_FLOAT_EQ(p.Angle, 0.025f);
  for (int n = 0; n < 499; ++n) UpdateParticles(List, 1);
  ASSERT_NE(List, nullptr);
  EXPECT_NEAR(List->Particle->Spin, 0, 1e-3) << "the spin reverses after 500 ms";
}

TEST_F(ParticlesTest, RemovingTheFirstNodeMakesTheNextOneFirst) {
  AddParticle(List, 1, D3DVECTOR{1, 0, 0}, D3DVECTOR{}, 255);
  AddParticle(List, 1, D3DVECTOR{2, 0, 0}, D3DVECTOR{}, 255);
  AddParticle(List, 1, D3DVECTOR{3, 0, 0}, D3DVECTOR{}, 255);
  EXPECT_FLOAT_EQ(List->Particle->Position.x, 3) << "new particles go to the front";
  RemoveParticle(List, nullptr);
  EXPECT_FLOAT_EQ(List->Particle->Position.x, 2);
  RemoveParticle(List, List);
  EXPECT_EQ(ParticleCount(List), 1);
  EXPECT_FLOAT_EQ(List->Particle->Position.x, 2);
}

TEST_F(ParticlesTest, DeadParticlesAreRemovedFromAnywhereInTheList) {
  AddParticle(List, 5, D3DVECTOR{}, D3DVECTOR{}, 10);    // fades out first
  AddParticle(List, 0, D3DVECTOR{}, D3DVECTOR{}, 255);
  AddParticle(List, 5, D3DVECTOR{}, D3DVECTOR{}, 10);
  UpdateParticles(List, 10);  // kind 5 loses 12
  EXPECT_EQ(ParticleCount(List), 1);
  EXPECT_EQ(List->Particle->Kind, 0);
  SetBannerTexture(nullptr, List, "images\\newlevel.tga", 0, 1);
  EXPECT_EQ(List, nullptr) << "a banner of no width is gone at once";
}

TEST_F(ParticlesTest, ListsStopGrowingAtTheirCap) {
  for (int n = 0; n < MaxParticlesPerList + 10; ++n) AddParticle(List, 5, D3DVECTOR{}, D3DVECTOR{}, 256);
  EXPECT_EQ(ParticleCount(List), MaxParticlesPerList);
  AddParticle(List, 7, D3DVECTOR{}, D3DVECTOR{}, 256);
  EXPECT_EQ(ParticleCount(List), MaxParticlesPerList);
}

// The length is kept rather than counted (the cap is checked on every add):
// it must follow every way a particle leaves.
TEST_F(ParticlesTest, TheKeptLengthFollowsEveryRemoval) {
  auto walked = [this] {
    int n = 0;
    for (TParticleNode* node = List; node; node = node->Next) ++n;
    return n;
  };
  for (int n = 0; n < 10; ++n) AddParticle(List, n % 2 == 0 ? 5 : 0, D3DVECTOR{}, D3DVECTOR{}, n % 2 == 0 ? 10 : 255);
  EXPECT_EQ(ParticleCount(List), 10);
  UpdateParticles(List, 10);  // the sparks of kind 5 die, wherever they stand
  EXPECT_EQ(ParticleCount(List), walked());
  EXPECT_EQ(ParticleCount(List), 5);
  RemoveParticle(List, nullptr);
  RemoveParticle(List, List->Next);
  EXPECT_EQ(ParticleCount(List), 3);
  EXPECT_EQ(walked(), 3);
  SetBannerTexture(nullptr, List, "images\\newlevel.tga", 0, 1);
  EXPECT_EQ(ParticleCount(List), 0);
  for (int n = 0; n < 3; ++n) AddParticle(List, 0, D3DVECTOR{}, D3DVECTOR{}, 255);
  EXPECT_EQ(ParticleCount(List), 3);
  ClearParticles(List);
  EXPECT_EQ(ParticleCount(List), 0);
}

}  // namespace
