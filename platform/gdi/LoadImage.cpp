// LoadImageA for files. Where Windows leaves it open: a bitmap becomes a bottom-up DIB section at
// the file's depth with LR_CREATEDIBSECTION, else a 32-bit device-dependent bitmap (a 1-bit one
// with LR_MONOCHROME, white where the luminance (299 R + 587 G + 114 B) / 1000 is 128 or more);
// a bitmap asked for at another size is resampled by nearest pixel as CopyImage does; a size of 0
// for an icon or cursor means 32 with LR_DEFAULTSIZE, else the first image's size in the file;
// either file kind (.ico or .cur) loads as either type, hot spots coming only from a .cur file;
// images are not resources here, so a load without LR_LOADFROMFILE fails with
// ERROR_RESOURCE_DATA_NOT_FOUND; LR_LOADTRANSPARENT, LR_LOADMAP3DCOLORS and LR_VGACOLOR are
// accepted and change nothing.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/Bitmap.h"
#include "gdi/Icon.h"
#include "gdi/ImageFile.h"

namespace {

using gdi::imagefile::Dib;

using gdi::imagefile::kSystemIconSize;

int nearestSource(int d, int s, int n) {
  int64_t v = (2 * int64_t{d} * s + n) / (2 * int64_t{n});
  return static_cast<int>(std::min<int64_t>(v, s - 1));
}

bool luminanceWhite(uint32_t argb) {
  uint32_t r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  return (299 * r + 587 * g + 114 * b) / 1000 >= 128;
}

// The DIB resampled to w x h (the same object when the size already fits).
Dib resample(const Dib& dib, int w, int h) {
  Dib out = dib;
  out.width = w;
  out.height = h;
  out.stride = static_cast<int>(gdi::BitmapObject::rowBytes(w, dib.bitsPerPixel));
  out.bits.assign(static_cast<size_t>(out.stride) * static_cast<size_t>(h), 0);
  for (int y = 0; y < h; ++y) {
    int sy = nearestSource(y, dib.height, h);
    for (int x = 0; x < w; ++x) out.setRaw(x, y, dib.raw(nearestSource(x, dib.width, w), sy));
  }
  return out;
}

HBITMAP bitmapFromDib(const Dib& dib, UINT flags) {
  bool mono = (flags & LR_MONOCHROME) != 0;
  if (flags & LR_CREATEDIBSECTION) {
    int bpp = mono ? 1 : dib.bitsPerPixel;
    auto bitmap = gdi::BitmapObject::create(dib.width, dib.height, bpp, false);
    if (!bitmap) return nullptr;
    bitmap->isDibSection = true;
    if (mono) {
      bitmap->colorTable = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
      for (int y = 0; y < dib.height; ++y)
        for (int x = 0; x < dib.width; ++x) bitmap->setRawPixel(x, y, luminanceWhite(dib.argb(x, y)) ? 1 : 0);
    } else {
      if (bpp <= 8) {
        for (size_t k = 0; k < bitmap->colorTable.size() && k < dib.palette.size(); ++k) {
          uint32_t c = dib.palette[k];
          bitmap->colorTable[k] = RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
        }
      }
      if (bpp == 16 || bpp == 32) {
        bitmap->redMask = dib.redMask;
        bitmap->greenMask = dib.greenMask;
        bitmap->blueMask = dib.blueMask;
        bitmap->compression = dib.bitfields ? BI_BITFIELDS : BI_RGB;
      }
      size_t stride = static_cast<size_t>(dib.stride);
      for (int y = 0; y < dib.height; ++y) std::memcpy(bitmap->row(y), dib.bits.data() + y * stride, stride);
    }
    return static_cast<HBITMAP>(gdi::addObject(std::move(bitmap)));
  }
  auto bitmap = gdi::BitmapObject::create(dib.width, dib.height, mono ? 1 : 32, true);
  if (!bitmap) return nullptr;
  bool keepAlpha = dib.bitsPerPixel == 32 && !dib.bitfields;
  for (int y = 0; y < dib.height; ++y) {
    BYTE* row = bitmap->row(y);
    for (int x = 0; x < dib.width; ++x) {
      uint32_t v = dib.argb(x, y);
      if (mono) {
        bitmap->setRawPixel(x, y, luminanceWhite(v) ? 1 : 0);
        continue;
      }
      row[4 * x] = static_cast<BYTE>(v);
      row[4 * x + 1] = static_cast<BYTE>(v >> 8);
      row[4 * x + 2] = static_cast<BYTE>(v >> 16);
      row[4 * x + 3] = keepAlpha ? static_cast<BYTE>(v >> 24) : 0;
    }
  }
  return static_cast<HBITMAP>(gdi::addObject(std::move(bitmap)));
}

HANDLE loadBitmap(const std::vector<uint8_t>& bytes, int cx, int cy, UINT flags) {
  Dib dib;
  DWORD error = 0;
  if (!gdi::imagefile::decodeBmpFile(bytes.data(), bytes.size(), dib, error)) {
    SetLastError(error);
    return nullptr;
  }
  int w = cx ? cx : dib.width;
  int h = cy ? cy : dib.height;
  if (w > gdi::kMaxBitmapSide || h > gdi::kMaxBitmapSide ||
      gdi::BitmapObject::rowBytes(w, dib.bitsPerPixel) * static_cast<size_t>(h) > gdi::kMaxBitmapBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (w != dib.width || h != dib.height) return bitmapFromDib(resample(dib, w, h), flags);
  return bitmapFromDib(dib, flags);
}

HANDLE loadIcon(const std::vector<uint8_t>& bytes, bool wantIcon, int cx, int cy, UINT flags) {
  std::vector<gdi::imagefile::IconEntry> entries;
  bool fileIsCursor = false;
  DWORD error = 0;
  if (!gdi::imagefile::readIconDirectory(bytes.data(), bytes.size(), entries, fileIsCursor, error)) {
    SetLastError(error);
    return nullptr;
  }
  bool defaultSize = (flags & LR_DEFAULTSIZE) != 0;
  int askW = cx ? cx : (defaultSize ? kSystemIconSize : entries[0].width);
  int askH = cy ? cy : (defaultSize ? kSystemIconSize : entries[0].height);
  size_t chosen = gdi::imagefile::chooseIconEntry(entries, askW, askH);
  gdi::imagefile::IconImage image;
  if (!gdi::imagefile::decodeIconEntry(bytes.data(), bytes.size(), entries[chosen], fileIsCursor, image, error)) {
    SetLastError(error);
    return nullptr;
  }
  int w = cx ? cx : (defaultSize ? kSystemIconSize : image.width);
  int h = cy ? cy : (defaultSize ? kSystemIconSize : image.height);
  if (static_cast<size_t>(w) * static_cast<size_t>(h) * 4 > gdi::kMaxBitmapBytes || w > gdi::kMaxBitmapSide ||
      h > gdi::kMaxBitmapSide) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  image = gdi::imagefile::scaleIconImage(image, w, h);
  gdi::IconObject icon = gdi::iconFromImage(std::move(image), wantIcon);
  HICON handle = gdi::addIcon(std::move(icon));
  if (handle != nullptr && (flags & LR_MONOCHROME))
    handle = gdi::copyIconImage(handle, 0, 0, LR_MONOCHROME | LR_COPYDELETEORG);
  if (handle != nullptr && (flags & LR_SHARED)) gdi::shareIcon(handle);
  return handle;
}

}  // namespace

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
  if (!(fuLoad & LR_LOADFROMFILE)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  if (type != IMAGE_BITMAP && type != IMAGE_ICON && type != IMAGE_CURSOR) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // A resource number where a file name belongs names no file.
  if (reinterpret_cast<uintptr_t>(name) < 0x10000) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  std::vector<uint8_t> bytes;
  DWORD error = 0;
  if (!gdi::imagefile::readWholeFile(name, bytes, error)) {
    SetLastError(error);
    return nullptr;
  }
  if (type == IMAGE_BITMAP) return loadBitmap(bytes, cx, cy, fuLoad);
  return loadIcon(bytes, type == IMAGE_ICON, cx, cy, fuLoad);
}
