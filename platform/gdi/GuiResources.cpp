// Only the calling process can be asked about (the pseudo handle of GetCurrentProcess, or NULL).
#include <windows.h>

#include "gdi/GdiObject.h"

HANDLE WINAPI GetCurrentProcess(void) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }

DWORD WINAPI GetGuiResources(HANDLE hProcess, DWORD uiFlags) {
  if (hProcess != GetCurrentProcess()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (uiFlags == GR_GDIOBJECTS) return gdi::liveObjectCount();
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}
