// Region algebra on y-x banded rectangle lists and the shapes regions are made from. Combination
// sweeps both operands band by band, so every result is already canonical and equality is a plain
// comparison of rectangle lists. Rows that the ellipse walk never reaches (very thin ellipses) stay
// empty; a region never holds an empty or unset rectangle.
#include "gdi/Region.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

namespace gdi {

namespace {

using Span = std::pair<LONG, LONG>;

struct Band {
  LONG top, bottom;
  size_t begin, end;  // rects_[begin, end)
};

std::vector<Band> bandsOf(const std::vector<RECT>& rects) {
  std::vector<Band> bands;
  size_t i = 0;
  while (i < rects.size()) {
    size_t j = i + 1;
    while (j < rects.size() && rects[j].top == rects[i].top) ++j;
    bands.push_back(Band{rects[i].top, rects[i].bottom, i, j});
    i = j;
  }
  return bands;
}

bool inside(int mode, bool a, bool b) {
  switch (mode) {
    case RGN_AND: return a && b;
    case RGN_OR: return a || b;
    case RGN_XOR: return a != b;
    default: return a && !b;  // RGN_DIFF
  }
}

// Combines the sorted, disjoint spans of one band of each operand.
void combineSpans(const RECT* a, size_t na, const RECT* b, size_t nb, int mode,
                  std::vector<Span>& out) {
  out.clear();
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
    bool now = inside(mode, inA, inB);
    if (now == in) continue;
    if (now) {
      start = x;
    } else {
      out.emplace_back(static_cast<LONG>(start), static_cast<LONG>(x));
    }
    in = now;
  }
}

// Appends a band, merging it into the previous one when it continues it with the same spans.
class BandWriter {
 public:
  explicit BandWriter(std::vector<RECT>& rects) : rects_(rects) {}

  void add(LONG top, LONG bottom, const std::vector<Span>& spans) {
    if (spans.empty() || top >= bottom) return;
    size_t count = rects_.size() - lastBegin_;
    if (hasLast_ && rects_[lastBegin_].bottom == top && count == spans.size()) {
      bool same = true;
      for (size_t k = 0; k < count && same; ++k) {
        const RECT& r = rects_[lastBegin_ + k];
        same = r.left == spans[k].first && r.right == spans[k].second;
      }
      if (same) {
        for (size_t k = lastBegin_; k < rects_.size(); ++k) rects_[k].bottom = bottom;
        return;
      }
    }
    lastBegin_ = rects_.size();
    hasLast_ = true;
    for (const Span& s : spans) rects_.push_back(RECT{s.first, top, s.second, bottom});
  }

 private:
  std::vector<RECT>& rects_;
  size_t lastBegin_ = 0;
  bool hasLast_ = false;
};

}  // namespace

RegionBands RegionBands::fromRect(const RECT& rect) {
  RegionBands region;
  if (rect.left < rect.right && rect.top < rect.bottom) region.rects_.push_back(rect);
  return region;
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

RegionBands RegionBands::combine(const RegionBands& a, const RegionBands& b, int mode) {
  switch (mode) {
    case RGN_AND:
      if (a.empty() || b.empty()) return RegionBands();
      break;
    case RGN_OR:
    case RGN_XOR:
      if (a.empty()) return b;
      if (b.empty()) return a;
      break;
    case RGN_DIFF:
      if (a.empty()) return RegionBands();
      if (b.empty()) return a;
      break;
    default: return RegionBands();
  }
  std::vector<Band> bandsA = bandsOf(a.rects_);
  std::vector<Band> bandsB = bandsOf(b.rects_);
  RegionBands result;
  result.rects_.reserve(a.rects_.size() + b.rects_.size());
  BandWriter writer(result.rects_);
  std::vector<Span> spans;
  size_t ia = 0, ib = 0;
  int64_t y = std::min<int64_t>(bandsA.front().top, bandsB.front().top);
  while (ia < bandsA.size() || ib < bandsB.size()) {
    while (ia < bandsA.size() && bandsA[ia].bottom <= y) ++ia;
    while (ib < bandsB.size() && bandsB[ib].bottom <= y) ++ib;
    if (ia == bandsA.size() && ib == bandsB.size()) break;
    bool activeA = ia < bandsA.size() && bandsA[ia].top <= y;
    bool activeB = ib < bandsB.size() && bandsB[ib].top <= y;
    int64_t next = INT64_MAX;
    if (ia < bandsA.size()) next = std::min<int64_t>(next, activeA ? bandsA[ia].bottom : bandsA[ia].top);
    if (ib < bandsB.size()) next = std::min<int64_t>(next, activeB ? bandsB[ib].bottom : bandsB[ib].top);
    if (activeA || activeB) {
      const RECT* ra = activeA ? &a.rects_[bandsA[ia].begin] : nullptr;
      size_t na = activeA ? bandsA[ia].end - bandsA[ia].begin : 0;
      const RECT* rb = activeB ? &b.rects_[bandsB[ib].begin] : nullptr;
      size_t nb = activeB ? bandsB[ib].end - bandsB[ib].begin : 0;
      combineSpans(ra, na, rb, nb, mode, spans);
      writer.add(static_cast<LONG>(y), static_cast<LONG>(next), spans);
    }
    y = next;
  }
  return result;
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
  BandWriter writer(result.rects_);
  std::vector<Span> row;
  size_t i = 0;
  while (i < input.size()) {
    int y = input[i].y;
    row.clear();
    for (; i < input.size() && input[i].y == y; ++i) {
      const RowSpan& s = input[i];
      if (s.x0 >= s.x1) continue;
      if (!row.empty() && s.x0 <= row.back().second) {
        row.back().second = std::max<LONG>(row.back().second, s.x1);
      } else {
        row.emplace_back(s.x0, s.x1);
      }
    }
    writer.add(y, y + 1, row);
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
  BandWriter writer(built.rects_);
  std::vector<Span> spans;
  for (const Band& band : bandsOf(rects)) {
    spans.clear();
    for (size_t k = band.begin; k < band.end; ++k) spans.emplace_back(rects[k].left, rects[k].right);
    writer.add(band.top, band.bottom, spans);
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

// One quarter of the ellipse in the inclusive box, walked from the middle rows outwards by the
// integer error-term method: each step moves one row down (y0) and up (y1), one column in (x0,
// x1), or both. step(x0, x1, y0, y1) sees every position.
template <typename F>
void walkEllipse(int64_t left, int64_t top, int64_t right, int64_t bottom, F step) {
  int64_t a = right - left, b = bottom - top, b1 = b & 1;
  int64_t dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
  int64_t err = dx + dy + b1 * a * a;
  int64_t x0 = left, x1 = right;
  int64_t y0 = top + (b + 1) / 2, y1 = y0 - b1;
  int64_t a8 = 8 * a * a, b8 = 8 * b * b;
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

// Left and right (exclusive) of each row of an ellipse region filling the inclusive box; rows the
// walk never reaches keep left == right.
std::vector<Span> ellipseRows(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  std::vector<Span> rows(static_cast<size_t>(bottom - top + 1), Span{0, 0});
  std::vector<bool> set(rows.size(), false);
  walkEllipse(left, top, right, bottom, [&](int64_t x0, int64_t x1, int64_t y0, int64_t y1) {
    for (int64_t y : {y0, y1}) {
      if (y < top || y > bottom) continue;
      size_t i = static_cast<size_t>(y - top);
      if (set[i]) continue;
      set[i] = true;
      rows[i] = Span{static_cast<LONG>(x0), static_cast<LONG>(x1 + 1)};
    }
  });
  return rows;
}

bool tooLarge(const RECT& r) {
  return static_cast<int64_t>(r.right) - r.left > kMaxShapeExtent ||
         static_cast<int64_t>(r.bottom) - r.top > kMaxShapeExtent;
}

}  // namespace

RegionBands ellipseRegion(RECT box, bool* ok) {
  box = normalized(box);
  *ok = !tooLarge(box);
  if (!*ok) return RegionBands();
  // The ellipse fills the inclusive box (left, top)-(right - 2, bottom - 2); boxes of two pixels
  // or less across are plain rectangles.
  if (box.right - box.left <= 2 || box.bottom - box.top <= 2)
    return RegionBands::fromRect(RECT{box.left, box.top, box.right - 1, box.bottom - 1});
  std::vector<Span> rows = ellipseRows(box.left, box.top, box.right - 2, box.bottom - 2);
  std::vector<RegionBands::RowSpan> spans;
  spans.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i)
    if (rows[i].first < rows[i].second)
      spans.push_back({box.top + static_cast<int>(i), rows[i].first, rows[i].second});
  return RegionBands::fromRowSpans(spans);
}

RegionBands roundRectRegion(RECT box, int ellipseWidth, int ellipseHeight, bool* ok) {
  box = normalized(box);
  *ok = !tooLarge(box);
  if (!*ok) return RegionBands();
  int width = box.right - box.left - 1, height = box.bottom - box.top - 1;
  if (width <= 0 || height <= 0) return RegionBands();
  // The corner ellipse is no larger than the rectangle itself.
  int ew = std::min(std::abs(ellipseWidth), width + 1);
  int eh = std::min(std::abs(ellipseHeight), height + 1);
  if (ew <= 2 || eh <= 2)
    return RegionBands::fromRect(RECT{box.left, box.top, box.right - 1, box.bottom - 1});
  std::vector<Span> corner = ellipseRows(0, 0, ew - 2, eh - 2);
  int cornerRows = static_cast<int>(corner.size());
  int half = cornerRows / 2;
  std::vector<RegionBands::RowSpan> spans;
  spans.reserve(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    int i = -1;  // the corner row that shapes this row, if any
    if (y < half) i = y;
    else if (y >= height - half) i = cornerRows - (height - y);
    int x0 = box.left, x1 = box.left + width;
    if (i >= 0) {
      if (corner[static_cast<size_t>(i)].first >= corner[static_cast<size_t>(i)].second) continue;
      int inset = corner[static_cast<size_t>(i)].first;
      x0 += inset;
      x1 -= inset;
    }
    spans.push_back({box.top + y, x0, x1});
  }
  return RegionBands::fromRowSpans(spans);
}

namespace {

struct Edge {
  int64_t x0, y0, x1, y1;  // y0 < y1
  int dir;                 // +1 downwards as given, -1 upwards
};

// ceil(n / d) for d > 0.
int64_t ceilDiv(int64_t n, int64_t d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }

}  // namespace

RegionBands polygonRegion(const POINT* points, const int* counts, int polygons, int mode, bool* ok) {
  *ok = true;
  std::vector<Edge> edges;
  int64_t ymin = INT64_MAX, ymax = INT64_MIN;
  const POINT* p = points;
  for (int k = 0; k < polygons; ++k) {
    int n = counts[k];
    for (int i = 0; i < n; ++i) {
      const POINT& a = p[i];
      const POINT& b = p[(i + 1) % n];
      if (a.y == b.y) continue;
      Edge e = a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1};
      ymin = std::min(ymin, e.y0);
      ymax = std::max(ymax, e.y1);
      edges.push_back(e);
    }
    p += n;
  }
  if (edges.empty()) return RegionBands();
  if (ymax - ymin > kMaxShapeExtent) {
    *ok = false;
    return RegionBands();
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
  std::vector<RegionBands::RowSpan> spans;
  std::vector<const Edge*> active;
  std::vector<std::pair<int64_t, int>> crossings;
  size_t nextEdge = 0;
  for (int64_t y = ymin; y < ymax; ++y) {
    while (nextEdge < edges.size() && edges[nextEdge].y0 <= y) active.push_back(&edges[nextEdge++]);
    active.erase(std::remove_if(active.begin(), active.end(), [y](const Edge* e) { return e->y1 <= y; }),
                 active.end());
    crossings.clear();
    for (const Edge* e : active) {
      if (e->y0 > y) continue;
      // The first pixel whose top-left corner lies on or right of the edge at this row.
      int64_t num = e->x0 * (e->y1 - e->y0) + (y - e->y0) * (e->x1 - e->x0);
      crossings.emplace_back(ceilDiv(num, e->y1 - e->y0), e->dir);
    }
    std::sort(crossings.begin(), crossings.end());
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += mode == WINDING ? crossings[i].second : 1;
      bool in = mode == WINDING ? winding != 0 : (winding & 1) != 0;
      if (in && crossings[i].first < crossings[i + 1].first) {
        int64_t x0 = std::clamp<int64_t>(crossings[i].first, INT_MIN, INT_MAX);
        int64_t x1 = std::clamp<int64_t>(crossings[i + 1].first, INT_MIN, INT_MAX);
        spans.push_back({static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1)});
      }
    }
  }
  // Spans of a row come out sorted by x already; overlapping ones cannot occur after the sort.
  return RegionBands::fromRowSpans(spans);
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
