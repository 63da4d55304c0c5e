// Clipping, shape edges and the rectangle helpers.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>

#include "GeometryCanvas.h"

namespace {

std::vector<std::string> blank(int w, int h) { return std::vector<std::string>(h, std::string(w, '.')); }

TEST(Clipping, NothingLandsOutsideTheClip) {
  GeometryCanvas canvas(10, 6);
  HRGN clip = CreateRectRgn(2, 1, 5, 4);
  EXPECT_EQ(SelectClipRgn(canvas.dc(), clip), SIMPLEREGION);
  DeleteObject(clip);  // the DC keeps its own copy
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RECT all{0, 0, 10, 6};
  FillRect(canvas.dc(), &all, black);
  MoveToEx(canvas.dc(), 0, 5, nullptr);
  LineTo(canvas.dc(), 10, 5);
  auto want = blank(10, 6);
  for (int y = 1; y < 4; ++y) want[y] = "..###.....";
  // Pixels outside the clip cannot be read through the clipped DC.
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), CLR_INVALID);
  HRGN saved = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(canvas.dc(), saved), 1);
  SelectClipRgn(canvas.dc(), nullptr);
  EXPECT_EQ(canvas.picture(), want);
  SelectClipRgn(canvas.dc(), saved);
  DeleteObject(saved);
  RECT box{};
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.bottom, 4);
  EXPECT_EQ(ExcludeClipRect(canvas.dc(), 3, 0, 4, 10), COMPLEXREGION);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(canvas.dc(), copy), 1);
  EXPECT_TRUE(PtInRegion(copy, 2, 2));
  EXPECT_FALSE(PtInRegion(copy, 3, 2));
  EXPECT_EQ(OffsetClipRgn(canvas.dc(), 1, 0), COMPLEXREGION);
  EXPECT_FALSE(PtVisible(canvas.dc(), 2, 2));
  EXPECT_TRUE(PtVisible(canvas.dc(), 3, 2));
  EXPECT_EQ(IntersectClipRect(canvas.dc(), 20, 20, 30, 30), NULLREGION);
  EXPECT_EQ(SelectClipRgn(canvas.dc(), nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(canvas.dc(), copy), 0);
  EXPECT_EQ(GetClipBox(canvas.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(ExtSelectClipRgn(canvas.dc(), nullptr, RGN_AND), ERROR);
  DeleteObject(copy);
}

TEST(Clipping, CombiningWithNoClipUsesTheWholeSurface) {
  GeometryCanvas canvas(8, 8);
  HRGN hole = CreateRectRgn(2, 2, 4, 4);
  EXPECT_EQ(ExtSelectClipRgn(canvas.dc(), hole, RGN_DIFF), COMPLEXREGION);
  EXPECT_TRUE(PtVisible(canvas.dc(), 0, 0));
  EXPECT_FALSE(PtVisible(canvas.dc(), 2, 2));
  EXPECT_EQ(ExtSelectClipRgn(canvas.dc(), hole, RGN_OR), SIMPLEREGION);
  EXPECT_EQ(ExtSelectClipRgn(canvas.dc(), hole, RGN_AND), SIMPLEREGION);
  EXPECT_FALSE(PtVisible(canvas.dc(), 0, 0));
  DeleteObject(hole);
  SetLastError(0);
  EXPECT_EQ(SelectClipRgn(canvas.dc(), hole), ERROR);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SelectClipRgn(nullptr, nullptr), ERROR);
}

TEST(Shapes, RectangleAndPolylineLeaveOutRightAndBottom) {
  GeometryCanvas canvas(7, 6);
  HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
  HGDIOBJ oldBrush = SelectObject(canvas.dc(), grey);
  ASSERT_TRUE(Rectangle(canvas.dc(), 1, 1, 5, 5));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(canvas.dc(), 4, 4), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(canvas.dc(), 2, 2), RGB(128, 128, 128));
  EXPECT_EQ(GetPixel(canvas.dc(), 5, 5), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(canvas.dc(), 5, 2), RGB(255, 255, 255));
  // With no pen the brush reaches the top-left corner but still stops short of right and bottom.
  HGDIOBJ oldPen = SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
  RECT all{0, 0, 7, 6};
  FillRect(canvas.dc(), &all, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1)));
  ASSERT_TRUE(Rectangle(canvas.dc(), 1, 1, 5, 5));
  auto want = blank(7, 6);
  for (int y = 1; y < 4; ++y) want[y] = ".###...";
  EXPECT_EQ(canvas.picture(), want);
  SelectObject(canvas.dc(), oldPen);
  SelectObject(canvas.dc(), oldBrush);
  DeleteObject(grey);

  FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const POINT points[3] = {{0, 0}, {3, 0}, {3, 3}};
  ASSERT_TRUE(Polyline(canvas.dc(), points, 3));
  want = blank(7, 6);
  want[0] = "####...";
  want[1] = "...#...";
  want[2] = "...#...";
  EXPECT_EQ(canvas.picture(), want);
  POINT last{};
  MoveToEx(canvas.dc(), 6, 5, nullptr);
  ASSERT_TRUE(LineTo(canvas.dc(), 6, 3));
  MoveToEx(canvas.dc(), 0, 0, &last);
  EXPECT_EQ(last.x, 6);
  EXPECT_EQ(last.y, 3);
  EXPECT_EQ(GetPixel(canvas.dc(), 6, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(canvas.dc(), 6, 4), RGB(0, 0, 0));
}

TEST(Shapes, EllipseCoversItsRegionAndXorUndoes) {
  GeometryCanvas canvas(22, 12);
  HGDIOBJ oldBrush = SelectObject(canvas.dc(), GetStockObject(GRAY_BRUSH));
  ASSERT_TRUE(Ellipse(canvas.dc(), 0, 0, 20, 10));
  SelectObject(canvas.dc(), oldBrush);
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 4), RGB(0, 0, 0));        // pen
  EXPECT_EQ(GetPixel(canvas.dc(), 9, 4), RGB(128, 128, 128));  // brush
  HRGN region = CreateEllipticRgn(0, 0, 21, 11);
  auto pic = canvas.picture();
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 22; ++x)
      EXPECT_EQ(pic[y][x] == '#', PtInRegion(region, x, y) != 0) << x << "," << y;
  DeleteObject(region);
  SetROP2(canvas.dc(), R2_NOT);
  auto before = canvas.pixels();
  const POINT star[5] = {{10, 0}, {16, 11}, {0, 4}, {20, 4}, {4, 11}};
  ASSERT_TRUE(Polygon(canvas.dc(), star, 5));
  ASSERT_TRUE(Arc(canvas.dc(), 0, 0, 21, 11, 21, 0, 0, 11));
  EXPECT_NE(canvas.pixels(), before);
  ASSERT_TRUE(Arc(canvas.dc(), 0, 0, 21, 11, 21, 0, 0, 11));
  ASSERT_TRUE(Polygon(canvas.dc(), star, 5));
  EXPECT_EQ(canvas.pixels(), before);
}

TEST(Shapes, FillsAndBadHandles) {
  GeometryCanvas canvas(6, 4);
  RECT r{1, 1, 5, 3};
  EXPECT_TRUE(FrameRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  auto want = blank(6, 4);
  want[1] = ".####.";
  want[2] = ".####.";
  EXPECT_EQ(canvas.picture(), want);
  EXPECT_TRUE(InvertRect(canvas.dc(), &r));
  EXPECT_EQ(canvas.picture(), blank(6, 4));
  EXPECT_TRUE(FillRect(canvas.dc(), &r, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNSHADOW + 1))));
  EXPECT_EQ(GetPixel(canvas.dc(), 2, 2), RGB(128, 128, 128));
  HBRUSH gone = CreateSolidBrush(RGB(1, 2, 3));
  DeleteObject(gone);
  SetLastError(0);
  EXPECT_FALSE(FillRect(canvas.dc(), &r, gone));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HDC deadDc = CreateCompatibleDC(nullptr);
  DeleteDC(deadDc);
  SetLastError(0);
  EXPECT_FALSE(Rectangle(deadDc, 0, 0, 2, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(LineTo(deadDc, 1, 1));
  EXPECT_FALSE(Polyline(canvas.dc(), nullptr, 2));
}

TEST(Shapes, HugeCoordinatesCostOnlyTheSurface) {
  GeometryCanvas canvas(12, 3);
  HPEN dot = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  HGDIOBJ old = SelectObject(canvas.dc(), dot);
  // The dot pattern still runs from the real start of the line: 2^30 + 3 pixels before x = 3.
  MoveToEx(canvas.dc(), -(1 << 30), 1, nullptr);
  ASSERT_TRUE(LineTo(canvas.dc(), 1 << 30, 1));
  SelectObject(canvas.dc(), old);
  DeleteObject(dot);
  const int phase = (1 << 30) % 6;
  for (int x = 0; x < 12; ++x)
    EXPECT_EQ(GetPixel(canvas.dc(), x, 1) == RGB(0, 0, 0), (x + phase) % 6 < 3) << x;
  ASSERT_TRUE(Rectangle(canvas.dc(), -(1 << 30), -(1 << 30), 1 << 30, 1 << 30));
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  ASSERT_TRUE(FillRect(canvas.dc(), &huge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_EQ(GetPixel(canvas.dc(), 11, 2), RGB(0, 0, 0));
}

// A wide pen paints a square of its width centred on every pixel of the one-pixel line: drawn into
// a window of the plane (the path moved up and left), the wide line shows exactly the squares of
// the thin line's pixels that reach into it, including the squares of pixels outside it.
TEST(Shapes, WidePenLinesAreTheSquaresOfTheThinLine) {
  constexpr int kPlane = 90, kShift = 30, kWindow = 30;
  const POINT paths[][3] = {{{45, 45}, {80, 52}, {47, 88}}, {{10, 70}, {75, 12}, {75, 40}},
                            {{44, 5}, {44, 85}, {5, 85}},   {{20, 20}, {70, 70}, {20, 71}}};
  for (int width : {2, 3, 4, 7, 30}) {
    for (const auto& path : paths) {
      SCOPED_TRACE(testing::Message() << "width " << width << " from " << path[0].x << "," << path[0].y);
      GeometryCanvas thin(kPlane, kPlane), wide(kWindow, kWindow), squares(kWindow, kWindow);
      Polyline(thin.dc(), path, 3);
      POINT moved[3];
      for (int i = 0; i < 3; ++i) moved[i] = POINT{path[i].x - kShift, path[i].y - kShift};
      HPEN pen = CreatePen(PS_SOLID, width, RGB(0, 0, 0));
      HGDIOBJ old = SelectObject(wide.dc(), pen);
      // R2_NOT shows a pixel mixed twice (where segments meet) as unpainted.
      SetROP2(wide.dc(), R2_NOT);
      ASSERT_TRUE(Polyline(wide.dc(), moved, 3));
      SelectObject(wide.dc(), old);
      DeleteObject(pen);
      const std::vector<std::string> rows = thin.picture();
      for (int y = 0; y < kPlane; ++y)
        for (int x = 0; x < kPlane; ++x) {
          if (rows[y][x] != '#') continue;
          RECT square{x - kShift - (width - 1) / 2, y - kShift - (width - 1) / 2, 0, 0};
          square.right = square.left + width;
          square.bottom = square.top + width;
          FillRect(squares.dc(), &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
      EXPECT_EQ(wide.picture(), squares.picture()) << sideBySide(squares.picture(), wide.picture());
    }
  }
}

// Only the rows of the clip box are looked at, whatever the pen's width: these lines would take
// hours square by square (the test's time limit stops them).
TEST(Shapes, EnormousPenWidthsCostOnlyTheSurface) {
  struct Case {
    int width;
    POINT from, to;
    bool covers;  // the whole surface, or none of it
  };
  const Case cases[] = {
      {INT_MAX, {2, 3}, {9, 4}, true},
      {INT_MAX, {-1000000000, 3}, {1000000000, 12}, true},
      {1 << 20, {-(1 << 28), -(1 << 28)}, {1 << 28, 1 << 28}, true},
      {1 << 20, {-(1 << 22), -(1 << 22)}, {(1 << 22), -(1 << 22)}, false},  // far above the surface
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    GeometryCanvas canvas(16, 12);
    HPEN pen = CreatePen(PS_SOLID, c.width, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc(), pen);
    MoveToEx(canvas.dc(), c.from.x, c.from.y, nullptr);
    ASSERT_TRUE(LineTo(canvas.dc(), c.to.x, c.to.y));
    SelectObject(canvas.dc(), old);
    DeleteObject(pen);
    EXPECT_EQ(canvas.picture(), std::vector<std::string>(12, std::string(16, c.covers ? '#' : '.')));
  }
}

TEST(RectHelpers, FollowWin32Rules) {
  RECT a{0, 0, 10, 10}, b{5, 5, 15, 15}, c{20, 20, 30, 30}, empty{3, 3, 3, 8}, out{};
  EXPECT_TRUE(IntersectRect(&out, &a, &b));
  RECT overlap{5, 5, 10, 10};
  EXPECT_TRUE(EqualRect(&out, &overlap));
  out = RECT{1, 2, 3, 4};
  EXPECT_FALSE(IntersectRect(&out, &a, &c));
  EXPECT_TRUE(IsRectEmpty(&out));
  EXPECT_EQ(out.left + out.top + out.right + out.bottom, 0);
  EXPECT_TRUE(UnionRect(&out, &a, &empty));
  EXPECT_TRUE(EqualRect(&out, &a));
  EXPECT_FALSE(UnionRect(&out, &empty, &empty));
  RECT top{0, 0, 10, 4};
  EXPECT_TRUE(SubtractRect(&out, &a, &top));
  RECT rest{0, 4, 10, 10};
  EXPECT_TRUE(EqualRect(&out, &rest));
  EXPECT_TRUE(SubtractRect(&out, &a, &b));  // a corner cut leaves the whole rectangle
  EXPECT_TRUE(EqualRect(&out, &a));
  EXPECT_FALSE(SubtractRect(&out, &a, &a));
  EXPECT_TRUE(PtInRect(&a, POINT{0, 9}));
  EXPECT_FALSE(PtInRect(&a, POINT{10, 0}));
  InflateRect(&a, 2, -1);
  OffsetRect(&a, 1, 1);
  EXPECT_EQ(a.left, -1);
  EXPECT_EQ(a.top, 2);
  EXPECT_EQ(a.right, 13);
  EXPECT_EQ(a.bottom, 10);
  EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
  EXPECT_TRUE(IsRectEmpty(nullptr));
  EXPECT_FALSE(EqualRect(&a, nullptr));
}

// Extreme coordinates and sizes in the shape, pixel and fill calls, with every kind of pen and
// ROP2: each call returns, and nothing is written outside the bitmap (the sanitizers watch that).
TEST(Shapes, ExtremeCoordinatesInEveryShapeCall) {
  GeometryCanvas canvas(6, 6);
  HDC dc = canvas.dc();
  const int extremes[] = {INT_MIN, -(1 << 27), -1, 0, 3, 1 << 27, INT_MAX};
  HPEN pens[] = {CreatePen(PS_SOLID, 1, 0), CreatePen(PS_DASH, 1, 0), CreatePen(PS_SOLID, 3, 0),
                 CreatePen(PS_INSIDEFRAME, 4, 0), static_cast<HPEN>(GetStockObject(NULL_PEN))};
  HGDIOBJ oldPen = SelectObject(dc, pens[0]);
  for (HPEN pen : pens) {
    SelectObject(dc, pen);
    for (int rop : {R2_COPYPEN, R2_NOT, R2_XORPEN}) {
      SetROP2(dc, rop);
      for (int a : extremes)
        for (int b : extremes) {
          EXPECT_TRUE(Rectangle(dc, a, b, b, a));
          EXPECT_TRUE(Rectangle(dc, a, a, b, b));
          SetPixel(dc, a, b, RGB(1, 2, 3));
          RECT r{a, b, b, a};
          FillRect(dc, &r, nullptr);
          PatBlt(dc, a, b, b, a, DSTINVERT);
        }
    }
  }
  SelectObject(dc, oldPen);
  for (HPEN pen : pens) DeleteObject(pen);
  // Stale handles fail as documented.
  HBRUSH gone = CreateSolidBrush(0);
  DeleteObject(gone);
  RECT all{0, 0, 6, 6};
  EXPECT_FALSE(FillRect(dc, &all, gone));
  SetLastError(0);
  EXPECT_EQ(SelectObject(dc, gone), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HDC goneDc = CreateCompatibleDC(nullptr);
  DeleteDC(goneDc);
  EXPECT_EQ(SetPixel(goneDc, 0, 0, 0), CLR_INVALID);
  EXPECT_FALSE(Rectangle(goneDc, 0, 0, 2, 2));
  EXPECT_EQ(DrawTextA(goneDc, "x", 1, &all, 0), 0);
  EXPECT_FALSE(FillRect(goneDc, &all, nullptr));
}

}  // namespace
