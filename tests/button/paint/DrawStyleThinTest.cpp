#include <gtest/gtest.h>

#include <windows.h>

#include "StyleFixture.h"

using namespace painttest;

namespace {

constexpr COLORREF kFace = 0xC0C0C0;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kSetFace = 0xE0E0DF;  // white darkened by 32

class ThinStyle : public StyleFixture {
 protected:
  ThinStyle() : StyleFixture(4, false) {}
  // Only the outermost ring is drawn; the two inside it are face.
  void expectThinEdge(COLORREF topLeft, COLORREF bottomRight, COLORREF face) {
    const Rings r = rings();
    expectRing(r.outer, topLeft, bottomRight);
    expectRing(r.middle, face, face);
    expectRing(r.inner, face, face);
  }
};

TEST_F(ThinStyle, OneRaisedPixelRingThatSinksOnlyWhilePushedIn) {
  b.Refresh();
  save("thin-normal");
  expectThinEdge(kWhite, kGrey, kFace);
  // Square corners: the rectangle keeps all four corner pixels; the right and bottom edges run
  // from corner to corner.
  EXPECT_EQ(screen(0, 0), kWhite);
  EXPECT_EQ(screen(60, 24), kGrey);
  EXPECT_EQ(screen(60, 0), kGrey);
  EXPECT_EQ(screen(0, 24), kGrey);

  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("thin-hot");
  expectThinEdge(kWhite, kGrey, kFace);

  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  save("thin-pressed");
  expectThinEdge(kGrey, kWhite, kFace);

  in.StateFlags() = kPressed;
  in.Hovering() = 0;
  b.Refresh();
  save("thin-pressed-out");
  expectThinEdge(kWhite, kGrey, kFace);
}

TEST_F(ThinStyle, TheDefaultButtonHasNoFrameOfItsOwnOnlyTheDottedRectangle) {
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("thin-default");
  expectThinEdge(kWhite, kGrey, kFace);
  int dotted = 0;
  for (int x = 4; x < 57; ++x) dotted += in.buffer(x, 4) != kFace;
  EXPECT_GE(dotted, 20);
  EXPECT_LE(dotted, 32);
}

TEST_F(ThinStyle, ASetOptionButtonIsSunkenWithASolidBlackRectangleOnlyWithTheDefaultFrame) {
  b.setMode(2);
  b.setValue(-1);
  b.Refresh();
  save("thin-option-set");
  expectThinEdge(kGrey, kWhite, kSetFace);
  for (int x = 4; x <= 57; ++x) EXPECT_EQ(in.buffer(x, 4), kSetFace) << x;

  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("thin-option-set-default");
  expectThinEdge(kGrey, kWhite, kSetFace);
  expectSolidOutline(kBlack, 4, 4, 57, 21);

  // Unset: raised on the plain face.
  b.setValue(0);
  in.StateFlags() = 0;
  b.Refresh();
  save("thin-option-unset");
  expectThinEdge(kWhite, kGrey, kFace);
}

TEST_F(ThinStyle, TheCaptionMovesOnePixelRightAndDownWhilePushedIn) {
  b.setCaption("Wq");
  b.Refresh();
  const RECT rest = inkBox(kBlack, RECT{1, 1, 60, 24});
  ASSERT_FALSE(IsRectEmpty(&rest));
  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  const RECT pushed = inkBox(kBlack, RECT{1, 1, 60, 24});
  EXPECT_EQ(pushed.left, rest.left + 1);
  EXPECT_EQ(pushed.top, rest.top + 1);
  EXPECT_EQ(pushed.right, rest.right + 1);
}

TEST_F(ThinStyle, ADisabledCommandButtonHasAnEtchedCaptionAndKeepsItsEdge) {
  b.setCaption("Wq");
  b.setEnabled(0);
  b.Refresh();
  save("thin-disabled");
  expectThinEdge(kWhite, kGrey, kFace);
  const RECT grey = inkBox(kGrey, RECT{1, 1, 60, 24});
  const RECT white = inkBox(kWhite, RECT{1, 1, 60, 24});
  ASSERT_FALSE(IsRectEmpty(&grey));
  // White one pixel below right of the grey text.
  EXPECT_EQ(white.left, grey.left + 1);
  EXPECT_EQ(white.bottom, grey.bottom + 1);
}

TEST_F(ThinStyle, ASlantedButtonFollowsItsSlantWithTheEdgeAndItsFocusOutline) {
  b.setButtonShape(1);
  sizeInPixels(b, 100, 30);
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("thin-slant-left-default");
  const int d = in.LeftSlantWidth();
  ASSERT_EQ(d, 31);
  // The left edge runs from (0, 0) down to (d - 1, 29) and is white; the bottom grey.
  EXPECT_EQ(in.buffer(0, 0), kWhite);
  EXPECT_EQ(in.buffer(15, 15), kWhite);
  EXPECT_EQ(in.buffer(60, 29), kGrey);
  EXPECT_EQ(in.buffer(99, 15), kGrey);
  const COLORREF outline = static_cast<COLORREF>(ShadeColor(kFace, -48, 0));
  EXPECT_EQ(in.buffer(50, 4), outline);
  EXPECT_EQ(in.buffer(95, 15), outline);
}

TEST_F(ThinStyle, TinyButtonsPaintNothingOutsideThemselves) { paintTinyButtons(); }

}  // namespace
