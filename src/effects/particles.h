// Particles: short-lived textured quads that move, slow down, spin, grow or
// shrink and fade out — explosion sparks, fuse sparks and the new-level
// banner. Each effect has its own singly linked list; the game keeps six
// (ParticleLists[1..6]), advances them every frame and draws them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/d3d8/d3d8.h"

class TParticle {
 public:
  std::uint8_t Kind = 0;  // 0..6, row of ParticleKinds
  D3DVECTOR Position{};   // world units
  D3DVECTOR Velocity{};   // world units per 10 000 ms
  D3DVECTOR Damping{};    // per-axis velocity change factors, from the kind
  float Angle = 0;        // about z, kept within 0..2π
  float Spin = 0;         // radians per 10 000 ms
  float SpinAccel = 0;    // change of Spin per 10 000 ms
  std::int32_t Alpha = 0; // 255 opaque; may start above (256 packs as 0)
  float SizeX = 0, SizeY = 0;  // world units
  // ms of frames too short to take a whole step of alpha off; they count
  // towards the next step so that fading never stalls at high frame rates.
  float FadeTime = 0;
};

struct TParticleKind {
  std::int32_t Texture;             // texture slot 0..6
  float DampingX, DampingY, DampingZ;
  float Fade;                       // alpha lost per 100 ms
  float SizeX, SizeY;               // at the start
  float GrowX, GrowY;               // size change per 10 000 ms
  float Spin, SpinAccel;            // per 10 000 ms
  bool Additive;                    // blend onto the scene (one) or over it (inverse alpha)
};

constexpr int ParticleKindCount = 7;
extern const std::array<TParticleKind, ParticleKindCount> ParticleKinds;

struct TParticleNode {
  std::unique_ptr<TParticle> Particle;
  TParticleNode* Next = nullptr;
  // Nodes in the whole list, kept on the first node only: the cap is checked
  // on every add, and a bomb adds hundreds a frame.
  int ListLength = 0;
};

// A list: its first node, nullptr when empty. New particles go to the front.
// Change a list only through the functions below, which keep its length.
using TParticleList = TParticleNode*;

constexpr int ParticleListCount = 6;
// The game's lists [1..6]: 1 cube bursts, 2 bomb bursts, 3 colorize bursts,
// 4 fuse sparks, 5 the new-level banner, 6 spare. Element 0 is unused.
extern std::array<TParticleList, ParticleListCount + 1> ParticleLists;

// A list never holds more than this many particles; further ones are dropped.
// (Frames of 0 ms move and fade nothing while fuses keep sparking.)
constexpr int MaxParticlesPerList = 4096;

// Texture slots 0..6; slot 6 holds the level banner once SetBannerTexture ran.
extern std::array<IDirect3DTexture8*, ParticleKindCount> ParticleTextures;

void LoadParticleTextures(IDirect3DDevice8* Device);
void FreeParticleTextures();

void AddParticle(TParticleList& List, std::uint8_t Kind, const D3DVECTOR& Position, const D3DVECTOR& Velocity,
                 std::int32_t Alpha);
// Advances every particle by DeltaMs and removes those faded (alpha ≤ 5) or
// shrunk to nothing.
void UpdateParticles(TParticleList& List, float DeltaMs);
// Unlinks and frees the node after Previous, or the first node when Previous
// is nullptr.
void RemoveParticle(TParticleList& List, TParticleNode* Previous);
// Loads File into texture slot 6 and gives every particle of List that size.
void SetBannerTexture(IDirect3DDevice8* Device, TParticleList& List, const std::string& File, float SizeX,
                      float SizeY);
void DrawParticles(IDirect3DDevice8* Device, TParticleList List);

int ParticleCount(TParticleList List);
void ClearParticles(TParticleList& List);
void ClearAllParticles();  // the six game lists
