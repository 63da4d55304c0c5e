// What the geometry tests share: a window holding one button, pictures made in memory, and region
// and pixel readers; access to the button's fields comes from the shared inspector.
#pragma once

#include <windows.h>

#include "button/ztButtons_H.h"
#include "../support/ztButtonsInspector.h"
#include "framework/App.h"
#include "framework/Form.h"
#include "framework/StdPicture.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace geomtest {

inline DWORD gdiCount() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

// A run-time window holding one button placed anew (no stored properties).
class ButtonWindow : public Form {
 public:
  ButtonWindow()
      : Form("Begin Form frmGeometry\n"
             "   ClientWidth = 9000\n"
             "   ClientHeight = 6000\n"
             "End\n") {}
  ~ButtonWindow() override {
    if (Loaded()) Unload();
  }
  ztButtons_H Button1{this, "Button1"};
};

// Gives the button a client area of w x h pixels.
inline void sizeButton(ztButtons_H& b, int w, int h) { b.Move(0, 0, w * 15, h * 15); }

// A w x h 32-bit top-down DIB section picture whose pixel (x, y) is colour(x, y).
inline PictureRef bitmapPicture(int w, int h, const std::function<COLORREF(int, int)>& colour) {
  BITMAPINFO bi;
  std::memset(&bi, 0, sizeof bi);
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* p = static_cast<uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = colour(x, y);
      p[y * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  return std::make_shared<StdPicture>(StdPicture::Kind::Bitmap, bmp, std::vector<uint8_t>{});
}

// A size x size icon: where opaque(x, y) it shows colour, elsewhere whatever lies beneath.
inline PictureRef iconPicture(int size, COLORREF colour, const std::function<bool(int, int)>& opaque) {
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateCompatibleBitmap(screen, size, size);
  ReleaseDC(nullptr, screen);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, color);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) SetPixel(dc, x, y, opaque(x, y) ? colour : 0x000000);
  SelectObject(dc, mask);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) SetPixel(dc, x, y, opaque(x, y) ? 0x000000 : 0xFFFFFF);
  SelectObject(dc, old);
  DeleteDC(dc);
  ICONINFO ii;
  std::memset(&ii, 0, sizeof ii);
  ii.fIcon = TRUE;
  ii.hbmColor = color;
  ii.hbmMask = mask;
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(color);
  DeleteObject(mask);
  return std::make_shared<StdPicture>(StdPicture::Kind::Icon, icon, std::vector<uint8_t>{});
}

// The rectangles of a region as "left,top,right,bottom" separated by spaces, in the region's
// own band order.
inline std::string rectsOf(HRGN region) {
  DWORD size = GetRegionData(region, 0, nullptr);
  if (size == 0) return "<none>";
  std::vector<unsigned char> buffer(size);
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(region, size, data) == 0) return "<error>";
  const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
  std::string out;
  for (DWORD i = 0; i < data->rdh.nCount; ++i) {
    if (!out.empty()) out += ' ';
    out += std::to_string(r[i].left) + "," + std::to_string(r[i].top) + "," + std::to_string(r[i].right) + "," +
           std::to_string(r[i].bottom);
  }
  return out;
}

// A region made of the rectangles "left,top,right,bottom ..." (the caller deletes it).
inline HRGN regionFrom(const std::string& rects) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  size_t at = 0;
  while (at < rects.size()) {
    long v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
      size_t used = 0;
      v[i] = std::stol(rects.substr(at), &used);
      at += used + 1;  // the number and its separator
    }
    HRGN part = CreateRectRgn(v[0], v[1], v[2], v[3]);
    CombineRgn(region, region, part, RGN_OR);
    DeleteObject(part);
  }
  return region;
}

// True when the region covers exactly the pixels of the rectangles listed.
inline bool sameArea(HRGN region, const std::string& rects) {
  HRGN expected = regionFrom(rects);
  bool same = EqualRgn(region, expected) != FALSE;
  DeleteObject(expected);
  return same;
}

// True when the button's window region covers exactly the pixels of the rectangles listed.
inline bool windowRegionIs(ztButtons_H& b, const std::string& rects) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  bool same = GetWindowRgn(b.hwnd(), r) != ERROR && sameArea(r, rects);
  DeleteObject(r);
  return same;
}

// The window region of a button, as rectangles.
inline std::string windowRegionOf(ztButtons_H& b) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  int kind = GetWindowRgn(b.hwnd(), r);
  std::string s = kind == ERROR ? "<no region>" : rectsOf(r);
  DeleteObject(r);
  return s;
}

inline bool windowRegionHas(ztButtons_H& b, int x, int y) {
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(b.hwnd(), r);
  bool in = PtInRegion(r, x, y) != FALSE;
  DeleteObject(r);
  return in;
}

// The bitmap selected into a memory DC, read pixel by pixel.
inline COLORREF pixel(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

// A memory DC holding a w x h colour bitmap filled with one colour; releases both when it goes.
class Canvas {
 public:
  Canvas(int w, int h, COLORREF fill) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT r{0, 0, w, h};
    FillRect(dc_, &r, brush);
    DeleteObject(brush);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

}  // namespace geomtest
