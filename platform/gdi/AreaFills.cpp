// Rectangle fills: FillRect and FrameRect copy the brush whatever the DC's raster operation, and
// take either a brush or a system colour index plus one (FillRect without one takes the DC's
// brush); InvertRect inverts every pixel;
// DrawFocusRect inverts every other pixel of the rectangle's one-pixel frame. Where Windows is
// silent: the focus frame's dot pattern is anchored at its top-right pixel, and each of its four
// sides is inverted on its own, so a frame one pixel high or wide inverts its pixels twice and
// shows nothing.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "gdi/Brush.h"
#include "gdi/DeviceContext.h"
#include "gdi/Raster.h"

using gdi::DeviceContext;

namespace {

// A brush handle, or a system colour index plus one in its place.
HBRUSH resolveBrush(HBRUSH brush) {
  auto value = reinterpret_cast<uintptr_t>(brush);
  if (value >= 1 && value <= COLOR_MENUBAR + 1) return GetSysColorBrush(static_cast<int>(value) - 1);
  return gdi::brushFromHandle(brush) != nullptr ? brush : nullptr;
}

// The part of a rectangle that can show, so that huge rectangles cost no more than the surface.
RECT visiblePart(const DeviceContext& dc, const RECT& r) {
  RECT clip = dc.clipBoxLogical();
  return RECT{std::max(r.left, clip.left), std::max(r.top, clip.top), std::min(r.right, clip.right),
              std::min(r.bottom, clip.bottom)};
}

}  // namespace

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  DeviceContext* dc = gdi::dcFromHandle(hDC);
  if (dc == nullptr) return FALSE;
  // Without a brush FillRect takes the one selected in the DC.
  HBRUSH brush = resolveBrush(hbr == nullptr ? dc->brush : hbr);
  if (lprc == nullptr || brush == nullptr) {
    if (lprc == nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT r = visiblePart(*dc, *lprc);
  if (r.left < r.right && r.top < r.bottom) gdi::paintBrushRect(*dc, r, brush, R2_COPYPEN);
  return TRUE;
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  DeviceContext* dc = gdi::dcFromHandle(hDC);
  if (dc == nullptr) return FALSE;
  HBRUSH brush = resolveBrush(hbr);
  if (lprc == nullptr || brush == nullptr) {
    if (lprc == nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT r = *lprc;
  if (r.left >= r.right || r.top >= r.bottom) return TRUE;
  gdi::paintBrushSpan(*dc, r.top, r.left, r.right, brush, R2_COPYPEN);
  if (r.bottom - r.top > 1) gdi::paintBrushSpan(*dc, r.bottom - 1, r.left, r.right, brush, R2_COPYPEN);
  RECT shown = visiblePart(*dc, r);
  for (int y = std::max(r.top + 1, shown.top); y < std::min(r.bottom - 1, shown.bottom); ++y) {
    gdi::paintBrushSpan(*dc, y, r.left, r.left + 1, brush, R2_COPYPEN);
    if (r.right - r.left > 1) gdi::paintBrushSpan(*dc, y, r.right - 1, r.right, brush, R2_COPYPEN);
  }
  return TRUE;
}

BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc) {
  DeviceContext* dc = gdi::dcFromHandle(hDC);
  if (dc == nullptr) return FALSE;
  if (lprc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT r = visiblePart(*dc, *lprc);
  for (int y = r.top; y < r.bottom; ++y) gdi::paintSpan(*dc, y, r.left, r.right, 0, R2_NOT);
  return TRUE;
}

BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc) {
  DeviceContext* dc = gdi::dcFromHandle(hDC);
  if (dc == nullptr) return FALSE;
  if (lprc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const RECT& r = *lprc;
  if (r.left >= r.right || r.top >= r.bottom) return TRUE;
  // A pixel is a dot when its distance from the top-right pixel, along both axes, is even.
  long long anchor = static_cast<long long>(r.right) - 1 + r.top;
  // The first dot at or after 'from' along a row (sign -1) or a column (sign +1) of the frame.
  auto firstDot = [&](long long from, long long fixed, int sign) {
    long long d = sign < 0 ? anchor - from + fixed : anchor - fixed + from;
    return static_cast<int>(from + (d & 1));
  };
  RECT shown = visiblePart(*dc, r);
  int x0 = std::max(r.left, shown.left), x1 = std::min(r.right, shown.right);
  if (x0 < x1) {
    gdi::invertDotsInRow(*dc, r.top, firstDot(x0, r.top, -1), x1);
    gdi::invertDotsInRow(*dc, r.bottom - 1, firstDot(x0, r.bottom - 1, -1), x1);
  }
  int y0 = std::max(r.top + 1, shown.top), y1 = std::min(r.bottom - 1, shown.bottom);
  if (y0 < y1) {
    gdi::invertDotsInColumn(*dc, r.left, firstDot(y0, r.left, 1), y1);
    gdi::invertDotsInColumn(*dc, r.right - 1, firstDot(y0, r.right - 1, 1), y1);
  }
  return TRUE;
}
