// Drawing with the DC's pen: one-pixel lines of any slope, the dash patterns of styled cosmetic
// pens, and wide pens. One PenStroke serves one drawing call, so a dash pattern runs on from one
// segment to the next of that call and starts afresh with the next call.
#pragma once

#include <windows.h>

#include <vector>

#include "gdi/DeviceContext.h"
#include "gdi/Region.h"

namespace gdi {

// The pixels from a to b with b left out, in drawing order. Each step moves one pixel along the
// major axis; the minor coordinate is the exact one rounded to the nearest pixel, halves towards
// the smaller coordinate.
// Only steps first..last-1 are visited (all of them by default).
template <typename F>
void forEachLinePixel(POINT a, POINT b, F visit, long long first = 0, long long last = -1) {
  long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
  long long adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  long long steps = adx > ady ? adx : ady;
  auto roundHalfDown = [](long long num, long long den) {
    // ceil((2 num - den) / (2 den)) for den > 0
    long long n = 2 * num - den, d = 2 * den;
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
  };
  if (last < 0 || last > steps) last = steps;
  for (long long i = first < 0 ? 0 : first; i < last; ++i) {
    long long x, y;
    if (adx >= ady) {
      x = a.x + (dx < 0 ? -i : i);
      y = a.y + roundHalfDown(i * dy, adx);
    } else {
      y = a.y + (dy < 0 ? -i : i);
      x = a.x + roundHalfDown(i * dx, ady);
    }
    visit(static_cast<int>(x), static_cast<int>(y));
  }
}

class PenStroke {
 public:
  explicit PenStroke(DeviceContext& dc);
  ~PenStroke();  // paints what a wide pen collected
  PenStroke(const PenStroke&) = delete;
  PenStroke& operator=(const PenStroke&) = delete;

  bool visible() const { return style_ != PS_NULL; }
  int width() const { return width_; }
  bool insideFrame() const { return insideFrame_; }
  COLORREF color() const { return color_; }
  // True for a one-pixel pen without a dash pattern.
  bool plain() const { return width_ == 1 && dashes_.empty(); }

  // The next pixel of the path: a dash pixel in the pen colour, a gap pixel in the background
  // colour (OPAQUE) or left alone (TRANSPARENT).
  void pixel(int x, int y);
  // A segment visits only the pixels that can land in the DC's clip box, moving the dash
  // pattern on over the others, so a line of any length costs no more than the surface.
  void segment(POINT a, POINT b);
  void polyline(const POINT* points, size_t count, bool closed);

 private:
  DeviceContext& dc_;
  int style_ = PS_SOLID;
  int width_ = 1;
  bool insideFrame_ = false;
  COLORREF color_ = 0;
  std::vector<int> dashes_;  // on, off, on, off ... in pixels; empty for solid
  size_t dash_ = 0;
  int left_ = 0;  // pixels left in the current dash or gap
  void skip(long long pixels);
  // A wide pen's square reaches this far up and left of its pixel (and the rest of its width
  // down and right).
  long long half() const { return (width_ - 1) / 2; }
  // Row y from left to right - 1 of a wide pen, kept to the clip box, painted at the end.
  void wideSpan(long long y, long long left, long long right);
  void wideSegment(POINT a, POINT b, long long steps);
  RECT clip_;  // the clip box in logical coordinates, when the stroke began
  std::vector<RegionBands::RowSpan> wide_;
};

}  // namespace gdi
