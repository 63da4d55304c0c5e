// Any bytes given to the clip reader either fail with a ClipError or give a clip whose every
// frame decodes, in order and out of order.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/media/AviClip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    media::AviClip clip = media::AviClip::parse(std::vector<uint8_t>(data, data + size), "fuzz.avi");
    size_t expected = static_cast<size_t>(clip.width()) * clip.height();
    for (int i = 0; i < clip.frameCount(); ++i)
      if (clip.frame(i).size() != expected) __builtin_trap();
    if (clip.frameCount() > 1) clip.frame(clip.frameCount() / 2);
  } catch (const media::ClipError&) {
  }
  return 0;
}
