// Logical palettes are kept but never realized: every target is true colour or carries its own
// colour table, so selecting and realizing a palette changes no pixel.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "gdi/GdiObject.h"

namespace gdi {

struct PaletteObject : GdiObject {
  PaletteObject() : GdiObject(ObjectKind::Palette) {}
  int describe(int size, void* buffer) const override;
  std::vector<PALETTEENTRY> entries;
};

// The 20 static colours of the default palette.
std::unique_ptr<PaletteObject> makeDefaultPalette();

}  // namespace gdi
