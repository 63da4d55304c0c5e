#pragma once

#include "windef.h"

#define GR_GDIOBJECTS 0
#define GR_USEROBJECTS 1

DWORD WINAPI GetGuiResources(HANDLE hProcess, DWORD uiFlags);
