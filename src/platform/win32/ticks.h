// GetTickCount: milliseconds since an arbitrary start, as a 32-bit value that
// wraps after ~49.7 days. Always take differences as unsigned (now - then).
#pragma once

#include <cstdint>
#include <optional>

std::uint32_t GetTickCount();

// Tests pin the clock; std::nullopt returns to the real one.
void SetTickCountOverride(std::optional<std::uint32_t> Ticks);
