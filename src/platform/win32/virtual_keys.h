// Windows virtual-key codes the game reacts to; the window maps SDL keys to them.
#pragma once

#include <cstdint>

constexpr std::uint16_t VK_BACK = 8;
constexpr std::uint16_t VK_RETURN = 13;
constexpr std::uint16_t VK_ESCAPE = 27;
constexpr std::uint16_t VK_SPACE = 32;
constexpr std::uint16_t VK_LEFT = 37;
constexpr std::uint16_t VK_UP = 38;
constexpr std::uint16_t VK_RIGHT = 39;
constexpr std::uint16_t VK_DOWN = 40;
constexpr std::uint16_t VK_F1 = 112;
