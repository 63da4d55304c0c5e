// Brushes: solid, hollow, hatched and pattern. A pattern brush keeps its own copy of the bitmap,
// so the bitmap it was made from may be deleted at once, as on Windows.
#pragma once

#include <windows.h>

#include <memory>

#include "gdi/Bitmap.h"
#include "gdi/GdiObject.h"

namespace gdi {

struct DeviceContext;

struct BrushObject : GdiObject {
  BrushObject() : GdiObject(ObjectKind::Brush) {}
  int describe(int size, void* buffer) const override;

  LOGBRUSH log{};
  bool dcBrush = false;                  // the DC_BRUSH stock object
  std::unique_ptr<BitmapObject> pattern; // BS_PATTERN and BS_DIBPATTERNPT
};

// The brush behind a handle, or nullptr with ERROR_INVALID_HANDLE.
BrushObject* brushFromHandle(HBRUSH handle);

// True when the brush paints nothing (BS_NULL, or not a brush at all).
bool brushIsHollow(HBRUSH brush);

}  // namespace gdi
