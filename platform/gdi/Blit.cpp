// BitBlt, StretchBlt and PatBlt over every ternary raster operation. A negative extent covers the
// pixels from x + w up to x (exclusive) and mirrors when the source and destination signs differ;
// destination pixels whose source pixel lies outside the source bitmap are left as they were.
// Shrinking in BLACKONWHITE (WHITEONBLACK) mode ANDs (ORs) the stored values of the source pixels
// dropped before each kept one into it; HALFTONE stretches like COLORONCOLOR. SRCCOPY between
// 32 bpp bitmaps carries the fourth byte along; every other operation leaves it zero.
#include "gdi/Blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "gdi/BrushPainter.h"
#include "gdi/Raster.h"

namespace gdi {

int stretchSourceIndex(int d, int n, int m) {
  if (n == m) return d;
  long long dd = d, nn = n, mm = m;
  if (n > m) return static_cast<int>(((2 * dd + 2) * nn - mm) / (2 * mm));
  return static_cast<int>(((2 * dd + 1) * 2 * nn - 1) / (4 * mm));
}

namespace {

// For each destination index: the source indices it reads, lo..hi (one index unless combining).
struct AxisMap {
  std::vector<int> lo;
  std::vector<int> hi;
};

AxisMap buildAxis(int n, int m, bool mirror, bool combine) {
  AxisMap map;
  map.lo.resize(static_cast<size_t>(m));
  map.hi.resize(static_cast<size_t>(m));
  int previous = -1;
  for (int d = 0; d < m; ++d) {
    int pick = stretchSourceIndex(d, n, m);
    int first = (combine && n > m) ? previous + 1 : pick;
    previous = pick;
    if (mirror) {
      map.lo[static_cast<size_t>(d)] = n - 1 - pick;
      map.hi[static_cast<size_t>(d)] = n - 1 - first;
    } else {
      map.lo[static_cast<size_t>(d)] = first;
      map.hi[static_cast<size_t>(d)] = pick;
    }
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
      sourceMask_ = valueMask(source);
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

// SRCCOPY without stretching between bitmaps of one layout: whole rows moved at once.
void copyRows(DeviceContext& dc, BitmapObject& target, const BitmapObject& source, int dx0,
              int dy0, int w, int h, int xs, int ys) {
  RECT area{std::max(dx0, dx0 - xs), std::max(dy0, dy0 - ys),
            std::min(dx0 + w, dx0 - xs + source.width), std::min(dy0 + h, dy0 - ys + source.height)};
  if (area.left >= area.right || area.top >= area.bottom) return;
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
                 const BlitSource* sourceInfo, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
  BitmapObject* target = dc.target();
  if (target == nullptr) return false;
  BYTE rop3 = static_cast<BYTE>((rop >> 16) & 0xFF);
  bool useSource = ropUsesSource(rop3);
  bool usePattern = ropUsesPattern(rop3);
  if (useSource && (sourceInfo == nullptr || sourceInfo->bitmap == nullptr)) return false;
  bool mirrorX = false, mirrorY = false;
  if (wDest < 0) {
    xDest += wDest;
    wDest = -wDest;
    mirrorX = true;
  }
  if (hDest < 0) {
    yDest += hDest;
    hDest = -hDest;
    mirrorY = true;
  }
  if (useSource) {
    if (wSrc < 0) {
      xSrc += wSrc;
      wSrc = -wSrc;
      mirrorX = !mirrorX;
    }
    if (hSrc < 0) {
      ySrc += hSrc;
      hSrc = -hSrc;
      mirrorY = !mirrorY;
    }
  } else {
    wSrc = wDest;
    hSrc = hDest;
    mirrorX = mirrorY = false;
  }
  if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0) return true;
  POINT o = dc.origin();
  int dx0 = xDest + o.x, dy0 = yDest + o.y;

  BrushPainter painter(dc, dc.brush, *target);
  if (usePattern && painter.hollow()) return true;

  const BitmapObject* source = useSource ? sourceInfo->bitmap : nullptr;
  bool stretched = wSrc != wDest || hSrc != hDest || mirrorX || mirrorY;
  if (rop3 == 0xCC && !stretched && sameLayout(*source, *target) && target->bitsPerPixel >= 8) {
    copyRows(dc, *target, *source, dx0, dy0, wDest, hDest, xSrc, ySrc);
    return true;
  }

  // Reading and writing one bitmap: read from a snapshot of the source area.
  std::unique_ptr<BitmapObject> snapshot;
  if (source == target) {
    RECT area{std::max(xSrc, 0), std::max(ySrc, 0), std::min(xSrc + wSrc, source->width),
              std::min(ySrc + hSrc, source->height)};
    if (area.left >= area.right || area.top >= area.bottom) return true;
    snapshot = BitmapObject::create(source->width, area.bottom - area.top, source->bitsPerPixel);
    if (!snapshot) return false;
    snapshot->colorTable = source->colorTable;
    snapshot->redMask = source->redMask;
    snapshot->greenMask = source->greenMask;
    snapshot->blueMask = source->blueMask;
    for (int y = area.top; y < area.bottom; ++y)
      std::memcpy(snapshot->row(y - area.top), source->row(y), static_cast<size_t>(source->stride));
    ySrc -= area.top;
    source = snapshot.get();
  }

  bool andScans = dc.stretchMode == BLACKONWHITE;
  bool orScans = dc.stretchMode == WHITEONBLACK;
  AxisMap mapX, mapY;
  if (useSource) {
    mapX = buildAxis(wSrc, wDest, mirrorX, andScans || orScans);
    mapY = buildAxis(hSrc, hDest, mirrorY, andScans || orScans);
  }
  SourceConverter convert(useSource ? *source : *target, useSource ? sourceInfo->bkColor : 0,
                          *target, dc);
  DWORD mask = valueMask(*target);

  // Reads the (possibly combined) stored source value; false when outside the source bitmap.
  auto readSource = [&](int dxRel, int dyRel, DWORD& value) {
    int x0 = xSrc + mapX.lo[static_cast<size_t>(dxRel)], x1 = xSrc + mapX.hi[static_cast<size_t>(dxRel)];
    int y0 = ySrc + mapY.lo[static_cast<size_t>(dyRel)], y1 = ySrc + mapY.hi[static_cast<size_t>(dyRel)];
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
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

  RECT area{dx0, dy0, dx0 + wDest, dy0 + hDest};
  RegionBands clipped = dc.effectiveClip().intersected(area);
  bool combining = (andScans || orScans) && (wSrc > wDest || hSrc > hDest);
  if (rop3 == 0xCC && !combining && standard32(*source) && standard32(*target)) {
    // Plain stretched copy between 32 bpp bitmaps: one table lookup per pixel.
  for (const RECT& r : clipped.rects()) {
      for (int y = r.top; y < r.bottom; ++y) {
        int sy = ySrc + mapY.lo[static_cast<size_t>(y - dy0)];
        if (sy < 0 || sy >= source->height) continue;
        const DWORD* from = reinterpret_cast<const DWORD*>(source->row(sy));
        DWORD* to = reinterpret_cast<DWORD*>(target->row(y));
        const int* columns = mapX.lo.data();
        for (int x = r.left; x < r.right; ++x) {
          int sx = xSrc + columns[x - dx0];
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
        int y0 = ySrc + mapY.lo[static_cast<size_t>(y - dy0)];
        int y1 = ySrc + mapY.hi[static_cast<size_t>(y - dy0)];
        if (y0 > y1) std::swap(y0, y1);
        y0 = std::max(y0, 0);
        y1 = std::min(y1, source->height - 1);
        if (y0 > y1) continue;
        DWORD* to = reinterpret_cast<DWORD*>(target->row(y));
        for (int x = r.left; x < r.right; ++x) {
          int x0 = xSrc + mapX.lo[static_cast<size_t>(x - dx0)];
          int x1 = xSrc + mapX.hi[static_cast<size_t>(x - dx0)];
          if (x0 > x1) std::swap(x0, x1);
          x0 = std::max(x0, 0);
          x1 = std::min(x1, source->width - 1);
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
          to[x] = applyRop3(rop3, p, value, to[x]) & 0x00FFFFFF;
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
          if (!readSource(x - dx0, y - dy0, raw)) continue;
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
  if (gdi::ropUsesSource(rop3)) {
    DeviceContext* sdc = gdi::dcFromHandle(hdcSrc);
    if (sdc == nullptr || sdc->target() == nullptr) return FALSE;
    POINT so = sdc->origin();
    source.bitmap = sdc->target();
    source.bkColor = sdc->bkColor;
    xSrc += so.x;
    ySrc += so.y;
  }
  return gdi::stretchBlit(*dc, xDest, yDest, wDest, hDest, &source, xSrc, ySrc, wSrc, hSrc, rop)
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
