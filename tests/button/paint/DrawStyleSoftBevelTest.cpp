#include <gtest/gtest.h>

#include <windows.h>

#include "StyleFixture.h"

using namespace painttest;

namespace {

constexpr COLORREF kFace = 0xC0C0C0;
constexpr COLORREF kLight = 0xE8E8E7;  // 0xDFDFDF lightened by 8
constexpr COLORREF kGrey = 0x808080;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kSetFace = 0xE0E0DF;  // white darkened by 32

class SoftBevelStyle : public StyleFixture {
 protected:
  SoftBevelStyle() : StyleFixture(6, false) {}
  void expectBevel(COLORREF topLeft, COLORREF bottomRight, COLORREF face) {
    const Rings r = rings();
    expectRing(r.outer, topLeft, bottomRight);
    expectRing(r.middle, topLeft, bottomRight);
    expectRing(r.inner, face, face);
  }
};

TEST_F(SoftBevelStyle, LightAboveAndGreyBelowTwoPixelsDeepSwappedWhilePushedIn) {
  b.Refresh();
  save("softbevel-normal");
  expectBevel(kLight, kGrey, kFace);
  EXPECT_EQ(in.buffer(30, 12), kFace);
  EXPECT_EQ(in.surface(0, 0), kLight);
  EXPECT_EQ(in.surface(60, 24), kGrey);

  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("softbevel-hot");
  expectBevel(kLight, kGrey, kFace);

  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  save("softbevel-pressed");
  expectBevel(kGrey, kLight, kFace);

  // Dragged off while held: raised again.
  in.StateFlags() = kPressed;
  in.Hovering() = 0;
  b.Refresh();
  save("softbevel-pressed-out");
  expectBevel(kLight, kGrey, kFace);
}

TEST_F(SoftBevelStyle, TheDefaultButtonIsRaisedWithADottedFocusRectangle) {
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("softbevel-default");
  expectBevel(kLight, kGrey, kFace);
  // The dotted rectangle (4, 4)-(57, 21).
  expectDottedRow(4, 4, 57, kFace);
  expectDottedRow(20, 4, 57, kFace);
  EXPECT_EQ(in.buffer(30, 3), kFace);
  EXPECT_EQ(in.buffer(30, 5), kFace);
}

TEST_F(SoftBevelStyle, ASetOrHeldCheckButtonIsSunkenWithASolidBlackFocusRectangle) {
  b.setMode(1);
  b.setValue(-1);
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("softbevel-set-default");
  expectBevel(kGrey, kLight, kSetFace);
  expectOutline(RECT{4, 4, 57, 21}, kBlack);

  // Held but not yet set: sunken on the normal face.
  b.setValue(0);
  in.StateFlags() = 0;
  in.HeldDown() = -1;
  b.Refresh();
  save("softbevel-held");
  expectBevel(kGrey, kLight, kFace);
}

TEST_F(SoftBevelStyle, ASlantedDefaultButtonMarksItsFocusInTheFaceDarkenedBy48) {
  b.setButtonShape(2);
  sizeInPixels(b, 80, 25);
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("softbevel-slant-default");
  // The outline along the square left side and the top row 4.
  EXPECT_EQ(in.buffer(4, 12), 0x919190u);
  EXPECT_EQ(in.buffer(30, 4), 0x919190u);
  EXPECT_EQ(in.buffer(30, 20), 0x919190u);
}

TEST_F(SoftBevelStyle, TheCaptionMovesOnePixelRightAndDownWhilePushedIn) {
  b.setCaption("Ok");
  b.Refresh();
  const RECT area{3, 3, 58, 22};
  const RECT up = inkBox(kBlack, area);
  ASSERT_FALSE(IsRectEmpty(&up));
  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  save("softbevel-caption-pressed");
  RECT down = inkBox(kBlack, area);
  EXPECT_EQ(down.left, up.left + 1);
  EXPECT_EQ(down.top, up.top + 1);
  EXPECT_EQ(down.right, up.right + 1);

  // A set check button shows its caption pushed in as well.
  in.StateFlags() = 0;
  b.setMode(1);
  b.setValue(-1);
  down = inkBox(kBlack, area);
  EXPECT_EQ(down.left, up.left + 1);
  EXPECT_EQ(down.top, up.top + 1);
}

TEST_F(SoftBevelStyle, ADisabledCheckButtonHasAGreyCaptionInOnePass) {
  b.setCaption("Ok");
  b.setMode(1);
  b.setEnabled(0);
  b.Refresh();
  save("softbevel-disabled-check");
  const RECT area{3, 3, 58, 22};
  EXPECT_TRUE(inked(kGrey, area));
  EXPECT_FALSE(inked(0xFFFFFF, area));
  // The bevel stays.
  expectBevel(kLight, kGrey, kFace);
}

TEST_F(SoftBevelStyle, AFramedEllipseUnderThePointerIsFramedInBlackOnTheWindow) {
  b.setButtonShape(6);
  sizeInPixels(b, 61, 25);
  b.Refresh();
  // No bevel on round buttons.
  EXPECT_NE(in.buffer(30, 1), kLight);
  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("softbevel-ellipse-hot");
  bool framed = false;
  for (int x = 0; x < 8; ++x) framed |= in.surface(x, 12) == kBlack;
  EXPECT_TRUE(framed);
}

TEST_F(SoftBevelStyle, TinyButtonsPaintNothingOutsideThemselves) { paintTinyButtons(); }

}  // namespace
