// A data chunk cut short by the end of the file keeps its whole frames (players accept such
// files), chunks may come in any order, WAVE_FORMAT_EXTENSIBLE is read when its sub-format is PCM,
// and rates from 1 Hz to 1 MHz are accepted.
#include "corvane/wav_file.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>

namespace corvane {

namespace {

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

constexpr size_t kMaxFileBytes = size_t(64) << 20;

bool fail(std::string& error, const char* why) {
  error = why;
  return false;
}

}  // namespace

bool parseWav(const uint8_t* data, size_t size, WavSound& sound, std::string& error) {
  sound = WavSound{};
  if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
    return fail(error, "not a wave sound (no RIFF WAVE header)");
  // The RIFF size may overstate the file; only bytes that are really there are read.
  size_t end = size;
  uint64_t declared = uint64_t(u32(data + 4)) + 8;
  if (declared < end) end = static_cast<size_t>(declared);

  const uint8_t* format = nullptr;
  size_t formatSize = 0;
  const uint8_t* samples = nullptr;
  size_t sampleBytes = 0;
  size_t at = 12;
  while (at + 8 <= end) {
    const uint8_t* chunk = data + at;
    size_t length = u32(chunk + 4);
    size_t available = end - (at + 8);
    if (std::memcmp(chunk, "fmt ", 4) == 0 && !format) {
      if (length > available) return fail(error, "the format chunk runs past the end of the file");
      format = chunk + 8;
      formatSize = length;
    } else if (std::memcmp(chunk, "data", 4) == 0 && !samples) {
      samples = chunk + 8;
      sampleBytes = length < available ? length : available;
    }
    if (length > available) break;
    at += 8 + length + (length & 1);
  }
  if (!format) return fail(error, "no format chunk");
  if (formatSize < 16) return fail(error, "the format chunk is too short");
  uint16_t tag = u16(format);
  if (tag == 0xFFFE) {
    if (formatSize < 40 || u16(format + 24) != 1) return fail(error, "not PCM (extensible format with another sub-format)");
  } else if (tag != 1) {
    return fail(error, "not PCM (compressed wave formats are not played)");
  }
  sound.channels = u16(format + 2);
  sound.sampleRate = u32(format + 4);
  uint16_t blockAlign = u16(format + 12);
  sound.bitsPerSample = u16(format + 14);
  if (sound.channels != 1 && sound.channels != 2) return fail(error, "only mono and stereo sounds are played");
  if (sound.bitsPerSample != 8 && sound.bitsPerSample != 16) return fail(error, "only 8-bit and 16-bit samples are played");
  if (sound.sampleRate < 1 || sound.sampleRate > 1000000) return fail(error, "the sample rate is out of range");
  if (blockAlign != sound.bytesPerFrame()) return fail(error, "the block alignment does not match channels and sample size");
  if (!samples) return fail(error, "no data chunk");
  size_t whole = sampleBytes - sampleBytes % sound.bytesPerFrame();
  sound.samples.assign(samples, samples + whole);
  return true;
}

bool readWavFile(const std::string& path, WavSound& sound, std::string& error) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    error = path + ": not a file";
    return false;
  }
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    error = path + ": cannot be opened";
    return false;
  }
  std::streamoff length = in.tellg();
  if (length < 0 || static_cast<uint64_t>(length) > kMaxFileBytes) {
    error = path + ": too large for a sound (over 64 MiB)";
    return false;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  in.seekg(0);
  if (length > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), length)) {
    error = path + ": cannot be read";
    return false;
  }
  if (!parseWav(bytes.data(), bytes.size(), sound, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace corvane
