// A silent video clip in the AVI format, decoded frame by frame for the Animation control.
// Uncompressed 8, 16, 24 and 32-bit frames and RLE8 are read; anything else is refused with an
// error that names the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace media {

// Every failure to read a clip, with a message that starts with the file's name.
class ClipError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class AviClip {
 public:
  // Reads the clip; throws ClipError when the file is missing, unreadable, too large or not a
  // clip this reader can show. Every frame is decoded once here, so a clip that opens plays.
  static AviClip load(const std::string& path);

  // The same from bytes already in memory; `name` is what the errors call the clip.
  static AviClip parse(std::vector<uint8_t> bytes, const std::string& name);

  int width() const { return width_; }
  int height() const { return height_; }
  int frameCount() const { return static_cast<int>(frames_.size()); }
  // The display time of one frame, from the main header or else the stream's rate and scale.
  uint32_t microsecondsPerFrame() const { return microsecondsPerFrame_; }
  double framesPerSecond() const { return 1e6 / microsecondsPerFrame_; }

  // Frame `index` (0-based) as width*height pixels, top row first, each 0x00RRGGBB (bytes B, G,
  // R, X in memory). Throws std::out_of_range for an index outside the clip. Decoding follows
  // the clip in order, so playing it forward costs one frame's work per frame.
  const std::vector<uint32_t>& frame(int index);

 private:
  struct FrameData {
    size_t offset = 0;  // into bytes_
    size_t size = 0;
  };
  enum class Coding { Rgb, Rle8 };

  void decodeNext();
  void decodeRgb(const uint8_t* data, size_t size);
  void decodeRle8(const uint8_t* data, size_t size);
  [[noreturn]] void fail(const std::string& why) const;

  std::string name_;
  std::vector<uint8_t> bytes_;
  std::vector<FrameData> frames_;
  int width_ = 0;
  int height_ = 0;
  bool bottomUp_ = true;
  int bitsPerPixel_ = 0;
  Coding coding_ = Coding::Rgb;
  uint32_t masks_[3] = {0, 0, 0};  // red, green, blue for 16 and 32-bit frames
  std::vector<uint32_t> palette_;
  uint32_t microsecondsPerFrame_ = 100000;

  std::vector<uint32_t> pixels_;
  int decoded_ = -1;  // the frame now in pixels_
};

}  // namespace media
