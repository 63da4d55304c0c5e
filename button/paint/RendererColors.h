// The fixed colours the style renderers give their bevel rings, and the colour that leaves a ring
// undrawn.
#pragma once

#include <cstdint>

inline constexpr int32_t kGrey = 0x808080;
inline constexpr int32_t kWhite = 0xFFFFFF;
inline constexpr int32_t kBlack = 0x000000;
inline constexpr int32_t kNone = -1;
