// What the mouse does to a button: the left button presses it (and captures the mouse, so the
// release arrives even off the button), the release lets it go, and the host's click toggles a
// check button or selects an option button before the Click event. Other buttons only report.
// Every event goes to the window before the next step; a window that unloads itself from its
// handler takes the button's window with it, and the steps that would still touch that window
// are skipped then.
#include "button/ztButtons_H.h"

void ztButtons_H::UserControl_MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) {
  LastButton = Button;
  if (Button == 1) {
    StateFlags |= Pressed;
    HeldDown = vbTrue;
    DrawingDelayed = vbFalse;
    RedrawButton();
    if (HWND own = UserControl.hWnd()) SetCapture(own);
  }
  RaiseEvent(MouseDown, Button, Shift, X, Y);
}

void ztButtons_H::UserControl_MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) {
  HeldDown = vbFalse;
  if (Button == 1) {
    // Only our own capture is ours to give back: another window may hold it by now.
    HWND own = UserControl.hWnd();
    if (own && GetCapture() == own) ReleaseCapture();
    StateFlags &= static_cast<int16_t>(~Pressed);
    DrawingDelayed = vbFalse;
    // Check and option buttons repaint through the Value change of the click that follows.
    if (stored.Mode == CommandButton) RedrawButton();
  }
  RaiseEvent(MouseUp, Button, Shift, X, Y);
  LastButton = Button;
}

void ztButtons_H::UserControl_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) {
  // BeginHover swallows its own failures, so the window always gets its mouse-move event.
  BeginHover(Button);
  RaiseEvent(MouseMove, Button, Shift, X, Y);
}

void ztButtons_H::UserControl_Click() {
  if (LastButton != 1) return;
  if (stored.Mode != CommandButton) {
    // A set option button stays set: clicking it again is no change and no event. Its release
    // still has to show, though: no Value change follows to repaint it.
    if (stored.Mode == OptionButton && stored.Value) {
      RedrawButton();
      return;
    }
    setValue(stored.Value ? vbFalse : vbTrue);
  }
  RaiseEvent(Click);
}

void ztButtons_H::UserControl_DblClick() {
  POINT pointer{0, 0};
  GetCursorPos(&pointer);
  if (HWND own = UserControl.hWnd()) ScreenToClient(own, &pointer);

  int16_t reported = LastButton;
  RaiseEvent(DoubleClick, reported);
  // The handler may have unloaded the window: no press is made up for a button without one.
  if (!UserControl.hWnd()) return;

  int16_t Button = 1;
  int16_t Shift = 0;
  float X = static_cast<float>(pointer.x);
  float Y = static_cast<float>(pointer.y);
  if (LastButton == 1) {
    // The second press of a double click comes as a double click, not a press: make it one, so
    // the button shows pressed until the release.
    UserControl_MouseDown(Button, Shift, X, Y);
    LastButton = -1;
  } else {
    RaiseEvent(MouseDown, Button, Shift, X, Y);
  }
}
