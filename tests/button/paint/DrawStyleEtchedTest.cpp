#include <gtest/gtest.h>

#include <windows.h>

#include "StyleFixture.h"

using namespace painttest;

namespace {

constexpr COLORREF kFace = 0xC0C0C0;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kDark = 0x676766;           // grey darkened by 26
constexpr COLORREF kDisabledText = 0x717170;   // grey darkened by 16
constexpr COLORREF kPressedFace = 0x8D8D8C;    // grey lightened by 12
constexpr COLORREF kSetFace = 0xADADAB;        // the pressed face lightened by 31
constexpr COLORREF kMark = 0xCC9999;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kContainer = 0x00FF00;

class EtchedStyle : public StyleFixture {
 protected:
  EtchedStyle() : StyleFixture(3, false) {}
  // The groove: outer ring dark top-left and light bottom-right, middle ring the other way round.
  void expectGroove(COLORREF middleTopLeft, COLORREF outerBottomRight, COLORREF face) {
    const Rings r = rings();
    expectRing(r.outer, kDark, outerBottomRight);
    expectRing(r.middle, middleTopLeft, kDark);
    expectRing(r.inner, face, face);
  }
  RECT ink(COLORREF color) { return inkBox(color, RECT{2, 2, 59, 23}); }
  // The solid mark two pixels round the caption, for a caption well inside the button.
  void expectMarkAroundCaption() {
    const RECT c = in.CaptionRect();
    expectSolidOutline(kMark, c.left - 2, c.top - 2, c.right + 1, c.bottom + 1);
  }
};

TEST_F(EtchedStyle, AGrooveWhoseInnerLightLineSinksIntoThePressedFace) {
  b.Refresh();
  save("etched-normal");
  ASSERT_EQ(in.PressedFaceColor(), static_cast<int32_t>(kPressedFace));
  expectGroove(kWhite, kWhite, kFace);
  EXPECT_EQ(in.buffer(30, 12), kFace);

  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("etched-hot");
  expectGroove(kWhite, kWhite, kFace);

  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  save("etched-pressed");
  expectGroove(kPressedFace, kWhite, kPressedFace);

  in.StateFlags() = kPressed;
  in.Hovering() = 0;
  b.Refresh();
  save("etched-pressed-out");
  expectGroove(kWhite, kWhite, kFace);
}

TEST_F(EtchedStyle, TheBottomLeftAndTopRightCornersShowTheContainerWhileEnabled) {
  w.setBackColor(kContainer);
  b.Refresh();
  EXPECT_EQ(screen(0, 24), kContainer);
  EXPECT_EQ(screen(60, 0), kContainer);
  EXPECT_EQ(screen(0, 0), kDark);
  EXPECT_EQ(screen(60, 24), kWhite);
  // The disabled command button is whole; enabled again, cut again.
  b.setEnabled(0);
  EXPECT_EQ(screen(0, 24), kDark);
  EXPECT_EQ(screen(60, 0), kDark);
  b.setEnabled(-1);
  EXPECT_EQ(screen(0, 24), kContainer);
  // A left slant keeps only its square right side's cut.
  b.setButtonShape(1);
  b.Refresh();
  EXPECT_EQ(screen(in.RightSlantStart() - 1, 0), kContainer);
}

TEST_F(EtchedStyle, TheCaptionStaysInPlaceWhenPressedAndItsMarkIsASolidRectangleRoundIt) {
  b.setCaption("Wq");
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("etched-default");
  const RECT rest = ink(kBlack);
  ASSERT_FALSE(IsRectEmpty(&rest));
  expectMarkAroundCaption();

  in.StateFlags() = kDefaultFrame | kPressed | kPointerOver;
  b.Refresh();
  save("etched-default-pressed");
  const RECT pushed = ink(kBlack);
  EXPECT_TRUE(EqualRect(&rest, &pushed));
  expectMarkAroundCaption();

  // Without the default frame, no mark.
  in.StateFlags() = 0;
  b.Refresh();
  const RECT none = ink(kMark);
  EXPECT_TRUE(IsRectEmpty(&none));
}

TEST_F(EtchedStyle, WithoutACaptionTheMarkSurroundsThePicture) {
  b.setPicture(buttontest::bitmapPicture(16, 16));
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  const RECT p = in.PictureRect();
  ASSERT_FALSE(IsRectEmpty(&p));
  // The picture lies 4 pixels from the left, so the mark keeps a one-pixel margin.
  EXPECT_EQ(in.buffer(p.left - 1, p.top + 3), kMark);
  EXPECT_EQ(in.buffer(p.right, p.top + 3), kMark);
}

TEST_F(EtchedStyle, ADisabledCommandButtonShowsOnlyADarkGrooveAndAOnePassCaption) {
  b.setCaption("Wq");
  b.setEnabled(0);
  b.Refresh();
  save("etched-disabled");
  const Rings r = rings();
  expectRing(r.outer, kDark, kDark);
  expectRing(r.middle, kFace, kFace);
  expectRing(r.inner, kFace, kFace);
  const RECT text = ink(kDisabledText), light = ink(kWhite), etch = ink(0x808080);
  EXPECT_FALSE(IsRectEmpty(&text));
  EXPECT_TRUE(IsRectEmpty(&light));
  EXPECT_TRUE(IsRectEmpty(&etch));

  // Over a gradient the caption is etched: white below right, grey on top.
  b.setGradientColor(0xFF0000);
  b.setGradientMode(3);
  b.Refresh();
  save("etched-disabled-gradient");
  const RECT white = ink(kWhite);
  const RECT grey = ink(0x808080);
  ASSERT_FALSE(IsRectEmpty(&grey));
  EXPECT_EQ(white.left, grey.left + 1);
}

TEST_F(EtchedStyle, CheckButtonsSinkTheInnerLineWhileSetOrHeldAndKeepTheGrooveWhenDisabled) {
  b.setMode(1);
  b.Refresh();
  save("etched-check-unset");
  expectGroove(kWhite, kWhite, kFace);

  b.setValue(-1);
  b.Refresh();
  save("etched-check-set");
  ASSERT_EQ(in.CheckedFaceColor(), static_cast<int32_t>(kSetFace));
  expectGroove(kSetFace, kWhite, kSetFace);

  b.setValue(0);
  in.HeldDown() = -1;
  b.Refresh();
  expectGroove(kFace, kWhite, kFace);
  in.HeldDown() = 0;

  b.setCaption("Wq");
  b.setEnabled(0);
  b.Refresh();
  save("etched-check-disabled");
  expectGroove(kWhite, kWhite, kFace);
  const RECT text = ink(kDisabledText);
  EXPECT_FALSE(IsRectEmpty(&text));
}

TEST_F(EtchedStyle, AGradientFaceKeepsTheGroove) {
  b.setGradientColor(0xFF0000);
  b.setGradientMode(3);
  b.Refresh();
  save("etched-gradient");
  const Rings r = rings();
  expectRing(r.outer, kDark, kWhite);
  expectRing(r.middle, kWhite, kDark);
  // Top to bottom from the face towards blue.
  EXPECT_GT(GetRValue(in.buffer(30, 3)), 0xA0);
  EXPECT_LT(GetRValue(in.buffer(30, 21)), 0x30);
}

TEST_F(EtchedStyle, TinyButtonsPaintNothingOutsideThemselves) { paintTinyButtons(); }

}  // namespace
