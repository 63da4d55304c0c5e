#include <gtest/gtest.h>

#include <windows.h>

#include "PaintInspector.h"

using painttest::PaintWindow;
using painttest::sizeInPixels;

namespace {

// Twelve colours that tell every edge apart: inner 1-4, middle 5-8, outer 9-12.
EdgeColorList distinctEdges() {
  EdgeColorList c{};
  for (int i = 1; i <= 12; ++i) c[static_cast<size_t>(i)] = 0x000010 * i + 0x100000 * (i % 3);
  return c;
}

class BevelEdges : public testing::Test {
 protected:
  void SetUp() override {
    w.Load();
    b.setCaption("");
  }
  // Clears the buffer to a colour no edge uses.
  void clear(int width, int height) { in.DrawRect(0, 0, width, height, kClear); }
  static constexpr COLORREF kClear = 0x123456;
  PaintWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};
};

TEST_F(BevelEdges, ARectangleGetsThreeRingsEachEdgeInItsColour) {
  sizeInPixels(b, 100, 30);
  ASSERT_EQ(in.RightSlantStart(), 100);
  clear(100, 30);
  EdgePointList p{};
  const EdgeColorList c = distinctEdges();
  in.DrawBevelEdges(p, c, -1);

  // Outer ring on the client edge: left and top drawn first, right and bottom over them.
  EXPECT_EQ(in.buffer(0, 0), static_cast<COLORREF>(c[10]));
  EXPECT_EQ(in.buffer(0, 1), static_cast<COLORREF>(c[9]));
  EXPECT_EQ(in.buffer(0, 28), static_cast<COLORREF>(c[9]));
  EXPECT_EQ(in.buffer(0, 29), static_cast<COLORREF>(c[12]));
  EXPECT_EQ(in.buffer(50, 0), static_cast<COLORREF>(c[10]));
  EXPECT_EQ(in.buffer(98, 0), static_cast<COLORREF>(c[10]));
  EXPECT_EQ(in.buffer(99, 0), static_cast<COLORREF>(c[11]));
  EXPECT_EQ(in.buffer(99, 15), static_cast<COLORREF>(c[11]));
  EXPECT_EQ(in.buffer(99, 29), static_cast<COLORREF>(c[12]));
  EXPECT_EQ(in.buffer(50, 29), static_cast<COLORREF>(c[12]));
  // Middle ring one pixel in.
  EXPECT_EQ(in.buffer(1, 1), static_cast<COLORREF>(c[6]));
  EXPECT_EQ(in.buffer(1, 2), static_cast<COLORREF>(c[5]));
  EXPECT_EQ(in.buffer(1, 27), static_cast<COLORREF>(c[5]));
  EXPECT_EQ(in.buffer(1, 28), static_cast<COLORREF>(c[8]));
  EXPECT_EQ(in.buffer(97, 1), static_cast<COLORREF>(c[6]));
  EXPECT_EQ(in.buffer(98, 1), static_cast<COLORREF>(c[7]));
  EXPECT_EQ(in.buffer(98, 27), static_cast<COLORREF>(c[7]));
  EXPECT_EQ(in.buffer(98, 28), static_cast<COLORREF>(c[8]));
  // Inner ring two pixels in.
  EXPECT_EQ(in.buffer(2, 2), static_cast<COLORREF>(c[2]));
  EXPECT_EQ(in.buffer(2, 3), static_cast<COLORREF>(c[1]));
  EXPECT_EQ(in.buffer(2, 27), static_cast<COLORREF>(c[4]));
  EXPECT_EQ(in.buffer(96, 2), static_cast<COLORREF>(c[2]));
  EXPECT_EQ(in.buffer(97, 2), static_cast<COLORREF>(c[3]));
  EXPECT_EQ(in.buffer(97, 26), static_cast<COLORREF>(c[3]));
  EXPECT_EQ(in.buffer(97, 27), static_cast<COLORREF>(c[4]));
  // Nothing inside the rings, nothing beyond.
  EXPECT_EQ(in.buffer(3, 3), kClear);
  EXPECT_EQ(in.buffer(96, 26), kClear);
  EXPECT_EQ(in.buffer(50, 15), kClear);

  // The points the rings were drawn through, as the slanted code needs them.
  EXPECT_EQ(p[0].x, 2);
  EXPECT_EQ(p[0].y, 27);
  EXPECT_EQ(p[3].x, 97);
  EXPECT_EQ(p[13].x, 99);
  EXPECT_EQ(p[13].y, 29);
  EXPECT_EQ(p[14].x, -1);
  EXPECT_EQ(p[14].y, 29);
}

TEST_F(BevelEdges, NegativeColoursLeaveTheirEdgesUntouched) {
  sizeInPixels(b, 60, 24);
  clear(60, 24);
  EdgePointList p{};
  EdgeColorList c = distinctEdges();
  for (int i : {1, 2, 3, 4, 6, 11}) c[static_cast<size_t>(i)] = -1;
  in.DrawBevelEdges(p, c, -1);
  EXPECT_EQ(in.buffer(2, 10), kClear);
  EXPECT_EQ(in.buffer(10, 2), kClear);
  EXPECT_EQ(in.buffer(57, 10), kClear);
  EXPECT_EQ(in.buffer(10, 21), kClear);
  EXPECT_EQ(in.buffer(10, 1), kClear);
  EXPECT_EQ(in.buffer(59, 10), kClear);
  EXPECT_EQ(in.buffer(1, 10), static_cast<COLORREF>(c[5]));
  EXPECT_EQ(in.buffer(58, 10), static_cast<COLORREF>(c[7]));
  EXPECT_EQ(in.buffer(10, 0), static_cast<COLORREF>(c[10]));
  EXPECT_EQ(in.buffer(10, 23), static_cast<COLORREF>(c[12]));
}

TEST_F(BevelEdges, AnEdgeOfTheColourBeforeKeepsThePenAndItsStyle) {
  sizeInPixels(b, 60, 24);
  clear(60, 24);
  EdgePointList p{};
  EdgeColorList c = distinctEdges();
  // The outer left edge shares the middle bottom's colour: it keeps the solid pen, while the
  // outer top, in a colour of its own, is drawn with the dotted outer style.
  c[9] = c[8];
  in.DrawBevelEdges(p, c, PS_DOT);
  for (int y = 1; y <= 22; ++y) EXPECT_EQ(in.buffer(0, y), static_cast<COLORREF>(c[9])) << y;
  int dotted = 0, gaps = 0;
  for (int x = 1; x <= 57; ++x) (in.buffer(x, 0) == static_cast<COLORREF>(c[10]) ? dotted : gaps)++;
  EXPECT_GT(dotted, 10);
  EXPECT_GT(gaps, 10);
}

TEST_F(BevelEdges, ASlantedLeftShapeFollowsItsDiagonal) {
  b.setButtonShape(1);
  sizeInPixels(b, 100, 30);
  ASSERT_EQ(in.LeftSlantWidth(), 31);
  ASSERT_EQ(in.RightSlantStart(), 100);
  clear(100, 30);
  EdgePointList p{};
  const EdgeColorList c = distinctEdges();
  in.DrawBevelEdges(p, c, -1);
  // Each left edge runs at 45 degrees: outer from (30, 30), middle from (29, 28), inner from
  // (29, 27) up towards the top-left.
  EXPECT_EQ(in.buffer(10, 10), static_cast<COLORREF>(c[9]));
  EXPECT_EQ(in.buffer(25, 25), static_cast<COLORREF>(c[9]));
  EXPECT_EQ(in.buffer(15, 14), static_cast<COLORREF>(c[5]));
  EXPECT_EQ(in.buffer(15, 13), static_cast<COLORREF>(c[1]));
  EXPECT_EQ(in.buffer(10, 10 - 1), static_cast<COLORREF>(c[5]));
  // The tops start beside the diagonals.
  EXPECT_EQ(in.buffer(4, 2), static_cast<COLORREF>(c[2]));
  EXPECT_EQ(in.buffer(2, 1), static_cast<COLORREF>(c[6]));
  EXPECT_EQ(in.buffer(0, 0), static_cast<COLORREF>(c[10]));
  // Left of the diagonal nothing is drawn.
  EXPECT_EQ(in.buffer(5, 20), kClear);
  // The outer bottom line reaches from under the slant's foot to the right edge, closed by the
  // last segment from (28, 29).
  EXPECT_EQ(in.buffer(28, 29), static_cast<COLORREF>(c[12]));
  EXPECT_EQ(in.buffer(29, 29), static_cast<COLORREF>(c[12]));
  EXPECT_EQ(in.buffer(99, 29), static_cast<COLORREF>(c[12]));
  EXPECT_EQ(in.buffer(27, 29), kClear);
  // The right side is square.
  EXPECT_EQ(in.buffer(99, 15), static_cast<COLORREF>(c[11]));
  EXPECT_EQ(in.buffer(97, 15), static_cast<COLORREF>(c[3]));
  EXPECT_EQ(p[0].x, 29);
  EXPECT_EQ(p[10].x, 30);
  EXPECT_EQ(p[10].y, 30);
  EXPECT_EQ(p[14].x, 28);
}

}  // namespace
