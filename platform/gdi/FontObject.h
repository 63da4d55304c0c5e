// A logical font is only its LOGFONTA; the text layer realizes it (through fontconfig and
// FreeType) the first time it draws or measures with it and may keep the result in `realized`.
#pragma once

#include <windows.h>

#include <memory>

#include "gdi/GdiObject.h"

namespace gdi {

struct FontObject : GdiObject {
  FontObject() : GdiObject(ObjectKind::Font) {}
  int describe(int size, void* buffer) const override;

  LOGFONTA log{};
  // Owned by the text layer: whatever it derived from `log`, released with the font.
  mutable std::shared_ptr<void> realized;
};

// The font behind a handle, or nullptr with ERROR_INVALID_HANDLE.
FontObject* fontFromHandle(HFONT handle);

}  // namespace gdi
