// The AVI reader: the generated clips decode whole, hand-built clips give exact pixels, and
// malformed clips fail with an error that names the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/media/AviClip.h"

using media::AviClip;
using media::ClipError;

namespace {

struct Clip {
  int width = 2, height = 2;
  int bits = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;  // 0xRRGGBB
  std::vector<uint32_t> masks;    // after the header, for bit fields
  std::vector<std::vector<uint8_t>> frames;
  std::string chunkId = "00db";
  uint32_t microseconds = 50000, scale = 0, rate = 0;
  bool mainHeader = true, movie = true, recordList = false;
};

struct Out {
  std::vector<uint8_t> b;
  void u16(uint32_t v) { b.push_back(v & 255), b.push_back((v >> 8) & 255); }
  void u32(uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
  void id(const std::string& s) { b.insert(b.end(), s.begin(), s.begin() + 4); }
  size_t open(const std::string& s) {
    id(s);
    u32(0);
    return b.size() - 4;
  }
  void close(size_t at) {
    uint32_t n = static_cast<uint32_t>(b.size() - at - 4);
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(n >> (8 * i));
    if (b.size() & 1) b.push_back(0);
  }
};

std::vector<uint8_t> build(const Clip& c) {
  Out o;
  size_t riff = o.open("RIFF");
  o.id("AVI ");
  size_t hdrl = o.open("LIST");
  o.id("hdrl");
  if (c.mainHeader) {
    size_t avih = o.open("avih");
    o.u32(c.microseconds);
    for (int i = 0; i < 13; ++i) o.u32(i == 4 ? static_cast<uint32_t>(c.frames.size()) : 0);
    o.close(avih);
  }
  size_t strl = o.open("LIST");
  o.id("strl");
  size_t strh = o.open("strh");
  o.id("vids");
  o.id("    ");
  o.u32(0), o.u32(0), o.u32(0), o.u32(c.scale), o.u32(c.rate);
  for (int i = 0; i < 7; ++i) o.u32(0);
  o.close(strh);
  size_t strf = o.open("strf");
  o.u32(40), o.u32(static_cast<uint32_t>(c.width)), o.u32(static_cast<uint32_t>(c.height)), o.u16(1),
      o.u16(static_cast<uint32_t>(c.bits)), o.u32(c.compression), o.u32(0), o.u32(0), o.u32(0),
      o.u32(static_cast<uint32_t>(c.palette.size())), o.u32(0);
  for (uint32_t m : c.masks) o.u32(m);
  for (uint32_t p : c.palette) o.u32(p);
  o.close(strf);
  o.close(strl);
  o.close(hdrl);
  if (c.movie) {
    size_t movi = o.open("LIST");
    o.id("movi");
    size_t rec = c.recordList ? o.open("LIST") : 0;
    if (c.recordList) o.id("rec ");
    for (auto& frame : c.frames) {
      size_t at = o.open(c.chunkId);
      o.b.insert(o.b.end(), frame.begin(), frame.end());
      o.close(at);
    }
    if (c.recordList) o.close(rec);
    o.close(movi);
  }
  o.close(riff);
  return o.b;
}

uint32_t pixel(AviClip& clip, int frame, int x, int y) {
  return clip.frame(frame)[static_cast<size_t>(y) * clip.width() + x];
}

std::string errorOf(const std::vector<uint8_t>& bytes) {
  try {
    AviClip::parse(bytes, "test.avi");
  } catch (const ClipError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(AviClip, GeneratedWaitClipDecodesEveryFrame) {
  AviClip clip = AviClip::load(std::string(CORVANE_BIN_DIR) + "/res.dll");
  EXPECT_EQ(clip.width(), 252);
  EXPECT_EQ(clip.height(), 58);
  ASSERT_EQ(clip.frameCount(), 16);
  EXPECT_EQ(clip.microsecondsPerFrame(), 100000u);
  EXPECT_DOUBLE_EQ(clip.framesPerSecond(), 10.0);
  std::vector<std::vector<uint32_t>> frames;
  for (int i = 0; i < clip.frameCount(); ++i) {
    frames.push_back(clip.frame(i));
    ASSERT_EQ(frames.back().size(), 252u * 58u);
    EXPECT_EQ(frames.back()[0], 0xC0C0C0u) << "the background is the button face, frame " << i;
    EXPECT_EQ(frames.back()[252 * 58 - 1], 0xC0C0C0u) << i;
  }
  EXPECT_NE(frames[0], frames[5]) << "the sheet moves";
  // The activity light is dark before the sheet goes in and lit after.
  uint32_t off = frames[0][39 * 252 + 236], on = frames[11][39 * 252 + 236];
  EXPECT_LT((off >> 16) & 255, 0x80u);
  EXPECT_GT((on >> 16) & 255, 0xE0u);
  // Frames built from deltas come out the same however they are reached.
  for (int i : {15, 3, 9, 0, 14}) EXPECT_EQ(clip.frame(i), frames[i]) << i;
  EXPECT_THROW(clip.frame(16), std::out_of_range);
  EXPECT_THROW(clip.frame(-1), std::out_of_range);
}

TEST(AviClip, GeneratedAboutClipDecodesEveryFrame) {
  AviClip clip = AviClip::load(std::string(CORVANE_BIN_DIR) + "/vertisano2.dll");
  EXPECT_EQ(clip.width(), 36);
  EXPECT_EQ(clip.height(), 38);
  ASSERT_EQ(clip.frameCount(), 8);
  EXPECT_EQ(clip.microsecondsPerFrame(), 125000u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(pixel(clip, i, 0, 0), 0xC0C0C0u);
    EXPECT_EQ(pixel(clip, i, 18, 19), 0xC0C0C0u) << "the hole in the middle shows the face";
  }
  std::vector<uint32_t> first = clip.frame(0);
  EXPECT_NE(first, clip.frame(1)) << "the disc turns";
}

TEST(AviClip, UncompressedFramesOfEveryDepth) {
  Clip c;  // 24-bit, bottom-up: the first row in the file is the bottom row
  c.frames = {{1, 2, 3, 4, 5, 6, 0, 0, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0}};
  AviClip rgb = AviClip::parse(build(c), "rgb");
  EXPECT_EQ(pixel(rgb, 0, 0, 1), 0x030201u);
  EXPECT_EQ(pixel(rgb, 0, 1, 1), 0x060504u);
  EXPECT_EQ(pixel(rgb, 0, 0, 0), 0x302010u);
  EXPECT_EQ(pixel(rgb, 0, 1, 0), 0x605040u);

  c.height = -2;  // top-down
  AviClip topDown = AviClip::parse(build(c), "rgb");
  EXPECT_EQ(pixel(topDown, 0, 0, 0), 0x030201u);
  EXPECT_EQ(topDown.height(), 2);

  Clip d;
  d.bits = 16;
  d.width = 3, d.height = 1;
  d.frames = {{0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0}};  // 5-5-5: red, green, blue
  AviClip sixteen = AviClip::parse(build(d), "16");
  EXPECT_EQ(pixel(sixteen, 0, 0, 0), 0xFF0000u);
  EXPECT_EQ(pixel(sixteen, 0, 1, 0), 0x00FF00u);
  EXPECT_EQ(pixel(sixteen, 0, 2, 0), 0x0000FFu);

  d.compression = 3;  // bit fields 5-6-5
  d.masks = {0xF800, 0x07E0, 0x001F};
  d.frames = {{0x00, 0xF8, 0xE0, 0x07, 0x10, 0x00, 0, 0}};
  AviClip fields = AviClip::parse(build(d), "565");
  EXPECT_EQ(pixel(fields, 0, 0, 0), 0xFF0000u);
  EXPECT_EQ(pixel(fields, 0, 1, 0), 0x00FF00u);
  EXPECT_EQ(pixel(fields, 0, 2, 0), 0x000084u) << "five bits widen by repeating their top bits";

  Clip e;
  e.bits = 32, e.width = 1, e.height = 1;
  e.frames = {{0x11, 0x22, 0x33, 0x99}};
  AviClip thirtyTwo = AviClip::parse(build(e), "32");
  EXPECT_EQ(pixel(thirtyTwo, 0, 0, 0), 0x332211u) << "the fourth byte is ignored";

  Clip p;
  p.bits = 8, p.width = 3, p.height = 1;
  p.palette = {0x000000, 0x123456, 0xABCDEF};
  p.frames = {{2, 1, 0, 0}, {}, {9, 2, 2, 0}};
  AviClip indexed = AviClip::parse(build(p), "8");
  ASSERT_EQ(indexed.frameCount(), 3);
  EXPECT_EQ(pixel(indexed, 0, 0, 0), 0xABCDEFu);
  EXPECT_EQ(pixel(indexed, 0, 1, 0), 0x123456u);
  EXPECT_EQ(pixel(indexed, 1, 0, 0), 0xABCDEFu) << "an empty chunk repeats the frame before";
  EXPECT_EQ(pixel(indexed, 2, 0, 0), 0u) << "an index past the palette is black";
}

TEST(AviClip, Rle8RunsLiteralsMovesAndDeltas) {
  Clip c;
  c.bits = 8, c.compression = 1, c.chunkId = "00dc";
  c.width = 4, c.height = 3;
  c.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  c.frames = {
      // Bottom row: 4 x colour 1. Middle row: literal 2,3,4 then colour 0. Top row: move 2 right, 2 x colour 3.
      {4, 1, 0, 0, 0, 3, 2, 3, 4, 0, 1, 0, 0, 0, 0, 2, 2, 0, 2, 3, 0, 1},
      // Only one pixel changes: move to (1, 2 from the bottom) and paint colour 4.
      {0, 2, 1, 2, 1, 4, 0, 1},
  };
  AviClip clip = AviClip::parse(build(c), "rle");
  EXPECT_EQ(clip.frame(0), (std::vector<uint32_t>{0x000000, 0x000000, 0x0000FF, 0x0000FF,  //
                                                  0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000,  //
                                                  0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}));
  EXPECT_EQ(clip.frame(1), (std::vector<uint32_t>{0x000000, 0xFFFFFF, 0x0000FF, 0x0000FF,  //
                                                  0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000,  //
                                                  0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}));
  // Runs that overshoot the frame are clipped, not wrapped.
  c.frames = {{200, 2, 0, 0, 255, 3, 0, 2, 255, 255, 7, 1, 0, 1}};
  AviClip clipped = AviClip::parse(build(c), "rle");
  EXPECT_EQ(pixel(clipped, 0, 3, 2), 0x00FF00u);
  EXPECT_EQ(pixel(clipped, 0, 0, 1), 0x0000FFu);
}

TEST(AviClip, TimingComesFromTheStreamWhenTheMainHeaderHasNone) {
  Clip c;
  c.frames = {std::vector<uint8_t>(16, 0)};
  c.microseconds = 0, c.scale = 1, c.rate = 25;
  EXPECT_EQ(AviClip::parse(build(c), "t").microsecondsPerFrame(), 40000u);
  c.scale = 0, c.rate = 0;
  EXPECT_EQ(AviClip::parse(build(c), "t").microsecondsPerFrame(), 100000u);
  c.recordList = true;
  EXPECT_EQ(AviClip::parse(build(c), "t").frameCount(), 1) << "frames inside a rec list count";
}

TEST(AviClip, ImplausibleFrameTimesAreTakenForDamage) {
  Clip c;
  c.frames = {std::vector<uint8_t>(16, 0)};
  // A negative time read as unsigned, a million frames a second, over a minute a frame: the
  // stream's rate is asked instead, and with that damaged too the clip shows ten a second.
  for (uint32_t main : {0xFFFFFFFFu, 0x80000000u, 1u, 999u, 60000001u}) {
    c.microseconds = main, c.scale = 1, c.rate = 20;
    EXPECT_EQ(AviClip::parse(build(c), "t").microsecondsPerFrame(), 50000u) << main;
    c.scale = 1, c.rate = 0xFFFFFFFFu;  // a negative rate
    EXPECT_EQ(AviClip::parse(build(c), "t").microsecondsPerFrame(), 100000u) << main;
    c.scale = 0xFFFFFFFFu, c.rate = 1;
    EXPECT_EQ(AviClip::parse(build(c), "t").microsecondsPerFrame(), 100000u) << main;
  }
  // The ends of the plausible range hold.
  c.microseconds = 1000;
  EXPECT_EQ(AviClip::parse(build(c), "t").microsecondsPerFrame(), 1000u);
  c.microseconds = 60000000;
  EXPECT_EQ(AviClip::parse(build(c), "t").microsecondsPerFrame(), 60000000u);
}

TEST(AviClip, MalformedClipsFailWithTheirNameAndReason) {
  Clip good;
  good.frames = {std::vector<uint8_t>(16, 0)};
  auto variant = [&](auto change) {
    Clip c = good;
    change(c);
    return build(c);
  };
  struct Case {
    std::vector<uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {{}, "not an AVI clip"},
      {{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, "not an AVI clip"},
      {variant([](Clip& c) { c.mainHeader = false; }), "no AVI main header"},
      {variant([](Clip& c) { c.movie = false; }), "no movie data"},
      {variant([](Clip& c) { c.frames.clear(); }), "no frames"},
      {variant([](Clip& c) { c.chunkId = "01db"; }), "no frames"},
      {variant([](Clip& c) { c.compression = 0x44495658; }), "'XVID' cannot be shown"},
      {variant([](Clip& c) { c.bits = 4; }), "frames of 4 bits"},
      {variant([](Clip& c) { c.width = 100000; }), "frame size"},
      {variant([](Clip& c) { c.height = 0; }), "frame size"},
      {variant([](Clip& c) { c.frames = {std::vector<uint8_t>(9, 0)}; }), "frame 0 is shorter than its picture"},
      {variant([](Clip& c) { c.bits = 16, c.compression = 3, c.masks = {0xF0F0, 0x0F00, 0x000F}; }), "masks"},
      {variant([](Clip& c) { c.bits = 16, c.compression = 3; }), "masks are missing"},
      {variant([](Clip& c) { c.bits = 8, c.compression = 1, c.frames = {{0, 9, 1, 2}}; }), "ends inside an RLE8 literal"},
      {variant([](Clip& c) { c.bits = 8, c.compression = 1, c.frames = {{0, 2, 1}}; }), "ends inside an RLE8 move"},
      {variant([](Clip& c) { c.bits = 8, c.compression = 1, c.height = -2; }), "bottom-up"},
  };
  for (const Case& c : cases) {
    std::string error = errorOf(c.bytes);
    EXPECT_EQ(error.rfind("test.avi: ", 0), 0u) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  // A chunk that claims more than the file holds, at every level.
  std::vector<uint8_t> bytes = build(good);
  for (size_t cut = 12; cut < bytes.size(); ++cut) {
    std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(cut));
    std::string error = errorOf(prefix);
    EXPECT_EQ(error.rfind("test.avi: ", 0), 0u) << "cut at " << cut << ": " << error;
  }
  try {
    AviClip::load("/nonexistent/res.dll");
    ADD_FAILURE() << "a missing clip loaded";
  } catch (const ClipError& e) {
    EXPECT_STREQ(e.what(), "/nonexistent/res.dll: the clip cannot be opened");
  }
}

}  // namespace
