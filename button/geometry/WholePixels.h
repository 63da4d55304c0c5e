// How the geometry turns the host's floating sizes into whole pixels.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// The nearest integer, halves to even (the default rounding mode), clamped to the 32-bit range
// so that no size the host reports can overflow the conversion.
inline int32_t nearestWhole(double value) {
  if (!(value == value)) return 0;
  const double r = std::nearbyint(value);
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}
