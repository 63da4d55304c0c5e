// Pen strokes. Styled cosmetic pens use the dash lengths Windows NT uses (dash 18 on 6 off, dot 3
// on 3 off, dash-dot 9 6 3 6, dash-dot-dot 9 3 3 3 3 3, alternate 1 on 1 off). Where Windows is
// silent: a pen wider than one pixel paints a square of its width centred on every pixel of the
// one-pixel path (an even width reaching one pixel further down and right), all of it at once, so
// no pixel is mixed twice by the raster operation.
#include "gdi/PenStroke.h"

#include <algorithm>
#include <cstdlib>

#include "gdi/Pen.h"
#include "gdi/Raster.h"

namespace gdi {

PenStroke::PenStroke(DeviceContext& dc) : dc_(dc), clip_(dc.clipBoxLogical()) {
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

void PenStroke::wideSpan(long long y, long long left, long long right) {
  if (y < clip_.top || y >= clip_.bottom) return;
  left = std::max<long long>(left, clip_.left);
  right = std::min<long long>(right, clip_.right);
  if (left < right) wide_.push_back({static_cast<int>(y), static_cast<int>(left), static_cast<int>(right)});
}

void PenStroke::pixel(int x, int y) {
  if (style_ == PS_NULL) return;
  if (width_ > 1) {
    long long x0 = x - half(), y0 = y - half();
    long long top = std::max<long long>(y0, clip_.top), bottom = std::min<long long>(y0 + width_, clip_.bottom);
    for (long long row = top; row < bottom; ++row) wideSpan(row, x0, x0 + width_);
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

// The squares of a wide pen along a segment, row by row over the clip box's rows alone, whatever
// the pen's width: the path pixels whose squares reach a row are a run of the path, and the
// squares of neighbouring pixels overlap, so the row is covered from the first of them to the last.
void PenStroke::wideSegment(POINT a, POINT b, long long steps) {
  auto at = [&](long long i) {
    POINT p{};
    forEachLinePixel(a, b, [&p](int x, int y) { p = POINT{x, y}; }, i, i + 1);
    return p;
  };
  // The first step of the path from which on rule(y) holds; y moves one way along a segment.
  auto firstStep = [&](auto rule) {
    long long lo = 0, hi = steps;
    while (lo < hi) {
      long long mid = lo + (hi - lo) / 2;
      if (rule(static_cast<long long>(at(mid).y))) hi = mid;
      else lo = mid + 1;
    }
    return lo;
  };
  const POINT first = at(0), last = at(steps - 1);
  const bool down = last.y >= first.y;
  long long top = std::max<long long>(std::min(first.y, last.y) - half(), clip_.top);
  long long bottom = std::min<long long>(std::max(first.y, last.y) - half() + width_, clip_.bottom);
  for (long long row = top; row < bottom; ++row) {
    // The squares of the path pixels from lowY to highY reach this row.
    long long lowY = row + half() - width_ + 1, highY = row + half();
    long long from = down ? firstStep([&](long long y) { return y >= lowY; })
                          : firstStep([&](long long y) { return y <= highY; });
    long long to = down ? firstStep([&](long long y) { return y > highY; })
                        : firstStep([&](long long y) { return y < lowY; });
    if (from >= to) continue;
    long long x0 = at(from).x, x1 = at(to - 1).x;
    wideSpan(row, std::min(x0, x1) - half(), std::max(x0, x1) - half() + width_);
  }
}

void PenStroke::segment(POINT a, POINT b) {
  if (style_ == PS_NULL) return;
  if (width_ > 1) {
    long long steps = std::max(std::llabs(static_cast<long long>(b.x) - a.x), std::llabs(static_cast<long long>(b.y) - a.y));
    if (steps > 0) wideSegment(a, b, steps);
    return;
  }
  long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
  long long adx = std::llabs(dx), ady = std::llabs(dy);
  long long steps = std::max(adx, ady);
  // Steps along the major axis that stay within the clip box (and one pixel beyond).
  const RECT& clip = clip_;
  const long long margin = 1;
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
