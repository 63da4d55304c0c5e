#include "Formats.h"

#include <algorithm>

#include "Bytes.h"

namespace mkassets {

namespace {

void palette4(Bytes& out, const std::vector<uint32_t>& palette, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    uint32_t c = i < palette.size() ? palette[i] : 0;
    out.u8(c & 255), out.u8((c >> 8) & 255), out.u8((c >> 16) & 255), out.u8(0);
  }
}

void bitmapInfoHeader(Bytes& out, int width, int height, int bits, uint32_t compression, uint32_t imageSize,
                      uint32_t coloursUsed) {
  out.u32(40);
  out.u32(static_cast<uint32_t>(width));
  out.u32(static_cast<uint32_t>(height));
  out.u16(1);
  out.u16(static_cast<uint32_t>(bits));
  out.u32(compression);
  out.u32(imageSize);
  out.u32(0), out.u32(0);
  out.u32(coloursUsed);
  out.u32(0);
}

size_t stride(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

// Rows bottom-up at `bits` per pixel, each padded to 32 bits.
std::vector<uint8_t> packRows(int width, int height, int bits, const std::vector<uint8_t>& values) {
  size_t rowBytes = stride(width, bits);
  std::vector<uint8_t> out(rowBytes * height, 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = out.data() + rowBytes * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      uint8_t v = values[static_cast<size_t>(y) * width + x];
      if (bits == 8) row[x] = v;
      else if (bits == 4) row[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4));
      else row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
    }
  }
  return out;
}

std::vector<uint8_t> iconImage(const IconImage& image) {
  const IndexedPicture& p = image.picture;
  Bytes out;
  size_t colours = size_t(1) << image.bitsPerPixel;
  std::vector<uint8_t> mask(image.transparent.size());
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = image.transparent[i] ? 1 : 0;
  std::vector<uint8_t> colour = packRows(p.width, p.height, image.bitsPerPixel, p.indices);
  std::vector<uint8_t> andMask = packRows(p.width, p.height, 1, mask);
  // The height counts the colour image and the mask together, as icon resources store it.
  bitmapInfoHeader(out, p.width, p.height * 2, image.bitsPerPixel, 0, static_cast<uint32_t>(colour.size() + andMask.size()),
                   0);
  palette4(out, p.palette, colours);
  out.append(colour);
  out.append(andMask);
  return out.data;
}

std::vector<uint8_t> iconDirectory(const std::vector<IconImage>& images, bool cursor) {
  Bytes out;
  out.u16(0), out.u16(cursor ? 2 : 1), out.u16(static_cast<uint32_t>(images.size()));
  std::vector<std::vector<uint8_t>> bodies;
  for (const IconImage& image : images) bodies.push_back(iconImage(image));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IconImage& image = images[i];
    out.u8(image.picture.width & 255), out.u8(image.picture.height & 255);
    out.u8(image.bitsPerPixel < 8 ? (1u << image.bitsPerPixel) : 0), out.u8(0);
    if (cursor) {
      out.u16(static_cast<uint32_t>(image.hotX)), out.u16(static_cast<uint32_t>(image.hotY));
    } else {
      out.u16(1), out.u16(static_cast<uint32_t>(image.bitsPerPixel));
    }
    out.u32(static_cast<uint32_t>(bodies[i].size()));
    out.u32(offset);
    offset += static_cast<uint32_t>(bodies[i].size());
  }
  for (auto& body : bodies) out.append(body);
  return out.data;
}

}  // namespace

std::vector<uint8_t> aviClip(int width, int height, uint32_t microsecondsPerFrame, const std::vector<uint32_t>& palette,
                             const std::vector<std::vector<uint8_t>>& frames, ClipCoding coding) {
  std::vector<std::vector<uint8_t>> chunks;
  for (size_t i = 0; i < frames.size(); ++i) {
    if (coding == ClipCoding::Rle8) chunks.push_back(rle8Frame(width, height, frames[i], i ? &frames[i - 1] : nullptr));
    else chunks.push_back(packRows(width, height, 8, frames[i]));
  }
  size_t largest = 0;
  for (auto& chunk : chunks) largest = std::max(largest, chunk.size());
  const char* chunkId = coding == ClipCoding::Rle8 ? "00dc" : "00db";
  uint32_t count = static_cast<uint32_t>(frames.size());

  Bytes out;
  size_t riff = out.open("RIFF");
  out.fourcc("AVI ");
  size_t hdrl = out.open("LIST");
  out.fourcc("hdrl");
  size_t avih = out.open("avih");
  out.u32(microsecondsPerFrame);
  out.u32(static_cast<uint32_t>(largest * 1000000 / microsecondsPerFrame));
  out.u32(0);
  out.u32(0x10);  // AVIF_HASINDEX
  out.u32(count), out.u32(0), out.u32(1), out.u32(static_cast<uint32_t>(largest));
  out.u32(static_cast<uint32_t>(width)), out.u32(static_cast<uint32_t>(height));
  for (int i = 0; i < 4; ++i) out.u32(0);
  out.close(avih);
  size_t strl = out.open("LIST");
  out.fourcc("strl");
  size_t strh = out.open("strh");
  out.fourcc("vids");
  out.fourcc(coding == ClipCoding::Rle8 ? "mrle" : "DIB ");
  out.u32(0), out.u16(0), out.u16(0), out.u32(0);
  // Scale and rate give the same frame time as the main header, in whole microseconds.
  out.u32(microsecondsPerFrame), out.u32(1000000);
  out.u32(0), out.u32(count), out.u32(static_cast<uint32_t>(largest)), out.u32(0xFFFFFFFF), out.u32(0);
  out.u16(0), out.u16(0), out.u16(static_cast<uint32_t>(width)), out.u16(static_cast<uint32_t>(height));
  out.close(strh);
  size_t strf = out.open("strf");
  bitmapInfoHeader(out, width, height, 8, coding == ClipCoding::Rle8 ? 1 : 0,
                   static_cast<uint32_t>(stride(width, 8) * height), static_cast<uint32_t>(palette.size()));
  palette4(out, palette, palette.size());
  out.close(strf);
  out.close(strl);
  out.close(hdrl);

  size_t movi = out.open("LIST");
  size_t moviStart = out.size();
  out.fourcc("movi");
  std::vector<uint32_t> offsets;
  for (auto& chunk : chunks) {
    offsets.push_back(static_cast<uint32_t>(out.size() - moviStart));
    size_t at = out.open(chunkId);
    out.append(chunk);
    out.close(at);
  }
  out.close(movi);
  size_t idx1 = out.open("idx1");
  for (size_t i = 0; i < chunks.size(); ++i) {
    out.fourcc(chunkId);
    out.u32(i == 0 || coding == ClipCoding::Raw8 ? 0x10 : 0);  // AVIIF_KEYFRAME
    out.u32(offsets[i]);
    out.u32(static_cast<uint32_t>(chunks[i].size()));
  }
  out.close(idx1);
  out.close(riff);
  return out.data;
}

std::vector<uint8_t> waveSound(uint32_t sampleRate, const std::vector<int16_t>& samples) {
  Bytes out;
  size_t riff = out.open("RIFF");
  out.fourcc("WAVE");
  size_t fmt = out.open("fmt ");
  out.u16(1), out.u16(1), out.u32(sampleRate), out.u32(sampleRate * 2), out.u16(2), out.u16(16);
  out.close(fmt);
  size_t data = out.open("data");
  for (int16_t s : samples) out.u16(static_cast<uint16_t>(s));
  out.close(data);
  out.close(riff);
  return out.data;
}

std::vector<uint8_t> iconFile(const std::vector<IconImage>& images) { return iconDirectory(images, false); }

std::vector<uint8_t> cursorFile(const IconImage& image) { return iconDirectory({image}, true); }

std::vector<uint8_t> bitmapFile(int width, int height, const std::vector<uint32_t>& pixels) {
  size_t rowBytes = stride(width, 24);
  Bytes out;
  out.u8('B'), out.u8('M');
  out.u32(static_cast<uint32_t>(14 + 40 + rowBytes * height));
  out.u32(0);
  out.u32(54);
  bitmapInfoHeader(out, width, height, 24, 0, static_cast<uint32_t>(rowBytes * height), 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      uint32_t c = pixels[static_cast<size_t>(y) * width + x];
      out.u8(c & 255), out.u8((c >> 8) & 255), out.u8((c >> 16) & 255);
    }
    for (size_t pad = static_cast<size_t>(width) * 3; pad < rowBytes; ++pad) out.u8(0);
  }
  return out.data;
}

}  // namespace mkassets
