// Region shapes and algebra: every ellipse and polygon of the reference files, combination,
// GetRegionData round trips and bad input; random polygons and combinations against pixel-by-pixel
// models of the same rules. Deleted region objects are made again, storage and all, so a new region
// must never show what an old one held, nor an old handle reach the new one.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace {

std::vector<RECT> rectsOf(HRGN region) {
  DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  EXPECT_EQ(GetRegionData(region, size, data), size);
  std::vector<RECT> rects(data->rdh.nCount);
  if (!rects.empty()) memcpy(rects.data(), data->Buffer, rects.size() * sizeof(RECT));
  return rects;
}

std::string text(const std::vector<RECT>& rects) {
  std::string out;
  for (const RECT& r : rects)
    out += std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + " ";
  return out;
}

// The reference's rectangles; entries that are empty or lie outside the shape's box are rows the
// measuring program never filled in, and stand for rows that are not part of the region.
std::vector<RECT> parseRects(const std::string& line, const RECT& box) {
  std::vector<RECT> rects;
  std::istringstream in(line.substr(line.find(':') + 1));
  std::string item;
  while (in >> item) {
    RECT r{};
    sscanf(item.c_str(), "%d,%d,%d,%d", &r.left, &r.top, &r.right, &r.bottom);
    if (r.left >= r.right || r.left < box.left || r.right > box.right) continue;
    rects.push_back(r);
  }
  // Rows filled alike merge into one band, as in any region.
  std::vector<RECT> merged;
  for (const RECT& r : rects) {
    if (!merged.empty() && merged.back().bottom == r.top && merged.back().left == r.left &&
        merged.back().right == r.right)
      merged.back().bottom = r.bottom;
    else
      merged.push_back(r);
  }
  return merged;
}

// Canonical banded form: bands top to bottom, spans of a band left to right with gaps between them,
// and no band that continues the one above it with the same spans.
std::string canonicalFault(const std::vector<RECT>& rects) {
  size_t bandStart = 0, previousStart = 0, previousCount = 0;
  for (size_t i = 0; i < rects.size(); ++i) {
    const RECT& r = rects[i];
    if (r.left >= r.right || r.top >= r.bottom) return "empty rectangle " + std::to_string(i);
    if (i > 0 && r.top == rects[i - 1].top) {
      if (r.bottom != rects[i - 1].bottom || r.left <= rects[i - 1].right) return "bad band at " + std::to_string(i);
      continue;
    }
    if (i > 0 && r.top < rects[i - 1].bottom) return "overlapping bands at " + std::to_string(i);
    previousStart = bandStart;
    previousCount = i - bandStart;
    bandStart = i;
    size_t count = 0;
    while (bandStart + count < rects.size() && rects[bandStart + count].top == r.top) ++count;
    if (i > 0 && count == previousCount && rects[previousStart].bottom == r.top) {
      bool same = true;
      for (size_t k = 0; k < count; ++k)
        same = same && rects[previousStart + k].left == rects[bandStart + k].left &&
               rects[previousStart + k].right == rects[bandStart + k].right;
      if (same) return "unmerged band at " + std::to_string(i);
    }
  }
  return "";
}

// Whether the polygon covers pixel (x, y), by its top-left corner: the edges crossing row y
// (upper end included, lower end excluded) at or left of x, counted by direction or by number.
bool polygonCovers(const std::vector<POINT>& points, int mode, int x, int y) {
  int winding = 0, crossings = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    POINT a = points[i], b = points[(i + 1) % points.size()];
    if (a.y == b.y) continue;
    int dir = a.y < b.y ? 1 : -1;
    if (dir < 0) std::swap(a, b);
    if (y < a.y || y >= b.y) continue;
    // The edge lies at or left of x when x * dy >= its exact crossing times dy.
    long long dy = b.y - a.y;
    if (static_cast<long long>(x) * dy >= static_cast<long long>(a.x) * dy + static_cast<long long>(y - a.y) * (b.x - a.x)) {
      winding += dir;
      ++crossings;
    }
  }
  return mode == WINDING ? winding != 0 : (crossings & 1) != 0;
}

TEST(RegionShapes, RandomPolygonsCoverThePixelsWhoseCornersLieInside) {
  std::mt19937 random(13);
  for (int round = 0; round < 300; ++round) {
    // Small outlines over a small grid give slopes of every sign, crossings, repeated points,
    // one-pixel and empty polygons.
    std::uniform_int_distribution<int> coordinate(-6, 18), count(2, 7);
    std::vector<POINT> points(static_cast<size_t>(count(random)));
    for (POINT& p : points) p = POINT{coordinate(random), coordinate(random)};
    for (int mode : {ALTERNATE, WINDING}) {
      HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), mode);
      ASSERT_NE(region, nullptr);
      std::vector<RECT> rects = rectsOf(region);
      EXPECT_EQ(canonicalFault(rects), "") << text(rects);
      for (int y = -7; y < 20; ++y) {
        for (int x = -7; x < 20; ++x) {
          ASSERT_EQ(PtInRegion(region, x, y) != FALSE, polygonCovers(points, mode, x, y))
              << "pixel " << x << "," << y << " mode " << mode << " round " << round;
        }
      }
      DeleteObject(region);
    }
  }
}

// Unions of a few rectangles on a small grid, so that bands touch, share edges and end together.
HRGN randomRegion(std::mt19937& random) {
  std::uniform_int_distribution<int> coordinate(0, 12), count(0, 4);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (int i = count(random); i > 0; --i) {
    int x0 = coordinate(random), y0 = coordinate(random);
    HRGN part = CreateRectRgn(x0, y0, x0 + coordinate(random) / 2 + 1, y0 + coordinate(random) / 2 + 1);
    CombineRgn(region, region, part, RGN_OR);
    DeleteObject(part);
  }
  return region;
}

TEST(RegionShapes, RandomCombinationsHoldPixelByPixelAndStayCanonical) {
  std::mt19937 random(12);
  for (int round = 0; round < 400; ++round) {
    HRGN a = randomRegion(random), b = randomRegion(random), result = CreateRectRgn(0, 0, 0, 0);
    for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
      int type = CombineRgn(result, a, b, mode);
      std::vector<RECT> rects = rectsOf(result);
      EXPECT_EQ(canonicalFault(rects), "") << text(rects);
      EXPECT_EQ(type, rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION);
      for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
          bool inA = PtInRegion(a, x, y), inB = PtInRegion(b, x, y);
          bool expected = mode == RGN_AND ? inA && inB : mode == RGN_OR ? inA || inB : mode == RGN_XOR ? inA != inB : inA && !inB;
          ASSERT_EQ(PtInRegion(result, x, y) != FALSE, expected) << "pixel " << x << "," << y << " mode " << mode;
        }
      }
    }
    for (HRGN h : {a, b, result}) DeleteObject(h);
  }
}

TEST(RegionShapes, EllipsesMatchEveryReferenceCase) {
  std::ifstream in(std::string(CORVANE_TEST_DATA) + "/gdi/ellipse-regions.txt");
  std::string title, rects;
  int cases = 0;
  while (std::getline(in, title)) {
    RECT box{};
    if (sscanf(title.c_str(), "CreateEllipticRgn %d %d %d %d", &box.left, &box.top, &box.right, &box.bottom) != 4)
      continue;
    ASSERT_TRUE(std::getline(in, rects));
    HRGN region = CreateEllipticRgn(box.left, box.top, box.right, box.bottom);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(text(rectsOf(region)), text(parseRects(rects, box))) << title;
    DeleteObject(region);
    ++cases;
  }
  EXPECT_EQ(cases, 274);
}

TEST(RegionShapes, PolygonsMatchEveryReferenceCaseInBothModes) {
  std::ifstream in(std::string(CORVANE_TEST_DATA) + "/gdi/polygon-regions.txt");
  std::string title, rects;
  int cases = 0;
  while (std::getline(in, title)) {
    int mode = 0;
    if (sscanf(title.c_str(), "CreatePolygonRgn mode %d:", &mode) != 1) continue;
    ASSERT_TRUE(std::getline(in, rects));
    std::vector<POINT> points;
    std::istringstream list(title.substr(title.find(':') + 1));
    std::string item;
    while (list >> item) {
      POINT p{};
      sscanf(item.c_str(), "%d,%d", &p.x, &p.y);
      points.push_back(p);
    }
    HRGN region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), mode);
    ASSERT_NE(region, nullptr);
    RECT anything{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_EQ(text(rectsOf(region)), text(parseRects(rects, anything))) << title;
    DeleteObject(region);
    ++cases;
  }
  EXPECT_EQ(cases, 57);
}

TEST(RegionShapes, CombinationKeepsCanonicalForm) {
  HRGN rect = CreateRectRgn(0, 0, 10, 10);
  HRGN pixel = CreateRectRgn(4, 4, 5, 5);
  HRGN result = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(result, rect, pixel, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(text(rectsOf(result)), "0,0,10,4 0,4,4,5 5,4,10,5 0,5,10,10 ");
  EXPECT_FALSE(PtInRegion(result, 4, 4));
  EXPECT_TRUE(PtInRegion(result, 5, 4));
  EXPECT_EQ(CombineRgn(result, result, pixel, RGN_OR), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(result, rect));
  EXPECT_EQ(CombineRgn(result, rect, rect, RGN_XOR), NULLREGION);
  RECT box{1, 1, 1, 1};
  EXPECT_EQ(GetRgnBox(result, &box), NULLREGION);
  EXPECT_EQ(box.right, 0);
  // Two touching rectangles become one.
  HRGN right = CreateRectRgn(10, 0, 20, 10);
  EXPECT_EQ(CombineRgn(result, rect, right, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(result, rect, right, RGN_AND), NULLREGION);
  EXPECT_EQ(CombineRgn(result, rect, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_EQ(CombineRgn(result, rect, right, 9), ERROR);
  EXPECT_EQ(OffsetRgn(result, 5, -3), SIMPLEREGION);
  EXPECT_EQ(GetRgnBox(result, &box), SIMPLEREGION);
  EXPECT_EQ(text({box}), "5,-3,15,7 ");
  RECT probe{14, 6, 30, 30}, away{15, 7, 30, 30};
  EXPECT_TRUE(RectInRegion(result, &probe));
  EXPECT_FALSE(RectInRegion(result, &away));
  for (HRGN h : {rect, pixel, result, right}) DeleteObject(h);
}

TEST(RegionShapes, RegionDataRoundTrip) {
  HRGN ellipse = CreateEllipticRgn(0, 0, 61, 25);
  DWORD size = GetRegionData(ellipse, 0, nullptr);
  // Rows with equal spans share one rectangle.
  EXPECT_EQ(size, sizeof(RGNDATAHEADER) + 19 * sizeof(RECT));
  std::vector<char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  SetLastError(0);
  EXPECT_EQ(GetRegionData(ellipse, size - 1, data), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_EQ(GetRegionData(ellipse, size, data), size);
  EXPECT_EQ(data->rdh.iType, static_cast<DWORD>(RDH_RECTANGLES));
  EXPECT_EQ(data->rdh.nCount, 19u);
  EXPECT_EQ(text({data->rdh.rcBound}), "0,0,60,24 ");
  HRGN copy = ExtCreateRegion(nullptr, size, data);
  ASSERT_NE(copy, nullptr);
  EXPECT_TRUE(EqualRgn(copy, ellipse));
  // Overlapping rectangles handed in are united.
  struct {
    RGNDATAHEADER rdh;
    RECT rects[2];
  } overlapping{{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 0, {}}, {{0, 0, 10, 10}, {5, 5, 15, 15}}};
  HRGN united = ExtCreateRegion(nullptr, sizeof overlapping, reinterpret_cast<RGNDATA*>(&overlapping));
  ASSERT_NE(united, nullptr);
  EXPECT_EQ(text(rectsOf(united)), "0,0,10,5 0,5,15,10 5,10,15,15 ");
  for (HRGN h : {ellipse, copy, united}) DeleteObject(h);
}

TEST(RegionShapes, BadHandlesAndHugeInput) {
  HRGN region = CreateRectRgn(0, 0, 1 << 30, 10);
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(rectsOf(region).size(), 1u);
  HRGN gone = CreateRectRgn(0, 0, 5, 5);
  DeleteObject(gone);
  SetLastError(0);
  EXPECT_EQ(CombineRgn(region, gone, region, RGN_OR), ERROR);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_EQ(OffsetRgn(gone, 1, 1), ERROR);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetRegionData(gone, 0, nullptr), 0u);
  EXPECT_FALSE(PtInRegion(gone, 0, 0));
  EXPECT_FALSE(SetRectRgn(gone, 0, 0, 1, 1));
  // A region that cannot move further keeps its place.
  EXPECT_EQ(OffsetRgn(region, INT_MAX, 0), ERROR);
  RECT box{};
  GetRgnBox(region, &box);
  EXPECT_EQ(box.left, 0);
  // 100000 rows is within bounds; an ellipse past the documented limit fails cleanly.
  HRGN tall = CreateEllipticRgn(0, 0, 50, 100000);
  ASSERT_NE(tall, nullptr);
  GetRgnBox(tall, &box);
  EXPECT_GT(box.bottom, 99000);
  EXPECT_LE(box.bottom, 99999);
  SetLastError(0);
  EXPECT_EQ(CreateEllipticRgn(0, 0, 10, 1 << 30), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // Within Windows' 28-bit coordinate space (2^29 lies past it and gives the empty region).
  const POINT spike[3] = {{0, 0}, {5, 1 << 26}, {10, 0}};
  EXPECT_EQ(CreatePolygonRgn(spike, 3, WINDING), nullptr);
  EXPECT_EQ(CreatePolygonRgn(spike, 3, 7), nullptr);
  // Inverted rectangles are normalized.
  HRGN inverted = CreateRectRgn(10, 10, 0, 0);
  EXPECT_EQ(GetRgnBox(inverted, &box), SIMPLEREGION);
  EXPECT_EQ(text({box}), "0,0,10,10 ");
  for (HRGN h : {region, tall, inverted}) DeleteObject(h);
}

TEST(RegionShapes, RoundRectWithFullCornersIsTheEllipse) {
  HRGN round = CreateRoundRectRgn(0, 0, 40, 20, 40, 20);
  HRGN ellipse = CreateEllipticRgn(0, 0, 40, 20);
  EXPECT_TRUE(EqualRgn(round, ellipse));
  HRGN small = CreateRoundRectRgn(0, 0, 40, 20, 6, 6);
  EXPECT_TRUE(PtInRegion(small, 20, 0));
  EXPECT_FALSE(PtInRegion(small, 0, 0));
  EXPECT_TRUE(PtInRegion(small, 0, 10));
  EXPECT_FALSE(PtInRegion(small, 39, 10));  // right edge excluded
  for (HRGN h : {round, ellipse, small}) DeleteObject(h);
}

// A rounded rectangle is its corner ellipse cut into quarters along its middle row and column and
// moved apart, the gaps filled: pixel (x, y) lies inside when the ellipse holds the points it comes
// from on both sides of each cut. It holds whether its corner ellipse is built new, was built by
// an ellipse elsewhere, or by a rounded rectangle of another size, and stays canonical; and the
// ellipse made from a kept corner is the one built new.
TEST(RegionShapes, RoundRectsAreTheirCornerEllipseOpenedUp) {
  struct Case {
    int width, height, ew, eh;
  } cases[] = {{30, 20, 6, 6}, {30, 20, 7, 5}, {7, 40, 12, 13}, {100, 9, 40, 40}, {25, 31, 3, 30}};
  const int x0 = -7, y0 = 5;
  auto forgetKeptEllipses = [] {
    for (int k = 0; k < 12; ++k) DeleteObject(CreateEllipticRgn(0, 0, 200 + k, 3));
  };
  for (const Case& c : cases)
    for (int way = 0; way < 3; ++way) {
      forgetKeptEllipses();
      const int ew = std::min(c.ew, c.width + 1), eh = std::min(c.eh, c.height + 1);
      if (way == 1) DeleteObject(CreateEllipticRgn(INT_MAX - 99, -(1 << 27), INT_MAX - 99 + ew, -(1 << 27) + eh));
      if (way == 2) DeleteObject(CreateRoundRectRgn(3, 3, 3 + c.width + 9, 3 + c.height + 4, c.ew, c.eh));
      HRGN round = CreateRoundRectRgn(x0, y0, x0 + c.width + 1, y0 + c.height + 1, c.ew, c.eh);
      EXPECT_EQ(canonicalFault(rectsOf(round)), "") << text(rectsOf(round));
      HRGN corner = CreateEllipticRgn(0, 0, ew, eh);
      forgetKeptEllipses();
      HRGN fresh = CreateEllipticRgn(0, 0, ew, eh);
      EXPECT_EQ(text(rectsOf(corner)), text(rectsOf(fresh))) << c.width << "x" << c.height << ", way " << way;
      const int cx = (ew - 2) / 2, cy = (eh - 2) / 2;
      const int widen = c.width - (ew - 1), stretch = c.height - (eh - 1);
      for (int y = -1; y <= c.height; ++y)
        for (int x = -1; x <= c.width; ++x) {
          bool expected = true;
          for (int px : {std::min(x, cx), std::max(x - widen, cx)})
            for (int py : {std::min(y, cy), std::max(y - stretch, cy)})
              expected = expected && PtInRegion(corner, px, py);
          ASSERT_EQ(PtInRegion(round, x0 + x, y0 + y) != FALSE, expected)
              << c.width << "x" << c.height << " corners " << c.ew << "x" << c.eh << ", way " << way << ", at "
              << x << "," << y;
        }
      for (HRGN h : {round, corner, fresh}) DeleteObject(h);
    }
}

// ---- Region objects over their life -------------------------------------------------------------

DWORD gdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

// A checkerboard of cells x cells one-pixel squares: a region of many bands and rectangles.
HRGN checkerboard(int cells) {
  HRGN board = CreateRectRgn(0, 0, 0, 0);
  for (int y = 0; y < cells; ++y) {
    for (int x = (y & 1); x < cells; x += 2) {
      HRGN cell = CreateRectRgn(x, y, x + 1, y + 1);
      CombineRgn(board, board, cell, RGN_OR);
      DeleteObject(cell);
    }
  }
  return board;
}

// The last ellipses built are kept and a repeat is moved into place: the same ellipse wherever it
// lies, even a whole coordinate range away from where it was built first.
TEST(RegionShapes, AnEllipseIsTheSameWhereverItLies) {
  const int places[] = {INT_MIN, -(1 << 27), -3, 0, 5, 1 << 27, INT_MAX - 64};
  for (int w : {5, 17, 64})
    for (int h : {3, 40}) {
      // Built first at the far corner of the plane, so that the others are moves across all of it.
      const int far = INT_MAX - 64;
      HRGN first = CreateEllipticRgn(far, far, far + w, far + h);
      std::vector<RECT> shape = rectsOf(first);
      DeleteObject(first);
      for (RECT& r : shape) r = RECT{r.left - far, r.top - far, r.right - far, r.bottom - far};
      for (int x : places)
        for (int y : {INT_MIN, 0, INT_MAX - 64}) {
          std::vector<RECT> moved = shape;
          for (RECT& r : moved) r = RECT{r.left + x, r.top + y, r.right + x, r.bottom + y};
          HRGN here = CreateEllipticRgn(x, y, x + w, y + h);
          EXPECT_EQ(text(rectsOf(here)), text(moved)) << w << "x" << h << " at " << x << "," << y;
          DeleteObject(here);
        }
    }
}

TEST(RegionShapes, NewRegionsHoldOnlyTheirOwnShapeAndOldHandlesStayDead) {
  const DWORD start = gdiObjects();
  // Regions small and large, made by every kind of call, then deleted.
  HRGN board = checkerboard(48);  // past the rectangles a deleted region keeps storage for
  EXPECT_EQ(rectsOf(board).size(), 48u * 24u);
  const POINT slant[4] = {{0, 0}, {26, 26}, {62, 26}, {62, 0}};
  std::vector<HRGN> old = {board, CreateEllipticRgn(0, 0, 80, 40), CreatePolygonRgn(slant, 4, WINDING),
                           CreateRoundRectRgn(0, 0, 30, 20, 8, 8), CreateRectRgn(5, 5, 9, 9)};
  CombineRgn(old[4], old[1], old[4], RGN_DIFF);
  EXPECT_EQ(gdiObjects(), start + 5);
  for (HRGN h : old) EXPECT_TRUE(DeleteObject(h));
  EXPECT_EQ(gdiObjects(), start);

  // Their successors show nothing of them.
  HRGN empty = CreateRectRgn(3, 3, 3, 3);
  HRGN pixel = CreateRectRgn(7, 8, 6, 7);
  HRGN ellipse = CreateEllipticRgn(0, 0, 6, 6);
  HRGN polygon = CreatePolygonRgn(slant, 2, WINDING);  // a line covers nothing
  HRGN set = CreateEllipticRgn(0, 0, 80, 40);
  EXPECT_TRUE(SetRectRgn(set, 1, 2, 3, 4));
  EXPECT_EQ(gdiObjects(), start + 5);
  RECT box{};
  EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
  EXPECT_EQ(GetRgnBox(polygon, &box), NULLREGION);
  EXPECT_EQ(GetRgnBox(pixel, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 6);
  EXPECT_EQ(box.bottom, 8);
  EXPECT_EQ(rectsOf(set).size(), 1u);
  std::vector<RECT> rows = rectsOf(ellipse);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows.front().top, 0);
  EXPECT_EQ(rows.back().bottom, 5);

  // No old handle reaches a new object, though the new ones may live where the old ones did.
  for (HRGN h : old) {
    SetLastError(0);
    EXPECT_EQ(GetRgnBox(h, &box), ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CombineRgn(h, pixel, nullptr, RGN_COPY), ERROR);
    EXPECT_EQ(CombineRgn(pixel, h, pixel, RGN_OR), ERROR);
    EXPECT_FALSE(DeleteObject(h));
    for (HRGN fresh : {empty, pixel, ellipse, polygon, set}) EXPECT_NE(h, fresh);
  }
  EXPECT_EQ(GetRgnBox(pixel, &box), SIMPLEREGION);
  for (HRGN h : {empty, pixel, ellipse, polygon, set}) EXPECT_TRUE(DeleteObject(h));
  EXPECT_EQ(gdiObjects(), start);
}

TEST(RegionShapes, CombinationsIntoTheirOwnOperands) {
  HRGN board = checkerboard(6);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(copy, board, nullptr, RGN_COPY);
  HRGN square = CreateRectRgn(0, 0, 6, 6);
  // The destination as second operand, first operand, and both; the one-rectangle operand on
  // either side.
  EXPECT_EQ(CombineRgn(square, board, square, RGN_AND), COMPLEXREGION);
  EXPECT_TRUE(EqualRgn(square, copy));
  SetRectRgn(square, 0, 0, 6, 6);
  EXPECT_EQ(CombineRgn(square, square, board, RGN_AND), COMPLEXREGION);
  EXPECT_TRUE(EqualRgn(square, copy));
  SetRectRgn(square, 0, 0, 6, 6);
  EXPECT_EQ(CombineRgn(board, square, board, RGN_DIFF), COMPLEXREGION);  // the other colour
  EXPECT_TRUE(PtInRegion(board, 1, 0));
  EXPECT_FALSE(PtInRegion(board, 0, 0));
  EXPECT_EQ(CombineRgn(board, board, copy, RGN_OR), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(board, square));
  EXPECT_EQ(CombineRgn(board, board, board, RGN_XOR), NULLREGION);
  EXPECT_EQ(CombineRgn(copy, copy, copy, RGN_AND), COMPLEXREGION);
  EXPECT_EQ(rectsOf(copy).size(), 18u);
  for (HRGN h : {board, copy, square}) DeleteObject(h);
}

TEST(RegionShapes, OneRectangleCutsOfManyBandsHoldPixelByPixel) {
  // Holes and windows inside, across the top, across the bottom, beside, around and outside an
  // ellipse of many bands, and in a region of two spans a band.
  const RECT cuts[] = {{40, 10, 60, 20}, {-5, -5, 200, 4},  {-5, 25, 200, 40}, {10, 0, 30, 30},
                       {0, 12, 100, 13}, {-1, -1, 101, 31}, {120, 0, 130, 30}, {0, 0, 0, 0},
                       {20, 5, 50, 25},  {48, 0, 52, 30}};
  HRGN ellipse = CreateEllipticRgn(0, 0, 100, 30);
  HRGN ring = CreateEllipticRgn(0, 0, 100, 30);
  HRGN inner = CreateEllipticRgn(30, 5, 70, 25);
  CombineRgn(ring, ring, inner, RGN_DIFF);
  HRGN result = CreateRectRgn(0, 0, 0, 0);
  for (HRGN shape : {ellipse, ring}) {
    for (const RECT& cut : cuts) {
      HRGN rect = CreateRectRgnIndirect(&cut);
      for (int mode : {RGN_AND, RGN_DIFF}) {
        CombineRgn(result, shape, rect, mode);
        for (int y = -2; y < 32; ++y) {
          for (int x = -2; x < 102; ++x) {
            bool inShape = PtInRegion(shape, x, y), inCut = PtInRegion(rect, x, y);
            bool expected = mode == RGN_AND ? inShape && inCut : inShape && !inCut;
            ASSERT_EQ(PtInRegion(result, x, y) != FALSE, expected)
                << "pixel " << x << "," << y << " mode " << mode << " cut " << cut.left << "," << cut.top;
          }
        }
        std::vector<RECT> rects = rectsOf(result);
        EXPECT_EQ(canonicalFault(rects), "") << text(rects);
      }
      DeleteObject(rect);
    }
  }
  for (HRGN h : {ellipse, ring, inner, result}) DeleteObject(h);
}

// A point outside the 28-bit coordinate space: Windows gives a region, and it is empty.
TEST(RegionShapes, PolygonsPastTheCoordinateSpaceAreEmpty) {
  const LONG far[] = {static_cast<LONG>(0x80000000u), INT_MAX, 1 << 27, -(1 << 27) - 1};
  for (LONG v : far) {
    const POINT points[3] = {{0, 0}, {v, 5}, {5, 5}};
    SetLastError(0);
    HRGN one = CreatePolygonRgn(points, 3, ALTERNATE);
    ASSERT_NE(one, nullptr) << v;
    RECT box{1, 1, 1, 1};
    EXPECT_EQ(GetRgnBox(one, &box), NULLREGION) << v;
    const INT counts[2] = {3, 3};
    const POINT two[6] = {{0, 0}, {10, 0}, {0, 10}, {0, 0}, {5, v}, {5, 5}};
    HRGN both = CreatePolyPolygonRgn(two, counts, 2, WINDING);
    ASSERT_NE(both, nullptr) << v;
    EXPECT_EQ(GetRgnBox(both, &box), NULLREGION) << v;
    EXPECT_EQ(GetLastError(), 0u);
    DeleteObject(one);
    DeleteObject(both);
  }
  // The last point inside the space still counts.
  const POINT inside[3] = {{0, 0}, {(1 << 27) - 1, 0}, {0, 5}};
  HRGN wide = CreatePolygonRgn(inside, 3, ALTERNATE);
  RECT box{};
  EXPECT_EQ(GetRgnBox(wide, &box), COMPLEXREGION);
  DeleteObject(wide);
}

}  // namespace
