// BitBlt, StretchBlt and PatBlt over every ternary raster operation. With a source, a negative
// extent covers the pixels from x + w + 1 up to x (included) and mirrors when the source and
// destination signs differ; without one (PatBlt) it covers x + w up to x (exclusive), as a
// rectangle does. Destination pixels whose source pixel lies outside the source bitmap are left as
// they were. Shrinking in BLACKONWHITE (WHITEONBLACK) mode ANDs (ORs) the stored values of the
// source pixels dropped before each kept one into it, except that an axis shrunk to one pixel
// with both extents positive merges only its first n - 1 pixels; HALFTONE stretches like
// COLORONCOLOR. SRCCOPY between 32 bpp bitmaps carries the fourth byte along; every other
// operation applies to all 32 bits.
#include "gdi/Blit.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "gdi/BrushPainter.h"
#include "gdi/Raster.h"

namespace gdi {

int stretchSourceIndex(int d, int n, int m) {
  if (n == m) return d;
  // Wide enough for extents near 2^31 on both sides.
  __int128 dd = d, nn = n, mm = m;
  if (n > m) return static_cast<int>(((2 * dd + 2) * nn - mm) / (2 * mm));
  return static_cast<int>(((2 * dd + 1) * 2 * nn - 1) / (4 * mm));
}

namespace {

// One axis of a blit: where the destination and the source start and how many pixels each
// covers (extents made positive), and how the one maps onto the other.
struct Axis {
  long long dest = 0, destSize = 0;  // device coordinates
  long long source = 0, sourceSize = 0;
  bool mirror = false;
  bool upright = true;  // neither extent was negative
};

// Turns a negative extent round: from + size + keep up to from + keep (exclusive); the size
// stops at INT_MAX so that every later sum stays within 64 bits.
void turnRound(long long& from, long long& size, int keep) {
  if (size < 0) {
    from += size + keep;
    size = -size;
  }
  size = std::min<long long>(size, INT_MAX);
}

// For the destination pixels base..base+count-1: the source pixels each reads, lo..hi (one
// pixel unless combining), as source coordinates held within -1..limit (outside is outside).
struct AxisMap {
  int base = 0;
  std::vector<int> lo;
  std::vector<int> hi;
  int loAt(int d) const { return lo[static_cast<size_t>(d - base)]; }
  int hiAt(int d) const { return hi[static_cast<size_t>(d - base)]; }
};

AxisMap buildAxis(const Axis& axis, int from, int to, int limit, bool combine) {
  int n = static_cast<int>(axis.sourceSize), m = static_cast<int>(axis.destSize);
  AxisMap map;
  map.base = from;
  map.lo.resize(static_cast<size_t>(to - from));
  map.hi.resize(static_cast<size_t>(to - from));
  auto place = [&](int index) {
    long long v = axis.source + (axis.mirror ? n - 1 - index : index);
    return static_cast<int>(std::clamp<long long>(v, -1, limit));
  };
  bool firstOnly = combine && axis.upright && m == 1 && n > 1;
  bool merging = combine && n > m;
  // A merge starts just past the pixel the destination pixel before shows.
  int previous = from == axis.dest ? -1 : stretchSourceIndex(static_cast<int>(from - 1 - axis.dest), n, m);
  for (int x = from; x < to; ++x) {
    int shown = stretchSourceIndex(static_cast<int>(x - axis.dest), n, m);
    int pick = firstOnly ? n - 2 : shown;
    int first = merging ? previous + 1 : pick;
    previous = shown;
    map.lo[static_cast<size_t>(x - from)] = place(axis.mirror ? pick : first);
    map.hi[static_cast<size_t>(x - from)] = place(axis.mirror ? first : pick);
  }
  return map;
}

bool standard32(const BitmapObject& b) {
  return b.bitsPerPixel == 32 && b.redMask == 0x00FF0000 && b.greenMask == 0x0000FF00 &&
         b.blueMask == 0x000000FF;
}

// Turns stored source values into stored destination values by Windows' conversion rules.
class SourceConverter {
 public:
  SourceConverter(const BitmapObject& source, COLORREF sourceBk, const BitmapObject& target,
                  const DeviceContext& dc)
      : source_(source), target_(target) {
    if (source.isMonochrome() && target.isMonochrome()) {
      mode_ = Mode::Identity;
    } else if (source.isMonochrome()) {
      // Monochrome to colour: 0 takes the destination's text colour, 1 its background colour.
      mode_ = Mode::Table;
      table_ = {target.rawFromColor(plainColor(dc.textColor)),
                target.rawFromColor(plainColor(dc.bkColor))};
    } else if (target.isMonochrome()) {
      // Colour to monochrome: the source DC's background colour is 1, everything else 0.
      mode_ = Mode::ToMono;
      sourceBk_ = source.rawFromColor(plainColor(sourceBk));
      sourceMask_ = colorMask(source);
    } else if (standard32(source) && standard32(target)) {
      mode_ = Mode::Identity;
    } else if (source.bitsPerPixel <= 8) {
      mode_ = Mode::Table;
      table_.resize(source.colorTable.size());
      for (size_t i = 0; i < table_.size(); ++i)
        table_[i] = target.rawFromColor(source.colorFromRaw(static_cast<DWORD>(i)));
    } else {
      mode_ = Mode::ByColor;
    }
  }

  DWORD operator()(DWORD raw) const {
    switch (mode_) {
      case Mode::Identity: return raw;
      case Mode::Table: return raw < table_.size() ? table_[raw] : 0;
      case Mode::ToMono: return (raw & sourceMask_) == sourceBk_ ? 1 : 0;
      default: return target_.rawFromColor(source_.colorFromRaw(raw));
    }
  }

 private:
  enum class Mode { Identity, Table, ToMono, ByColor };
  const BitmapObject& source_;
  const BitmapObject& target_;
  Mode mode_ = Mode::Identity;
  std::vector<DWORD> table_;
  DWORD sourceBk_ = 0;
  DWORD sourceMask_ = ~DWORD{0};  // the colour bits; a 32 bpp alpha byte plays no part
};

bool sameLayout(const BitmapObject& a, const BitmapObject& b) {
  if (a.bitsPerPixel != b.bitsPerPixel || a.isMonochrome()) return false;
  if (a.bitsPerPixel <= 8) {
    return a.colorTable.size() == b.colorTable.size() &&
           std::memcmp(a.colorTable.data(), b.colorTable.data(),
                       a.colorTable.size() * sizeof(RGBQUAD)) == 0;
  }
  return a.redMask == b.redMask && a.greenMask == b.greenMask && a.blueMask == b.blueMask;
}

// SRCCOPY without stretching between bitmaps of one layout, over the destination area (device
// coordinates, inside the target) whose pixel (x, y) shows source pixel (x + dx, y + dy): whole
// rows moved at once.
void copyRows(DeviceContext& dc, BitmapObject& target, const BitmapObject& source, RECT area,
              long long dx, long long dy) {
  area.left = static_cast<LONG>(std::max<long long>(area.left, -dx));
  area.top = static_cast<LONG>(std::max<long long>(area.top, -dy));
  area.right = static_cast<LONG>(std::min<long long>(area.right, source.width - dx));
  area.bottom = static_cast<LONG>(std::min<long long>(area.bottom, source.height - dy));
  if (area.left >= area.right || area.top >= area.bottom) return;
  int xs = static_cast<int>(area.left + dx), ys = static_cast<int>(area.top + dy);
  int dx0 = area.left, dy0 = area.top;
  RegionBands clipped = dc.effectiveClip().intersected(area);
  int bytesPerPixel = target.bitsPerPixel / 8;
  bool upward = &source == &target && ys < dy0;
  const std::vector<RECT>& rects = clipped.rects();
  auto copyRect = [&](const RECT& r) {
    size_t bytes = static_cast<size_t>(r.right - r.left) * static_cast<size_t>(bytesPerPixel);
    if (bytes == static_cast<size_t>(target.stride) && target.stride == source.stride &&
        target.topDown && source.topDown) {
      // Whole rows of equal layout lie end to end: one copy for the block.
      std::memmove(target.row(r.top), source.row(r.top - dy0 + ys),
                   bytes * static_cast<size_t>(r.bottom - r.top));
      target.widenDirty(r);
      return;
    }
    for (int i = 0; i < r.bottom - r.top; ++i) {
      int y = upward ? r.bottom - 1 - i : r.top + i;
      int sy = y - dy0 + ys;
      int sx = r.left - dx0 + xs;
      std::memmove(target.row(y) + static_cast<size_t>(r.left) * bytesPerPixel,
                   source.row(sy) + static_cast<size_t>(sx) * bytesPerPixel, bytes);
    }
    target.widenDirty(r);
  };
  if (upward) {
    for (auto it = rects.rbegin(); it != rects.rend(); ++it) copyRect(*it);
  } else {
    for (const RECT& r : rects) copyRect(r);
  }
}

}  // namespace

bool stretchBlit(DeviceContext& dc, int xDest, int yDest, int wDest, int hDest,
                 const BlitSource* sourceInfo, long long xSrc, long long ySrc, int wSrc, int hSrc, DWORD rop) {
  BitmapObject* target = dc.pixels();
  if (target == nullptr) return false;
  BYTE rop3 = static_cast<BYTE>((rop >> 16) & 0xFF);
  bool useSource = ropUsesSource(rop3);
  bool usePattern = ropUsesPattern(rop3);
  if (useSource && (sourceInfo == nullptr || sourceInfo->bitmap == nullptr)) return false;
  POINT o = dc.origin();
  Axis ax{static_cast<long long>(xDest) + o.x, wDest, xSrc, wSrc, false, true};
  Axis ay{static_cast<long long>(yDest) + o.y, hDest, ySrc, hSrc, false, true};
  for (Axis* a : {&ax, &ay}) {
    if (!useSource) a->sourceSize = a->destSize;
    a->upright = a->destSize >= 0 && a->sourceSize >= 0;
    a->mirror = useSource && (a->destSize < 0) != (a->sourceSize < 0);
    // With a source a negative extent keeps the pixel at its origin; PatBlt's does not.
    turnRound(a->dest, a->destSize, useSource ? 1 : 0);
    turnRound(a->source, a->sourceSize, 1);
  }
  if (ax.destSize == 0 || ay.destSize == 0 || ax.sourceSize == 0 || ay.sourceSize == 0) return true;
  // Only the part of the destination inside the target is ever looked at.
  RECT area{static_cast<LONG>(std::max<long long>(ax.dest, 0)), static_cast<LONG>(std::max<long long>(ay.dest, 0)),
            static_cast<LONG>(std::min<long long>(ax.dest + ax.destSize, target->width)),
            static_cast<LONG>(std::min<long long>(ay.dest + ay.destSize, target->height))};
  if (area.left >= area.right || area.top >= area.bottom) return true;

  BrushPainter painter(dc, dc.brush, *target);
  if (usePattern && painter.hollow()) return true;

  const BitmapObject* source = useSource ? sourceInfo->bitmap : nullptr;
  bool stretched = ax.sourceSize != ax.destSize || ay.sourceSize != ay.destSize || ax.mirror || ay.mirror;
  if (rop3 == 0xCC && !stretched && sameLayout(*source, *target) && target->bitsPerPixel >= 8) {
    copyRows(dc, *target, *source, area, ax.source - ax.dest, ay.source - ay.dest);
    return true;
  }

  // Reading and writing one bitmap: read from a snapshot of the source area.
  std::unique_ptr<BitmapObject> snapshot;
  if (source == target) {
    int top = static_cast<int>(std::clamp<long long>(ay.source, 0, source->height));
    int bottom = static_cast<int>(std::clamp<long long>(ay.source + ay.sourceSize, 0, source->height));
    if (top >= bottom || ax.source >= source->width || ax.source + ax.sourceSize <= 0) return true;
    snapshot = BitmapObject::create(source->width, bottom - top, source->bitsPerPixel);
    if (!snapshot) return false;
    snapshot->colorTable = source->colorTable;
    snapshot->redMask = source->redMask;
    snapshot->greenMask = source->greenMask;
    snapshot->blueMask = source->blueMask;
    for (int y = top; y < bottom; ++y)
      std::memcpy(snapshot->row(y - top), source->row(y), static_cast<size_t>(source->stride));
    ay.source -= top;
    source = snapshot.get();
  }

  bool andScans = dc.stretchMode == BLACKONWHITE;
  bool orScans = dc.stretchMode == WHITEONBLACK;
  AxisMap mapX, mapY;
  if (useSource) {
    mapX = buildAxis(ax, area.left, area.right, source->width, andScans || orScans);
    mapY = buildAxis(ay, area.top, area.bottom, source->height, andScans || orScans);
  }
  SourceConverter convert(useSource ? *source : *target, useSource ? sourceInfo->bkColor : 0,
                          *target, dc);
  DWORD mask = valueMask(*target);

  // Reads the (possibly combined) stored source value; false when outside the source bitmap.
  auto readSource = [&](int x, int y, DWORD& value) {
    int x0 = mapX.loAt(x), x1 = mapX.hiAt(x);
    int y0 = mapY.loAt(y), y1 = mapY.hiAt(y);
    if (x0 == x1 && y0 == y1) {
      if (!source->contains(x0, y0)) return false;
      value = source->rawPixel(x0, y0);
      return true;
    }
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, source->width - 1);
    y1 = std::min(y1, source->height - 1);
    if (x0 > x1 || y0 > y1) return false;
    DWORD acc = andScans ? ~DWORD{0} : 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        DWORD v = source->rawPixel(x, y);
        acc = andScans ? (acc & v) : (acc | v);
      }
    value = acc;
    return true;
  };

  RegionBands clipped = dc.effectiveClip().intersected(area);
  bool combining = (andScans || orScans) && (ax.sourceSize > ax.destSize || ay.sourceSize > ay.destSize);
  if (rop3 == 0xCC && !combining && standard32(*source) && standard32(*target)) {
    // Plain stretched copy between 32 bpp bitmaps: one table lookup per pixel.
    for (const RECT& r : clipped.rects()) {
      for (int y = r.top; y < r.bottom; ++y) {
        int sy = mapY.loAt(y);
        if (sy < 0 || sy >= source->height) continue;
        const DWORD* from = reinterpret_cast<const DWORD*>(source->row(sy));
        DWORD* to = reinterpret_cast<DWORD*>(target->row(y));
        for (int x = r.left; x < r.right; ++x) {
          int sx = mapX.loAt(x);
          if (sx >= 0 && sx < source->width) to[x] = from[sx];
        }
      }
      target->widenDirty(r);
    }
    return true;
  }
  if (useSource && standard32(*source) && standard32(*target)) {
    // 32 bpp to 32 bpp: row pointers and table lookups, no per-pixel format dispatch.
    bool solidPattern = !usePattern || painter.solid();
    DWORD solid = usePattern && painter.solid() ? painter.solidValue() : 0;
    for (const RECT& r : clipped.rects()) {
      for (int y = r.top; y < r.bottom; ++y) {
        int y0 = std::max(mapY.loAt(y), 0);
        int y1 = std::min(mapY.hiAt(y), source->height - 1);
        if (y0 > y1) continue;
        DWORD* to = reinterpret_cast<DWORD*>(target->row(y));
        for (int x = r.left; x < r.right; ++x) {
          int x0 = std::max(mapX.loAt(x), 0);
          int x1 = std::min(mapX.hiAt(x), source->width - 1);
          if (x0 > x1) continue;
          DWORD value;
          if (!combining || (x0 == x1 && y0 == y1)) {
            value = reinterpret_cast<const DWORD*>(source->row(y0))[x0];
          } else {
            value = andScans ? ~DWORD{0} : 0;
            for (int sy = y0; sy <= y1; ++sy) {
              const DWORD* from = reinterpret_cast<const DWORD*>(source->row(sy));
              for (int sx = x0; sx <= x1; ++sx) value = andScans ? (value & from[sx]) : (value | from[sx]);
            }
          }
          DWORD p = solid;
          if (!solidPattern && !painter.at(x, y, p)) continue;
          to[x] = applyRop3(rop3, p, value, to[x]);
        }
      }
      target->widenDirty(r);
    }
    return true;
  }
  for (const RECT& r : clipped.rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        DWORD s = 0, p = 0;
        if (useSource) {
          DWORD raw;
          if (!readSource(x, y, raw)) continue;
          s = convert(raw);
        }
        if (usePattern && !painter.at(x, y, p)) continue;
        DWORD d = target->rawPixel(x, y);
        target->setRawPixel(x, y, applyRop3(rop3, p, s, d) & mask);
      }
    }
    target->widenDirty(r);
  }
  return true;
}

}  // namespace gdi

using gdi::DeviceContext;

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc,
                       int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
  DeviceContext* dc = gdi::dcFromHandle(hdcDest);
  if (dc == nullptr) return FALSE;
  BYTE rop3 = static_cast<BYTE>((rop >> 16) & 0xFF);
  gdi::BlitSource source;
  POINT sourceOrigin{0, 0};
  if (gdi::ropUsesSource(rop3)) {
    DeviceContext* sdc = gdi::dcFromHandle(hdcSrc);
    if (sdc == nullptr || sdc->target() == nullptr) return FALSE;
    POINT so = sdc->origin();
    source.bitmap = sdc->pixels();
    source.bkColor = sdc->bkColor;
    sourceOrigin = so;
  }
  return gdi::stretchBlit(*dc, xDest, yDest, wDest, hDest, &source, static_cast<long long>(xSrc) + sourceOrigin.x,
                          static_cast<long long>(ySrc) + sourceOrigin.y, wSrc, hSrc, rop)
             ? TRUE
             : FALSE;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  return StretchBlt(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  if (gdi::ropUsesSource(static_cast<BYTE>((rop >> 16) & 0xFF))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return gdi::stretchBlit(*dc, x, y, w, h, nullptr, 0, 0, w, h, rop) ? TRUE : FALSE;
}
