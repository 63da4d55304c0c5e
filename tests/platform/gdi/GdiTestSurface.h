// A memory DC with its own bitmap for the GDI tests; gives both back when it goes.
#pragma once

#include <windows.h>

class TestSurface {
 public:
  // bpp 32 makes a colour bitmap, 1 a monochrome one.
  TestSurface(int width, int height, int bpp = 32)
      : dc_(CreateCompatibleDC(nullptr)),
        bitmap_(CreateBitmap(width, height, 1, static_cast<UINT>(bpp), nullptr)) {
    old_ = SelectObject(dc_, bitmap_);
  }
  // Takes ownership of an existing bitmap (a DIB section, a copy ...).
  explicit TestSurface(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), bitmap_(bitmap) {
    old_ = SelectObject(dc_, bitmap_);
  }
  ~TestSurface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TestSurface(const TestSurface&) = delete;
  TestSurface& operator=(const TestSurface&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  void fill(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ old = SelectObject(dc_, brush);
    BITMAP bm{};
    GetObjectA(bitmap_, sizeof bm, &bm);
    PatBlt(dc_, 0, 0, bm.bmWidth, bm.bmHeight, PATCOPY);
    SelectObject(dc_, old);
    DeleteObject(brush);
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};
