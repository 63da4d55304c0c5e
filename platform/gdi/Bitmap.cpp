// Device-dependent bitmaps and the pixel store shared by every bitmap kind. Sizes beyond the
// limits of Bitmap.h fail with ERROR_NOT_ENOUGH_MEMORY before anything is allocated; negative
// sizes and unknown formats fail with ERROR_INVALID_PARAMETER. A 16 bpp CreateBitmap gives a
// 5-5-5 bitmap and a 24 bpp one keeps three bytes per pixel, like their DIB counterparts.
#include "gdi/Bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gdi/DeviceContext.h"
#include "gdi/Raster.h"
#include "kernel/OutOfMemory.h"

namespace gdi {

BitmapObject::~BitmapObject() = default;

void BitmapObject::FreeDeleter::operator()(BYTE* p) const { std::free(p); }

size_t BitmapObject::rowBytes(int width, int bitsPerPixel) {
  if (width < 0 || bitsPerPixel <= 0) return 0;
  size_t bitsPerRow = static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel);
  return ((bitsPerRow + 31) / 32) * 4;
}

namespace {

bool validDepth(int bpp) {
  return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

}  // namespace

std::unique_ptr<BitmapObject> BitmapObject::create(int width, int height, int bitsPerPixel,
                                                   bool topDown) {
  return kernel::failingOnOutOfMemory<std::unique_ptr<BitmapObject>>(
      nullptr, [&] { return make(width, height, bitsPerPixel, topDown); });
}

std::unique_ptr<BitmapObject> BitmapObject::make(int width, int height, int bitsPerPixel, bool topDown) {
  if (width < 0 || height < 0 || !validDepth(bitsPerPixel)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (width > kMaxBitmapSide || height > kMaxBitmapSide) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  size_t stride = rowBytes(width, bitsPerPixel);
  size_t total = stride * static_cast<size_t>(height);
  if (total > kMaxBitmapBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto bitmap = std::make_unique<BitmapObject>();
  BYTE* memory = static_cast<BYTE*>(std::calloc(std::max<size_t>(total, 4), 1));
  if (memory == nullptr) {
    SetLastError(ERROR_OUTOFMEMORY);  // memory that cannot be had, not a size refused
    return nullptr;
  }
  bitmap->storage.reset(memory);
  bitmap->bits = memory;
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bitsPerPixel = bitsPerPixel;
  bitmap->stride = static_cast<int>(stride);
  bitmap->topDown = topDown;
  if (bitsPerPixel <= 8) {
    bitmap->colorTable.assign(size_t{1} << bitsPerPixel, RGBQUAD{0, 0, 0, 0});
    if (bitsPerPixel == 1) bitmap->colorTable[1] = RGBQUAD{255, 255, 255, 0};
  }
  if (bitsPerPixel == 16) {
    bitmap->redMask = 0x7C00;
    bitmap->greenMask = 0x03E0;
    bitmap->blueMask = 0x001F;
  }
  return bitmap;
}

DWORD BitmapObject::rawPixel(int x, int y) const {
  const BYTE* r = row(y);
  switch (bitsPerPixel) {
    case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4);
    case 8: return r[x];
    case 16: return static_cast<DWORD>(r[2 * x] | (r[2 * x + 1] << 8));
    case 24: return static_cast<DWORD>(r[3 * x] | (r[3 * x + 1] << 8) | (r[3 * x + 2] << 16));
    default: {
      DWORD v;
      std::memcpy(&v, r + 4 * x, 4);
      return v;
    }
  }
}

void BitmapObject::setRawPixel(int x, int y, DWORD value) {
  BYTE* r = row(y);
  switch (bitsPerPixel) {
    case 1: {
      BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
      if (value & 1) r[x >> 3] |= bit; else r[x >> 3] &= static_cast<BYTE>(~bit);
      break;
    }
    case 4:
      if (x & 1) r[x >> 1] = static_cast<BYTE>((r[x >> 1] & 0xF0) | (value & 0x0F));
      else r[x >> 1] = static_cast<BYTE>((r[x >> 1] & 0x0F) | ((value & 0x0F) << 4));
      break;
    case 8: r[x] = static_cast<BYTE>(value); break;
    case 16:
      r[2 * x] = static_cast<BYTE>(value);
      r[2 * x + 1] = static_cast<BYTE>(value >> 8);
      break;
    case 24:
      r[3 * x] = static_cast<BYTE>(value);
      r[3 * x + 1] = static_cast<BYTE>(value >> 8);
      r[3 * x + 2] = static_cast<BYTE>(value >> 16);
      break;
    default: std::memcpy(r + 4 * x, &value, 4); break;
  }
}

namespace {

// Spreads a channel value of `bits` width to 0..255 and back.
int maskShift(DWORD mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

int maskWidth(DWORD mask) {
  mask >>= maskShift(mask);
  int width = 0;
  while (mask & 1) {
    mask >>= 1;
    ++width;
  }
  return width;
}

BYTE channelFrom(DWORD raw, DWORD mask) {
  int width = maskWidth(mask);
  if (width == 0) return 0;
  DWORD v = (raw & mask) >> maskShift(mask);
  if (width >= 8) return static_cast<BYTE>(v >> (width - 8));
  // Replicate the high bits into the low ones so that full scale gives 255.
  DWORD out = v << (8 - width);
  out |= out >> width;
  if (width < 4) out |= out >> (2 * width);
  return static_cast<BYTE>(out);
}

DWORD channelTo(BYTE value, DWORD mask) {
  int width = maskWidth(mask);
  if (width == 0) return 0;
  DWORD v = width >= 8 ? (DWORD{value} << (width - 8)) : (DWORD{value} >> (8 - width));
  return (v << maskShift(mask)) & mask;
}

}  // namespace

DWORD BitmapObject::rawFromColor(COLORREF color) const {
  BYTE r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  if (bitsPerPixel <= 8) {
    // The nearest table entry by squared distance; the first of equals wins.
    DWORD best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < colorTable.size(); ++i) {
      const RGBQUAD& q = colorTable[i];
      long dr = long{q.rgbRed} - r, dg = long{q.rgbGreen} - g, db = long{q.rgbBlue} - b;
      long distance = dr * dr + dg * dg + db * db;
      if (bestDistance < 0 || distance < bestDistance) {
        bestDistance = distance;
        best = static_cast<DWORD>(i);
        if (distance == 0) break;
      }
    }
    return best;
  }
  if (bitsPerPixel == 24) return DWORD{b} | (DWORD{g} << 8) | (DWORD{r} << 16);
  if (bitsPerPixel == 32 && redMask == 0x00FF0000 && greenMask == 0x0000FF00 &&
      blueMask == 0x000000FF)
    return DWORD{b} | (DWORD{g} << 8) | (DWORD{r} << 16);
  return channelTo(r, redMask) | channelTo(g, greenMask) | channelTo(b, blueMask);
}

COLORREF BitmapObject::colorFromRaw(DWORD raw) const {
  if (bitsPerPixel <= 8) {
    if (raw >= colorTable.size()) return 0;
    const RGBQUAD& q = colorTable[raw];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  if (bitsPerPixel == 24 || (bitsPerPixel == 32 && redMask == 0x00FF0000 &&
                             greenMask == 0x0000FF00 && blueMask == 0x000000FF))
    return RGB((raw >> 16) & 0xFF, (raw >> 8) & 0xFF, raw & 0xFF);
  return RGB(channelFrom(raw, redMask), channelFrom(raw, greenMask), channelFrom(raw, blueMask));
}

COLORREF BitmapObject::pixel(int x, int y) const {
  if (!contains(x, y)) return CLR_INVALID;
  return colorFromRaw(rawPixel(x, y));
}

void BitmapObject::setPixel(int x, int y, COLORREF color) {
  if (!contains(x, y)) return;
  setRawPixel(x, y, rawFromColor(color));
  widenDirty(RECT{x, y, x + 1, y + 1});
}

void BitmapObject::widenDirty(const RECT& r) {
  RECT c{std::max<LONG>(r.left, 0), std::max<LONG>(r.top, 0), std::min<LONG>(r.right, width),
         std::min<LONG>(r.bottom, height)};
  if (c.left >= c.right || c.top >= c.bottom) return;
  if (dirty.left >= dirty.right || dirty.top >= dirty.bottom) {
    dirty = c;
    return;
  }
  dirty.left = std::min(dirty.left, c.left);
  dirty.top = std::min(dirty.top, c.top);
  dirty.right = std::max(dirty.right, c.right);
  dirty.bottom = std::max(dirty.bottom, c.bottom);
}

RECT BitmapObject::takeDirty() {
  RECT r = dirty;
  dirty = RECT{0, 0, 0, 0};
  return r;
}

int BitmapObject::describe(int size, void* buffer) const {
  BITMAP bm{};
  bm.bmType = 0;
  bm.bmWidth = width;
  bm.bmHeight = height;
  // Device-dependent bitmaps report WORD-aligned rows, DIB sections DWORD-aligned ones.
  bm.bmWidthBytes = isDibSection ? stride : ((width * bitsPerPixel + 15) / 16) * 2;
  bm.bmPlanes = 1;
  bm.bmBitsPixel = static_cast<WORD>(bitsPerPixel);
  bm.bmBits = isDibSection ? bits : nullptr;
  if (buffer == nullptr) return isDibSection ? static_cast<int>(sizeof(DIBSECTION))
                                             : static_cast<int>(sizeof(BITMAP));
  if (isDibSection && size >= static_cast<int>(sizeof(DIBSECTION))) {
    DIBSECTION ds{};
    ds.dsBm = bm;
    ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
    ds.dsBmih.biWidth = width;
    ds.dsBmih.biHeight = topDown ? -height : height;
    ds.dsBmih.biPlanes = 1;
    ds.dsBmih.biBitCount = static_cast<WORD>(bitsPerPixel);
    ds.dsBmih.biCompression = compression;
    ds.dsBmih.biSizeImage = static_cast<DWORD>(stride) * static_cast<DWORD>(height);
    ds.dsBmih.biClrUsed = static_cast<DWORD>(colorTable.size());
    if (bitsPerPixel == 16 || bitsPerPixel == 32) {
      ds.dsBitfields[0] = redMask;
      ds.dsBitfields[1] = greenMask;
      ds.dsBitfields[2] = blueMask;
    }
    std::memcpy(buffer, &ds, sizeof ds);
    return sizeof(DIBSECTION);
  }
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  std::memcpy(buffer, &bm, sizeof bm);
  return sizeof(BITMAP);
}

BitmapObject* bitmapFromHandle(HBITMAP handle) {
  return objectAs<BitmapObject>(handle, ObjectKind::Bitmap);
}

namespace {

// Copies caller bits laid out with WORD-aligned rows (the device-dependent convention).
void loadWordAlignedBits(BitmapObject& bitmap, const void* source) {
  size_t sourceStride = static_cast<size_t>((bitmap.width * bitmap.bitsPerPixel + 15) / 16) * 2;
  const BYTE* src = static_cast<const BYTE*>(source);
  size_t copy = std::min<size_t>(sourceStride, static_cast<size_t>(bitmap.stride));
  for (int y = 0; y < bitmap.height; ++y) std::memcpy(bitmap.row(y), src + y * sourceStride, copy);
}

HBITMAP addBitmap(std::unique_ptr<BitmapObject> bitmap) {
  if (!bitmap) return nullptr;
  return static_cast<HBITMAP>(addObject(std::move(bitmap)));
}

}  // namespace

}  // namespace gdi

using gdi::BitmapObject;

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                            const VOID* lpBits) {
  if (nWidth < 0 || nHeight < 0 || nPlanes > 32 || nBitCount > 32) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Windows rounds any depth up to the next supported one and treats 0 x 0 as 1 x 1 monochrome.
  UINT bits = nPlanes * nBitCount;
  int bpp = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : bits <= 16 ? 16 : bits <= 24 ? 24 : 32;
  if (nWidth == 0 || nHeight == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
  auto bitmap = BitmapObject::create(nWidth, nHeight, bpp);
  if (!bitmap) return nullptr;
  if (lpBits != nullptr) gdi::loadWordAlignedBits(*bitmap, lpBits);
  return gdi::addBitmap(std::move(bitmap));
}

HBITMAP WINAPI CreateBitmapIndirect(const BITMAP* pbm) {
  if (pbm == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return nullptr;
  if (cx < 0 || cy < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (cx == 0 || cy == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
  const BitmapObject* target = dc->target();
  if (dc->isMemoryDC() && target != nullptr && target->isDibSection) {
    // A DC holding a DIB section makes DIB sections of the same format.
    auto bitmap = BitmapObject::create(cx, cy, target->bitsPerPixel, target->topDown);
    if (!bitmap) return nullptr;
    bitmap->isDibSection = true;
    bitmap->colorTable = target->colorTable;
    bitmap->redMask = target->redMask;
    bitmap->greenMask = target->greenMask;
    bitmap->blueMask = target->blueMask;
    bitmap->compression = target->compression;
    return gdi::addBitmap(std::move(bitmap));
  }
  if (dc->isMemoryDC() && target != nullptr && target->isMonochrome())
    return CreateBitmap(cx, cy, 1, 1, nullptr);
  return gdi::addBitmap(BitmapObject::create(cx, cy, 32));
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits) {
  BitmapObject* bitmap = gdi::bitmapFromHandle(hbit);
  if (bitmap == nullptr) return 0;
  long sourceStride = (bitmap->width * bitmap->bitsPerPixel + 15) / 16 * 2;
  long total = sourceStride * bitmap->height;
  if (lpvBits == nullptr) return total;
  if (cb <= 0) return 0;
  BYTE* out = static_cast<BYTE*>(lpvBits);
  long written = 0;
  for (int y = 0; y < bitmap->height && written < cb; ++y) {
    long n = std::min<long>(sourceStride, cb - written);
    long fromRow = std::min<long>(n, bitmap->stride);
    std::memcpy(out + written, bitmap->row(y), static_cast<size_t>(fromRow));
    written += n;
  }
  return written;
}
