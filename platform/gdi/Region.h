// Regions as y-x banded rectangle lists, the representation Windows itself uses: rectangles sorted
// by top then left, grouped into bands of equal top and bottom, no two overlapping or touching
// sideways within a band, and vertically adjacent bands with identical spans merged.
#pragma once

#include <windows.h>

#include <vector>

#include "gdi/GdiObject.h"

namespace gdi {

class RegionBands {
 public:
  RegionBands() = default;
  static RegionBands fromRect(const RECT& rect);  // an empty or inverted rect gives the empty region

  const std::vector<RECT>& rects() const { return rects_; }
  bool empty() const { return rects_.empty(); }
  RECT box() const;                      // bounding box; all zero when empty
  int type() const;                      // NULLREGION, SIMPLEREGION or COMPLEXREGION
  bool contains(int x, int y) const;
  void offset(int dx, int dy);
  RegionBands intersected(const RECT& rect) const;

  // mode is RGN_AND, RGN_OR, RGN_XOR or RGN_DIFF.
  static RegionBands combine(const RegionBands& a, const RegionBands& b, int mode);
  // Builds from arbitrary (possibly overlapping) rectangles by union.
  static RegionBands fromRects(const std::vector<RECT>& rects);

  bool operator==(const RegionBands& other) const;

 private:
  std::vector<RECT> rects_;
};

struct RegionObject : GdiObject {
  RegionObject() : GdiObject(ObjectKind::Region) {}
  RegionBands bands;
};

}  // namespace gdi
