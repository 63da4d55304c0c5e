// The edge painted at the start of every face fill: which clip region it leaves selected in the
// buffer, how far it says the face lies inside, and what it draws.
#include <gtest/gtest.h>

#include <windows.h>

#include "GeometryFixture.h"

#include <string>

using geomtest::ButtonWindow;
using geomtest::sizeButton;

namespace {

constexpr COLORREF kFill = RGB(10, 20, 30);

class ShapeFrame : public testing::Test {
 protected:
  void SetUp() override { window.Load(); }
  void prepare(int32_t shape, int32_t style, int w = 20, int h = 10) {
    in.stored().ButtonShape = shape;
    in.stored().ButtonStyle = style;
    sizeButton(b, w, h);
    in.CreateButtonRegion();
    SelectClipRgn(in.BufferDC(), nullptr);
    RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(kFill);
    FillRect(in.BufferDC(), &all, brush);
    DeleteObject(brush);
  }
  // The clip region selected in the buffer, compared with the given one (null: no clipping).
  bool clippedTo(HRGN expected) {
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    const int has = GetClipRgn(in.BufferDC(), current);
    bool same = expected ? (has == 1 && EqualRgn(current, expected)) : has == 0;
    DeleteObject(current);
    return same;
  }
  COLORREF at(int x, int y) { return GetPixel(in.BufferDC(), x, y); }
  ButtonWindow window;
  ztButtons_H& b = window.Button1;
  ztButtonsInspector in{b};
};

}  // namespace

TEST_F(ShapeFrame, RectanglesAndSlantsHaveNoClipAndAnInsetOfThree) {
  for (int32_t shape : {0, 1, 2, 3}) {
    prepare(shape, 0, 100, 30);
    EXPECT_EQ(in.FrameShapedButton(), 3) << shape;
    EXPECT_TRUE(clippedTo(nullptr)) << shape;
    EXPECT_EQ(at(0, 0), kFill);
  }
}

TEST_F(ShapeFrame, ShadedEllipsesClipTheFaceOnePixelInside) {
  for (int32_t shape : {4, 5}) {
    prepare(shape, 0);
    EXPECT_EQ(in.FrameShapedButton(), 3);
    EXPECT_TRUE(clippedTo(in.OuterClipRegion()));
  }
}

TEST_F(ShapeFrame, APressedShadedEllipseGetsASunkenRingAndTheInnerClip) {
  prepare(4, 0);
  in.stored().GradientMode = 1;
  in.StateFlags() = ztButtons_H::Pressed | ztButtons_H::PointerOver;
  EXPECT_EQ(in.FrameShapedButton(), 4);
  EXPECT_TRUE(clippedTo(in.InnerClipRegion()));
  SelectClipRgn(in.BufferDC(), nullptr);  // pixels outside a clip region read as invalid
  // The ring is drawn inside the outer clip only: the corner keeps the fill, the top of the
  // ellipse turns dark grey (the sunken ring runs from grey at the top to white at the bottom).
  EXPECT_EQ(at(0, 0), kFill);
  EXPECT_NE(at(9, 1), kFill);
  EXPECT_LT(GetRValue(at(9, 1)), 0xA0);
  EXPECT_GT(GetRValue(at(9, 7)), GetRValue(at(9, 1)));
  // The gradient direction is the button's own again.
  EXPECT_EQ(in.stored().GradientMode, 1);

  // Pressed needs the pointer over it as well.
  prepare(4, 0);
  in.StateFlags() = ztButtons_H::Pressed;
  EXPECT_EQ(in.FrameShapedButton(), 3);
  EXPECT_EQ(at(9, 1), kFill);
}

TEST_F(ShapeFrame, TheBlackFramedEllipseFramesItselfOnlyWhileHovered) {
  prepare(6, 0);
  EXPECT_EQ(in.FrameShapedButton(), 1);
  EXPECT_TRUE(clippedTo(nullptr));
  EXPECT_EQ(at(5, 0), kFill);

  in.Hovering() = vbTrue;
  EXPECT_EQ(in.FrameShapedButton(), 3);
  EXPECT_TRUE(clippedTo(in.OuterClipRegion()));
  SelectClipRgn(in.BufferDC(), nullptr);
  // The window's outline: its top row runs from 5 to 13.
  EXPECT_EQ(at(5, 0), 0x000000u);
  EXPECT_EQ(at(13, 0), 0x000000u);
  EXPECT_EQ(at(4, 0), kFill);
  EXPECT_EQ(at(9, 5), kFill);
  in.Hovering() = vbFalse;
}

TEST_F(ShapeFrame, APictureFramedButtonFramesItsOutlineInTheBackColour) {
  b.setBackColor(RGB(200, 100, 50));
  b.setPicture(geomtest::bitmapPicture(20, 10, [](int x, int) { return x < 4 ? RGB(255, 0, 255) : RGB(0, 0, 200); }));
  sizeButton(b, 20, 10);
  b.setButtonShape(7);
  SelectClipRgn(in.BufferDC(), nullptr);
  RECT all{0, 0, 20, 10};
  HBRUSH brush = CreateSolidBrush(kFill);
  FillRect(in.BufferDC(), &all, brush);
  DeleteObject(brush);
  EXPECT_EQ(in.FrameShapedButton(), 3);
  EXPECT_TRUE(clippedTo(in.OuterClipRegion()));
  SelectClipRgn(in.BufferDC(), nullptr);
  EXPECT_EQ(at(4, 5), RGB(200, 100, 50));  // the outline's left edge
  EXPECT_EQ(at(19, 5), RGB(200, 100, 50));
  EXPECT_EQ(at(3, 5), kFill);
  EXPECT_EQ(at(10, 5), kFill);
}

TEST_F(ShapeFrame, TheHotTrackStyleShowsItsRingOnlyWhenTouched) {
  prepare(0, 5, 100, 30);
  EXPECT_EQ(in.FrameShapedButton(), 1);
  EXPECT_TRUE(clippedTo(nullptr));
  EXPECT_EQ(at(50, 0), kFill);

  // Hovering: a raised gradient over the whole buffer; a rectangle then takes the outer clip,
  // which is none, and the inset of 3.
  in.Hovering() = vbTrue;
  EXPECT_EQ(in.FrameShapedButton(), 3);
  EXPECT_TRUE(clippedTo(nullptr));
  EXPECT_EQ(at(50, 0), 0xFFFFFFu);
  in.Hovering() = vbFalse;

  // A set button with the framed ellipse: the raised ring and the inner clip, nothing more.
  b.setMode(1);
  prepare(6, 5);
  in.stored().Value = vbTrue;
  EXPECT_EQ(in.FrameShapedButton(), 4);
  EXPECT_TRUE(clippedTo(in.InnerClipRegion()));
  in.stored().Value = vbFalse;
}
