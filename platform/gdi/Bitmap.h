// Bitmaps as the raster back end sees them. Every bitmap keeps its pixels in the layout its kind
// has on Windows: device-dependent colour bitmaps and window surfaces are 32 bits per pixel,
// top-down, bytes B, G, R, X; monochrome device-dependent bitmaps are 1 bit per pixel with the
// colour table black, white; DIB sections keep the format, orientation and colour table they were
// created with. Rows are DWORD aligned in memory whatever the kind.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gdi/GdiObject.h"

namespace gdi {

// The largest bitmap handed out: 32768 pixels on a side and 512 MiB of pixels.
constexpr int kMaxBitmapSide = 32768;
constexpr size_t kMaxBitmapBytes = size_t{512} << 20;

struct BitmapObject : GdiObject {
  BitmapObject() : GdiObject(ObjectKind::Bitmap) {}
  ~BitmapObject() override;

  // A zero-filled bitmap of the given format (1, 4, 8, 16, 24 or 32 bits per pixel), not yet in
  // the handle table (addObject it to give it a handle; a window surface never gets one). Bitmaps
  // of 8 bits or fewer get a black-and-white (1 bpp) or all-black colour table. nullptr with
  // ERROR_INVALID_PARAMETER for a bad format or a negative size, ERROR_NOT_ENOUGH_MEMORY for a
  // refused size (never allocated) and ERROR_OUTOFMEMORY for memory that cannot be had.
  static std::unique_ptr<BitmapObject> create(int width, int height, int bitsPerPixel,
                                              bool topDown = true);
  // create's work, which may throw when memory runs out.
  static std::unique_ptr<BitmapObject> make(int width, int height, int bitsPerPixel, bool topDown);
  // The bytes a row of this width and depth takes (DWORD aligned), or 0 on overflow.
  static size_t rowBytes(int width, int bitsPerPixel);

  int width = 0;
  int height = 0;
  int bitsPerPixel = 32;
  int stride = 0;       // bytes per row in memory
  bool topDown = true;  // false: the first row in memory is the bottom row (bottom-up DIB)
  BYTE* bits = nullptr; // the lowest address of the pixel memory
  std::vector<RGBQUAD> colorTable;  // 2^bitsPerPixel entries for 8 bpp and fewer, else empty
  bool isDibSection = false;
  // 16 and 32 bpp channel masks (BI_BITFIELDS); 16 bpp defaults to 5-5-5, 32 bpp to 8-8-8.
  DWORD redMask = 0x00FF0000, greenMask = 0x0000FF00, blueMask = 0x000000FF;
  DWORD compression = BI_RGB;  // BI_RGB or BI_BITFIELDS, as reported for a DIB section
  // The area drawn since a driver last looked (bitmap coordinates, right/bottom exclusive; empty
  // when nothing). Every drawing call widens it; drivers read it and clear it.
  RECT dirty{0, 0, 0, 0};

  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  BYTE* row(int y) const {
    return bits + static_cast<ptrdiff_t>(topDown ? y : height - 1 - y) * stride;
  }
  bool isMonochrome() const { return bitsPerPixel == 1; }

  // The stored value of a pixel: a colour-table index for 8 bpp and fewer, the packed value
  // otherwise (32 bpp: 0x00RRGGBB as the bytes B, G, R, X read little-endian). No bounds check.
  DWORD rawPixel(int x, int y) const;
  void setRawPixel(int x, int y, DWORD value);
  // What a colour becomes when stored (the nearest table entry for indexed formats), and back.
  DWORD rawFromColor(COLORREF color) const;
  COLORREF colorFromRaw(DWORD raw) const;
  // A pixel as a COLORREF; CLR_INVALID outside the bitmap.
  COLORREF pixel(int x, int y) const;
  // Stores the colour (nearest representable) and widens the dirty rect; ignored outside.
  void setPixel(int x, int y, COLORREF color);

  // Widens the dirty rect by r, clipped to the bitmap.
  void widenDirty(const RECT& r);
  // Reads and clears the dirty rect.
  RECT takeDirty();

  // GetObjectA: a BITMAP, or a DIBSECTION when asked with at least its size for a DIB section.
  int describe(int size, void* buffer) const override;

  // Pixel memory this object owns (window surfaces and every bitmap made by create()).
  struct FreeDeleter {
    void operator()(BYTE* p) const;
  };
  std::unique_ptr<BYTE, FreeDeleter> storage;
};

// The bitmap behind a handle, or nullptr with ERROR_INVALID_HANDLE.
BitmapObject* bitmapFromHandle(HBITMAP handle);

// The 1 x 1 monochrome stock bitmap every new memory DC holds.
HBITMAP stockBitmap();

// A colour as a 32-bit pixel holds it, 0x00RRGGBB (a COLORREF is 0x00BBGGRR).
inline uint32_t rgbOf(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

}  // namespace gdi
