// Size changes and the end of a button: the buffer, region and layout follow every resize (only
// the buffer while drawing is delayed), and a button that goes gives back every GDI object it
// made, whatever shapes, sizes and pictures it went through.
#include <gtest/gtest.h>

#include <windows.h>

#include "GeometryFixture.h"

#include <memory>

using geomtest::ButtonWindow;
using geomtest::gdiCount;
using geomtest::sizeButton;
using geomtest::windowRegionIs;
using geomtest::windowRegionOf;

namespace {

SIZE bufferSize(ztButtonsInspector& in) {
  BITMAP bm{};
  GetObjectA(GetCurrentObject(in.BufferDC(), OBJ_BITMAP), sizeof bm, &bm);
  return SIZE{bm.bmWidth, bm.bmHeight};
}

PictureRef keyedPicture(int w, int h) {
  return geomtest::bitmapPicture(w, h, [](int x, int y) {
    return (x + y) % 5 == 0 ? RGB(255, 0, 255) : RGB(0, 0, 200);
  });
}

}  // namespace

TEST(ButtonResize, AResizeRebuildsBufferRegionAndLayout) {
  ButtonWindow window;
  window.Load();
  ztButtons_H& b = window.Button1;
  ztButtonsInspector in(b);
  b.setCaptionAlign(1);
  sizeButton(b, 100, 30);
  EXPECT_EQ(bufferSize(in).cx, 100);
  EXPECT_EQ(bufferSize(in).cy, 30);
  EXPECT_TRUE(windowRegionIs(b, "0,0,101,31")) << windowRegionOf(b);
  EXPECT_EQ(in.CaptionRect().right, 96);

  sizeButton(b, 150, 40);
  EXPECT_EQ(bufferSize(in).cx, 150);
  EXPECT_EQ(bufferSize(in).cy, 40);
  EXPECT_TRUE(windowRegionIs(b, "0,0,151,41")) << windowRegionOf(b);
  EXPECT_EQ(in.CaptionRect().right, 146);
  EXPECT_EQ(in.RightSlantStart(), 150);
}

TEST(ButtonResize, WhileDrawingIsDelayedOnlyTheBufferFollows) {
  ButtonWindow window;
  window.Load();
  ztButtons_H& b = window.Button1;
  ztButtonsInspector in(b);
  b.setCaptionAlign(1);
  sizeButton(b, 100, 30);
  b.DelayDrawing(vbTrue);
  sizeButton(b, 150, 40);
  EXPECT_EQ(bufferSize(in).cx, 150);
  EXPECT_EQ(bufferSize(in).cy, 40);
  EXPECT_TRUE(windowRegionIs(b, "0,0,101,31")) << windowRegionOf(b);
  EXPECT_EQ(in.CaptionRect().right, 96);
  // A refresh paints with the new buffer but keeps the old region and layout.
  b.Refresh();
  EXPECT_EQ(in.DrawingDelayed(), 0);
  EXPECT_TRUE(windowRegionIs(b, "0,0,101,31")) << windowRegionOf(b);
  EXPECT_EQ(in.CaptionRect().right, 96);
  // The next resize rebuilds them.
  sizeButton(b, 160, 40);
  EXPECT_TRUE(windowRegionIs(b, "0,0,161,41")) << windowRegionOf(b);
  EXPECT_EQ(in.CaptionRect().right, 156);
}

TEST(ButtonResize, TerminateReleasesEverythingAndStopsTheHoverTimer) {
  ButtonWindow window;
  window.Load();
  ztButtons_H& b = window.Button1;
  ztButtonsInspector in(b);
  b.setPicture(keyedPicture(20, 10));
  sizeButton(b, 40, 20);
  b.setButtonShape(8);
  ASSERT_NE(in.OuterClipRegion(), nullptr);
  ASSERT_NE(in.ScaledPicture(), nullptr);
  SetTimer(b.hwnd(), 237, 50, nullptr);
  in.Hovering() = vbTrue;

  b.UserControl_Terminate();
  EXPECT_EQ(KillTimer(b.hwnd(), 237), FALSE);  // already stopped
  EXPECT_EQ(in.BufferDC(), nullptr);
  EXPECT_EQ(in.OldBitmap(), nullptr);
  EXPECT_EQ(in.OuterClipRegion(), nullptr);
  EXPECT_EQ(in.InnerClipRegion(), nullptr);
  EXPECT_EQ(in.ScaledPicture(), nullptr);
  // A second end (the window unloading) finds nothing left to release.
  b.UserControl_Terminate();
}

TEST(ButtonResize, AButtonGivesBackEveryGdiObjectAcrossResizesShapesAndPictures) {
  const DWORD before = gdiCount();
  {
    ButtonWindow window;
    window.Load();
    ztButtons_H& b = window.Button1;
    ztButtonsInspector in(b);
    const DWORD loaded = gdiCount();
    for (int32_t style = 0; style <= 7; ++style) {
      b.setButtonStyle(style);
      for (int32_t shape : {0, 1, 2, 3, 4, 5, 6}) {
        b.setButtonShape(shape);
        sizeButton(b, 60 + shape, 25 + style);
      }
    }
    b.setButtonShape(0);
    b.setButtonStyle(0);
    sizeButton(b, 81, 33);
    // Everything made on the way was released again (the buffer DC, its bitmap, pen, brush and
    // font, and the window region are the same number of objects as before).
    EXPECT_EQ(gdiCount(), loaded);

    b.setPicture(keyedPicture(30, 15));
    for (int32_t size : {0, 1, 2, 3, 4}) {
      b.setPictureSize(size);
      sizeButton(b, 70, 30);
    }
    b.setButtonShape(7);
    sizeButton(b, 90, 40);
    b.setButtonShape(8);
    b.setPicture(geomtest::iconPicture(16, RGB(255, 0, 0), [](int x, int) { return x > 4; }));
    b.setPicture(keyedPicture(12, 12));
    b.setButtonShape(4);
    b.setPicture(nullptr);
    window.Unload();
  }
  EXPECT_EQ(gdiCount(), before);
}

TEST(ButtonResize, AnySizeFromNothingToVeryLargeIsSafe) {
  const DWORD before = gdiCount();
  {
    ButtonWindow window;
    window.Load();
    ztButtons_H& b = window.Button1;
    b.setPicture(keyedPicture(16, 16));
    const SIZE small[] = {{0, 0}, {1, 1}, {2, 2}, {3, 7}, {7, 3}, {0, 50}, {50, 0}};
    for (int32_t shape = 0; shape <= 8; ++shape) {
      for (int32_t pictureSize : {0, 3, 4}) {
        b.setButtonShape(shape);
        if (shape < 7) b.setPictureSize(pictureSize);
        for (const SIZE& s : small) sizeButton(b, s.cx, s.cy);
      }
    }
    // The largest sizes with a small picture (a picture stretched over 4000 x 4000 pixels is
    // correct too, only slow to prepare and draw).
    b.setButtonShape(0);
    b.setPictureSize(0);
    const SIZE large[] = {{1, 4000}, {4000, 1}, {4000, 4000}};
    for (int32_t shape = 0; shape <= 6; ++shape) {
      b.setButtonShape(shape);
      for (const SIZE& s : large) {
        sizeButton(b, s.cx, s.cy);
        EXPECT_GE(b.UserControl.ScaleWidth(), static_cast<float>(s.cx)) << shape;
      }
    }
    // A picture-shaped button fitted to 1500 x 1500 (one transparent pixel, so the outline stays
    // a simple region; the picture is drawn over all of it on every paint, which takes seconds
    // at 4000 x 4000 in an unoptimised build).
    b.setPicture(geomtest::bitmapPicture(16, 16, [](int x, int y) {
      return x == 0 && y == 0 ? RGB(255, 0, 255) : RGB(0, 0, 200);
    }));
    sizeButton(b, 100, 100);
    b.setButtonShape(8);
    sizeButton(b, 1500, 1500);
    EXPECT_EQ(b.UserControl.ScaleWidth(), 1500.0f);
    sizeButton(b, 0, 0);
    window.Unload();
  }
  EXPECT_EQ(gdiCount(), before);
}
