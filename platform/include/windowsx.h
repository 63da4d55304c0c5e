// Message crackers: the signed pointer coordinates packed into a mouse message's lParam. As on
// Windows they live here, not in windows.h, so a program that uses them includes this header.
#pragma once

#include "windef.h"

#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
