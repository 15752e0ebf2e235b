// The ceiling: what this machine's GL gives for a full-board frame. It draws
// the triangles of a recorded frame (voxarine-frame-mix writes them, already
// in clip space) with the frame's blend, depth and cull settings, textures
// of the frame's sizes and filters and the plainest shader, from one vertex
// buffer made once, as fast as it can. The game's frame rate beside this one
// says what the game spends beyond drawing.
//
//   voxarine-ceiling [--small-texture] <mix file> [width height [seconds]]
//
// --small-texture: every textured draw samples one 64 × 64 texture instead,
// which leaves out what sampling the frame's large pictures costs.
//
// Prints one "ceiling FPS: n" line a second (as the game's debug log does)
// and, at the end, the median.
#include <SDL.h>
#include <epoxy/gl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

struct TDraw {
  std::uint32_t First = 0, Count = 0;
  std::uint8_t Strip = 0, Flags = 0;
  std::int32_t Texture = -1;
  std::uint32_t FirstIndex = 0xFFFFFFFF;  // all ones: drawn unindexed
};

struct TTexture {
  std::uint32_t Width = 0, Height = 0, Levels = 0;
  std::uint8_t Mag = 0, Min = 0, Mip = 0;
};

struct TVertex {
  float X, Y, Z, W, U, V;
  std::uint32_t Color;
};

template <typename T>
bool Get(std::ifstream& in, T& value) {
  return static_cast<bool>(in.read(reinterpret_cast<char*>(&value), sizeof value));
}

bool ReadMix(const char* path, std::vector<TDraw>& draws, std::vector<TTexture>& textures,
             std::vector<TVertex>& vertices, std::vector<std::uint32_t>& indices) {
  std::ifstream in(path, std::ios::binary);
  char magic[7];
  if (!in.read(magic, 7) || std::memcmp(magic, "VXMIX3\n", 7) != 0) return false;
  std::uint32_t drawCount = 0, vertexCount = 0, textureCount = 0;
  if (!Get(in, drawCount) || !Get(in, vertexCount) || !Get(in, textureCount) || drawCount > 1000000 ||
      vertexCount > 50000000 || textureCount > 10000)
    return false;
  draws.resize(drawCount);
  for (TDraw& d : draws)
    if (!Get(in, d.First) || !Get(in, d.Count) || !Get(in, d.Strip) || !Get(in, d.Flags) || !Get(in, d.Texture) || !Get(in, d.FirstIndex) ||
        d.Texture < -1 || d.Texture >= static_cast<std::int32_t>(textureCount))
      return false;
  textures.resize(textureCount);
  for (TTexture& t : textures)
    if (!Get(in, t.Width) || !Get(in, t.Height) || !Get(in, t.Levels) || !Get(in, t.Mag) || !Get(in, t.Min) ||
        !Get(in, t.Mip) || t.Width == 0 || t.Height == 0 || t.Width > 16384 || t.Height > 16384 || t.Levels == 0 ||
        t.Levels > 15)
      return false;
  vertices.resize(vertexCount);
  if (!in.read(reinterpret_cast<char*>(vertices.data()), static_cast<std::streamsize>(vertexCount * sizeof(TVertex))))
    return false;
  std::uint32_t indexCount = 0;
  if (!Get(in, indexCount) || indexCount > 50000000) return false;
  indices.resize(indexCount);
  if (!in.read(reinterpret_cast<char*>(indices.data()), static_cast<std::streamsize>(indexCount * 4))) return false;
  if (std::any_of(indices.begin(), indices.end(), [&](std::uint32_t i) { return i >= vertexCount; })) return false;
  return std::all_of(draws.begin(), draws.end(), [&](const TDraw& d) {
    return d.FirstIndex == 0xFFFFFFFF ? d.First <= vertexCount && d.Count <= vertexCount - d.First
                                      : d.FirstIndex <= indexCount && d.Count <= indexCount - d.FirstIndex;
  });
}

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

const char* const VertexSource = R"(#version 330 core
layout(location = 0) in vec4 Position;
layout(location = 1) in vec2 TexCoord;
layout(location = 2) in vec4 Color;
out vec2 Uv;
out vec4 Tint;
void main() { gl_Position = Position; Uv = TexCoord; Tint = Color; }
)";

const char* const FragmentSource = R"(#version 330 core
in vec2 Uv;
in vec4 Tint;
uniform sampler2D Texture;
out vec4 FragColor;
void main() { FragColor = texture(Texture, Uv) * Tint; }
)";

void Toggle(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

}  // namespace

int main(int argc, char** argv) {
  const bool smallTexture = argc > 1 && std::strcmp(argv[1], "--small-texture") == 0;
  if (smallTexture) {
    --argc;
    ++argv;
  }
  if (argc != 2 && argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: voxarine-ceiling [--small-texture] <mix file> [width height [seconds]]\n");
    return 2;
  }
  std::vector<TDraw> draws;
  std::vector<TTexture> mixTextures;
  std::vector<TVertex> vertices;
  std::vector<std::uint32_t> indices;
  if (!ReadMix(argv[1], draws, mixTextures, vertices, indices)) {
    std::fprintf(stderr, "%s: not a frame mix (write one with voxarine-frame-mix)\n", argv[1]);
    return 1;
  }
  const int width = argc >= 4 ? std::atoi(argv[2]) : 800, height = argc >= 4 ? std::atoi(argv[3]) : 600;
  const int seconds = argc == 5 ? std::atoi(argv[4]) : 12;

  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "SDL: %s\n", SDL_GetError());
    return 1;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);  // as the game asks
  SDL_Window* window = SDL_CreateWindow("ceiling", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                        SDL_WINDOW_OPENGL);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
  if (!context) {
    std::fprintf(stderr, "no GL 3.3 window: %s\n", SDL_GetError());
    return 1;
  }
  SDL_GL_SetSwapInterval(0);

  const GLuint program = glCreateProgram();
  glAttachShader(program, Compile(GL_VERTEX_SHADER, VertexSource));
  glAttachShader(program, Compile(GL_FRAGMENT_SHADER, FragmentSource));
  glLinkProgram(program);
  glUseProgram(program);

  GLuint vao = 0, vbo = 0;
  glGenVertexArrays(1, &vao);
  glBindVertexArray(vao);
  glGenBuffers(1, &vbo);
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(TVertex)), vertices.data(),
               GL_STATIC_DRAW);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(TVertex), reinterpret_cast<void*>(0));
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(TVertex), reinterpret_cast<void*>(16));
  glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(TVertex), reinterpret_cast<void*>(24));
  for (GLuint a = 0; a < 3; ++a) glEnableVertexAttribArray(a);
  GLuint ebo = 0;
  glGenBuffers(1, &ebo);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ebo);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * 4), indices.data(), GL_STATIC_DRAW);

  // Textures of the frame's sizes and filtering (sampling a large picture
  // costs more than a small one), filled with a soft-edged pattern; draws
  // without a texture sample a white pixel.
  std::vector<GLuint> names(mixTextures.size() + 1);
  glGenTextures(static_cast<GLsizei>(names.size()), names.data());
  for (size_t i = 0; i <= mixTextures.size(); ++i) {
    const TTexture t = i < mixTextures.size() ? mixTextures[i] : TTexture{1, 1, 1, 0, 0, 0};
    glBindTexture(GL_TEXTURE_2D, names[i]);
    for (std::uint32_t l = 0; l < t.Levels; ++l) {
      const std::uint32_t w = std::max(1u, t.Width >> l), h = std::max(1u, t.Height >> l);
      std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h, 0xFFFFFFFF);
      for (std::uint32_t y = 0; y < h && t.Width > 1; ++y)
        for (std::uint32_t x = 0; x < w; ++x)
          pixels[y * w + x] = (static_cast<std::uint32_t>((x * 255 / w) ^ (y * 255 / h)) << 24) |
                              ((x * 255 / w) << 16) | ((y * 255 / h) << 8) | 0x80;
      glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(l), GL_RGBA8, static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0,
                   GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(t.Levels) - 1);
    const GLint min = t.Mip == 0   ? (t.Min ? GL_LINEAR : GL_NEAREST)
                      : t.Mip == 1 ? (t.Min ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST)
                                   : (t.Min ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, t.Mag ? GL_LINEAR : GL_NEAREST);
  }
  const GLuint white = names.back();
  if (smallTexture) {
    for (TDraw& d : draws)
      if (d.Texture >= 0) d.Texture = 0;
    const std::vector<std::uint32_t> pixels(64 * 64, 0xC0FFFFFF);
    glBindTexture(GL_TEXTURE_2D, names[0]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  }
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glFrontFace(GL_CW);  // as the game's device: Direct3D's winding
  glViewport(0, 0, width, height);

  // CPU time of all threads (llvmpipe's too) per frame, after the first
  // second: unlike the frame rate, it hardly moves with the machine's load.
  const auto cpuSeconds = [] {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
  };
  double cpuStart = 0;
  unsigned measuredFrames = 0;
  std::vector<int> rates;
  Uint32 start = SDL_GetTicks(), frames = 0;
  const Uint32 end = start + static_cast<Uint32>(seconds) * 1000;
  bool quit = false;
  while (!quit && SDL_GetTicks() < end) {
    SDL_Event event;
    while (SDL_PollEvent(&event))
      if (event.type == SDL_QUIT) quit = true;
    glDepthMask(GL_TRUE);
    glClearColor(0.13f, 0.35f, 0.02f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int flags = -1;
    GLuint bound = 0;
    for (const TDraw& d : draws) {
      const GLuint texture = d.Texture < 0 ? white : names[static_cast<size_t>(d.Texture)];
      if (texture != bound) glBindTexture(GL_TEXTURE_2D, bound = texture);
      if (d.Flags != flags) {  // only what changes, as a careful device would
        const int changed = flags < 0 ? 0xFF : flags ^ d.Flags;
        flags = d.Flags;
        if (changed & 1) Toggle(GL_BLEND, flags & 1);
        if (changed & 2) Toggle(GL_DEPTH_TEST, flags & 2);
        if (changed & 4) glDepthMask((flags & 4) ? GL_TRUE : GL_FALSE);
        if (changed & 24) {
          Toggle(GL_CULL_FACE, flags & 24);
          if (flags & 24) glCullFace((flags & 16) ? GL_BACK : GL_FRONT);
        }
      }
      if (d.FirstIndex != 0xFFFFFFFF)
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(d.Count), GL_UNSIGNED_INT,
                       reinterpret_cast<void*>(static_cast<uintptr_t>(d.FirstIndex) * 4));
      else
        glDrawArrays(d.Strip ? GL_TRIANGLE_STRIP : GL_TRIANGLES, static_cast<GLint>(d.First),
                     static_cast<GLsizei>(d.Count));
    }
    SDL_GL_SwapWindow(window);
    ++frames;
    const Uint32 now = SDL_GetTicks();
    if (now - start > 1000) {
      const int fps = static_cast<int>(frames * 1000.0 / (now - start) + 0.5);
      std::printf("ceiling FPS: %d\n", fps);
      std::fflush(stdout);
      if (rates.empty())
        cpuStart = cpuSeconds();
      else
        measuredFrames += frames;
      rates.push_back(fps);
      frames = 0;
      start = now;
    }
  }
  // The first second warms up, as the game's first frame-rate line does.
  if (rates.size() > 1) rates.erase(rates.begin());
  std::sort(rates.begin(), rates.end());
  if (!rates.empty()) std::printf("ceiling median FPS: %d\n", rates[(rates.size() - 1) / 2]);
  if (measuredFrames > 0)
    std::printf("ceiling CPU per frame: %.2f ms\n", (cpuSeconds() - cpuStart) * 1000.0 / measuredFrames);
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return rates.empty() ? 1 : 0;
}
