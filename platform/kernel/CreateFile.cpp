// Share modes are not enforced (POSIX has no mandatory sharing), FILE_FLAG_NO_BUFFERING bypasses
// the cache only for block devices (ordinary files stay buffered), a device path `\\.\X:` sets
// last-error 0 on success whatever the disposition since a volume is opened and never created,
// a NULL or empty file name fails with ERROR_PATH_NOT_FOUND as an empty name does on Windows, and
// a read-only block device asked for write access fails with ERROR_WRITE_PROTECT although Linux
// would open it, and a volume is opened through /proc/self/fd of the descriptor its look-up gave
// (without /proc mounted no volume opens, with the code of that failed open).
#include <windows.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "kernel/DriveTable.h"
#include "kernel/Errno.h"
#include "kernel/FileObject.h"
#include "kernel/Paths.h"
#include "kernel/VolumeHooks.h"
#include "kernel/Volumes.h"

namespace {

constexpr DWORD kReadRights = GENERIC_READ | GENERIC_ALL | 0x0001 /* FILE_READ_DATA */;
constexpr DWORD kWriteRights =
    GENERIC_WRITE | GENERIC_ALL | 0x0002 /* FILE_WRITE_DATA */ | 0x0004 /* FILE_APPEND_DATA */;

int accessFlags(bool read, bool write) {
  if (read && write) return O_RDWR;
  if (write) return O_WRONLY;
  return O_RDONLY;
}

HANDLE fail(DWORD code) {
  SetLastError(code);
  return INVALID_HANDLE_VALUE;
}

// The one way from a looked-up entry to a descriptor that can do I/O: the kernel's link to the
// very inode the O_PATH descriptor holds, never the entry's name again.
std::string reopenPath(int pathFd) { return "/proc/self/fd/" + std::to_string(pathFd); }

// Opens what the entry named for its use: a block device with the access asked for, a directory
// for syncfs (which refuses an O_PATH descriptor); returns the descriptor, or -1 with the code set.
int openTarget(const kernel::VolumeTarget& target, bool read, bool write, DWORD flags, DWORD& error) {
  const std::string path = reopenPath(target.pathFd);
  if (target.kind == kernel::VolumeKind::BlockDevice) {
    int mode = accessFlags(read, write) | O_CLOEXEC;
    if (flags & FILE_FLAG_NO_BUFFERING) mode |= O_DIRECT;
    int fd = open(path.c_str(), mode);
    if (fd < 0) {
      error = kernel::blockDeviceRefusal(path.c_str(), errno);
      return -1;
    }
    error = kernel::blockDeviceOpenError(fd, write);
    if (error == ERROR_SUCCESS) return fd;
    close(fd);
    return -1;
  }
  // A mounted file system is reached through its top folder; syncfs needs only a read handle.
  int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    error = kernel::win32FromErrno(errno);
  } else if (target.mustBeMountRoot && !kernel::isMountRoot(fd)) {
    // A folder that is not the top of a mounted file system (an empty mount point) holds no
    // volume; flushing the file system it happens to lie on would report someone else's success.
    close(fd);
    fd = -1;
    error = ERROR_NOT_READY;
  }
  return fd;
}

HANDLE openVolume(std::string_view devicePath, bool read, bool write, DWORD flags) {
  kernel::noteVolumeOpen(devicePath);
  kernel::VolumeTarget target;
  DWORD error = 0;
  if (!kernel::resolveVolume(devicePath, target, error)) return fail(error);
  kernel::FileObject file;
  file.fd = openTarget(target, read, write, flags, error);
  close(target.pathFd);
  if (file.fd < 0) return fail(error);
  file.isVolume = true;
  file.isMountPoint = target.kind == kernel::VolumeKind::MountPoint;
  file.canRead = read;
  file.canWrite = write;
  HANDLE handle = kernel::addFile(file);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

// Windows tells a missing file (2) from a missing folder on the way to it (3).
DWORD missingCode(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;
  std::string parent = slash == 0 ? "/" : path.substr(0, slash);
  struct stat info {};
  if (stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return ERROR_FILE_NOT_FOUND;
  return ERROR_PATH_NOT_FOUND;
}

DWORD openErrorCode(int error, const std::string& path) {
  if (error == ENOENT) return missingCode(path);
  return kernel::win32FromErrno(error);
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
  if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING)
    return fail(ERROR_INVALID_PARAMETER);
  bool read = (dwDesiredAccess & kReadRights) != 0;
  bool write = (dwDesiredAccess & kWriteRights) != 0;
  std::string_view name = lpFileName ? lpFileName : "";
  if (kernel::isDevicePath(name)) return openVolume(name, read, write, dwFlagsAndAttributes);

  std::string path = kernel::unixPath(name);
  if (path.empty()) return fail(ERROR_PATH_NOT_FOUND);
  if (dwCreationDisposition == TRUNCATE_EXISTING && !write) return fail(ERROR_INVALID_PARAMETER);

  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    // Folders open only for the backup-semantics callers that ask for them, as on Windows.
    if (!(dwFlagsAndAttributes & FILE_FLAG_BACKUP_SEMANTICS) || dwCreationDisposition == CREATE_NEW ||
        dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING)
      return fail(dwCreationDisposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);
    kernel::FileObject folder;
    folder.fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder.fd < 0) return fail(openErrorCode(errno, path));
    folder.canRead = read;
    HANDLE handle = kernel::addFile(folder);
    SetLastError(dwCreationDisposition == OPEN_ALWAYS ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
  }

  int mode = accessFlags(read, write) | O_CLOEXEC;
  mode_t permissions = (dwFlagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  bool existed = false;
  int fd = -1;
  switch (dwCreationDisposition) {
    case CREATE_NEW:
      fd = open(path.c_str(), mode | O_CREAT | O_EXCL, permissions);
      break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      // Creating exclusively first tells, without a race, whether the file was already there.
      fd = open(path.c_str(), mode | O_CREAT | O_EXCL, permissions);
      if (fd < 0 && errno == EEXIST) {
        existed = true;
        fd = open(path.c_str(), mode | (dwCreationDisposition == CREATE_ALWAYS ? O_TRUNC : 0));
      }
      break;
    case OPEN_EXISTING:
      fd = open(path.c_str(), mode);
      break;
    case TRUNCATE_EXISTING:
      fd = open(path.c_str(), mode | O_TRUNC);
      break;
  }
  if (fd < 0) {
    int error = errno;
    if (error == ENOENT && dwCreationDisposition != OPEN_EXISTING &&
        dwCreationDisposition != TRUNCATE_EXISTING)
      return fail(ERROR_PATH_NOT_FOUND);  // only a missing folder stops a create
    return fail(openErrorCode(error, path));
  }

  kernel::FileObject file;
  file.fd = fd;
  file.canRead = read;
  file.canWrite = write;
  if (dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) {
    // Kept absolute, so a change of the current folder cannot redirect the removal.
    char cwd[4096];
    file.deleteOnClose = path.front() == '/' || !getcwd(cwd, sizeof cwd) ? path
                                                                          : std::string(cwd) + "/" + path;
  }
  HANDLE handle = kernel::addFile(file);
  SetLastError(existed && dwCreationDisposition != CREATE_NEW ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}
