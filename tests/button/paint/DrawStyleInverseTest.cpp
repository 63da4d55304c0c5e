#include <gtest/gtest.h>

#include <windows.h>

#include "StyleFixture.h"

#include <utility>
#include <vector>

using namespace painttest;

namespace {

// The button face 0xC0C0C0 lightened by 31, and what the bevel derives from it (blue scaled).
constexpr COLORREF kFace = 0xE0E0DF;
constexpr COLORREF kLightRing = 0xFFFFFE;  // face + 31
constexpr COLORREF kDarkRing = 0x96A19F;   // face - 64
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kGrey = 0x808080;
// Pushed in, without a gradient: grey 0x808080 less 16 for the face, less 32, 64 and 16 for the
// bevel.
constexpr COLORREF kPressedFace = 0x717170;
constexpr COLORREF kPushedWhite = 0x616160;
constexpr COLORREF kPushedLight = 0x414140;
constexpr COLORREF kPushedDark = 0x717170;
// The set face: grey lightened by 16, blue scaled.
constexpr COLORREF kSetFace = 0x8B9190;

class InverseStyle : public StyleFixture {
 protected:
  InverseStyle() : StyleFixture(7, false) {}
  // Edges 1 to 8 as sampled: inner left, top, right, bottom, middle left, top, right, bottom.
  void expectBevel(COLORREF innerTopLeft, COLORREF innerBottomRight, COLORREF middleTopLeft,
                   COLORREF middleBottomRight, int mx = 33) {
    const Rings r = rings(61, 25, mx);
    expectRing(r.outer, kBlack, kBlack);
    expectRing(r.middle, middleTopLeft, middleBottomRight);
    expectRing(r.inner, innerTopLeft, innerBottomRight);
  }
  // The corner pixels of a 61 x 25 button, left ones then right ones.
  void expectCorners(COLORREF white, COLORREF face, COLORREF light, COLORREF dark) {
    const std::vector<std::pair<POINT, COLORREF>> corners{
        {{3, 3}, white},  {{1, 22}, face},  {{2, 2}, light},  {{1, 23}, kBlack},  {{1, 1}, kBlack},
        {{57, 21}, face}, {{58, 1}, face},  {{58, 22}, dark}, {{59, 23}, kBlack}, {{59, 1}, kBlack}};
    for (const auto& [p, color] : corners) EXPECT_EQ(in.buffer(p.x, p.y), color) << p.x << "," << p.y;
  }
  // The caption's rectangle grown by its margin, as the focus mark surrounds it.
  RECT aroundCaption(int pushed) {
    RECT r = in.CaptionRect();
    const int e = (r.right < 61 - 4 && r.left > 4) ? 2 : 1;
    return RECT{r.left - e + pushed, r.top - e + pushed, r.right + e + 2 * pushed, r.bottom + e + 2 * pushed};
  }
};

TEST_F(InverseStyle, ALightFaceInABlackFrameWithALightInnerBevelAndRoundedCorners) {
  b.Refresh();
  save("inverse-normal");
  ASSERT_EQ(in.FaceColor(), static_cast<int32_t>(kFace));
  expectBevel(kWhite, kFace, kLightRing, kDarkRing);
  EXPECT_EQ(in.buffer(30, 12), kFace);
  expectCorners(kWhite, kFace, kLightRing, kDarkRing);

  // On the screen the cut corners show the container; the corner pixels carry the frame round.
  w.setBackColor(0x00FF00);
  const POINT cut[] = {{0, 0}, {1, 0}, {0, 1}, {0, 23}, {0, 24}, {1, 24},
                       {59, 0}, {60, 0}, {60, 1}, {60, 23}, {59, 24}, {60, 24}};
  for (const POINT& p : cut) EXPECT_EQ(screen(p.x, p.y), 0x00FF00u) << p.x << "," << p.y;
  EXPECT_EQ(screen(1, 1), kBlack);
  EXPECT_EQ(screen(2, 0), kBlack);
  EXPECT_EQ(screen(0, 2), kBlack);
  EXPECT_EQ(screen(59, 23), kBlack);
}

TEST_F(InverseStyle, TheStyleShadesItsOwnFaceColours) {
  b.setHoverColorLocks(3);
  b.setHoverBackColor(0x0080FF);
  b.setBackColor(0x404040);
  EXPECT_EQ(in.FaceColor(), 0x5F5F5F);         // the back colour lightened by 31
  EXPECT_EQ(in.PressedFaceColor(), 0x717170);  // grey darkened by 16
  EXPECT_EQ(in.CheckedFaceColor(), 0x8B9190);  // grey lightened by 16, blue scaled
  EXPECT_EQ(in.HoverFaceColor(), 0x1FA0FF);    // the hover back colour lightened by 31
  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  EXPECT_EQ(in.buffer(30, 12), 0x1FA0FFu);
  // Another style keeps the colours as they are.
  b.setButtonStyle(6);
  EXPECT_EQ(in.FaceColor(), 0x404040);
  EXPECT_EQ(in.HoverFaceColor(), 0x0080FF);
}

TEST_F(InverseStyle, PressedTheFaceIsDarkGreyAndTheBevelInShadesOfGrey) {
  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  save("inverse-pressed");
  EXPECT_EQ(in.buffer(30, 12), kPressedFace);
  expectBevel(kPushedWhite, kGrey, kPushedLight, kPushedDark);
  expectCorners(kPushedWhite, kGrey, kPushedLight, kPushedDark);

  // Dragged off while held: the normal look again.
  in.StateFlags() = kPressed;
  b.Refresh();
  save("inverse-pressed-out");
  expectBevel(kWhite, kFace, kLightRing, kDarkRing);
  EXPECT_EQ(in.buffer(30, 12), kFace);
}

TEST_F(InverseStyle, PressedTheCaptionTakesTheLightFaceColourOnePixelFurther) {
  b.setCaption("Ok");
  b.Refresh();
  const RECT area{4, 4, 57, 21};  // inside the corner pixels
  const RECT up = inkBox(kBlack, area);
  ASSERT_FALSE(IsRectEmpty(&up));
  in.StateFlags() = kPressed | kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("inverse-caption-pressed");
  const RECT down = inkBox(kFace, area);
  EXPECT_EQ(down.left, up.left + 1);
  EXPECT_EQ(down.top, up.top + 1);
  EXPECT_EQ(down.right, up.right + 1);
  EXPECT_EQ(down.bottom, up.bottom + 1);
  EXPECT_FALSE(inked(kBlack, area));
}

TEST_F(InverseStyle, AGradientFaceKeepsItsColoursWhilePressedAndShadesTheBevelFromTheFace) {
  b.setCaption("Ok");
  b.setGradientColor(0x800000);
  b.setGradientMode(3);
  in.StateFlags() = kPressed | kPointerOver;
  b.Refresh();
  save("inverse-gradient-pressed");
  // Top to bottom from the face towards the gradient colour lightened by 31 (0xA01F1F).
  EXPECT_EQ(in.buffer(30, 3), in.buffer(20, 3));
  EXPECT_LT(GetRValue(in.buffer(30, 20)), GetRValue(in.buffer(30, 4)));
  // Bevel: face less 32, the face, less 64, less 16.
  expectBevel(0xC1C1BF, kFace, 0xA1A19F, 0xD1D1CF);
  // Over a gradient the caption keeps the fore colour, pushed in.
  EXPECT_TRUE(inked(kBlack, RECT{4, 4, 57, 21}));
}

TEST_F(InverseStyle, ASetCheckButtonShowsALightCaptionOnTheSetFaceAndASolidMarkAroundIt) {
  b.setCaption("Ok");
  b.setMode(1);
  b.setValue(-1);
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("inverse-set-default");
  EXPECT_EQ(in.buffer(30, 3), kSetFace);
  // Sampled beside the mark: around MS Sans Serif's 13-pixel cell it reaches the inner ring.
  expectBevel(kPushedWhite, kGrey, kPushedLight, kPushedDark, 10);
  const RECT area{4, 4, 57, 21};  // inside the corner pixels
  ASSERT_TRUE(inked(kFace, area));
  // The solid mark in grey less 32, one pixel further while set.
  const RECT mark = aroundCaption(1);
  expectOutline(RECT{mark.left, mark.top, mark.right - 1, mark.bottom - 1}, kPushedWhite);
  const int mx = (mark.left + mark.right) / 2;
  EXPECT_EQ(in.buffer(mx, mark.top - 1), kSetFace);

  // Unset, the default button's mark is dotted round the caption in its place.
  b.setValue(0);
  const RECT dots = aroundCaption(0);
  expectDottedRow(dots.top, dots.left, dots.right, kFace);
  expectDottedRow(dots.bottom - 1, dots.left, dots.right, kFace);
  EXPECT_EQ(in.buffer(mx, dots.top - 1), kFace);
}

TEST_F(InverseStyle, AHoverColourEqualToTheCaptionColourChangesNothingAndSurvivesThePaint) {
  b.setCaption("Ok");
  b.setForeColor(0x0000FF);
  ASSERT_EQ(b.HoverForeColor(), 0x0000FFu);  // the lock keeps them together
  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  b.Refresh();
  save("inverse-hover");
  const RECT area{4, 4, 57, 21};  // inside the corner pixels
  EXPECT_TRUE(inked(0x0000FF, area));
  EXPECT_EQ(b.HoverForeColor(), 0x0000FFu);
}

TEST_F(InverseStyle, ASetButtonUnderThePointerKeepsItsLightCaptionWhateverTheHoverColour) {
  b.setCaption("Ok");
  b.setHoverColorLocks(3);
  b.setHoverForeColor(0x00C000);
  b.setMode(1);
  in.StateFlags() = kPointerOver;
  in.Hovering() = -1;
  const RECT area{4, 4, 57, 21};  // inside the corner pixels

  // Unset, the hover colour shows.
  b.Refresh();
  EXPECT_TRUE(inked(0x00C000, area));

  b.setValue(-1);
  b.Refresh();
  save("inverse-set-hover");
  EXPECT_FALSE(inked(0x00C000, area));
  EXPECT_TRUE(inked(kFace, area));
  EXPECT_EQ(b.HoverForeColor(), 0x00C000u);
}

TEST_F(InverseStyle, DisabledCheckButtonsGreyTheirCaptionOrDarkenTheSetFaceForIt) {
  b.setCaption("Ok");
  b.setMode(1);
  b.setEnabled(0);
  b.Refresh();
  save("inverse-disabled-check");
  const RECT area{4, 4, 57, 21};  // inside the corner pixels
  EXPECT_TRUE(inked(kGrey, area));
  EXPECT_FALSE(inked(kWhite, area));  // one pass, not etched

  b.setValue(-1);
  b.Refresh();
  save("inverse-disabled-set");
  // The set face darkened by 32, blue scaled.
  EXPECT_TRUE(inked(0x757270, area));
  EXPECT_FALSE(inked(kFace, area));
}

TEST_F(InverseStyle, ASlantedButtonMarksItsFocusInTheFaceDarkenedBy64AndRoundsOnlyItsSquareSide) {
  b.setButtonShape(1);
  sizeInPixels(b, 80, 25);
  ASSERT_NE(in.LeftSlantWidth(), 0);
  ASSERT_EQ(in.RightSlantStart(), 80);
  in.StateFlags() = kDefaultFrame;
  b.Refresh();
  save("inverse-slant-default");
  EXPECT_EQ(in.buffer(40, 4), 0xA1A19Fu);
  EXPECT_EQ(in.buffer(75, 12), 0xA1A19Fu);
  EXPECT_EQ(in.buffer(78, 1), kBlack);
  EXPECT_EQ(in.buffer(77, 1), kFace);
  EXPECT_EQ(in.buffer(77, 22), kDarkRing);
  EXPECT_EQ(in.buffer(78, 23), kBlack);
  EXPECT_EQ(in.buffer(76, 21), kFace);
}

TEST_F(InverseStyle, TinyButtonsPaintNothingOutsideThemselves) { paintTinyButtons(); }

}  // namespace
