// Painting a window: its background, its windowless controls, and the retained image that keeps
// what the program drew while AutoRedraw is on.
#include "framework/Form.h"

#include <algorithm>

HDC Form::hDC() const { return autoRedraw_ && imageDC_ ? imageDC_ : windowDC_; }

void Form::rebuildImage() {
  if (!hwnd_ || !windowDC_) return;
  RECT r;
  GetClientRect(hwnd_, &r);
  int w = std::max<LONG>(1, r.right), h = std::max<LONG>(1, r.bottom);
  HDC dc = CreateCompatibleDC(windowDC_);
  HBITMAP bm = CreateCompatibleBitmap(windowDC_, w, h);
  HGDIOBJ old = SelectObject(dc, bm);
  RECT all{0, 0, w, h};
  HBRUSH brush = CreateSolidBrush(TranslateOleColor(backColor_));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  if (imageDC_) {
    BitBlt(dc, 0, 0, w, h, imageDC_, 0, 0, SRCCOPY);
    releaseImage();
  }
  imageDC_ = dc;
  imageBitmap_ = bm;
  imageOldBitmap_ = old;
}

void Form::releaseImage() {
  if (!imageDC_) return;
  SelectObject(imageDC_, imageOldBitmap_);
  DeleteObject(imageBitmap_);
  DeleteDC(imageDC_);
  imageDC_ = nullptr;
  imageBitmap_ = nullptr;
  imageOldBitmap_ = nullptr;
}

void Form::setAutoRedraw(bool on) {
  if (on == autoRedraw_) return;
  autoRedraw_ = on;
  if (!hwnd_) return;
  if (on) {
    rebuildImage();
  } else if (imageDC_ && windowDC_) {
    // What was drawn into the image is what the window shows from now on.
    RECT r;
    GetClientRect(hwnd_, &r);
    BitBlt(windowDC_, 0, 0, r.right, r.bottom, imageDC_, 0, 0, SRCCOPY);
  }
}

void Form::Refresh() {
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

void Form::Cls() {
  HDC dc = hDC();
  if (!dc) return;
  RECT r;
  GetClientRect(hwnd_, &r);
  HBRUSH brush = CreateSolidBrush(TranslateOleColor(backColor_));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Form::paint(HDC dc, const RECT& area) {
  if (imageDC_) {
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, imageDC_,
           area.left, area.top, SRCCOPY);
  } else {
    HBRUSH brush = CreateSolidBrush(TranslateOleColor(backColor_));
    FillRect(dc, &area, brush);
    DeleteObject(brush);
  }
  for (Control* c : controls_)
    if (c->isWindowless() && c->Visible()) c->paintWindowless(dc);
  if (!autoRedraw_) Form_Paint();
}
