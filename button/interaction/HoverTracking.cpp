// Hover tracking. The host reports mouse moves only while the pointer is over the button (or while
// it holds the capture), so entering is seen on a move and leaving by polling: a 50-millisecond
// timer on the button's own window asks which window is under the pointer, and the first tick
// that finds another one ends the hover. The timer callback finds the button again through the
// "zt_ClassID" property of that window; the property borrows the button without owning it, which
// is safe because the button's end stops the timer and takes the properties away.
#include "button/ztButtons_H.h"

namespace {

constexpr UINT kHoverInterval = 50;

}  // namespace

void ztButtons_H::BeginHover(int16_t Button) {
  if (Hovering) return;
  // A failed start must not cost the caller its mouse-move event; the next move tries again.
  try {
    HWND own = UserControl.hWnd();
    if (!own) return;
    POINT pointer{0, 0};
    GetCursorPos(&pointer);
    if (WindowFromPoint(pointer) != own) return;

    StateFlags |= PointerOver;
    int16_t onButton = vbTrue;
    RaiseEvent(MouseOnButton, onButton);
    // A handler that unloaded the window has ended the button: nothing is left to track.
    if (UserControl.hWnd() != own) return;
    SetPropA(own, "zt_ClassID", static_cast<HANDLE>(this));
    SetPropA(own, "zt_TimerID", reinterpret_cast<HANDLE>(HoverTimerID));
    SetTimer(own, HoverTimerID, kHoverInterval, HoverTimerProc);
    Hovering = vbTrue;
    DrawingDelayed = vbFalse;
    if (Button == 1) HeldDown = vbTrue;
    RedrawButton();
  } catch (...) {
  }
}

void ztButtons_H::CheckHoverExit(int32_t& TimerID) {
  HWND own = UserControl.hWnd();
  // Without its window the button has nothing to poll for, and a window-less KillTimer would
  // stop a thread timer of the same number instead.
  if (!own) return;
  POINT pointer{0, 0};
  GetCursorPos(&pointer);
  // Only the button's own window counts: a window on top of it, even its own child, is leaving.
  if (WindowFromPoint(pointer) == own) return;

  KillTimer(own, static_cast<UINT_PTR>(TimerID));
  StateFlags &= static_cast<int16_t>(~PointerOver);
  Hovering = vbFalse;
  DrawingDelayed = vbFalse;
  int16_t onButton = vbFalse;
  RaiseEvent(MouseOnButton, onButton);
  HeldDown = vbFalse;
  if (UserControl.hWnd() != own) return;
  RedrawButton();
}
