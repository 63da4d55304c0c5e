// DIB headers: BITMAPINFOHEADER and its larger successors (only their first 40 bytes are read)
// and BITMAPCOREHEADER; BI_RGB at 1, 4, 8, 16, 24 and 32 bpp and BI_BITFIELDS at 16 and 32 bpp.
// A colour table shorter than 2^bpp (biClrUsed) is padded with black.
#include "gdi/DibFormat.h"

#include <cstring>

#include "gdi/Palette.h"

namespace gdi {

bool readDibFormat(const BITMAPINFO* info, UINT usage, DibFormat& format,
                   const std::vector<PALETTEENTRY>* palette) {
  if (info == nullptr) return false;
  const BYTE* base = reinterpret_cast<const BYTE*>(info);
  DWORD headerSize = info->bmiHeader.biSize;
  bool core = headerSize == sizeof(BITMAPCOREHEADER);
  size_t colorSize = core ? 3 : 4;
  if (core) {
    const BITMAPCOREHEADER* ch = reinterpret_cast<const BITMAPCOREHEADER*>(info);
    format.width = ch->bcWidth;
    format.height = ch->bcHeight;
    format.topDown = false;
    format.bitsPerPixel = ch->bcBitCount;
    format.compression = BI_RGB;
  } else {
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > 4096) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biWidth < 0 || h.biHeight == INT32_MIN) return false;
    format.width = h.biWidth;
    format.topDown = h.biHeight < 0;
    format.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    format.bitsPerPixel = h.biBitCount;
    format.compression = h.biCompression;
  }
  int bpp = format.bitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (format.width > kMaxBitmapSide || format.height > kMaxBitmapSide) return false;
  format.stride = BitmapObject::rowBytes(format.width, bpp);
  if (format.stride * static_cast<size_t>(format.height) > kMaxBitmapBytes) return false;
  size_t offset = headerSize;
  format.redMask = format.greenMask = format.blueMask = 0;
  if (format.compression == BI_BITFIELDS) {
    if (bpp != 16 && bpp != 32) return false;
    DWORD masks[3];
    std::memcpy(masks, base + offset, sizeof masks);
    format.redMask = masks[0];
    format.greenMask = masks[1];
    format.blueMask = masks[2];
    if (headerSize == sizeof(BITMAPINFOHEADER)) offset += sizeof masks;
  } else if (format.compression != BI_RGB) {
    return false;
  } else if (bpp == 16) {
    format.redMask = 0x7C00;
    format.greenMask = 0x03E0;
    format.blueMask = 0x001F;
  } else if (bpp == 32) {
    format.redMask = 0x00FF0000;
    format.greenMask = 0x0000FF00;
    format.blueMask = 0x000000FF;
  }
  format.colors.clear();
  if (bpp <= 8) {
    size_t full = size_t{1} << bpp;
    size_t used = full;
    if (!core && info->bmiHeader.biClrUsed != 0 && info->bmiHeader.biClrUsed < full)
      used = info->bmiHeader.biClrUsed;
    format.colors.assign(full, RGBQUAD{0, 0, 0, 0});
    if (usage == DIB_PAL_COLORS) {
      std::unique_ptr<PaletteObject> fallback;
      if (palette == nullptr) {
        fallback = makeDefaultPalette();
        palette = &fallback->entries;
      }
      for (size_t i = 0; i < used; ++i) {
        WORD index;
        std::memcpy(&index, base + offset + 2 * i, 2);
        if (index < palette->size()) {
          const PALETTEENTRY& e = (*palette)[index];
          format.colors[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
        }
      }
      offset += 2 * used;
    } else {
      for (size_t i = 0; i < used; ++i) {
        const BYTE* c = base + offset + colorSize * i;
        format.colors[i] = RGBQUAD{c[0], c[1], c[2], 0};
      }
      offset += colorSize * used;
    }
  }
  format.headerBytes = offset;
  return true;
}

std::unique_ptr<BitmapObject> dibView(const DibFormat& format, const void* bits, int lines) {
  auto view = std::make_unique<BitmapObject>();
  view->width = format.width;
  view->height = lines;
  view->bitsPerPixel = format.bitsPerPixel;
  view->stride = static_cast<int>(format.stride);
  view->topDown = format.topDown;
  view->bits = static_cast<BYTE*>(const_cast<void*>(bits));
  view->colorTable = format.colors;
  view->isDibSection = true;
  view->compression = format.compression;
  if (format.bitsPerPixel == 16 || format.bitsPerPixel == 32) {
    view->redMask = format.redMask;
    view->greenMask = format.greenMask;
    view->blueMask = format.blueMask;
  }
  return view;
}

std::unique_ptr<BitmapObject> bitmapFromDib(const DibFormat& format, const void* bits, int lines) {
  auto bitmap = BitmapObject::create(format.width, lines, format.bitsPerPixel, true);
  if (!bitmap) return nullptr;
  auto view = dibView(format, bits, lines);
  bitmap->colorTable = view->colorTable;
  bitmap->redMask = view->redMask;
  bitmap->greenMask = view->greenMask;
  bitmap->blueMask = view->blueMask;
  bitmap->isDibSection = true;
  for (int y = 0; y < lines; ++y)
    std::memcpy(bitmap->row(y), view->row(y), static_cast<size_t>(bitmap->stride));
  return bitmap;
}

namespace {

bool sameTable(const std::vector<RGBQUAD>& a, const std::vector<RGBQUAD>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(RGBQUAD)) == 0);
}

}  // namespace

void convertPixels(const BitmapObject& from, int fromY, BitmapObject& to, int toY, int rows) {
  int width = from.width < to.width ? from.width : to.width;
  bool sameFormat = from.bitsPerPixel == to.bitsPerPixel && sameTable(from.colorTable, to.colorTable) &&
                    from.redMask == to.redMask && from.greenMask == to.greenMask &&
                    from.blueMask == to.blueMask;
  size_t rowBytes = BitmapObject::rowBytes(width, from.bitsPerPixel);
  for (int r = 0; r < rows; ++r) {
    int fy = fromY + r, ty = toY + r;
    if (fy < 0 || fy >= from.height || ty < 0 || ty >= to.height) continue;
    if (sameFormat && width == from.width && width == to.width) {
      std::memcpy(to.row(ty), from.row(fy), rowBytes);
      continue;
    }
    for (int x = 0; x < width; ++x)
      to.setRawPixel(x, ty, to.rawFromColor(from.colorFromRaw(from.rawPixel(x, fy))));
  }
}

}  // namespace gdi
