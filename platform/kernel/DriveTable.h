// Where a drive letter of the device namespace, or a path given as the program's argument, leads
// on this system.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kernel {

enum class VolumeKind { BlockDevice, MountPoint };

// What an entry named, looked up once: an O_PATH descriptor of it, which the caller owns and
// opens for its real use only through /proc/self/fd, so that the thing checked is the thing used.
struct VolumeTarget {
  VolumeKind kind = VolumeKind::MountPoint;
  int pathFd = -1;
  bool mustBeMountRoot = true;  // false for the root file system that stands in for c:
};

// The folder of the drive table: $CORVANE_DRIVES, else $XDG_CONFIG_HOME/corvane/drives when that
// variable holds an absolute path, else ~/.config/corvane/drives.
std::string driveTableFolder();

// Whether a table folder may be followed by the running user: owned by that user or by root, and
// writable by nobody else. On refusal `why` says so in a few words.
bool trustedTableFolder(uid_t owner, mode_t mode, uid_t user, std::string& why);

// Resolves a device path: `\\.\X:` through the drive table, or `\\.\` followed by the first two
// characters of a program argument that starts with "/" to that whole path. On failure returns
// false with `error` set to the Win32 code the open reports.
bool resolveVolume(std::string_view devicePath, VolumeTarget& target, DWORD& error);

}  // namespace kernel
