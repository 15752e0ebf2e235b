// Adding a particle to a list that already holds many: several bombs going off
// at a high frame rate add hundreds a frame to lists thousands long, and every
// add checks the list's cap.
#include <benchmark/benchmark.h>

#include "effects/particles.h"

namespace {

void BM_AddParticle(benchmark::State& state) {
  TParticleList list = nullptr;
  for (int n = 0; n < state.range(0); ++n) AddParticle(list, 3, D3DVECTOR{}, D3DVECTOR{}, 256);
  for (auto _ : state) {
    AddParticle(list, 3, D3DVECTOR{}, D3DVECTOR{1, 1, 0}, 256);
    RemoveParticle(list, nullptr);  // keeps the length steady
  }
  state.counters["length"] = ParticleCount(list);
  ClearParticles(list);
}

}  // namespace

BENCHMARK(BM_AddParticle)->Arg(16)->Arg(512)->Arg(4000)->Unit(benchmark::kNanosecond);
