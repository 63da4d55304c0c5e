// The wave reader: round trips through a writer of the test's own, and every malformed shape.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "corvane/wav_file.h"

namespace {

struct Writer {
  std::vector<uint8_t> bytes;
  void u16(uint32_t v) { bytes.push_back(v & 255), bytes.push_back((v >> 8) & 255); }
  void u32(uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
  void id(const char* s) { bytes.insert(bytes.end(), s, s + 4); }
};

// A wave file with the given format fields and sample bytes; `extra` chunks go before "fmt ".
std::vector<uint8_t> wave(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, const std::vector<uint8_t>& data,
                          bool withFormat = true, bool withData = true, const std::string& extra = "") {
  Writer w;
  w.id("RIFF");
  w.u32(0);
  w.id("WAVE");
  if (!extra.empty()) {
    w.id("LIST");
    w.u32(static_cast<uint32_t>(extra.size()));
    w.bytes.insert(w.bytes.end(), extra.begin(), extra.end());
    if (extra.size() & 1) w.bytes.push_back(0);
  }
  if (withFormat) {
    w.id("fmt ");
    w.u32(16);
    w.u16(tag), w.u16(channels), w.u32(rate), w.u32(rate * channels * bits / 8), w.u16(channels * bits / 8), w.u16(bits);
  }
  if (withData) {
    w.id("data");
    w.u32(static_cast<uint32_t>(data.size()));
    w.bytes.insert(w.bytes.end(), data.begin(), data.end());
  }
  uint32_t size = static_cast<uint32_t>(w.bytes.size() - 8);
  for (int i = 0; i < 4; ++i) w.bytes[4 + i] = static_cast<uint8_t>(size >> (8 * i));
  return w.bytes;
}

bool parse(const std::vector<uint8_t>& bytes, corvane::WavSound& sound, std::string& error) {
  return corvane::parseWav(bytes.data(), bytes.size(), sound, error);
}

TEST(WavFile, RoundTripsEveryPcmShape) {
  std::vector<uint8_t> samples;
  for (int i = 0; i < 48; ++i) samples.push_back(static_cast<uint8_t>(i * 5 + 1));
  for (uint16_t channels : {1, 2})
    for (uint16_t bits : {8, 16})
      for (uint32_t rate : {8000u, 22050u, 44100u, 96000u}) {
        corvane::WavSound sound;
        std::string error;
        ASSERT_TRUE(parse(wave(1, channels, rate, bits, samples, true, true, "odd"), sound, error)) << error;
        EXPECT_EQ(sound.channels, channels);
        EXPECT_EQ(sound.sampleRate, rate);
        EXPECT_EQ(sound.bitsPerSample, bits);
        EXPECT_EQ(sound.samples, samples);
        EXPECT_EQ(sound.frameCount(), 48u / (channels * bits / 8));
      }
}

TEST(WavFile, CutShortDataKeepsWholeFrames) {
  std::vector<uint8_t> bytes = wave(1, 2, 22050, 16, std::vector<uint8_t>(40, 7));
  bytes.resize(bytes.size() - 7);  // 33 of 40 bytes left: 8 whole frames of 4 bytes
  corvane::WavSound sound;
  std::string error;
  ASSERT_TRUE(parse(bytes, sound, error)) << error;
  EXPECT_EQ(sound.samples.size(), 32u);
}

TEST(WavFile, MalformedSoundsAreRefusedWithAReason) {
  std::vector<uint8_t> good = wave(1, 1, 22050, 16, {1, 2, 3, 4});
  struct Case {
    std::vector<uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {{}, "no RIFF WAVE header"},
      {{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, "no RIFF WAVE header"},
      {wave(2, 1, 22050, 16, {1, 2}), "not PCM"},
      {wave(1, 3, 22050, 16, {1, 2, 3, 4, 5, 6}), "mono and stereo"},
      {wave(1, 1, 22050, 24, {1, 2, 3}), "8-bit and 16-bit"},
      {wave(1, 1, 0, 16, {1, 2}), "sample rate"},
      {wave(1, 1, 22050, 16, {1, 2}, false), "no format chunk"},
      {wave(1, 1, 22050, 16, {1, 2}, true, false), "no data chunk"},
  };
  for (const Case& c : cases) {
    corvane::WavSound sound;
    std::string error;
    EXPECT_FALSE(parse(c.bytes, sound, error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
  // A block alignment that disagrees with the format.
  std::vector<uint8_t> misaligned = good;
  misaligned[32] = 3;
  corvane::WavSound sound;
  std::string error;
  EXPECT_FALSE(parse(misaligned, sound, error));
  EXPECT_NE(error.find("block alignment"), std::string::npos);
  // A format chunk that claims more than the file holds.
  std::vector<uint8_t> runaway = good;
  runaway[16] = 0xFF, runaway[17] = 0xFF;
  EXPECT_FALSE(parse(runaway, sound, error));
  // Every prefix of a good file parses or fails without reading past its end.
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> prefix(good.begin(), good.begin() + static_cast<long>(n));
    parse(prefix, sound, error);
  }
}

TEST(WavFile, FilesAreNamedInTheirErrors) {
  corvane::WavSound sound;
  std::string error;
  EXPECT_FALSE(corvane::readWavFile("/nonexistent/x.wav", sound, error));
  EXPECT_EQ(error, "/nonexistent/x.wav: cannot be opened");
  EXPECT_FALSE(corvane::readWavFile("/tmp", sound, error));
  EXPECT_EQ(error, "/tmp: not a file");
  std::string path = testing::TempDir() + "corvane-bad.wav";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  const char header[] = "RIFF\x04\0\0\0WAVE";
  std::fwrite(header, 1, sizeof header - 1, file);
  std::fclose(file);
  EXPECT_FALSE(corvane::readWavFile(path, sound, error));
  EXPECT_EQ(error, path + ": no format chunk");
  std::remove(path.c_str());
}

}  // namespace
