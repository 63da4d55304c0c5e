#include "framework/CommandButton.h"

#include <windowsx.h>

#include "framework/Form.h"

namespace {
constexpr char kButtonClass[] = "CorvaneCommandButton";
}

void CommandButton::setCaption(const std::string& c) { caption_ = c; if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE); }
void CommandButton::setFont(FontRef f) { if (f) font_ = std::move(f); if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE); }

bool CommandButton::applyProperty(const std::string& k, const PropertyValue& v) {
  if (k == "caption") caption_ = v.toText();
  else if (k == "font") { if (auto f = v.toFont()) font_ = f; }
  else return Control::applyProperty(k, v);
  return true;
}

void CommandButton::saveProperties(DescriptionBlock& b) const {
  b.set("Caption", PropertyValue(caption_));
  Control::saveProperties(b);
  b.set("Font", PropertyValue(font_));
}

void CommandButton::create(HWND parent) {
  RegisterControlClass<CommandButton>(kButtonClass, CS_DBLCLKS, IDC_ARROW);
  createWindow(this, parent, kButtonClass, caption_.c_str(), "the button");
}

void CommandButton::destroy() { destroyWindow(); }

void CommandButton::displayAsDefaultChanged() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void CommandButton::paint(HDC dc) {
  const RECT r = FillClient(hwnd_, dc, GetSysColor(COLOR_BTNFACE));
  bool isDefault = Parent().displayedDefault() == this;
  auto frame = [&](RECT q, COLORREF topLeft, COLORREF bottomRight) {
    HPEN a = CreatePen(PS_SOLID, 1, topLeft), b = CreatePen(PS_SOLID, 1, bottomRight);
    HGDIOBJ old = SelectObject(dc, a);
    MoveToEx(dc, q.left, q.bottom - 1, nullptr);
    LineTo(dc, q.left, q.top);
    LineTo(dc, q.right - 1, q.top);
    SelectObject(dc, b);
    LineTo(dc, q.right - 1, q.bottom - 1);
    LineTo(dc, q.left - 1, q.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(a);
    DeleteObject(b);
  };
  RECT q = r;
  COLORREF black = GetSysColor(COLOR_3DDKSHADOW);
  if (isDefault) {
    frame(q, black, black);
    InflateRect(&q, -1, -1);
  }
  if (pressed_) {
    frame(q, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
  } else {
    frame(q, GetSysColor(COLOR_BTNHIGHLIGHT), black);
    InflateRect(&q, -1, -1);
    frame(q, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW));
  }
  RECT text = r;
  if (pressed_) OffsetRect(&text, 1, 1);
  HFONT font = font_->createHandle();
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextA(dc, caption_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (hasFocus()) {
    RECT f = r;
    InflateRect(&f, -4, -4);
    DrawFocusRect(dc, &f);
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
}

LRESULT CommandButton::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto answer = PaintWholeClient(hwnd_, msg, [this](HDC dc) { paint(dc); })) return *answer;
  switch (msg) {
    case WM_SETFOCUS:
      Parent().focusMovedTo(this);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_KILLFOCUS:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != hwnd_) ::SetFocus(hwnd_);
      tracking_ = pressed_ = true;
      SetCapture(hwnd_);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE:
      if (tracking_) {
        RECT r;
        GetClientRect(hwnd_, &r);
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        bool inside = p.x >= 0 && p.y >= 0 && p.x < r.right && p.y < r.bottom;
        if (inside != pressed_) {
          pressed_ = inside;
          InvalidateRect(hwnd_, nullptr, FALSE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (tracking_) {
        bool click = pressed_;
        tracking_ = pressed_ = false;
        if (GetCapture() == hwnd_) ReleaseCapture();
        InvalidateRect(hwnd_, nullptr, FALSE);
        if (click) Click.raise();
      }
      return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
      if (Parent().navigationKey(msg, wParam)) return 0;
      if (msg == WM_KEYDOWN && Parent().previewKey(msg, wParam)) return 0;
      if (msg == WM_KEYDOWN && wParam == VK_SPACE && !spaceDown_) {
        spaceDown_ = pressed_ = true;
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      }
      if (msg == WM_SYSKEYDOWN) break;
      return 0;
    case WM_KEYUP:
      if (Parent().previewKey(msg, wParam)) return 0;
      if (wParam == VK_SPACE && spaceDown_) {
        spaceDown_ = pressed_ = false;
        InvalidateRect(hwnd_, nullptr, FALSE);
        Click.raise();
      }
      return 0;
    case WM_SYSCHAR:
      if (Parent().navigationKey(msg, wParam)) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wParam, lParam);
}
