// The region calls. Rectangles given with left > right or top > bottom are normalized, as Windows
// does. Where Windows is silent: OffsetRgn that would move a coordinate past the 32-bit range fails
// with ERROR and ERROR_INVALID_PARAMETER and leaves the region alone; GetRegionData with a buffer
// too small returns 0 with ERROR_INSUFFICIENT_BUFFER; ExtCreateRegion accepts only a NULL
// transform (ERROR_INVALID_PARAMETER otherwise); FillRgn and FrameRgn copy the brush (PATCOPY)
// while PaintRgn mixes with the DC's binary raster operation.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "gdi/Brush.h"
#include "gdi/DeviceContext.h"
#include "gdi/GdiObject.h"
#include "gdi/Raster.h"
#include "gdi/Region.h"

using gdi::RegionBands;
using gdi::RegionObject;

namespace {

RegionObject* regionFromHandle(HRGN handle) {
  return gdi::objectAs<RegionObject>(handle, gdi::ObjectKind::Region);
}

HRGN addRegion(std::unique_ptr<RegionObject> object) {
  return static_cast<HRGN>(gdi::addObject(std::move(object)));
}

HRGN newRegion(RegionBands bands) {
  auto object = RegionObject::make();
  object->bands = std::move(bands);
  return addRegion(std::move(object));
}

RECT normalizedRect(int x1, int y1, int x2, int y2) {
  return RECT{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

// A region object with the shape build writes into it, or NULL when the shape is too large.
template <typename Build>
HRGN newShape(Build build) {
  auto object = RegionObject::make();
  if (!build(object->bands)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return addRegion(std::move(object));
}

// Only the part inside the clip box is walked, so a huge region costs no more than the surface.
RegionBands shownPart(const gdi::DeviceContext& dc, const RegionBands& region) {
  return region.intersected(dc.clipBoxLogical());
}

void paintRegion(gdi::DeviceContext& dc, const RegionBands& region, HBRUSH brush, int rop2) {
  RegionBands shown = shownPart(dc, region);
  for (const RECT& r : shown.rects()) gdi::paintBrushRect(dc, r, brush, rop2);
}

}  // namespace

namespace gdi {

namespace {

// Enough for every region a repaint has alive at once, few enough to cost nothing kept.
constexpr size_t kWaitingRegions = 32;
// A region of more rectangles than a large button's outline and its rings frees its storage
// instead of keeping it: those of a 400x300 elliptic button are kept, and the most kept is 512 KB.
constexpr size_t kKeptRects = 1024;

std::vector<RegionObject*>& waitingRegions() {
  static auto* waiting = [] {
    auto* list = new std::vector<RegionObject*>;  // outlives every static that may delete regions
    list->reserve(kWaitingRegions);
    return list;
  }();
  return *waiting;
}

}  // namespace

std::unique_ptr<RegionObject> RegionObject::make() {
  std::vector<RegionObject*>& waiting = waitingRegions();
  if (waiting.empty()) return std::make_unique<RegionObject>();
  std::unique_ptr<RegionObject> object(waiting.back());
  waiting.pop_back();
  return object;
}

void RegionObject::dispose() {
  std::vector<RegionObject*>& waiting = waitingRegions();
  if (waiting.size() >= kWaitingRegions || bands.rects().capacity() > kKeptRects) {
    delete this;
    return;
  }
  bands.refill();
  selectCount = 0;
  handle = nullptr;
  waiting.push_back(this);
}

}  // namespace gdi

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
  auto object = RegionObject::make();
  object->bands.assignRect(normalizedRect(x1, y1, x2, y2));
  return addRegion(std::move(object));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
  if (lprect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN WINAPI CreateEllipticRgn(int x1, int y1, int x2, int y2) {
  return newShape([&](RegionBands& out) { return gdi::ellipseRegion(RECT{x1, y1, x2, y2}, out); });
}

HRGN WINAPI CreateEllipticRgnIndirect(const RECT* lprect) {
  if (lprect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateEllipticRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN WINAPI CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
  return newShape([&](RegionBands& out) { return gdi::roundRectRegion(RECT{x1, y1, x2, y2}, w, h, out); });
}

HRGN WINAPI CreatePolyPolygonRgn(const POINT* pptl, const INT* pc, int cPoly, int iMode) {
  if (pptl == nullptr || pc == nullptr || cPoly <= 0 || (iMode != ALTERNATE && iMode != WINDING)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  for (int i = 0; i < cPoly; ++i) {
    if (pc[i] < 2) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  }
  return newShape([&](RegionBands& out) { return gdi::polygonRegion(pptl, pc, cPoly, iMode, out); });
}

HRGN WINAPI CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode) {
  return CreatePolyPolygonRgn(pptl, &cPoint, 1, iMode);
}

HRGN WINAPI ExtCreateRegion(const void* lpx, DWORD nCount, const RGNDATA* lpData) {
  if (lpx != nullptr || lpData == nullptr || nCount < sizeof(RGNDATAHEADER) ||
      lpData->rdh.dwSize != sizeof(RGNDATAHEADER) || lpData->rdh.iType != RDH_RECTANGLES ||
      lpData->rdh.nCount > (nCount - sizeof(RGNDATAHEADER)) / sizeof(RECT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<RECT> rects(lpData->rdh.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), lpData->Buffer, rects.size() * sizeof(RECT));
  RegionBands bands;
  if (!bands.assignCanonical(rects)) bands = RegionBands::fromRects(rects);
  return newRegion(std::move(bands));
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
  RegionObject* dst = regionFromHandle(hrgnDst);
  if (dst == nullptr) return ERROR;
  RegionObject* src1 = regionFromHandle(hrgnSrc1);
  if (src1 == nullptr) return ERROR;
  if (iMode == RGN_COPY) {
    dst->bands = src1->bands;
    return dst->bands.type();
  }
  if (iMode < RGN_AND || iMode > RGN_DIFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  RegionObject* src2 = regionFromHandle(hrgnSrc2);
  if (src2 == nullptr) return ERROR;
  dst->bands.assignCombined(src1->bands, src2->bands, iMode);
  return dst->bands.type();
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr) return ERROR;
  if (!region->bands.empty()) {
    RECT box = region->bands.box();
    auto fits = [](int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
    if (!fits(int64_t{box.left} + x) || !fits(int64_t{box.right} + x) ||
        !fits(int64_t{box.top} + y) || !fits(int64_t{box.bottom} + y)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
    }
  }
  region->bands.offset(x, y);
  return region->bands.type();
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
  RegionObject* region = regionFromHandle(hrgn);
  return region != nullptr && region->bands.contains(x, y);
}

BOOL WINAPI RectInRegion(HRGN hrgn, const RECT* lprect) {
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr) return FALSE;
  if (lprect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT r = normalizedRect(lprect->left, lprect->top, lprect->right, lprect->bottom);
  return !region->bands.intersected(r).empty();
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr) return ERROR;
  if (lprc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  *lprc = region->bands.box();
  return region->bands.type();
}

BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2) {
  RegionObject* a = regionFromHandle(hrgn1);
  if (a == nullptr) return ERROR;
  RegionObject* b = regionFromHandle(hrgn2);
  if (b == nullptr) return ERROR;
  return a->bands == b->bands;
}

DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData) {
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr) return 0;
  const std::vector<RECT>& rects = region->bands.rects();
  DWORD rectBytes = static_cast<DWORD>(rects.size() * sizeof(RECT));
  DWORD size = static_cast<DWORD>(sizeof(RGNDATAHEADER)) + rectBytes;
  if (lpRgnData == nullptr) return size;
  if (nCount < size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  lpRgnData->rdh.dwSize = sizeof(RGNDATAHEADER);
  lpRgnData->rdh.iType = RDH_RECTANGLES;
  lpRgnData->rdh.nCount = static_cast<DWORD>(rects.size());
  lpRgnData->rdh.nRgnSize = rectBytes;
  lpRgnData->rdh.rcBound = region->bands.box();
  if (!rects.empty()) std::memcpy(lpRgnData->Buffer, rects.data(), rectBytes);
  return size;
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr) return FALSE;
  region->bands.assignRect(normalizedRect(left, top, right, bottom));
  return TRUE;
}

BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr || gdi::brushFromHandle(hbr) == nullptr) return FALSE;
  paintRegion(*dc, region->bands, hbr, R2_COPYPEN);
  return TRUE;
}

BOOL WINAPI PaintRgn(HDC hdc, HRGN hrgn) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr) return FALSE;
  paintRegion(*dc, region->bands, dc->brush, dc->rop2);
  return TRUE;
}

BOOL WINAPI FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr || gdi::brushFromHandle(hbr) == nullptr) return FALSE;
  if (w <= 0 || h <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  paintRegion(*dc, gdi::frameRegion(region->bands, w, h), hbr, R2_COPYPEN);
  return TRUE;
}

BOOL WINAPI InvertRgn(HDC hdc, HRGN hrgn) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  RegionObject* region = regionFromHandle(hrgn);
  if (region == nullptr) return FALSE;
  RegionBands shown = shownPart(*dc, region->bands);
  for (const RECT& r : shown.rects())
    for (int y = r.top; y < r.bottom; ++y) gdi::paintSpan(*dc, y, r.left, r.right, 0, R2_NOT);
  return TRUE;
}
