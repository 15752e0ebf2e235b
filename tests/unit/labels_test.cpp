// The floating-label list: capacity, motion by style, fading and removal.
#include <gtest/gtest.h>

#include "frontend/labels.h"

#include <algorithm>
#include <cmath>

#include "frontend/fonts.h"

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

// ---- Placement over the board -------------------------------------------------------

// Every glyph 20 font pixels wide, as if the fonts were loaded.
class LabelPlacementTest : public LabelsTest {
 protected:
  void SetUp() override {
    LabelsTest::SetUp();
    Saved = Fonts;
    for (int f = 1; f <= FontCount; ++f) {
      Fonts[f].GlyphCount = 51;
      Fonts[f].Widths.fill(20);
    }
  }
  void TearDown() override {
    Fonts = Saved;
    LabelsTest::TearDown();
  }

  struct Box {
    float MinX = 1e9f, MaxX = -1e9f, MinY = 1e9f, MaxY = -1e9f;
  };

  // The box the last label covers from now until it fades, in 16 ms frames.
  static Box PathOfLastLabel(float Width, float Height) {
    const std::string text = ScoreLabels[ScoreLabelCount].Text;
    Box b;
    while (ScoreLabelCount > 0 && ScoreLabels[ScoreLabelCount].Text == text) {
      const TScoreLabel& l = ScoreLabels[ScoreLabelCount];
      b.MinX = std::min(b.MinX, l.Position.x - Width);
      b.MaxX = std::max(b.MaxX, l.Position.x);
      b.MinY = std::min(b.MinY, l.Position.y - Height / 2);
      b.MaxY = std::max(b.MaxY, l.Position.y + Height / 2);
      UpdateScoreLabels(16);
    }
    return b;
  }

  std::array<TFont, FontCount + 1> Saved{};
};

// Cells 1..9 span -4.5..4.5; seen from the camera at rest (height 12.7 over
// (-1.8, -0.25)) the board's edges at the labels' height 1 lie a little inward.
constexpr float Shrink = 11.7f / 12.7f;
constexpr float BoardMinX = -1.8f + (-4.5f + 1.8f) * Shrink, BoardMaxX = -1.8f + (4.5f + 1.8f) * Shrink;
constexpr float BoardMinY = -0.25f + (-4.5f + 0.25f) * Shrink, BoardMaxY = -0.25f + (4.5f + 0.25f) * Shrink;

TEST_F(LabelPlacementTest, LabelsOfCornerSquaresStayOnTheBoardAllTheirLife) {
  struct Style {
    std::uint8_t Font, Colour;
    std::int32_t Size;
    const char* Text;
    float Dy;  // above or below the square's middle, as the scoring places them
  };
  const Style styles[] = {{2, 2, 14, "45x2", -0.5f}, {1, 3, 12, "Double score", 0.5f}, {1, 3, 12, "Quadro score", 1.5f}};
  const int corners[4][2] = {{1, 1}, {8, 1}, {1, 8}, {8, 8}};
  for (const auto& corner : corners)
    for (const Style& st : styles) {
      SCOPED_TRACE(testing::Message() << "square at (" << corner[0] << ", " << corner[1] << "), " << st.Text);
      const float cx = corner[0] - 4.5f, cy = corner[1] - 4.5f;
      AddBoardLabel(cx, cy + st.Dy, st.Font, st.Colour, st.Size, st.Text);
      ASSERT_EQ(ScoreLabelCount, 1);
      const TScoreLabel start = ScoreLabels[1];
      const TLabelSpan span = LabelSpan(st.Font, st.Colour, st.Size, st.Text);
      const Box b = PathOfLastLabel(span.Width, span.Height);
      EXPECT_GE(b.MinX, BoardMinX - 1e-4f);
      EXPECT_LE(b.MaxX, BoardMaxX + 1e-4f);
      EXPECT_GE(b.MinY, BoardMinY - 1e-4f);
      EXPECT_LE(b.MaxY, BoardMaxY + 1e-4f);
      // It starts over the two rows that scored, or as near as the board allows.
      EXPECT_LE(std::fabs(start.Position.y - cy), 1.6f);
      if (corner[0] == 8) {  // the drift runs away from this edge
        EXPECT_GT(start.Position.x, cx - 1) << "over the square's columns";
        EXPECT_LT(start.Position.x - span.Width, cx + 1) << "over the square's columns";
      }
    }
}

TEST_F(LabelPlacementTest, ALabelInTheMiddleStartsCentredOnItsCells) {
  AddBoardLabel(0.5f, -0.5f, 2, 2, 14, "40");
  ASSERT_EQ(ScoreLabelCount, 1);
  const float width = 2 * 20 * 0.014f;
  EXPECT_FLOAT_EQ(ScoreLabels[1].Position.x, 0.5f + width / 2) << "text runs towards -x from its start";
  EXPECT_FLOAT_EQ(ScoreLabels[1].Position.y, -0.5f);
  EXPECT_FLOAT_EQ(ScoreLabels[1].Position.z, 1);
  EXPECT_FLOAT_EQ(ScoreLabels[1].Velocity.x, -0.001f) << "the motion is the style's own";
}

TEST_F(LabelPlacementTest, ALabelWiderThanTheBoardIsCentredOnIt) {
  const std::string text(40, 'W');
  const TLabelSpan span = LabelSpan(1, 3, 12, text);
  ASSERT_GT(span.Width, BoardMaxX - BoardMinX);
  const D3DVECTOR at = BoardLabelStart(-4, 4, span);
  EXPECT_NEAR(at.x - span.Width / 2, (BoardMinX + BoardMaxX) / 2, 1e-4f);
}

}  // namespace
