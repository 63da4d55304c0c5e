// The counters are process-wide and guarded by one lock, since any thread may open a volume.
// CORVANE_TEST_FLUSH_DELAY_MS (0 to 60000) makes every flush of a volume block that
// long first, as a device with much dirty data does; only tests set it.
#include "kernel/VolumeHooks.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

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
  {
    std::lock_guard lock(countsLock);
    ++counts.flushes;
  }
  // A slow device on demand, for tests of what the program shows while a flush blocks.
  const char* value = std::getenv("CORVANE_TEST_FLUSH_DELAY_MS");
  const long delayMs = std::clamp(value != nullptr ? std::strtol(value, nullptr, 10) : 0L, 0L, 60000L);
  if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
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
