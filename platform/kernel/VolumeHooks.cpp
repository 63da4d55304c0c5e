// The counters are process-wide and guarded by one lock, since any thread may open a volume.
#include "kernel/VolumeHooks.h"

#include <mutex>

#include "corvane/kernel_hooks.h"

namespace {
std::mutex countsLock;
corvane::VolumeCallCounts counts;
}  // namespace

namespace kernel {

void noteVolumeOpen(std::string_view devicePath) {
  std::lock_guard lock(countsLock);
  ++counts.opens;
  counts.lastOpenedPath = std::string(devicePath);
}

void noteVolumeFlush() {
  std::lock_guard lock(countsLock);
  ++counts.flushes;
}

void noteVolumeClose() {
  std::lock_guard lock(countsLock);
  ++counts.closes;
}

}  // namespace kernel

namespace corvane {

VolumeCallCounts volumeCallCounts() {
  std::lock_guard lock(countsLock);
  return counts;
}

void resetVolumeCallCounts() {
  std::lock_guard lock(countsLock);
  counts = {};
}

}  // namespace corvane
