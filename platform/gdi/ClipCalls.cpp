// The clipping calls. The DC keeps a copy of the application clip region in client coordinates;
// combining with "no clip" combines with the whole drawing surface, as on Windows. Where Windows
// is silent: OffsetClipRgn on a DC without a clip region changes nothing and reports the type of
// what may be drawn.
#include <windows.h>

#include <optional>
#include <utility>

#include "gdi/DeviceContext.h"
#include "gdi/GdiObject.h"
#include "gdi/Region.h"

using gdi::DeviceContext;
using gdi::RegionBands;

namespace {

// The whole surface of the DC in logical coordinates.
RegionBands wholeSurface(const DeviceContext& dc) {
  const gdi::BitmapObject* target = dc.target();
  if (target == nullptr) return RegionBands();
  POINT o = dc.origin();
  return RegionBands::fromRect(RECT{-o.x, -o.y, target->width - o.x, target->height - o.y});
}

RegionBands currentClip(const DeviceContext& dc) {
  return dc.clipRegion() ? *dc.clipRegion() : wholeSurface(dc);
}

int combineClip(DeviceContext& dc, const RegionBands& with, int mode) {
  dc.setClipRegion(RegionBands::combine(currentClip(dc), with, mode));
  return dc.effectiveClip().type();
}

RECT normalizedRect(int x1, int y1, int x2, int y2) {
  RECT r{x1, y1, x2, y2};
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

}  // namespace

int WINAPI ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return ERROR;
  if (mode < RGN_AND || mode > RGN_COPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  if (hrgn == nullptr) {
    if (mode != RGN_COPY) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
    }
    dc->setClipRegion(std::nullopt);
    return dc->effectiveClip().type();
  }
  auto* region = gdi::objectAs<gdi::RegionObject>(hrgn, gdi::ObjectKind::Region);
  if (region == nullptr) return ERROR;
  if (mode == RGN_COPY) {
    dc->setClipRegion(region->bands);
    return dc->effectiveClip().type();
  }
  return combineClip(*dc, region->bands, mode);
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) { return ExtSelectClipRgn(hdc, hrgn, RGN_COPY); }

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return ERROR;
  return combineClip(*dc, RegionBands::fromRect(normalizedRect(left, top, right, bottom)), RGN_AND);
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return ERROR;
  return combineClip(*dc, RegionBands::fromRect(normalizedRect(left, top, right, bottom)), RGN_DIFF);
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return ERROR;
  if (lprect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  const RegionBands& clip = dc->effectiveClip();
  RECT box = clip.box();
  if (!clip.empty()) {
    POINT o = dc->origin();
    box = RECT{box.left - o.x, box.top - o.y, box.right - o.x, box.bottom - o.y};
  }
  *lprect = box;
  return clip.type();
}

int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return -1;
  auto* region = gdi::objectAs<gdi::RegionObject>(hrgn, gdi::ObjectKind::Region);
  if (region == nullptr) return -1;
  if (!dc->clipRegion()) return 0;
  region->bands = *dc->clipRegion();
  return 1;
}

int WINAPI OffsetClipRgn(HDC hdc, int x, int y) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return ERROR;
  if (dc->clipRegion()) {
    RegionBands moved = *dc->clipRegion();
    moved.offset(x, y);
    dc->setClipRegion(std::move(moved));
  }
  return dc->effectiveClip().type();
}

BOOL WINAPI PtVisible(HDC hdc, int x, int y) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return -1;
  POINT o = dc->origin();
  return dc->effectiveClip().contains(x + o.x, y + o.y);
}
