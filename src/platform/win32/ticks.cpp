// Tick count over the monotonic clock.
#include "platform/win32/ticks.h"

#include <chrono>

namespace {
std::optional<std::uint32_t> Override;
}

std::uint32_t GetTickCount() {
  if (Override) return *Override;
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(ms);  // wraps like the 32-bit system counter
}

void SetTickCountOverride(std::optional<std::uint32_t> Ticks) { Override = Ticks; }
