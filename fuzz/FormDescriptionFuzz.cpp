// Any text given to the window description reader either reads or names a faulty line; what it
// reads writes back out to a text that reads back to the very same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/FormDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  DescriptionBlock block;
  try {
    block = ParseFormDescription(text);
  } catch (const FormDescriptionError& e) {
    if (e.Line < 1) std::abort();
    return 0;
  }
  std::string written = WriteFormDescription(block);
  DescriptionBlock again = ParseFormDescription(written);  // must not throw
  if (WriteFormDescription(again) != written) std::abort();
  return 0;
}
