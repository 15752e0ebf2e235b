// The OpenGL 3.3 core device. Set* calls only change the shared device state;
// each DrawPrimitive compares that state with what GL last received and sends
// the differences, so a frame of many small draws costs few GL calls.
#include "platform/d3d8/gl/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/d3d8/device_common.h"
#include "platform/d3d8/gl/gl_shaders.h"
#include "platform/d3d8/picture_fit.h"

namespace d3d8gl {

namespace {

using d3d8::TMemTexture;
using d3d8::TMemVertexBuffer;

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX r{};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
  return r;
}

// Row vectors transform normals by the inverse transpose of the 3×3 part.
// Stored so that uploading it untransposed gives GLSL the same product.
void NormalMatrix(const D3DMATRIX& m, float out[9]) {
  const float a = m._11, b = m._12, c = m._13, d = m._21, e = m._22, f = m._23, g = m._31, h = m._32, k = m._33;
  const float co00 = e * k - f * h, co01 = -(d * k - f * g), co02 = d * h - e * g;
  const float co10 = -(b * k - c * h), co11 = a * k - c * g, co12 = -(a * h - b * g);
  const float co20 = b * f - c * e, co21 = -(a * f - c * d), co22 = a * e - b * d;
  const float det = a * co00 + b * co01 + c * co02;
  if (std::fabs(det) < 1e-30f) {
    // A flattened object (scale 0) has no usable normals; keep them finite.
    const float same[9] = {a, b, c, d, e, f, g, h, k};
    std::memcpy(out, same, sizeof same);
    return;
  }
  // inverse = adjugate / det = cofactorᵀ / det, so its transpose is cofactor / det.
  const float inv = 1.0f / det;
  const float r[9] = {co00 * inv, co01 * inv, co02 * inv, co10 * inv, co11 * inv,
                      co12 * inv, co20 * inv, co21 * inv, co22 * inv};
  std::memcpy(out, r, sizeof r);
}

D3DVECTOR TransformPoint(const D3DVECTOR& p, const D3DMATRIX& m) {
  return {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41, p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
          p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
}

D3DVECTOR TransformDirection(const D3DVECTOR& p, const D3DMATRIX& m) {
  return {p.x * m._11 + p.y * m._21 + p.z * m._31, p.x * m._12 + p.y * m._22 + p.z * m._32,
          p.x * m._13 + p.y * m._23 + p.z * m._33};
}

GLenum BlendFactor(DWORD d3d) {
  switch (d3d) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case 11: return GL_SRC_ALPHA_SATURATE;  // D3DBLEND_SRCALPHASAT
  }
  return GL_ONE;
}

GLenum CompareFunc(DWORD d3d) {
  switch (d3d) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
  }
  return GL_ALWAYS;
}

GLint MinFilter(DWORD min, DWORD mip) {
  const bool linear = min >= D3DTEXF_LINEAR;
  if (mip == D3DTEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
  if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

GLint Wrap(DWORD address) {
  if (address == D3DTADDRESS_MIRROR) return GL_MIRRORED_REPEAT;
  if (address == D3DTADDRESS_CLAMP) return GL_CLAMP_TO_EDGE;
  return GL_REPEAT;
}

// The lights as the shader takes them: those that reach the draw, in camera space.
struct TLightBlock {
  GLint Count = 0;
  float Vector[MaxShaderLights][3]{};
  float Diffuse[MaxShaderLights][4]{}, Specular[MaxShaderLights][4]{}, Ambient[MaxShaderLights][4]{};
  float Attenuation[MaxShaderLights][4]{};

  bool operator==(const TLightBlock& o) const { return std::memcmp(this, &o, sizeof *this) == 0; }
};

void CopyColor(float out[4], const D3DCOLORVALUE& c) {
  out[0] = c.r;
  out[1] = c.g;
  out[2] = c.b;
  out[3] = c.a;
}

// A sphere holding every position of a vertex range, in model space.
struct TSphere {
  D3DVECTOR Centre{};
  float Radius = 0;
  bool Known = false;  // false when a position is not finite: nothing can be ruled out
};

TSphere BoundingSphere(const BYTE* bytes, UINT start, UINT count) {
  TSphere s;
  if (count == 0) return s;
  float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (UINT v = start; v < start + count; ++v) {
    float p[3];
    std::memcpy(p, bytes + static_cast<size_t>(v) * d3d8::VertexSize, sizeof p);
    for (int k = 0; k < 3; ++k) {
      if (!std::isfinite(p[k])) return s;
      lo[k] = std::min(lo[k], p[k]);
      hi[k] = std::max(hi[k], p[k]);
    }
  }
  s.Centre = {(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
  float farthest = 0;
  for (UINT v = start; v < start + count; ++v) {
    float p[3];
    std::memcpy(p, bytes + static_cast<size_t>(v) * d3d8::VertexSize, sizeof p);
    const float dx = p[0] - s.Centre.x, dy = p[1] - s.Centre.y, dz = p[2] - s.Centre.z;
    farthest = std::max(farthest, dx * dx + dy * dy + dz * dz);
  }
  s.Radius = std::sqrt(farthest);
  s.Known = std::isfinite(s.Radius);
  return s;
}

// Last values sent to one uniform, so that unchanged ones are not resent.
struct TIntCache {
  GLint Value = INT_MIN;
  void Send(GLint location, GLint v) {
    if (v == Value) return;
    Value = v;
    glUniform1i(location, v);
  }
};

struct TFloatsCache {
  float Value[16];
  bool Valid = false;
  void Send(GLint location, const float* v, int n) {
    if (Valid && std::memcmp(Value, v, sizeof(float) * n) == 0) return;
    std::memcpy(Value, v, sizeof(float) * n);
    Valid = true;
    switch (n) {
      case 1: glUniform1f(location, v[0]); break;
      case 2: glUniform2fv(location, 1, v); break;
      case 3: glUniform3fv(location, 1, v); break;
      case 4: glUniform4fv(location, 1, v); break;
      case 9: glUniformMatrix3fv(location, 1, GL_FALSE, v); break;
      case 16: glUniformMatrix4fv(location, 1, GL_FALSE, v); break;
    }
  }
};

// One compiled variant and what it was last sent: GL keeps uniform values per
// program, so each variant has its own record.
struct TProgram {
  TProgramKey Key;
  GLuint Name = 0;
  TUniforms U{};
  D3DMATRIX LastWorld{}, LastView{};
  bool MatricesValid = false;
  TLightBlock Lights;
  bool LightsValid = false;
  TFloatsCache WorldView, NormalCache, Projection, PixelShift, MatDiffuse, MatAmbient, MatSpecular, MatEmissive,
      MatPower, GlobalAmbient, AlphaRef;
  TIntCache ColorVertex, DiffuseSource, AmbientSource, SpecularSource, EmissiveSource;
};

class TGLDevice final : public d3d8::TDevice {
 public:
  TGLDevice(SDL_Window* window, SDL_GLContext context, const D3DPRESENT_PARAMETERS& params, bool madeFullscreen)
      : TDevice(params.EnableAutoDepthStencil != FALSE),
        Window(window),
        Context(context),
        AutoDepth(params.EnableAutoDepthStencil != FALSE),
        MadeFullscreen(madeFullscreen) {}

  bool InitGL() {
    // The plainest variant proves the shaders compile here.
    if (!UseProgram(TProgramKey{})) return false;
    glGenVertexArrays(1, &Vao);
    glBindVertexArray(Vao);
    for (GLuint a : {AttrPosition, AttrNormal, AttrDiffuse, AttrTexCoord}) glEnableVertexAttribArray(a);
    glGenSamplers(1, &Sampler);
    glBindSampler(0, Sampler);
    glActiveTexture(GL_TEXTURE0);
    // GL starts dithering and with its own idea of winding; Direct3D 8 doesn't dither
    // and decides culling by the winding seen on screen.
    glDisable(GL_DITHER);
    glFrontFace(GL_CW);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    UpdateViewport();
    return glGetError() == GL_NO_ERROR;
  }

  HRESULT Clear(DWORD Count, const void* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD) override {
    if (Count != 0 || pRects) return D3DERR_INVALIDCALL;  // the game clears whole buffers only
    if ((Flags & D3DCLEAR_ZBUFFER) && !AutoDepth) return D3DERR_INVALIDCALL;
    MakeCurrent();
    UpdateViewport();
    if (Flags & D3DCLEAR_TARGET) ClearBars();
    GLbitfield mask = 0;
    if (Flags & D3DCLEAR_TARGET) {
      glClearColor(static_cast<float>((Color >> 16) & 0xFF) / 255.0f, static_cast<float>((Color >> 8) & 0xFF) / 255.0f,
                   static_cast<float>(Color & 0xFF) / 255.0f, static_cast<float>(Color >> 24) / 255.0f);
      mask |= GL_COLOR_BUFFER_BIT;
    }
    if (Flags & D3DCLEAR_ZBUFFER) {
      SetDepthMask(true);  // GL's clear obeys the depth write mask
      glClearDepth(std::clamp(Z, 0.0f, 1.0f));
      mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask) glClear(mask);
    return D3D_OK;
  }

  HRESULT BeginScene() override {
    const HRESULT hr = TDevice::BeginScene();
    if (SUCCEEDED(hr)) {
      MakeCurrent();
      UpdateViewport();
    }
    return hr;
  }

  HRESULT Present(const void*, const void*, HWND, const void*) override {
    MakeCurrent();
    SDL_GL_SwapWindow(Window);
    return D3D_OK;
  }

  HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override {
    const HRESULT hr = CheckDraw(PrimitiveType, StartVertex, PrimitiveCount);
    if (FAILED(hr)) return hr;
    MakeCurrent();
    ApplyStream();
    ApplyTexture();
    ApplyFixedState();
    const UINT count = d3d8::VertexCount(PrimitiveType, PrimitiveCount);
    if (S.RenderStates[D3DRS_LIGHTING] != FALSE) CollectLights(StartVertex, count);
    if (!UseProgram(CurrentKey())) return D3DERR_DRIVERINTERNALERROR;
    ApplyUniforms();
    if (PrimitiveType == D3DPT_TRIANGLELIST) {
      if (const GLsizeiptr offset = SharedVertexIndices(StartVertex, count); offset >= 0) {
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT, reinterpret_cast<void*>(offset));
        return D3D_OK;
      }
    }
    glDrawArrays(PrimitiveType == D3DPT_TRIANGLESTRIP ? GL_TRIANGLE_STRIP : GL_TRIANGLES,
                 static_cast<GLint>(StartVertex), static_cast<GLsizei>(count));
    return D3D_OK;
  }

  HRESULT SetPictureAspect(UINT Width, UINT Height) override {
    const HRESULT hr = TDevice::SetPictureAspect(Width, Height);
    DrawableW = DrawableH = -1;  // fit again at the next Clear or BeginScene
    return hr;
  }

  HRESULT GetBackBufferSize(UINT* pWidth, UINT* pHeight) override {
    if (!pWidth || !pHeight) return D3DERR_INVALIDCALL;
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Window, &w, &h);
    *pWidth = static_cast<UINT>(std::max(w, 0));
    *pHeight = static_cast<UINT>(std::max(h, 0));
    return D3D_OK;
  }

  // GL has its own copy of every level (in process memory, with a software
  // driver): take the written level now and free ours. Locking it again
  // reads it back.
  void TextureUnlocked(TMemTexture* t, UINT level) override {
    MakeCurrent();
    TGLTexture& gl = BindGLTexture(t);
    UploadLevel(t, gl, level);
    t->ReleasePixels(level);
  }

  bool DerivesLevelsOnDemand() const override { return true; }

  bool ReadTextureLevel(TMemTexture* t, UINT level, std::vector<DWORD>& out) override {
    if (SDL_GL_MakeCurrent(Window, Context) != 0) return false;
    auto it = GLTextures.find(t);
    if (it == GLTextures.end() || level >= it->second.Uploaded.size() || !it->second.Uploaded[level]) return false;
    BindGLTexture(t);
    out.assign(static_cast<size_t>(t->Width(level)) * t->Height(level), 0);
    glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), GL_BGRA, GL_UNSIGNED_BYTE, out.data());
    return true;
  }

  void TextureDestroyed(TMemTexture* t) override {
    auto it = GLTextures.find(t);
    if (it == GLTextures.end()) return;
    MakeCurrent();
    if (BoundTexture == it->second.Name) BoundTexture = 0;
    glDeleteTextures(1, &it->second.Name);
    GLTextures.erase(it);
  }

  void VertexBufferDestroyed(TMemVertexBuffer* vb) override {
    auto it = GLBuffers.find(vb);
    if (it == GLBuffers.end()) return;
    MakeCurrent();
    if (BoundBuffer == vb) {
      BoundBuffer = nullptr;
      Bound = nullptr;
    }
    it->second.Delete();
    GLBuffers.erase(it);
  }

  HRESULT ReadPixels(UINT x, UINT y, UINT w, UINT h, std::vector<DWORD>& out) {
    UINT bw = 0, bh = 0;
    GetBackBufferSize(&bw, &bh);
    if (w == 0 || h == 0 || x > bw || y > bh || w > bw - x || h > bh - y) return D3DERR_INVALIDCALL;
    MakeCurrent();
    std::vector<DWORD> rows(static_cast<size_t>(w) * h);
    glReadBuffer(GL_BACK);
    glReadPixels(static_cast<GLint>(x), static_cast<GLint>(bh - y - h), static_cast<GLsizei>(w),
                 static_cast<GLsizei>(h), GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    out.resize(rows.size());
    for (UINT r = 0; r < h; ++r)  // GL's rows run bottom-up
      std::memcpy(&out[static_cast<size_t>(r) * w], &rows[static_cast<size_t>(h - 1 - r) * w], w * sizeof(DWORD));
    return D3D_OK;
  }

 protected:
  ~TGLDevice() override {
    const bool current = SDL_GL_MakeCurrent(Window, Context) == 0;
    DetachAll();  // brings released texture levels back from GL first
    if (current) {
      for (auto& [tex, gl] : GLTextures) glDeleteTextures(1, &gl.Name);
      for (auto& [vb, buffer] : GLBuffers) buffer.Delete();
      if (Sampler) glDeleteSamplers(1, &Sampler);
      if (Vao) glDeleteVertexArrays(1, &Vao);
      for (auto& [key, program] : Programs)
        if (program.Name) glDeleteProgram(program.Name);
    }
    SDL_GL_MakeCurrent(Window, nullptr);
    SDL_GL_DeleteContext(Context);
    if (MadeFullscreen) SDL_SetWindowFullscreen(Window, 0);
  }

 private:
  struct TGLTexture {
    GLuint Name = 0;
    std::vector<bool> Uploaded;  // per level: GL has its pixels
    bool WholeChain = false;     // the maximum level is the last, not the first
  };

  // A vertex buffer's GL copy, and the element buffer of its indexed ranges.
  struct TGLBuffer {
    GLuint Vertices = 0, Elements = 0;
    std::vector<GLuint> Indices;                              // what Elements holds
    std::map<std::pair<UINT, UINT>, GLsizeiptr> Ranges;       // (start, count) -> offset in Elements
    std::set<std::pair<UINT, UINT>> Rewrites;                 // ranges drawn unindexed from now on
    std::map<std::pair<UINT, UINT>, TSphere> Bounds;          // (start, count) -> its positions' sphere

    // Vertices [begin, end) changed: ranges over them lose their indices and bounds.
    void Rewritten(UINT begin, UINT end) {
      for (auto b = Bounds.begin(); b != Bounds.end();) {
        const auto [start, count] = b->first;
        b = start < end && begin < start + count ? Bounds.erase(b) : std::next(b);
      }
      for (auto r = Ranges.begin(); r != Ranges.end();) {
        const auto [start, count] = r->first;
        if (start < end && begin < start + count) {
          Rewrites.insert(r->first);
          r = Ranges.erase(r);
        } else {
          ++r;
        }
      }
    }

    void Delete() {
      if (Vertices) glDeleteBuffers(1, &Vertices);
      if (Elements) glDeleteBuffers(1, &Elements);
    }
  };

  void MakeCurrent() {
    if (SDL_GL_GetCurrentContext() != Context) SDL_GL_MakeCurrent(Window, Context);
  }

  // The viewport follows the drawable: the whole of it, or the picture's
  // shape fitted into it. Outside the picture the scissor keeps every draw
  // and clear off the bars.
  void UpdateViewport() {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(Window, &w, &h);
    if (w == DrawableW && h == DrawableH) return;
    DrawableW = w;
    DrawableH = h;
    Picture = FitPicture(w, h, static_cast<int>(PictureAspectW), static_cast<int>(PictureAspectH));
    ViewportW = Picture.Width;
    ViewportH = Picture.Height;
    // GL counts rows from the bottom.
    const GLint y = h - Picture.Y - Picture.Height;
    glViewport(Picture.X, y, Picture.Width, Picture.Height);
    Bars = !(Picture == TPictureRect{0, 0, w, h});
    if (Bars) {
      glScissor(Picture.X, y, Picture.Width, Picture.Height);
      glEnable(GL_SCISSOR_TEST);
    } else {
      glDisable(GL_SCISSOR_TEST);
    }
  }

  // Paints the bars black: each frame, as a swap leaves the back buffer undefined.
  void ClearBars() {
    if (!Bars) return;
    const int w = DrawableW, h = DrawableH;
    const TPictureRect& p = Picture;
    const GLint pictureY = h - p.Y - p.Height;  // GL counts rows from the bottom
    auto clearBox = [](GLint x, GLint y, GLsizei bw, GLsizei bh) {
      if (bw <= 0 || bh <= 0) return;
      glScissor(x, y, bw, bh);
      glClear(GL_COLOR_BUFFER_BIT);
    };
    glClearColor(0, 0, 0, 1);
    if (p.X > 0) {
      clearBox(0, 0, p.X, h);
      clearBox(p.X + p.Width, 0, w - p.X - p.Width, h);
    } else {
      clearBox(0, 0, w, pictureY);
      clearBox(0, pictureY + p.Height, w, h - pictureY - p.Height);
    }
    glScissor(p.X, pictureY, p.Width, p.Height);
  }

  void SetDepthMask(bool on) {
    if (DepthMask == static_cast<int>(on)) return;
    DepthMask = on;
    glDepthMask(on ? GL_TRUE : GL_FALSE);
  }

  void Toggle(GLenum cap, bool on, int& cache) {
    if (cache == static_cast<int>(on)) return;
    cache = on;
    if (on)
      glEnable(cap);
    else
      glDisable(cap);
  }

  void ApplyStream() {
    TMemVertexBuffer* vb = OwnVertexBuffer(S.Stream);  // CheckDraw made sure it is ours
    auto [it, created] = GLBuffers.try_emplace(vb);
    TGLBuffer& buffer = it->second;
    if (created) {
      glGenBuffers(1, &buffer.Vertices);
      glBindBuffer(GL_ARRAY_BUFFER, buffer.Vertices);
      glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vb->Bytes().size()), vb->Bytes().data(), GL_DYNAMIC_DRAW);
      vb->DirtyBegin = vb->DirtyEnd = 0;
    }
    if (BoundBuffer != vb) {
      BoundBuffer = vb;
      Bound = &buffer;
      glBindBuffer(GL_ARRAY_BUFFER, buffer.Vertices);
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer.Elements);  // part of the vertex array's state
      const GLsizei stride = d3d8::VertexSize;
      glVertexAttribPointer(AttrPosition, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(0));
      glVertexAttribPointer(AttrNormal, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(12));
      // D3DCOLOR is B, G, R, A in memory.
      glVertexAttribPointer(AttrDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(24));
      glVertexAttribPointer(AttrTexCoord, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(28));
    }
    if (vb->DirtyEnd > vb->DirtyBegin) {
      glBufferSubData(GL_ARRAY_BUFFER, vb->DirtyBegin, vb->DirtyEnd - vb->DirtyBegin, vb->Bytes().data() + vb->DirtyBegin);
      buffer.Rewritten(vb->DirtyBegin / d3d8::VertexSize,
                       (vb->DirtyEnd + d3d8::VertexSize - 1) / d3d8::VertexSize);
      vb->DirtyBegin = vb->DirtyEnd = 0;
    }
  }

  // A model drawn as a triangle list repeats each vertex in every triangle
  // that shares it; a software vertex stage shades every repeat. Drawn
  // through indices that name each distinct vertex of the range once, it
  // shades each once. Returns the byte offset of the range's indices in the
  // element buffer, or -1 to draw the range as it is (small, or rewritten
  // since: ranges the game keeps rewriting are not worth indexing).
  GLsizeiptr SharedVertexIndices(UINT start, UINT count) {
    constexpr UINT SmallestIndexed = 48;
    TGLBuffer& buffer = *Bound;
    if (count < SmallestIndexed) return -1;
    const auto key = std::make_pair(start, count);
    if (auto found = buffer.Ranges.find(key); found != buffer.Ranges.end()) return found->second;
    if (buffer.Rewrites.count(key)) return -1;

    const BYTE* bytes = BoundBuffer->Bytes().data();
    std::unordered_map<uint64_t, UINT> first;  // vertex hash -> first vertex with it
    const size_t at = buffer.Indices.size();
    for (UINT v = start; v < start + count; ++v) {
      const BYTE* vertex = bytes + static_cast<size_t>(v) * d3d8::VertexSize;
      uint64_t hash = 1469598103934665603ull;  // FNV-1a
      for (UINT b = 0; b < d3d8::VertexSize; ++b) hash = (hash ^ vertex[b]) * 1099511628211ull;
      auto [same, added] = first.try_emplace(hash, v);
      const bool equal =
          !added && std::memcmp(bytes + static_cast<size_t>(same->second) * d3d8::VertexSize, vertex, d3d8::VertexSize) == 0;
      buffer.Indices.push_back(equal ? same->second : v);
    }
    if (!buffer.Elements) glGenBuffers(1, &buffer.Elements);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer.Elements);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(buffer.Indices.size() * sizeof(GLuint)),
                 buffer.Indices.data(), GL_STATIC_DRAW);
    const GLsizeiptr offset = static_cast<GLsizeiptr>(at * sizeof(GLuint));
    buffer.Ranges.emplace(key, offset);
    return offset;
  }

  // The enabled lights (the shader's first MaxShaderLights) that can reach a
  // vertex of the draw. A point light whose range ends short of the sphere
  // around the range's positions lights none of them, not even with its
  // ambient part, so the draw's program leaves it out: a frame of small
  // models near a short-range light shades most of them for one light less.
  void CollectLights(UINT start, UINT count) {
    DrawLightCount = 0;
    DrawPointLights = 0;
    bool placed = false;  // the sphere in camera space, worked out once a point light asks
    bool known = false;
    D3DVECTOR centre{};
    float reach = 0;
    int enabled = 0;
    for (DWORD i = 0; i < d3d8::LightCount && enabled < MaxShaderLights; ++i) {
      if (!S.LightEnabled[i]) continue;
      ++enabled;
      const D3DLIGHT8& l = S.Lights[i];
      const bool point = l.Type != D3DLIGHT_DIRECTIONAL;
      if (point) {
        if (!placed) {
          placed = true;
          const TSphere sphere = RangeSphere(start, count);
          const D3DMATRIX wv = Multiply(S.World, S.View);
          float stretch = 0;  // no vector grows by more than the 3×3 part's Frobenius norm
          for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) stretch += wv.m[r][c] * wv.m[r][c];
          centre = TransformPoint(sphere.Centre, wv);
          reach = sphere.Radius * std::sqrt(stretch);
          known = sphere.Known && std::isfinite(reach) && std::isfinite(centre.x) && std::isfinite(centre.y) &&
                  std::isfinite(centre.z);
        }
        if (known) {
          const D3DVECTOR lp = TransformPoint(l.Position, S.View);
          const float dx = lp.x - centre.x, dy = lp.y - centre.y, dz = lp.z - centre.z;
          const float gap = std::sqrt(dx * dx + dy * dy + dz * dz) - reach;
          // Well beyond, so the shader's own rounding could not have let a vertex in.
          if (std::isfinite(gap) && gap > l.Range * 1.001f + 1e-3f) continue;
        }
        DrawPointLights = static_cast<uint8_t>(DrawPointLights | 1u << DrawLightCount);
      }
      DrawLights[DrawLightCount++] = i;
    }
  }

  // The bounding sphere of a range of the bound buffer, kept until the range is rewritten.
  TSphere RangeSphere(UINT start, UINT count) {
    const auto key = std::make_pair(start, count);
    auto found = Bound->Bounds.find(key);
    if (found == Bound->Bounds.end())
      found = Bound->Bounds.emplace(key, BoundingSphere(BoundBuffer->Bytes().data(), start, count)).first;
    return found->second;
  }

  TProgramKey CurrentKey() {
    const auto& rs = S.RenderStates;
    const auto& st = S.StageStates[0];
    const TProgramKey stage =
        MakeProgramKey(rs[D3DRS_LIGHTING] != FALSE, rs[D3DRS_SPECULARENABLE] != FALSE,
                       OwnTexture(S.Textures[0]) != nullptr, st[D3DTSS_COLOROP], st[D3DTSS_COLORARG1],
                       st[D3DTSS_COLORARG2], st[D3DTSS_ALPHAOP], st[D3DTSS_ALPHAARG1], st[D3DTSS_ALPHAARG2],
                       rs[D3DRS_ALPHATESTENABLE] != FALSE, rs[D3DRS_ALPHAFUNC]);
    return WithLights(stage, DrawLightCount, DrawPointLights, rs[D3DRS_NORMALIZENORMALS] != FALSE,
                      rs[D3DRS_LOCALVIEWER] != FALSE);
  }

  // Makes the key's program current, building it on first use. A variant
  // that failed to build is remembered (Name 0) and not tried again.
  bool UseProgram(const TProgramKey& key) {
    const uint64_t packed = key.Packed();
    if (Current && Current->Key.Packed() == packed) return true;
    auto [it, created] = Programs.try_emplace(packed);
    TProgram& program = it->second;
    if (created) {
      program.Key = key;
      program.Name = BuildProgram(key, program.U);
      if (program.Name) {
        glUseProgram(program.Name);
        glUniform1i(program.U.Texture, 0);
      }
    }
    if (!program.Name) return false;
    if (!created) glUseProgram(program.Name);
    Current = &program;
    return true;
  }

  // The texture's GL copy, made on first use, bound.
  TGLTexture& BindGLTexture(TMemTexture* tex) {
    TGLTexture& gl = GLTextures[tex];
    const bool created = !gl.Name;
    if (created) glGenTextures(1, &gl.Name);
    if (BoundTexture != gl.Name) {
      BoundTexture = gl.Name;
      glBindTexture(GL_TEXTURE_2D, gl.Name);
    }
    if (created) {
      const GLint levels = static_cast<GLint>(tex->GetLevelCount());
      gl.Uploaded.assign(static_cast<size_t>(levels), false);
      // The first level only, until a level below it goes up: the driver
      // sets aside room for every level up to the maximum, and most
      // textures' lower levels are never sampled. Sampling takes its
      // filters from the sampler object, so a texture without its lower
      // levels is only ever sampled from the first.
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    return gl;
  }

  // Level l of the bound texture from the pixels in memory.
  static void UploadLevel(TMemTexture* tex, TGLTexture& gl, UINT l) {
    if (l > 0 && !gl.WholeChain) {
      gl.WholeChain = true;
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(gl.Uploaded.size()) - 1);
    }
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(l), GL_RGBA8, static_cast<GLsizei>(tex->Width(l)),
                 static_cast<GLsizei>(tex->Height(l)), 0, GL_BGRA, GL_UNSIGNED_BYTE, tex->Pixels(l).data());
    gl.Uploaded[l] = true;
  }

  void ApplyTexture() {
    TMemTexture* tex = OwnTexture(S.Textures[0]);
    if (!tex) return;
    TGLTexture& gl = BindGLTexture(tex);
    const auto& st = S.StageStates[0];
    // Levels never written go up as they are (cleared) on first use; the
    // levels below the first only when this draw samples them, derived ones
    // made then.
    const bool mipmapped = gl.Uploaded.size() > 1 && st[D3DTSS_MIPFILTER] != D3DTEXF_NONE;
    for (UINT l = 0; l < gl.Uploaded.size() && (l == 0 || mipmapped); ++l) {
      if (gl.Uploaded[l]) continue;
      if (!tex->MakeLevel(l)) break;
      UploadLevel(tex, gl, l);
      tex->ReleasePixels(l);
    }
    const GLint mag = st[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
    // A texture without its chain must not be sampled with mipmapping.
    const DWORD mip = tex->GetLevelCount() > 1 ? st[D3DTSS_MIPFILTER] : D3DTEXF_NONE;
    const GLint sampler[4] = {MinFilter(st[D3DTSS_MINFILTER], mip), mag, Wrap(st[D3DTSS_ADDRESSU]),
                              Wrap(st[D3DTSS_ADDRESSV])};
    if (std::memcmp(sampler, SamplerState, sizeof sampler) != 0) {
      std::memcpy(SamplerState, sampler, sizeof sampler);
      glSamplerParameteri(Sampler, GL_TEXTURE_MIN_FILTER, sampler[0]);
      glSamplerParameteri(Sampler, GL_TEXTURE_MAG_FILTER, sampler[1]);
      glSamplerParameteri(Sampler, GL_TEXTURE_WRAP_S, sampler[2]);
      glSamplerParameteri(Sampler, GL_TEXTURE_WRAP_T, sampler[3]);
    }
  }

  void ApplyFixedState() {
    const auto& rs = S.RenderStates;
    const bool blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    Toggle(GL_BLEND, blend, BlendOn);
    if (blend) {
      DWORD src = rs[D3DRS_SRCBLEND], dst = rs[D3DRS_DESTBLEND];
      if (src == 12 || src == 13) {  // D3DBLEND_BOTHSRCALPHA / BOTHINVSRCALPHA set both factors
        dst = src == 12 ? D3DBLEND_INVSRCALPHA : D3DBLEND_SRCALPHA;
        src = src == 12 ? D3DBLEND_SRCALPHA : D3DBLEND_INVSRCALPHA;
      }
      const GLenum s = BlendFactor(src), d = BlendFactor(dst);
      if (s != BlendSrc || d != BlendDst) {
        BlendSrc = s;
        BlendDst = d;
        glBlendFunc(s, d);
      }
    }
    const bool depth = AutoDepth && rs[D3DRS_ZENABLE] != FALSE;
    Toggle(GL_DEPTH_TEST, depth, DepthOn);
    if (depth) {
      SetDepthMask(rs[D3DRS_ZWRITEENABLE] != FALSE);
      const GLenum f = CompareFunc(rs[D3DRS_ZFUNC]);
      if (f != DepthFunc) {
        DepthFunc = f;
        glDepthFunc(f);
      }
    }
    const DWORD cull = rs[D3DRS_CULLMODE];
    Toggle(GL_CULL_FACE, cull == D3DCULL_CW || cull == D3DCULL_CCW, CullOn);
    if (cull == D3DCULL_CW || cull == D3DCULL_CCW) {
      // Front faces are the clockwise ones (glFrontFace(GL_CW)).
      const GLenum face = cull == D3DCULL_CCW ? GL_BACK : GL_FRONT;
      if (face != CullFace) {
        CullFace = face;
        glCullFace(face);
      }
    }
    const GLenum fill = rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                        : rs[D3DRS_FILLMODE] == D3DFILL_POINT   ? GL_POINT
                                                                : GL_FILL;
    if (fill != FillMode) {
      FillMode = fill;
      glPolygonMode(GL_FRONT_AND_BACK, fill);
    }
  }

  void ApplyUniforms() {
    const auto& rs = S.RenderStates;
    TProgram& p = *Current;
    const TUniforms& U = p.U;

    if (!p.MatricesValid || std::memcmp(&S.World, &p.LastWorld, sizeof p.LastWorld) != 0 ||
        std::memcmp(&S.View, &p.LastView, sizeof p.LastView) != 0) {
      p.LastWorld = S.World;
      p.LastView = S.View;
      p.MatricesValid = true;
      const D3DMATRIX wv = Multiply(S.World, S.View);
      p.WorldView.Send(U.WorldView, &wv._11, 16);
      if (p.Key.Lighting) {
        float normal[9];
        NormalMatrix(wv, normal);
        p.NormalCache.Send(U.NormalMatrix, normal, 9);
      }
    }
    p.Projection.Send(U.Projection, &S.Projection._11, 16);
    // Direct3D 8 puts pixel centres on integer coordinates, half a pixel from
    // OpenGL's: move the geometry by just under half a pixel (in NDC, a pixel
    // is 2 / size). Stopping short of the half keeps edges off the pixel
    // centres, so that the pixels on a shared edge go where Direct3D's
    // top-left rule puts them whatever GL's own tie rule is.
    constexpr float HalfPixel = 0.5f - 1.0f / 64.0f;
    const float shift[2] = {ViewportW > 0 ? 2.0f * HalfPixel / static_cast<float>(ViewportW) : 0.0f,
                            ViewportH > 0 ? -2.0f * HalfPixel / static_cast<float>(ViewportH) : 0.0f};
    p.PixelShift.Send(U.PixelShift, shift, 2);

    if (p.Key.Lighting) {
      p.ColorVertex.Send(U.ColorVertex, rs[D3DRS_COLORVERTEX] != FALSE);
      p.DiffuseSource.Send(U.DiffuseSource, static_cast<GLint>(rs[D3DRS_DIFFUSEMATERIALSOURCE]));
      p.AmbientSource.Send(U.AmbientSource, static_cast<GLint>(rs[D3DRS_AMBIENTMATERIALSOURCE]));
      p.SpecularSource.Send(U.SpecularSource, static_cast<GLint>(rs[D3DRS_SPECULARMATERIALSOURCE]));
      p.EmissiveSource.Send(U.EmissiveSource, static_cast<GLint>(rs[D3DRS_EMISSIVEMATERIALSOURCE]));
      p.MatDiffuse.Send(U.MatDiffuse, &S.Material.Diffuse.r, 4);
      p.MatAmbient.Send(U.MatAmbient, &S.Material.Ambient.r, 4);
      p.MatSpecular.Send(U.MatSpecular, &S.Material.Specular.r, 4);
      p.MatEmissive.Send(U.MatEmissive, &S.Material.Emissive.r, 4);
      p.MatPower.Send(U.MatPower, &S.Material.Power, 1);
      const DWORD ga = rs[D3DRS_AMBIENT];
      const float ambient[3] = {static_cast<float>((ga >> 16) & 0xFF) / 255.0f,
                                static_cast<float>((ga >> 8) & 0xFF) / 255.0f, static_cast<float>(ga & 0xFF) / 255.0f};
      p.GlobalAmbient.Send(U.GlobalAmbient, ambient, 3);
      ApplyLights(p);
    }
    if (p.Key.AlphaFunc) {
      const float ref = static_cast<float>(rs[D3DRS_ALPHAREF] & 0xFF);
      p.AlphaRef.Send(U.AlphaRef, &ref, 1);
    }
  }

  void ApplyLights(TProgram& p) {
    TLightBlock block;
    for (int n = 0; n < DrawLightCount; ++n) {
      const D3DLIGHT8& l = S.Lights[DrawLights[n]];
      block.Count = n + 1;
      if (l.Type == D3DLIGHT_DIRECTIONAL) {
        D3DVECTOR d = TransformDirection(l.Direction, S.View);
        const float len = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        if (len > 0) d = {-d.x / len, -d.y / len, -d.z / len};
        block.Vector[n][0] = d.x;
        block.Vector[n][1] = d.y;
        block.Vector[n][2] = d.z;
      } else {
        const D3DVECTOR p = TransformPoint(l.Position, S.View);
        block.Vector[n][0] = p.x;
        block.Vector[n][1] = p.y;
        block.Vector[n][2] = p.z;
      }
      CopyColor(block.Diffuse[n], l.Diffuse);
      CopyColor(block.Specular[n], l.Specular);
      CopyColor(block.Ambient[n], l.Ambient);
      block.Attenuation[n][0] = l.Attenuation0;
      block.Attenuation[n][1] = l.Attenuation1;
      block.Attenuation[n][2] = l.Attenuation2;
      block.Attenuation[n][3] = l.Range;
    }
    if (p.LightsValid && block == p.Lights) return;
    p.Lights = block;
    p.LightsValid = true;
    const TUniforms& U = p.U;
    if (block.Count == 0) return;
    glUniform3fv(U.LightVector, block.Count, &block.Vector[0][0]);
    glUniform4fv(U.LightDiffuse, block.Count, &block.Diffuse[0][0]);
    glUniform4fv(U.LightSpecular, block.Count, &block.Specular[0][0]);
    glUniform4fv(U.LightAmbient, block.Count, &block.Ambient[0][0]);
    glUniform4fv(U.LightAttenuation, block.Count, &block.Attenuation[0][0]);
  }

  SDL_Window* Window;
  SDL_GLContext Context;
  bool AutoDepth;
  bool MadeFullscreen;

  GLuint Vao = 0, Sampler = 0;
  std::unordered_map<uint64_t, TProgram> Programs;
  TProgram* Current = nullptr;
  DWORD DrawLights[MaxShaderLights]{};  // the draw's lights (CollectLights), indexes into S.Lights
  int DrawLightCount = 0;
  uint8_t DrawPointLights = 0;
  std::unordered_map<const TMemTexture*, TGLTexture> GLTextures;
  std::unordered_map<const TMemVertexBuffer*, TGLBuffer> GLBuffers;

  // What GL currently has (-1 / 0: not yet sent).
  int DrawableW = -1, DrawableH = -1;  // pixels, the drawable the viewport was fitted to
  int ViewportW = -1, ViewportH = -1;  // pixels, the picture's part of it
  TPictureRect Picture;
  bool Bars = false;  // the picture leaves bars to fill
  const TMemVertexBuffer* BoundBuffer = nullptr;
  TGLBuffer* Bound = nullptr;  // BoundBuffer's GL copy
  GLuint BoundTexture = 0;
  GLint SamplerState[4] = {-1, -1, -1, -1};
  int BlendOn = -1, DepthOn = -1, CullOn = -1, DepthMask = -1;
  GLenum BlendSrc = 0, BlendDst = 0, DepthFunc = 0, CullFace = 0, FillMode = 0;
};

// Full screen at the back buffer's size, the closest mode the display has.
bool EnterFullscreen(SDL_Window* window, UINT width, UINT height) {
  SDL_DisplayMode wanted{};
  wanted.w = static_cast<int>(width);
  wanted.h = static_cast<int>(height);
  SDL_DisplayMode mode{};
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  // The desktop's own size needs no mode change: the window covers the desktop.
  if (SDL_GetDesktopDisplayMode(display, &mode) == 0 && mode.w == wanted.w && mode.h == wanted.h)
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
  if (!SDL_GetClosestDisplayMode(display, &wanted, &mode)) return false;
  if (SDL_SetWindowDisplayMode(window, &mode) != 0) return false;
  return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
}

class TGLD3D final : public d3d8::TRefCounted<IDirect3D8> {
 public:
  HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override {
    if (!pMode || Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return D3DERR_NOTAVAILABLE;
    pMode->Width = static_cast<UINT>(mode.w);
    pMode->Height = static_cast<UINT>(mode.h);
    pMode->RefreshRate = static_cast<UINT>(mode.refresh_rate);
    pMode->Format = SDL_BITSPERPIXEL(mode.format) == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
    return D3D_OK;
  }

  HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD,
                       D3DPRESENT_PARAMETERS* pp, IDirect3DDevice8** ppDevice) override {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    *ppDevice = nullptr;
    if (!pp || Adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (DeviceType != D3DDEVTYPE_HAL && DeviceType != D3DDEVTYPE_REF) return D3DERR_INVALIDDEVICE;
    auto* window = static_cast<SDL_Window*>(pp->hDeviceWindow ? pp->hDeviceWindow : hFocusWindow);
    if (!window || !(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL)) return D3DERR_INVALIDCALL;
    if (!pp->Windowed && (pp->BackBufferWidth == 0 || pp->BackBufferHeight == 0)) return D3DERR_INVALIDCALL;

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) return D3DERR_NOTAVAILABLE;
    if (SDL_GL_MakeCurrent(window, context) != 0 || epoxy_gl_version() < 33) {
      SDL_GL_DeleteContext(context);
      return D3DERR_NOTAVAILABLE;
    }
    const bool fullscreen = !pp->Windowed;
    if (fullscreen && !EnterFullscreen(window, pp->BackBufferWidth, pp->BackBufferHeight)) {
      SDL_GL_DeleteContext(context);
      return D3DERR_NOTAVAILABLE;
    }
    // Drawing faster than the screen shows only burns the player's battery:
    // wait for the vertical blank, skipping the wait for a late frame where
    // the driver offers that (adaptive sync). Only IMMEDIATE never waits.
    if (pp->FullScreen_PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE)
      SDL_GL_SetSwapInterval(0);
    else if (SDL_GL_SetSwapInterval(-1) != 0)
      SDL_GL_SetSwapInterval(1);

    auto* device = new TGLDevice(window, context, *pp, fullscreen);
    if (!device->InitGL()) {
      device->Release();
      return D3DERR_NOTAVAILABLE;
    }
    *ppDevice = device;
    return D3D_OK;
  }
};

}  // namespace

}  // namespace d3d8gl

IDirect3D8* CreateGLDirect3D8() { return new d3d8gl::TGLD3D(); }

void D3D8PrepareWindowAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
}

HRESULT D3D8GLReadPixels(IDirect3DDevice8* Device, UINT X, UINT Y, UINT Width, UINT Height, std::vector<DWORD>& Pixels) {
  auto* gl = dynamic_cast<d3d8gl::TGLDevice*>(Device);
  return gl ? gl->ReadPixels(X, Y, Width, Height, Pixels) : D3DERR_INVALIDCALL;
}
