// .ico and .cur files. Where Windows leaves it open: an image's real size is the one in its own
// header (the directory's bytes only choose it); a 32-bit image with no AND mask after its colour
// bits takes its mask from the alpha channel; a 32-bit image whose alpha bytes are all 0 is drawn
// through its mask alone; PNG images get a mask that is transparent where alpha is 0; the image
// chosen for a size is the closest one (the sum of the width and height differences, ties to the
// larger image), then the deepest not above the display's 32 bits, then the first in the file.
#include <algorithm>
#include <cstdlib>

#include "gdi/ImageFile.h"

namespace gdi::imagefile {
namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool fail(DWORD& error, DWORD code) {
  error = code;
  return false;
}

// The source coordinate shown at destination d when s pixels become n.
int nearestSource(int d, int s, int n) {
  int64_t v = (2 * int64_t{d} * s + n) / (2 * int64_t{n});
  return static_cast<int>(std::min<int64_t>(v, s - 1));
}

}  // namespace

bool readIconDirectory(const uint8_t* data, size_t size, std::vector<IconEntry>& entries,
                       bool& isCursor, DWORD& error) {
  entries.clear();
  if (size < 6 || u16(data) != 0) return fail(error, ERROR_INVALID_DATA);
  int type = u16(data + 2);
  if (type != 1 && type != 2) return fail(error, ERROR_INVALID_DATA);
  isCursor = type == 2;
  size_t count = u16(data + 4);
  if (count == 0 || 6 + count * 16 > size) return fail(error, ERROR_INVALID_DATA);
  for (size_t k = 0; k < count; ++k) {
    const uint8_t* e = data + 6 + k * 16;
    IconEntry entry;
    entry.width = e[0] == 0 ? 256 : e[0];
    entry.height = e[1] == 0 ? 256 : e[1];
    entry.colorCount = e[2];
    entry.planes = u16(e + 4);
    entry.bitCount = u16(e + 6);
    entry.bytes = u32(e + 8);
    entry.offset = u32(e + 12);
    if (entry.offset > size || entry.bytes > size - entry.offset || entry.bytes == 0)
      return fail(error, ERROR_INVALID_DATA);
    entries.push_back(entry);
  }
  return true;
}

size_t chooseIconEntry(const std::vector<IconEntry>& entries, int cx, int cy, int displayBits) {
  auto depth = [](const IconEntry& e) {
    if (e.bitCount != 0) return e.bitCount;
    if (e.colorCount == 0) return 8;  // a 256-colour image when the directory says nothing
    int bits = 1;
    while ((1 << bits) < e.colorCount) ++bits;
    return bits;
  };
  size_t best = 0;
  for (size_t k = 1; k < entries.size(); ++k) {
    const IconEntry& a = entries[k];
    const IconEntry& b = entries[best];
    int da = std::abs(a.width - cx) + std::abs(a.height - cy);
    int db = std::abs(b.width - cx) + std::abs(b.height - cy);
    if (da != db) {
      if (da < db) best = k;
      continue;
    }
    if (a.width + a.height != b.width + b.height) {
      if (a.width + a.height > b.width + b.height) best = k;
      continue;
    }
    int ba = depth(a), bb = depth(b);
    bool fitsA = ba <= displayBits, fitsB = bb <= displayBits;
    if (fitsA != fitsB) {
      if (fitsA) best = k;
    } else if (fitsA ? ba > bb : ba < bb) {
      best = k;
    }
  }
  return best;
}

bool decodeIconResource(const uint8_t* data, size_t size, IconImage& out, DWORD& error,
                        size_t maxBytes) {
  out = IconImage{};
  if (isPng(data, size)) {
    if (!decodePng(data, size, out.width, out.height, out.argb, error, maxBytes)) return false;
    out.bitsPerPixel = 32;
    out.hasAlpha = true;
    out.mask.resize(out.argb.size());
    for (size_t k = 0; k < out.argb.size(); ++k) out.mask[k] = (out.argb[k] >> 24) == 0 ? 1 : 0;
    return true;
  }
  if (size < 40) return fail(error, ERROR_INVALID_DATA);
  uint32_t headerSize = u32(data);
  if (headerSize < 40 || headerSize > size) return fail(error, ERROR_INVALID_DATA);
  int32_t fullHeight = static_cast<int32_t>(u32(data + 8));
  // The header describes the colour image and the mask stacked: twice the icon's height.
  if (fullHeight <= 0 || (fullHeight & 1)) return fail(error, ERROR_INVALID_DATA);
  std::vector<uint8_t> header(data, data + headerSize);
  int32_t half = fullHeight / 2;
  for (int k = 0; k < 4; ++k) header[8 + k] = static_cast<uint8_t>(static_cast<uint32_t>(half) >> (8 * k));
  if (u32(data + 16) != 0) return fail(error, ERROR_INVALID_DATA);  // icons are never compressed

  // Decode the colour part through a copy of the header with the real height and a table in place.
  Dib dib;
  {
    std::vector<uint8_t> packed(header);
    packed.insert(packed.end(), data + headerSize, data + size);
    if (!decodePackedDib(packed.data(), packed.size(), 0, dib, error, maxBytes)) return false;
  }
  size_t maskAt = dib.dataEnd;
  int w = dib.width, h = dib.height;
  size_t maskStride = static_cast<size_t>((w + 31) / 32) * 4;
  bool haveMask = maskAt <= size && size - maskAt >= maskStride * static_cast<size_t>(h);
  if (!haveMask && dib.bitsPerPixel != 32) return fail(error, ERROR_INVALID_DATA);

  out.width = w;
  out.height = h;
  out.bitsPerPixel = dib.bitsPerPixel;
  size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
  out.mask.assign(pixels, 0);
  if (haveMask) {
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = data + maskAt + static_cast<size_t>(h - 1 - y) * maskStride;
      for (int x = 0; x < w; ++x) out.mask[static_cast<size_t>(y) * w + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
  }

  if (dib.bitsPerPixel == 1) {
    // Monochrome: the colour part is the XOR plane, shown through black and white.
    out.monoXor.resize(pixels);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t colour = dib.argb(x, y) & 0xFFFFFF;
        // Index 1 of a normal black-and-white table is white; a table in reverse order still works.
        out.monoXor[static_cast<size_t>(y) * w + x] = colour == 0xFFFFFF ? 1 : (colour == 0 ? 0 : dib.raw(x, y));
      }
    return true;
  }
  out.argb.resize(pixels);
  bool anyAlpha = false;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t v = dib.argb(x, y);
      out.argb[static_cast<size_t>(y) * w + x] = v;
      if (dib.bitsPerPixel == 32 && (v >> 24) != 0) anyAlpha = true;
    }
  if (dib.bitsPerPixel == 32 && anyAlpha) {
    out.hasAlpha = true;
    if (!haveMask)
      for (size_t k = 0; k < pixels; ++k) out.mask[k] = (out.argb[k] >> 24) == 0 ? 1 : 0;
  } else {
    if (!haveMask) return fail(error, ERROR_INVALID_DATA);
    for (uint32_t& v : out.argb) v |= 0xFF000000u;
  }
  return true;
}

bool decodeIconEntry(const uint8_t* data, size_t size, const IconEntry& entry, bool isCursor,
                     IconImage& out, DWORD& error, size_t maxBytes) {
  if (entry.offset > size || entry.bytes > size - entry.offset) return fail(error, ERROR_INVALID_DATA);
  if (!decodeIconResource(data + entry.offset, entry.bytes, out, error, maxBytes)) return false;
  if (isCursor) {
    out.hotX = std::clamp(entry.planes, 0, out.width - 1);
    out.hotY = std::clamp(entry.bitCount, 0, out.height - 1);
  } else {
    out.hotX = out.width / 2;
    out.hotY = out.height / 2;
  }
  return true;
}

IconImage scaleIconImage(const IconImage& image, int cx, int cy) {
  if (cx == image.width && cy == image.height) return image;
  IconImage out;
  out.width = cx;
  out.height = cy;
  out.bitsPerPixel = image.bitsPerPixel;
  out.hasAlpha = image.hasAlpha;
  out.hotX = image.width > 0 ? static_cast<int>(int64_t{image.hotX} * cx / image.width) : 0;
  out.hotY = image.height > 0 ? static_cast<int>(int64_t{image.hotY} * cy / image.height) : 0;
  size_t pixels = static_cast<size_t>(cx) * static_cast<size_t>(cy);
  out.mask.resize(pixels);
  if (!image.argb.empty()) out.argb.resize(pixels);
  if (!image.monoXor.empty()) out.monoXor.resize(pixels);
  for (int y = 0; y < cy; ++y) {
    size_t sy = static_cast<size_t>(nearestSource(y, image.height, cy));
    for (int x = 0; x < cx; ++x) {
      size_t from = sy * static_cast<size_t>(image.width) + static_cast<size_t>(nearestSource(x, image.width, cx));
      size_t to = static_cast<size_t>(y) * static_cast<size_t>(cx) + static_cast<size_t>(x);
      out.mask[to] = image.mask[from];
      if (!out.argb.empty()) out.argb[to] = image.argb[from];
      if (!out.monoXor.empty()) out.monoXor[to] = image.monoXor[from];
    }
  }
  return out;
}

}  // namespace gdi::imagefile
