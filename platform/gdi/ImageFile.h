// Readers for picture files held in memory: .bmp (and the DIBs inside icons), .ico and .cur with
// BMP or PNG images, PNG and JPEG. They check every size against the bytes present before they
// read or allocate, and refuse images above 32768 pixels a side or above a byte budget (512 MiB
// unless the caller gives a smaller one). Failures return false with a Win32 error code:
// ERROR_INVALID_DATA for malformed or truncated data, ERROR_NOT_ENOUGH_MEMORY for images too large,
// ERROR_OUTOFMEMORY where memory for the pixels cannot be had.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gdi::imagefile {

constexpr int kMaxSide = 32768;
constexpr size_t kMaxBytes = size_t{512} << 20;
// The most bytes read for one picture, file or stream: the budget plus 64 KiB of headers, since
// no picture could come of more.
constexpr size_t kMaxPictureBytes = kMaxBytes + (size_t{64} << 10);
// SM_CXICON, SM_CYICON, SM_CXCURSOR and SM_CYCURSOR: the size an icon or cursor is asked for by 0.
constexpr int kSystemIconSize = 32;

// A decoded device-independent bitmap at the depth of its file, rows top-down, each row padded to
// 32 bits as in a DIB. Compressed files come out uncompressed (RLE8 as 8 bpp, RLE4 as 4 bpp).
struct Dib {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;  // 1, 4, 8, 16, 24 or 32
  int stride = 0;
  bool topDownInFile = false;
  // 16 and 32 bpp: channel masks (16 bpp without BI_BITFIELDS is 5-5-5; 32 bpp is 8-8-8).
  uint32_t redMask = 0;
  uint32_t greenMask = 0;
  uint32_t blueMask = 0;
  bool bitfields = false;  // the file gave masks (BI_BITFIELDS)
  std::vector<uint32_t> palette;  // 0x00RRGGBB, exactly 1 << bitsPerPixel entries for <= 8 bpp
  std::vector<uint8_t> bits;      // height * stride bytes, top row first
  size_t dataEnd = 0;  // offset, in the data decoded, just past the uncompressed bits

  // The raw value of a pixel: a palette index, a 16-bit word or a 24/32-bit B,G,R(,A) value.
  uint32_t raw(int x, int y) const;
  void setRaw(int x, int y, uint32_t value);
  // The pixel as 0xAARRGGBB; alpha is the file's byte for 32 bpp without masks, else 0xFF.
  uint32_t argb(int x, int y) const;
};

// A whole .bmp file (BITMAPFILEHEADER first).
bool decodeBmpFile(const uint8_t* data, size_t size, Dib& out, DWORD& error,
                   size_t maxBytes = kMaxBytes);

// A packed DIB: a BITMAPINFOHEADER (or older BITMAPCOREHEADER), its colour table, then the bits.
// fileOffBits is the offset of the bits from data when known (0: right after the colour table).
bool decodePackedDib(const uint8_t* data, size_t size, size_t fileOffBits, Dib& out, DWORD& error,
                     size_t maxBytes = kMaxBytes);

// One image of an icon or cursor, ready to become an icon object.
struct IconImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<uint32_t> argb;     // 0xAARRGGBB top-down (empty for monochrome images)
  std::vector<uint8_t> mask;      // AND mask, 1 byte per pixel, 1 = transparent
  std::vector<uint8_t> monoXor;   // monochrome images only: the XOR plane, 1 byte per pixel
  bool hasAlpha = false;
  int hotX = 0;
  int hotY = 0;
};

struct IconEntry {
  int width = 0;   // 0 in the file means 256
  int height = 0;
  int colorCount = 0;
  int planes = 0;  // hot spot x for cursors
  int bitCount = 0;  // hot spot y for cursors
  uint32_t bytes = 0;
  uint32_t offset = 0;
};

// Reads the ICONDIR of an .ico (type 1) or .cur (type 2) file; every entry's data must lie inside
// the file. isCursor tells which kind the file declared.
bool readIconDirectory(const uint8_t* data, size_t size, std::vector<IconEntry>& entries,
                       bool& isCursor, DWORD& error);

// The entry that best fits cx x cy on a display of displayBits: the closest size (the sum of the
// width and height differences, ties to the larger image), then the greatest colour depth not
// above the display's (or else the smallest above it), then the first in the file.
size_t chooseIconEntry(const std::vector<IconEntry>& entries, int cx, int cy, int displayBits = 32);

// Decodes one image of an icon resource (a DIB with doubled height and an AND mask, or a PNG).
bool decodeIconResource(const uint8_t* data, size_t size, IconImage& out, DWORD& error,
                        size_t maxBytes = kMaxBytes);

// Decodes the chosen entry of a whole .ico/.cur file; hot spots come from a cursor's entry.
bool decodeIconEntry(const uint8_t* data, size_t size, const IconEntry& entry, bool isCursor,
                     IconImage& out, DWORD& error, size_t maxBytes = kMaxBytes);

// Resamples an icon image to cx x cy by nearest source pixel (the source column of destination
// column d is the one nearest to (d + 1/2) * source / destination, halves up).
IconImage scaleIconImage(const IconImage& image, int cx, int cy);

// PNG and JPEG to 0xAARRGGBB top-down pixels.
bool isPng(const uint8_t* data, size_t size);
bool decodePng(const uint8_t* data, size_t size, int& width, int& height,
               std::vector<uint32_t>& argb, DWORD& error, size_t maxBytes = kMaxBytes);
bool isJpeg(const uint8_t* data, size_t size);
bool decodeJpeg(const uint8_t* data, size_t size, int& width, int& height,
                std::vector<uint32_t>& argb, DWORD& error, size_t maxBytes = kMaxBytes);

// Reads a whole file (accepting \ and / as separators) into memory; false with the Win32 error
// (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED ...) when it cannot.
bool readWholeFile(const char* path, std::vector<uint8_t>& bytes, DWORD& error);

}  // namespace gdi::imagefile
