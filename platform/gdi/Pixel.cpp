// Single pixels. GetPixel and SetPixel outside the bitmap or outside the clip region fail with
// CLR_INVALID (SetPixel's -1), without touching the last error; SetPixel mixes the colour with
// the pixel by the DC's ROP2, as on Windows, and returns the colour as the target can hold it
// (the pen colour, not the mixed result).
#include <windows.h>

#include "gdi/DeviceContext.h"
#include "gdi/Raster.h"

namespace {

gdi::BitmapObject* pixelTarget(gdi::DeviceContext* dc, int x, int y, int& dx, int& dy) {
  if (dc == nullptr || dc->target() == nullptr) return nullptr;
  POINT o = dc->origin();
  long long px = static_cast<long long>(x) + o.x, py = static_cast<long long>(y) + o.y;
  gdi::BitmapObject* target = dc->pixels();
  if (px < 0 || py < 0 || px >= target->width || py >= target->height) return nullptr;
  dx = static_cast<int>(px);
  dy = static_cast<int>(py);
  if (!dc->effectiveClip().contains(dx, dy)) return nullptr;
  return target;
}

}  // namespace

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  int dx, dy;
  gdi::BitmapObject* target = pixelTarget(gdi::dcFromHandle(hdc), x, y, dx, dy);
  return target == nullptr ? CLR_INVALID : target->pixel(dx, dy);
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  int dx, dy;
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  gdi::BitmapObject* target = pixelTarget(dc, x, y, dx, dy);
  if (target == nullptr) return CLR_INVALID;
  gdi::paintPixel(*dc, x, y, color, dc->rop2);
  return gdi::nearestColor(*target, color);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  return SetPixel(hdc, x, y, color) != CLR_INVALID ? TRUE : FALSE;
}

COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF color) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr || dc->target() == nullptr) return CLR_INVALID;
  return gdi::nearestColor(*dc->target(), color);
}
