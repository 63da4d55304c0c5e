// Window regions of every shape: rectangles with the corner cuts of each style, slanted outlines
// (with the widening of buttons too narrow for their slants), ellipses with their two clip
// regions, and outlines carved from a picture's transparent pixels. The expected rectangles of
// polygons and ellipses are those Windows gives for the same calls.
#include <gtest/gtest.h>

#include <windows.h>

#include "GeometryFixture.h"

#include <string>
#include <utility>
#include <vector>

using geomtest::ButtonWindow;
using geomtest::rectsOf;
using geomtest::sameArea;
using geomtest::sizeButton;
using geomtest::windowRegionHas;
using geomtest::windowRegionIs;
using geomtest::windowRegionOf;

namespace {

// Windows' CreatePolygonRgn(WINDING) results for the outlines of a 100 x 30 button and of a
// button widened to 38 x 30.
const char kSlantLeft100x30[] =
    "0,0,101,1 1,1,101,2 2,2,101,3 3,3,101,4 4,4,101,5 5,5,101,6 6,6,101,7 7,7,101,8 8,8,101,9 "
    "9,9,101,10 10,10,101,11 11,11,101,12 12,12,101,13 13,13,101,14 14,14,101,15 15,15,101,16 "
    "16,16,101,17 17,17,101,18 18,18,101,19 19,19,101,20 20,20,101,21 21,21,101,22 22,22,101,23 "
    "23,23,101,24 24,24,101,25 25,25,101,26 26,26,101,27 27,27,101,28 28,28,101,29 29,29,101,30 "
    "30,30,101,31";
const char kSlantRight100x30[] =
    "0,0,70,1 0,1,71,2 0,2,72,3 0,3,73,4 0,4,74,5 0,5,75,6 0,6,76,7 0,7,77,8 0,8,78,9 0,9,79,10 "
    "0,10,80,11 0,11,81,12 0,12,82,13 0,13,83,14 0,14,84,15 0,15,85,16 0,16,86,17 0,17,87,18 "
    "0,18,88,19 0,19,89,20 0,20,90,21 0,21,91,22 0,22,92,23 0,23,93,24 0,24,94,25 0,25,95,26 "
    "0,26,96,27 0,27,97,28 0,28,98,29 0,29,99,30 0,30,100,31";
const char kSlantBoth100x30[] =
    "0,0,70,1 1,1,71,2 2,2,72,3 3,3,73,4 4,4,74,5 5,5,75,6 6,6,76,7 7,7,77,8 8,8,78,9 9,9,79,10 "
    "10,10,80,11 11,11,81,12 12,12,82,13 13,13,83,14 14,14,84,15 15,15,85,16 16,16,86,17 "
    "17,17,87,18 18,18,88,19 19,19,89,20 20,20,90,21 21,21,91,22 22,22,92,23 23,23,93,24 "
    "24,24,94,25 25,25,95,26 26,26,96,27 27,27,97,28 28,28,98,29 29,29,99,30 30,30,100,31";
const char kSlantLeft38x30[] =
    "0,0,39,1 1,1,39,2 2,2,39,3 3,3,39,4 4,4,39,5 5,5,39,6 6,6,39,7 7,7,39,8 8,8,39,9 9,9,39,10 "
    "10,10,39,11 11,11,39,12 12,12,39,13 13,13,39,14 14,14,39,15 15,15,39,16 16,16,39,17 "
    "17,17,39,18 18,18,39,19 19,19,39,20 20,20,39,21 21,21,39,22 22,22,39,23 23,23,39,24 "
    "24,24,39,25 25,25,39,26 26,26,39,27 27,27,39,28 28,28,39,29 29,29,39,30 30,30,39,31";
const char kSlantRight38x30[] =
    "0,0,8,1 0,1,9,2 0,2,10,3 0,3,11,4 0,4,12,5 0,5,13,6 0,6,14,7 0,7,15,8 0,8,16,9 0,9,17,10 "
    "0,10,18,11 0,11,19,12 0,12,20,13 0,13,21,14 0,14,22,15 0,15,23,16 0,16,24,17 0,17,25,18 "
    "0,18,26,19 0,19,27,20 0,20,28,21 0,21,29,22 0,22,30,23 0,23,31,24 0,24,32,25 0,25,33,26 "
    "0,26,34,27 0,27,35,28 0,28,36,29 0,29,37,30 0,30,38,31";
// CreateEllipticRgn(0, 0, 20, 10), (1, 1, 19, 9) and (2, 2, 18, 8) on Windows.
const char kEllipse20x10[] = "5,0,14,1 3,1,16,2 1,2,18,3 0,3,19,4 0,4,19,5 0,5,19,6 1,6,18,7 3,7,16,8 5,8,14,9";
const char kEllipse1to19x1to9[] = "5,1,14,2 3,2,16,3 1,3,18,4 1,4,18,5 1,5,18,6 3,6,16,7 5,7,14,8";
const char kEllipse2to18x2to8[] = "5,2,14,3 3,3,16,4 2,4,17,5 3,5,16,6 5,6,14,7";

class ButtonRegion : public testing::Test {
 protected:
  void SetUp() override { window.Load(); }
  // Shape and style set directly, then the region rebuilt, as a resize does.
  void rebuild(int32_t shape, int32_t style, int w, int h) {
    in.stored().ButtonShape = shape;
    in.stored().ButtonStyle = style;
    sizeButton(b, w, h);
    in.CreateButtonRegion();
  }
  ButtonWindow window;
  ztButtons_H& b = window.Button1;
  ztButtonsInspector in{b};
};

}  // namespace

TEST_F(ButtonRegion, ARectangleReachesOnePixelPastTheClientArea) {
  rebuild(0, 0, 100, 30);
  EXPECT_TRUE(windowRegionIs(b, "0,0,101,31")) << windowRegionOf(b);
  EXPECT_EQ(in.LeftSlantWidth(), 0);
  EXPECT_EQ(in.RightSlantStart(), 100);
  EXPECT_EQ(in.OuterClipRegion(), nullptr);
  EXPECT_EQ(in.InnerClipRegion(), nullptr);
  // Every style without cuts keeps the whole rectangle.
  for (int32_t style : {4, 5, 6}) {
    rebuild(0, style, 100, 30);
    EXPECT_TRUE(windowRegionIs(b, "0,0,101,31")) << windowRegionOf(b) << "style " << style;
  }
}

TEST_F(ButtonRegion, TheFramedStyleCutsAllFourCornerPixels) {
  rebuild(0, 1, 100, 30);
  for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {0, 29}, {99, 29}, {99, 0}})
    EXPECT_FALSE(windowRegionHas(b, x, y)) << x << "," << y;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{1, 0}, {0, 1}, {1, 29}, {0, 28}, {98, 29}, {99, 28}, {98, 0},
                                                      {99, 1}, {100, 0}, {100, 30}})
    EXPECT_TRUE(windowRegionHas(b, x, y)) << x << "," << y;
}

TEST_F(ButtonRegion, TheEtchedStyleCutsTwoCornersOnlyWhileEnabled) {
  rebuild(0, 3, 100, 30);
  EXPECT_FALSE(windowRegionHas(b, 0, 29));
  EXPECT_FALSE(windowRegionHas(b, 99, 0));
  EXPECT_TRUE(windowRegionHas(b, 0, 0));
  EXPECT_TRUE(windowRegionHas(b, 99, 29));

  // The Enabled setter of an etched command button rebuilds the region without the cuts.
  b.setEnabled(vbFalse);
  EXPECT_TRUE(windowRegionIs(b, "0,0,101,31")) << windowRegionOf(b);
  b.setEnabled(vbTrue);
  EXPECT_FALSE(windowRegionHas(b, 0, 29));
  EXPECT_FALSE(windowRegionHas(b, 99, 0));
}

TEST_F(ButtonRegion, RoundedAndInverseStylesCutTheWindowsCornerTriangles) {
  for (int32_t style : {2, 7}) {
    rebuild(0, style, 100, 30);
    // The four triangles as Windows makes them: 0,0,2,1 0,1,1,2 / 0,28,1,29 0,29,2,30 /
    // 98,0,100,1 99,1,100,2 / 99,28,100,29 98,29,100,30.
    for (auto [x, y] : std::vector<std::pair<int, int>>{
             {0, 0}, {1, 0}, {0, 1}, {0, 28}, {0, 29}, {1, 29}, {98, 0}, {99, 0}, {99, 1}, {99, 28}, {98, 29}, {99, 29}})
      EXPECT_FALSE(windowRegionHas(b, x, y)) << "style " << style << " at " << x << "," << y;
    for (auto [x, y] : std::vector<std::pair<int, int>>{
             {2, 0}, {1, 1}, {0, 2}, {0, 27}, {1, 28}, {2, 29}, {97, 0}, {98, 1}, {99, 2}, {99, 27}, {98, 28}, {97, 29},
             {100, 0}, {100, 30}, {50, 15}})
      EXPECT_TRUE(windowRegionHas(b, x, y)) << "style " << style << " at " << x << "," << y;
  }
}

TEST_F(ButtonRegion, SlantedOutlinesOfAHundredByThirtyButton) {
  rebuild(1, 0, 100, 30);
  EXPECT_TRUE(windowRegionIs(b, kSlantLeft100x30)) << windowRegionOf(b);
  EXPECT_EQ(in.LeftSlantWidth(), 31);
  EXPECT_EQ(in.RightSlantStart(), 100);

  rebuild(2, 0, 100, 30);
  EXPECT_TRUE(windowRegionIs(b, kSlantRight100x30)) << windowRegionOf(b);
  EXPECT_EQ(in.LeftSlantWidth(), 0);
  EXPECT_EQ(in.RightSlantStart(), 69);

  // Vertices (0, 0), (31, 31), (101, 31), (70, 0).
  rebuild(3, 0, 100, 30);
  EXPECT_TRUE(windowRegionIs(b, kSlantBoth100x30)) << windowRegionOf(b);
  EXPECT_EQ(in.LeftSlantWidth(), 31);
  EXPECT_EQ(in.RightSlantStart(), 69);
  EXPECT_EQ(in.OuterClipRegion(), nullptr);
}

TEST_F(ButtonRegion, SlantedButtonsCutOnlyTheirSquareSide) {
  // Left edge slanted: the right group of the framed style's cuts.
  rebuild(1, 1, 100, 30);
  EXPECT_FALSE(windowRegionHas(b, 99, 29));
  EXPECT_FALSE(windowRegionHas(b, 99, 0));
  EXPECT_TRUE(windowRegionHas(b, 0, 0));
  // Right edge slanted: the left group.
  rebuild(2, 1, 100, 30);
  EXPECT_FALSE(windowRegionHas(b, 0, 0));
  EXPECT_FALSE(windowRegionHas(b, 0, 29));
  EXPECT_TRUE(windowRegionHas(b, 69, 0));
  // Both edges slanted: no cuts for any style.
  for (int32_t style : {1, 2, 3, 7}) {
    rebuild(3, style, 100, 30);
    EXPECT_TRUE(windowRegionIs(b, kSlantBoth100x30)) << windowRegionOf(b) << "style " << style;
  }
  // The rounded style's triangles on the square side of a right-slanted button.
  rebuild(2, 2, 100, 30);
  EXPECT_FALSE(windowRegionHas(b, 1, 0));
  EXPECT_FALSE(windowRegionHas(b, 1, 29));
  EXPECT_TRUE(windowRegionHas(b, 2, 0));
}

TEST_F(ButtonRegion, ASlantedButtonTooNarrowForItsSlantsGrowsInStepsOfFive) {
  // 33 x 30: the slant runs 31 pixels, so the width grows to 38 (38 - 31 = 7, at least 5).
  rebuild(1, 0, 33, 30);
  EXPECT_EQ(b.UserControl.ScaleWidth(), 38.0f);
  EXPECT_EQ(b.Width(), 38 * 15);
  EXPECT_TRUE(windowRegionIs(b, kSlantLeft38x30)) << windowRegionOf(b);
  EXPECT_EQ(in.LeftSlantWidth(), 31);
  EXPECT_EQ(in.DrawingDelayed(), 0);
  // The inner resize rebuilt the buffer at the new size.
  BITMAP bm{};
  GetObjectA(GetCurrentObject(in.BufferDC(), OBJ_BITMAP), sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 38);
  EXPECT_EQ(bm.bmHeight, 30);

  rebuild(2, 0, 33, 30);
  EXPECT_TRUE(windowRegionIs(b, kSlantRight38x30)) << windowRegionOf(b);
  EXPECT_EQ(in.RightSlantStart(), 7);

  // A button of no width at all grows to the first multiple of 5 that clears the slant.
  rebuild(3, 0, 0, 30);
  EXPECT_EQ(b.UserControl.ScaleWidth(), 40.0f);
  EXPECT_EQ(in.LeftSlantWidth(), 31);
  EXPECT_EQ(in.RightSlantStart(), 9);
}

TEST_F(ButtonRegion, ASlantedShapeSetOnANarrowButtonWidensItThroughTheResize) {
  sizeButton(b, 20, 30);
  b.setButtonShape(1);
  EXPECT_EQ(b.UserControl.ScaleWidth(), 40.0f);
  EXPECT_EQ(in.LeftSlantWidth(), 31);
  EXPECT_EQ(in.DrawingDelayed(), 0);
}

TEST_F(ButtonRegion, EllipsesKeepClipRegionsOneAndTwoPixelsInside) {
  for (int32_t shape : {4, 5, 6}) {
    for (int32_t style : {0, 5}) {
      rebuild(shape, style, 20, 10);
      EXPECT_TRUE(windowRegionIs(b, kEllipse20x10)) << windowRegionOf(b) << shape << "/" << style;
      ASSERT_NE(in.OuterClipRegion(), nullptr);
      ASSERT_NE(in.InnerClipRegion(), nullptr);
      EXPECT_TRUE(sameArea(in.OuterClipRegion(), kEllipse1to19x1to9)) << rectsOf(in.OuterClipRegion());
      EXPECT_TRUE(sameArea(in.InnerClipRegion(), kEllipse2to18x2to8)) << rectsOf(in.InnerClipRegion());
      EXPECT_EQ(in.RightSlantStart(), 20);
    }
  }
  // Back to a rectangle: the clip regions go.
  rebuild(0, 0, 20, 10);
  EXPECT_EQ(in.OuterClipRegion(), nullptr);
  EXPECT_EQ(in.InnerClipRegion(), nullptr);
}

TEST_F(ButtonRegion, TheFramedEllipsePaintsItsOutlineBlackIntoTheBuffer) {
  in.stored().BackColor = 0xFFFFFF;
  rebuild(0, 0, 20, 10);
  RECT all{0, 0, 20, 10};
  HBRUSH white = CreateSolidBrush(0xFFFFFF);
  FillRect(in.BufferDC(), &all, white);
  DeleteObject(white);
  rebuild(6, 0, 20, 10);
  // FrameRgn of the ellipse: its top row runs from 5 to 13, its middle rows touch x = 0.
  EXPECT_EQ(GetPixel(in.BufferDC(), 5, 0), 0x000000u);
  EXPECT_EQ(GetPixel(in.BufferDC(), 0, 4), 0x000000u);
  EXPECT_EQ(GetPixel(in.BufferDC(), 10, 5), 0xFFFFFFu);
  EXPECT_EQ(GetPixel(in.BufferDC(), 1, 0), 0xFFFFFFu);
}

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kBlue = RGB(0, 0, 200);

}  // namespace

TEST_F(ButtonRegion, APictureShapedButtonTakesThePicturesProportionsScaledToFitItsSize) {
  // A 20 x 10 picture on a 60 x 20 button fits at 40 x 20.
  b.setPicture(geomtest::bitmapPicture(20, 10, [](int x, int) { return x < 5 ? kKey : kBlue; }));
  sizeButton(b, 60, 20);
  b.setButtonShape(7);
  EXPECT_EQ(b.UserControl.ScaleWidth(), 40.0f);
  EXPECT_EQ(b.UserControl.ScaleHeight(), 20.0f);
  EXPECT_EQ(b.Width(), 600);
  EXPECT_EQ(b.Height(), 300);
  EXPECT_EQ(in.RightSlantStart(), 40);
  EXPECT_EQ(in.DrawingDelayed(), 0);
  EXPECT_EQ(in.ScaledPictureWidth(), 40);
  EXPECT_EQ(in.ScaledPictureHeight(), 20);
  EXPECT_FALSE(windowRegionHas(b, 0, 0));
  EXPECT_FALSE(windowRegionHas(b, 0, 19));
  EXPECT_TRUE(windowRegionHas(b, 20, 10));
  EXPECT_TRUE(windowRegionHas(b, 39, 19));
  EXPECT_FALSE(windowRegionHas(b, 40, 10));
}

TEST_F(ButtonRegion, APictureShapedButtonLosesItsTransparentPixels) {
  // 20 x 10 picture, its left quarter in the key colour; a 20 x 30 button fits it 1:1.
  b.setPicture(geomtest::bitmapPicture(20, 10, [](int x, int) { return x < 5 ? kKey : kBlue; }));
  sizeButton(b, 20, 30);
  b.setButtonShape(7);
  EXPECT_EQ(b.UserControl.ScaleWidth(), 20.0f);
  EXPECT_EQ(b.UserControl.ScaleHeight(), 10.0f);
  // The transparent columns 0 to 4 are cut from the outline, one more column from the outer clip
  // region and two more from the inner one.
  EXPECT_TRUE(windowRegionIs(b, "5,0,20,10")) << windowRegionOf(b);
  EXPECT_TRUE(sameArea(in.OuterClipRegion(), "6,0,20,10")) << rectsOf(in.OuterClipRegion());
  EXPECT_TRUE(sameArea(in.InnerClipRegion(), "7,0,20,10")) << rectsOf(in.InnerClipRegion());
  // The shape's clip region is left selected in the buffer.
  RECT box;
  EXPECT_EQ(GetClipBox(in.BufferDC(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 6);

  // Shape 8 carves the same outline.
  b.setButtonShape(8);
  EXPECT_TRUE(windowRegionIs(b, "5,0,20,10")) << windowRegionOf(b);
  EXPECT_TRUE(sameArea(in.InnerClipRegion(), "7,0,20,10")) << rectsOf(in.InnerClipRegion());
}

TEST_F(ButtonRegion, AnInteriorHoleIsCutFromTheOutlineAndGrownIntoTheClipRegions) {
  // Key in the top-left pixel and in a 2 x 2 hole at (4, 4); 1:1 on a 10 x 10 button.
  b.setPicture(geomtest::bitmapPicture(10, 10, [](int x, int y) {
    return (x == 0 && y == 0) || (x >= 4 && x < 6 && y >= 4 && y < 6) ? kKey : kBlue;
  }));
  sizeButton(b, 10, 10);
  b.setButtonShape(7);
  HRGN outline = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(b.hwnd(), outline);
  EXPECT_FALSE(PtInRegion(outline, 0, 0));
  EXPECT_TRUE(PtInRegion(outline, 1, 0));
  EXPECT_FALSE(PtInRegion(outline, 4, 4));
  EXPECT_FALSE(PtInRegion(outline, 5, 5));
  EXPECT_TRUE(PtInRegion(outline, 3, 4));
  EXPECT_TRUE(PtInRegion(outline, 6, 5));
  DeleteObject(outline);
  // Outer: the hole grown by one pixel (3..6 x 3..6); inner: by two (2..7 x 2..7).
  EXPECT_FALSE(PtInRegion(in.OuterClipRegion(), 3, 3));
  EXPECT_FALSE(PtInRegion(in.OuterClipRegion(), 6, 6));
  EXPECT_TRUE(PtInRegion(in.OuterClipRegion(), 7, 7));
  EXPECT_TRUE(PtInRegion(in.OuterClipRegion(), 2, 4));
  EXPECT_FALSE(PtInRegion(in.InnerClipRegion(), 2, 2));
  EXPECT_FALSE(PtInRegion(in.InnerClipRegion(), 7, 7));
  EXPECT_TRUE(PtInRegion(in.InnerClipRegion(), 8, 8));
}

TEST_F(ButtonRegion, AKeyNearPureRedAlsoMatchesTheReadsPastTheBitmapAndTrimsTheBottomRows) {
  const COLORREF nearRed = RGB(253, 0, 0);
  b.setPicture(geomtest::bitmapPicture(10, 10, [&](int x, int y) { return x == 0 && y == 0 ? nearRed : kBlue; }));
  sizeButton(b, 10, 10);
  b.setButtonShape(7);
  // The outline itself has only its corner pixel cut ...
  EXPECT_TRUE(windowRegionIs(b, "1,0,10,1 0,1,10,10")) << windowRegionOf(b);
  // ... but the run read below the last row takes the last row of the outer clip region and the
  // last two rows of the inner one.
  EXPECT_FALSE(PtInRegion(in.OuterClipRegion(), 5, 9));
  EXPECT_TRUE(PtInRegion(in.OuterClipRegion(), 5, 8));
  EXPECT_FALSE(PtInRegion(in.InnerClipRegion(), 5, 8));
  EXPECT_TRUE(PtInRegion(in.InnerClipRegion(), 5, 7));
}

TEST_F(ButtonRegion, APictureShapeWithoutAPictureKeepsTheWindowsOutline) {
  rebuild(2, 0, 100, 30);
  in.stored().ButtonShape = 7;
  in.CreateButtonRegion();
  EXPECT_TRUE(windowRegionIs(b, kSlantRight100x30)) << windowRegionOf(b);
  EXPECT_EQ(in.OuterClipRegion(), nullptr);
  EXPECT_EQ(in.RightSlantStart(), 100);
}

TEST_F(ButtonRegion, ShapeNumbersBeyondTheKnownOnesGiveAPlainRectangle) {
  rebuild(9, 2, 50, 20);
  EXPECT_TRUE(windowRegionIs(b, "0,0,51,21")) << windowRegionOf(b);
  EXPECT_EQ(in.LeftSlantWidth(), 0);
  EXPECT_EQ(in.RightSlantStart(), 50);
  EXPECT_EQ(b.UserControl.ScaleWidth(), 50.0f);
}
