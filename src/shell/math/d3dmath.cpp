// Vector, matrix, colour and material helpers.
#include "shell/math/d3dmath.h"

#include <cmath>

namespace {
D3DMATRIX MakeIdentity() {
  D3DMATRIX m{};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}
}  // namespace

const D3DMATRIX ZeroMatrix{};
const D3DMATRIX IdentityMatrix = MakeIdentity();

D3DVECTOR MakeVector(float x, float y, float z) { return {x, y, z}; }
D3DVECTOR VecAdd(const D3DVECTOR& a, const D3DVECTOR& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
D3DVECTOR VecSubtract(const D3DVECTOR& a, const D3DVECTOR& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3DVECTOR VecScale(const D3DVECTOR& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
D3DVECTOR VecDivide(const D3DVECTOR& v, float s) { return {v.x / s, v.y / s, v.z / s}; }
float VecLength(const D3DVECTOR& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
float VecDot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3DVECTOR VecCross(const D3DVECTOR& a, const D3DVECTOR& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

D3DMATRIX MatrixMultiply(const D3DMATRIX& A, const D3DMATRIX& B) {
  // Each element summed from zero in k order, as always (the same rounding),
  // a row at a time from locals so that the compiler keeps them in registers.
  D3DMATRIX r;
  for (int i = 0; i < 4; ++i) {
    const float b0 = B.m[i][0], b1 = B.m[i][1], b2 = B.m[i][2], b3 = B.m[i][3];
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = (((0.0f + b0 * A.m[0][j]) + b1 * A.m[1][j]) + b2 * A.m[2][j]) + b3 * A.m[3][j];
  }
  return r;
}

D3DMATRIX MatrixTranslation(const D3DVECTOR& v) {
  D3DMATRIX m = IdentityMatrix;
  m._41 = v.x;
  m._42 = v.y;
  m._43 = v.z;
  return m;
}

D3DMATRIX MatrixScaling(float sx, float sy, float sz) {
  D3DMATRIX m = IdentityMatrix;
  m._11 = sx;
  m._22 = sy;
  m._33 = sz;
  return m;
}

D3DMATRIX MatrixScaling(const D3DVECTOR& v) { return MatrixScaling(v.x, v.y, v.z); }

D3DMATRIX MatrixRotationX(float t) {
  D3DMATRIX m = IdentityMatrix;
  const float c = std::cos(t), s = std::sin(t);
  m._22 = c;
  m._23 = s;
  m._32 = -s;
  m._33 = c;
  return m;
}

D3DMATRIX MatrixRotationY(float t) {
  D3DMATRIX m = IdentityMatrix;
  const float c = std::cos(t), s = std::sin(t);
  m._11 = c;
  m._13 = -s;
  m._31 = s;
  m._33 = c;
  return m;
}

D3DMATRIX MatrixRotationZ(float t) {
  D3DMATRIX m = IdentityMatrix;
  const float c = std::cos(t), s = std::sin(t);
  m._11 = c;
  m._12 = s;
  m._21 = -s;
  m._22 = c;
  return m;
}

HRESULT MatrixView(D3DMATRIX& out, const D3DVECTOR& from, const D3DVECTOR& at, const D3DVECTOR& worldUp) {
  D3DVECTOR view = VecSubtract(at, from);
  float len = VecLength(view);
  if (len < 1e-6f) return E_INVALIDARG;
  view = VecDivide(view, len);

  D3DVECTOR up = VecSubtract(worldUp, VecScale(view, VecDot(worldUp, view)));
  if (VecLength(up) < 1e-6f) {
    up = VecSubtract(MakeVector(0, 1, 0), VecScale(view, view.y));
    if (VecLength(up) < 1e-6f) {
      up = VecSubtract(MakeVector(0, 0, 1), VecScale(view, view.z));
      if (VecLength(up) < 1e-6f) return E_INVALIDARG;
    }
  }
  up = VecDivide(up, VecLength(up));
  const D3DVECTOR right = VecCross(up, view);

  D3DMATRIX m = IdentityMatrix;
  m._11 = right.x; m._12 = up.x; m._13 = view.x;
  m._21 = right.y; m._22 = up.y; m._23 = view.y;
  m._31 = right.z; m._32 = up.z; m._33 = view.z;
  m._41 = -VecDot(from, right);
  m._42 = -VecDot(from, up);
  m._43 = -VecDot(from, view);
  out = m;
  return D3D_OK;
}

HRESULT MatrixProjection(D3DMATRIX& out, float fov, float aspect, float nearPlane, float farPlane) {
  if (std::fabs(farPlane - nearPlane) < 0.01f) return E_INVALIDARG;
  if (std::fabs(std::sin(fov / 2)) < 0.01f) return E_INVALIDARG;
  const float h = std::cos(fov / 2) / std::sin(fov / 2);
  const float w = aspect * h;
  const float q = farPlane / (farPlane - nearPlane);
  D3DMATRIX m = ZeroMatrix;
  m._11 = w;
  m._22 = h;
  m._33 = q;
  m._34 = 1.0f;
  m._43 = -q * nearPlane;
  out = m;
  return D3D_OK;
}

D3DCOLOR ColorARGB(int a, int r, int g, int b) {
  return (static_cast<D3DCOLOR>(a & 0xFF) << 24) | (static_cast<D3DCOLOR>(r & 0xFF) << 16) |
         (static_cast<D3DCOLOR>(g & 0xFF) << 8) | static_cast<D3DCOLOR>(b & 0xFF);
}

D3DMATERIAL8 InitMaterial(float r, float g, float b, float a, float power) {
  D3DMATERIAL8 m{};
  m.Diffuse = m.Ambient = {r, g, b, a};
  m.Specular = {1, 1, 1, a};
  m.Power = power;
  return m;
}
