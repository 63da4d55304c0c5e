// The integer arithmetic the painters share: whole pixels from the host's floating sizes, and the
// pushed-in test on the interaction flags.
#pragma once

#include <cmath>
#include <cstdint>

// Nearest integer, halves to even (the default rounding mode), as the host turns a floating value
// into a whole number.
inline int32_t nearestInt(double value) { return static_cast<int32_t>(std::nearbyint(value)); }

// The button counts as pushed in only while it is both pressed and under the pointer: dragging
// the pointer off a held button shows it raised again.
inline bool pushedIn(int16_t stateFlags) { return (stateFlags & 0x0006) == 0x0006; }
