// The three built-in models of the shared vertex buffer (rounded cube, bomb,
// bevelled stone) as indexed tables: positions, normals, texture coordinates
// and triangles of nine indices (three positions, three normals, three uvs).
// Tables are as stored: InitGeometry negates x and v, and scales the bomb.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/d3d8/d3d8.h"

struct TModelUV {
  float U, V;
};

struct TModel {
  std::vector<D3DVECTOR> Positions;
  std::vector<D3DVECTOR> Normals;
  std::vector<TModelUV> TexCoords;
  std::vector<std::array<std::int32_t, 9>> Triangles;
};

const TModel& CubeModel();   // 204 triangles, ±0.5, edges rounded with radius 0.1
const TModel& BombModel();   // 354 triangles, x ±0.3755, y ±0.5, z ±0.4559
const TModel& StoneModel();  // 44 triangles, ±0.5, edges bevelled 0.12

constexpr float BombLoadScale = 1.25f;
