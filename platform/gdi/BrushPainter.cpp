// Hatches are 8 x 8 cells aligned to the brush origin: the horizontal line is row 3, the vertical
// line column 4, the forward diagonal x = y and the backward diagonal x + y = 7.
#include "gdi/BrushPainter.h"

#include "gdi/Raster.h"

namespace gdi {
namespace {

int wrap(int value, int size) {
  int m = value % size;
  return m < 0 ? m + size : m;
}

bool hatchBit(int hatch, int x, int y) {
  switch (hatch) {
    case HS_HORIZONTAL: return y == 3;
    case HS_VERTICAL: return x == 4;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return y == 3 || x == 4;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
  }
}

}  // namespace

BrushPainter::BrushPainter(const DeviceContext& dc, HBRUSH brush, const BitmapObject& target)
    : target_(&target), origin_(dc.brushOrigin) {
  GdiObject* object = findObject(brush);
  if (object == nullptr || object->kind != ObjectKind::Brush) return;
  const BrushObject* b = static_cast<const BrushObject*>(object);
  COLORREF color = plainColor(b->dcBrush ? dc.dcBrushColor : b->log.lbColor);
  switch (b->log.lbStyle) {
    case BS_SOLID:
      kind_ = Kind::Solid;
      solid_ = target.rawFromColor(color);
      break;
    case BS_HATCHED:
      kind_ = Kind::Hatch;
      hatch_ = static_cast<int>(b->log.lbHatch);
      hatchValue_ = target.rawFromColor(color);
      backValue_ = target.rawFromColor(plainColor(dc.bkColor));
      opaque_ = dc.bkMode == OPAQUE;
      break;
    case BS_PATTERN:
    case BS_PATTERN8X8:
    case BS_DIBPATTERNPT:
    case BS_DIBPATTERN:
    case BS_DIBPATTERN8X8:
      if (!b->pattern || b->pattern->width == 0 || b->pattern->height == 0) return;
      kind_ = Kind::Pattern;
      pattern_ = b->pattern.get();
      if (pattern_->isMonochrome() && !pattern_->isDibSection) {
        // A monochrome pattern takes the DC's text colour for 0 and background colour for 1.
        rawPattern_ = target.isMonochrome();
        monoValues_[0] = target.rawFromColor(plainColor(dc.textColor));
        monoValues_[1] = target.rawFromColor(plainColor(dc.bkColor));
      }
      break;
    default: break;
  }
}

bool BrushPainter::at(int x, int y, DWORD& value) const {
  switch (kind_) {
    case Kind::Solid: value = solid_; return true;
    case Kind::Hatch:
      if (hatchBit(hatch_, wrap(x - origin_.x, 8), wrap(y - origin_.y, 8))) {
        value = hatchValue_;
        return true;
      }
      value = backValue_;
      return opaque_;
    case Kind::Pattern: {
      int px = wrap(x - origin_.x, pattern_->width);
      int py = wrap(y - origin_.y, pattern_->height);
      DWORD raw = pattern_->rawPixel(px, py);
      if (pattern_->isMonochrome() && !pattern_->isDibSection) {
        value = rawPattern_ ? raw : monoValues_[raw & 1];
      } else {
        value = target_->rawFromColor(pattern_->colorFromRaw(raw));
      }
      return true;
    }
    default: return false;
  }
}

}  // namespace gdi
