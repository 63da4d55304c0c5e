#include <gtest/gtest.h>

#include <windows.h>

#include "StyleFixture.h"

#include <climits>
#include <string>

using namespace painttest;

namespace {

// A 40 x 20 bitmap picture: a filled disc on a magenta key colour, for the picture shapes.
PictureRef discPicture() {
  PictureRef picture = buttontest::bitmapPicture(40, 20);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture->Handle());
  RECT all{0, 0, 40, 20};
  HBRUSH key = CreateSolidBrush(0xFF00FF);
  FillRect(dc, &all, key);
  DeleteObject(key);
  HBRUSH disc = CreateSolidBrush(0x2080E0);
  HGDIOBJ oldBrush = SelectObject(dc, disc);
  Ellipse(dc, 2, 2, 38, 18);
  SelectObject(dc, oldBrush);
  DeleteObject(disc);
  SelectObject(dc, old);
  DeleteDC(dc);
  return picture;
}

// One of the looks a button can be asked to paint in, besides its style, shape and state.
void applyVariant(ztButtons_H& b, int variant) {
  b.setGradientMode(variant == 5 ? 1 : 0);
  b.setEnabled(variant == 4 ? 0 : -1);
  b.setMode(variant == 0 || variant == 4 || variant == 5 ? 0 : variant == 3 ? 2 : 1);
  if (b.Mode() != 0) b.setValue(variant == 1 ? 0 : -1);
}

// Paints through five interaction states, eight styles, nine shapes and six variants (command,
// check unset and set, option set, disabled, gradient), the states changing fastest, count times.
// The picture, which the picture shapes need, is there only for them, so the other shapes are
// painted at the cost of a plain button.
void cycleThroughEveryLook(ztButtons_H& b, ztButtonsInspector& in, int count) {
  const int16_t states[] = {0, kDefaultFrame, kPointerOver, kPressed | kPointerOver, kPressed};
  const PictureRef picture = discPicture();
  for (int i = 0; i < count; ++i) {
    if (i % 5 == 0) b.setButtonStyle((i / 5) % 8);
    if (i % 40 == 0) {
      const int32_t shape = (i / 40) % 9;
      if (shape == ztButtons_H::ShapeRectangle) b.setPicture(nullptr);
      if (shape == ztButtons_H::ShapePictureFramed) b.setPicture(picture);
      b.setButtonShape(shape);
      ASSERT_EQ(b.ButtonShape(), shape);
      sizeInPixels(b, 61, 25);
    }
    if (i % 360 == 0) applyVariant(b, (i / 360) % 6);
    const int16_t state = states[i % 5];
    in.StateFlags() = state;
    in.Hovering() = (state & kPointerOver) ? -1 : 0;
    in.HeldDown() = (state & kPressed) ? -1 : 0;
    b.Refresh();
  }
  in.StateFlags() = 0;
  in.Hovering() = in.HeldDown() = 0;
  // Back to a plain rectangle, so that the button holds the same objects after every round.
  b.setButtonShape(0);
  b.setPicture(nullptr);
}

class EveryStyle : public StyleFixture {
 protected:
  EveryStyle() : StyleFixture(0, false) {}
};

class EveryStyleInDesigner : public StyleFixture {
 protected:
  EveryStyleInDesigner() : StyleFixture(0, true) {}
};

TEST_F(EveryStyle, TenThousandRepaintsInEveryStyleShapeAndStateKeepNoGdiObject) {
  b.setCaption("&Ok");
  b.setGradientColor(0xFF0000);
  // One round first: fonts and the buffer settle.
  cycleThroughEveryLook(b, in, 360);
  const long before = gdiObjects();
  cycleThroughEveryLook(b, in, 10000);
  EXPECT_EQ(gdiObjects(), before);
}

TEST_F(EveryStyleInDesigner, RepaintsInEveryStyleShapeAndStateKeepNoGdiObject) {
  b.setCaption("&Ok");
  cycleThroughEveryLook(b, in, 360);
  const long before = gdiObjects();
  cycleThroughEveryLook(b, in, 2160);
  EXPECT_EQ(gdiObjects(), before);
}

TEST_F(EveryStyle, EachAcceptedStylePaintsAndARefusedOneLeavesTheButtonAsItWas) {
  constexpr COLORREF kMarker = 0x00FF00;
  auto mark = [&] {
    RECT r{0, 0, 61, 25};
    HBRUSH brush = CreateSolidBrush(kMarker);
    FillRect(b.UserControl.hDC(), &r, brush);
    DeleteObject(brush);
  };
  for (int32_t style = 0; style <= 7; ++style) {
    mark();
    b.setButtonStyle(style);
    EXPECT_EQ(b.ButtonStyle(), style);
    EXPECT_NE(in.surface(30, 12), kMarker) << "style " << style;
    EXPECT_NE(in.surface(30, 0), kMarker) << "style " << style;
  }
  b.setButtonStyle(3);
  buttontest::takeChanged(b);
  const int32_t face = in.FaceColor(), pressedFace = in.PressedFaceColor();
  for (int32_t refused : {8, -1, 255, 65536 + 3, INT32_MAX, INT32_MIN}) {
    mark();
    b.setButtonStyle(refused);
    EXPECT_EQ(b.ButtonStyle(), 3) << refused;
    EXPECT_EQ(in.surface(30, 12), kMarker) << refused;
    EXPECT_EQ(in.FaceColor(), face);
    EXPECT_EQ(in.PressedFaceColor(), pressedFace);
    EXPECT_TRUE(buttontest::takeChanged(b).empty()) << refused;
  }
}

TEST_F(EveryStyle, TinyClassicButtonsPaintNothingOutsideThemselves) { paintTinyButtons(); }

TEST_F(EveryStyle, TinyRoundedButtonsPaintNothingOutsideThemselves) {
  b.setButtonStyle(2);
  paintTinyButtons();
}

}  // namespace
