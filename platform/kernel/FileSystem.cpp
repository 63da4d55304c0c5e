// Attributes come from the POSIX mode: a folder is FILE_ATTRIBUTE_DIRECTORY, a file its owner
// cannot write is FILE_ATTRIBUTE_READONLY, a name starting with a dot is FILE_ATTRIBUTE_HIDDEN,
// and anything else is FILE_ATTRIBUTE_NORMAL; the temporary folder is $TMPDIR or /tmp with a
// trailing `/`.
#include <windows.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kernel/Errno.h"
#include "kernel/Paths.h"

namespace {

DWORD missingOrOther(int error, const std::string& path) {
  if (error != ENOENT) return kernel::win32FromErrno(error);
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;
  std::string parent = slash == 0 ? "/" : path.substr(0, slash);
  struct stat info {};
  return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? ERROR_FILE_NOT_FOUND
                                                                    : ERROR_PATH_NOT_FOUND;
}

}  // namespace

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  std::string path = kernel::unixPath(lpFileName ? lpFileName : "");
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  struct stat info {};
  // Folders and read-only files are refused, as on Windows.
  if (lstat(path.c_str(), &info) == 0 && (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR)))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (unlink(path.c_str()) != 0) {
    SetLastError(missingOrOther(errno, path));
    return FALSE;
  }
  return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  std::string path = kernel::unixPath(lpFileName ? lpFileName : "");
  if (path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    SetLastError(missingOrOther(errno, path));
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  else if (!(info.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  auto slash = path.find_last_of('/');
  std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
  if (leaf.size() > 1 && leaf[0] == '.' && leaf != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
  const char* variable = std::getenv("TMPDIR");
  std::string folder = variable && *variable ? variable : "/tmp";
  if (folder.back() != '/') folder.push_back('/');
  DWORD length = static_cast<DWORD>(folder.size());
  if (!lpBuffer || nBufferLength <= length) return length + 1;
  std::memcpy(lpBuffer, folder.c_str(), length + 1);
  return length;
}
