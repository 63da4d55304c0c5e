// Any resource text or CORVANE_SCALE value gives a factor from 1 to the largest allowed, or no
// factor at all from the resources, and never a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "drivers/x11/X11Scale.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string warning;
  const int fromSetting = x11::scaleFromSetting(text, warning);
  if (fromSetting < 1 || fromSetting > x11::kMaxScale) __builtin_trap();
  const std::optional<int> fromResources = x11::scaleFromResources(text.c_str());
  if (fromResources && (*fromResources < 1 || *fromResources > x11::kMaxScale)) __builtin_trap();
  return 0;
}
