#include <gtest/gtest.h>

#include <windows.h>

#include "PaintInspector.h"

#include <corvane/headless.h>

#include <cstdlib>
#include <set>
#include <utility>

using painttest::PaintWindow;
using painttest::sizeInPixels;

namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr COLORREF kFace = 0xC0C0C0;
constexpr COLORREF kRed = 0x0000FF;

class Caption : public testing::Test {
 protected:
  void SetUp() override {
    w.Load();
    w.Show();
    sizeInPixels(b, 120, 40);
    b.setCaption("Wq");
    b.setForeColor(kRed);
  }
  void save(const char* name) {
    if (const char* dir = std::getenv("CORVANE_PAINT_PNG"))
      corvane::headless::saveWindowPng(b.hWnd(), std::string(dir) + "/" + name + ".png");
  }
  // The pixels of one colour inside the rings.
  Pixels pixelsOf(COLORREF color) {
    Pixels s;
    for (int y = 3; y < 37; ++y)
      for (int x = 3; x < 117; ++x)
        if (in.buffer(x, y) == color) s.insert({x, y});
    return s;
  }
  static Pixels shifted(const Pixels& s, int dx, int dy) {
    Pixels t;
    for (auto [x, y] : s) t.insert({x + dx, y + dy});
    return t;
  }
  // The flat caption's pixels in the fore colour; every other test compares with them.
  Pixels flatText() {
    b.Refresh();
    Pixels s = pixelsOf(kRed);
    EXPECT_GT(s.size(), 20u);
    return s;
  }
  PaintWindow w;
  ztButtons_H& b = w.Button1;
  ztButtonsInspector in{b};
};

TEST_F(Caption, AFlatCaptionIsCentredInTheForeColour) {
  const Pixels s = flatText();
  save("caption-flat");
  int minX = 999, maxX = -1;
  for (auto [x, y] : s) minX = std::min(minX, x), maxX = std::max(maxX, x);
  // Centred: as much room left of the text as right of it, give or take the glyphs' bearings.
  EXPECT_LE(std::abs((minX - 0) - (119 - maxX)), 4);
  // Hover colour while the pointer is over it, not while it is pressed.
  b.setHoverForeColor(0x00FF00);
  in.Hovering() = -1;
  in.StateFlags() |= 0x0004;
  b.Refresh();
  EXPECT_EQ(pixelsOf(0x00FF00), s);
  in.StateFlags() |= 0x0002;
  b.Refresh();
  EXPECT_TRUE(pixelsOf(0x00FF00).empty());
  EXPECT_EQ(pixelsOf(kRed), shifted(s, 1, 1));
}

TEST_F(Caption, RaisedAndSunkenCaptionsLayTwoShadowsAroundTheTextOnePixelLower) {
  const Pixels s = flatText();
  b.setCaptionStyle(2);
  b.Refresh();
  save("caption-raised");
  const Pixels text = pixelsOf(kRed);
  const Pixels light = pixelsOf(0xE9E9E8);
  const Pixels dark = pixelsOf(0x999998);
  ASSERT_FALSE(text.empty());
  // Relative to the final text, light lies one up-left and dark one down-right.
  const Pixels lightExpected = [&] {
    Pixels e;
    for (auto p : shifted(text, -1, -1))
      if (!text.count(p) && !shifted(text, 1, 1).count(p)) e.insert(p);
    return e;
  }();
  const Pixels darkExpected = [&] {
    Pixels e;
    for (auto p : shifted(text, 1, 1))
      if (!text.count(p)) e.insert(p);
    return e;
  }();
  EXPECT_EQ(light, lightExpected);
  EXPECT_EQ(dark, darkExpected);
  EXPECT_EQ(text.size(), s.size());

  b.setCaptionStyle(1);
  b.Refresh();
  save("caption-sunken");
  const Pixels text1 = pixelsOf(kRed);
  EXPECT_EQ(text1, text);
  // Sunken swaps the two shadows.
  EXPECT_EQ(pixelsOf(0x999998), lightExpected);
  EXPECT_EQ(pixelsOf(0xE9E9E8), darkExpected);
}

TEST_F(Caption, TheRaisedTextEndsOnePixelBelowTheFlatText) {
  // Same block size for both: draw the flat caption into the raised layout's rectangle.
  b.setCaptionStyle(2);
  b.Refresh();
  const Pixels raised = pixelsOf(kRed);
  in.stored().CaptionStyle = 0;
  b.Refresh();
  EXPECT_EQ(raised, shifted(pixelsOf(kRed), 0, 1));
}

TEST_F(Caption, ADisabledCaptionIsEtchedWhiteBelowRightAndGreyInPlace) {
  const Pixels s = flatText();
  b.setEnabled(0);
  b.Refresh();
  save("caption-disabled");
  EXPECT_TRUE(pixelsOf(kRed).empty());
  EXPECT_EQ(pixelsOf(0x808080), s);
  Pixels white;
  for (auto p : shifted(s, 1, 1))
    if (!s.count(p)) white.insert(p);
  EXPECT_EQ(pixelsOf(0xFFFFFF), white);
}

TEST_F(Caption, ADisabledCheckButtonHasOneGreyPass) {
  b.setMode(1);
  const Pixels s = flatText();
  b.setEnabled(0);
  b.Refresh();
  EXPECT_EQ(pixelsOf(0x808080), s);
  EXPECT_TRUE(pixelsOf(0xFFFFFF).empty());
}

TEST_F(Caption, PressedCaptionsMoveRightAndDownEllipsesOnlyDown) {
  const Pixels s = flatText();
  in.StateFlags() |= 0x0002 | 0x0004;
  b.Refresh();
  save("caption-pressed");
  EXPECT_EQ(pixelsOf(kRed), shifted(s, 1, 1));

  in.StateFlags() = 0;
  b.setButtonShape(4);
  sizeInPixels(b, 120, 40);
  b.Refresh();
  const Pixels e = pixelsOf(kRed);
  ASSERT_FALSE(e.empty());
  in.StateFlags() |= 0x0002 | 0x0004;
  b.Refresh();
  EXPECT_EQ(pixelsOf(kRed), shifted(e, 0, 1));
}

TEST_F(Caption, ADoublePipeBreaksTheCaptionIntoLines) {
  b.setCaption("Wq");
  const Pixels one = flatText();
  int top1 = 999, bottom1 = -1;
  for (auto [x, y] : one) top1 = std::min(top1, y), bottom1 = std::max(bottom1, y);
  b.setCaption("Wq||Wq");
  b.Refresh();
  save("caption-two-lines");
  const Pixels two = pixelsOf(kRed);
  int top2 = 999, bottom2 = -1;
  for (auto [x, y] : two) top2 = std::min(top2, y), bottom2 = std::max(bottom2, y);
  EXPECT_EQ(two.size(), 2 * one.size());
  EXPECT_GT(bottom2 - top2, 2 * (bottom1 - top1));
}

TEST_F(Caption, AFocusRectangleAroundTheCaptionKeepsTwoPixelsClearOfTheSlantsOrOne) {
  b.setCaption("Wq");
  b.Refresh();
  in.StateFlags() |= 0x0001;
  in.DrawRect(0, 0, 120, 40, kFace);
  in.CaptionRect() = {20, 8, 60, 20};
  in.DrawFocusRectangle(0x0000FF, -1, -1);
  // Grown by 2: from (18, 6) to (61, 21), both corners included.
  EXPECT_EQ(in.buffer(18, 6), kRed);
  EXPECT_EQ(in.buffer(61, 6), kRed);
  EXPECT_EQ(in.buffer(61, 21), kRed);
  EXPECT_EQ(in.buffer(18, 21), kRed);
  EXPECT_EQ(in.buffer(17, 6), kFace);
  EXPECT_EQ(in.buffer(62, 6), kFace);
  EXPECT_EQ(in.buffer(18, 22), kFace);

  // Within 4 pixels of the left limit the margin is 1.
  in.DrawRect(0, 0, 120, 40, kFace);
  in.CaptionRect() = {4, 8, 60, 20};
  in.DrawFocusRectangle(0x0000FF, -1, -1);
  EXPECT_EQ(in.buffer(3, 7), kRed);
  EXPECT_EQ(in.buffer(60, 20), kRed);
  EXPECT_EQ(in.buffer(2, 7), kFace);
  EXPECT_EQ(in.buffer(61, 20), kFace);

  // No default frame, no rectangle.
  in.StateFlags() = 0;
  in.DrawRect(0, 0, 120, 40, kFace);
  in.DrawFocusRectangle(0x0000FF, -1, -1);
  EXPECT_EQ(in.buffer(3, 7), kFace);
}

}  // namespace
