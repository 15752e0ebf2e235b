// Shader sources of the GL device. Lighting is per vertex and clamped once
// per vertex, then interpolated, as Direct3D 8's Gouraud shading does.
#include "platform/d3d8/gl/gl_shaders.h"

#include <cstdio>
#include <string>

namespace d3d8gl {

namespace {

// Camera space is Direct3D's: left-handed, eye at the origin looking down +z.
const char* const VertexSource = R"(
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;     // inverse transpose of world·view
uniform vec2 uPixelShift;       // moves pixel centres onto integer coordinates

uniform bool uLighting, uNormalize, uLocalViewer, uSpecularEnable, uColorVertex;
uniform int uDiffuseSource, uAmbientSource, uSpecularSource, uEmissiveSource;  // 0 material, 1 vertex diffuse, 2 vertex specular
uniform vec4 uMatDiffuse, uMatAmbient, uMatSpecular, uMatEmissive;
uniform float uMatPower;
uniform vec3 uGlobalAmbient;

uniform int uLightCount;
uniform int uLightType[MAX_LIGHTS];         // 1 point (spot lights too), 3 directional
uniform vec3 uLightVector[MAX_LIGHTS];      // point: camera-space position; directional: unit vector towards the light
uniform vec4 uLightDiffuse[MAX_LIGHTS], uLightSpecular[MAX_LIGHTS], uLightAmbient[MAX_LIGHTS];
uniform vec4 uLightAttenuation[MAX_LIGHTS]; // a0, a1, a2, range

layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;
layout(location = 3) in vec2 aTexCoord;

out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTexCoord;

// Our vertices carry no specular colour: that source falls back to the material.
vec4 Source(int source, vec4 material) {
  return (uColorVertex && source == 1) ? aDiffuse : material;
}

void main() {
  vec4 eye = uWorldView * vec4(aPosition, 1.0);
  vTexCoord = aTexCoord;
  vSpecular = vec4(0.0);
  if (!uLighting) {
    vDiffuse = aDiffuse;
  } else {
    vec3 p = eye.xyz;
    vec3 n = uNormalMatrix * aNormal;
    if (uNormalize && dot(n, n) > 0.0) n = normalize(n);
    vec3 toEye = uLocalViewer ? (dot(p, p) > 0.0 ? normalize(-p) : vec3(0.0, 0.0, -1.0)) : vec3(0.0, 0.0, -1.0);
    vec3 ambientSum = vec3(0.0), diffuseSum = vec3(0.0), specularSum = vec3(0.0);
    for (int i = 0; i < uLightCount; ++i) {
      vec3 l;
      float att = 1.0;
      if (uLightType[i] == 3) {
        l = uLightVector[i];
      } else {
        vec3 d = uLightVector[i] - p;
        float dist = length(d);
        if (dist > uLightAttenuation[i].w) continue;  // beyond range: not even ambient
        vec3 a = uLightAttenuation[i].xyz;
        float denom = a.x + a.y * dist + a.z * dist * dist;
        att = denom > 0.0 ? 1.0 / denom : 1.0;
        l = dist > 0.0 ? d / dist : vec3(0.0, 0.0, -1.0);
      }
      ambientSum += uLightAmbient[i].rgb * att;
      float nl = dot(n, l);
      diffuseSum += uLightDiffuse[i].rgb * max(nl, 0.0) * att;
      if (uSpecularEnable && nl > 0.0) {
        vec3 h = normalize(l + toEye);
        float nh = dot(n, h);
        if (nh > 0.0) specularSum += uLightSpecular[i].rgb * (uMatPower == 0.0 ? 1.0 : pow(nh, uMatPower)) * att;
      }
    }
    vec4 cd = Source(uDiffuseSource, uMatDiffuse);
    vec4 ca = Source(uAmbientSource, uMatAmbient);
    vec4 cs = Source(uSpecularSource, uMatSpecular);
    vec4 ce = Source(uEmissiveSource, uMatEmissive);
    vDiffuse = vec4(clamp(ca.rgb * (uGlobalAmbient + ambientSum) + cd.rgb * diffuseSum + ce.rgb, 0.0, 1.0),
                    clamp(cd.a, 0.0, 1.0));
    if (uSpecularEnable) vSpecular = vec4(clamp(cs.rgb * specularSum, 0.0, 1.0), 0.0);
  }
  vec4 clip = uProjection * eye;
  clip.xy += uPixelShift * clip.w;
  clip.z = 2.0 * clip.z - clip.w;  // Direct3D's depth runs 0..w, OpenGL's -w..w
  gl_Position = clip;
}
)";

const char* const FragmentSource = R"(
uniform sampler2D uTexture;
uniform bool uHasTexture;
uniform bool uSpecularEnable;
uniform int uColorOp, uColorArg1, uColorArg2, uAlphaOp, uAlphaArg1, uAlphaArg2;
uniform bool uAlphaTest;
uniform int uAlphaFunc;
uniform float uAlphaRef;  // 0..255

in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTexCoord;
out vec4 fragColor;

vec4 Arg(int arg, vec4 tex) {
  int which = arg & 15;
  if (which == 2) return tex;
  if (which == 4) return vSpecular;
  if (which == 3) return vec4(1.0);
  return vDiffuse;  // DIFFUSE, CURRENT
}

vec4 Op(int op, vec4 a, vec4 b) {
  if (op == 2) return a;
  if (op == 3) return b;
  if (op == 5) return min(2.0 * a * b, 1.0);
  if (op == 6) return min(4.0 * a * b, 1.0);
  if (op == 7) return min(a + b, 1.0);
  return a * b;
}

bool Passes(float alpha) {
  float a = floor(alpha * 255.0 + 0.5);
  if (uAlphaFunc == 1) return false;
  if (uAlphaFunc == 2) return a < uAlphaRef;
  if (uAlphaFunc == 3) return a == uAlphaRef;
  if (uAlphaFunc == 4) return a <= uAlphaRef;
  if (uAlphaFunc == 5) return a > uAlphaRef;
  if (uAlphaFunc == 6) return a != uAlphaRef;
  if (uAlphaFunc == 7) return a >= uAlphaRef;
  return true;
}

// Whether an operation reads the texture through one of its arguments.
bool ReadsTexture(int op, int arg1, int arg2) {
  return (op != 3 && (arg1 & 15) == 2) || (op != 2 && (arg2 & 15) == 2);
}

// Stage 0. An operation that reads TEXTURE while no texture is bound passes
// the stage's input (the diffuse colour) through unchanged, and so does a
// disabled stage.
void main() {
  vec4 tex = uHasTexture ? texture(uTexture, vTexCoord) : vec4(1.0);
  vec4 c;
  if (uColorOp == 1) {
    c = vDiffuse;
  } else {
    c.rgb = (!uHasTexture && ReadsTexture(uColorOp, uColorArg1, uColorArg2))
                ? vDiffuse.rgb
                : Op(uColorOp, Arg(uColorArg1, tex), Arg(uColorArg2, tex)).rgb;
    c.a = (uAlphaOp == 1 || (!uHasTexture && ReadsTexture(uAlphaOp, uAlphaArg1, uAlphaArg2)))
              ? vDiffuse.a
              : Op(uAlphaOp, Arg(uAlphaArg1, tex), Arg(uAlphaArg2, tex)).a;
  }
  if (uSpecularEnable) c.rgb = min(c.rgb + vSpecular.rgb, 1.0);
  if (uAlphaTest && !Passes(c.a)) discard;
  fragColor = c;
}
)";

GLuint Compile(GLenum type, const char* body) {
  const std::string source = std::string("#version 330 core\n#define MAX_LIGHTS ") +
                             std::to_string(MaxShaderLights) + "\n" + body;
  const char* text = source.c_str();
  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "GL shader: %s\n", log);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

GLuint BuildProgram(TUniforms& u) {
  const GLuint vs = Compile(GL_VERTEX_SHADER, VertexSource);
  const GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentSource);
  if (!vs || !fs) {
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    return 0;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[2048] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    std::fprintf(stderr, "GL program: %s\n", log);
    glDeleteProgram(program);
    return 0;
  }
  auto at = [&](const char* name) { return glGetUniformLocation(program, name); };
  u.WorldView = at("uWorldView");
  u.Projection = at("uProjection");
  u.NormalMatrix = at("uNormalMatrix");
  u.PixelShift = at("uPixelShift");
  u.Lighting = at("uLighting");
  u.Normalize = at("uNormalize");
  u.LocalViewer = at("uLocalViewer");
  u.SpecularEnable = at("uSpecularEnable");
  u.ColorVertex = at("uColorVertex");
  u.DiffuseSource = at("uDiffuseSource");
  u.AmbientSource = at("uAmbientSource");
  u.SpecularSource = at("uSpecularSource");
  u.EmissiveSource = at("uEmissiveSource");
  u.MatDiffuse = at("uMatDiffuse");
  u.MatAmbient = at("uMatAmbient");
  u.MatSpecular = at("uMatSpecular");
  u.MatEmissive = at("uMatEmissive");
  u.MatPower = at("uMatPower");
  u.GlobalAmbient = at("uGlobalAmbient");
  u.LightCount = at("uLightCount");
  u.LightType = at("uLightType");
  u.LightVector = at("uLightVector");
  u.LightDiffuse = at("uLightDiffuse");
  u.LightSpecular = at("uLightSpecular");
  u.LightAmbient = at("uLightAmbient");
  u.LightAttenuation = at("uLightAttenuation");
  u.Texture = at("uTexture");
  u.HasTexture = at("uHasTexture");
  u.ColorOp = at("uColorOp");
  u.ColorArg1 = at("uColorArg1");
  u.ColorArg2 = at("uColorArg2");
  u.AlphaOp = at("uAlphaOp");
  u.AlphaArg1 = at("uAlphaArg1");
  u.AlphaArg2 = at("uAlphaArg2");
  u.AlphaTest = at("uAlphaTest");
  u.AlphaFunc = at("uAlphaFunc");
  u.AlphaRef = at("uAlphaRef");
  return program;
}

}  // namespace d3d8gl
