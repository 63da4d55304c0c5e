// Lines and shapes with the DC's pen and brush, mixed by the DC's binary raster operation. The
// pen draws inside the shape's rectangle, right and bottom edges excluded; with a NULL pen the
// brush fills one pixel less to the right and bottom. A Rectangle one pixel wide and high draws
// nothing; a styled Rectangle outline runs counter-clockwise from its top-right pixel, its dash
// pattern carried round the corners, as Windows draws it. Where Windows is silent: polygons fill with
// ALTERNATE; an Ellipse's dash pattern starts at the rightmost pixel of its middle row; RoundRect
// draws its outline solid whatever the pen style; Arc runs counter-clockwise and starts at the
// first outline pixel on or past the start radial (by angle from the centre of the rectangle).
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "gdi/DeviceContext.h"
#include "gdi/PenStroke.h"
#include "gdi/Raster.h"
#include "gdi/Region.h"

using gdi::DeviceContext;
using gdi::PenStroke;
using gdi::RegionBands;

namespace {

RECT normalized(int left, int top, int right, int bottom) {
  return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// Regions are cut to the clip box first, so huge shapes cost no more than the surface.
void fillRegion(DeviceContext& dc, const RegionBands& region) {
  RegionBands shown = region.intersected(dc.clipBoxLogical());
  for (const RECT& r : shown.rects())
    gdi::paintBrushRect(dc, r, dc.brush, dc.rop2);
}

void paintPenRegion(DeviceContext& dc, const RegionBands& region, COLORREF color) {
  RegionBands shown = region.intersected(dc.clipBoxLogical());
  for (const RECT& r : shown.rects())
    for (int y = r.top; y < r.bottom; ++y) gdi::paintSpan(dc, y, r.left, r.right, color, dc.rop2);
}

RegionBands regionOfPixels(std::vector<POINT> pixels) {
  std::sort(pixels.begin(), pixels.end(),
            [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  std::vector<RegionBands::RowSpan> spans;
  spans.reserve(pixels.size());
  for (const POINT& p : pixels) spans.push_back({p.y, p.x, p.x + 1});
  return RegionBands::fromRowSpans(spans);
}

// Screen angle (counter-clockwise, y down) of a vector given in doubled coordinates.
double screenAngle(long long vx, long long vy) {
  double a = std::atan2(-static_cast<double>(vy), static_cast<double>(vx));
  return a < 0 ? a + 2 * M_PI : a;
}

// The index of the first outline pixel at or past the radial through (x, y) going round.
size_t firstPastRadial(const std::vector<POINT>& loop, long long cx2, long long cy2, int x, int y) {
  double ray = screenAngle(2LL * x - cx2, 2LL * y - cy2);
  size_t best = 0;
  double bestTurn = 1e9;
  for (size_t i = 0; i < loop.size(); ++i) {
    double turn = screenAngle(2LL * loop[i].x - cx2, 2LL * loop[i].y - cy2) - ray;
    if (turn < 0) turn += 2 * M_PI;
    if (turn < bestTurn) {
      bestTurn = turn;
      best = i;
    }
  }
  return best;
}

}  // namespace

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  if (lppt != nullptr) *lppt = dc->currentPosition;
  dc->currentPosition = POINT{x, y};
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  {
    PenStroke stroke(*dc);
    stroke.segment(dc->currentPosition, POINT{x, y});
  }
  dc->currentPosition = POINT{x, y};
  return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  if (apt == nullptr || cpt < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  PenStroke stroke(*dc);
  stroke.polyline(apt, static_cast<size_t>(cpt), false);
  return TRUE;
}

BOOL WINAPI PolylineTo(HDC hdc, const POINT* apt, DWORD cpt) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  if (apt == nullptr && cpt > 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (cpt == 0) return TRUE;
  {
    PenStroke stroke(*dc);
    POINT from = dc->currentPosition;
    for (DWORD i = 0; i < cpt; ++i) {
      stroke.segment(from, apt[i]);
      from = apt[i];
    }
  }
  dc->currentPosition = apt[cpt - 1];
  return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  if (apt == nullptr || cpt < 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RegionBands inside;
  if (!gdi::polygonRegion(apt, &cpt, 1, ALTERNATE, inside)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  fillRegion(*dc, inside);
  PenStroke stroke(*dc);
  stroke.polyline(apt, static_cast<size_t>(cpt), true);
  return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  RECT r = normalized(left, top, right, bottom);
  if (static_cast<long long>(r.right) - r.left == 1 && static_cast<long long>(r.bottom) - r.top == 1) return TRUE;
  PenStroke stroke(*dc);
  if (!stroke.visible()) {
    if (r.left < r.right && r.top < r.bottom)
      fillRegion(*dc, RegionBands::fromRect(RECT{r.left, r.top, r.right - 1, r.bottom - 1}));
    return TRUE;
  }
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  // A wide pen reaches past the rectangle: the edges are worked out in 64 bits and held to the
  // 32-bit range, far outside anything that shows.
  const long long w = stroke.width();
  auto edges = [](long long left, long long top, long long right, long long bottom) {
    return RECT{gdi::clampToInt(left), gdi::clampToInt(top), gdi::clampToInt(right), gdi::clampToInt(bottom)};
  };
  RECT outer = r, inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  if (w > 1) {
    if (stroke.insideFrame()) {
      inner = edges(r.left + w, r.top + w, r.right - w, r.bottom - w);
    } else {
      long long before = (w - 1) / 2;
      long long left = r.left - before, top = r.top - before;
      long long right = r.right - 1 - before + w, bottom = r.bottom - 1 - before + w;
      outer = edges(left, top, right, bottom);
      inner = edges(left + w, top + w, right - w, bottom - w);
    }
  }
  if (inner.left < inner.right && inner.top < inner.bottom) fillRegion(*dc, RegionBands::fromRect(inner));
  if (stroke.plain() || w > 1) {
    // The frame row by row: whole rows above and below the interior, two strips beside it.
    bool hollow = inner.left < inner.right && inner.top < inner.bottom;
    RECT clip = dc->clipBoxLogical();
    for (int y = std::max(outer.top, clip.top); y < std::min(outer.bottom, clip.bottom); ++y) {
      if (hollow && y >= inner.top && y < inner.bottom) {
        gdi::paintSpan(*dc, y, outer.left, inner.left, stroke.color(), dc->rop2);
        gdi::paintSpan(*dc, y, inner.right, outer.right, stroke.color(), dc->rop2);
      } else {
        gdi::paintSpan(*dc, y, outer.left, outer.right, stroke.color(), dc->rop2);
      }
    }
    return TRUE;
  }
  POINT corners[4] = {{r.right - 1, r.top}, {r.left, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
  stroke.polyline(corners, 4, true);
  return TRUE;
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  RECT r = normalized(left, top, right, bottom);
  PenStroke stroke(*dc);
  if (!stroke.visible()) {
    RegionBands inside;
    if (!gdi::ellipseRegion(r, inside)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    fillRegion(*dc, inside);
    return TRUE;
  }
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  RegionBands whole;
  if (!gdi::ellipseRegion(RECT{r.left, r.top, r.right + 1, r.bottom + 1}, whole)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<POINT> loop = gdi::ellipseOutline(r.left, r.top, r.right - 1, r.bottom - 1);
  RegionBands outline = regionOfPixels(loop);
  fillRegion(*dc, RegionBands::combine(whole, outline, RGN_DIFF));
  if (stroke.plain()) {
    paintPenRegion(*dc, outline, stroke.color());
  } else {
    for (const POINT& p : loop) stroke.pixel(p.x, p.y);
  }
  return TRUE;
}

BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  RECT r = normalized(left, top, right, bottom);
  PenStroke stroke(*dc);
  if (!stroke.visible()) {
    RegionBands inside;
    if (!gdi::roundRectRegion(r, width, height, inside)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    fillRegion(*dc, inside);
    return TRUE;
  }
  RegionBands whole;
  if (!gdi::roundRectRegion(RECT{r.left, r.top, r.right + 1, r.bottom + 1}, width, height, whole)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RegionBands outline = gdi::frameRegion(whole, 1, 1);
  fillRegion(*dc, RegionBands::combine(whole, outline, RGN_DIFF));
  paintPenRegion(*dc, outline, stroke.color());
  return TRUE;
}

BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  RECT r = normalized(x1, y1, x2, y2);
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  if (static_cast<long long>(r.right) - r.left > gdi::kMaxShapeExtent ||
      static_cast<long long>(r.bottom) - r.top > gdi::kMaxShapeExtent) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  PenStroke stroke(*dc);
  if (!stroke.visible()) return TRUE;
  std::vector<POINT> loop = gdi::ellipseOutline(r.left, r.top, r.right - 1, r.bottom - 1);
  if (loop.empty()) return TRUE;
  long long cx2 = static_cast<long long>(r.left) + r.right, cy2 = static_cast<long long>(r.top) + r.bottom;
  size_t n = loop.size();
  size_t start = firstPastRadial(loop, cx2, cy2, x3, y3);
  size_t end = firstPastRadial(loop, cx2, cy2, x4, y4);
  // The pixel just before the end radial is the arc's last point and, like a line's, not drawn.
  size_t count = (end + n - 1 - start) % n;
  if (end == start) count = n - 1;
  for (size_t k = 0; k < count; ++k) {
    const POINT& p = loop[(start + k) % n];
    stroke.pixel(p.x, p.y);
  }
  return TRUE;
}
