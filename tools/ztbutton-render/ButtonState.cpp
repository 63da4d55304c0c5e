// States are reached the way a user reaches them, through the screen's own input, so the window
// messages arrive at the button's own handlers: the pointer is moved over the button (hover),
// the left button is pressed there and held (pressed), then the pointer leaves while it is still
// held (pressed-out), and the button takes the keyboard focus, which makes it the window's
// default button (default). At design time focus does not make a default button, so the button
// is marked as the window's default instead, as a designer does. A click (press and release,
// then away) sets a check or option button the way a user does.
#include "ButtonState.h"

#include <windows.h>

#include "Desktop.h"

#include <iostream>
#include <optional>

namespace {

// A point of the button that lies inside its window region (picture-shaped buttons can have
// a transparent middle), in screen coordinates; none when the region has no pixel at all.
std::optional<POINT> pointOnButton(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  std::optional<POINT> p = POINT{client.right / 2, client.bottom / 2};
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(hwnd, region) != ERROR && !PtInRegion(region, p->x, p->y)) {
    p.reset();
    for (int y = 0; y < client.bottom && !p; ++y)
      for (int x = 0; x < client.right && !p; ++x)
        if (PtInRegion(region, x, y)) p = POINT{x, y};
  }
  DeleteObject(region);
  if (p) ClientToScreen(hwnd, &*p);
  return p;
}

// A point of the container just outside the button's top-left corner, in screen coordinates.
POINT pointBesideButton(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return POINT{r.left - 8, r.top - 8};
}

void settle() { desktop::Settle(); }

// Moves the pointer off the button; the hover timer notices on its next tick that it has gone.
void leaveButton(HWND hwnd) {
  const POINT away = pointBesideButton(hwnd);
  desktop::MovePointer(away);
  settle();
  desktop::Wait(120);
}

}  // namespace

void ApplyButtonState(ztButtons_H& button, const StateRequest& state, bool designTime) {
  const HWND hwnd = button.hWnd();
  if (!hwnd) return;

  if (state.defaultFrame) {
    if (designTime)
      button.setDefault(true);
    else
      button.SetFocus();
    settle();
  }

  if (!state.click && !state.hover && !state.pressed && !state.pressedOutside) return;
  const std::optional<POINT> found = pointOnButton(hwnd);
  if (!found) {
    std::cerr << "ztbutton-render: the button's window region is empty; the pointer cannot reach it\n";
    return;
  }
  const POINT over = *found;

  if (state.click) {
    desktop::MovePointer(over);
    settle();
    desktop::PressLeft();
    settle();
    desktop::ReleaseLeft();
    settle();
    leaveButton(hwnd);
  }

  if (state.hover || state.pressed || state.pressedOutside) {
    desktop::MovePointer(over);
    settle();
    if (state.pressed || state.pressedOutside) {
      desktop::PressLeft();
      settle();
    }
    if (state.pressedOutside) leaveButton(hwnd);
  }
}
