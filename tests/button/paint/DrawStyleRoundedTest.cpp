#include <gtest/gtest.h>

#include <windows.h>

#include "PaintInspector.h"

#include <corvane/headless.h>

#include <array>
#include <cstdlib>

using painttest::PaintWindow;
using painttest::sizeInPixels;

namespace {

constexpr COLORREF kOuter = 0x733C00;

COLORREF Sb(int32_t c, int16_t a) { return static_cast<COLORREF>(ShadeColor(c, a, -1)); }

class RoundedStyle : public testing::Test {
 protected:
  void SetUp() override {
    w.Load();
    w.Show();
    // The shown window gives its only control the focus and with it the default frame; each
    // test sets the state it draws.
    in.StateFlags() = 0;
    b.setCaption("");
    b.setButtonStyle(2);
    sizeInPixels(b, 61, 25);
  }
  void save(const char* name) {
    if (const char* dir = std::getenv("CORVANE_PAINT_PNG"))
      corvane::headless::saveWindowPng(b.hWnd(), std::string(dir) + "/" + name + ".png");
  }
  // Edges 1 to 8 (inner left, top, right, bottom; middle left, top, right, bottom), sampled at
  // the middles of the edges.
  std::array<COLORREF, 8> rings() {
    const int W = 61, H = 25, mx = 30, my = 12;
    return {in.buffer(2, my),     in.buffer(mx, 2), in.buffer(W - 3, my), in.buffer(mx, H - 3),
            in.buffer(1, my),     in.buffer(mx, 1), in.buffer(W - 2, my), in.buffer(mx, H - 2)};
  }
  void expectOuterLineAndCorners(COLORREF outer) {
    EXPECT_EQ(in.buffer(0, 12), outer);
    EXPECT_EQ(in.buffer(30, 0), outer);
    EXPECT_EQ(in.buffer(60, 12), outer);
    EXPECT_EQ(in.buffer(30, 24), outer);
    EXPECT_EQ(in.buffer(1, 1), outer);
    EXPECT_EQ(in.buffer(1, 23), outer);
    EXPECT_EQ(in.buffer(59, 1), outer);
    EXPECT_EQ(in.buffer(59, 23), outer);
  }
  PaintWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};
};

TEST_F(RoundedStyle, NormalRingsAreShadedFromTheFace) {
  b.Refresh();
  save("rounded-normal");
  const int32_t B = in.FaceColor();
  ASSERT_EQ(B, 0xF1F1F0);
  const std::array<COLORREF, 8> expected{Sb(B, -10), Sb(B, 10),  Sb(B, -24), Sb(B, -32),
                                         Sb(B, -5),  Sb(B, 16),  Sb(B, -36), Sb(B, -48)};
  EXPECT_EQ(rings(), expected);
  expectOuterLineAndCorners(kOuter);
}

TEST_F(RoundedStyle, TheFocusedButtonHasBlueRingsOnlyWhileItShowsTheFocusRectangle) {
  in.StateFlags() |= 0x0001;
  b.Refresh();
  save("rounded-focused");
  const std::array<COLORREF, 8> blue{0xF0D1B5, 0xF7D7BD, 0xF0D1B5, 0xE7AE8C,
                                     0xE7AE8C, 0xFFDFBF, 0xE7AE8C, 0xEF826B};
  EXPECT_EQ(rings(), blue);
  expectOuterLineAndCorners(kOuter);

  in.stored().ShowFocusRect = 0;
  b.Refresh();
  const int32_t B = in.FaceColor();
  EXPECT_EQ(rings()[0], Sb(B, -10));
  EXPECT_EQ(rings()[7], Sb(B, -48));
}

TEST_F(RoundedStyle, PressedRingsAreSunkenOnThePressedFace) {
  in.StateFlags() |= 0x0002 | 0x0004;
  b.Refresh();
  save("rounded-pressed");
  const int32_t B = in.FaceColor();
  const std::array<COLORREF, 8> expected{Sb(B, -22), Sb(B, -24), static_cast<COLORREF>(B), Sb(B, 10),
                                         Sb(B, -32), Sb(B, -32), Sb(B, 5),                 Sb(B, 16)};
  EXPECT_EQ(rings(), expected);
  expectOuterLineAndCorners(kOuter);
  // The face itself is the pressed colour, darkened downwards.
  EXPECT_EQ(in.buffer(30, 3), Sb(in.PressedFaceColor(), -3));
}

TEST_F(RoundedStyle, UnderThePointerTheRingsAreOrange) {
  in.StateFlags() |= 0x0004;
  in.Hovering() = -1;
  b.Refresh();
  save("rounded-hot");
  const std::array<COLORREF, 8> orange{0x6BCBFF, 0x8CDBFF, 0x6BCBFF, 0x31B2FF,
                                       0x31B2FF, 0xA6E9FF, 0x31B2FF, 0x0096E7};
  EXPECT_EQ(rings(), orange);
  // Hot wins over the focus.
  in.StateFlags() |= 0x0001;
  b.Refresh();
  EXPECT_EQ(rings(), orange);
}

TEST_F(RoundedStyle, ASetButtonShowsPressedOrFocusedRings) {
  b.setMode(1);
  b.setValue(-1);
  b.Refresh();
  const int32_t B = in.CheckedFaceColor();
  EXPECT_EQ(rings()[0], Sb(B, -22));
  EXPECT_EQ(rings()[7], Sb(B, 16));
  in.StateFlags() |= 0x0001;
  b.Refresh();
  EXPECT_EQ(rings()[7], 0xEF826Bu);
}

TEST_F(RoundedStyle, ADisabledButtonShowsOnlyItsOuterLineAndAOnePassCaption) {
  b.setCaption("||||");  // two empty lines: nothing to see, only the face
  b.setEnabled(0);
  b.Refresh();
  save("rounded-disabled");
  const int32_t B = in.FaceColor();
  const COLORREF face = Sb(B, -24);
  // No darkening for a disabled command button: one solid face.
  for (COLORREF c : rings()) EXPECT_EQ(c, face);
  EXPECT_EQ(in.buffer(30, 20), face);
  expectOuterLineAndCorners(Sb(B, -84));
}

TEST_F(RoundedStyle, ALeftSlantedButtonGetsCornerPixelsOnlyOnTheRight) {
  b.setButtonShape(1);
  sizeInPixels(b, 80, 25);
  ASSERT_NE(in.LeftSlantWidth(), 0);
  ASSERT_EQ(in.RightSlantStart(), 80);
  b.Refresh();
  save("rounded-slant-left");
  EXPECT_EQ(in.buffer(78, 1), kOuter);
  EXPECT_EQ(in.buffer(78, 23), kOuter);
  // (1, 1) lies on the slanted outer line itself; the bottom-left corner pixel stays face.
  EXPECT_NE(in.buffer(1, 23), kOuter);
}

TEST_F(RoundedStyle, AnEllipseIsFramedOnTheWindowInTheHoverOrFocusColour) {
  b.setButtonShape(4);
  sizeInPixels(b, 61, 25);
  auto frameInRow = [&](COLORREF color) {
    for (int x = 0; x < 8; ++x)
      if (in.surface(x, 12) == color) return true;
    return false;
  };
  in.StateFlags() |= 0x0001;
  b.Refresh();
  save("rounded-ellipse-default");
  EXPECT_TRUE(frameInRow(0xEF826B));
  in.StateFlags() |= 0x0004;
  in.Hovering() = -1;
  b.Refresh();
  save("rounded-ellipse-hover");
  EXPECT_TRUE(frameInRow(0x0096E7));
  EXPECT_FALSE(frameInRow(0xEF826B));
  // A rectangle is never framed on the window.
  in.Hovering() = 0;
  in.StateFlags() = 0x0001;
  b.setButtonShape(0);
  sizeInPixels(b, 61, 25);
  b.Refresh();
  for (int x = 0; x < 61; ++x) EXPECT_NE(in.surface(x, 12), 0xEF826Bu) << x;
}

}  // namespace
