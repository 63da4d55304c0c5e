// The counters are process-wide and guarded by one lock, since any thread may open a volume.
#include "kernel/VolumeHooks.h"

#include <functional>
#include <mutex>

#include "corvane/kernel_hooks.h"

namespace {
std::mutex countsLock;
corvane::VolumeCallCounts counts;
std::function<void(const std::string&)> openObserver;
}  // namespace

namespace kernel {

void noteVolumeOpen(std::string_view devicePath) {
  std::function<void(const std::string&)> observer;
  {
    std::lock_guard lock(countsLock);
    ++counts.opens;
    counts.lastOpenedPath = std::string(devicePath);
    observer = openObserver;
  }
  // Called outside the lock: the observer may look at anything, the counters included.
  if (observer) observer(std::string(devicePath));
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

void setVolumeOpenObserver(std::function<void(const std::string& devicePath)> observer) {
  std::lock_guard lock(countsLock);
  openObserver = std::move(observer);
}

}  // namespace corvane
