// The painting primitives behind lines, shapes, text and fills. Each stored pixel is combined
// with the pen or brush value bit by bit over the stored value (colour-table indices on indexed
// targets), all 32 bits of a 32 bpp pixel included; a plain copy stores the fourth byte zero.
#include "gdi/Raster.h"

#include <algorithm>

#include "gdi/BrushPainter.h"

namespace gdi {

DWORD valueMask(const BitmapObject& target) {
  switch (target.bitsPerPixel) {
    case 1: return 1;
    case 4: return 0xF;
    case 8: return 0xFF;
    case 16: return 0xFFFF;
    case 24: return 0xFFFFFF;
    default: return ~DWORD{0};
  }
}

DWORD colorMask(const BitmapObject& target) {
  if (target.bitsPerPixel <= 8) return valueMask(target);
  if (target.bitsPerPixel == 24) return 0xFFFFFF;
  return target.redMask | target.greenMask | target.blueMask;
}

COLORREF nearestColor(const BitmapObject& target, COLORREF color) {
  return target.colorFromRaw(target.rawFromColor(plainColor(color)));
}

namespace {

// Calls f(x0, x1) for each piece of the device row y inside the effective clip.
template <typename F>
void forEachClipped(const DeviceContext& dc, int y, int x0, int x1, F f) {
  const std::vector<RECT>& rects = dc.effectiveClip().rects();
  auto it = std::upper_bound(rects.begin(), rects.end(), y,
                             [](int value, const RECT& r) { return value < r.bottom; });
  for (; it != rects.end() && it->top <= y; ++it) {
    if (y >= it->bottom) continue;
    int a = std::max<int>(x0, it->left);
    int b = std::min<int>(x1, it->right);
    if (a < b) f(a, b);
  }
}

}  // namespace

namespace {

// Device pixels a..b-1 of row dy take the raw pen value combined by rop2.
void writeRun(BitmapObject& target, int dy, int a, int b, DWORD pen, int rop2, DWORD mask) {
  if (rop2 == R2_COPYPEN && target.bitsPerPixel == 32) {
    DWORD* row = reinterpret_cast<DWORD*>(target.row(dy));
    std::fill(row + a, row + b, pen);
    return;
  }
  for (int x = a; x < b; ++x) target.setRawPixel(x, dy, applyRop2(rop2, pen, target.rawPixel(x, dy)) & mask);
}

}  // namespace

void paintSpan(DeviceContext& dc, int y, int x0, int x1, COLORREF color, int rop2) {
  BitmapObject* target = dc.pixels();
  if (target == nullptr || x0 >= x1) return;
  POINT o = dc.origin();
  int dy = y + o.y;
  DWORD mask = valueMask(*target);
  DWORD pen = target->rawFromColor(plainColor(color));
  forEachClipped(dc, dy, x0 + o.x, x1 + o.x, [&](int a, int b) {
    writeRun(*target, dy, a, b, pen, rop2, mask);
    target->widenDirty(RECT{a, dy, b, dy + 1});
  });
}

void paintColumn(DeviceContext& dc, int x, int y0, int y1, COLORREF color, int rop2) {
  BitmapObject* target = dc.pixels();
  if (target == nullptr || y0 >= y1) return;
  POINT o = dc.origin();
  int dx = x + o.x;
  DWORD mask = valueMask(*target);
  DWORD pen = target->rawFromColor(plainColor(color));
  RECT painted{dx, y1 + o.y, dx + 1, y0 + o.y};
  for (int dy = y0 + o.y; dy < y1 + o.y; ++dy) {
    forEachClipped(dc, dy, dx, dx + 1, [&](int a, int b) {
      writeRun(*target, dy, a, b, pen, rop2, mask);
      painted.top = std::min<LONG>(painted.top, dy);
      painted.bottom = std::max<LONG>(painted.bottom, dy + 1);
    });
  }
  if (painted.top < painted.bottom) target->widenDirty(painted);
}

namespace {

// Inverts the stored values of pixels a, a + 2, ... below b of device row dy.
void invertEveryOther(BitmapObject& target, int dy, int a, int b, DWORD mask) {
  if (target.bitsPerPixel == 32) {
    DWORD* row = reinterpret_cast<DWORD*>(target.row(dy));
    for (int x = a; x < b; x += 2) row[x] = ~row[x] & mask;
    return;
  }
  for (int x = a; x < b; x += 2) target.setRawPixel(x, dy, ~target.rawPixel(x, dy) & mask);
}

}  // namespace

void invertDotsInRow(DeviceContext& dc, int y, int x0, int x1) {
  BitmapObject* target = dc.pixels();
  if (target == nullptr || x0 >= x1) return;
  POINT o = dc.origin();
  int dy = y + o.y, first = x0 + o.x;
  DWORD mask = valueMask(*target);
  forEachClipped(dc, dy, first, x1 + o.x, [&](int a, int b) {
    int start = a + ((a - first) & 1);
    invertEveryOther(*target, dy, start, b, mask);
    if (start < b) target->widenDirty(RECT{start, dy, b, dy + 1});
  });
}

void invertDotsInColumn(DeviceContext& dc, int x, int y0, int y1) {
  BitmapObject* target = dc.pixels();
  if (target == nullptr || y0 >= y1) return;
  POINT o = dc.origin();
  int dx = x + o.x;
  DWORD mask = valueMask(*target);
  RECT painted{dx, y1 + o.y, dx + 1, y0 + o.y};
  for (int dy = y0 + o.y; dy < y1 + o.y; dy += 2) {
    forEachClipped(dc, dy, dx, dx + 1, [&](int a, int b) {
      invertEveryOther(*target, dy, a, b, mask);
      painted.top = std::min<LONG>(painted.top, dy);
      painted.bottom = std::max<LONG>(painted.bottom, dy + 1);
    });
  }
  if (painted.top < painted.bottom) target->widenDirty(painted);
}

void paintPixel(DeviceContext& dc, int x, int y, COLORREF color, int rop2) {
  paintSpan(dc, y, x, x + 1, color, rop2);
}

void paintBrushSpan(DeviceContext& dc, int y, int x0, int x1, HBRUSH brush, int rop2) {
  BitmapObject* target = dc.pixels();
  if (target == nullptr || x0 >= x1) return;
  BrushPainter painter(dc, brush, *target);
  if (painter.hollow()) return;
  POINT o = dc.origin();
  int dy = y + o.y;
  DWORD mask = valueMask(*target);
  forEachClipped(dc, dy, x0 + o.x, x1 + o.x, [&](int a, int b) {
    if (painter.solid() && rop2 == R2_COPYPEN && target->bitsPerPixel == 32) {
      DWORD* row = reinterpret_cast<DWORD*>(target->row(dy));
      std::fill(row + a, row + b, painter.solidValue());
    } else {
      for (int x = a; x < b; ++x) {
        DWORD value;
        if (!painter.at(x, dy, value)) continue;
        target->setRawPixel(x, dy, applyRop2(rop2, value, target->rawPixel(x, dy)) & mask);
      }
    }
    target->widenDirty(RECT{a, dy, b, dy + 1});
  });
}

void paintBrushRect(DeviceContext& dc, const RECT& rect, HBRUSH brush, int rop2) {
  if (rect.left >= rect.right) return;
  for (int y = rect.top; y < rect.bottom; ++y) paintBrushSpan(dc, y, rect.left, rect.right, brush, rop2);
}

}  // namespace gdi
