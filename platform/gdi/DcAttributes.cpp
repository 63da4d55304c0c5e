// The colour, mode and position attributes of a DC. The background mode is OPAQUE or TRANSPARENT
// and nothing else, as documented (3, once "new transparent", is refused); an unknown ROP2 or stretch
// mode is refused with 0 and ERROR_INVALID_PARAMETER; only MM_TEXT maps coordinates, the other
// mapping modes are recorded and reported back.
#include <windows.h>

#include "gdi/DeviceContext.h"

using gdi::DeviceContext;
using gdi::dcFromHandle;

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return CLR_INVALID;
  COLORREF previous = dc->textColor;
  dc->textColor = color;
  return previous;
}

COLORREF WINAPI GetTextColor(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? CLR_INVALID : dc->textColor;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return CLR_INVALID;
  COLORREF previous = dc->bkColor;
  dc->bkColor = color;
  return previous;
}

COLORREF WINAPI GetBkColor(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? CLR_INVALID : dc->bkColor;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return 0;
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int previous = dc->bkMode;
  dc->bkMode = mode;
  return previous;
}

int WINAPI GetBkMode(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? 0 : dc->bkMode;
}

int WINAPI SetROP2(HDC hdc, int rop2) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return 0;
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int previous = dc->rop2;
  dc->rop2 = rop2;
  return previous;
}

int WINAPI GetROP2(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? 0 : dc->rop2;
}

int WINAPI SetMapMode(HDC hdc, int iMode) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return 0;
  if (iMode < MM_TEXT || iMode > MM_ANISOTROPIC) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int previous = dc->mapMode;
  dc->mapMode = iMode;
  return previous;
}

int WINAPI GetMapMode(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? 0 : dc->mapMode;
}

int WINAPI SetStretchBltMode(HDC hdc, int mode) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return 0;
  if (mode < BLACKONWHITE || mode > HALFTONE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int previous = dc->stretchMode;
  dc->stretchMode = mode;
  return previous;
}

int WINAPI GetStretchBltMode(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? 0 : dc->stretchMode;
}

BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return FALSE;
  if (lppt != nullptr) *lppt = dc->brushOrigin;
  dc->brushOrigin = POINT{x, y};
  return TRUE;
}

BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT lppt) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr || lppt == nullptr) return FALSE;
  *lppt = dc->brushOrigin;
  return TRUE;
}

COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return CLR_INVALID;
  COLORREF previous = dc->dcPenColor;
  dc->dcPenColor = color;
  return previous;
}

COLORREF WINAPI GetDCPenColor(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? CLR_INVALID : dc->dcPenColor;
}

COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr) return CLR_INVALID;
  COLORREF previous = dc->dcBrushColor;
  dc->dcBrushColor = color;
  return previous;
}

COLORREF WINAPI GetDCBrushColor(HDC hdc) {
  DeviceContext* dc = dcFromHandle(hdc);
  return dc == nullptr ? CLR_INVALID : dc->dcBrushColor;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
  DeviceContext* dc = dcFromHandle(hdc);
  if (dc == nullptr || lppt == nullptr) return FALSE;
  *lppt = dc->currentPosition;
  return TRUE;
}
