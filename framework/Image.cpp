#include "framework/Image.h"

#include "framework/Form.h"

void Image::setPicture(PictureRef p) { picture_ = std::move(p); invalidateWindowless(); }
void Image::setStretch(bool on) { stretch_ = on; invalidateWindowless(); }

bool Image::applyProperty(const std::string& k, const PropertyValue& v) {
  if (k == "picture") picture_ = v.toPicture();
  else if (k == "stretch") stretch_ = v.toBool();
  else return Control::applyProperty(k, v);
  return true;
}

void Image::saveProperties(DescriptionBlock& b) const {
  Control::saveProperties(b);
  if (stretch_) b.set("Stretch", PropertyValue(VbBoolean(true)));
  if (picture_) b.set("Picture", PropertyValue(picture_));
}

void Image::paintWindowless(HDC dc) {
  if (!picture_) return;
  RECT r = pixelRect();
  int boxW = r.right - r.left, boxH = r.bottom - r.top;
  int picW = picture_->widthPixels(), picH = picture_->heightPixels();
  // Without stretching the picture shows at its own size, cut to the control.
  int w = stretch_ ? boxW : (picW < boxW ? picW : boxW);
  int h = stretch_ ? boxH : (picH < boxH ? picH : boxH);
  if (w <= 0 || h <= 0) return;
  if (picture_->Type() == vbPicTypeBitmap) {
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, picture_->Handle());
    if (stretch_) {
      int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, r.left, r.top, w, h, mem, 0, 0, picW, picH, SRCCOPY);
      SetStretchBltMode(dc, oldMode);
    } else {
      BitBlt(dc, r.left, r.top, w, h, mem, 0, 0, SRCCOPY);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
  } else {
    DrawIconEx(dc, r.left, r.top, static_cast<HICON>(picture_->Handle()), stretch_ ? w : 0,
               stretch_ ? h : 0, 0, nullptr, DI_NORMAL);
  }
}

void Image::windowlessMouse(UINT msg, WPARAM, POINT p) {
  if (msg != WM_LBUTTONUP) return;
  RECT r = pixelRect();
  if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) Click.raise();
}
