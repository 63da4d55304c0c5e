#pragma once

#include "windef.h"

DWORD WINAPI GetLastError(void);
void WINAPI SetLastError(DWORD dwErrCode);

HANDLE WINAPI GetCurrentProcess(void);
