// Test-only view into the kernel layer: how often the volume calls ran, so that a test of the
// flush sequence can count them without a real disk. Product code never includes this header.
// The environment variable CORVANE_TEST_FLUSH_DELAY_MS makes every
// FlushFileBuffers on a volume block that many milliseconds (at most 60000) before it flushes.
#pragma once

#include <functional>
#include <string>

namespace corvane {

struct VolumeCallCounts {
  unsigned opens = 0;    // CreateFileA calls on a device path `\\.\...`, whether they succeed or not
  unsigned flushes = 0;  // FlushFileBuffers calls on a handle opened through a device path
  unsigned closes = 0;   // CloseHandle calls on such a handle
  std::string lastOpenedPath;  // the device path of the latest of those CreateFileA calls
};

VolumeCallCounts volumeCallCounts();
void resetVolumeCallCounts();

// Called at every CreateFileA on a device path, before the volume is opened, so a test can look
// at what the program showed by then. An empty function removes the observer.
void setVolumeOpenObserver(std::function<void(const std::string& devicePath)> observer);

}  // namespace corvane
