// Text is always painted with R2_COPYPEN, whatever the DC's ROP2, as Windows does; every text
// pixel is exactly the colour given (or its nearest on an indexed target).
#include "gdi/TextPainter.h"

#include <algorithm>

#include "gdi/Raster.h"

namespace gdi {

RECT drawingBounds(const DeviceContext& dc, const RECT* clip) {
  RECT box = dc.clipBoxLogical();
  if (clip != nullptr) {
    box.left = std::max(box.left, std::min(clip->left, clip->right));
    box.top = std::max(box.top, std::min(clip->top, clip->bottom));
    box.right = std::min(box.right, std::max(clip->left, clip->right));
    box.bottom = std::min(box.bottom, std::max(clip->top, clip->bottom));
  }
  return box;
}

void paintGlyph(DeviceContext& dc, const Glyph& glyph, int x, int baseline, COLORREF color,
                const RECT& bounds) {
  if (glyph.spans.empty()) return;
  int64_t left = int64_t{x} + glyph.box.left, right = int64_t{x} + glyph.box.right;
  int64_t top = int64_t{baseline} + glyph.box.top, bottom = int64_t{baseline} + glyph.box.bottom;
  if (right <= bounds.left || left >= bounds.right || bottom <= bounds.top || top >= bounds.bottom) {
    return;
  }
  bool inside = left >= bounds.left && right <= bounds.right && top >= bounds.top &&
                bottom <= bounds.bottom;
  for (const GlyphSpan& span : glyph.spans) {
    int y = baseline + span.y;
    int x0 = x + span.x0;
    int x1 = x + span.x1;
    if (!inside) {
      if (y < bounds.top || y >= bounds.bottom) continue;
      x0 = std::max<int>(x0, bounds.left);
      x1 = std::min<int>(x1, bounds.right);
      if (x0 >= x1) continue;
    }
    paintSpan(dc, y, x0, x1, color, R2_COPYPEN);
  }
}

void paintRect(DeviceContext& dc, RECT rect, COLORREF color, const RECT& bounds) {
  rect.left = std::max(rect.left, bounds.left);
  rect.top = std::max(rect.top, bounds.top);
  rect.right = std::min(rect.right, bounds.right);
  rect.bottom = std::min(rect.bottom, bounds.bottom);
  if (rect.left >= rect.right) return;
  for (int y = rect.top; y < rect.bottom; ++y) {
    paintSpan(dc, y, rect.left, rect.right, color, R2_COPYPEN);
  }
}

void paintRows(DeviceContext& dc, int x0, int x1, int baseline, LineRows rows, COLORREF color,
               const RECT& bounds) {
  int64_t top = int64_t{baseline} + rows.first;
  RECT r{x0, clampToInt(top), x1, clampToInt(top + rows.count)};
  paintRect(dc, r, color, bounds);
}

int64_t textAdvance(RealizedFont& font, const unsigned char* text, size_t count) {
  int64_t total = 0;
  for (size_t i = 0; i < count; ++i) {
    total += font.advance(text[i]);
    if (total > INT32_MAX) return INT32_MAX;
  }
  return total;
}

}  // namespace gdi
