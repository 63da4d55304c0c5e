// The Shift and Button arguments that the key and mouse events of windows and controls carry.
#pragma once

#include <windows.h>

#include <cstdint>

// The modifier keys held now: 1 Shift, 2 Ctrl, 4 Alt.
int16_t shiftState();
// The mouse buttons a mouse message says are held: 1 left, 2 right, 4 middle.
int16_t heldButtons(WPARAM keys);
