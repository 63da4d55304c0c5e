// A clip is bounded to 256 MiB of file, 4096 x 4096 pixels and 100000 frames; palette-change
// chunks and the idx1 index are ignored (frames are taken in the order of the movi list); an empty
// frame chunk repeats the frame before it; RLE8 frames draw over the previous frame, the first one
// over a canvas of palette colour 0; and a clip with no frame timing shows 10 frames a second.
#include "AviClip.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <utility>

namespace media {

namespace {

constexpr size_t kMaxFileBytes = size_t(256) << 20;
constexpr int kMaxSide = 4096;
constexpr size_t kMaxFrames = 100000;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
int32_t s32(const uint8_t* p) { return static_cast<int32_t>(u32(p)); }
bool is(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

std::string printable(const uint8_t* id) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += (id[i] >= 32 && id[i] < 127) ? static_cast<char>(id[i]) : '?';
  return text;
}

struct Chunk {
  const uint8_t* id;
  const uint8_t* data;
  size_t size;
};

// Calls `visit` for each chunk between begin and end; false when a chunk claims more bytes than
// its parent holds, with `bad` naming it.
bool walk(const uint8_t* begin, const uint8_t* end, std::string& bad, const std::function<bool(const Chunk&)>& visit) {
  const uint8_t* at = begin;
  while (end - at >= 8) {
    size_t size = u32(at + 4);
    size_t available = static_cast<size_t>(end - at) - 8;
    if (size > available) {
      bad = printable(at);
      return false;
    }
    if (!visit(Chunk{at, at + 8, size})) return true;
    at += 8 + size;
    if (size & 1) {
      if (at == end) break;
      ++at;
    }
  }
  return true;
}

struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
};

bool describe(uint32_t mask, Channel& channel) {
  if (!mask) return false;
  channel.mask = mask;
  channel.shift = 0;
  while (!((mask >> channel.shift) & 1)) ++channel.shift;
  channel.max = mask >> channel.shift;
  return (channel.max & (channel.max + 1)) == 0;  // one unbroken run of bits
}

// A channel narrower than 8 bits widens by repeating its bits (5-bit 16 becomes 132), as GDI does.
uint32_t scale(uint32_t value, const Channel& c) {
  uint32_t v = (value & c.mask) >> c.shift;
  int bits = 0;
  while ((uint64_t(c.max) >> bits) != 0) ++bits;
  uint32_t out = 0;
  for (int shift = 8 - bits; shift > -bits; shift -= bits) out |= shift >= 0 ? v << shift : v >> -shift;
  return out & 255;
}

}  // namespace

void AviClip::fail(const std::string& why) const { throw ClipError(name_ + ": " + why); }

AviClip AviClip::load(const std::string& path) {
  // The program names its clips the Windows way (App.Path + "\res.dll"); the stream takes the
  // system's own separator, which Windows accepts as well.
  std::string file = path;
  std::replace(file.begin(), file.end(), '\\', '/');
  std::ifstream in(file, std::ios::binary);
  if (!in) throw ClipError(path + ": the clip cannot be opened");
  in.seekg(0, std::ios::end);
  std::streamoff length = in.tellg();
  if (length < 0) throw ClipError(path + ": the clip cannot be read");
  if (static_cast<uint64_t>(length) > kMaxFileBytes) throw ClipError(path + ": the clip is too large (over 256 MiB)");
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  in.seekg(0);
  if (length > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), length))
    throw ClipError(path + ": the clip cannot be read");
  return parse(std::move(bytes), path);
}

AviClip AviClip::parse(std::vector<uint8_t> bytes, const std::string& name) {
  AviClip clip;
  clip.name_ = name;
  if (bytes.size() > kMaxFileBytes) clip.fail("the clip is too large (over 256 MiB)");
  clip.bytes_ = std::move(bytes);
  const uint8_t* base = clip.bytes_.data();
  size_t size = clip.bytes_.size();
  if (size < 12 || !is(base, "RIFF") || !is(base + 8, "AVI ")) clip.fail("not an AVI clip (no RIFF AVI header)");
  size_t end = std::min<uint64_t>(size, uint64_t(u32(base + 4)) + 8);

  bool haveMainHeader = false, haveVideo = false;
  uint32_t mainMicroseconds = 0, rate = 0, streamScale = 0;
  int streamCount = 0, videoStream = -1;
  const uint8_t* format = nullptr;
  size_t formatSize = 0;
  const uint8_t* movi = nullptr;
  size_t moviSize = 0;
  std::string bad;

  auto readStream = [&](const Chunk& list) {
    const uint8_t* header = nullptr;
    size_t headerSize = 0;
    const uint8_t* streamFormat = nullptr;
    size_t streamFormatSize = 0;
    if (!walk(list.data + 4, list.data + list.size, bad, [&](const Chunk& c) {
          if (is(c.id, "strh")) header = c.data, headerSize = c.size;
          if (is(c.id, "strf")) streamFormat = c.data, streamFormatSize = c.size;
          return true;
        }))
      clip.fail("the stream header chunk '" + bad + "' runs past its list");
    int number = streamCount++;
    if (haveVideo || !header || headerSize < 36 || !is(header, "vids")) return;
    if (!streamFormat) clip.fail("the video stream has no format (strf) chunk");
    haveVideo = true;
    videoStream = number;
    streamScale = u32(header + 20);
    rate = u32(header + 24);
    format = streamFormat;
    formatSize = streamFormatSize;
  };

  if (!walk(base + 12, base + end, bad, [&](const Chunk& top) {
        if (!is(top.id, "LIST") || top.size < 4) return true;
        if (is(top.data, "hdrl")) {
          if (!walk(top.data + 4, top.data + top.size, bad, [&](const Chunk& c) {
                if (is(c.id, "avih") && c.size >= 40) {
                  haveMainHeader = true;
                  mainMicroseconds = u32(c.data);
                } else if (is(c.id, "LIST") && c.size >= 4 && is(c.data, "strl")) {
                  readStream(c);
                }
                return true;
              }))
            clip.fail("the header chunk '" + bad + "' runs past the header list");
        } else if (is(top.data, "movi") && !movi) {
          movi = top.data + 4;
          moviSize = top.size - 4;
        }
        return true;
      }))
    clip.fail("the chunk '" + bad + "' runs past the end of the file");

  if (!haveMainHeader) clip.fail("no AVI main header (avih)");
  if (!haveVideo) clip.fail("no video stream");
  if (formatSize < 40 || u32(format) < 40 || u32(format) > formatSize) clip.fail("the video format is not a bitmap header");
  int32_t width = s32(format + 4);
  int32_t height = s32(format + 8);
  uint16_t bits = u16(format + 14);
  uint32_t compression = u32(format + 16);
  uint32_t used = u32(format + 32);
  if (width < 1 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
    clip.fail("the frame size " + std::to_string(width) + " x " + std::to_string(height) + " is out of range");
  clip.width_ = width;
  clip.height_ = height < 0 ? -height : height;
  clip.bottomUp_ = height > 0;
  clip.bitsPerPixel_ = bits;

  size_t headerSize = u32(format);
  if (compression == 1 && bits == 8) {
    if (!clip.bottomUp_) clip.fail("an RLE8 clip must be stored bottom-up");
    clip.coding_ = Coding::Rle8;
  } else if (compression == 0 && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
    clip.coding_ = Coding::Rgb;
    if (bits == 16) clip.masks_[0] = 0x7C00, clip.masks_[1] = 0x03E0, clip.masks_[2] = 0x001F;
    if (bits == 32) clip.masks_[0] = 0xFF0000, clip.masks_[1] = 0xFF00, clip.masks_[2] = 0xFF;
  } else if (compression == 3 && (bits == 16 || bits == 32)) {
    clip.coding_ = Coding::Rgb;
    size_t at = 40;  // right after a 40-byte header, or at the same place inside a longer one
    if (formatSize < at + 12) clip.fail("the colour masks are missing");
    for (int i = 0; i < 3; ++i) clip.masks_[i] = u32(format + at + 4 * i);
    if (headerSize == 40) headerSize += 12;
  } else {
    clip.fail("frames of " + std::to_string(bits) + " bits with compression " +
              (compression > 0xFFFF ? "'" + printable(format + 16) + "'" : std::to_string(compression)) +
              " cannot be shown");
  }
  for (uint32_t mask : clip.masks_) {
    Channel channel;
    if (clip.coding_ == Coding::Rgb && (bits == 16 || bits == 32) && !describe(mask, channel))
      clip.fail("the colour masks are not usable");
  }
  if (bits == 8) {
    size_t count = used ? std::min<size_t>(used, 256) : 256;
    size_t available = (formatSize - headerSize) / 4;
    clip.palette_.assign(256, 0);
    for (size_t i = 0; i < std::min(count, available); ++i) {
      const uint8_t* quad = format + headerSize + 4 * i;
      clip.palette_[i] = (uint32_t(quad[2]) << 16) | (uint32_t(quad[1]) << 8) | quad[0];
    }
  }

  if (mainMicroseconds) clip.microsecondsPerFrame_ = mainMicroseconds;
  else if (rate && streamScale)
    clip.microsecondsPerFrame_ =
        static_cast<uint32_t>(std::clamp<uint64_t>((uint64_t(streamScale) * 1000000 + rate / 2) / rate, 1, 60000000));

  if (!movi) clip.fail("no movie data (movi list)");
  char wanted[2] = {static_cast<char>('0' + videoStream / 10), static_cast<char>('0' + videoStream % 10)};
  std::function<bool(const Chunk&)> collect = [&](const Chunk& c) {
    if (is(c.id, "LIST") && c.size >= 4 && is(c.data, "rec ")) {
      if (!walk(c.data + 4, c.data + c.size, bad, collect)) clip.fail("the frame chunk '" + bad + "' runs past its list");
      return true;
    }
    if (c.id[0] == wanted[0] && c.id[1] == wanted[1] &&
        ((c.id[2] == 'd' && c.id[3] == 'b') || (c.id[2] == 'd' && c.id[3] == 'c'))) {
      if (clip.frames_.size() >= kMaxFrames) clip.fail("the clip has too many frames");
      clip.frames_.push_back(FrameData{static_cast<size_t>(c.data - base), c.size});
    }
    return true;
  };
  if (!walk(movi, movi + moviSize, bad, collect)) clip.fail("the frame chunk '" + bad + "' runs past the movie data");
  if (clip.frames_.empty()) clip.fail("the clip has no frames");

  // Decoding every frame once now means a clip that opened never fails while it plays.
  for (size_t i = 0; i < clip.frames_.size(); ++i) clip.decodeNext();
  return clip;
}

const std::vector<uint32_t>& AviClip::frame(int index) {
  if (index < 0 || index >= frameCount())
    throw std::out_of_range(name_ + ": frame " + std::to_string(index) + " is outside the clip");
  if (index < decoded_) decoded_ = -1;
  while (decoded_ < index) decodeNext();
  return pixels_;
}

void AviClip::decodeNext() {
  int next = decoded_ + 1;
  if (next >= frameCount()) next = 0;
  if (next == 0) pixels_.assign(static_cast<size_t>(width_) * height_, palette_.empty() ? 0 : palette_[0]);
  const FrameData& data = frames_[static_cast<size_t>(next)];
  decoded_ = next;
  if (data.size == 0) return;  // a dropped frame shows the one before it
  try {
    if (coding_ == Coding::Rle8) decodeRle8(bytes_.data() + data.offset, data.size);
    else decodeRgb(bytes_.data() + data.offset, data.size);
  } catch (const ClipError&) {
    decoded_ = -1;
    throw;
  }
}

void AviClip::decodeRgb(const uint8_t* data, size_t size) {
  size_t rowBytes = (static_cast<size_t>(width_) * bitsPerPixel_ + 7) / 8;
  size_t stride = (static_cast<size_t>(width_) * bitsPerPixel_ + 31) / 32 * 4;
  if (size < stride * (height_ - 1) + rowBytes) fail("frame " + std::to_string(decoded_) + " is shorter than its picture");
  Channel red, green, blue;
  if (bitsPerPixel_ == 16 || bitsPerPixel_ == 32) {
    describe(masks_[0], red);
    describe(masks_[1], green);
    describe(masks_[2], blue);
  }
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = data + stride * (bottomUp_ ? height_ - 1 - y : y);
    uint32_t* out = pixels_.data() + static_cast<size_t>(y) * width_;
    for (int x = 0; x < width_; ++x) {
      switch (bitsPerPixel_) {
        case 8: out[x] = palette_[row[x]]; break;
        case 16: {
          uint32_t v = u16(row + 2 * x);
          out[x] = (scale(v, red) << 16) | (scale(v, green) << 8) | scale(v, blue);
          break;
        }
        case 24: out[x] = (uint32_t(row[3 * x + 2]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x]; break;
        default: {
          uint32_t v = u32(row + 4 * x);
          out[x] = (scale(v, red) << 16) | (scale(v, green) << 8) | scale(v, blue);
        }
      }
    }
  }
}

void AviClip::decodeRle8(const uint8_t* data, size_t size) {
  // Positions count rows from the bottom, as the encoding does; anything outside the frame is
  // skipped, and positions are held at the frame's edge so that no run can overflow them.
  int x = 0, y = 0;
  auto put = [&](uint8_t index) {
    if (x < width_ && y < height_) pixels_[static_cast<size_t>(height_ - 1 - y) * width_ + x] = palette_[index];
    if (x < width_) ++x;
  };
  size_t i = 0;
  while (i + 1 < size) {
    uint8_t count = data[i], value = data[i + 1];
    i += 2;
    if (count > 0) {
      for (int k = 0; k < count && x < width_; ++k) put(value);
      continue;
    }
    if (value == 0) {
      x = 0;
      if (y < height_) ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (i + 2 > size) fail("frame " + std::to_string(decoded_) + " ends inside an RLE8 move");
      x = std::min(x + data[i], width_);
      y = std::min(y + data[i + 1], height_);
      i += 2;
    } else {
      if (i + value > size) fail("frame " + std::to_string(decoded_) + " ends inside an RLE8 literal run");
      for (int k = 0; k < value; ++k) put(data[i + k]);
      i += value + (value & 1);
    }
  }
}

}  // namespace media
