// What the file calls report to the test counters of corvane/kernel_hooks.h.
#pragma once

#include <string_view>

namespace kernel {

void noteVolumeOpen(std::string_view devicePath);
void noteVolumeFlush();
void noteVolumeClose();

}  // namespace kernel
