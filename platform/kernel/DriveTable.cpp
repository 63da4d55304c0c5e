// An entry of the drive table is followed like any path, so a plain directory or device node
// named `e:` serves as well as a link; an entry that leads nowhere (dangling link) fails with
// ERROR_FILE_NOT_FOUND like an absent drive, a loop of links with ERROR_CANT_RESOLVE_FILENAME,
// and anything that is neither a block device nor a directory (regular file, character device,
// pipe, socket) with ERROR_INVALID_DRIVE; a table folder that cannot be searched fails every
// letter, c: included, with its own error (ERROR_ACCESS_DENIED for a folder of mode 000).
#include "kernel/DriveTable.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "kernel/Errno.h"

namespace kernel {

std::string driveTableFolder() {
  if (const char* folder = std::getenv("CORVANE_DRIVES"); folder && *folder) return folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
    return std::string(config) + "/corvane/drives";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "") + "/.config/corvane/drives";
}

bool resolveVolume(std::string_view devicePath, VolumeTarget& target, DWORD& error) {
  // `\\.\` then exactly a letter and a colon; any other device name is unknown here.
  std::string_view name = devicePath.substr(4);
  bool letterFirst = name.size() == 2 && ((name[0] >= 'a' && name[0] <= 'z') ||
                                           (name[0] >= 'A' && name[0] <= 'Z'));
  if (!letterFirst || name[1] != ':') {
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  char letter = name[0] >= 'a' ? name[0] : static_cast<char>(name[0] - 'A' + 'a');
  std::string entry = driveTableFolder() + "/" + letter + ":";

  struct stat link {};
  if (lstat(entry.c_str(), &link) != 0) {
    // Only a table that says nothing about the letter leaves it unmapped; a table that cannot be
    // read might map c: elsewhere, so the default must not flush "/" in its place.
    if (errno != ENOENT && errno != ENOTDIR) {
      error = win32FromErrno(errno);
      return false;
    }
    if (letter == 'c') {
      target = {VolumeKind::MountPoint, "/", false};
      return true;
    }
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  struct stat info {};
  if (stat(entry.c_str(), &info) != 0) {
    if (errno == ELOOP) error = ERROR_CANT_RESOLVE_FILENAME;
    else if (errno == ENOENT) error = ERROR_FILE_NOT_FOUND;
    else error = win32FromErrno(errno);
    return false;
  }
  if (S_ISBLK(info.st_mode)) {
    target = {VolumeKind::BlockDevice, entry};
    return true;
  }
  if (S_ISDIR(info.st_mode)) {
    target = {VolumeKind::MountPoint, entry};
    return true;
  }
  error = ERROR_INVALID_DRIVE;
  return false;
}

}  // namespace kernel
