// Regions as y-x banded rectangle lists, the representation Windows itself uses: rectangles sorted
// by top then left, grouped into bands of equal top and bottom, no two overlapping or touching
// sideways within a band, and vertically adjacent bands with identical spans merged.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "gdi/GdiObject.h"

namespace gdi {

class RegionBands {
 public:
  RegionBands() = default;
  static RegionBands fromRect(const RECT& rect);  // an empty or inverted rect gives the empty region
  void assignRect(const RECT& rect);              // the same, in place

  const std::vector<RECT>& rects() const { return rects_; }
  bool empty() const { return rects_.empty(); }
  RECT box() const;                      // bounding box; all zero when empty
  int type() const;                      // NULLREGION, SIMPLEREGION or COMPLEXREGION
  bool contains(int x, int y) const;
  void offset(int dx, int dy);
  RegionBands intersected(const RECT& rect) const;

  // mode is RGN_AND, RGN_OR, RGN_XOR or RGN_DIFF.
  static RegionBands combine(const RegionBands& a, const RegionBands& b, int mode);
  // The same, into this region, which may be a or b; the storage it had is kept for the next one.
  void assignCombined(const RegionBands& a, const RegionBands& b, int mode);
  // Builds from arbitrary (possibly overlapping) rectangles by union.
  static RegionBands fromRects(const std::vector<RECT>& rects);

  bool operator==(const RegionBands& other) const;

  // Builds from row spans given in order of y then x (spans of one row may touch or overlap);
  // identical neighbouring rows merge into one band.
  struct RowSpan {
    int y, x0, x1;
  };
  static RegionBands fromRowSpans(const std::vector<RowSpan>& spans);
  // Takes rectangles already in canonical banded order (as GetRegionData hands them out); false,
  // leaving the region as it was, when they are not.
  bool assignCanonical(const std::vector<RECT>& rects);
  // The emptied list, its storage kept, for a builder that writes it canonical, unchecked.
  std::vector<RECT>& refill() {
    rects_.clear();
    return rects_;
  }

 private:
  std::vector<RECT> rects_;
};

// The largest width or height, in pixels, of an ellipse, round rectangle or polygon region: beyond
// it the creating call fails, so no input can make a region allocate without bound.
constexpr long long kMaxShapeExtent = 1 << 18;

// Beyond kMaxShapeExtent these builders fail, giving the empty region. The ellipse and polygon
// are built into the region given, reusing its storage, and return false on failure.
// The region CreateEllipticRgn(left, top, right, bottom) gives (the rectangle normalized first).
bool ellipseRegion(RECT box, RegionBands& out);
// CreateRoundRectRgn: a rectangle whose corners are quarter ellipses of the given size.
bool roundRectRegion(RECT box, int ellipseWidth, int ellipseHeight, RegionBands& out);
// CreatePolyPolygonRgn: each point samples pixel (x, y) at its top-left corner; mode is ALTERNATE
// or WINDING.
bool polygonRegion(const POINT* points, const int* counts, int polygons, int mode, RegionBands& out);
// The part of the region within width pixels of its left or right edge or height pixels of its
// top or bottom edge (what FrameRgn paints).
RegionBands frameRegion(const RegionBands& region, int width, int height);

// The outline pixels of an ellipse inscribed in the inclusive box (left, top)-(right, bottom),
// counter-clockwise on the screen starting at the rightmost pixel of the middle row.
std::vector<POINT> ellipseOutline(int left, int top, int right, int bottom);

// Regions are made and deleted by the dozen on every repaint of a shaped button: a deleted region
// object waits, with the storage of its rectangles, to be the next one made.
struct RegionObject : GdiObject {
  RegionObject() : GdiObject(ObjectKind::Region) {}
  // An empty region object, taken from those waiting when there is one.
  static std::unique_ptr<RegionObject> make();
  void dispose() override;
  RegionBands bands;
};

}  // namespace gdi
