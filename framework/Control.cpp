#include "framework/Control.h"

#include "framework/Form.h"

#include <cctype>
#include <cmath>

COLORREF TranslateOleColor(OLE_COLOR color) {
  if ((color & 0xFF000000u) == 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFFu;
}

char AccessKeyOf(const std::string& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
  }
  return 0;
}

Control::Control(Form* owner, std::string name, std::string kind)
    : owner_(owner), name_(std::move(name)), kind_(std::move(kind)) {
  if (owner_) owner_->registerControl(this);
}

Control::~Control() {
  if (owner_) owner_->unregisterControl(this);
}

LONG TwipsToPixels(int32_t twips) {
  return static_cast<LONG>(std::nearbyint(twips / 15.0));
}

RECT Control::pixelRect() const {
  RECT r;
  r.left = TwipsToPixels(left_);
  r.top = TwipsToPixels(top_);
  r.right = r.left + TwipsToPixels(width_);
  r.bottom = r.top + TwipsToPixels(height_);
  return r;
}

void Control::invalidateWindowless() const {
  if (!isWindowless() || !owner_ || !owner_->hWnd()) return;
  RECT r = pixelRect();
  InvalidateRect(owner_->hWnd(), &r, TRUE);
}

void Control::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  invalidateWindowless();
  left_ = left;
  top_ = top;
  width_ = width < 0 ? 0 : width;
  height_ = height < 0 ? 0 : height;
  geometryChanged();
}

void Control::geometryChanged() {
  if (HWND h = hWnd()) {
    RECT r = pixelRect();
    MoveWindow(h, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  } else {
    invalidateWindowless();
  }
}

void Control::setVisible(bool v) {
  visible_ = v;
  if (HWND h = hWnd())
    ShowWindow(h, v ? SW_SHOWNA : SW_HIDE);
  else
    invalidateWindowless();
}

void Control::setEnabled(bool v) {
  enabled_ = v;
  if (HWND h = hWnd()) EnableWindow(h, v ? TRUE : FALSE);
  invalidateWindowless();
}

void Control::setDefault(bool v) {
  default_ = v;
  if (owner_) owner_->notifyDefaultChange();
}

void Control::SetFocus() {
  if (HWND h = hWnd()) ::SetFocus(h);
}

bool Control::hasFocus() const {
  HWND h = hWnd();
  return h && GetFocus() == h;
}

bool Control::applyProperty(const std::string& key, const PropertyValue& v) {
  if (key == "left") left_ = v.toLong();
  else if (key == "top") top_ = v.toLong();
  else if (key == "width") width_ = v.toLong();
  else if (key == "height") height_ = v.toLong();
  else if (key == "tabindex") tabIndex_ = v.toInteger();
  else if (key == "tabstop") tabStop_ = v.toBool();
  else if (key == "visible") visible_ = v.toBool();
  else if (key == "enabled") enabled_ = v.toBool();
  else if (key == "default") default_ = v.toBool();
  else if (key == "cancel") cancel_ = v.toBool();
  else if (key == "tag") Tag = v.toText();
  else return false;
  return true;
}

void Control::saveProperties(DescriptionBlock& b) const { savePlace(b, true); }

void Control::savePlace(DescriptionBlock& b, bool withEnabled) const {
  b.set("Left", PropertyValue(left_));
  b.set("Top", PropertyValue(top_));
  b.set("Width", PropertyValue(width_));
  b.set("Height", PropertyValue(height_));
  b.set("TabIndex", PropertyValue(tabIndex_));
  if (!tabStop_) b.set("TabStop", PropertyValue(VbBoolean(false)));
  if (!visible_) b.set("Visible", PropertyValue(VbBoolean(false)));
  if (withEnabled && !enabled_) b.set("Enabled", PropertyValue(VbBoolean(false)));
  if (default_) b.set("Default", PropertyValue(VbBoolean(true)));
  if (cancel_) b.set("Cancel", PropertyValue(VbBoolean(true)));
  if (!Tag.empty()) b.set("Tag", PropertyValue(Tag));
}
