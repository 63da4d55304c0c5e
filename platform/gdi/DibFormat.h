// Reading the BITMAPINFO that callers hand to the DIB calls, and wrapping caller memory as a
// bitmap the blit engine can read or write.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "gdi/Bitmap.h"

namespace gdi {

struct DibFormat {
  int width = 0;
  int height = 0;  // always positive
  int bitsPerPixel = 0;
  bool topDown = false;
  DWORD compression = BI_RGB;
  std::vector<RGBQUAD> colors;  // 2^bpp entries for 8 bpp and fewer
  DWORD redMask = 0, greenMask = 0, blueMask = 0;
  size_t headerBytes = 0;  // header, masks and colour table: where packed bits start
  size_t stride = 0;
};

// False for a missing or malformed header, an unsupported depth or compression, or a size past
// the bitmap limits. DIB_PAL_COLORS indices resolve through palette (the default palette when
// null).
bool readDibFormat(const BITMAPINFO* info, UINT usage, DibFormat& format,
                   const std::vector<PALETTEENTRY>* palette = nullptr);

// A bitmap object (not in the handle table) over `lines` rows of caller memory in the DIB's
// format; it does not own the memory.
std::unique_ptr<BitmapObject> dibView(const DibFormat& format, const void* bits, int lines);

// A new top-down bitmap holding a copy of `lines` rows of packed DIB bits.
std::unique_ptr<BitmapObject> bitmapFromDib(const DibFormat& format, const void* bits, int lines);

// Copies pixels between bitmaps of any formats by colour (monochrome DDBs as black and white).
void convertPixels(const BitmapObject& from, int fromY, BitmapObject& to, int toY, int rows);

}  // namespace gdi
