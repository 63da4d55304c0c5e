// Caption and picture rectangles for every alignment, picture size and shape. Text sizes come
// from the font selected into the button's buffer (measured here the same way), so the tests
// pin the arithmetic of placing, not the font's metrics.
#include <gtest/gtest.h>

#include <windows.h>

#include "GeometryFixture.h"

#include <string>

using geomtest::ButtonWindow;
using geomtest::sizeButton;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);

std::string rect(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

class CaptionLayout : public testing::Test {
 protected:
  void SetUp() override {
    window.Load();
    sizeButton(b, 100, 30);
  }
  // The text block the caption needs, wrapped within the given width.
  SIZE measure(const std::string& text, int width, int height) {
    RECT r{0, 0, width, height};
    DrawTextA(in.BufferDC(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK);
    return SIZE{r.right, r.bottom};
  }
  // A picture of the given size with its picture box edge P, and the given caption.
  void withPicture(int w, int h, int32_t pictureSize) {
    b.setPicture(geomtest::bitmapPicture(w, h, [](int x, int) { return x == 0 ? kKey : RGB(0, 0, 200); }));
    b.setPictureSize(pictureSize);
  }
  // Shape set directly and the region rebuilt for its slant limits, then the layout.
  void layOut(int32_t shape, int w, int h) {
    in.stored().ButtonShape = shape;
    sizeButton(b, w, h);
    in.CreateButtonRegion();
    in.CalcCaptionLayout();
  }
  ButtonWindow window;
  ztButtons_H& b = window.Button1;
  ztButtonsInspector in{b};
};

}  // namespace

TEST_F(CaptionLayout, FitPictureToBoxKeepsTheProportionsAndEnlargesToo) {
  in.PictureWidth() = 100;
  in.PictureHeight() = 50;
  int32_t w = 0, h = 0;
  in.FitPictureToBox(68, 28, w, h);  // ratio min(0.68, 0.56) = 0.56
  EXPECT_EQ(w, 56);
  EXPECT_EQ(h, 28);
  in.FitPictureToBox(300, 300, w, h);
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 150);
  // Halves go to the even neighbour: 0.25 x 50 = 12.5 gives 12, 0.25 x 100 = 25.
  in.FitPictureToBox(25, 100, w, h);
  EXPECT_EQ(w, 25);
  EXPECT_EQ(h, 12);
  in.PictureWidth() = 0;
  in.PictureHeight() = 0;
  in.FitPictureToBox(30, 30, w, h);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
}

TEST_F(CaptionLayout, AFittedPictureIsCentredAtItsFittedSize) {
  b.setCaption("");
  withPicture(100, 50, 4);
  sizeButton(b, 80, 40);  // box 68 x 28: drawn 56 x 28 at left 12, top 6
  EXPECT_EQ(rect(in.PictureRect()), "12,6,68,34");
  EXPECT_EQ(in.ScaledPictureWidth(), 56);
  EXPECT_EQ(in.ScaledPictureHeight(), 28);
}

TEST_F(CaptionLayout, TheCaptionAlignsLeftRightAndCentre) {
  b.setCaption("Ok");
  const SIZE t = measure("Ok", 92, 22);
  ASSERT_GT(t.cx, 0);
  ASSERT_GT(t.cy, 0);
  const int top = (30 - t.cy) / 2;

  b.setCaptionAlign(0);
  EXPECT_EQ(rect(in.CaptionRect()), rect(RECT{4, top, 4 + t.cx, top + t.cy}));
  b.setCaptionAlign(1);
  EXPECT_EQ(rect(in.CaptionRect()), rect(RECT{96 - t.cx, top, 96, top + t.cy}));
  b.setCaptionAlign(2);
  const int left = (100 - t.cx) / 2;
  EXPECT_EQ(rect(in.CaptionRect()), rect(RECT{left, top, left + t.cx, top + t.cy}));

  // A raised or sunken caption is 2 pixels larger each way, so centred text moves by one pixel.
  b.setCaptionStyle(1);
  const int topStyled = (30 - (t.cy + 2)) / 2;
  EXPECT_EQ(rect(in.CaptionRect()), rect(RECT{left - 1, topStyled, left - 1 + t.cx + 2, topStyled + t.cy + 2}));
}

TEST_F(CaptionLayout, TwoBarsBreakTheLine) {
  sizeButton(b, 100, 60);
  b.setCaption("Ok");
  const int oneLine = in.CaptionRect().bottom - in.CaptionRect().top;
  b.setCaption("Ok||Ok");
  EXPECT_EQ(in.CaptionRect().bottom - in.CaptionRect().top, 2 * oneLine);
  EXPECT_EQ(in.CaptionRect().right - in.CaptionRect().left, measure("Ok", 92, 52).cx);
  // Three bars are one break and a bar of text.
  b.setCaption("Ok|||Ok");
  EXPECT_EQ(in.CaptionRect().bottom - in.CaptionRect().top, 2 * oneLine);
  EXPECT_EQ(in.CaptionRect().right - in.CaptionRect().left, measure("|Ok", 92, 52).cx);
}

TEST_F(CaptionLayout, ALongCaptionWrapsOnlyWhereItIsWiderThanTheButton) {
  sizeButton(b, 300, 60);
  b.setCaption("one two three four");
  const int oneLine = measure("one", 292, 52).cy;
  EXPECT_EQ(in.CaptionRect().bottom - in.CaptionRect().top, oneLine);
  sizeButton(b, 40, 60);
  EXPECT_GT(in.CaptionRect().bottom - in.CaptionRect().top, oneLine);
}

TEST_F(CaptionLayout, AnEmptyCaptionGivesAnEmptyRectangle) {
  b.setCaption("");
  // Moved down by 15, then its left edge raised to 4, right of its right edge 0.
  EXPECT_EQ(rect(in.CaptionRect()), "4,15,0,15");
}

TEST_F(CaptionLayout, SmallPicturesWithoutCaptionSitAtTheirEdgeOrCentred) {
  b.setCaption("");
  withPicture(16, 16, 0);
  const char* expected[] = {
      "4,7,20,23",    // 0 left edge
      "4,7,20,23",    // 1 left of the caption: without one, as 0
      "80,7,96,23",   // 2 right edge
      "80,7,96,23",   // 3 right of the caption: without one, as 2
      "42,7,58,23",   // 4 above the caption, centred
      "42,11,58,25",  // 5 below the caption: top 7 + 4, bottom cut at 30 - 5
  };
  for (int32_t align = 0; align <= 5; ++align) {
    b.setPictureAlign(align);
    EXPECT_EQ(rect(in.PictureRect()), expected[align]) << "align " << align;
  }
  // The small sizes are rebuilt at their box size.
  EXPECT_EQ(in.ScaledPictureWidth(), 16);
  b.setPictureAlign(0);
  b.setPictureSize(1);
  // (30 - 24) \ 2 = 3 is raised to 4, and the bottom 27 cut to 25.
  EXPECT_EQ(rect(in.PictureRect()), "4,4,28,25");
}

TEST_F(CaptionLayout, APictureTooLargeForTheButtonIsClampedAndLosesItsSquareForm) {
  b.setCaption("");
  withPicture(16, 16, 2);  // 32 on a 30-pixel-high button: top -1 raised to 4, bottom 31 cut to 25
  b.setPictureAlign(0);
  EXPECT_EQ(rect(in.PictureRect()), "4,4,36,25");
  EXPECT_EQ(in.ScaledPictureWidth(), 32);
  EXPECT_EQ(in.ScaledPictureHeight(), 21);
}

TEST_F(CaptionLayout, APictureBesideACentredCaptionIsCentredWithItAsOneBlock) {
  b.setCaption("Ok");
  withPicture(16, 16, 0);
  const SIZE t = measure("Ok", 100 - 8 - 16, 22);

  b.setPictureAlign(1);  // picture, 4-pixel gap, text
  const int blockLeft = (100 - (t.cx + 16 + 4)) / 2;
  EXPECT_EQ(in.PictureRect().left, blockLeft);
  EXPECT_EQ(in.CaptionRect().left, blockLeft + 20);
  EXPECT_EQ(in.CaptionRect().right, blockLeft + 20 + t.cx);

  b.setPictureAlign(3);  // text, gap, picture
  EXPECT_EQ(in.CaptionRect().left, blockLeft);
  EXPECT_EQ(in.PictureRect().left, blockLeft + t.cx + 4);

  // At the left edge the text is centred in the room right of the picture.
  b.setPictureAlign(0);
  EXPECT_EQ(in.PictureRect().left, 4);
  EXPECT_EQ(in.CaptionRect().left, (100 - 16 - t.cx) / 2 + 16);

  // Left-aligned text starts after the picture and its gap.
  b.setCaptionAlign(0);
  EXPECT_EQ(in.CaptionRect().left, 4 + 16 + 4);
  b.setPictureAlign(2);
  b.setCaptionAlign(1);
  EXPECT_EQ(in.CaptionRect().right, 100 - 4 - 16 - 4);
  EXPECT_EQ(in.PictureRect().left, 80);
}

TEST_F(CaptionLayout, APictureAboveOrBelowTheCaptionIsStackedAndCentredAsAPair) {
  sizeButton(b, 100, 60);
  b.setCaption("Ok");
  withPicture(16, 16, 0);
  const SIZE t = measure("Ok", 92, 60 - 8 - 16);

  b.setPictureAlign(4);
  const int g = (60 - (t.cy + 16)) / 2;
  EXPECT_EQ(rect(in.PictureRect()), rect(RECT{42, g, 58, g + 16}));
  EXPECT_EQ(in.CaptionRect().top, g + 2 + 16);
  EXPECT_EQ(in.CaptionRect().left, (100 - t.cx) / 2);

  b.setPictureAlign(5);
  const int top = g + t.cy + 4;
  EXPECT_EQ(rect(in.PictureRect()), rect(RECT{42, top, 58, top + 16}));
  EXPECT_EQ(in.CaptionRect().top, top - 2 - t.cy);
}

TEST_F(CaptionLayout, AStretchedPictureCoversTheButtonLessABorder) {
  b.setCaption("");
  withPicture(10, 10, 3);
  EXPECT_EQ(rect(in.PictureRect()), "3,3,97,27");
  EXPECT_EQ(in.ScaledPictureWidth(), 94);
  // Rebuilt on every layout, at the new size.
  sizeButton(b, 200, 50);
  EXPECT_EQ(in.ScaledPictureWidth(), 194);
  EXPECT_EQ(in.ScaledPictureHeight(), 44);
  // A framed ellipse leaves a 1-pixel border.
  layOut(6, 100, 30);
  EXPECT_EQ(rect(in.PictureRect()), "1,1,99,29");
  // Slanted edges do not matter.
  layOut(3, 100, 30);
  EXPECT_EQ(rect(in.PictureRect()), "3,3,97,27");
}

TEST_F(CaptionLayout, SlantedEdgesGiveUpTwoThirdsOfTheirRun) {
  b.setCaption("Ok");
  b.setCaptionAlign(0);
  withPicture(16, 16, 0);
  b.setPictureAlign(0);
  // A 23-pixel-high button slants over 24 pixels: L = 24 - 8 + 3 = 19.
  layOut(1, 100, 23);
  EXPECT_EQ(in.LeftSlantWidth(), 24);
  EXPECT_EQ(in.PictureRect().left, 23);
  EXPECT_EQ(in.CaptionRect().left, 23 + 16 + 4);

  // Right edge slanted: it starts at 76, R = (100 - 76) \ 3 + 76 = 84.
  b.setPictureAlign(2);
  b.setCaptionAlign(1);
  layOut(2, 100, 23);
  EXPECT_EQ(in.RightSlantStart(), 76);
  EXPECT_EQ(in.PictureRect().left, 84 - 4 - 16);
  EXPECT_EQ(in.CaptionRect().right, 84 - 4 - 16 - 4);

  // Both: L 19, R 84, U 65; a picture above the empty caption is centred in between.
  b.setCaption("");
  b.setPictureAlign(4);
  layOut(3, 100, 23);
  EXPECT_EQ(in.PictureRect().left, 19 + (65 - 16) / 2);
}

TEST_F(CaptionLayout, PictureShapedButtonsKeepThreePixelsFromTheirSides) {
  b.setCaption("Ok");
  b.setCaptionAlign(0);
  in.stored().ButtonShape = 7;
  in.RightSlantStart() = 100;
  in.PictureSizePixels() = 48;
  in.CalcCaptionLayout();
  EXPECT_EQ(in.CaptionRect().left, 3 + 4);
  EXPECT_EQ(rect(in.PictureRect()), "0,0,100,30");
  b.setCaptionAlign(1);
  in.CalcCaptionLayout();
  EXPECT_EQ(in.CaptionRect().right, 100 - 3 - 4);
}

TEST_F(CaptionLayout, ATinyButtonGivesACaptionWhoseBottomLiesAboveItsTop) {
  b.setCaption("Ok");
  sizeButton(b, 10, 6);
  EXPECT_EQ(in.CaptionRect().top, 4);
  EXPECT_EQ(in.CaptionRect().bottom, 1);
}
