// Controls with windows of their own. A windowed control's messages reach the object that made
// the window: the object comes as the creation parameter and is kept in a window property until
// the window is gone, so a message that arrives before creation or after the object let go of its
// window gets the default answer.
#pragma once

#include <windows.h>

#include "framework/Control.h"
#include "framework/Form.h"
#include "framework/RuntimeError.h"

#include <optional>
#include <string>

template <class T>
LRESULT CALLBACK RouteToControl(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  constexpr const char* kOwner = "CorvaneControl";
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetPropA(hwnd, kOwner, cs ? cs->lpCreateParams : nullptr);
  }
  auto* control = static_cast<T*>(GetPropA(hwnd, kOwner));
  if (msg == WM_NCDESTROY) RemovePropA(hwnd, kOwner);
  if (!control || control->hwnd_ != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
  FormUse use(&control->Parent());
  return control->handleMessage(msg, wParam, lParam);
}

// Registers the window class of control type T once per process, routed to RouteToControl<T>.
template <class T>
void RegisterControlClass(const char* className, UINT classStyle, LPCSTR cursor) {
  static const bool registered = [&] {
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = &RouteToControl<T>;
    wc.hCursor = LoadCursorA(nullptr, cursor);
    wc.lpszClassName = className;
    return RegisterClassA(&wc) != 0;
  }();
  (void)registered;
}

// The paint messages of a control that draws its whole client area itself: WM_ERASEBKGND is
// answered with 1, so the background never flashes between erase and paint, and WM_PAINT paints.
// The answer to either; none for any other message.
template <class Paint>
std::optional<LRESULT> PaintWholeClient(HWND hwnd, UINT msg, Paint paint) {
  if (msg == WM_ERASEBKGND) return 1;
  if (msg != WM_PAINT) return std::nullopt;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) paint(dc);
  EndPaint(hwnd, &ps);
  return 0;
}

// Fills a control's whole client area with one colour, the ground its painting starts from, and
// gives the area.
inline RECT FillClient(HWND hwnd, HDC dc, COLORREF color) {
  RECT client;
  GetClientRect(hwnd, &client);
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  return client;
}

// A control with a child window of its own that takes the focus (text boxes, command buttons,
// user controls). Its window is made when its window loads and goes when it unloads.
class WindowedControl : public Control {
 public:
  using Control::Control;

  HWND hWnd() const override { return hwnd_; }
  bool isWindowless() const override { return false; }
  bool canFocus() const override { return true; }

 protected:
  // Makes the child window at the control's place on parent, shown and enabled as the control
  // is, with self as its creation parameter for RouteToControl; a window that cannot be made is a
  // description error that names the control (what: "the button").
  template <class T>
  void createWindow(T* self, HWND parent, const char* className, const char* text,
                    const char* what) {
    RECT r = pixelRect();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0) |
                  (enabled_ ? 0 : WS_DISABLED);
    hwnd_ = CreateWindowExA(0, className, text, style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, parent, nullptr, nullptr, self);
    if (!hwnd_) {
      throw RuntimeError(ErrFormDescription,
                         std::string(what) + " \"" + Name() + "\" cannot be created");
    }
  }
  // The control lets go of its window before destroying it, so the messages of its destruction
  // get the default answer.
  void destroyWindow() {
    if (!hwnd_) return;
    HWND h = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(h);
  }

  HWND hwnd_ = nullptr;
};

// Declares RouteToControl a friend, so it may reach the control's window and message handler.
#define CORVANE_ROUTED_CONTROL \
  template <class T>           \
  friend LRESULT CALLBACK RouteToControl(HWND, UINT, WPARAM, LPARAM)
