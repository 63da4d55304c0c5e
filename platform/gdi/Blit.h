// The one blit engine behind BitBlt, StretchBlt, PatBlt, StretchDIBits and SetDIBitsToDevice.
#pragma once

#include <windows.h>

#include "gdi/Bitmap.h"
#include "gdi/DeviceContext.h"

namespace gdi {

struct BlitSource {
  const BitmapObject* bitmap = nullptr;
  COLORREF bkColor = RGB(255, 255, 255);  // the source DC's: colour to monochrome picks it as 1
};

// Destination in logical coordinates of dc, source in bitmap coordinates; negative extents
// mirror. source may be null when the raster operation does not use one. False when the
// operation needs a source and has none.
bool stretchBlit(DeviceContext& dc, int xDest, int yDest, int wDest, int hDest,
                 const BlitSource* source, long long xSrc, long long ySrc, int wSrc, int hSrc, DWORD rop);

// Which source column (or row) each destination column shows when n source pixels stretch to
// m destination pixels (both positive) under StretchBlt's rule.
int stretchSourceIndex(int d, int n, int m);

// True when a ternary raster operation reads the source or the pattern.
inline bool ropUsesSource(BYTE rop3) { return (((rop3 >> 2) ^ rop3) & 0x33) != 0; }
inline bool ropUsesPattern(BYTE rop3) { return (((rop3 >> 4) ^ rop3) & 0x0F) != 0; }

}  // namespace gdi
