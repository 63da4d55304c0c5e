// The cursor a mouse pointer code stands for: 0 the window's own, 1 to 15 the standard shapes,
// 99 the custom icon or cursor given as the control's MouseIcon.
#pragma once

#include <windows.h>

#include "framework/StdPicture.h"

#include <cstdint>

// Null for code 0 (and for 99 without an icon): the window keeps its class cursor.
HCURSOR CursorForPointer(int16_t code, const PictureRef& icon);
