#include "framework/ShiftAndButtons.h"

int16_t shiftState() {
  int16_t s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= 1;
  if (GetKeyState(VK_CONTROL) < 0) s |= 2;
  if (GetKeyState(VK_MENU) < 0) s |= 4;
  return s;
}

int16_t heldButtons(WPARAM keys) {
  int16_t b = 0;
  if (keys & MK_LBUTTON) b |= 1;
  if (keys & MK_RBUTTON) b |= 2;
  if (keys & MK_MBUTTON) b |= 4;
  return b;
}
