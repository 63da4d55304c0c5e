// An entry of the drive table is followed like any path, so a plain directory or device node
// named `e:` serves as well as a link; an entry that leads nowhere (dangling link) fails with
// ERROR_FILE_NOT_FOUND like an absent drive, a loop of links with ERROR_CANT_RESOLVE_FILENAME,
// and anything that is neither a block device nor a directory (regular file, character device,
// pipe, socket) with ERROR_INVALID_DRIVE; a table folder that cannot be searched fails every
// letter, c: included, with its own error (ERROR_ACCESS_DENIED for a folder of mode 000), and so
// does, with ERROR_ACCESS_DENIED, a folder that someone other than the user or root could change.
// A path given as the program's argument follows the same rules as an entry, except that a path
// that does not exist is always ERROR_FILE_NOT_FOUND.
#include "kernel/DriveTable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "kernel/CommandLine.h"
#include "kernel/Diagnostics.h"
#include "kernel/Errno.h"

namespace kernel {

namespace {

bool failWith(DWORD code, DWORD& error) {
  error = code;
  return false;
}

// Looks the entry up once, following links, without opening what it names (O_PATH runs no
// driver's open code), and decides its kind on that very descriptor.
bool lookUpEntry(int folderFd, const char* name, VolumeTarget& target, DWORD& error) {
  int fd = openat(folderFd, name, O_PATH | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP) return failWith(ERROR_CANT_RESOLVE_FILENAME, error);
    return failWith(errno == ENOENT ? ERROR_FILE_NOT_FOUND : win32FromErrno(errno), error);
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !(S_ISBLK(info.st_mode) || S_ISDIR(info.st_mode))) {
    close(fd);
    return failWith(ERROR_INVALID_DRIVE, error);
  }
  target.kind = S_ISBLK(info.st_mode) ? VolumeKind::BlockDevice : VolumeKind::MountPoint;
  target.pathFd = fd;
  target.mustBeMountRoot = true;
  return true;
}

// The drive table as a descriptor, or -1: ENOENT (no table at all) leaves `error` 0, anything
// else sets the code every letter fails with.
int openTableFolder(DWORD& error) {
  error = ERROR_SUCCESS;
  const std::string folder = driveTableFolder();
  int fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT && errno != ENOTDIR) error = win32FromErrno(errno);
    return -1;
  }
  struct stat info {};
  std::string why;
  if (fstat(fd, &info) != 0 || !trustedTableFolder(info.st_uid, info.st_mode, geteuid(), why)) {
    close(fd);
    tellUser("drive table " + folder + " " + (why.empty() ? "cannot be checked" : why));
    error = ERROR_ACCESS_DENIED;
    return -1;
  }
  return fd;
}

bool resolveLetter(char letter, VolumeTarget& target, DWORD& error) {
  const char name[] = {letter, ':', '\0'};
  int folderFd = openTableFolder(error);
  if (folderFd < 0 && error != ERROR_SUCCESS) return false;
  if (folderFd >= 0) {
    bool found = lookUpEntry(folderFd, name, target, error);
    struct stat entry {};
    // Only a table that says nothing about the letter leaves it unmapped; a table that cannot be
    // read might map c: elsewhere, so the default must not flush "/" in its place.
    bool listed = found || fstatat(folderFd, name, &entry, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
    close(folderFd);
    if (listed) return found;
  }
  if (letter != 'c') return failWith(ERROR_FILE_NOT_FOUND, error);
  target = {VolumeKind::MountPoint, open("/", O_PATH | O_DIRECTORY | O_CLOEXEC), false};
  return target.pathFd >= 0 || failWith(win32FromErrno(errno), error);
}

}  // namespace

std::string driveTableFolder() {
  if (const char* folder = std::getenv("CORVANE_DRIVES"); folder && *folder) return folder;
  // The XDG rules make a relative value void: it would depend on the working folder.
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
    return std::string(config) + "/corvane/drives";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "") + "/.config/corvane/drives";
}

bool trustedTableFolder(uid_t owner, mode_t mode, uid_t user, std::string& why) {
  if (owner != user && owner != 0) {
    why = "belongs to another user (uid " + std::to_string(owner) + ")";
    return false;
  }
  if (mode & (S_IWGRP | S_IWOTH)) {
    why = mode & S_IWOTH ? "is writable by others" : "is writable by its group";
    return false;
  }
  return true;
}

bool resolveVolume(std::string_view devicePath, VolumeTarget& target, DWORD& error) {
  std::string_view name = devicePath.substr(4);
  // The sequence keeps two characters of its argument; a path argument is taken whole.
  if (!name.empty() && name[0] == '/') {
    std::string_view argument = commandArguments();
    if (argument.substr(0, name.size()) != name) return failWith(ERROR_FILE_NOT_FOUND, error);
    return lookUpEntry(AT_FDCWD, std::string(argument).c_str(), target, error);
  }
  // `\\.\` then exactly a letter and a colon; any other device name is unknown here.
  bool letterFirst = name.size() == 2 && ((name[0] >= 'a' && name[0] <= 'z') ||
                                           (name[0] >= 'A' && name[0] <= 'Z'));
  if (!letterFirst || name[1] != ':') return failWith(ERROR_FILE_NOT_FOUND, error);
  return resolveLetter(name[0] >= 'a' ? name[0] : static_cast<char>(name[0] - 'A' + 'a'), target, error);
}

}  // namespace kernel
