// The calls common to every GDI object. DeleteObject fails (FALSE) for a stock object and for an
// object selected into a DC, as documented; selecting a region copies it as the clip region and
// returns the type of the resulting clip. A NULL handle fails without touching the last-error,
// as on Windows; a stale one sets ERROR_INVALID_HANDLE.
#include <windows.h>

#include "gdi/DeviceContext.h"
#include "gdi/GdiObject.h"
#include "gdi/Region.h"

using gdi::DeviceContext;
using gdi::GdiObject;
using gdi::ObjectKind;

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return nullptr;
  if (h == nullptr) return nullptr;
  GdiObject* object = gdi::findObject(h);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  switch (object->kind) {
    case ObjectKind::Region: {
      dc->setClipRegion(static_cast<gdi::RegionObject*>(object)->bands);
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(dc->effectiveClip().type()));
    }
    case ObjectKind::Pen:
    case ObjectKind::Brush:
    case ObjectKind::Font:
    case ObjectKind::Bitmap: return dc->select(object, h);
    default:
      // Palettes go through SelectPalette and DCs cannot be selected.
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  if (ho == nullptr) return FALSE;
  GdiObject* object = gdi::findObject(ho);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (object->kind == ObjectKind::DC || object->kind == ObjectKind::MemDC) return FALSE;
  return gdi::removeObject(ho) ? TRUE : FALSE;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  if (h == nullptr) return 0;
  GdiObject* object = gdi::findObject(h);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (pv != nullptr && c <= 0) return 0;
  return object->describe(c, pv);
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
  GdiObject* object = gdi::findObject(h);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(object->kind);
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
  DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_FONT: return dc->font;
    case OBJ_PAL: return dc->palette;
    case OBJ_BITMAP: return dc->bitmap;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}
