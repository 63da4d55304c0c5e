// Any bytes given to the wave reader either fail with a reason or give a sound of whole frames.
#include <cstddef>
#include <cstdint>
#include <string>

#include "corvane/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  corvane::WavSound sound;
  std::string error;
  if (corvane::parseWav(data, size, sound, error)) {
    if (sound.bytesPerFrame() == 0 || sound.samples.size() % sound.bytesPerFrame() != 0) __builtin_trap();
  } else if (error.empty()) {
    __builtin_trap();
  }
  return 0;
}
