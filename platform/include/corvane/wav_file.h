// Reading PCM wave sounds (RIFF/WAVE, 8 or 16 bits, mono or stereo, any rate). Used by the
// sound calls and by tests and fuzzers; product code plays sounds through sndPlaySoundA only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

struct WavSound {
  uint16_t channels = 0;       // 1 or 2
  uint32_t sampleRate = 0;     // frames per second
  uint16_t bitsPerSample = 0;  // 8 (unsigned) or 16 (signed little-endian)
  std::vector<uint8_t> samples;  // interleaved, whole frames only

  size_t bytesPerFrame() const { return static_cast<size_t>(channels) * bitsPerSample / 8; }
  size_t frameCount() const { return bytesPerFrame() ? samples.size() / bytesPerFrame() : 0; }
};

// Parses a wave image in memory. On failure returns false and says why in `error`.
bool parseWav(const uint8_t* data, size_t size, WavSound& sound, std::string& error);

// Reads and parses a wave file; the error names the file. Files above 64 MiB are refused.
bool readWavFile(const std::string& path, WavSound& sound, std::string& error);

}  // namespace corvane
