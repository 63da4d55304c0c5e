// DIB sections and the DIB transfer calls. GetDIBits asked for a header only (biBitCount 0)
// reports BI_RGB for every depth but 16 bpp, which is BI_BITFIELDS 5-5-5; asked for 4 or 8 bpp
// from a bitmap of another format it writes the 16 VGA colours, then for 8 bpp the 6 x 6 x 6
// colour cube and a grey ramp, as the colour table the pixels are matched to. A section handle
// (hSection) is not supported: such a call fails with ERROR_INVALID_PARAMETER. RLE-compressed
// bits are refused with ERROR_INVALID_PARAMETER. StretchDIBits mirrors for a negative source
// height of a bottom-up DIB by StretchBlt's rule, counted from the bottom row upwards: rows
// ySrc + height + 1 up to ySrc.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/Bitmap.h"
#include "gdi/Blit.h"
#include "gdi/DeviceContext.h"
#include "gdi/DibFormat.h"
#include "gdi/Palette.h"
#include "gdi/ThreadDC.h"

namespace gdi {
namespace {

const std::vector<PALETTEENTRY>* dcPalette(HDC hdc) {
  GdiObject* dcObject = findObject(hdc);
  if (dcObject == nullptr) return nullptr;
  auto* dc = static_cast<DeviceContext*>(dcObject);
  if (dcObject->kind != ObjectKind::DC && dcObject->kind != ObjectKind::MemDC) return nullptr;
  GdiObject* p = findObject(dc->palette);
  if (p == nullptr || p->kind != ObjectKind::Palette) return nullptr;
  return &static_cast<PaletteObject*>(p)->entries;
}

std::vector<RGBQUAD> standardTable(int bpp) {
  static const BYTE vga[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                  {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                  {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
                                  {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  std::vector<RGBQUAD> table;
  if (bpp == 1) return {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  for (const auto& c : vga) table.push_back(RGBQUAD{c[2], c[1], c[0], 0});
  if (bpp == 8) {
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          table.push_back(RGBQUAD{static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51),
                                  static_cast<BYTE>(r * 51), 0});
    for (int i = 0; table.size() < 256; ++i) {
      BYTE v = static_cast<BYTE>(8 + i * 10);
      table.push_back(RGBQUAD{v, v, v, 0});
    }
  }
  return table;
}

void writeColorTable(BITMAPINFO* info, const std::vector<RGBQUAD>& table) {
  std::memcpy(info->bmiColors, table.data(), table.size() * sizeof(RGBQUAD));
}

}  // namespace
}  // namespace gdi

using gdi::BitmapObject;
using gdi::DibFormat;

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, VOID** ppvBits,
                                HANDLE hSection, DWORD offset) {
  if (ppvBits != nullptr) *ppvBits = nullptr;
  if (hdc != nullptr && gdi::dcFromHandle(hdc) == nullptr) return nullptr;
  DibFormat format;
  if (hSection != nullptr || usage > DIB_PAL_COLORS ||
      !gdi::readDibFormat(pbmi, usage, format, gdi::dcPalette(hdc))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (format.width == 0 || format.height == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto bitmap = BitmapObject::create(format.width, format.height, format.bitsPerPixel, format.topDown);
  if (!bitmap) return nullptr;
  bitmap->isDibSection = true;
  bitmap->compression = format.compression;
  if (format.bitsPerPixel <= 8) bitmap->colorTable = format.colors;
  if (format.bitsPerPixel == 16 || format.bitsPerPixel == 32) {
    bitmap->redMask = format.redMask;
    bitmap->greenMask = format.greenMask;
    bitmap->blueMask = format.blueMask;
  }
  void* bits = bitmap->bits;
  HBITMAP handle = static_cast<HBITMAP>(gdi::addObject(std::move(bitmap)));
  if (handle != nullptr && ppvBits != nullptr) *ppvBits = bits;
  return handle;
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                     LPBITMAPINFO lpbmi, UINT usage) {
  if (gdi::dcFromHandle(hdc) == nullptr) return 0;
  BitmapObject* bitmap = gdi::bitmapFromHandle(hbm);
  if (bitmap == nullptr) return 0;
  if (lpbmi == nullptr || lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) ||
      usage > DIB_PAL_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  BITMAPINFOHEADER& h = lpbmi->bmiHeader;
  if (h.biBitCount == 0) {
    // Only the header is asked for.
    h.biWidth = bitmap->width;
    h.biHeight = bitmap->isDibSection && bitmap->topDown ? -bitmap->height : bitmap->height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitmap->bitsPerPixel);
    h.biCompression = bitmap->bitsPerPixel == 16 ? BI_BITFIELDS : BI_RGB;
    h.biSizeImage = static_cast<DWORD>(bitmap->stride) * static_cast<DWORD>(bitmap->height);
    h.biXPelsPerMeter = h.biYPelsPerMeter = 0;
    h.biClrUsed = h.biClrImportant = 0;
    if (bitmap->bitsPerPixel == 16) {
      DWORD masks[3] = {bitmap->redMask, bitmap->greenMask, bitmap->blueMask};
      std::memcpy(lpbmi->bmiColors, masks, sizeof masks);
    }
    return bitmap->height > 0 ? bitmap->height : 1;
  }
  // Requests in another format than the bitmap's are answered with the standard masks.
  if (h.biCompression == BI_BITFIELDS && (h.biBitCount == 16 || h.biBitCount == 32)) {
    DWORD masks[3];
    if (h.biBitCount == 16) {
      masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F;
    } else {
      masks[0] = 0x00FF0000; masks[1] = 0x0000FF00; masks[2] = 0x000000FF;
    }
    std::memcpy(lpbmi->bmiColors, masks, sizeof masks);
  }
  // The request's colour table: the bitmap's own at its own depth, else the standard one.
  if (h.biBitCount <= 8 && h.biCompression == BI_RGB) {
    std::vector<RGBQUAD> table =
        (bitmap->bitsPerPixel == h.biBitCount) ? bitmap->colorTable : gdi::standardTable(h.biBitCount);
    if (table.size() != (size_t{1} << h.biBitCount)) table = gdi::standardTable(h.biBitCount);
    h.biClrUsed = 0;
    gdi::writeColorTable(lpbmi, table);
  }
  // A request of another width reads or fills the bitmap's columns from the left.
  DibFormat format;
  if (!gdi::readDibFormat(lpbmi, DIB_RGB_COLORS, format)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  h.biSizeImage = static_cast<DWORD>(format.stride * format.height);
  if (lpvBits == nullptr) return bitmap->height > 0 ? bitmap->height : 1;
  int height = bitmap->height;
  if (static_cast<long long>(start) >= height) return 0;
  int lines = static_cast<int>(std::min<long long>(cLines, height - static_cast<long long>(start)));
  if (lines <= 0) return 0;
  auto view = gdi::dibView(format, lpvBits, lines);
  // The first of the scans asked for is the bottom row for a bottom-up request.
  int firstRow = format.topDown ? static_cast<int>(start) : height - static_cast<int>(start) - lines;
  gdi::convertPixels(*bitmap, firstRow, *view, 0, lines);
  return lines;
}

int WINAPI SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const VOID* lpBits,
                     const BITMAPINFO* lpbmi, UINT ColorUse) {
  BitmapObject* bitmap = gdi::bitmapFromHandle(hbm);
  if (bitmap == nullptr) return 0;
  DibFormat format;
  if (lpBits == nullptr || ColorUse > DIB_PAL_COLORS ||
      !gdi::readDibFormat(lpbmi, ColorUse, format, gdi::dcPalette(hdc))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int height = std::min(format.height, bitmap->height);
  if (static_cast<long long>(start) >= format.height) return 0;
  int lines = static_cast<int>(std::min<long long>(cLines, format.height - static_cast<long long>(start)));
  if (lines <= 0) return 0;
  // The caller's bits hold scans start .. start + lines - 1 of a DIB of format.height rows.
  auto view = gdi::dibView(format, lpBits, lines);
  int firstRow = format.topDown ? static_cast<int>(start) : format.height - static_cast<int>(start) - lines;
  // Rows past the bitmap's own height are dropped.
  int skip = 0;
  if (firstRow < 0) skip = -firstRow;
  int rows = std::min(lines - skip, height - (firstRow + skip));
  if (rows > 0) {
    gdi::convertPixels(*view, skip, *bitmap, firstRow + skip, rows);
    bitmap->widenDirty(RECT{0, firstRow + skip, bitmap->width, firstRow + skip + rows});
  }
  return lines;
}

HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit,
                              const VOID* pjBits, const BITMAPINFO* pbmi, UINT iUsage) {
  if (pbmih == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  int width = pbmih->biWidth;
  int height = pbmih->biHeight < 0 ? -pbmih->biHeight : pbmih->biHeight;
  HBITMAP bitmap = (pbmih->biBitCount == 1) ? CreateBitmap(width, height, 1, 1, nullptr)
                                             : CreateCompatibleBitmap(hdc, width, height);
  if (bitmap == nullptr) return nullptr;
  if ((flInit & CBM_INIT) != 0 && pjBits != nullptr && pbmi != nullptr) {
    if (SetDIBits(hdc, bitmap, 0, static_cast<UINT>(height), pjBits, pbmi, iUsage) == 0) {
      DeleteObject(bitmap);
      return nullptr;
    }
  }
  return bitmap;
}

int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc,
                         int ySrc, int SrcWidth, int SrcHeight, const VOID* lpBits,
                         const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return 0;
  DibFormat format;
  if (lpBits == nullptr || iUsage > DIB_PAL_COLORS ||
      !gdi::readDibFormat(lpbmi, iUsage, format, gdi::dcPalette(hdc))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto view = gdi::dibView(format, lpBits, format.height);
  // A bottom-up DIB counts its source rectangle from the bottom row upwards, where a negative
  // height covers rows ySrc + SrcHeight + 1 up to ySrc, as StretchBlt's does; turned upside down
  // into the view's rows, that is the same extent from the row two further up.
  long long sourceY = format.topDown ? ySrc
                                     : static_cast<long long>(format.height) - ySrc - SrcHeight -
                                           (SrcHeight < 0 ? 2 : 0);
  gdi::BlitSource source;
  source.bitmap = view.get();
  source.bkColor = dc->bkColor;
  if (!gdi::stretchBlit(*dc, xDest, yDest, DestWidth, DestHeight, &source, xSrc, sourceY, SrcWidth,
                        SrcHeight, rop))
    return 0;
  return format.height;
}

int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                             UINT StartScan, UINT cLines, const VOID* lpvBits,
                             const BITMAPINFO* lpbmi, UINT ColorUse) {
  const bool threadDC = gdi::isThreadDC(hdc);
  gdi::DeviceContext* dc = threadDC ? nullptr : gdi::dcFromHandle(hdc);
  if (dc == nullptr && !threadDC) return 0;
  DibFormat format;
  if (lpvBits == nullptr || ColorUse > DIB_PAL_COLORS ||
      !gdi::readDibFormat(lpbmi, ColorUse, format, threadDC ? nullptr : gdi::dcPalette(hdc)) ||
      w > static_cast<DWORD>(gdi::kMaxBitmapSide) || h > static_cast<DWORD>(gdi::kMaxBitmapSide) ||
      cLines > static_cast<UINT>(gdi::kMaxBitmapSide) || StartScan > static_cast<UINT>(gdi::kMaxBitmapSide)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int lines = static_cast<int>(cLines);
  int start = static_cast<int>(StartScan);
  int width = static_cast<int>(w), height = static_cast<int>(h);
  if (lines == 0) return 0;
  auto view = gdi::dibView(format, lpvBits, lines);
  // The bits hold scans start .. start + lines - 1; find the view row of the rectangle's top.
  int top = format.topDown ? ySrc - start : start + lines - (ySrc + height);
  if (threadDC) return gdi::threadDibBlit(hdc, xDest, yDest, width, height, *view, xSrc, top) ? lines : 0;
  gdi::BlitSource source;
  source.bitmap = view.get();
  source.bkColor = dc->bkColor;
  gdi::stretchBlit(*dc, xDest, yDest, width, height, &source, xSrc, top, width, height, SRCCOPY);
  return lines;
}

UINT WINAPI SetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, const RGBQUAD* prgbq) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr || prgbq == nullptr) return 0;
  BitmapObject* bitmap = dc->target();
  if (bitmap == nullptr || !bitmap->isDibSection || bitmap->bitsPerPixel > 8) return 0;
  size_t size = bitmap->colorTable.size();
  if (iStart >= size) return 0;
  UINT count = static_cast<UINT>(std::min<size_t>(cEntries, size - iStart));
  for (UINT i = 0; i < count; ++i) {
    bitmap->colorTable[iStart + i] = prgbq[i];
    bitmap->colorTable[iStart + i].rgbReserved = 0;
  }
  bitmap->widenDirty(RECT{0, 0, bitmap->width, bitmap->height});
  return count;
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr || prgbq == nullptr) return 0;
  BitmapObject* bitmap = dc->target();
  if (bitmap == nullptr || !bitmap->isDibSection || bitmap->bitsPerPixel > 8) return 0;
  size_t size = bitmap->colorTable.size();
  if (iStart >= size) return 0;
  UINT count = static_cast<UINT>(std::min<size_t>(cEntries, size - iStart));
  std::memcpy(prgbq, bitmap->colorTable.data() + iStart, count * sizeof(RGBQUAD));
  return count;
}
