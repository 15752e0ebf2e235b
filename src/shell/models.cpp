// The three models of the shared vertex buffer, built once by code from a few
// dimensions rather than kept as long number tables:
// - the rounded cube: flat faces 0.8 × 0.8, each edge a quarter cylinder of
//   radius 0.1 in four steps, each corner an eighth of a sphere closed by a fan
//   of twelve triangles around its middle (6·2 + 12·8 + 8·12 = 204 triangles);
// - the bomb: an ellipsoid body, a short neck and a bent three-sided fuse
//   (264 + 36 + 54 = 354 triangles);
// - the stone: a cube with every edge and corner cut off flat, bevels 0.12
//   wide (6·2 + 12·2 + 8 = 44 triangles).
// Every triangle is wound counter-clockwise seen from outside in the tables'
// right-handed coordinates; InitGeometry's x mirror turns that into the
// winding the device keeps with CULLMODE CW.
#include "shell/models.h"

#include <cmath>
#include <map>
#include <tuple>

#include "shell/math/d3dmath.h"

namespace {

constexpr float Pi = 3.14159265358979f;

// Collects unique positions, normals and uvs and indexed triangles.
class TModelBuilder {
 public:
  void Triangle(D3DVECTOR p0, D3DVECTOR p1, D3DVECTOR p2, D3DVECTOR n0, D3DVECTOR n1, D3DVECTOR n2, TModelUV t0,
                TModelUV t1, TModelUV t2, const D3DVECTOR& outward) {
    // Face the triangle along `outward`, whatever order the caller walked it in.
    const D3DVECTOR face = VecCross(VecSubtract(p1, p0), VecSubtract(p2, p0));
    if (VecDot(face, outward) < 0) {
      std::swap(p1, p2);
      std::swap(n1, n2);
      std::swap(t1, t2);
    }
    Model.Triangles.push_back({Index(Model.Positions, Positions, p0), Index(Model.Positions, Positions, p1),
                               Index(Model.Positions, Positions, p2), Index(Model.Normals, Normals, n0),
                               Index(Model.Normals, Normals, n1), Index(Model.Normals, Normals, n2),
                               UVIndex(t0), UVIndex(t1), UVIndex(t2)});
  }

  TModel Model;

 private:
  using TKey = std::tuple<long, long, long>;
  static long Quantise(float v) { return std::lround(v * 100000.0f); }

  static std::int32_t Index(std::vector<D3DVECTOR>& table, std::map<TKey, std::int32_t>& seen, const D3DVECTOR& v) {
    const TKey key{Quantise(v.x), Quantise(v.y), Quantise(v.z)};
    auto [it, added] = seen.try_emplace(key, static_cast<std::int32_t>(table.size()));
    if (added) table.push_back(v);
    return it->second;
  }
  std::int32_t UVIndex(const TModelUV& t) {
    const TKey key{Quantise(t.U), Quantise(t.V), 0};
    auto [it, added] = UVs.try_emplace(key, static_cast<std::int32_t>(Model.TexCoords.size()));
    if (added) Model.TexCoords.push_back(t);
    return it->second;
  }

  std::map<TKey, std::int32_t> Positions, Normals, UVs;
};

D3DVECTOR Normalised(const D3DVECTOR& v) { return VecScale(v, 1.0f / VecLength(v)); }
D3DVECTOR Axis(int a, float sign) {
  D3DVECTOR v{0, 0, 0};
  (a == 0 ? v.x : a == 1 ? v.y : v.z) = sign;
  return v;
}
float Component(const D3DVECTOR& v, int a) { return a == 0 ? v.x : a == 1 ? v.y : v.z; }

// Box-projected uv for a model within ±0.5: the face the normal points at most
// maps its square onto the whole texture, upright and unmirrored from outside.
TModelUV BoxUV(const D3DVECTOR& p, const D3DVECTOR& dominantNormal) {
  int axis = 0;
  for (int a = 1; a < 3; ++a)
    if (std::fabs(Component(dominantNormal, a)) > std::fabs(Component(dominantNormal, axis)) + 1e-6f) axis = a;
  const float s = Component(dominantNormal, axis) < 0 ? -1.0f : 1.0f;
  // Tangent T and bitangent B with T × B = the outward face normal.
  D3DVECTOR t, b;
  switch (axis) {
    case 0: t = Axis(1, s), b = Axis(2, 1); break;
    case 1: t = Axis(2, s), b = Axis(0, 1); break;
    default: t = Axis(0, s), b = Axis(1, 1); break;
  }
  return {VecDot(p, t) + 0.5f, VecDot(p, b) + 0.5f};
}

// A triangle whose corners carry smooth normals, textured by box projection
// along the sum of its normals.
void BoxTriangle(TModelBuilder& m, const D3DVECTOR (&p)[3], const D3DVECTOR (&n)[3]) {
  const D3DVECTOR sum = VecAdd(VecAdd(n[0], n[1]), n[2]);
  m.Triangle(p[0], p[1], p[2], n[0], n[1], n[2], BoxUV(p[0], sum), BoxUV(p[1], sum), BoxUV(p[2], sum), sum);
}

// ---- Rounded cube ---------------------------------------------------------------
constexpr float CubeHalf = 0.5f;
constexpr float CubeRadius = 0.1f;
constexpr int CubeArcSteps = 4;  // segments of each quarter circle

// Point k (0..CubeArcSteps) of the quarter circle of corner c from axis a to
// axis b, with its normal.
void CubeArcPoint(const D3DVECTOR& c, const D3DVECTOR& ea, const D3DVECTOR& eb, int k, D3DVECTOR& p,
                  D3DVECTOR& n) {
  const float t = 0.5f * Pi * static_cast<float>(k) / CubeArcSteps;
  n = VecAdd(VecScale(ea, std::cos(t)), VecScale(eb, std::sin(t)));
  p = VecAdd(c, VecScale(n, CubeRadius));
}

TModel BuildCube() {
  TModelBuilder m;
  const float inner = CubeHalf - CubeRadius;  // 0.4: where flat faces end
  const float signs[2] = {-1.0f, 1.0f};

  // Corners: the boundary of each sphere octant (three arcs) fanned around
  // the octant's middle.
  for (float sx : signs)
    for (float sy : signs)
      for (float sz : signs) {
        const D3DVECTOR c{sx * inner, sy * inner, sz * inner};
        const D3DVECTOR ex = Axis(0, sx), ey = Axis(1, sy), ez = Axis(2, sz);
        const D3DVECTOR arcs[3][2] = {{ex, ey}, {ey, ez}, {ez, ex}};
        const D3DVECTOR midN = Normalised(D3DVECTOR{sx, sy, sz});
        const D3DVECTOR midP = VecAdd(c, VecScale(midN, CubeRadius));
        for (const auto& arc : arcs)
          for (int k = 0; k < CubeArcSteps; ++k) {
            D3DVECTOR p1, n1, p2, n2;
            CubeArcPoint(c, arc[0], arc[1], k, p1, n1);
            CubeArcPoint(c, arc[0], arc[1], k + 1, p2, n2);
            BoxTriangle(m, {midP, p1, p2}, {midN, n1, n2});
          }
      }

  // Edges: a strip between the matching arcs of the two corners at its ends.
  for (int along = 0; along < 3; ++along) {
    const int a = (along + 1) % 3, b = (along + 2) % 3;
    for (float sa : signs)
      for (float sb : signs) {
        D3DVECTOR c0{0, 0, 0};
        (a == 0 ? c0.x : a == 1 ? c0.y : c0.z) = sa * inner;
        (b == 0 ? c0.x : b == 1 ? c0.y : c0.z) = sb * inner;
        const D3DVECTOR cLow = VecAdd(c0, Axis(along, -inner)), cHigh = VecAdd(c0, Axis(along, inner));
        for (int k = 0; k < CubeArcSteps; ++k) {
          D3DVECTOR l1, ln1, l2, ln2, h1, hn1, h2, hn2;
          CubeArcPoint(cLow, Axis(a, sa), Axis(b, sb), k, l1, ln1);
          CubeArcPoint(cLow, Axis(a, sa), Axis(b, sb), k + 1, l2, ln2);
          CubeArcPoint(cHigh, Axis(a, sa), Axis(b, sb), k, h1, hn1);
          CubeArcPoint(cHigh, Axis(a, sa), Axis(b, sb), k + 1, h2, hn2);
          BoxTriangle(m, {l1, l2, h2}, {ln1, ln2, hn2});
          BoxTriangle(m, {l1, h2, h1}, {ln1, hn2, hn1});
        }
      }
  }

  // Faces: the flat 0.8 × 0.8 squares between the edge strips.
  for (int axis = 0; axis < 3; ++axis)
    for (float s : signs) {
      const int a = (axis + 1) % 3, b = (axis + 2) % 3;
      const D3DVECTOR n = Axis(axis, s);
      D3DVECTOR q[4];
      const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
      for (int i = 0; i < 4; ++i)
        q[i] = VecAdd(VecAdd(Axis(axis, s * CubeHalf), Axis(a, corners[i][0] * inner)),
                      Axis(b, corners[i][1] * inner));
      BoxTriangle(m, {q[0], q[1], q[2]}, {n, n, n});
      BoxTriangle(m, {q[0], q[2], q[3]}, {n, n, n});
    }
  return m.Model;
}

// ---- Bomb ---------------------------------------------------------------------------
constexpr float BombRX = 0.3755f, BombRY = 0.36f, BombRZ = 0.4559f;
constexpr float BombBodyY = -0.5f + BombRY;  // the body rests on y = -0.5
constexpr int BombSlices = 12, BombStacks = 12;
constexpr float NeckRadius = 0.12f, NeckBottom = 0.16f, NeckTop = 0.30f;
constexpr int FuseSides = 3, FuseSegments = 9;
constexpr float FuseRadius = 0.025f, FuseBottom = 0.29f, FuseTop = 0.5f;

D3DVECTOR BodyPoint(int stack, int slice, D3DVECTOR& normal) {
  const float phi = Pi * static_cast<float>(stack) / BombStacks;  // 0 at the top
  const float theta = 2 * Pi * static_cast<float>(slice % BombSlices) / BombSlices;
  const D3DVECTOR unit{std::sin(phi) * std::cos(theta), std::cos(phi), std::sin(phi) * std::sin(theta)};
  const D3DVECTOR p{BombRX * unit.x, BombBodyY + BombRY * unit.y, BombRZ * unit.z};
  // An ellipsoid's normal is its gradient (x/rx², y/ry², z/rz²).
  normal = Normalised(D3DVECTOR{unit.x / BombRX, unit.y / BombRY, unit.z / BombRZ});
  return p;
}

// The fuse's centre line: rises from the neck and leans a little to +x.
D3DVECTOR FuseCentre(int ring) {
  const float t = static_cast<float>(ring) / FuseSegments;
  return {0.07f * std::sin(0.5f * Pi * t), FuseBottom + (FuseTop - FuseBottom) * t, 0};
}

TModel BuildBomb() {
  TModelBuilder m;
  // Body: a latitude-longitude ellipsoid; poles are fans, every other band quads.
  for (int stack = 0; stack < BombStacks; ++stack)
    for (int slice = 0; slice < BombSlices; ++slice) {
      D3DVECTOR n00, n01, n10, n11;
      const D3DVECTOR p00 = BodyPoint(stack, slice, n00), p01 = BodyPoint(stack, slice + 1, n01);
      const D3DVECTOR p10 = BodyPoint(stack + 1, slice, n10), p11 = BodyPoint(stack + 1, slice + 1, n11);
      const float u0 = static_cast<float>(slice) / BombSlices, u1 = static_cast<float>(slice + 1) / BombSlices;
      const float v0 = static_cast<float>(stack) / BombStacks, v1 = static_cast<float>(stack + 1) / BombStacks;
      const D3DVECTOR out = VecSubtract(VecScale(VecAdd(p00, p11), 0.5f), D3DVECTOR{0, BombBodyY, 0});
      if (stack > 0) m.Triangle(p00, p01, p11, n00, n01, n11, {u0, v0}, {u1, v0}, {u1, v1}, out);
      if (stack < BombStacks - 1) m.Triangle(p00, p11, p10, n00, n11, n10, {u0, v0}, {u1, v1}, {u0, v1}, out);
    }
  // Neck: an open cylinder with a flat top.
  for (int slice = 0; slice < BombSlices; ++slice) {
    const float t0 = 2 * Pi * static_cast<float>(slice) / BombSlices;
    const float t1 = 2 * Pi * static_cast<float>(slice + 1) / BombSlices;
    const D3DVECTOR r0{std::cos(t0), 0, std::sin(t0)}, r1{std::cos(t1), 0, std::sin(t1)};
    const D3DVECTOR b0{NeckRadius * r0.x, NeckBottom, NeckRadius * r0.z};
    const D3DVECTOR b1{NeckRadius * r1.x, NeckBottom, NeckRadius * r1.z};
    const D3DVECTOR h0{b0.x, NeckTop, b0.z}, h1{b1.x, NeckTop, b1.z};
    const float u0 = static_cast<float>(slice) / BombSlices, u1 = static_cast<float>(slice + 1) / BombSlices;
    const D3DVECTOR out = VecAdd(r0, r1);
    m.Triangle(b0, b1, h1, r0, r1, r1, {u0, 1}, {u1, 1}, {u1, 0.8f}, out);
    m.Triangle(b0, h1, h0, r0, r1, r0, {u0, 1}, {u1, 0.8f}, {u0, 0.8f}, out);
    const D3DVECTOR up{0, 1, 0}, top{0, NeckTop, 0};
    m.Triangle(top, h0, h1, up, up, up, {0.5f, 0.5f}, {0.5f + 0.5f * r0.x, 0.5f + 0.5f * r0.z},
               {0.5f + 0.5f * r1.x, 0.5f + 0.5f * r1.z}, up);
  }
  // Fuse: a thin three-sided tube; each ring lies flat so the top ends at y = 0.5.
  for (int ring = 0; ring < FuseSegments; ++ring)
    for (int side = 0; side < FuseSides; ++side) {
      auto corner = [&](int r, int s, D3DVECTOR& n) {
        const float t = 2 * Pi * static_cast<float>(s) / FuseSides;
        n = D3DVECTOR{std::cos(t), 0, std::sin(t)};
        return VecAdd(FuseCentre(r), VecScale(n, FuseRadius));
      };
      D3DVECTOR n00, n01, n10, n11;
      const D3DVECTOR p00 = corner(ring, side, n00), p01 = corner(ring, side + 1, n01);
      const D3DVECTOR p10 = corner(ring + 1, side, n10), p11 = corner(ring + 1, side + 1, n11);
      const float u0 = static_cast<float>(side) / FuseSides, u1 = static_cast<float>(side + 1) / FuseSides;
      const float v0 = static_cast<float>(ring) / FuseSegments, v1 = static_cast<float>(ring + 1) / FuseSegments;
      const D3DVECTOR out = VecAdd(n00, n01);
      m.Triangle(p00, p01, p11, n00, n01, n11, {u0, v0}, {u1, v0}, {u1, v1}, out);
      m.Triangle(p00, p11, p10, n00, n11, n10, {u0, v0}, {u1, v1}, {u0, v1}, out);
    }
  return m.Model;
}

// ---- Bevelled stone ------------------------------------------------------------
constexpr float StoneHalf = 0.5f;
constexpr float StoneFace = 0.38f;  // half the flat face: 0.5 - a bevel of 0.12

// The corner of face (axis, s) towards the signs (sa, sb) of the other two axes.
D3DVECTOR StoneCorner(int axis, float s, float sa, float sb) {
  return VecAdd(VecAdd(Axis(axis, s * StoneHalf), Axis((axis + 1) % 3, sa * StoneFace)),
                Axis((axis + 2) % 3, sb * StoneFace));
}

// A flat triangle: one normal, box-projected uv.
void FlatTriangle(TModelBuilder& m, const D3DVECTOR& p0, const D3DVECTOR& p1, const D3DVECTOR& p2,
                  const D3DVECTOR& normal) {
  m.Triangle(p0, p1, p2, normal, normal, normal, BoxUV(p0, normal), BoxUV(p1, normal), BoxUV(p2, normal), normal);
}

TModel BuildStone() {
  TModelBuilder m;
  const float signs[2] = {-1.0f, 1.0f};
  for (int axis = 0; axis < 3; ++axis)
    for (float s : signs) {
      const D3DVECTOR n = Axis(axis, s);
      const D3DVECTOR q0 = StoneCorner(axis, s, -1, -1), q1 = StoneCorner(axis, s, 1, -1);
      const D3DVECTOR q2 = StoneCorner(axis, s, 1, 1), q3 = StoneCorner(axis, s, -1, 1);
      FlatTriangle(m, q0, q1, q2, n);
      FlatTriangle(m, q0, q2, q3, n);
    }
  // Edge bevels: between face (a, sa) and face (b, sb), running along the third axis.
  for (int along = 0; along < 3; ++along) {
    const int a = (along + 1) % 3, b = (along + 2) % 3;
    for (float sa : signs)
      for (float sb : signs) {
        // StoneCorner's other-axis order is (axis+1, axis+2); place each sign on its axis.
        auto onFace = [&](int face, float sFace, int other, float sOther, float sAlong) {
          float signNext = 0, signAfter = 0;
          ((face + 1) % 3 == other ? signNext : signAfter) = sOther;
          ((face + 1) % 3 == along ? signNext : signAfter) = sAlong;
          return StoneCorner(face, sFace, signNext, signAfter);
        };
        const D3DVECTOR n = Normalised(VecAdd(Axis(a, sa), Axis(b, sb)));
        const D3DVECTOR a0 = onFace(a, sa, b, sb, -1), a1 = onFace(a, sa, b, sb, 1);
        const D3DVECTOR b0 = onFace(b, sb, a, sa, -1), b1 = onFace(b, sb, a, sa, 1);
        FlatTriangle(m, a0, a1, b1, n);
        FlatTriangle(m, a0, b1, b0, n);
      }
  }
  // Corner cuts: one triangle joining the three faces' corners.
  for (float sx : signs)
    for (float sy : signs)
      for (float sz : signs) {
        const D3DVECTOR n = Normalised(D3DVECTOR{sx, sy, sz});
        FlatTriangle(m, StoneCorner(0, sx, sy, sz), StoneCorner(1, sy, sz, sx), StoneCorner(2, sz, sx, sy), n);
      }
  return m.Model;
}

}  // namespace

const TModel& CubeModel() {
  static const TModel model = BuildCube();
  return model;
}

const TModel& BombModel() {
  static const TModel model = BuildBomb();
  return model;
}

const TModel& StoneModel() {
  static const TModel model = BuildStone();
  return model;
}
