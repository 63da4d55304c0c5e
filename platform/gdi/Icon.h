// Icons and cursors. HICON and HCURSOR are USER objects: they live in their own table, never in the
// GDI handle table, so creating or destroying one leaves GR_GDIOBJECTS unchanged. For the same
// reason an icon does not hold HBITMAPs: it keeps its own pixel copies, and GetIconInfo makes fresh
// GDI bitmaps from them, which the caller deletes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gdi/ImageFile.h"

namespace gdi {

struct IconObject {
  int width = 0;
  int height = 0;
  // Colour image, top-down, one 0xAARRGGBB value per pixel; empty for a monochrome icon, whose
  // image is then the XOR plane below.
  std::vector<uint32_t> color;
  // AND mask, top-down, one byte per pixel: 1 keeps the background, 0 replaces it.
  std::vector<uint8_t> mask;
  // Monochrome icons only: the XOR plane, one byte per pixel (1 inverts or paints white).
  std::vector<uint8_t> monoXor;
  // The colour image carries a meaningful alpha channel (some alpha byte is not 0): drawn blended.
  bool hasAlpha = false;
  // Bits per pixel of the colour image as it was given (1 for a monochrome icon).
  int bitsPerPixel = 32;
  bool isIcon = true;
  int hotX = 0;
  int hotY = 0;
  // Loaded with LR_SHARED: DestroyIcon leaves it alive, as Windows does for shared icons.
  bool shared = false;
};

// The icon or cursor behind a handle, or nullptr (with ERROR_INVALID_CURSOR_HANDLE) for NULL,
// destroyed and unknown handles. The pointer stays valid until the icon is destroyed.
IconObject* iconFromHandle(HICON icon);

// An icon object from a decoded image of an icon or cursor file.
IconObject iconFromImage(imagefile::IconImage image, bool isIcon);

// Takes the description and returns a new handle.
HICON addIcon(IconObject icon);

// Destroys the icon whatever its shared flag; false for an unknown handle.
bool removeIcon(HICON icon);

// Live icons and cursors (the USER objects this part of the platform creates).
DWORD liveIconCount();

// The icon as 0xAARRGGBB with straight alpha and its mask applied (transparent pixels have alpha
// 0); inverted pixels of the mask come out as opaque black. For cursor images of drivers.
std::vector<uint32_t> iconToArgb(const IconObject& icon);

// A copy of the icon at cx x cy (0 keeps the icon's own size), for CopyImage with IMAGE_ICON and
// IMAGE_CURSOR; hot spots scale with the image. NULL with ERROR_INVALID_CURSOR_HANDLE for a bad
// handle.
// Marks a live icon as shared: it lives as long as the process and no longer counts as the program's.
void shareIcon(HICON icon);

HICON copyIconImage(HICON icon, int cx, int cy, UINT flags);

}  // namespace gdi
