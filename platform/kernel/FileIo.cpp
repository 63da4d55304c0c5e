// Reads and writes loop until the whole count has moved or the file ends, so a short transfer
// from POSIX never surfaces as a partial success; a handle without the matching access right fails
// with ERROR_ACCESS_DENIED as on Windows, and so does flushing a handle opened without write access.
#include <windows.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "kernel/Errno.h"
#include "kernel/FileObject.h"
#include "kernel/VolumeHooks.h"
#include "kernel/Volumes.h"

namespace {

BOOL failWith(DWORD code) {
  SetLastError(code);
  return FALSE;
}

off_t overlappedOffset(const OVERLAPPED* overlapped) {
  return static_cast<off_t>((static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset);
}

}  // namespace

BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
  kernel::FileObject file;
  if (!kernel::findFile(hFile, file)) return FALSE;
  if (file.isVolume) kernel::noteVolumeFlush();
  if (!file.canWrite) return failWith(ERROR_ACCESS_DENIED);
  int error = 0;
  if (file.isVolume && !file.isMountPoint) error = kernel::flushBlockDevice(file.fd);
  else if ((file.isMountPoint ? syncfs(file.fd) : fsync(file.fd)) != 0) error = errno;
  if (error != 0) return failWith(kernel::win32FromErrno(error));
  return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  // The pseudo handle of the current process closes to no effect, as documented.
  if (hObject == GetCurrentProcess()) return TRUE;
  kernel::FileObject file;
  if (!kernel::takeFile(hObject, file)) return FALSE;
  if (file.isVolume) kernel::noteVolumeClose();
  int result = close(file.fd);
  int error = errno;
  if (!file.deleteOnClose.empty()) unlink(file.deleteOnClose.c_str());
  // Linux releases the descriptor even when close reports a failure, so the handle is gone
  // either way; the failure is still reported.
  if (result != 0 && error != EINTR) {
    SetLastError(kernel::win32FromErrno(error));
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  kernel::FileObject file;
  if (!kernel::findFile(hFile, file)) return FALSE;
  if (!file.canRead) return failWith(ERROR_ACCESS_DENIED);
  if (!lpBuffer && nNumberOfBytesToRead) return failWith(ERROR_NOACCESS);
  auto* out = static_cast<char*>(lpBuffer);
  DWORD done = 0;
  while (done < nNumberOfBytesToRead) {
    ssize_t got = lpOverlapped
                      ? pread(file.fd, out + done, nNumberOfBytesToRead - done, overlappedOffset(lpOverlapped) + done)
                      : read(file.fd, out + done, nNumberOfBytesToRead - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
      kernel::setLastErrorFromErrno();
      return FALSE;
    }
    if (got == 0) break;
    done += static_cast<DWORD>(got);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  kernel::FileObject file;
  if (!kernel::findFile(hFile, file)) return FALSE;
  if (!file.canWrite) return failWith(ERROR_ACCESS_DENIED);
  if (!lpBuffer && nNumberOfBytesToWrite) return failWith(ERROR_NOACCESS);
  const auto* in = static_cast<const char*>(lpBuffer);
  DWORD done = 0;
  while (done < nNumberOfBytesToWrite) {
    ssize_t put = lpOverlapped ? pwrite(file.fd, in + done, nNumberOfBytesToWrite - done,
                                        overlappedOffset(lpOverlapped) + done)
                               : write(file.fd, in + done, nNumberOfBytesToWrite - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
      kernel::setLastErrorFromErrno();
      return FALSE;
    }
    done += static_cast<DWORD>(put);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
  return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  kernel::FileObject file;
  if (!kernel::findFile(hFile, file)) return INVALID_FILE_SIZE;
  struct stat info {};
  if (fstat(file.fd, &info) != 0) {
    kernel::setLastErrorFromErrno();
    return INVALID_FILE_SIZE;
  }
  uint64_t size = static_cast<uint64_t>(info.st_size);
  if (S_ISBLK(info.st_mode)) {
    // A block device reports no size through fstat; its end does.
    off_t here = lseek(file.fd, 0, SEEK_CUR);
    off_t end = lseek(file.fd, 0, SEEK_END);
    if (here >= 0) lseek(file.fd, here, SEEK_SET);
    size = end < 0 ? 0 : static_cast<uint64_t>(end);
  } else if (S_ISDIR(info.st_mode)) {
    size = 0;
  }
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  DWORD low = static_cast<DWORD>(size);
  // A true size whose low half is all ones is told apart by a cleared last-error, as documented.
  if (low == INVALID_FILE_SIZE && lpFileSizeHigh) SetLastError(NO_ERROR);
  return low;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod) {
  kernel::FileObject file;
  if (!kernel::findFile(hFile, file)) return INVALID_SET_FILE_POINTER;
  int64_t distance = lpDistanceToMoveHigh
                         ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                                static_cast<uint32_t>(lDistanceToMove))
                         : static_cast<int64_t>(lDistanceToMove);
  int64_t base = 0;
  if (dwMoveMethod == FILE_CURRENT) {
    base = lseek(file.fd, 0, SEEK_CUR);
  } else if (dwMoveMethod == FILE_END) {
    // The probe of the end is undone: the pointer moves only once the target is known valid.
    off_t current = lseek(file.fd, 0, SEEK_CUR);
    base = lseek(file.fd, 0, SEEK_END);
    if (current >= 0) lseek(file.fd, current, SEEK_SET);
  } else if (dwMoveMethod != FILE_BEGIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (base < 0) {
    kernel::setLastErrorFromErrno();
    return INVALID_SET_FILE_POINTER;
  }
  int64_t target = base + distance;
  if (target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (!lpDistanceToMoveHigh && target > 0xFFFFFFFELL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(file.fd, static_cast<off_t>(target), SEEK_SET) < 0) {
    kernel::setLastErrorFromErrno();
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  DWORD low = static_cast<DWORD>(target);
  if (low == INVALID_SET_FILE_POINTER) SetLastError(NO_ERROR);
  return low;
}
