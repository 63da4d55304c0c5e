// Reading a picture file whole. Files larger than kMaxPictureBytes are refused before anything is
// read (ERROR_NOT_ENOUGH_MEMORY), since no picture could come of them.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "gdi/ImageFile.h"
#include "kernel/Errno.h"
#include "kernel/Paths.h"

namespace gdi::imagefile {
namespace {

// A missing folder on the way is ERROR_PATH_NOT_FOUND, a missing last part ERROR_FILE_NOT_FOUND.
DWORD openError(int e, const std::string& path) {
  if (e == ENOENT) {
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return ERROR_PATH_NOT_FOUND;
    return ERROR_FILE_NOT_FOUND;
  }
  return kernel::win32FromErrno(e);
}

}  // namespace

bool readWholeFile(const char* path, std::vector<uint8_t>& bytes, DWORD& error) {
  bytes.clear();
  if (path == nullptr || *path == '\0') {
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  std::string unixPath = kernel::unixPath(path);
  int fd = ::open(unixPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = openError(errno, unixPath);
    return false;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? ERROR_ACCESS_DENIED : ERROR_INVALID_DATA;
    ::close(fd);
    return false;
  }
  if (static_cast<uint64_t>(info.st_size) > kMaxPictureBytes) {
    ::close(fd);
    error = ERROR_NOT_ENOUGH_MEMORY;
    return false;
  }
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  bytes.resize(done);  // a file that shrank while read is decoded as it was read
  return true;
}

}  // namespace gdi::imagefile
