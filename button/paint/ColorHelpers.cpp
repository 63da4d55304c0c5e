#include "button/paint/ColorHelpers.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

int32_t TranslateColor(int32_t Color) {
  if (Color < 0) return static_cast<int32_t>(GetSysColor(Color & 0xFF));
  return Color;
}

namespace {

// round(channel x 256 / 255 + amount) in double precision, ties to even.
int32_t stretchedChannel(int32_t channel, int32_t amount) {
  return static_cast<int32_t>(std::nearbyint(channel * 256.0 / 255.0 + amount));
}

// Worked in 32 bits: a large Amount times a blue channel would overflow 16 bits, and a colour
// helper that raises on a shade request is worse than one that clamps.
int32_t clampChannel(int32_t v) { return std::clamp(v, 0, 255); }

}  // namespace

int32_t ShadeColor(int32_t Color, int16_t Amount, int16_t ScaleBlue) {
  const int32_t r0 = Color & 0xFF;
  const int32_t g0 = (Color >> 8) & 0xFF;
  const int32_t b0 = (Color >> 16) & 0xFF;

  int32_t r = r0 + Amount;
  int32_t g = stretchedChannel(g0, Amount);
  int32_t b;
  if (ScaleBlue) {
    const int32_t bx = stretchedChannel(b0, 0);
    b = bx + (Amount * bx) / 192;  // C++ division truncates toward zero, as required
  } else {
    b = stretchedChannel(b0, Amount);
  }
  return clampChannel(r) + 256 * clampChannel(g) + 65536 * clampChannel(b);
}
