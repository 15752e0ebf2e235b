// One generator for the whole program, as the design has it.
#include "platform/win32/random.h"

#include <chrono>
#include <random>

namespace {
std::mt19937& Generator() {
  static std::mt19937 gen(12345u);
  return gen;
}
}  // namespace

void Randomize() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  Generator().seed(static_cast<std::uint32_t>(now ^ (now >> 32)));
}

void RandSeed(std::uint32_t Seed) { Generator().seed(Seed); }

int Random(int n) {
  if (n <= 1) return 0;
  return std::uniform_int_distribution<int>(0, n - 1)(Generator());
}

double RandomReal() {
  // 53 random bits -> exactly representable doubles in [0, 1).
  const std::uint64_t hi = Generator()() >> 5, lo = Generator()() >> 6;
  return static_cast<double>((hi << 26) | lo) * (1.0 / 9007199254740992.0);
}
