// Share modes are not enforced (POSIX has no mandatory sharing), FILE_FLAG_NO_BUFFERING bypasses
// the cache only for block devices (ordinary files stay buffered), a device path `\\.\X:` sets
// last-error 0 on success whatever the disposition since a volume is opened and never created,
// a NULL or empty file name fails with ERROR_PATH_NOT_FOUND as an empty name does on Windows, and
// a read-only block device asked for write access fails with ERROR_WRITE_PROTECT although Linux
// would open it.
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

HANDLE openVolume(std::string_view devicePath, bool read, bool write, DWORD flags) {
  kernel::noteVolumeOpen(devicePath);
  kernel::VolumeTarget target;
  DWORD error = 0;
  if (!kernel::resolveVolume(devicePath, target, error)) return fail(error);

  kernel::FileObject file;
  file.isVolume = true;
  file.canRead = read;
  file.canWrite = write;
  if (target.kind == kernel::VolumeKind::BlockDevice) {
    int mode = accessFlags(read, write) | O_CLOEXEC;
    if (flags & FILE_FLAG_NO_BUFFERING) mode |= O_DIRECT;
    file.fd = open(target.path.c_str(), mode);
    if (file.fd < 0) return fail(kernel::blockDeviceRefusal(target.path.c_str(), errno));
    if (DWORD error = kernel::blockDeviceOpenError(file.fd, write)) {
      close(file.fd);
      return fail(error);
    }
  } else {
    // A mounted file system is reached through its top folder; syncfs needs only a read handle.
    file.isMountPoint = true;
    file.fd = open(target.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (file.fd < 0) return fail(kernel::win32FromErrno(errno));
    // A folder that is not the top of a mounted file system (an empty mount point) holds no
    // volume; flushing the file system it happens to lie on would report someone else's success.
    if (target.mustBeMountRoot && !kernel::isMountRoot(file.fd)) {
      close(file.fd);
      return fail(ERROR_NOT_READY);
    }
  }
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
