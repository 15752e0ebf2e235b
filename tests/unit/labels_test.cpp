// The floating-label list: capacity, motion by style, fading and removal.
#include <gtest/gtest.h>

#include "frontend/labels.h"

namespace {

class LabelsTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearScoreLabels(); }
  void TearDown() override { ClearScoreLabels(); }
};

TEST_F(LabelsTest, TwentyLabelsAtMostUntilOneFades) {
  for (int n = 1; n <= 21; ++n) AddScoreLabel(D3DVECTOR{0, 0, 5}, 2, 2, 14, std::to_string(n));
  ASSERT_EQ(ScoreLabelCount, 20);
  EXPECT_EQ(ScoreLabels[20].Text, "20");
  EXPECT_FLOAT_EQ(ScoreLabels[1].Position.z, 1) << "labels float at height 1";
  ScoreLabels[3].Alpha = 30;
  UpdateScoreLabels(100);
  ASSERT_EQ(ScoreLabelCount, 19);
  EXPECT_EQ(ScoreLabels[3].Text, "4") << "order kept";
  AddScoreLabel(D3DVECTOR{}, 2, 2, 14, "new");
  EXPECT_EQ(ScoreLabels[20].Text, "new");
}

TEST_F(LabelsTest, LabelLivesTwoPointThreeSeconds) {
  AddScoreLabel(D3DVECTOR{}, 2, 2, 14, "40");
  for (int ms = 0; ms < 2290; ms += 10) UpdateScoreLabels(10);
  EXPECT_EQ(ScoreLabelCount, 1);
  UpdateScoreLabels(20);
  EXPECT_EQ(ScoreLabelCount, 0);
}

TEST_F(LabelsTest, QuietWordsRiseTenTimesSlower) {
  AddScoreLabel(D3DVECTOR{}, 1, 3, 12, "BONUS");
  AddScoreLabel(D3DVECTOR{}, 1, 2, 12, "LEVEL");
  AddScoreLabel(D3DVECTOR{}, 2, 2, 14, "40");
  UpdateScoreLabels(1);
  EXPECT_FLOAT_EQ(ScoreLabels[1].Position.y * 10, ScoreLabels[2].Position.y);
  EXPECT_FLOAT_EQ(ScoreLabels[3].Position.x, -0.001f) << "numbers drift sideways";
  EXPECT_FLOAT_EQ(ScoreLabels[2].Velocity.y, 0.005f * (1 - 0.001f));
}

TEST_F(LabelsTest, RemovingOutOfRangeDoesNothing) {
  AddScoreLabel(D3DVECTOR{}, 2, 2, 14, "a");
  RemoveScoreLabel(0);
  RemoveScoreLabel(2);
  EXPECT_EQ(ScoreLabelCount, 1);
  RemoveScoreLabel(1);
  EXPECT_EQ(ScoreLabelCount, 0);
}

}  // namespace
