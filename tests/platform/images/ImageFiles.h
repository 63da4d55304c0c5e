// Picture files written byte by byte for the image tests, in a temporary folder that goes away
// with the test, and readers of what GDI made of them.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace imagetest {

struct Bytes {
  std::vector<uint8_t> v;
  Bytes& u8(uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    return *this;
  }
  Bytes& u16(uint32_t x) { return u8(x).u8(x >> 8); }
  Bytes& u32(uint32_t x) { return u16(x).u16(x >> 16); }
  Bytes& add(const std::vector<uint8_t>& more) {
    v.insert(v.end(), more.begin(), more.end());
    return *this;
  }
};

// A .bmp file: a 14-byte file header, a header of headerSize bytes (12: the old core header),
// channel masks after a 40-byte header when given, the colour table (0xRRGGBB), then the bits as
// given (already in file order and padded).
inline std::vector<uint8_t> bmp(int32_t w, int32_t h, int bpp, uint32_t compression,
                                const std::vector<uint32_t>& palette, const std::vector<uint8_t>& bits,
                                const std::vector<uint32_t>& masks = {}, uint32_t headerSize = 40) {
  Bytes info;
  size_t entry = headerSize == 12 ? 3 : 4;
  if (headerSize == 12) {
    info.u32(12).u16(static_cast<uint32_t>(w)).u16(static_cast<uint32_t>(h)).u16(1).u16(static_cast<uint32_t>(bpp));
  } else {
    info.u32(headerSize).u32(static_cast<uint32_t>(w)).u32(static_cast<uint32_t>(h)).u16(1).u16(static_cast<uint32_t>(bpp));
    info.u32(compression).u32(static_cast<uint32_t>(bits.size())).u32(2835).u32(2835);
    info.u32(static_cast<uint32_t>(bpp <= 8 ? palette.size() : 0)).u32(0);
    size_t k = 0;
    while (info.v.size() < headerSize) info.u32(k < masks.size() && headerSize > 40 ? masks[k++] : 0);
    if (headerSize == 40)
      for (uint32_t m : masks) info.u32(m);
  }
  for (uint32_t c : palette) {
    info.u8(c).u8(c >> 8).u8(c >> 16);
    if (entry == 4) info.u8(0);
  }
  Bytes file;
  file.u8('B').u8('M').u32(static_cast<uint32_t>(14 + info.v.size() + bits.size())).u16(0).u16(0);
  file.u32(static_cast<uint32_t>(14 + info.v.size()));
  file.add(info.v).add(bits);
  return file.v;
}

// One image of an icon: a 40-byte header with doubled height, colour table, colour bits (file
// order, padded), then the AND mask rows (bottom-up, padded to 32 bits).
inline std::vector<uint8_t> iconDib(int w, int h, int bpp, const std::vector<uint32_t>& palette,
                                    const std::vector<uint8_t>& colorBits, const std::vector<uint8_t>& maskBits) {
  Bytes b;
  b.u32(40).u32(static_cast<uint32_t>(w)).u32(static_cast<uint32_t>(2 * h)).u16(1).u16(static_cast<uint32_t>(bpp));
  b.u32(0).u32(static_cast<uint32_t>(colorBits.size() + maskBits.size())).u32(0).u32(0).u32(0).u32(0);
  for (uint32_t c : palette) b.u8(c).u8(c >> 8).u8(c >> 16).u8(0);
  b.add(colorBits).add(maskBits);
  return b.v;
}

struct IconPart {
  int width, height, bitCount;
  int hotX, hotY;  // cursors only; icons write planes 1 and bitCount
  std::vector<uint8_t> data;
};

// An .ico (cursor false) or .cur file of the given images.
inline std::vector<uint8_t> iconFile(bool cursor, const std::vector<IconPart>& parts) {
  Bytes b;
  b.u16(0).u16(cursor ? 2 : 1).u16(static_cast<uint32_t>(parts.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * parts.size());
  for (const IconPart& p : parts) {
    b.u8(p.width >= 256 ? 0 : p.width).u8(p.height >= 256 ? 0 : p.height).u8(0).u8(0);
    if (cursor) b.u16(static_cast<uint32_t>(p.hotX)).u16(static_cast<uint32_t>(p.hotY));
    else b.u16(1).u16(static_cast<uint32_t>(p.bitCount));
    b.u32(static_cast<uint32_t>(p.data.size())).u32(offset);
    offset += static_cast<uint32_t>(p.data.size());
  }
  for (const IconPart& p : parts) b.add(p.data);
  return b.v;
}

// A 32-bit icon image of one colour per pixel (0xAARRGGBB, top-down) and an AND mask (1 =
// transparent, top-down).
inline std::vector<uint8_t> iconDib32(int w, int h, const std::vector<uint32_t>& argb,
                                      const std::vector<uint8_t>& mask) {
  std::vector<uint8_t> color;
  for (int y = h - 1; y >= 0; --y)
    for (int x = 0; x < w; ++x) {
      uint32_t v = argb[static_cast<size_t>(y) * w + x];
      color.push_back(static_cast<uint8_t>(v));
      color.push_back(static_cast<uint8_t>(v >> 8));
      color.push_back(static_cast<uint8_t>(v >> 16));
      color.push_back(static_cast<uint8_t>(v >> 24));
    }
  size_t maskStride = static_cast<size_t>((w + 31) / 32) * 4;
  std::vector<uint8_t> maskBits(maskStride * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (mask[static_cast<size_t>(y) * w + x])
        maskBits[static_cast<size_t>(h - 1 - y) * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  return iconDib(w, h, 32, {}, color, maskBits);
}

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-images-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    char* made = mkdtemp(buffer.data());
    path_ = made ? made : "";
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path(const std::string& name) const { return path_ + "/" + name; }
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::string p = path(name);
    std::FILE* f = std::fopen(p.c_str(), "wb");
    if (f) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return p;
  }

 private:
  std::string path_;
};

// The pixels of a 32-bit device-dependent bitmap as COLORREFs, top row first.
inline std::vector<COLORREF> ddbPixels(HBITMAP bitmap, int* width = nullptr, int* height = nullptr) {
  BITMAP bm{};
  if (GetObjectA(bitmap, sizeof bm, &bm) == 0 || bm.bmBitsPixel != 32) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
  GetBitmapBits(bitmap, static_cast<LONG>(bytes.size()), bytes.data());
  std::vector<COLORREF> out;
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x) {
      const uint8_t* p = bytes.data() + static_cast<size_t>(y) * bm.bmWidthBytes + 4 * x;
      out.push_back(RGB(p[2], p[1], p[0]));
    }
  if (width) *width = bm.bmWidth;
  if (height) *height = bm.bmHeight;
  return out;
}

// The bits of a monochrome bitmap, 1 for white, top row first.
inline std::vector<int> monoPixels(HBITMAP bitmap) {
  BITMAP bm{};
  if (GetObjectA(bitmap, sizeof bm, &bm) == 0 || bm.bmBitsPixel != 1) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
  GetBitmapBits(bitmap, static_cast<LONG>(bytes.size()), bytes.data());
  std::vector<int> out;
  for (int y = 0; y < bm.bmHeight; ++y)
    for (int x = 0; x < bm.bmWidth; ++x)
      out.push_back((bytes[static_cast<size_t>(y) * bm.bmWidthBytes + x / 8] >> (7 - x % 8)) & 1);
  return out;
}

// A PNG of 8-bit RGBA pixels (0xAARRGGBB, top-down), its image data deflated as stored blocks.
inline std::vector<uint8_t> png(int w, int h, const std::vector<uint32_t>& argb) {
  auto crc = [](const std::vector<uint8_t>& bytes, size_t from) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
      c ^= bytes[i];
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
  };
  auto be32 = [](std::vector<uint8_t>& out, uint32_t v) {
    for (int k = 3; k >= 0; --k) out.push_back(static_cast<uint8_t>(v >> (8 * k)));
  };
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  auto chunk = [&](const char* type, const std::vector<uint8_t>& body) {
    be32(out, static_cast<uint32_t>(body.size()));
    size_t from = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    be32(out, crc(out, from));
  };
  std::vector<uint8_t> header;
  be32(header, static_cast<uint32_t>(w));
  be32(header, static_cast<uint32_t>(h));
  header.insert(header.end(), {8, 6, 0, 0, 0});
  chunk("IHDR", header);
  std::vector<uint8_t> raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    for (int x = 0; x < w; ++x) {
      uint32_t v = argb[static_cast<size_t>(y) * w + x];
      raw.insert(raw.end(), {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v),
                             static_cast<uint8_t>(v >> 24)});
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t at = 0;
  do {
    size_t n = std::min<size_t>(65535, raw.size() - at);
    bool last = at + n == raw.size();
    z.insert(z.end(), {static_cast<uint8_t>(last ? 1 : 0), static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                       static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at), raw.begin() + static_cast<ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  be32(z, (b << 16) | a);
  chunk("IDAT", z);
  chunk("IEND", {});
  return out;
}

inline DWORD gdiCount() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace imagetest

// Live icons and cursors, from the platform's icon table.
namespace gdi {
DWORD liveIconCount();
}
