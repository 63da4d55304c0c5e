// The drawing half of the text calls: glyphs, decoration rows and background cells painted into a
// DC through the raster primitives, in logical coordinates, limited to a bounding box so that a
// string far longer than the target costs no more than what is visible.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "gdi/DeviceContext.h"
#include "gdi/Raster.h"
#include "gdi/RealizedFont.h"

namespace gdi {

// Where drawing can be seen: the DC's clip box, narrowed to clip when one is given. Right and
// bottom are exclusive; the box may be empty.
RECT drawingBounds(const DeviceContext& dc, const RECT* clip);

// A glyph with its origin (pen position on the baseline) at x, baseline, in one colour.
void paintGlyph(DeviceContext& dc, const Glyph& glyph, int x, int baseline, COLORREF color,
                const RECT& bounds);
// A filled rectangle (right/bottom exclusive) in one colour.
void paintRect(DeviceContext& dc, RECT rect, COLORREF color, const RECT& bounds);
// Decoration rows (underline, strikeout) from x0 to x1 (exclusive).
void paintRows(DeviceContext& dc, int x0, int x1, int baseline, LineRows rows, COLORREF color,
               const RECT& bounds);

// The sum of advances of a byte string, saturated to the int range.
int64_t textAdvance(RealizedFont& font, const unsigned char* text, size_t count);

}  // namespace gdi
