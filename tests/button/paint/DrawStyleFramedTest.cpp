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
constexpr COLORREF kContainer = 0x00FF00;

class FramedStyle : public StyleFixture {
 protected:
  FramedStyle() : StyleFixture(1, false) {}
  // A black frame round a two-pixel bevel.
  void expectFramedBevel(COLORREF topLeft, COLORREF bottomRight) {
    const Rings r = rings();
    expectRing(r.outer, kBlack, kBlack);
    expectRing(r.middle, topLeft, bottomRight);
    expectRing(r.inner, topLeft, bottomRight);
  }
  RECT captionInk() { return inkBox(kBlack, RECT{3, 3, 58, 22}); }
};

TEST_F(FramedStyle, ABlackFrameRoundARaisedBevelThatSinksOnlyWhilePushedIn) {
  b.Refresh();
  save("framed-normal");
  expectFramedBevel(kWhite, kGrey);
  EXPECT_EQ(in.buffer(30, 12), kFace);
  // No default frame, no focus rectangle: the row where it would run is all face.
  for (int x = 4; x < 57; ++x) EXPECT_EQ(in.buffer(x, 4), kFace) << x;

  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("framed-hot");
  expectFramedBevel(kWhite, kGrey);

  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  save("framed-pressed");
  expectFramedBevel(kGrey, kWhite);

  // Dragged off while held: raised again.
  in.StateFlags() = kPressed;
  in.Hovering() = 0;
  b.Refresh();
  save("framed-pressed-out");
  expectFramedBevel(kWhite, kGrey);
}

TEST_F(FramedStyle, TheFourCornerPixelsShowTheContainer) {
  w.setBackColor(kContainer);
  b.Refresh();
  EXPECT_EQ(screen(0, 0), kContainer);
  EXPECT_EQ(screen(0, 24), kContainer);
  EXPECT_EQ(screen(60, 24), kContainer);
  EXPECT_EQ(screen(60, 0), kContainer);
  EXPECT_EQ(screen(1, 0), kBlack);
  EXPECT_EQ(screen(0, 1), kBlack);
  EXPECT_EQ(screen(59, 24), kBlack);
  EXPECT_EQ(screen(60, 23), kBlack);

  // A slanted button loses only the corners of its square side; both sides slanted, none.
  b.setButtonShape(1);
  b.Refresh();
  const int W = in.RightSlantStart();
  EXPECT_EQ(screen(W - 1, 0), kContainer);
  EXPECT_EQ(screen(W - 1, 24), kContainer);
  EXPECT_EQ(screen(W - 2, 0), kBlack);
  b.setButtonShape(2);
  b.Refresh();
  EXPECT_EQ(screen(0, 0), kContainer);
  EXPECT_EQ(screen(0, 24), kContainer);
  EXPECT_EQ(screen(0, 1), kBlack);
  b.setButtonShape(3);
  b.Refresh();
  EXPECT_EQ(screen(0, 0), kBlack);
}

TEST_F(FramedStyle, TheDefaultButtonKeepsItsBevelAndGetsADottedFocusRectangle) {
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("framed-default");
  expectFramedBevel(kWhite, kGrey);
  int dotted = 0;
  for (int x = 4; x < 57; ++x) dotted += in.buffer(x, 4) != kFace;
  EXPECT_GE(dotted, 20);
  EXPECT_LE(dotted, 32);
  EXPECT_EQ(in.buffer(30, 3), kFace);
  EXPECT_EQ(in.buffer(30, 5), kFace);
}

TEST_F(FramedStyle, ASetOrHeldCheckButtonIsSunkenWithASolidBlackFocusRectangle) {
  b.setMode(1);
  b.setValue(-1);
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("framed-set-default");
  expectFramedBevel(kGrey, kWhite);
  EXPECT_EQ(in.buffer(30, 12), kSetFace);
  expectSolidOutline(kBlack, 4, 4, 57, 21);
  EXPECT_EQ(in.buffer(5, 5), kSetFace);
  EXPECT_EQ(in.buffer(56, 20), kSetFace);

  // Unset, but held down by the mouse or Space: it already looks set.
  b.setValue(0);
  in.HeldDown() = -1;
  b.Refresh();
  expectFramedBevel(kGrey, kWhite);
  EXPECT_EQ(in.buffer(30, 12), kFace);

  // Released and unset: raised, and an option button likewise.
  in.HeldDown() = 0;
  b.setMode(2);
  b.Refresh();
  save("framed-option-unset");
  expectFramedBevel(kWhite, kGrey);
}

TEST_F(FramedStyle, TheCaptionMovesOnePixelRightAndDownWhilePushedInOrSet) {
  b.setCaption("Wq");
  b.Refresh();
  const RECT rest = captionInk();
  ASSERT_FALSE(IsRectEmpty(&rest));
  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  RECT pushed = captionInk();
  EXPECT_EQ(pushed.left, rest.left + 1);
  EXPECT_EQ(pushed.top, rest.top + 1);
  in.StateFlags() = 0;
  b.setMode(1);
  b.setValue(-1);
  b.Refresh();
  pushed = captionInk();
  EXPECT_EQ(pushed.left, rest.left + 1);
  EXPECT_EQ(pushed.top, rest.top + 1);
}

TEST_F(FramedStyle, ADisabledCheckButtonHasAGreyCaptionInOnePassAndItsFrame) {
  b.setCaption("Wq");
  b.setMode(1);
  b.setEnabled(0);
  b.Refresh();
  save("framed-disabled-check");
  expectFramedBevel(kWhite, kGrey);
  const RECT area{3, 3, 58, 22};
  const RECT grey = inkBox(kGrey, area);
  EXPECT_FALSE(IsRectEmpty(&grey));
  const RECT white = inkBox(kWhite, area);
  EXPECT_TRUE(IsRectEmpty(&white));
  // The corners stay cut while disabled.
  w.setBackColor(kContainer);
  EXPECT_EQ(screen(0, 0), kContainer);
}

TEST_F(FramedStyle, AGradientFaceKeepsTheFrameAndTheBevel) {
  b.setGradientColor(0xFF0000);
  b.setGradientMode(1);
  b.Refresh();
  save("framed-gradient");
  expectFramedBevel(kWhite, kGrey);
  // Left to right from the face towards blue.
  EXPECT_GT(GetRValue(in.buffer(3, 12)), 0xB0);
  EXPECT_LT(GetRValue(in.buffer(56, 12)), 0x20);
  EXPECT_GT(GetBValue(in.buffer(56, 12)), 0xF0);
}

TEST_F(FramedStyle, ASlantedDefaultButtonMarksItsFocusInTheFaceDarkenedBy48) {
  b.setButtonShape(3);
  sizeInPixels(b, 100, 30);
  ASSERT_EQ(in.LeftSlantWidth(), 31);
  ASSERT_EQ(in.RightSlantStart(), 69);
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("framed-slanted-default");
  const COLORREF outline = static_cast<COLORREF>(ShadeColor(kFace, -48, 0));
  EXPECT_EQ(in.buffer(8, 4), outline);
  EXPECT_EQ(in.buffer(40, 4), outline);
  EXPECT_EQ(in.buffer(89, 25), outline);
  // The frame follows the slant: the top edge is black from x = 0 to 68.
  EXPECT_EQ(in.buffer(0, 0), kBlack);
  EXPECT_EQ(in.buffer(68, 0), kBlack);
}

TEST_F(FramedStyle, RoundButtonsHaveNoBevelAndAFramedEllipseIsFramedInBlackUnderThePointer) {
  b.setButtonShape(4);
  b.Refresh();
  save("framed-ellipse");
  // The gradient edge of the ellipse, not a black frame, lines its top.
  EXPECT_NE(in.buffer(30, 0), kBlack);
  EXPECT_NE(in.buffer(30, 1), kWhite);
  b.setButtonShape(6);
  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("framed-ellipse-framed-hot");
  bool black = false;
  for (int x = 0; x < 8; ++x) black = black || in.surface(x, 12) == kBlack;
  EXPECT_TRUE(black);
}

TEST_F(FramedStyle, TinyButtonsPaintNothingOutsideThemselves) { paintTinyButtons(); }

}  // namespace
