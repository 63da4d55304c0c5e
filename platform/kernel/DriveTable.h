// Where a drive letter of the device namespace leads on this system.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kernel {

enum class VolumeKind { BlockDevice, MountPoint };

struct VolumeTarget {
  VolumeKind kind = VolumeKind::MountPoint;
  std::string path;  // what open() is given: the entry in the table, or "/"
  bool mustBeMountRoot = true;  // false for the root file system that stands in for c:
};

// The folder of the drive table: $CORVANE_DRIVES, else $XDG_CONFIG_HOME/corvane/drives, else
// ~/.config/corvane/drives.
std::string driveTableFolder();

// Resolves a device path `\\.\X:`. On failure returns false with `error` set to the Win32 code
// the open reports.
bool resolveVolume(std::string_view devicePath, VolumeTarget& target, DWORD& error);

}  // namespace kernel
