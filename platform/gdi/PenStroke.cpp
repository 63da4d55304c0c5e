// Pen strokes. Styled cosmetic pens use the dash lengths Windows NT uses (dash 18 on 6 off, dot 3
// on 3 off, dash-dot 9 6 3 6, dash-dot-dot 9 3 3 3 3 3, alternate 1 on 1 off). Where Windows is
// silent: a pen wider than one pixel paints a square of its width centred on every pixel of the
// one-pixel path, all of it at once, so no pixel is mixed twice by the raster operation.
#include "gdi/PenStroke.h"

#include <algorithm>
#include <cstdlib>

#include "gdi/Pen.h"
#include "gdi/Raster.h"

namespace gdi {

PenStroke::PenStroke(DeviceContext& dc) : dc_(dc) {
  EffectivePen pen = effectivePen(dc);
  style_ = pen.style;
  width_ = pen.width;
  color_ = pen.color;
  if (PenObject* object = static_cast<PenObject*>(findObject(dc.pen));
      object != nullptr && object->kind == ObjectKind::Pen)
    insideFrame_ = (object->log.lopnStyle & PS_STYLE_MASK) == PS_INSIDEFRAME;
  if (width_ == 1) {
    switch (style_) {
      case PS_DASH: dashes_ = {18, 6}; break;
      case PS_DOT: dashes_ = {3, 3}; break;
      case PS_DASHDOT: dashes_ = {9, 6, 3, 6}; break;
      case PS_DASHDOTDOT: dashes_ = {9, 3, 3, 3, 3, 3}; break;
      case PS_ALTERNATE: dashes_ = {1, 1}; break;
      default: break;
    }
  }
  if (!dashes_.empty()) left_ = dashes_[0];
}

PenStroke::~PenStroke() {
  if (wide_.empty()) return;
  std::sort(wide_.begin(), wide_.end(), [](const RegionBands::RowSpan& a, const RegionBands::RowSpan& b) {
    return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
  });
  RegionBands area = RegionBands::fromRowSpans(wide_);
  for (const RECT& r : area.rects())
    for (int y = r.top; y < r.bottom; ++y) paintSpan(dc_, y, r.left, r.right, color_, dc_.rop2);
}

void PenStroke::pixel(int x, int y) {
  if (style_ == PS_NULL) return;
  if (width_ > 1) {
    int x0 = x - (width_ - 1) / 2, y0 = y - (width_ - 1) / 2;
    for (int row = y0; row < y0 + width_; ++row) wide_.push_back({row, x0, x0 + width_});
    return;
  }
  if (dashes_.empty()) {
    paintPixel(dc_, x, y, color_, dc_.rop2);
    return;
  }
  bool on = dash_ % 2 == 0;
  if (on) {
    paintPixel(dc_, x, y, color_, dc_.rop2);
  } else if (dc_.bkMode == OPAQUE) {
    paintPixel(dc_, x, y, plainColor(dc_.bkColor), dc_.rop2);
  }
  if (--left_ == 0) {
    dash_ = (dash_ + 1) % dashes_.size();
    left_ = dashes_[dash_];
  }
}

void PenStroke::skip(long long pixels) {
  if (dashes_.empty() || pixels <= 0) return;
  long long period = 0;
  for (int d : dashes_) period += d;
  pixels %= period;
  while (pixels > 0) {
    long long step = std::min<long long>(pixels, left_);
    pixels -= step;
    left_ -= static_cast<int>(step);
    if (left_ == 0) {
      dash_ = (dash_ + 1) % dashes_.size();
      left_ = dashes_[dash_];
    }
  }
}

void PenStroke::segment(POINT a, POINT b) {
  if (style_ == PS_NULL) return;
  long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
  long long adx = std::llabs(dx), ady = std::llabs(dy);
  long long steps = std::max(adx, ady);
  // Steps along the major axis that stay within the clip box, widened by the pen.
  RECT clip = dc_.clipBoxLogical();
  long long margin = width_;
  bool xMajor = adx >= ady;
  long long start = xMajor ? a.x : a.y, dir = xMajor ? (dx < 0 ? -1 : 1) : (dy < 0 ? -1 : 1);
  long long lo = (xMajor ? clip.left : clip.top) - margin, hi = (xMajor ? clip.right : clip.bottom) + margin;
  long long first = 0, last = steps;
  if (dir > 0) {
    first = std::max(first, lo - start);
    last = std::min(last, hi - start);
  } else {
    first = std::max(first, start - hi);
    last = std::min(last, start - lo);
  }
  if (first >= last) {
    skip(steps);
    return;
  }
  if (plain() && (dx == 0 || dy == 0)) {
    // A level or upright plain line is one run: paint it whole rather than pixel by pixel.
    long long from = start + dir * first, to = start + dir * (last - 1);
    int lo = static_cast<int>(std::min(from, to)), hi = static_cast<int>(std::max(from, to)) + 1;
    if (dy == 0) paintSpan(dc_, a.y, lo, hi, color_, dc_.rop2);
    else paintColumn(dc_, a.x, lo, hi, color_, dc_.rop2);
    return;
  }
  skip(first);
  forEachLinePixel(a, b, [this](int x, int y) { pixel(x, y); }, first, last);
  skip(steps - last);
}

void PenStroke::polyline(const POINT* points, size_t count, bool closed) {
  for (size_t i = 0; i + 1 < count; ++i) segment(points[i], points[i + 1]);
  if (closed && count > 1) segment(points[count - 1], points[0]);
}

}  // namespace gdi
