// Pictures on the button: the key colour and its tolerance, the transparent draw and its
// shrinking into a smaller destination, icons with their own mask, the grey look of a disabled
// button, and places with no area.
#include <gtest/gtest.h>

#include <windows.h>

#include "GeometryFixture.h"

#include <functional>

using geomtest::ButtonWindow;
using geomtest::Canvas;
using geomtest::sizeButton;

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr COLORREF kFace = RGB(192, 192, 192);

class PictureRendering : public testing::Test {
 protected:
  void SetUp() override {
    window.Load();
    sizeButton(b, 100, 30);
    b.setCaption("");
  }
  void fillBuffer(COLORREF c) {
    RECT all{0, 0, 100, 30};
    HBRUSH brush = CreateSolidBrush(c);
    FillRect(in.BufferDC(), &all, brush);
    DeleteObject(brush);
  }
  COLORREF at(int x, int y) { return GetPixel(in.BufferDC(), x, y); }
  ButtonWindow window;
  ztButtons_H& b = window.Button1;
  ztButtonsInspector in{b};
};

// A w x h screen-compatible bitmap whose pixel (x, y) is colour(x, y); the caller deletes it.
HBITMAP deviceBitmap(int w, int h, const std::function<COLORREF(int, int)>& colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  ReleaseDC(nullptr, screen);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bmp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) SetPixel(dc, x, y, colour(x, y));
  SelectObject(dc, old);
  DeleteDC(dc);
  return bmp;
}

}  // namespace

TEST_F(PictureRendering, ADrawingTooLargeForItsDestinationShrinksToTheTopLeft) {
  // 40 x 40: left half key, right half red; drawn at 40 x 40 into a 20 x 30 destination.
  HBITMAP bmp = deviceBitmap(40, 40, [](int x, int) { return x < 20 ? kKey : kRed; });
  in.ScaledPictureWidth() = 40;
  in.ScaledPictureHeight() = 40;
  Canvas dest(30, 40, kGreen);
  RECT destRect{5, 5, 25, 35};
  RECT source{0, 0, 0, 0};
  int32_t dw = 40, dh = 40;
  in.DrawTransparentBitmap(dest.dc(), destRect, bmp, source, dw, dh);
  // Ratio min(20/40, 30/40) = 0.5: 20 x 20 at the destination's top left.
  EXPECT_EQ(dw, 20);
  EXPECT_EQ(dh, 20);
  EXPECT_EQ(source.right, 40);
  EXPECT_EQ(source.bottom, 40);
  for (int y = 5; y < 25; ++y) {
    for (int x = 5; x < 14; ++x) EXPECT_EQ(GetPixel(dest.dc(), x, y), kGreen) << x << "," << y;
    for (int x = 16; x < 25; ++x) EXPECT_EQ(GetPixel(dest.dc(), x, y), kRed) << x << "," << y;
  }
  // The lower 10 rows keep the background, and nothing outside the destination changes.
  for (int y = 25; y < 35; ++y)
    for (int x = 5; x < 25; ++x) EXPECT_EQ(GetPixel(dest.dc(), x, y), kGreen) << x << "," << y;
  for (int x = 0; x < 30; ++x) {
    EXPECT_EQ(GetPixel(dest.dc(), x, 4), kGreen);
    EXPECT_EQ(GetPixel(dest.dc(), x, 35), kGreen);
  }
  for (int y = 0; y < 40; ++y) EXPECT_EQ(GetPixel(dest.dc(), 25, y), kGreen);
  DeleteObject(bmp);
}

TEST_F(PictureRendering, OnlyTheExactKeyIsTransparentAndOpaqueColoursSurvive) {
  HBITMAP bmp = deviceBitmap(4, 1, [](int x, int) {
    const COLORREF row[] = {kKey, RGB(254, 0, 255), kBlue, kKey};
    return row[x];
  });
  in.ScaledPictureWidth() = 4;
  in.ScaledPictureHeight() = 1;
  Canvas dest(4, 1, kGreen);
  RECT destRect{0, 0, 4, 1};
  RECT source{0, 0, 0, 0};
  int32_t dw = 4, dh = 1;
  in.DrawTransparentBitmap(dest.dc(), destRect, bmp, source, dw, dh);
  EXPECT_EQ(GetPixel(dest.dc(), 0, 0), kGreen);
  EXPECT_EQ(GetPixel(dest.dc(), 1, 0), RGB(254, 0, 255));
  EXPECT_EQ(GetPixel(dest.dc(), 2, 0), kBlue);
  EXPECT_EQ(GetPixel(dest.dc(), 3, 0), kGreen);
  DeleteObject(bmp);
}

TEST_F(PictureRendering, ColoursWithinThreeOfTheKeyBecomeTheKey) {
  const COLORREF key = RGB(250, 0, 250);
  b.setPicture(geomtest::bitmapPicture(10, 10, [&](int x, int y) {
    if (x == 0 && y == 0) return key;
    if (x == 3 && y == 3) return RGB(246, 0, 250);  // 4 away in red: stays
    if (x == 5 && y == 5) return RGB(253, 3, 247);  // 3 away in every channel: becomes the key
    return kBlue;
  }));
  HRGN none = nullptr;
  in.PrepareScaledPicture(10, 10, none);
  ASSERT_NE(in.ScaledPicture(), nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, in.ScaledPicture());
  EXPECT_EQ(GetPixel(dc, 0, 0), key);
  EXPECT_EQ(GetPixel(dc, 5, 5), key);
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(246, 0, 250));
  EXPECT_EQ(GetPixel(dc, 4, 4), kBlue);
  SelectObject(dc, old);
  DeleteDC(dc);

  // Drawn, the snapped pixel is transparent and the one 4 away is not.
  fillBuffer(kGreen);
  RECT r{20, 10, 30, 20};
  in.DrawButtonPicture(r);
  EXPECT_EQ(at(20, 10), kGreen);
  EXPECT_EQ(at(25, 15), kGreen);
  EXPECT_EQ(at(23, 13), RGB(246, 0, 250));
  EXPECT_EQ(at(24, 14), kBlue);
  EXPECT_EQ(at(19, 14), kGreen);
  EXPECT_EQ(at(30, 14), kGreen);
}

TEST_F(PictureRendering, IconsAreDrawnWithTheirOwnMaskAtTheFullSizeOfThePlace) {
  b.setPicture(geomtest::iconPicture(16, kRed, [](int x, int) { return x >= 8; }));
  EXPECT_EQ(in.PictureIsIcon(), 1);
  fillBuffer(kGreen);
  RECT r{10, 5, 26, 21};
  in.DrawButtonPicture(r);
  EXPECT_EQ(at(12, 10), kGreen);
  EXPECT_EQ(at(17, 10), kGreen);
  EXPECT_EQ(at(18, 10), kRed);
  EXPECT_EQ(at(25, 20), kRed);
  EXPECT_EQ(at(26, 20), kGreen);
  // Icons never get a scaled copy.
  EXPECT_EQ(in.ScaledPicture(), nullptr);

  // Stretched to 32 x 24: the opaque half is the right 16 columns.
  fillBuffer(kGreen);
  RECT big{0, 0, 32, 24};
  in.DrawButtonPicture(big);
  EXPECT_EQ(at(14, 12), kGreen);
  EXPECT_EQ(at(17, 12), kRed);
  EXPECT_EQ(at(31, 23), kRed);
  EXPECT_EQ(at(31, 24), kGreen);
}

TEST_F(PictureRendering, ADisabledButtonDrawsBlackAsGreyAndLetsWhiteDisappear) {
  // Key column 0, black columns 1 to 4, white columns 5 to 9.
  b.setPicture(geomtest::bitmapPicture(10, 10, [](int x, int) {
    return x == 0 ? kKey : (x < 5 ? RGB(0, 0, 0) : RGB(255, 255, 255));
  }));
  HRGN none = nullptr;
  in.PrepareScaledPicture(10, 10, none);

  fillBuffer(kFace);
  RECT r{10, 5, 20, 15};
  in.DrawButtonPicture(r);
  EXPECT_EQ(at(10, 8), kFace);
  EXPECT_EQ(at(12, 8), RGB(0, 0, 0));
  EXPECT_EQ(at(17, 8), RGB(255, 255, 255));

  b.setEnabled(vbFalse);
  fillBuffer(kFace);
  const COLORREF backBefore = GetBkColor(in.BufferDC());
  HGDIOBJ brushBefore = GetCurrentObject(in.BufferDC(), OBJ_BRUSH);
  RECT again{10, 5, 20, 15};
  in.DrawButtonPicture(again);
  EXPECT_EQ(at(10, 8), kFace);
  EXPECT_EQ(at(12, 8), RGB(0x80, 0x80, 0x80));
  EXPECT_EQ(at(17, 8), kFace);
  EXPECT_EQ(at(9, 8), kFace);
  EXPECT_EQ(at(20, 8), kFace);
  // The buffer's own brush and background colour are back.
  EXPECT_EQ(GetBkColor(in.BufferDC()), backBefore);
  EXPECT_EQ(GetCurrentObject(in.BufferDC(), OBJ_BRUSH), brushBefore);
}

TEST_F(PictureRendering, ADisabledIconIsGreyedToo) {
  b.setPicture(geomtest::iconPicture(16, RGB(0, 0, 0), [](int x, int) { return x >= 8; }));
  b.setEnabled(vbFalse);
  fillBuffer(kFace);
  RECT r{10, 5, 26, 21};
  in.DrawButtonPicture(r);
  EXPECT_EQ(at(12, 10), kFace);
  EXPECT_EQ(at(20, 10), RGB(0x80, 0x80, 0x80));
}

TEST_F(PictureRendering, APictureShapedButtonDrawsOverItsWholeClientAreaAndOnePixelInWhilePressed) {
  b.setPicture(geomtest::bitmapPicture(20, 10, [](int x, int y) { return x == 0 && y == 0 ? kKey : kBlue; }));
  sizeButton(b, 20, 10);
  b.setButtonShape(7);
  RECT all{0, 0, 20, 10};
  HBRUSH green = CreateSolidBrush(kGreen);
  SelectClipRgn(in.BufferDC(), nullptr);
  FillRect(in.BufferDC(), &all, green);
  RECT r{5, 5, 6, 6};  // replaced by the whole client area
  in.DrawButtonPicture(r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.right, 20);
  EXPECT_EQ(at(0, 5), kBlue);
  EXPECT_EQ(at(19, 9), kBlue);

  FillRect(in.BufferDC(), &all, green);
  in.StateFlags() = ztButtons_H::Pressed | ztButtons_H::PointerOver;
  RECT pressed{0, 0, 0, 0};
  in.DrawButtonPicture(pressed);
  EXPECT_EQ(pressed.left, 1);
  EXPECT_EQ(pressed.bottom, 9);
  EXPECT_EQ(at(0, 5), kGreen);
  EXPECT_EQ(at(1, 5), kBlue);
  EXPECT_EQ(at(18, 8), kBlue);
  EXPECT_EQ(at(19, 5), kGreen);
  in.StateFlags() = 0;
  DeleteObject(green);
}

TEST_F(PictureRendering, APlaceWithoutAreaDrawsNothing) {
  for (bool icon : {false, true}) {
    if (icon)
      b.setPicture(geomtest::iconPicture(16, kRed, [](int, int) { return true; }));
    else
      b.setPicture(geomtest::bitmapPicture(16, 16, [](int, int) { return kRed; }));
    fillBuffer(kGreen);
    for (RECT r : {RECT{5, 5, 5, 20}, RECT{5, 5, 20, 5}, RECT{20, 20, 5, 5}}) {
      in.DrawButtonPicture(r);
      for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 40; x += 3) ASSERT_EQ(at(x, y), kGreen) << (icon ? "icon " : "bitmap ") << x << "," << y;
    }
  }
}

TEST_F(PictureRendering, WithoutAPictureNothingIsPreparedOrDrawn) {
  HRGN none = nullptr;
  in.PrepareScaledPicture(10, 10, none);
  EXPECT_EQ(in.ScaledPicture(), nullptr);
  fillBuffer(kGreen);
  RECT r{0, 0, 20, 20};
  in.DrawButtonPicture(r);
  EXPECT_EQ(at(10, 10), kGreen);
  // Removing the picture releases its scaled copy.
  b.setPicture(geomtest::bitmapPicture(8, 8, [](int, int) { return kRed; }));
  EXPECT_NE(in.ScaledPicture(), nullptr);
  b.setPicture(nullptr);
  EXPECT_EQ(in.ScaledPicture(), nullptr);
}
