// Any text given to the mount table reader gives mounts whose paths are never longer than the
// text they came from, and never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kernel/MountTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const kernel::Mount& mount : kernel::parseMountInfo(text))
    if (mount.mountPoint.size() > size || mount.source.size() > size) __builtin_trap();
  return 0;
}
