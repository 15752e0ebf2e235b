// Particle lists: creation from the kind table, per-frame motion and fading,
// removal, and drawing as recoloured quads.
#include "effects/particles.h"

#include <cmath>
#include <numbers>

#include "platform/d3dx/d3dx8.h"
#include "shell/math/d3dmath.h"
#include "shell/scene.h"
#include "shell/textures.h"

// clang-format off
const std::array<TParticleKind, ParticleKindCount> ParticleKinds{{
  // tex  damping x, y, z    fade  size x, y   grow x, y    spin  accel  additive
  {0,  -0.5f, -0.5f,  0,    30,   0.4f, 0.4f,   -0.4f, -0.4f, 0,    0,     true},   // cube burst
  {1,   0,     0,     0,    20,   0.6f, 0.6f,   -0.4f, -0.4f, 0,    0,     true},   // joker and stone burst
  {2,  -1,    -1,     0,    25,   1,    1,       2,     2,    0,    0,     true},   // bomb flash
  {3,   1.1f,  1.1f,  0,    15,   0.125f, 0.125f, 0.3f, 0.3f, 0,    0,     true},   // bomb sparks
  {4,  -0.25f, -0.25f, 0,   30,   0.2f, 0.2f,    3,     3,    250,  -5000, true},   // colorize swirl
  {5,  -1,    -1,    -1,    120,  0.1f, 0.1f,    0,     0,    0,    0,     true},   // fuse sparks
  {6,   0,    -1,     0,    8,    10,   10,      0,     0,    0,    0,     false},  // level banner
}};
// clang-format on

std::array<TParticleList, ParticleListCount + 1> ParticleLists{};
std::array<IDirect3DTexture8*, ParticleKindCount> ParticleTextures{};

namespace {
constexpr float TwoPi = 2 * std::numbers::pi_v<float>;
const char* const TextureFiles[ParticleKindCount] = {
    "images\\effect1.tga", "images\\effect2.tga", "images\\effect3.tga", "images\\effect4.tga",
    "images\\effect5.tga", "images\\effect6.tga", "images\\effect1.tga",
};

// Size, mip levels and format from the file; linear filter, no mip filter.
void LoadSlot(IDirect3DDevice8* Device, int Slot, const std::string& File) {
  SafeRelease(ParticleTextures[Slot]);
  if (!Device) return;
  IDirect3DTexture8* texture = nullptr;
  const HRESULT hr = D3DXCreateTextureFromFileExA(Device, File.c_str(), 0, 0, 0, 0, D3DFMT_UNKNOWN,
                                                  D3DPOOL_MANAGED, D3DX_FILTER_LINEAR, D3DX_FILTER_NONE, 0,
                                                  nullptr, nullptr, &texture);
  if (FAILED(hr)) SafeRelease(texture);  // an empty slot draws untextured
  ParticleTextures[Slot] = texture;
}

bool Alive(const TParticle& p) { return p.Alpha > 5 && p.SizeX > 0 && p.SizeY > 0; }

void UpdateParticle(TParticle& p, float dt) {
  const TParticleKind& kind = ParticleKinds[p.Kind];
  p.Position.x += p.Velocity.x / 10000 * dt;
  p.Position.y += p.Velocity.y / 10000 * dt;
  p.Position.z += p.Velocity.z / 10000 * dt;
  p.Angle += p.Spin / 10000 * dt;
  if (p.Angle > TwoPi) p.Angle -= TwoPi;
  if (p.Angle < 0) p.Angle += TwoPi;
  p.Velocity.x += p.Velocity.x * p.Damping.x / 1000 * dt;
  p.Velocity.y += p.Velocity.y * p.Damping.y / 1000 * dt;
  p.Velocity.z += p.Velocity.z * p.Damping.z / 1000 * dt;
  p.Spin += p.SpinAccel / 10000 * dt;
  p.SizeX += kind.GrowX / 10000 * dt;
  p.SizeY += kind.GrowY / 10000 * dt;
  // Alpha is whole-numbered and each frame takes its own rounded share off.
  // Frames too short for a whole step (the banner below 6.25 ms) pool their
  // time until it adds up to one, else the banner would never fade at high
  // frame rates.
  const double perMs = static_cast<double>(kind.Fade) / 100.0;
  long loss = std::lrint(perMs * dt);
  if (loss == 0 && perMs > 0) {
    p.FadeTime += dt;
    const long owed = static_cast<long>(std::floor(perMs * p.FadeTime));
    if (owed >= 1) {
      loss = owed;
      p.FadeTime -= static_cast<float>(owed / perMs);
    }
  }
  p.Alpha -= static_cast<std::int32_t>(loss);
}
}  // namespace

void LoadParticleTextures(IDirect3DDevice8* Device) {
  for (int slot = 0; slot < ParticleKindCount; ++slot) LoadSlot(Device, slot, TextureFiles[slot]);
}

void FreeParticleTextures() {
  for (auto& texture : ParticleTextures) SafeRelease(texture);
}

void AddParticle(TParticleList& List, std::uint8_t Kind, const D3DVECTOR& Position, const D3DVECTOR& Velocity,
                 std::int32_t Alpha) {
  if (Kind >= ParticleKindCount) return;
  if (ParticleCount(List) >= MaxParticlesPerList) return;
  const TParticleKind& kind = ParticleKinds[Kind];
  auto p = std::make_unique<TParticle>();
  p->Kind = Kind;
  p->Position = Position;
  p->Velocity = Velocity;
  p->Damping = {kind.DampingX, kind.DampingY, kind.DampingZ};
  p->Angle = 0;
  p->Spin = kind.Spin;
  p->SpinAccel = kind.SpinAccel;
  p->Alpha = Alpha;
  p->SizeX = kind.SizeX;
  p->SizeY = kind.SizeY;
  const int length = ParticleCount(List) + 1;
  List = new TParticleNode{std::move(p), List, length};
}

void RemoveParticle(TParticleList& List, TParticleNode* Previous) {
  TParticleNode* node = Previous ? Previous->Next : List;
  if (!node) return;
  const int length = List->ListLength - 1;
  if (Previous)
    Previous->Next = node->Next;
  else
    List = node->Next;
  if (List) List->ListLength = length;
  delete node;  // frees the particle with it
}

void UpdateParticles(TParticleList& List, float DeltaMs) {
  TParticleNode* previous = nullptr;
  TParticleNode* node = List;
  while (node) {
    UpdateParticle(*node->Particle, DeltaMs);
    TParticleNode* next = node->Next;
    if (Alive(*node->Particle))
      previous = node;
    else
      RemoveParticle(List, previous);
    node = next;
  }
}

void SetBannerTexture(IDirect3DDevice8* Device, TParticleList& List, const std::string& File, float SizeX,
                      float SizeY) {
  if (List) LoadSlot(Device, 6, File);
  TParticleNode* previous = nullptr;
  TParticleNode* node = List;
  while (node) {
    node->Particle->SizeX = SizeX;
    node->Particle->SizeY = SizeY;
    TParticleNode* next = node->Next;
    if (Alive(*node->Particle))
      previous = node;
    else
      RemoveParticle(List, previous);
    node = next;
  }
}

void DrawParticles(IDirect3DDevice8* Device, TParticleList List) {
  if (!List || !Device) return;
  Device->SetRenderState(D3DRS_LIGHTING, FALSE);
  Device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  Device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  Device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  // The whole list shares the first particle's texture and blending.
  const TParticleKind& first = ParticleKinds[List->Particle->Kind];
  Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  Device->SetRenderState(D3DRS_DESTBLEND, first.Additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
  Device->SetTexture(0, ParticleTextures[first.Texture]);
  for (TParticleNode* node = List; node; node = node->Next) {
    const TParticle& p = *node->Particle;
    RecolorQuad(ColorARGB(p.Alpha, 255, 255, 255), 0);
    D3DMATRIX world;
    BuildWorldMatrix(MakeVector(p.SizeX, p.SizeY, 1), p.Position, MakeVector(0, 0, p.Angle), world);
    Device->SetTransform(D3DTS_WORLD, &world);
    Device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
  }
  Device->SetTexture(0, nullptr);
  Device->SetRenderState(D3DRS_LIGHTING, TRUE);
  Device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
  Device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  Device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

int ParticleCount(TParticleList List) { return List ? List->ListLength : 0; }

void ClearParticles(TParticleList& List) {
  while (List) RemoveParticle(List, nullptr);
}

void ClearAllParticles() {
  for (auto& list : ParticleLists) ClearParticles(list);
}
