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
uniform vec2 uPixelShift;       // moves pixel centres onto integer coordinates

#if LIGHTING
uniform mat3 uNormalMatrix;     // inverse transpose of world·view
uniform bool uColorVertex;
uniform int uDiffuseSource, uAmbientSource, uSpecularSource, uEmissiveSource;  // 0 material, 1 vertex diffuse, 2 vertex specular
uniform vec4 uMatDiffuse, uMatAmbient, uMatSpecular, uMatEmissive;
uniform float uMatPower;
uniform vec3 uGlobalAmbient;

// LIGHT_COUNT lights; bit i of POINT_LIGHTS marks a point (or spot) light,
// otherwise light i is directional. Compiled in, so the loop unrolls into
// just the lights this draw has, with no branch on a light's type.
uniform vec3 uLightVector[MAX_LIGHTS];      // point: camera-space position; directional: unit vector towards the light
uniform vec4 uLightDiffuse[MAX_LIGHTS], uLightSpecular[MAX_LIGHTS], uLightAmbient[MAX_LIGHTS];
uniform vec4 uLightAttenuation[MAX_LIGHTS]; // a0, a1, a2, range
#endif

layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aDiffuse;
layout(location = 3) in vec2 aTexCoord;

out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTexCoord;

#if LIGHTING
// Our vertices carry no specular colour: that source falls back to the material.
vec4 Source(int source, vec4 material) {
  return (uColorVertex && source == 1) ? aDiffuse : material;
}
#endif

void main() {
  vec4 eye = uWorldView * vec4(aPosition, 1.0);
  vTexCoord = aTexCoord;
  vSpecular = vec4(0.0);
#if !LIGHTING
  vDiffuse = aDiffuse;
#else
  vec3 p = eye.xyz;
  vec3 n = uNormalMatrix * aNormal;
#if NORMALIZE
  if (dot(n, n) > 0.0) n = normalize(n);
#endif
#if LOCAL_VIEWER
  vec3 toEye = dot(p, p) > 0.0 ? normalize(-p) : vec3(0.0, 0.0, -1.0);
#else
  vec3 toEye = vec3(0.0, 0.0, -1.0);
#endif
  vec3 ambientSum = vec3(0.0), diffuseSum = vec3(0.0), specularSum = vec3(0.0);
  for (int i = 0; i < LIGHT_COUNT; ++i) {
    vec3 l;
    float att = 1.0;
    if (((POINT_LIGHTS >> i) & 1) == 0) {
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
#if SPECULAR
    if (nl > 0.0) {
      vec3 h = normalize(l + toEye);
      float nh = dot(n, h);
      if (nh > 0.0) specularSum += uLightSpecular[i].rgb * (uMatPower == 0.0 ? 1.0 : pow(nh, uMatPower)) * att;
    }
#endif
  }
  vec4 cd = Source(uDiffuseSource, uMatDiffuse);
  vec4 ca = Source(uAmbientSource, uMatAmbient);
  vec4 ce = Source(uEmissiveSource, uMatEmissive);
  vDiffuse = vec4(clamp(ca.rgb * (uGlobalAmbient + ambientSum) + cd.rgb * diffuseSum + ce.rgb, 0.0, 1.0),
                  clamp(cd.a, 0.0, 1.0));
#if SPECULAR
  vec4 cs = Source(uSpecularSource, uMatSpecular);
  vSpecular = vec4(clamp(cs.rgb * specularSum, 0.0, 1.0), 0.0);
#endif
#endif
  vec4 clip = uProjection * eye;
  clip.xy += uPixelShift * clip.w;
  clip.z = 2.0 * clip.z - clip.w;  // Direct3D's depth runs 0..w, OpenGL's -w..w
  gl_Position = clip;
}
)";

// The stage's operations and arguments arrive as constants, so the compiler
// keeps only the one path this program draws with.
const char* const FragmentSource = R"(
const int ColorOp = COLOR_OP, ColorArg1 = COLOR_ARG1, ColorArg2 = COLOR_ARG2;
const int AlphaOp = ALPHA_OP, AlphaArg1 = ALPHA_ARG1, AlphaArg2 = ALPHA_ARG2;
const int AlphaFunc = ALPHA_FUNC;

#if TEXTURE
uniform sampler2D uTexture;
#endif
#if ALPHA_FUNC
uniform float uAlphaRef;  // 0..255
#endif

in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTexCoord;
out vec4 fragColor;

vec4 Arg(int arg, vec4 tex) {
  if (arg == 2) return tex;
  if (arg == 4) return vSpecular;
  if (arg == 3) return vec4(1.0);
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

// Whether an operation reads the texture through one of its arguments.
bool ReadsTexture(int op, int arg1, int arg2) {
  return (op != 3 && arg1 == 2) || (op != 2 && arg2 == 2);
}

// Stage 0. An operation that reads TEXTURE while no texture is bound passes
// the stage's input (the diffuse colour) through unchanged, and so does a
// disabled stage.
void main() {
#if TEXTURE
  vec4 tex = texture(uTexture, vTexCoord);
  const bool hasTexture = true;
#else
  vec4 tex = vec4(1.0);
  const bool hasTexture = false;
#endif
  vec4 c;
  if (ColorOp == 1) {
    c = vDiffuse;
  } else {
    c.rgb = (!hasTexture && ReadsTexture(ColorOp, ColorArg1, ColorArg2))
                ? vDiffuse.rgb
                : Op(ColorOp, Arg(ColorArg1, tex), Arg(ColorArg2, tex)).rgb;
    c.a = (AlphaOp == 1 || (!hasTexture && ReadsTexture(AlphaOp, AlphaArg1, AlphaArg2)))
              ? vDiffuse.a
              : Op(AlphaOp, Arg(AlphaArg1, tex), Arg(AlphaArg2, tex)).a;
  }
#if SPECULAR
  c.rgb = min(c.rgb + vSpecular.rgb, 1.0);
#endif
#if ALPHA_FUNC
  float a = floor(c.a * 255.0 + 0.5);
  bool passes = AlphaFunc == 2 ? a < uAlphaRef
              : AlphaFunc == 3 ? a == uAlphaRef
              : AlphaFunc == 4 ? a <= uAlphaRef
              : AlphaFunc == 5 ? a > uAlphaRef
              : AlphaFunc == 6 ? a != uAlphaRef
              : AlphaFunc == 7 ? a >= uAlphaRef
              : false;  // NEVER
  if (!passes) discard;
#endif
  fragColor = c;
}
)";

GLuint Compile(GLenum type, const std::string& defines, const char* body) {
  const std::string source = "#version 330 core\n" + defines + body;
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


// DISABLE .. ADD as they are; the rest the shader draws as MODULATE.
uint8_t CanonicalOp(uint32_t op) { return op >= 1 && op <= 7 ? static_cast<uint8_t>(op) : 4; }

// TEXTURE, TFACTOR and SPECULAR as they are; DIFFUSE and CURRENT (the same at
// stage 0) and anything else as DIFFUSE. Modifier bits are not drawn.
uint8_t CanonicalArg(uint32_t arg) {
  const uint32_t which = arg & 15;
  return which >= 2 && which <= 4 ? static_cast<uint8_t>(which) : 0;
}

// An operation's arguments as it reads them: the one SELECTARG ignores is 0.
void CanonicalStage(uint32_t op, uint32_t arg1, uint32_t arg2, uint8_t& outOp, uint8_t& outArg1, uint8_t& outArg2) {
  outOp = CanonicalOp(op);
  outArg1 = outOp == 1 || outOp == 3 ? 0 : CanonicalArg(arg1);
  outArg2 = outOp == 1 || outOp == 2 ? 0 : CanonicalArg(arg2);
}

}  // namespace

uint64_t TProgramKey::Packed() const {
  return static_cast<uint64_t>(Lighting) | static_cast<uint64_t>(Specular) << 1 | static_cast<uint64_t>(Texture) << 2 |
         static_cast<uint64_t>(ColorOp) << 3 | static_cast<uint64_t>(ColorArg1) << 6 |
         static_cast<uint64_t>(ColorArg2) << 9 | static_cast<uint64_t>(AlphaOp) << 12 |
         static_cast<uint64_t>(AlphaArg1) << 15 | static_cast<uint64_t>(AlphaArg2) << 18 |
         static_cast<uint64_t>(AlphaFunc) << 21 | static_cast<uint64_t>(LightCount) << 24 |
         static_cast<uint64_t>(PointLights) << 28 | static_cast<uint64_t>(Normalize) << 36 |
         static_cast<uint64_t>(LocalViewer) << 37;
}

TProgramKey WithLights(TProgramKey key, int count, uint8_t pointMask, bool normalize, bool localViewer) {
  if (!key.Lighting) return key;
  key.LightCount = static_cast<uint8_t>(count < 0 ? 0 : count > MaxShaderLights ? MaxShaderLights : count);
  // Bits beyond the count name no light.
  key.PointLights = static_cast<uint8_t>(pointMask & ((1u << key.LightCount) - 1));
  key.Normalize = normalize;
  key.LocalViewer = localViewer;
  return key;
}

TProgramKey MakeProgramKey(bool lighting, bool specular, bool texture, uint32_t colorOp, uint32_t colorArg1,
                           uint32_t colorArg2, uint32_t alphaOp, uint32_t alphaArg1, uint32_t alphaArg2,
                           bool alphaTest, uint32_t alphaFunc) {
  TProgramKey k;
  k.Lighting = lighting;
  k.Specular = lighting && specular;
  k.Texture = texture;
  CanonicalStage(colorOp, colorArg1, colorArg2, k.ColorOp, k.ColorArg1, k.ColorArg2);
  // A disabled stage passes its input whole, alpha included.
  if (k.ColorOp == 1)
    k.AlphaOp = 1;
  else
    CanonicalStage(alphaOp, alphaArg1, alphaArg2, k.AlphaOp, k.AlphaArg1, k.AlphaArg2);
  // ALWAYS and values outside the comparison functions let every pixel through.
  k.AlphaFunc = alphaTest && alphaFunc >= 1 && alphaFunc <= 7 ? static_cast<uint8_t>(alphaFunc) : 0;
  return k;
}

GLuint BuildProgram(const TProgramKey& key, TUniforms& u) {
  auto define = [](const char* name, int value) {
    return std::string("#define ") + name + " " + std::to_string(value) + "\n";
  };
  const std::string common = define("LIGHTING", key.Lighting) + define("SPECULAR", key.Specular);
  const GLuint vs = Compile(GL_VERTEX_SHADER,
                            common + define("MAX_LIGHTS", MaxShaderLights) + define("LIGHT_COUNT", key.LightCount) +
                                define("POINT_LIGHTS", key.PointLights) + define("NORMALIZE", key.Normalize) +
                                define("LOCAL_VIEWER", key.LocalViewer),
                            VertexSource);
  const GLuint fs =
      Compile(GL_FRAGMENT_SHADER,
              common + define("TEXTURE", key.Texture) + define("COLOR_OP", key.ColorOp) +
                  define("COLOR_ARG1", key.ColorArg1) + define("COLOR_ARG2", key.ColorArg2) +
                  define("ALPHA_OP", key.AlphaOp) + define("ALPHA_ARG1", key.AlphaArg1) +
                  define("ALPHA_ARG2", key.AlphaArg2) + define("ALPHA_FUNC", key.AlphaFunc),
              FragmentSource);
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
  u.LightVector = at("uLightVector");
  u.LightDiffuse = at("uLightDiffuse");
  u.LightSpecular = at("uLightSpecular");
  u.LightAmbient = at("uLightAmbient");
  u.LightAttenuation = at("uLightAttenuation");
  u.Texture = at("uTexture");
  u.AlphaRef = at("uAlphaRef");
  return program;
}

}  // namespace d3d8gl
