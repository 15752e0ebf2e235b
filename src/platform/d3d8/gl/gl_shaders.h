// The one shader program of the GL device: Direct3D 8's fixed-function
// vertex lighting and texture stage 0, driven by uniforms.
#pragma once

#include <epoxy/gl.h>

namespace d3d8gl {

constexpr int MaxShaderLights = 8;

// Vertex attribute locations.
enum : GLuint { AttrPosition = 0, AttrNormal = 1, AttrDiffuse = 2, AttrTexCoord = 3 };

struct TUniforms {
  GLint WorldView, Projection, NormalMatrix, PixelShift;
  GLint Lighting, Normalize, LocalViewer, SpecularEnable, ColorVertex;
  GLint DiffuseSource, AmbientSource, SpecularSource, EmissiveSource;
  GLint MatDiffuse, MatAmbient, MatSpecular, MatEmissive, MatPower;
  GLint GlobalAmbient, LightCount;
  GLint LightType, LightVector, LightDiffuse, LightSpecular, LightAmbient, LightAttenuation;  // arrays
  GLint Texture, HasTexture;
  GLint ColorOp, ColorArg1, ColorArg2, AlphaOp, AlphaArg1, AlphaArg2;
  GLint AlphaTest, AlphaFunc, AlphaRef;
};

// Compiles and links the program; 0 (with the log on stderr) on failure.
GLuint BuildProgram(TUniforms& uniforms);

}  // namespace d3d8gl
