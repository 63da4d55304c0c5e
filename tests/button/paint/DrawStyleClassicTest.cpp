#include <gtest/gtest.h>

#include <windows.h>

#include "PaintInspector.h"

#include <corvane/headless.h>

#include <cstdlib>

using painttest::PaintWindow;
using painttest::sizeInPixels;

namespace {

constexpr COLORREF kFace = 0xC0C0C0;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kLight = 0xE9E9E9;

// Samples of the three rings at their edges' middles on a W x H rectangle.
struct Rings {
  COLORREF outer[4], middle[4], inner[4];  // left, top, right, bottom
};

Rings sample(ztButtonsInspector& in, int W, int H) {
  const int mx = W / 2 + 7, my = H / 2 + 3;  // away from the focus rectangle's dots
  Rings r{};
  for (int ring = 0; ring < 3; ++ring) {
    COLORREF* e = ring == 0 ? r.outer : ring == 1 ? r.middle : r.inner;
    e[0] = in.buffer(ring, my);
    e[1] = in.buffer(mx, ring);
    e[2] = in.buffer(W - 1 - ring, my);
    e[3] = in.buffer(mx, H - 1 - ring);
  }
  return r;
}

class ClassicStyle : public testing::Test {
 protected:
  void SetUp() override {
    w.Load();
    w.Show();
    // The shown window gives its only control the focus and with it the default frame; each
    // test sets the state it draws.
    in.StateFlags() = 0;
    b.setCaption("");
    sizeInPixels(b, 80, 30);
  }
  void save(const char* name) {
    if (const char* dir = std::getenv("CORVANE_PAINT_PNG"))
      corvane::headless::saveWindowPng(b.hWnd(), std::string(dir) + "/" + name + ".png");
  }
  PaintWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};
};

TEST_F(ClassicStyle, ANewButtonIsRaisedWithoutAnInnerRing) {
  b.Refresh();
  save("classic-normal");
  const Rings r = sample(in, 80, 30);
  EXPECT_EQ(r.outer[0], kWhite);
  EXPECT_EQ(r.outer[1], kWhite);
  EXPECT_EQ(r.outer[2], kBlack);
  EXPECT_EQ(r.outer[3], kBlack);
  EXPECT_EQ(r.middle[0], kLight);
  EXPECT_EQ(r.middle[1], kLight);
  EXPECT_EQ(r.middle[2], kGrey);
  EXPECT_EQ(r.middle[3], kGrey);
  for (COLORREF c : r.inner) EXPECT_EQ(c, kFace);
  EXPECT_EQ(in.buffer(40, 15), kFace);
  // Without the default frame there is no focus rectangle: the face row under it is whole.
  for (int x = 4; x < 76; ++x) EXPECT_EQ(in.buffer(x, 4), kFace) << x;
  // The composed picture reached the window in one copy.
  EXPECT_EQ(in.surface(0, 0), kWhite);
  EXPECT_EQ(in.surface(79, 29), kBlack);
  EXPECT_EQ(in.surface(40, 15), kFace);
}

TEST_F(ClassicStyle, TheDefaultButtonHasABlackFrameAndADottedFocusRectangle) {
  in.StateFlags() |= 0x0001;
  b.Refresh();
  save("classic-default");
  const Rings r = sample(in, 80, 30);
  for (COLORREF c : r.outer) EXPECT_EQ(c, kBlack);
  EXPECT_EQ(r.middle[0], kWhite);
  EXPECT_EQ(r.middle[1], kWhite);
  EXPECT_EQ(r.middle[2], kBlack);
  EXPECT_EQ(r.middle[3], kBlack);
  EXPECT_EQ(r.inner[0], kLight);
  EXPECT_EQ(r.inner[1], kLight);
  EXPECT_EQ(r.inner[2], kGrey);
  EXPECT_EQ(r.inner[3], kGrey);
  // The dotted rectangle from (4, 4) to (75, 25) inverts every other pixel.
  int changed = 0;
  for (int x = 4; x < 76; ++x) changed += in.buffer(x, 4) != kFace;
  EXPECT_GE(changed, 30);
  EXPECT_LE(changed, 42);
  EXPECT_EQ(in.buffer(40, 3), kFace);
  EXPECT_EQ(in.buffer(40, 5), kFace);
}

TEST_F(ClassicStyle, APressedButtonShowsOnlyTheOuterRingAndAGreyLine) {
  in.StateFlags() |= 0x0002 | 0x0004;
  b.Refresh();
  save("classic-pressed");
  const Rings r = sample(in, 80, 30);
  EXPECT_EQ(r.outer[0], kWhite);
  EXPECT_EQ(r.outer[1], kWhite);
  EXPECT_EQ(r.outer[2], kBlack);
  EXPECT_EQ(r.outer[3], kBlack);
  EXPECT_EQ(r.middle[0], kFace);
  EXPECT_EQ(r.middle[1], kFace);
  EXPECT_EQ(r.middle[2], kGrey);
  EXPECT_EQ(r.middle[3], kGrey);
  for (COLORREF c : r.inner) EXPECT_EQ(c, kFace);

  // As the default button: all black outside.
  in.StateFlags() |= 0x0001;
  b.Refresh();
  const Rings d = sample(in, 80, 30);
  for (COLORREF c : d.outer) EXPECT_EQ(c, kBlack);
  EXPECT_EQ(d.middle[2], kGrey);
  EXPECT_EQ(d.middle[0], kFace);
}

TEST_F(ClassicStyle, ASetCheckButtonIsSunkenWithASolidBlackFocusRectangle) {
  b.setMode(1);
  b.setValue(-1);
  in.StateFlags() |= 0x0001;
  b.Refresh();
  save("classic-set");
  const COLORREF checked = static_cast<COLORREF>(in.CheckedFaceColor());
  ASSERT_EQ(checked, 0xE0E0DFu);
  const Rings r = sample(in, 80, 30);
  EXPECT_EQ(r.outer[0], kBlack);
  EXPECT_EQ(r.outer[1], kBlack);
  EXPECT_EQ(r.outer[2], kWhite);
  EXPECT_EQ(r.outer[3], kWhite);
  EXPECT_EQ(r.middle[0], checked);
  EXPECT_EQ(r.middle[1], checked);
  EXPECT_EQ(r.middle[2], kLight);
  EXPECT_EQ(r.middle[3], kLight);
  for (COLORREF c : r.inner) EXPECT_EQ(c, checked);
  // The solid rectangle runs through (4, 4) and (76, 26), both corners included.
  for (int x = 4; x <= 76; ++x) {
    EXPECT_EQ(in.buffer(x, 4), kBlack) << x;
    EXPECT_EQ(in.buffer(x, 26), kBlack) << x;
  }
  for (int y = 4; y <= 26; ++y) {
    EXPECT_EQ(in.buffer(4, y), kBlack) << y;
    EXPECT_EQ(in.buffer(76, y), kBlack) << y;
  }
  EXPECT_EQ(in.buffer(5, 5), checked);
  EXPECT_EQ(in.buffer(77, 26), checked);

  // Held down (the mouse or Space on it) a check button already looks set.
  b.setValue(0);
  in.HeldDown() = -1;
  b.Refresh();
  const Rings h = sample(in, 80, 30);
  EXPECT_EQ(h.outer[0], kBlack);
  EXPECT_EQ(h.outer[2], kWhite);
  EXPECT_EQ(h.middle[2], kLight);
  EXPECT_EQ(h.middle[0], kFace);
}

TEST_F(ClassicStyle, ASlantedButtonGetsAShadedFocusOutlineAlongItsSides) {
  b.setButtonShape(3);
  sizeInPixels(b, 100, 30);
  ASSERT_EQ(in.LeftSlantWidth(), 31);
  ASSERT_EQ(in.RightSlantStart(), 69);
  in.StateFlags() |= 0x0001;
  b.Refresh();
  save("classic-slanted-default");
  // Outline from (29, 25) up to (8, 4), along the top to (68, 4), down to (89, 25), back to (30, 25).
  const COLORREF outline = static_cast<COLORREF>(ShadeColor(0xC0C0C0, -48, 0));
  EXPECT_EQ(in.buffer(29, 25), outline);
  EXPECT_EQ(in.buffer(18, 14), outline);
  EXPECT_EQ(in.buffer(8, 4), outline);
  EXPECT_EQ(in.buffer(40, 4), outline);
  EXPECT_EQ(in.buffer(68, 4), outline);
  EXPECT_EQ(in.buffer(79, 15), outline);
  EXPECT_EQ(in.buffer(89, 25), outline);
  EXPECT_EQ(in.buffer(60, 25), outline);
  EXPECT_EQ(in.buffer(40, 15), kFace);
}

TEST_F(ClassicStyle, AnEllipseMarksTheDefaultButtonAroundItsCaption) {
  b.setButtonShape(4);
  b.setCaption("Wq");
  sizeInPixels(b, 120, 40);
  in.StateFlags() |= 0x0001;
  b.Refresh();
  save("classic-ellipse-default");
  const RECT c = in.CaptionRect();
  ASSERT_GT(c.right, c.left);
  // Dotted, two pixels outside the caption's rectangle (it keeps clear of both sides).
  int changed = 0;
  for (int x = c.left - 2; x < c.right + 2; ++x) changed += in.buffer(x, c.top - 2) != kFace;
  EXPECT_GE(changed, (c.right - c.left) / 2 - 1);
  EXPECT_LE(changed, (c.right - c.left) / 2 + 3);
  for (int x = c.left - 2; x < c.right + 2; ++x) EXPECT_EQ(in.buffer(x, c.top - 3), kFace) << x;
  // No bevel rings on a round button: the middle of its left side is face or its shaded edge.
  EXPECT_NE(in.buffer(1, 20), kLight);
  EXPECT_NE(in.buffer(2, 20), kGrey);
}

}  // namespace
