// Only the calling process can be asked about (the pseudo handle of GetCurrentProcess, or NULL).
// USER objects are the live windows (the desktop excluded) and the live icons and cursors.
#include <windows.h>

#include "gdi/GdiObject.h"
#include "gdi/Icon.h"

namespace user {
DWORD liveWindowCount();
}

HANDLE WINAPI GetCurrentProcess(void) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }

DWORD WINAPI GetGuiResources(HANDLE hProcess, DWORD uiFlags) {
  if (hProcess != GetCurrentProcess()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (uiFlags == GR_GDIOBJECTS) return gdi::liveObjectCount();
  if (uiFlags == GR_USEROBJECTS) return user::liveWindowCount() + gdi::liveIconCount();
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}
