// A window's messages: painting, sizing and closing, the keys it sees itself, and the mouse,
// which goes to the windowless control under it or else to the window's own events.
#include "framework/Form.h"

#include <windowsx.h>

#include "framework/FormRuntime.h"
#include "framework/ShiftAndButtons.h"

using namespace formruntime;

namespace {

int16_t buttonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return 1;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return 2;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return 4;
    default: return 0;
  }
}

}  // namespace

Control* Form::windowlessAt(POINT p) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    Control* c = *it;
    if (!c->isWindowless() || !c->Visible()) continue;
    RECT r = c->pixelRect();
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return c;
  }
  return nullptr;
}

void Form::updateCursor(POINT p) {
  Control* c = windowlessAt(p);
  HCURSOR cursor = c ? c->cursor() : nullptr;
  SetCursor(cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW));
}

void Form::raiseMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  Control* target = (msg == WM_MOUSEMOVE || msg == WM_LBUTTONUP || msg == WM_RBUTTONUP ||
                     msg == WM_MBUTTONUP) && pressedWindowless_
                        ? pressedWindowless_
                        : windowlessAt(p);
  bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
  bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  if (msg == WM_MOUSEMOVE) updateCursor(p);
  if (down) SetCapture(hwnd_);
  if (up && GetCapture() == hwnd_) ReleaseCapture();

  if (target) {
    if (target->Enabled()) target->windowlessMouse(msg, wParam, p);
    if (down) pressedWindowless_ = target;
    if (up) pressedWindowless_ = nullptr;
    return;
  }
  int16_t button = msg == WM_MOUSEMOVE ? heldButtons(wParam) : buttonOf(msg);
  int16_t shift = shiftState();
  float x = static_cast<float>(p.x * 15), y = static_cast<float>(p.y * 15);
  if (down) {
    Form_MouseDown(button, shift, x, y);
  } else if (up) {
    Form_MouseUp(button, shift, x, y);
    RECT r;
    GetClientRect(hwnd_, &r);
    if (hwnd_ && p.x >= 0 && p.y >= 0 && p.x < r.right && p.y < r.bottom) Form_Click();
  } else if (dbl) {
    Form_DblClick();
  } else {
    Form_MouseMove(button, shift, x, y);
  }
}

LRESULT CALLBACK Form::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    if (cs && cs->lpCreateParams) windows()[hwnd] = static_cast<Form*>(cs->lpCreateParams);
  }
  Form* f = fromWindow(hwnd);
  // Until CreateWindowExA returns, the window is not yet the form's to handle.
  if (!f || f->hwnd_ != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
  FormUse use(f);
  return f->handleMessage(msg, wParam, lParam);
}

LRESULT Form::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(dc, ps.rcPaint);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SIZE:
      if (imageDC_) rebuildImage();
      if (hwnd_) Form_Resize();
      return 0;
    case WM_CLOSE:
      Unload();
      return 0;
    case WM_SETFOCUS:
      focusMovedTo(nullptr);
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd && LOWORD(lParam) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        updateCursor(p);
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
      if (hwnd_) raiseMouse(msg, wParam, lParam);
      return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
      if (navigationKey(msg, wParam)) return 0;
      if (msg == WM_SYSKEYDOWN) break;
      int16_t key = static_cast<int16_t>(wParam), shift = shiftState();
      Form_KeyDown(key, shift);
      return 0;
    }
    case WM_SYSCHAR:
      if (navigationKey(msg, wParam)) return 0;
      break;
    case WM_CHAR: {
      int16_t ascii = static_cast<int16_t>(wParam & 0xFF);
      Form_KeyPress(ascii);
      return 0;
    }
    case WM_KEYUP: {
      int16_t key = static_cast<int16_t>(wParam), shift = shiftState();
      Form_KeyUp(key, shift);
      return 0;
    }
    case WM_NCDESTROY:
      windows().erase(hwnd);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
