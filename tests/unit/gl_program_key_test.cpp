// Which device states share a compiled shader variant. Two states that draw
// alike must share one (or the device compiles programs it does not need);
// two that draw differently must not (or one draws with the other's shader).
#include <gtest/gtest.h>

#include <functional>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/gl/gl_shaders.h"

namespace {

struct TStage {
  bool Lighting = true, Specular = false, Texture = true;
  DWORD ColorOp = D3DTOP_MODULATE, ColorArg1 = D3DTA_TEXTURE, ColorArg2 = D3DTA_CURRENT;
  DWORD AlphaOp = D3DTOP_SELECTARG1, AlphaArg1 = D3DTA_TEXTURE, AlphaArg2 = D3DTA_CURRENT;
  bool AlphaTest = false;
  DWORD AlphaFunc = D3DCMP_ALWAYS;

  uint64_t Key() const {
    return d3d8gl::MakeProgramKey(Lighting, Specular, Texture, ColorOp, ColorArg1, ColorArg2, AlphaOp, AlphaArg1,
                                  AlphaArg2, AlphaTest, AlphaFunc)
        .Packed();
  }
};

bool SharesVariant(const TStage& from, const std::function<void(TStage&)>& change) {
  TStage s = from;
  change(s);
  return s.Key() == from.Key();
}

TEST(GLProgramKeyTest, StatesThatDrawAlikeShareAVariant) {
  TStage unlit;
  unlit.Lighting = false;
  EXPECT_TRUE(SharesVariant(unlit, [](TStage& s) { s.Specular = true; })) << "specular needs lighting";
  const TStage base;
  EXPECT_TRUE(SharesVariant(base, [](TStage& s) { s.ColorArg2 = D3DTA_DIFFUSE; })) << "CURRENT is DIFFUSE at stage 0";
  EXPECT_TRUE(SharesVariant(base, [](TStage& s) { s.AlphaArg2 = D3DTA_TFACTOR; })) << "SELECTARG1 ignores arg 2";
  EXPECT_TRUE(SharesVariant(base, [](TStage& s) { s.AlphaFunc = D3DCMP_LESS; })) << "no alpha test, no function";
  EXPECT_TRUE(SharesVariant(base, [](TStage& s) {
    s.AlphaTest = true;
    s.AlphaFunc = D3DCMP_ALWAYS;
  })) << "ALWAYS discards nothing";
  EXPECT_TRUE(SharesVariant(base, [](TStage& s) { s.ColorOp = 24; })) << "unsupported operations draw as MODULATE";
  TStage disabled;
  disabled.ColorOp = D3DTOP_DISABLE;
  EXPECT_TRUE(SharesVariant(disabled, [](TStage& s) {
    s.AlphaOp = D3DTOP_MODULATE;
    s.ColorArg1 = D3DTA_DIFFUSE;
  })) << "a disabled stage passes its input whole";
}

TEST(GLProgramKeyTest, StatesThatDrawDifferentlyDoNot) {
  const TStage base;
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) { s.Lighting = false; }));
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) { s.Specular = true; }));
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) { s.Texture = false; }));
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) { s.ColorOp = D3DTOP_MODULATE2X; }));
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) { s.ColorArg1 = D3DTA_DIFFUSE; }));
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) { s.ColorArg2 = D3DTA_SPECULAR; }));
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) { s.AlphaOp = D3DTOP_MODULATE; }));
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) { s.AlphaArg1 = D3DTA_DIFFUSE; }));
  EXPECT_FALSE(SharesVariant(base, [](TStage& s) {
    s.AlphaOp = D3DTOP_SELECTARG2;
    s.AlphaArg2 = D3DTA_TFACTOR;
  }));
  for (DWORD func : {D3DCMP_NEVER, D3DCMP_GREATER, D3DCMP_GREATEREQUAL})
    EXPECT_FALSE(SharesVariant(base, [func](TStage& s) {
      s.AlphaTest = true;
      s.AlphaFunc = func;
    })) << func;
}

}  // namespace

namespace {

// The vertex stage's lights: compiled in only where lighting is on.
TEST(GLProgramKeyTest, LightsShapeOnlyLitVariants) {
  using d3d8gl::WithLights;
  const auto key = [](bool lighting) {
    return d3d8gl::MakeProgramKey(lighting, true, true, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT,
                                  D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, false, D3DCMP_ALWAYS);
  };
  const uint64_t unlit = key(false).Packed();
  EXPECT_EQ(WithLights(key(false), 2, 3, true, true).Packed(), unlit) << "unlit draws share one variant";
  const uint64_t two = WithLights(key(true), 2, 3, true, false).Packed();
  EXPECT_NE(WithLights(key(true), 1, 1, true, false).Packed(), two) << "one light less";
  EXPECT_NE(WithLights(key(true), 2, 1, true, false).Packed(), two) << "a directional light for a point light";
  EXPECT_NE(WithLights(key(true), 2, 3, false, false).Packed(), two) << "normals left as they are";
  EXPECT_NE(WithLights(key(true), 2, 3, true, true).Packed(), two) << "a local viewer";
  EXPECT_EQ(WithLights(key(true), 2, 0xFF, true, false).Packed(), two) << "bits beyond the count name no light";
  EXPECT_EQ(WithLights(key(true), 0, 0xFF, true, false).Packed(), WithLights(key(true), 0, 0, true, false).Packed());
}

}  // namespace
