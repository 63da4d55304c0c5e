// DCs that a thread other than the user-interface thread holds on a window belong to the window
// system (user/ThreadPaint.cpp), not to the handle table: their handles lie in a range of their
// own, and SetDIBitsToDevice, the one drawing call such a DC takes, hands the image over.
#pragma once

#include <windows.h>

#include <cstdint>

namespace gdi {

struct BitmapObject;

constexpr uintptr_t kThreadDCBase = uintptr_t{1} << 40;

inline bool isThreadDC(HDC hdc) {
  uintptr_t v = reinterpret_cast<uintptr_t>(hdc);
  return v >= kThreadDCBase && v - kThreadDCBase < (uintptr_t{1} << 32);
}

// Shows the width x height area of image at (sx, sy) at (x, y) of the DC's window client area;
// false when the DC is unknown. Installed by the window system before it hands out such a DC.
using ThreadDibBlit = bool (*)(HDC hdc, int x, int y, int width, int height, const BitmapObject& image,
                               int sx, int sy);
void setThreadDibBlit(ThreadDibBlit blit);
bool threadDibBlit(HDC hdc, int x, int y, int width, int height, const BitmapObject& image, int sx,
                   int sy);

}  // namespace gdi
