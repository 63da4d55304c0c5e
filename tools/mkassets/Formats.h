// Writers of the file formats the program reads: AVI clips, wave sounds, icons, cursors, bitmaps.
#pragma once

#include <cstdint>
#include <vector>

namespace mkassets {

// A picture in palette indices, top row first.
struct IndexedPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> palette;  // 0xRRGGBB
  std::vector<uint8_t> indices;
};

enum class ClipCoding { Rle8, Raw8 };

// An AVI clip of 8-bit frames that share one palette, with an idx1 index.
std::vector<uint8_t> aviClip(int width, int height, uint32_t microsecondsPerFrame, const std::vector<uint32_t>& palette,
                             const std::vector<std::vector<uint8_t>>& frames, ClipCoding coding);

// One frame in RLE8, drawn over `previous` (null for a key frame that paints every pixel).
std::vector<uint8_t> rle8Frame(int width, int height, const std::vector<uint8_t>& frame,
                               const std::vector<uint8_t>* previous);

// A mono 16-bit PCM wave sound.
std::vector<uint8_t> waveSound(uint32_t sampleRate, const std::vector<int16_t>& samples);

// One image of an icon or cursor: 1, 4 or 8 bits per pixel, with its transparency mask.
struct IconImage {
  IndexedPicture picture;
  int bitsPerPixel = 8;
  std::vector<bool> transparent;  // top row first
  int hotX = 0, hotY = 0;         // cursors only
};

std::vector<uint8_t> iconFile(const std::vector<IconImage>& images);
std::vector<uint8_t> cursorFile(const IconImage& image);

// A 24-bit bottom-up BMP file from 0xRRGGBB pixels, top row first.
std::vector<uint8_t> bitmapFile(int width, int height, const std::vector<uint32_t>& pixels);

}  // namespace mkassets
