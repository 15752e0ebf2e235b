// The shader programs of the GL device: Direct3D 8's fixed-function vertex
// lighting and texture stage 0. The choices that change what the shaders do
// (lighting, which lights and of what kind, the stage's operations, the
// alpha test) are compiled in, one
// program per combination in use, because a software rasteriser pays for
// every branch on every pixel; the values (matrices, colours, lights) are
// uniforms.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>

namespace d3d8gl {

constexpr int MaxShaderLights = 8;

// Vertex attribute locations.
enum : GLuint { AttrPosition = 0, AttrNormal = 1, AttrDiffuse = 2, AttrTexCoord = 3 };

// What one program is compiled for. Build it with MakeProgramKey, so that
// states that draw alike share a program.
struct TProgramKey {
  bool Lighting = false;
  bool Specular = false;  // only with lighting: our vertices carry no specular colour
  bool Texture = false;   // a texture is bound to stage 0
  uint8_t ColorOp = 1, ColorArg1 = 0, ColorArg2 = 0, AlphaOp = 1, AlphaArg1 = 0, AlphaArg2 = 0;
  uint8_t AlphaFunc = 0;  // D3DCMP_*, 0 when no pixel can be discarded
  // The vertex stage's choices, only with lighting (see WithLights).
  uint8_t LightCount = 0;
  uint8_t PointLights = 0;  // bit i: light i is a point light; otherwise directional
  bool Normalize = false, LocalViewer = false;

  uint64_t Packed() const;
};

// Direct3D values in, canonical key out: operations the shader treats alike
// and arguments it reads alike map to one value.
TProgramKey MakeProgramKey(bool lighting, bool specular, bool texture, uint32_t colorOp, uint32_t colorArg1,
                           uint32_t colorArg2, uint32_t alphaOp, uint32_t alphaArg1, uint32_t alphaArg2,
                           bool alphaTest, uint32_t alphaFunc);

// The key with the lights it draws with (the first `count`, bit i of
// pointMask set for a point or spot light) and the normal and viewer
// settings. An unlit key keeps none of them, so unlit states share one.
TProgramKey WithLights(TProgramKey key, int count, uint8_t pointMask, bool normalize, bool localViewer);

struct TUniforms {
  GLint WorldView, Projection, NormalMatrix, PixelShift;
  GLint ColorVertex;
  GLint DiffuseSource, AmbientSource, SpecularSource, EmissiveSource;
  GLint MatDiffuse, MatAmbient, MatSpecular, MatEmissive, MatPower;
  GLint GlobalAmbient;
  GLint LightVector, LightDiffuse, LightSpecular, LightAmbient, LightAttenuation;  // arrays
  GLint Texture, AlphaRef;
};

// Compiles and links the program for one key; 0 (with the log on stderr) on
// failure. Uniforms a variant does not use come back as -1, which GL ignores.
GLuint BuildProgram(const TProgramKey& key, TUniforms& uniforms);

}  // namespace d3d8gl
