// DrawIconEx and DrawIcon. Where Windows leaves it open: a stretched icon shows, at destination
// column d of n, source column floor(((d + 1) * 2 * s - n) / (2 * n)) clamped to the image (the
// COLORONCOLOR mapping of StretchBlt), rows alike; an alpha pixel blends as
// (source * a + destination * (255 - a) + 127) / 255 per channel; DI_IMAGE alone copies the colour
// image without blending; a flicker-free brush first fills the destination rectangle.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "gdi/DeviceContext.h"
#include "gdi/Icon.h"
#include "gdi/Raster.h"

namespace {

int sourceIndex(int d, int source, int dest) {
  int64_t v = ((int64_t{d} + 1) * 2 * source - dest);
  v = v < 0 ? 0 : v / (2 * int64_t{dest});
  return static_cast<int>(v >= source ? source - 1 : v);
}

COLORREF toColorRef(uint32_t argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

COLORREF blend(uint32_t argb, COLORREF dest) {
  uint32_t a = argb >> 24;
  auto mix = [a](uint32_t s, uint32_t d) { return (s * a + d * (255 - a) + 127) / 255; };
  return RGB(mix((argb >> 16) & 0xFF, GetRValue(dest)), mix((argb >> 8) & 0xFF, GetGValue(dest)),
             mix(argb & 0xFF, GetBValue(dest)));
}

}  // namespace

BOOL WINAPI DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                       UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags) {
  gdi::IconObject* icon = gdi::iconFromHandle(hIcon);
  if (icon == nullptr) return FALSE;
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  if ((diFlags & DI_NORMAL) == 0 || cxWidth < 0 || cyWidth < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int cx = cxWidth != 0 ? cxWidth : ((diFlags & DI_DEFAULTSIZE) ? 32 : icon->width);
  int cy = cyWidth != 0 ? cyWidth : ((diFlags & DI_DEFAULTSIZE) ? 32 : icon->height);
  if (hbrFlickerFreeDraw != nullptr) {
    auto end = [](int from, int length) { return static_cast<LONG>(std::min<int64_t>(int64_t{from} + length, INT32_MAX)); };
    RECT area{xLeft, yTop, end(xLeft, cx), end(yTop, cy)};
    gdi::paintBrushRect(*dc, area, hbrFlickerFreeDraw, R2_COPYPEN);
  }
  bool mono = icon->color.empty();
  bool normal = (diFlags & DI_NORMAL) == DI_NORMAL;
  gdi::BitmapObject* target = dc->pixels();
  if (target == nullptr) return TRUE;
  POINT origin = dc->origin();
  // Only the part over the target can change anything, however large the icon is drawn.
  int64_t left = std::max<int64_t>(0, int64_t{-origin.x} - xLeft);
  int64_t right = std::min<int64_t>(cx, int64_t{target->width} - origin.x - xLeft);
  int64_t top = std::max<int64_t>(0, int64_t{-origin.y} - yTop);
  int64_t bottom = std::min<int64_t>(cy, int64_t{target->height} - origin.y - yTop);
  for (int dy = static_cast<int>(top); dy < bottom; ++dy) {
    int sy = sourceIndex(dy, icon->height, cy);
    int py = yTop + dy;
    for (int dx = static_cast<int>(left); dx < right; ++dx) {
      size_t k = static_cast<size_t>(sy) * icon->width + sourceIndex(dx, icon->width, cx);
      int px = xLeft + dx;
      COLORREF maskColor = icon->mask[k] ? RGB(255, 255, 255) : RGB(0, 0, 0);
      uint32_t argb = mono ? (icon->monoXor[k] ? 0xFFFFFFFFu : 0xFF000000u) : icon->color[k];
      COLORREF image = toColorRef(argb);
      if (!normal) {
        gdi::paintPixel(*dc, px, py, (diFlags & DI_MASK) ? maskColor : image, R2_COPYPEN);
        continue;
      }
      if (icon->hasAlpha) {
        uint32_t a = argb >> 24;
        if (a == 0) continue;
        if (a == 255) {
          gdi::paintPixel(*dc, px, py, image, R2_COPYPEN);
          continue;
        }
        if (!target->contains(px + origin.x, py + origin.y)) continue;
        gdi::paintPixel(*dc, px, py, blend(argb, target->pixel(px + origin.x, py + origin.y)), R2_COPYPEN);
        continue;
      }
      gdi::paintPixel(*dc, px, py, maskColor, R2_MASKPEN);
      gdi::paintPixel(*dc, px, py, image, R2_XORPEN);
    }
  }
  return TRUE;
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
  return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}
