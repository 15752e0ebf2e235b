// Vector, matrix and colour helpers: the Direct3D conventions the scene relies on.
#include <gtest/gtest.h>

#include "shell/math/d3dmath.h"

TEST(Math, ViewWithUpParallelToViewFallsBackToWorldY) {
  D3DMATRIX v = ZeroMatrix;
  ASSERT_EQ(MatrixView(v, MakeVector(-1.8f, -0.25f, 12.7f), MakeVector(-1.8f, -0.25f, 0), MakeVector(0, 0, 1)), D3D_OK);
  // Screen up (column 2) is world +y; right (column 1) is world -x (left-handed, looking down -z).
  EXPECT_FLOAT_EQ(v._22, 1.0f);
  EXPECT_FLOAT_EQ(v._11, -1.0f);
}

TEST(Math, ViewFromEqualsAtFailsAndLeavesOutputUntouched) {
  D3DMATRIX v = IdentityMatrix;
  EXPECT_EQ(MatrixView(v, MakeVector(1, 2, 3), MakeVector(1, 2, 3), MakeVector(0, 1, 0)), E_INVALIDARG);
  EXPECT_FLOAT_EQ(v._11, 1.0f);
  EXPECT_FLOAT_EQ(v._12, 0.0f);
}

TEST(Math, ProjectionAspectMultipliesHorizontalScale) {
  D3DMATRIX p = ZeroMatrix;
  ASSERT_EQ(MatrixProjection(p, 0.8f, 0.75f, 0.01f, 200.0f), D3D_OK);
  EXPECT_FLOAT_EQ(p._11, 0.75f * p._22);
  EXPECT_FLOAT_EQ(p._34, 1.0f);
  D3DMATRIX q = IdentityMatrix;
  EXPECT_EQ(MatrixProjection(q, 0.8f, 0.75f, 1.0f, 1.005f), E_INVALIDARG);
  EXPECT_FLOAT_EQ(q._11, 1.0f);
}

TEST(Math, MultiplyAppliesSecondArgumentFirst) {
  // Scale by 2, then translate by (1,0,0): the point (1,0,0) lands at 3.
  const D3DMATRIX m = MatrixMultiply(MatrixTranslation(MakeVector(1, 0, 0)), MatrixScaling(2, 2, 2));
  EXPECT_FLOAT_EQ(1 * m._11 + m._41, 3.0f);
}

TEST(Math, ColourPackingKeepsLowBytes) {
  EXPECT_EQ(ColorARGB(255, 0, 0, 255), 0xFF0000FFu);
  EXPECT_EQ(ColorARGB(256, 1, 2, 3), 0x00010203u);
}
