// Vectors, matrices, packed colours and materials shared by all 3D code.
// Direct3D conventions: row vectors (v·M), left-handed, translation in row 4.
// Pure functions, no state, no allocation.
#pragma once

#include "platform/d3d8/d3d8.h"

extern const D3DMATRIX ZeroMatrix;
extern const D3DMATRIX IdentityMatrix;

D3DVECTOR MakeVector(float x, float y, float z);
D3DVECTOR VecAdd(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR VecSubtract(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR VecScale(const D3DVECTOR& v, float s);
D3DVECTOR VecDivide(const D3DVECTOR& v, float s);  // s != 0: callers guarantee it
float VecLength(const D3DVECTOR& v);
float VecDot(const D3DVECTOR& a, const D3DVECTOR& b);
D3DVECTOR VecCross(const D3DVECTOR& a, const D3DVECTOR& b);

// Returns B·A: applies B first, then A.
D3DMATRIX MatrixMultiply(const D3DMATRIX& A, const D3DMATRIX& B);
D3DMATRIX MatrixTranslation(const D3DVECTOR& v);
D3DMATRIX MatrixScaling(float sx, float sy, float sz);
D3DMATRIX MatrixScaling(const D3DVECTOR& v);
D3DMATRIX MatrixRotationX(float t);  // radians
D3DMATRIX MatrixRotationY(float t);
D3DMATRIX MatrixRotationZ(float t);

// Left-handed look-at. E_INVALIDARG (output untouched) when from == at or no
// usable up direction exists; a world-up parallel to the view falls back to
// (0,1,0), then (0,0,1).
HRESULT MatrixView(D3DMATRIX& out, const D3DVECTOR& from, const D3DVECTOR& at, const D3DVECTOR& worldUp);
// aspect = height / width, multiplies the horizontal scale.
HRESULT MatrixProjection(D3DMATRIX& out, float fov, float aspect, float nearPlane, float farPlane);

// a, r, g, b each 0..255; only the low 8 bits of each are kept (256 wraps to 0).
D3DCOLOR ColorARGB(int a, int r, int g, int b);

// diffuse = ambient = (r,g,b,a), specular = (1,1,1,a), emissive 0.
D3DMATERIAL8 InitMaterial(float r, float g, float b, float a, float power);
