#include <gtest/gtest.h>

#include <windows.h>

#include "PaintInspector.h"

#include <corvane/headless.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using painttest::PaintWindow;
using painttest::sizeInPixels;

namespace {

class FaceAndGradient : public testing::Test {
 protected:
  void SetUp() override {
    w.Load();
    w.Show();
    // The shown window gives its only control the focus and with it the default frame; each
    // test sets the state it draws.
    in.StateFlags() = 0;
    b.setCaption("");
  }
  void save(const char* name) {
    if (const char* dir = std::getenv("CORVANE_PAINT_PNG"))
      corvane::headless::saveWindowPng(b.hWnd(), std::string(dir) + "/" + name + ".png");
  }
  PaintWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};
};

TEST_F(FaceAndGradient, TheRoundedFaceDarkensLineByLineRoundingHalvesToEven) {
  b.setButtonStyle(2);
  sizeInPixels(b, 61, 30);
  b.Refresh();
  save("face-darkening");
  const int32_t face = in.FaceColor();
  // Line i is the face darkened by round(25 / 30 x i): 2.5, 7.5, 12.5, 17.5 and 22.5 go to the
  // even neighbour.
  const int expected[] = {0, -1, -2, -2, -3, -4, -5, -6, -7, -8, -8, -9, -10, -11, -12,
                          -12, -13, -14, -15, -16, -17, -18, -18, -19, -20, -21, -22, -22};
  for (int i = 3; i <= 26; ++i)
    EXPECT_EQ(in.buffer(30, i), static_cast<COLORREF>(ShadeColor(face, static_cast<int16_t>(expected[i]), -1)))
        << "line " << i;
  // The last line is darker than the first by the full amount's share.
  EXPECT_NE(in.buffer(30, 3), in.buffer(30, 26));
  // Across a line the colour does not change.
  for (int x = 3; x <= 57; ++x) EXPECT_EQ(in.buffer(x, 10), in.buffer(30, 10)) << x;
}

TEST_F(FaceAndGradient, ClassicFacesAreSolidAndTakeTheHoverColourUnderThePointer) {
  sizeInPixels(b, 60, 24);
  b.setHoverBackColor(0x00C0FF);
  b.Refresh();
  EXPECT_EQ(in.buffer(30, 12), 0xC0C0C0u);
  in.Hovering() = -1;
  in.StateFlags() |= 0x0004;
  b.Refresh();
  EXPECT_EQ(in.buffer(30, 12), 0x00C0FFu);
  // Pressed under the pointer a command button shows its own face again.
  in.StateFlags() |= 0x0002;
  b.Refresh();
  EXPECT_EQ(in.buffer(30, 12), 0xC0C0C0u);
}

TEST_F(FaceAndGradient, GradientColoursCarryFractionsAndClampTheEnd) {
  std::vector<int32_t> colors(65);
  // Red 0 to 128 in steps of 2; green to round(0x8000 / 255) = 129 in steps of 129/64; blue to
  // round(0xFF0000 / 65280) = 256 in steps of 4, held at 255.
  in.BuildGradientColors(colors, 0x000000, 0xFF8080);
  for (int k = 0; k < 65; ++k) {
    const int32_t r = 2 * k, g = (129 * k) / 64, bl = std::min(4 * k, 255);
    EXPECT_EQ(colors[static_cast<size_t>(k)], r + 256 * g + 65536 * bl) << k;
  }
  // The first entry is the start colour itself; a single band is only that.
  std::vector<int32_t> one(1);
  in.BuildGradientColors(one, 0x123456, 0xFFFFFF);
  EXPECT_EQ(one[0], 0x123456);
  // Green and blue carry the 256/255 factor: from 0x80 (128.5) towards round(128.5) = 129 they
  // pass 128.75 and end at 129, so even a gradient to the same colour ends one step lighter in
  // green and blue, never in red.
  std::vector<int32_t> flat(3);
  in.BuildGradientColors(flat, 0x808080, 0x808080);
  EXPECT_EQ(flat[0], 0x808080);
  EXPECT_EQ(flat[1], 0x808080);
  EXPECT_EQ(flat[2], 0x818180);
}

TEST_F(FaceAndGradient, LeftToRightAndRightToLeftAreMirrorImages) {
  b.setBackColor(0x000000);
  b.setGradientColor(0xFF8080);
  b.setGradientMode(1);
  sizeInPixels(b, 65, 30);
  b.Refresh();
  save("gradient-left-to-right");
  auto expected = [](int k) { return static_cast<COLORREF>(2 * k + 256 * ((129 * k) / 64) + 65536 * std::min(4 * k, 255)); };
  for (int x = 2; x <= 62; ++x) EXPECT_EQ(in.buffer(x, 15), expected(x)) << x;
  for (int y = 2; y <= 27; ++y) EXPECT_EQ(in.buffer(20, y), expected(20)) << y;

  b.setGradientMode(2);
  b.Refresh();
  save("gradient-right-to-left");
  for (int x = 2; x <= 62; ++x) EXPECT_EQ(in.buffer(x, 15), expected(64 - x)) << x;
}

TEST_F(FaceAndGradient, TopToBottomAndBottomToTopRunDown) {
  b.setBackColor(0x000000);
  b.setGradientColor(0xFF8080);
  b.setGradientMode(3);
  sizeInPixels(b, 40, 65);
  b.Refresh();
  save("gradient-top-to-bottom");
  auto expected = [](int k) { return static_cast<COLORREF>(2 * k + 256 * ((129 * k) / 64) + 65536 * std::min(4 * k, 255)); };
  for (int y = 2; y <= 62; ++y) EXPECT_EQ(in.buffer(20, y), expected(y)) << y;
  b.setGradientMode(4);
  b.Refresh();
  for (int y = 2; y <= 62; ++y) EXPECT_EQ(in.buffer(20, y), expected(64 - y)) << y;
}

TEST_F(FaceAndGradient, ButtonsWiderThanAQuarterOfTheScreenUseTwoPixelBands) {
  ASSERT_EQ(corvane::headless::screenSize().cx, 1024);
  b.setBackColor(0x000000);
  // Red and green both climb by exactly 1 per band over 150 bands (green 148 stretches to 149).
  b.setGradientColor(0x009495);
  b.setGradientMode(1);
  sizeInPixels(b, 300, 30);
  b.Refresh();
  save("gradient-two-pixel-bands");
  for (int k = 1; k < 149; ++k) {
    const COLORREF c = static_cast<COLORREF>(k + 256 * k);
    EXPECT_EQ(in.buffer(2 * k, 15), c) << k;
    EXPECT_EQ(in.buffer(2 * k + 1, 15), c) << k;
  }
  // A quarter of the screen exactly still has 1-pixel bands: 256 of them.
  sizeInPixels(b, 256, 30);
  b.Refresh();
  EXPECT_NE(in.buffer(100, 15), in.buffer(101, 15));
  // Tall buttons likewise, against the screen's height (768 / 193 < 4).
  b.setGradientMode(3);
  sizeInPixels(b, 40, 193);
  b.Refresh();
  EXPECT_EQ(in.buffer(20, 100), in.buffer(20, 101));
  EXPECT_NE(in.buffer(20, 101), in.buffer(20, 102));
}

TEST_F(FaceAndGradient, UnderThePointerAHoverColourOfItsOwnReplacesTheGradient) {
  b.setHoverColorLocks(3);
  b.setBackColor(0x000000);
  b.setGradientColor(0xFF8080);
  b.setHoverBackColor(0x00FF00);
  b.setGradientMode(1);
  sizeInPixels(b, 65, 30);
  in.Hovering() = -1;
  in.StateFlags() |= 0x0004;
  b.Refresh();
  EXPECT_EQ(in.buffer(10, 15), 0x00FF00u);
  EXPECT_EQ(in.buffer(50, 15), 0x00FF00u);
}

TEST_F(FaceAndGradient, AControlWithoutSizePaintsNoGradientAndRaisesNothing) {
  b.setGradientMode(1);
  sizeInPixels(b, 0, 0);
  b.Refresh();
  std::vector<int32_t> none;
  in.BuildGradientColors(none, 0, 0xFFFFFF);
  SUCCEED();
}

}  // namespace
