// CopyImage of bitmaps. Each destination column (row) shows the nearest source column (row),
// computed in 16.16 fixed point with the step sw/dw truncated and a start of one half plus
// 1/4096, which reproduces Windows' choice at every measured size; the copy is a colour bitmap
// (monochrome for a monochrome source or LR_MONOCHROME, where colours go to the nearer of black
// and white), or with LR_CREATEDIBSECTION a DIB section of the source's format (32 bpp for a
// device-dependent colour source). Icons and cursors are copied by the icon code.
#include <windows.h>

#include <vector>

#include "gdi/Bitmap.h"
#include "gdi/Icon.h"

namespace gdi {

int copyImageSourceIndex(int d, int n, int m) {
  unsigned long long step = (static_cast<unsigned long long>(n) << 16) / static_cast<unsigned>(m);
  long long index = static_cast<long long>((d * step + 0x8000 + 0x10) >> 16);
  return index >= n ? n - 1 : static_cast<int>(index);
}

}  // namespace gdi

HANDLE WINAPI CopyImage(HANDLE h, UINT type, int cx, int cy, UINT flags) {
  if ((type == IMAGE_ICON || type == IMAGE_CURSOR) && cx >= 0 && cy >= 0)
    return gdi::copyIconImage(static_cast<HICON>(h), cx, cy, flags);
  if (type != IMAGE_BITMAP || cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  gdi::BitmapObject* source = gdi::bitmapFromHandle(static_cast<HBITMAP>(h));
  if (source == nullptr) return nullptr;
  int width = cx == 0 ? source->width : cx;
  int height = cy == 0 ? source->height : cy;
  bool mono = source->isMonochrome() || (flags & LR_MONOCHROME) != 0;
  bool dib = (flags & LR_CREATEDIBSECTION) != 0;
  int bpp = mono ? 1 : (dib ? source->bitsPerPixel : 32);
  if ((flags & LR_COPYRETURNORG) != 0 && width == source->width && height == source->height &&
      bpp == source->bitsPerPixel && dib == source->isDibSection)
    return h;
  auto copy = gdi::BitmapObject::create(width, height, bpp, dib ? source->topDown : true);
  if (!copy) return nullptr;
  copy->isDibSection = dib;
  if (dib && !mono) {
    if (bpp <= 8) copy->colorTable = source->colorTable;
    copy->redMask = source->redMask;
    copy->greenMask = source->greenMask;
    copy->blueMask = source->blueMask;
    copy->compression = source->compression;
  }
  bool sameFormat = bpp == source->bitsPerPixel && copy->colorTable.size() == source->colorTable.size() &&
                    copy->redMask == source->redMask && copy->greenMask == source->greenMask &&
                    copy->blueMask == source->blueMask &&
                    (bpp > 8 || source->isMonochrome() || copy->colorTable.empty() ||
                     std::equal(copy->colorTable.begin(), copy->colorTable.end(),
                                source->colorTable.begin(), [](const RGBQUAD& a, const RGBQUAD& b) {
                                  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen &&
                                         a.rgbBlue == b.rgbBlue;
                                }));
  std::vector<int> columns(static_cast<size_t>(width));
  for (int x = 0; x < width; ++x)
    columns[static_cast<size_t>(x)] = gdi::copyImageSourceIndex(x, source->width, width);
  for (int y = 0; y < height; ++y) {
    int sy = gdi::copyImageSourceIndex(y, source->height, height);
    for (int x = 0; x < width; ++x) {
      DWORD raw = source->rawPixel(columns[static_cast<size_t>(x)], sy);
      copy->setRawPixel(x, y, sameFormat ? raw : copy->rawFromColor(source->colorFromRaw(raw)));
    }
  }
  HANDLE result = gdi::addObject(std::move(copy));
  if (result != nullptr && (flags & LR_COPYDELETEORG) != 0) DeleteObject(h);
  return result;
}
