// Gradient faces: bands of one colour each from the first colour to the second, in the direction
// of GradientMode. Buttons wider (or taller) than a quarter of the screen use 2-pixel bands.
#include "button/paint/PaintArithmetic.h"
#include "button/ztButtons_H.h"

#include "framework/App.h"

#include <algorithm>
#include <cmath>
#include <vector>

void ztButtons_H::DrawGradient(int32_t FromColor, int32_t ToColor) {
  const int32_t W = nearestInt(UserControl.ScaleWidth());
  const int32_t H = nearestInt(UserControl.ScaleHeight());
  const int32_t mode = stored.GradientMode;
  const bool across = mode <= GradientRightToLeft;  // vertical strips, moving right

  const int32_t screenPixels = across ? nearestInt(Screen.Width()) / nearestInt(Screen.TwipsPerPixelX())
                                      : nearestInt(Screen.Height()) / nearestInt(Screen.TwipsPerPixelY());
  const int32_t length = across ? W : H;
  // A control without width (or height) has no bands to paint.
  if (length <= 0) return;
  const int32_t thickness = (screenPixels / length < 4) ? 2 : 1;
  const int32_t n = thickness == 2 ? length / 2 : length;
  if (n <= 0) return;

  std::vector<int32_t> colors(static_cast<size_t>(n));
  BuildGradientColors(colors, FromColor, ToColor);

  RECT band{0, 0, W, H};
  if (across)
    band.right = thickness;
  else
    band.bottom = thickness;
  const bool forward = (mode % 2) != 0;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t index = forward ? k : n - 1 - k;
    DrawRect(BufferDC, band.left, band.top, band.right, band.bottom, colors[static_cast<size_t>(index)]);
    if (across)
      OffsetRect(&band, thickness, 0);
    else
      OffsetRect(&band, 0, thickness);
  }
}

void ztButtons_H::BuildGradientColors(std::vector<int32_t>& Colors, int32_t FromColor, int32_t ToColor) {
  const size_t n = Colors.size();
  if (n == 0) return;
  Colors[0] = FromColor;
  if (n == 1) return;

  // Green and blue carry the factor 256/255 on the way, as the colour stretching elsewhere does;
  // the start keeps its fraction, the end is rounded to a whole value.
  float current[3] = {
      static_cast<float>(FromColor & 0xFF),
      static_cast<float>((FromColor & 0xFF00) / 255.0),
      static_cast<float>((FromColor & 0xFF0000) / 65280.0),
  };
  const int32_t target[3] = {
      ToColor & 0xFF,
      nearestInt((ToColor & 0xFF00) / 255.0),
      nearestInt((ToColor & 0xFF0000) / 65280.0),
  };
  float step[3];
  for (int c = 0; c < 3; ++c)
    step[c] = static_cast<float>((target[c] - static_cast<double>(current[c])) / static_cast<double>(n - 1));

  for (size_t k = 1; k < n; ++k) {
    int32_t whole[3];
    for (int c = 0; c < 3; ++c) {
      current[c] = std::clamp(current[c] + step[c], 0.0f, 255.0f);
      whole[c] = static_cast<int32_t>(std::floor(current[c]));
    }
    Colors[k] = whole[0] + 256 * whole[1] + 65536 * whole[2];
  }
}
