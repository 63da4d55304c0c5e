// What the keyboard does to a button. Space presses and releases it like the left mouse button;
// the arrow keys belong to the window (they move between buttons there), so the button passes
// them on as the window's own key-down messages and never reports them itself; Shift alone is
// reported going down but never coming up.
#include "button/interaction/ContainerWindow.h"
#include "button/ztButtons_H.h"

namespace {

constexpr int16_t kSpace = 32;
constexpr int16_t kShiftKey = 16;
constexpr int16_t kLeft = 37;
constexpr int16_t kDown = 40;

bool isArrow(int16_t key) { return key >= kLeft && key <= kDown; }

// Repeat count 1 and the key's scan code, as the keyboard itself would have delivered it.
LPARAM arrowKeyData(int16_t key) {
  switch (key) {
    case 37: return 0x004B0001;
    case 38: return 0x00480001;
    case 39: return 0x004D0001;
    default: return 0x00500001;
  }
}

}  // namespace

void ztButtons_H::UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift) {
  if (isArrow(KeyCode)) {
    if (HWND container = ztbuttons::ContainerFromTag(UserControl.Tag()))
      PostMessageA(container, WM_KEYDOWN, static_cast<WPARAM>(KeyCode), arrowKeyData(KeyCode));
    KeyCode = 0;
  }
  if (KeyCode == kSpace && !(StateFlags & Pressed)) {
    // Pressed from the keyboard, the button looks pushed in as if the pointer were over it.
    StateFlags |= Pressed | PointerOver;
    HeldDown = vbTrue;
    RedrawButton();
    if (!Hovering) StateFlags &= static_cast<int16_t>(~PointerOver);
  }
  if (KeyCode != 0) RaiseEvent(KeyDown, KeyCode, Shift);
}

void ztButtons_H::UserControl_KeyUp(int16_t& KeyCode, int16_t& Shift) {
  HeldDown = vbFalse;
  if (KeyCode == kSpace && (StateFlags & Pressed)) {
    LastButton = 1;
    StateFlags &= static_cast<int16_t>(~Pressed);
    if (stored.Mode != CommandButton) {
      // Check and option buttons report the key before the click that changes their value.
      RaiseEvent(KeyUp, KeyCode, Shift);
      KeyCode = 0;
    } else {
      RedrawButton();
    }
    // The window may have gone with an event handler; a button without one clicks no more.
    if (!UserControl.hWnd()) return;
    UserControl_Click();
    if (!UserControl.hWnd()) return;
  }
  if (isArrow(KeyCode)) {
    KeyCode = 0;
    if (stored.Mode == OptionButton && !stored.Value) {
      LastButton = 1;
      UserControl_Click();
      if (!UserControl.hWnd()) return;
    }
  }
  if (KeyCode == kShiftKey) KeyCode = 0;
  if (KeyCode != 0) RaiseEvent(KeyUp, KeyCode, Shift);
}

void ztButtons_H::UserControl_KeyPress(int16_t& KeyAscii) { RaiseEvent(KeyPress, KeyAscii); }
