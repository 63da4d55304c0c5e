// Region algebra on y-x banded rectangle lists and the shapes regions are made from. Combination
// sweeps both operands band by band, so every result is already canonical and equality is a plain
// comparison of rectangle lists. Rows that the ellipse walk never reaches (very thin ellipses) stay
// empty; a region never holds an empty or unset rectangle. A polygon with a point outside the
// 28-bit coordinate space Windows draws in (-2^27 up to 2^27 - 1) is the empty region, as Windows
// gives for a coordinate of 0x80000000; within it, one taller than kMaxShapeExtent fails.
#include "gdi/Region.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace gdi {

namespace {

// Scratch lists kept from call to call give up their storage after a huge region, so that one
// outsized call does not hold its memory for the life of the thread.
constexpr size_t kKeptScratch = 4096;
void trimScratch(std::vector<RECT>& list) {
  if (list.capacity() > kKeptScratch) std::vector<RECT>().swap(list);
}

// Walks the bands of a canonical rectangle list in place: [begin, end) share one top and bottom.
struct BandCursor {
  const RECT* rects;
  size_t count;
  size_t begin = 0, end = 0;

  explicit BandCursor(const std::vector<RECT>& list) : rects(list.data()), count(list.size()) { advance(); }
  bool done() const { return begin >= count; }
  LONG top() const { return rects[begin].top; }
  LONG bottom() const { return rects[begin].bottom; }
  void next() {
    begin = end;
    advance();
  }

 private:
  void advance() {
    end = begin;
    if (begin >= count) return;
    LONG bandTop = rects[begin].top;
    while (end < count && rects[end].top == bandTop) ++end;
  }
};

template <int mode>
bool inside(bool a, bool b) {
  if constexpr (mode == RGN_AND) return a && b;
  if constexpr (mode == RGN_OR) return a || b;
  if constexpr (mode == RGN_XOR) return a != b;
  return a && !b;  // RGN_DIFF
}

// Writes bands straight into a canonical rectangle list: spans of a band arrive sorted by their
// left edge (touching or overlapping ones join), and a band that continues the previous one with
// the same spans is folded into it, so no span list is ever built on the side.
class BandBuilder {
 public:
  explicit BandBuilder(std::vector<RECT>& rects) : rects_(rects) {}

  void begin(LONG top, LONG bottom) {
    top_ = top;
    bottom_ = bottom;
    bandBegin_ = rects_.size();
  }
  void span(LONG x0, LONG x1) {
    if (x0 >= x1 || top_ >= bottom_) return;
    if (rects_.size() > bandBegin_ && x0 <= rects_.back().right) {
      rects_.back().right = std::max(rects_.back().right, x1);
      return;
    }
    rects_.push_back(RECT{x0, top_, x1, bottom_});
  }
  // A whole band of spans already sorted and apart, as one operand holds them.
  void copy(LONG top, LONG bottom, const RECT* spans, size_t count) {
    begin(top, bottom);
    for (size_t k = 0; k < count; ++k) rects_.push_back(RECT{spans[k].left, top, spans[k].right, bottom});
    end();
  }
  // Bands of a canonical list, taken as they are; the last of them starts at lastBand.
  void verbatim(const RECT* first, size_t count, size_t lastBand) {
    size_t base = rects_.size();
    rects_.insert(rects_.end(), first, first + count);
    lastBegin_ = base + lastBand;
    hasLast_ = true;
  }
  // Rows top to bottom - 1 of one span each, row() giving each row's left and right in turn: each
  // a band of its own, merged into the one above when equal, written through a pointer into room
  // made beforehand.
  template <typename Row>
  void singleRows(LONG top, LONG bottom, Row row) {
    size_t base = rects_.size();
    rects_.resize(base + static_cast<size_t>(bottom - top));  // at most one rectangle a row
    RECT* out = rects_.data() + base;
    RECT* last = hasLast_ && base - lastBegin_ == 1 ? out - 1 : nullptr;
    for (LONG y = top; y < bottom; ++y) {
      auto [x0, x1] = row();
      if (x0 >= x1) continue;
      if (last != nullptr && last->bottom == y && last->left == x0 && last->right == x1) {
        last->bottom = y + 1;
        continue;
      }
      *out = RECT{x0, y, x1, y + 1};
      last = out++;
    }
    rects_.resize(static_cast<size_t>(out - rects_.data()));
    if (last != nullptr) {
      lastBegin_ = static_cast<size_t>(last - rects_.data());
      hasLast_ = true;
    }
  }
  void end() {
    size_t count = rects_.size() - bandBegin_;
    if (count == 0) return;
    if (hasLast_ && rects_[lastBegin_].bottom == top_ && bandBegin_ - lastBegin_ == count) {
      bool same = true;
      for (size_t k = 0; k < count && same; ++k) {
        const RECT& previous = rects_[lastBegin_ + k];
        const RECT& current = rects_[bandBegin_ + k];
        same = previous.left == current.left && previous.right == current.right;
      }
      if (same) {
        rects_.resize(bandBegin_);
        for (size_t k = lastBegin_; k < bandBegin_; ++k) rects_[k].bottom = bottom_;
        return;
      }
    }
    lastBegin_ = bandBegin_;
    hasLast_ = true;
  }

 private:
  std::vector<RECT>& rects_;
  LONG top_ = 0, bottom_ = 0;
  size_t bandBegin_ = 0, lastBegin_ = 0;
  bool hasLast_ = false;
};

// Combines the sorted, disjoint spans of one band of each operand into the builder's band.
template <int mode>
void combineSpans(const RECT* a, size_t na, const RECT* b, size_t nb, BandBuilder& out) {
  size_t i = 0, j = 0;
  bool inA = false, inB = false, in = false;
  int64_t start = 0;
  for (;;) {
    int64_t xa = i < na ? (inA ? a[i].right : a[i].left) : INT64_MAX;
    int64_t xb = j < nb ? (inB ? b[j].right : b[j].left) : INT64_MAX;
    int64_t x = std::min(xa, xb);
    if (x == INT64_MAX) break;
    if (xa == x) {
      if (inA) ++i;
      inA = !inA;
    }
    if (xb == x) {
      if (inB) ++j;
      inB = !inB;
    }
    bool now = inside<mode>(inA, inB);
    if (now == in) continue;
    if (now) {
      start = x;
    } else {
      out.span(static_cast<LONG>(start), static_cast<LONG>(x));
    }
    in = now;
  }
}

// One sweep over the bands of both operands: each stretch of rows where neither operand's bands
// change is combined once, and a stretch that only one operand covers is kept or dropped whole.
// Keeps the cursor's bands from row y on, as long as they end by limit (the first of them
// does), and returns the row below the last one kept. Bands after the first are copied as they
// stand: they are canonical among themselves and nothing else touches their rows.
int64_t keepBands(BandBuilder& builder, BandCursor& cursor, int64_t y, int64_t limit) {
  LONG firstTop = static_cast<LONG>(std::max<int64_t>(y, cursor.top()));
  LONG bottom = cursor.bottom();
  builder.copy(firstTop, bottom, &cursor.rects[cursor.begin], cursor.end - cursor.begin);
  cursor.next();
  size_t from = cursor.begin, lastBand = from;
  while (!cursor.done() && cursor.bottom() <= limit) {
    lastBand = cursor.begin;
    bottom = cursor.bottom();
    cursor.next();
  }
  if (cursor.begin > from) builder.verbatim(&cursor.rects[from], cursor.begin - from, lastBand - from);
  return bottom;
}

template <int mode>
void combineBands(const std::vector<RECT>& a, const std::vector<RECT>& b, std::vector<RECT>& result) {
  BandBuilder builder(result);
  BandCursor bandA(a), bandB(b);
  int64_t y = std::min<int64_t>(bandA.top(), bandB.top());
  for (;;) {
    while (!bandA.done() && bandA.bottom() <= y) bandA.next();
    while (!bandB.done() && bandB.bottom() <= y) bandB.next();
    if (bandA.done() && bandB.done()) break;
    bool activeA = !bandA.done() && bandA.top() <= y;
    bool activeB = !bandB.done() && bandB.top() <= y;
    // Stretches that only one operand covers, kept whole when the mode keeps them.
    if (!activeB && !bandA.done() && inside<mode>(true, false) &&
        (bandB.done() || bandA.bottom() <= bandB.top())) {
      y = keepBands(builder, bandA, y, bandB.done() ? INT64_MAX : bandB.top());
      continue;
    }
    if (!activeA && !bandB.done() && inside<mode>(false, true) &&
        (bandA.done() || bandB.bottom() <= bandA.top())) {
      y = keepBands(builder, bandB, y, bandA.done() ? INT64_MAX : bandA.top());
      continue;
    }
    int64_t next = INT64_MAX;
    if (!bandA.done()) next = std::min<int64_t>(next, activeA ? bandA.bottom() : bandA.top());
    if (!bandB.done()) next = std::min<int64_t>(next, activeB ? bandB.bottom() : bandB.top());
    LONG top = static_cast<LONG>(y), bottom = static_cast<LONG>(next);
    if (activeA && activeB) {
      builder.begin(top, bottom);
      size_t na = bandA.end - bandA.begin, nb = bandB.end - bandB.begin;
      combineSpans<mode>(&a[bandA.begin], na, &b[bandB.begin], nb, builder);
      builder.end();
    } else if (activeA && inside<mode>(true, false)) {
      builder.copy(top, bottom, &a[bandA.begin], bandA.end - bandA.begin);
    } else if (activeB && inside<mode>(false, true)) {
      builder.copy(top, bottom, &b[bandB.begin], bandB.end - bandB.begin);
    }
    y = next;
  }
}

// True when every band holds one rectangle: the rows of ellipses, rounded rectangles and convex
// polygons.
bool oneSpanBands(const std::vector<RECT>& rects) {
  for (size_t k = 1; k < rects.size(); ++k)
    if (rects[k].top == rects[k - 1].top) return false;
  return true;
}

// The sweep of combineBands for two operands of one span a band (mode RGN_AND, RGN_OR or
// RGN_DIFF): a plain merge of the two band lists, each stretch's at most two spans written in
// place and folded into the band above when equal to it.
template <int mode>
void combineOneSpanBands(const std::vector<RECT>& a, const std::vector<RECT>& b, std::vector<RECT>& result) {
  constexpr LONG kNone = INT_MAX;
  const RECT *pa = a.data(), *endA = pa + a.size(), *pb = b.data(), *endB = pb + b.size();
  // Each stretch between neighbouring band edges of the two holds at most two spans, and edges
  // of one-span bands mostly meet: room for all of them, so the list grows at most once.
  result.reserve((mode == RGN_AND ? 1 : 2) * (a.size() + b.size()) + 4);
  size_t band = 0;  // where the last band written starts, of bandCount spans
  int bandCount = 0;
  LONG y = std::min(pa->top, pb->top);
  for (;;) {
    if (pa != endA && pa->bottom <= y) ++pa;
    if (pb != endB && pb->bottom <= y) ++pb;
    const LONG topA = pa != endA ? pa->top : kNone, topB = pb != endB ? pb->top : kNone;
    const bool inA = topA <= y, inB = topB <= y;
    if (!inA && !inB) {
      if (topA == kNone && topB == kNone) break;
      y = std::min(topA, topB);
      continue;
    }
    const LONG next = std::min(inA ? pa->bottom : topA, inB ? pb->bottom : topB);
    LONG x0 = 0, x1 = 0, x2 = 0, x3 = 0;  // up to two spans, in order
    if (inA && inB) {
      if constexpr (mode == RGN_AND) {
        x0 = std::max(pa->left, pb->left);
        x1 = std::min(pa->right, pb->right);
      } else if constexpr (mode == RGN_DIFF) {
        x0 = pa->left;
        x1 = std::min(pa->right, pb->left);
        x2 = std::max(pa->left, pb->right);
        x3 = pa->right;
      } else {
        const RECT& p = pa->left <= pb->left ? *pa : *pb;
        const RECT& q = pa->left <= pb->left ? *pb : *pa;
        x0 = p.left;
        x1 = p.right;
        x2 = q.left;
        x3 = q.right;
        if (x2 <= x1) {  // touching or overlapping: one span
          x1 = std::max(x1, x3);
          x2 = x3 = 0;
        }
      }
      if (x0 >= x1) {  // only the second span, if any
        x0 = x2;
        x1 = x3;
        x2 = x3 = 0;
      }
    } else if (inA ? mode != RGN_AND : mode == RGN_OR) {
      const RECT& p = inA ? *pa : *pb;
      x0 = p.left;
      x1 = p.right;
    }
    const int count = x0 < x1 ? (x2 < x3 ? 2 : 1) : 0;
    if (count > 0) {
      RECT* last = result.data() + band;
      if (bandCount == count && last->bottom == y && last[0].left == x0 && last[0].right == x1 &&
          (count == 1 || (last[1].left == x2 && last[1].right == x3))) {
        last[0].bottom = next;
        if (count == 2) last[1].bottom = next;
      } else {
        band = result.size();
        bandCount = count;
        result.push_back(RECT{x0, y, x1, next});
        if (count == 2) result.push_back(RECT{x2, y, x3, next});
      }
    }
    y = next;
  }
}

// The same for RGN_AND and RGN_DIFF when b is a single rectangle, the usual clip or trim: bands
// above and below it are taken whole, and only those beside it are cut.
template <int mode>
void combineWithRect(const std::vector<RECT>& a, const RECT& cut, std::vector<RECT>& result) {
  BandBuilder builder(result);
  const RECT* rects = a.data();
  const size_t count = a.size();
  size_t i = 0;
  while (i < count && rects[i].bottom <= cut.top) ++i;
  if (mode == RGN_DIFF && i > 0) {
    size_t lastBand = i - 1;
    while (lastBand > 0 && rects[lastBand - 1].top == rects[i - 1].top) --lastBand;
    builder.verbatim(rects, i, lastBand);
  }
  while (i < count && rects[i].top < cut.bottom) {
    size_t end = i;
    LONG top = rects[i].top, bottom = rects[i].bottom;
    while (end < count && rects[end].top == top) ++end;
    if (mode == RGN_DIFF && top < cut.top) builder.copy(top, cut.top, &rects[i], end - i);
    builder.begin(std::max(top, cut.top), std::min(bottom, cut.bottom));
    for (size_t k = i; k < end; ++k) {
      if (mode == RGN_AND) {
        builder.span(std::max(rects[k].left, cut.left), std::min(rects[k].right, cut.right));
      } else {
        builder.span(rects[k].left, std::min(rects[k].right, cut.left));
        builder.span(std::max(rects[k].left, cut.right), rects[k].right);
      }
    }
    builder.end();
    if (mode == RGN_DIFF && bottom > cut.bottom) builder.copy(cut.bottom, bottom, &rects[i], end - i);
    i = end;
  }
  if (mode == RGN_DIFF && i < count) {
    // The first band below may continue the last one written; the rest stand as they are.
    size_t end = i;
    while (end < count && rects[end].top == rects[i].top) ++end;
    builder.copy(rects[i].top, rects[i].bottom, &rects[i], end - i);
    if (end < count) {
      size_t lastBand = count - 1;
      while (lastBand > end && rects[lastBand - 1].top == rects[count - 1].top) --lastBand;
      builder.verbatim(&rects[end], count - end, lastBand - end);
    }
  }
}

// A trim of a few rectangles (a corner's triangle, a run of pixels) is removed one rectangle at a
// time: each pass sweeps only the bands beside that rectangle, where one general sweep would weigh
// every band of both.
constexpr size_t kFewRects = 4;

void removeRects(const std::vector<RECT>& a, const std::vector<RECT>& b, std::vector<RECT>& out) {
  thread_local std::vector<RECT> between;
  const std::vector<RECT>* from = &a;
  for (size_t k = 0; k < b.size(); ++k) {
    // The passes alternate between the two lists so that the last one writes out.
    std::vector<RECT>& to = (b.size() - 1 - k) % 2 == 0 ? out : between;
    to.clear();
    combineWithRect<RGN_DIFF>(*from, b[k], to);
    from = &to;
  }
  trimScratch(between);
}

}  // namespace

RegionBands RegionBands::fromRect(const RECT& rect) {
  RegionBands region;
  region.assignRect(rect);
  return region;
}

void RegionBands::assignRect(const RECT& rect) {
  rects_.clear();
  if (rect.left < rect.right && rect.top < rect.bottom) rects_.push_back(rect);
}

RECT RegionBands::box() const {
  if (rects_.empty()) return RECT{0, 0, 0, 0};
  RECT box{rects_.front().left, rects_.front().top, rects_.front().right, rects_.back().bottom};
  for (const RECT& r : rects_) {
    box.left = std::min(box.left, r.left);
    box.right = std::max(box.right, r.right);
  }
  return box;
}

int RegionBands::type() const {
  if (rects_.empty()) return NULLREGION;
  return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool RegionBands::contains(int x, int y) const {
  // Bands are sorted by top: find the first rect whose bottom lies below y.
  auto it = std::lower_bound(rects_.begin(), rects_.end(), y,
                             [](const RECT& r, int value) { return r.bottom <= value; });
  for (; it != rects_.end() && it->top <= y; ++it) {
    if (y < it->bottom && x >= it->left && x < it->right) return true;
    if (x < it->left) break;
  }
  return false;
}

void RegionBands::offset(int dx, int dy) {
  // Saturates at the ends of the coordinate range instead of wrapping.
  auto move = [](LONG v, int d) {
    return static_cast<LONG>(std::clamp<int64_t>(int64_t{v} + d, INT32_MIN, INT32_MAX));
  };
  for (RECT& r : rects_) {
    r.left = move(r.left, dx);
    r.right = move(r.right, dx);
    r.top = move(r.top, dy);
    r.bottom = move(r.bottom, dy);
  }
}

RegionBands RegionBands::intersected(const RECT& rect) const {
  return combine(*this, fromRect(rect), RGN_AND);
}

namespace {

// The combination of a and b written into out, which is neither of them.
void combineInto(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode, std::vector<RECT>& out) {
  out.clear();
  switch (mode) {
    case RGN_AND:
      if (a.empty() || b.empty()) return;
      break;
    case RGN_OR:
    case RGN_XOR:
      if (a.empty() || b.empty()) {
        out = a.empty() ? b : a;
        return;
      }
      break;
    case RGN_DIFF:
      if (a.empty() || b.empty()) {
        out = a;
        return;
      }
      break;
    default: return;
  }
  out.reserve(a.size() + b.size());
  if (b.size() == 1 && mode == RGN_AND) return combineWithRect<RGN_AND>(a, b.front(), out);
  if (a.size() == 1 && mode == RGN_AND) return combineWithRect<RGN_AND>(b, a.front(), out);
  if (mode == RGN_DIFF && b.size() <= kFewRects) return removeRects(a, b, out);
  if (mode != RGN_XOR && oneSpanBands(a) && oneSpanBands(b)) {
    switch (mode) {
      case RGN_AND: return combineOneSpanBands<RGN_AND>(a, b, out);
      case RGN_OR: return combineOneSpanBands<RGN_OR>(a, b, out);
      default: return combineOneSpanBands<RGN_DIFF>(a, b, out);
    }
  }
  switch (mode) {
    case RGN_AND: combineBands<RGN_AND>(a, b, out); break;
    case RGN_OR: combineBands<RGN_OR>(a, b, out); break;
    case RGN_XOR: combineBands<RGN_XOR>(a, b, out); break;
    default: combineBands<RGN_DIFF>(a, b, out); break;
  }
}

}  // namespace

RegionBands RegionBands::combine(const RegionBands& a, const RegionBands& b, int mode) {
  RegionBands result;
  combineInto(a.rects_, b.rects_, mode, result.rects_);
  return result;
}

void RegionBands::assignCombined(const RegionBands& a, const RegionBands& b, int mode) {
  // The result is written aside, since this region may be an operand, and the two lists then
  // trade places: the storage this region had becomes the next result's.
  thread_local std::vector<RECT> result;
  combineInto(a.rects_, b.rects_, mode, result);
  rects_.swap(result);
  trimScratch(result);
}

RegionBands RegionBands::fromRects(const std::vector<RECT>& rects) {
  std::vector<RegionBands> parts;
  parts.reserve(rects.size());
  for (const RECT& r : rects) {
    RegionBands one = fromRect(r);
    if (!one.empty()) parts.push_back(std::move(one));
  }
  if (parts.empty()) return RegionBands();
  // Pairwise unions keep the work near n log n for many rectangles.
  while (parts.size() > 1) {
    std::vector<RegionBands> next;
    next.reserve((parts.size() + 1) / 2);
    for (size_t i = 0; i + 1 < parts.size(); i += 2) next.push_back(combine(parts[i], parts[i + 1], RGN_OR));
    if (parts.size() % 2) next.push_back(std::move(parts.back()));
    parts = std::move(next);
  }
  return std::move(parts.front());
}

RegionBands RegionBands::fromRowSpans(const std::vector<RowSpan>& input) {
  RegionBands result;
  BandBuilder builder(result.rects_);
  size_t i = 0;
  while (i < input.size()) {
    int y = input[i].y;
    builder.begin(y, y + 1);
    for (; i < input.size() && input[i].y == y; ++i) builder.span(input[i].x0, input[i].x1);
    builder.end();
  }
  return result;
}

bool RegionBands::assignCanonical(const std::vector<RECT>& rects) {
  for (size_t i = 0; i < rects.size(); ++i) {
    const RECT& r = rects[i];
    if (r.left >= r.right || r.top >= r.bottom) return false;
    if (i == 0) continue;
    const RECT& p = rects[i - 1];
    if (r.top == p.top) {
      if (r.bottom != p.bottom || r.left <= p.right) return false;
    } else if (r.top < p.bottom) {
      return false;
    }
  }
  // Canonical form also merges vertically adjacent bands with equal spans: rebuild through the
  // writer so that a list which is banded but not merged still becomes canonical.
  RegionBands built;
  BandBuilder builder(built.rects_);
  for (BandCursor band(rects); !band.done(); band.next()) {
    builder.begin(band.top(), band.bottom());
    for (size_t k = band.begin; k < band.end; ++k) builder.span(rects[k].left, rects[k].right);
    builder.end();
  }
  rects_ = std::move(built.rects_);
  return true;
}

bool RegionBands::operator==(const RegionBands& other) const {
  if (rects_.size() != other.rects_.size()) return false;
  for (size_t i = 0; i < rects_.size(); ++i) {
    const RECT& a = rects_[i];
    const RECT& b = other.rects_[i];
    if (a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom) return false;
  }
  return true;
}

// ---- Shapes -------------------------------------------------------------------------------------

namespace {

RECT normalized(RECT r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

// The integer error terms of the ellipse walk over the inclusive box, at its first position: the
// middle rows y0 (lower) and y0 - b1 (upper), the outer columns.
struct EllipseStart {
  EllipseStart(int64_t left, int64_t top, int64_t right, int64_t bottom)
      : a(right - left), b(bottom - top), b1(b & 1), dx(4 * (1 - a) * b * b), dy(4 * (b1 + 1) * a * a),
        err(dx + dy + b1 * a * a), a8(8 * a * a), b8(8 * b * b), y0(top + (b + 1) / 2) {}
  int64_t a, b, b1, dx, dy, err, a8, b8, y0;
};

// One quarter of the ellipse in the inclusive box, walked from the middle rows outwards by the
// integer error-term method: each step moves one row down (y0) and up (y1), one column in (x0,
// x1), or both. step(x0, x1, y0, y1) sees every position.
template <typename F>
void walkEllipse(int64_t left, int64_t top, int64_t right, int64_t bottom, F step) {
  const EllipseStart start(left, top, right, bottom);
  int64_t dx = start.dx, dy = start.dy, err = start.err;
  const int64_t a8 = start.a8, b8 = start.b8;
  int64_t x0 = left, x1 = right;
  int64_t y0 = start.y0, y1 = y0 - start.b1;
  do {
    step(x0, x1, y0, y1);
    int64_t e2 = 2 * err;
    if (e2 <= dy) {
      ++y0;
      --y1;
      dy += a8;
      err += dy;
    }
    if (e2 >= dx) {
      ++x0;
      --x1;
      dx += b8;
      err += dx;
    }
  } while (x0 <= x1);
}

// The four edges of a rectangle as one vector, so that building or moving one is one vector operation.
using Edges = uint32_t __attribute__((vector_size(sizeof(RECT))));

// Where the rectangles of an ellipse go in a region: moved so that its box's top-left corner lands
// on (left, top); for the corners of a rounded rectangle, every right edge moved out by widen, and
// the lower half moved down by stretch, its middle band stretching over the rows between.
struct EllipsePlacement {
  int64_t left = 0, top = 0, widen = 0, stretch = 0;
};

// The rectangles of an ellipse as the walk wrote them, count of them from first, the middle band
// centre of them down, placed as placed says.
struct BuiltEllipse {
  const RECT* first = nullptr;
  size_t count = 0, centre = 0;
  EllipsePlacement placed;
};

// The ellipse region filling the inclusive box, written into room as the walk goes: the walk of
// walkEllipse, with only its left column kept (the right one mirrors it about the centre), noting
// the first column of each row it reaches. The walk moves its lower and upper rows apart in step,
// so the upper half mirrors the lower one: each band of the lower half, once complete, is written
// with its mirror image as far above the middle band, so that the bands end up in one piece in the
// middle of room; the middle band, which the two halves share, is their union. Each rectangle is
// written placed as the corner of a rounded rectangle needs it: its right edge widened, and the
// lower half stretched down.
// Its steps are walkEllipse's, reordered so that the checks each move needs follow that move alone:
// sharing one stepping routine cost this hot path 16% more instructions.
BuiltEllipse ellipseFromWalk(int64_t left, int64_t top, int64_t right, int64_t bottom, int64_t widen, int64_t stretch,
                             std::vector<RECT>& room) {
  const EllipseStart start(left, top, right, bottom);
  int64_t dx = start.dx, dy = start.dy, err = start.err;
  const int64_t a8 = start.a8, b8 = start.b8;
  const int64_t x0 = left, y0 = start.y0;
  const int64_t sides = left + right;  // x0 plus the right column
  const int64_t middle = 2 * y0 - start.b1;  // twice the centre row
  const size_t lowerRows = static_cast<size_t>(bottom - y0 + 1);
  if (room.size() < 2 * lowerRows - 1) room.resize(2 * lowerRows - 1);
  RECT* const centre = room.data() + lowerRows - 1;
  RECT* lowerOut = centre;
  RECT* upperOut = centre;
  // Row y of the lower half mirrors to row middle - y of the upper half. Each rectangle is one vector,
  // stored whole. The walk carries its position as the rectangle of a band starting there, {x0,
  // y0 + stretch, right column + 1 + widen, y0 + stretch}, and the band it is in as its rectangle
  // down to the current row, so that a band costs no more than its mirror image: storing edges one
  // by one made a new 400x300 ellipse a quarter slower, and building each band from the walk's
  // counters a fifth.
  const auto edge = [](int64_t v) { return static_cast<uint32_t>(v); };
  const Edges inwards = {1, 0, edge(-1), 0}, downwards = {0, 1, 0, 1}, lowerDown = {0, 0, 0, 1};
  Edges at = {edge(x0), edge(y0 + stretch), edge(sides + 1 + widen - x0), edge(y0 + stretch)};
  Edges band = at;
  // The upper rectangle is the lower one with its top and bottom swapped, unstretched and taken from
  // middle + 1.
  const Edges flip = {0, ~0u, 0, ~0u}, mirror = {0, edge(middle + 2 + stretch), 0, edge(middle + 2 + stretch)};
  auto writeBand = [&](Edges lower) {
    const Edges upper = (__builtin_shufflevector(lower, lower, 0, 3, 2, 1) ^ flip) + mirror;
    std::memcpy(upperOut--, &upper, sizeof upper);
    std::memcpy(lowerOut++, &lower, sizeof lower);  // the middle band keeps its lower bottom
  };
  // The walk ends when its left column passes the right one, or its lower row the bottom; counting
  // down to those keeps every counter of the loop in a register.
  int64_t columnsLeft = (sides >> 1) - x0 + 1, rowsLeft = bottom - y0 + 1;
  int64_t bandColumnsLeft = columnsLeft;
  for (;;) {
    int64_t e2 = 2 * err;
    if (e2 >= dx) {  // inwards, and maybe down as well
      dx += b8;
      err += dx;
      at += inwards;
      if (--columnsLeft == 0) {
        writeBand(band + lowerDown);
        break;
      }
      if (e2 > dy) continue;
    }
    dy += a8;  // down
    err += dy;
    at += downwards;
    band += lowerDown;
    if (--rowsLeft == 0) {
      writeBand(band);
      break;
    }
    if (columnsLeft != bandColumnsLeft) {
      writeBand(band);
      bandColumnsLeft = columnsLeft;
      band = at;
    }
  }
  // The middle band, which the two halves share, reaches up as far as its mirror does.
  centre->top = static_cast<LONG>(std::min(centre->top - stretch, middle + 1 + stretch - centre->bottom));
  return BuiltEllipse{upperOut + 1, static_cast<size_t>(lowerOut - upperOut - 1),
                      static_cast<size_t>(centre - upperOut - 1), EllipsePlacement{left, top, widen, stretch}};
}

void moveEdges(RECT* first, RECT* last, Edges by) {
  for (RECT* r = first; r != last; ++r) {
    Edges edges;
    std::memcpy(&edges, r, sizeof edges);
    edges += by;
    std::memcpy(r, &edges, sizeof edges);
  }
}

// The rectangles of a built ellipse, moved from where they were placed to where place says. The
// middle band is the only one a change of stretch splits: its top stays with the upper half.
void placeEllipse(const BuiltEllipse& built, const EllipsePlacement& place, std::vector<RECT>& out) {
  out.assign(built.first, built.first + built.count);
  // The move may span more than a LONG holds, where each edge lands does not: the sums are taken
  // modulo 2^32.
  const auto by = [](int64_t to, int64_t from) { return static_cast<uint32_t>(to - from); };
  const uint32_t dx = by(place.left, built.placed.left), dy = by(place.top, built.placed.top);
  const uint32_t right = dx + by(place.widen, built.placed.widen), down = dy + by(place.stretch, built.placed.stretch);
  RECT* const first = out.data();
  RECT* const last = first + out.size();
  if (down == dy) {
    if (dx != 0 || dy != 0 || right != 0) moveEdges(first, last, Edges{dx, dy, right, dy});
    return;
  }
  RECT* const centre = first + built.centre;
  moveEdges(first, centre, Edges{dx, dy, right, dy});
  moveEdges(centre, centre + 1, Edges{dx, dy, right, down});
  moveEdges(centre + 1, last, Edges{dx, down, right, down});
}

// The ellipse filling the inclusive box (left, top)-(right, bottom), placed into out. A button
// makes the same few ellipses on every paint, so the last ones built are kept as they were placed
// (those up to kKeptScratch rows tall) and a repeat is moved from there.
void ellipseKept(int64_t left, int64_t top, int64_t right, int64_t bottom, const EllipsePlacement& place,
                 std::vector<RECT>& out) {
  struct Kept {
    int64_t width = -1, height = -1;
    BuiltEllipse built;
    std::vector<RECT> room;
  };
  constexpr size_t kKept = 8;
  thread_local std::array<Kept, kKept> kept;
  thread_local size_t nextSlot = 0;
  const int64_t width = right - left, height = bottom - top;
  for (const Kept& k : kept) {
    if (k.width == width && k.height == height) return placeEllipse(k.built, place, out);
  }
  if (height > static_cast<int64_t>(kKeptScratch)) {
    thread_local std::vector<RECT> outsized;
    placeEllipse(ellipseFromWalk(left, top, right, bottom, place.widen, place.stretch, outsized), place, out);
    trimScratch(outsized);
    return;
  }
  Kept& slot = kept[nextSlot];
  nextSlot = (nextSlot + 1) % kKept;
  slot.width = width;
  slot.height = height;
  slot.built = ellipseFromWalk(left, top, right, bottom, place.widen, place.stretch, slot.room);
  placeEllipse(slot.built, place, out);
}

bool tooLarge(const RECT& r) {
  return static_cast<int64_t>(r.right) - r.left > kMaxShapeExtent ||
         static_cast<int64_t>(r.bottom) - r.top > kMaxShapeExtent;
}

}  // namespace

bool ellipseRegion(RECT box, RegionBands& out) {
  box = normalized(box);
  std::vector<RECT>& rects = out.refill();
  if (tooLarge(box)) return false;
  // The ellipse fills the inclusive box (left, top)-(right - 2, bottom - 2); boxes of two pixels
  // or less across are plain rectangles.
  if (box.right - box.left <= 2 || box.bottom - box.top <= 2) {
    out.assignRect(RECT{box.left, box.top, box.right - 1, box.bottom - 1});
    return true;
  }
  ellipseKept(box.left, box.top, box.right - 2, box.bottom - 2, EllipsePlacement{box.left, box.top}, rects);
  return true;
}

bool roundRectRegion(RECT box, int ellipseWidth, int ellipseHeight, RegionBands& out) {
  box = normalized(box);
  std::vector<RECT>& rects = out.refill();
  if (tooLarge(box)) return false;
  int width = box.right - box.left - 1, height = box.bottom - box.top - 1;
  if (width <= 0 || height <= 0) return true;
  // The corner ellipse is no larger than the rectangle itself.
  int ew = std::min(std::abs(ellipseWidth), width + 1);
  int eh = std::min(std::abs(ellipseHeight), height + 1);
  if (ew <= 2 || eh <= 2) {
    out.assignRect(RECT{box.left, box.top, box.right - 1, box.bottom - 1});
    return true;
  }
  // The corner ellipse's region opened up: its upper half shapes the top rows, its lower half the
  // bottom rows, and the band where it is widest stretches over every row between, the whole width.
  EllipsePlacement place{box.left, box.top, width - (ew - 1), height - (eh - 1)};
  ellipseKept(box.left, box.top, box.left + ew - 2, box.top + eh - 2, place, rects);
  return true;
}

namespace {

struct Edge {
  int64_t x0, y0, x1, y1;  // y0 < y1
  int dir;                 // +1 downwards as given, -1 upwards
};

// ceil(n / d) and floor(n / d) for d > 0.
int64_t ceilDiv(int64_t n, int64_t d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }
int64_t floorDiv(int64_t n, int64_t d) { return -ceilDiv(-n, d); }

// An edge crossing the rows being filled. x is the first pixel whose top-left corner lies on or
// right of the edge in the current row; moving down a row adds dx / dy exactly, kept as a whole
// step and a remainder so that no row needs a division.
struct ActiveEdge {
  int64_t x, remainder;  // remainder = (x - the edge's exact x) * dy, in [0, dy)
  int64_t step, stepRemainder, dy, y1;
  int dir;

  explicit ActiveEdge(const Edge& e)
      : x(e.x0), remainder(0), dy(e.y1 - e.y0), y1(e.y1), dir(e.dir) {
    // Steep edges, the usual ones of small outlines, move at most one pixel a row: no division.
    int64_t run = e.x1 - e.x0;
    if (run >= 0 && run < dy) step = 0;
    else if (run < 0 && -run <= dy) step = -1;
    else step = floorDiv(run, dy);
    stepRemainder = run - step * dy;
  }
  void nextRow() {
    x += step;
    remainder -= stepRemainder;
    if (remainder < 0) {
      ++x;
      remainder += dy;
    }
  }
};

// Rows y to end - 1 crossed by the two edges alone: whatever the mode, a row is inside between
// them. The edges are stepped in locals so that writing the rows does not make them reload.
int64_t twoEdgeRows(ActiveEdge& first, ActiveEdge& second, int64_t y, int64_t end, BandBuilder& builder) {
  ActiveEdge a = first, b = second;
  // An edge's x in a row it crosses lies between its ends' x, so it fits a LONG.
  builder.singleRows(static_cast<LONG>(y), static_cast<LONG>(end), [&] {
    std::pair<LONG, LONG> row{static_cast<LONG>(std::min(a.x, b.x)), static_cast<LONG>(std::max(a.x, b.x))};
    a.nextRow();
    b.nextRow();
    return row;
  });
  // Only the position moves; copying back just it spares whole-struct copies of fields the
  // stepping has just stored, which the processor cannot forward.
  first.x = a.x;
  first.remainder = a.remainder;
  second.x = b.x;
  second.remainder = b.remainder;
  return end;
}

}  // namespace

bool polygonRegion(const POINT* points, const int* counts, int polygons, int mode, RegionBands& out) {
  std::vector<RECT>& rects = out.refill();
  // Scratch lists kept from call to call: regions are made often and their outlines are small.
  thread_local std::vector<Edge> edges;
  thread_local std::vector<ActiveEdge> active;
  edges.clear();
  active.clear();
  int64_t ymin = INT64_MAX, ymax = INT64_MIN;
  const POINT* p = points;
  constexpr LONG kFarthest = 1 << 27;
  for (int k = 0; k < polygons; ++k) {
    int n = counts[k];
    for (int i = 0; i < n; ++i) {
      const POINT& a = p[i];
      if (a.x < -kFarthest || a.x >= kFarthest || a.y < -kFarthest || a.y >= kFarthest) {
        out.refill();
        return true;
      }
      const POINT& b = p[i + 1 < n ? i + 1 : 0];
      if (a.y == b.y) continue;
      Edge e = a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1};
      ymin = std::min(ymin, e.y0);
      ymax = std::max(ymax, e.y1);
      edges.push_back(e);
    }
    p += n;
  }
  if (edges.empty()) return true;
  if (ymax - ymin > kMaxShapeExtent) return false;
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
  // Spans of a row come out sorted by x, so the list is canonical as written. An edge's x in a row
  // it crosses lies between its ends' x, so it fits a LONG.
  BandBuilder builder(rects);
  auto narrow = [](int64_t x) { return static_cast<LONG>(x); };
  size_t nextEdge = 0;
  for (int64_t y = ymin; y < ymax;) {
    active.erase(std::remove_if(active.begin(), active.end(), [y](const ActiveEdge& e) { return e.y1 <= y; }),
                 active.end());
    while (nextEdge < edges.size() && edges[nextEdge].y0 <= y) active.emplace_back(edges[nextEdge++]);
    // Until the next edge starts or ends, the same edges cross every row.
    int64_t blockEnd = nextEdge < edges.size() ? edges[nextEdge].y0 : ymax;
    for (const ActiveEdge& e : active) blockEnd = std::min(blockEnd, e.y1);
    if (active.size() == 2) {
      y = twoEdgeRows(active[0], active[1], y, blockEnd, builder);
      continue;
    }
    // The edges stay nearly in order from row to row: an insertion sort is about one pass.
    for (size_t i = 1; i < active.size(); ++i) {
      ActiveEdge moving = active[i];
      size_t j = i;
      for (; j > 0 && active[j - 1].x > moving.x; --j) active[j] = active[j - 1];
      active[j] = moving;
    }
    builder.begin(static_cast<LONG>(y), static_cast<LONG>(y + 1));
    int winding = 0;
    for (size_t i = 0; i + 1 < active.size(); ++i) {
      winding += mode == WINDING ? active[i].dir : 1;
      bool in = mode == WINDING ? winding != 0 : (winding & 1) != 0;
      if (in && active[i].x < active[i + 1].x) builder.span(narrow(active[i].x), narrow(active[i + 1].x));
    }
    builder.end();
    for (ActiveEdge& e : active) e.nextRow();
    ++y;
  }
  return true;
}

RegionBands frameRegion(const RegionBands& region, int width, int height) {
  RegionBands inner = region;
  const int moves[4][2] = {{width, 0}, {-width, 0}, {0, height}, {0, -height}};
  for (const auto& m : moves) {
    RegionBands moved = region;
    moved.offset(m[0], m[1]);
    inner = RegionBands::combine(inner, moved, RGN_AND);
  }
  return RegionBands::combine(region, inner, RGN_DIFF);
}

std::vector<POINT> ellipseOutline(int left, int top, int right, int bottom) {
  std::vector<POINT> upperRight, upperLeft, lowerLeft, lowerRight;
  walkEllipse(left, top, right, bottom, [&](int64_t x0, int64_t x1, int64_t y0, int64_t y1) {
    upperRight.push_back(POINT{static_cast<LONG>(x1), static_cast<LONG>(y1)});
    upperLeft.push_back(POINT{static_cast<LONG>(x0), static_cast<LONG>(y1)});
    lowerLeft.push_back(POINT{static_cast<LONG>(x0), static_cast<LONG>(y0)});
    lowerRight.push_back(POINT{static_cast<LONG>(x1), static_cast<LONG>(y0)});
  });
  std::reverse(upperLeft.begin(), upperLeft.end());
  std::reverse(lowerRight.begin(), lowerRight.end());
  std::vector<POINT> loop;
  loop.reserve(upperRight.size() * 4);
  auto append = [&](const std::vector<POINT>& part) {
    for (const POINT& pt : part) {
      if (!loop.empty() && loop.back().x == pt.x && loop.back().y == pt.y) continue;
      loop.push_back(pt);
    }
  };
  append(upperRight);
  append(upperLeft);
  append(lowerLeft);
  append(lowerRight);
  while (loop.size() > 1 && loop.back().x == loop.front().x && loop.back().y == loop.front().y)
    loop.pop_back();
  return loop;
}

}  // namespace gdi
