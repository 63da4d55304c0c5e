#include "framework/Label.h"

#include "framework/Form.h"
#include "framework/MousePointer.h"
#include "framework/ShiftAndButtons.h"

void Label::setCaption(const std::string& c) { caption_ = c; invalidateWindowless(); }
void Label::setFont(FontRef f) { if (f) font_ = std::move(f); invalidateWindowless(); }
void Label::setForeColor(OLE_COLOR c) { foreColor_ = c; invalidateWindowless(); }
void Label::setBackColor(OLE_COLOR c) { backColor_ = c; invalidateWindowless(); }
void Label::setBackStyle(int16_t s) { backStyle_ = s; invalidateWindowless(); }
void Label::setAlignment(int16_t a) { alignment_ = a; invalidateWindowless(); }

bool Label::applyProperty(const std::string& k, const PropertyValue& v) {
  if (k == "caption") caption_ = v.toText();
  else if (k == "font") { if (auto f = v.toFont()) font_ = f; }
  else if (k == "forecolor") foreColor_ = static_cast<OLE_COLOR>(v.toLong());
  else if (k == "backcolor") backColor_ = static_cast<OLE_COLOR>(v.toLong());
  else if (k == "backstyle") backStyle_ = v.toInteger();
  else if (k == "alignment") alignment_ = v.toInteger();
  else if (k == "mousepointer") mousePointer_ = v.toInteger();
  else if (k == "mouseicon") mouseIcon_ = v.toPicture();
  else return Control::applyProperty(k, v);
  return true;
}

void Label::saveProperties(DescriptionBlock& b) const {
  b.set("Caption", PropertyValue(caption_));
  Control::saveProperties(b);
  b.set("Font", PropertyValue(font_));
  if (foreColor_ != 0x80000012) b.set("ForeColor", PropertyValue(foreColor_));
  if (backColor_ != 0x8000000F) b.set("BackColor", PropertyValue(backColor_));
  if (backStyle_ != 1) b.set("BackStyle", PropertyValue(backStyle_));
  if (alignment_) b.set("Alignment", PropertyValue(alignment_));
  if (mousePointer_) b.set("MousePointer", PropertyValue(mousePointer_));
  if (mouseIcon_) b.set("MouseIcon", PropertyValue(mouseIcon_));
}

void Label::paintWindowless(HDC dc) {
  RECT r = pixelRect();
  if (backStyle_ != 0) {
    HBRUSH brush = CreateSolidBrush(TranslateOleColor(backColor_));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  if (caption_.empty()) return;
  HFONT font = font_->createHandle();
  HGDIOBJ oldFont = SelectObject(dc, font);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF color = Enabled() ? TranslateOleColor(foreColor_) : GetSysColor(COLOR_GRAYTEXT);
  COLORREF oldColor = SetTextColor(dc, color);
  UINT align = alignment_ == 1 ? DT_RIGHT : alignment_ == 2 ? DT_CENTER : DT_LEFT;
  DrawTextA(dc, caption_.c_str(), -1, &r, DT_WORDBREAK | align);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

void Label::windowlessMouse(UINT msg, WPARAM keys, POINT p) {
  RECT r = pixelRect();
  int16_t shift = shiftState();
  float x = static_cast<float>((p.x - r.left) * 15), y = static_cast<float>((p.y - r.top) * 15);
  int16_t button = (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) ? 1
                   : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP) ? 2
                   : (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP) ? 4 : 0;
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
      RaiseEvent(MouseDown, button, shift, x, y);
      break;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      RaiseEvent(MouseUp, button, shift, x, y);
      bool inside = p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
      if (inside) Click.raise();
      break;
    }
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
      DblClick.raise();
      break;
    case WM_MOUSEMOVE: {
      int16_t held = static_cast<int16_t>(((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
                                          ((keys & MK_MBUTTON) ? 4 : 0));
      RaiseEvent(MouseMove, held, shift, x, y);
      break;
    }
    default:
      break;
  }
}

HCURSOR Label::cursor() const { return CursorForPointer(mousePointer_, mouseIcon_); }
