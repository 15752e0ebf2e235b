// The message of a Direct3D result code, for the "Render" error box.
#pragma once

#include <cstdint>
#include <string>

// "Unrecognized Error" for codes outside the table.
std::string D3DErrorText(std::int32_t Code);
