// Painting primitives for every drawing call: they take logical (client) coordinates, honour the
// DC's effective clip and widen the target's dirty rect. Right ends are exclusive.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gdi/Bitmap.h"
#include "gdi/DeviceContext.h"

namespace gdi {

// One row of a colour combined with the destination by the binary raster operation (R2_).
void paintSpan(DeviceContext& dc, int y, int x0, int x1, COLORREF color, int rop2);
// One row of a brush (solid, hatched with the DC's background mode, or pattern, aligned to the
// brush origin) combined with the destination by rop2. A hollow brush paints nothing.
void paintBrushSpan(DeviceContext& dc, int y, int x0, int x1, HBRUSH brush, int rop2);
// Every row of a rectangle (logical, right/bottom exclusive) with paintBrushSpan.
void paintBrushRect(DeviceContext& dc, const RECT& rect, HBRUSH brush, int rop2);
void paintPixel(DeviceContext& dc, int x, int y, COLORREF color, int rop2);
// One column of a colour, rows y0..y1-1 (exclusive), combined with the destination by rop2.
void paintColumn(DeviceContext& dc, int x, int y0, int y1, COLORREF color, int rop2);
// Inverts every other pixel from x0 (included) up to x1 in row y, or from y0 up to y1 in column x:
// the dotted lines of a focus frame.
void invertDotsInRow(DeviceContext& dc, int y, int x0, int x1);
void invertDotsInColumn(DeviceContext& dc, int x, int y0, int y1);

// What a colour becomes on the target: the nearest colour-table entry for 8 bpp and fewer
// (on a monochrome target black or white), the colour itself (top byte cleared) otherwise.
COLORREF nearestColor(const BitmapObject& target, COLORREF color);

// The colour part of a COLORREF: palette flags in the top byte are dropped.
inline COLORREF plainColor(COLORREF color) { return color & 0x00FFFFFF; }

// Truth tables over whole pixel values, bit by bit. rop2 is an R2_ code; rop3 is the index byte
// of a ternary raster operation (bits 16..23 of the code).
inline DWORD applyRop2(int rop2, DWORD pen, DWORD dst) {
  unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
  DWORD result = 0;
  if (table & 1) result |= ~pen & ~dst;
  if (table & 2) result |= ~pen & dst;
  if (table & 4) result |= pen & ~dst;
  if (table & 8) result |= pen & dst;
  return result;
}
inline DWORD applyRop3(BYTE rop3, DWORD pattern, DWORD source, DWORD dest) {
  switch (rop3) {
    case 0x00: return 0;
    case 0xFF: return ~DWORD{0};
    case 0xCC: return source;
    case 0x33: return ~source;
    case 0x88: return source & dest;
    case 0xEE: return source | dest;
    case 0x66: return source ^ dest;
    case 0x22: return dest & ~source;
    case 0xBB: return ~source | dest;
    case 0xF0: return pattern;
    case 0x0F: return ~pattern;
    case 0x5A: return pattern ^ dest;
    case 0x55: return ~dest;
    case 0xAA: return dest;
    default: break;
  }
  DWORD result = 0;
  for (int i = 0; i < 8; ++i) {
    if (((rop3 >> i) & 1) == 0) continue;
    DWORD term = (i & 4) ? pattern : ~pattern;
    term &= (i & 2) ? source : ~source;
    term &= (i & 1) ? dest : ~dest;
    result |= term;
  }
  return result;
}
// The bits of a stored value (1 for 1 bpp, 0xFFFF for 16 bpp, all 32 for 32 bpp): raster
// operations other than a plain copy apply to every one of them, the fourth byte of 32 bpp too.
DWORD valueMask(const BitmapObject& target);
// The bits of a stored value that hold colour (0xFFFFFF for the usual 32 bpp layout).
DWORD colorMask(const BitmapObject& target);

// A coordinate worked out in 64 bits, held to the int range: far outside anything that shows.
inline int clampToInt(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : static_cast<int>(v));
}

}  // namespace gdi
