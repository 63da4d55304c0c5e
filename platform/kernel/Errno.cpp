// An errno value with no Win32 counterpart becomes ERROR_GEN_FAILURE, the code Windows itself
// gives for a driver's unspecified failure.
#include "kernel/Errno.h"

#include <cerrno>

namespace kernel {

DWORD win32FromErrno(int error) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ELOOP: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM: return ERROR_NOT_READY;
    case EMEDIUMTYPE: return ERROR_UNRECOGNIZED_MEDIA;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EIO: return ERROR_IO_DEVICE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case ESPIPE: return ERROR_SEEK_ON_DEVICE;
    case EPIPE: return ERROR_BROKEN_PIPE;
    case EFAULT: return ERROR_NOACCESS;
    case ENOEXEC: return ERROR_BAD_FORMAT;
    case ENOSYS: return ERROR_CALL_NOT_IMPLEMENTED;
    case EOPNOTSUPP: return ERROR_NOT_SUPPORTED;
    case ETIMEDOUT: return ERROR_TIMEOUT;
    case ECANCELED: return ERROR_OPERATION_ABORTED;
    case EAGAIN: return ERROR_LOCK_VIOLATION;
    case EOVERFLOW: return ERROR_ARITHMETIC_OVERFLOW;
    default: return ERROR_GEN_FAILURE;
  }
}

DWORD setLastErrorFromErrno() {
  DWORD code = win32FromErrno(errno);
  SetLastError(code);
  return code;
}

}  // namespace kernel
