// .bmp files and packed DIBs. Where Windows leaves it open: bits start at bfOffBits when that lies
// after the headers and inside the file, else right after the colour table; a colour index beyond
// the table is black; pixels an RLE stream skips (delta, end of line, end of bitmap) are index 0;
// an RLE stream that ends on a code boundary without an end-of-bitmap code keeps what it decoded;
// run pixels beyond the right edge are dropped; uncompressed bits must be present in full; an RLE
// bitmap may not decode to more than 1024 times its compressed bytes plus 1 MiB.
#include "gdi/ImageFile.h"

#include <bit>
#include <cstring>

namespace gdi::imagefile {
namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t s32(const uint8_t* p) { return static_cast<int32_t>(u32(p)); }

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

bool fail(DWORD& error, DWORD code) {
  error = code;
  return false;
}

// A mask is usable when it is one run of set bits.
bool contiguous(uint32_t mask) {
  if (mask == 0) return false;
  uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

// The channel under a mask, widened to 8 bits by repeating its top bits.
uint32_t channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  int width = std::popcount(mask);
  uint32_t v = (value & mask) >> shift;
  if (width >= 8) return v >> (width - 8);
  uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << width) | v;
    filled += width;
  }
  return out >> (filled - 8);
}

// Decodes RLE8 or RLE4 into the top-down rows of out (the stream runs bottom-up).
bool decodeRle(const uint8_t* p, size_t n, bool four, Dib& out, DWORD& error) {
  size_t i = 0;
  int x = 0;
  int row = 0;  // counted from the bottom
  auto put = [&](int value) {
    if (x < out.width && row < out.height) out.setRaw(x, out.height - 1 - row, static_cast<uint32_t>(value));
    ++x;
  };
  while (row < out.height) {
    if (i == n) return true;
    if (i + 2 > n) return fail(error, ERROR_INVALID_DATA);
    uint8_t count = p[i];
    uint8_t value = p[i + 1];
    i += 2;
    if (count > 0) {
      // The part of a run beyond the right edge is dropped.
      for (int k = 0; k < count && x < out.width; ++k) put(four ? ((k & 1) ? (value & 0x0F) : (value >> 4)) : value);
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++row;
        break;
      case 1:  // end of bitmap
        return true;
      case 2: {  // delta
        if (i + 2 > n) return fail(error, ERROR_INVALID_DATA);
        x += p[i];
        row += p[i + 1];
        i += 2;
        if (x > out.width) x = out.width;
        break;
      }
      default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
        size_t bytes = four ? (value + 1u) / 2u : value;
        size_t padded = (bytes + 1u) & ~size_t{1};
        if (i + bytes > n) return fail(error, ERROR_INVALID_DATA);
        for (int k = 0; k < value; ++k) {
          int pixel = four ? ((k & 1) ? (p[i + k / 2] & 0x0F) : (p[i + k / 2] >> 4)) : p[i + k];
          if (x >= out.width) break;
          put(pixel);
        }
        if (x > out.width) x = out.width;
        i += padded > n - i ? n - i : padded;
        break;
      }
    }
  }
  return true;
}

}  // namespace

uint32_t Dib::raw(int x, int y) const {
  const uint8_t* row = bits.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
  switch (bitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8: return row[x];
    case 16: return u16(row + 2 * x);
    case 24: return row[3 * x] | (row[3 * x + 1] << 8) | (static_cast<uint32_t>(row[3 * x + 2]) << 16);
    default: return u32(row + 4 * x);
  }
}

void Dib::setRaw(int x, int y, uint32_t value) {
  uint8_t* row = bits.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
  switch (bitsPerPixel) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>((value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
      break;
    }
    case 4:
      row[x >> 1] = (x & 1) ? static_cast<uint8_t>((row[x >> 1] & 0xF0) | (value & 0x0F))
                            : static_cast<uint8_t>((row[x >> 1] & 0x0F) | ((value & 0x0F) << 4));
      break;
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 16:
      row[2 * x] = static_cast<uint8_t>(value);
      row[2 * x + 1] = static_cast<uint8_t>(value >> 8);
      break;
    case 24:
      for (int k = 0; k < 3; ++k) row[3 * x + k] = static_cast<uint8_t>(value >> (8 * k));
      break;
    default:
      for (int k = 0; k < 4; ++k) row[4 * x + k] = static_cast<uint8_t>(value >> (8 * k));
      break;
  }
}

uint32_t Dib::argb(int x, int y) const {
  uint32_t v = raw(x, y);
  if (bitsPerPixel <= 8) return 0xFF000000u | (v < palette.size() ? palette[v] : 0u);
  if (bitsPerPixel == 24) return 0xFF000000u | v;
  if (bitsPerPixel == 32 && !bitfields) return v;
  return 0xFF000000u | (channel(v, redMask) << 16) | (channel(v, greenMask) << 8) | channel(v, blueMask);
}

bool decodePackedDib(const uint8_t* data, size_t size, size_t fileOffBits, Dib& out, DWORD& error,
                     size_t maxBytes) {
  out = Dib{};
  if (size < 4) return fail(error, ERROR_INVALID_DATA);
  uint32_t headerSize = u32(data);
  int64_t width, height;
  int planes, bpp;
  uint32_t compression = kBiRgb;
  uint32_t colorsUsed = 0;
  size_t paletteEntrySize = 4;
  size_t afterHeader = headerSize;
  if (headerSize == 12) {
    if (size < 12) return fail(error, ERROR_INVALID_DATA);
    width = u16(data + 4);
    height = static_cast<int16_t>(u16(data + 6));
    planes = u16(data + 8);
    bpp = u16(data + 10);
    paletteEntrySize = 3;
  } else if (headerSize >= 40 && headerSize <= 124) {
    if (size < headerSize) return fail(error, ERROR_INVALID_DATA);
    width = s32(data + 4);
    height = s32(data + 8);
    planes = u16(data + 12);
    bpp = u16(data + 14);
    compression = u32(data + 16);
    colorsUsed = u32(data + 32);
  } else {
    return fail(error, ERROR_INVALID_DATA);
  }

  bool topDown = height < 0;
  if (topDown) height = -height;
  if (planes != 1 || width <= 0 || height <= 0) return fail(error, ERROR_INVALID_DATA);
  if (width > kMaxSide || height > kMaxSide) return fail(error, ERROR_NOT_ENOUGH_MEMORY);
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return fail(error, ERROR_INVALID_DATA);
  bool rle = compression == kBiRle8 || compression == kBiRle4;
  if (compression == kBiRle8 && bpp != 8) return fail(error, ERROR_INVALID_DATA);
  if (compression == kBiRle4 && bpp != 4) return fail(error, ERROR_INVALID_DATA);
  if (compression == kBiBitfields && bpp != 16 && bpp != 32) return fail(error, ERROR_INVALID_DATA);
  if (compression > kBiBitfields) return fail(error, ERROR_INVALID_DATA);
  if (rle && topDown) return fail(error, ERROR_INVALID_DATA);  // compressed DIBs are bottom-up only

  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  out.bitsPerPixel = bpp;
  out.topDownInFile = topDown;
  out.stride = static_cast<int>(((width * bpp + 31) / 32) * 4);
  size_t total = static_cast<size_t>(out.stride) * static_cast<size_t>(height);
  if (total > maxBytes) return fail(error, ERROR_NOT_ENOUGH_MEMORY);

  if (compression == kBiBitfields) {
    // The masks follow a 40-byte header and sit inside the larger ones.
    if (headerSize == 40) afterHeader = 52;
    if (size < 52) return fail(error, ERROR_INVALID_DATA);
    out.redMask = u32(data + 40);
    out.greenMask = u32(data + 44);
    out.blueMask = u32(data + 48);
    out.bitfields = true;
    uint32_t limit = bpp == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    for (uint32_t m : {out.redMask, out.greenMask, out.blueMask})
      if (!contiguous(m) || (m & ~limit) != 0) return fail(error, ERROR_INVALID_DATA);
    if ((out.redMask & out.greenMask) || (out.redMask & out.blueMask) || (out.greenMask & out.blueMask))
      return fail(error, ERROR_INVALID_DATA);
  } else if (bpp == 16) {
    out.redMask = 0x7C00;
    out.greenMask = 0x03E0;
    out.blueMask = 0x001F;
  } else if (bpp == 32) {
    out.redMask = 0x00FF0000;
    out.greenMask = 0x0000FF00;
    out.blueMask = 0x000000FF;
  }

  size_t tableEntries = 0;
  if (bpp <= 8) {
    size_t full = size_t{1} << bpp;
    tableEntries = (headerSize == 12 || colorsUsed == 0) ? full : colorsUsed;
    if (tableEntries > 256) return fail(error, ERROR_INVALID_DATA);
  } else if (headerSize != 12) {
    if (colorsUsed > 256) return fail(error, ERROR_INVALID_DATA);
    tableEntries = colorsUsed;  // an optional optimisation table, skipped
  }
  size_t tableEnd = afterHeader + tableEntries * paletteEntrySize;
  if (tableEnd > size) return fail(error, ERROR_INVALID_DATA);
  if (bpp <= 8) {
    out.palette.assign(size_t{1} << bpp, 0);
    for (size_t k = 0; k < tableEntries && k < out.palette.size(); ++k) {
      const uint8_t* e = data + afterHeader + k * paletteEntrySize;
      out.palette[k] = (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
    }
  }

  size_t bitsAt = (fileOffBits >= tableEnd && fileOffBits < size) ? fileOffBits : tableEnd;
  const uint8_t* src = data + bitsAt;
  size_t available = size - bitsAt;

  if (rle) {
    if (total > available * 1024 + (size_t{1} << 20)) return fail(error, ERROR_NOT_ENOUGH_MEMORY);
    out.bits.assign(total, 0);
    return decodeRle(src, available, compression == kBiRle4, out, error);
  }
  if (available < total) return fail(error, ERROR_INVALID_DATA);
  out.dataEnd = bitsAt + total;
  out.bits.resize(total);
  size_t stride = static_cast<size_t>(out.stride);
  for (int y = 0; y < out.height; ++y) {
    int fileRow = topDown ? y : out.height - 1 - y;
    std::memcpy(out.bits.data() + static_cast<size_t>(y) * stride, src + static_cast<size_t>(fileRow) * stride, stride);
  }
  return true;
}

bool decodeBmpFile(const uint8_t* data, size_t size, Dib& out, DWORD& error, size_t maxBytes) {
  if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return fail(error, ERROR_INVALID_DATA);
  uint32_t offBits = u32(data + 10);
  // Offsets are measured from the file start; the packed DIB starts after the 14-byte header.
  size_t dibOff = offBits >= 14 ? offBits - 14 : 0;
  return decodePackedDib(data + 14, size - 14, dibOff, out, error, maxBytes);
}

}  // namespace gdi::imagefile
