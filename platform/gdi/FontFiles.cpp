// Font file mappings. Choices where Windows is silent: a file is mapped read-only and private, as
// FreeType maps the files it opens itself; an empty file or anything but a regular file is refused;
// a mapping is never given back.
#include "gdi/FontFiles.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace gdi {

namespace {

FontFileBytes mapFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  FontFileBytes bytes;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    void* mapped = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped != MAP_FAILED) bytes = {static_cast<const unsigned char*>(mapped), static_cast<size_t>(info.st_size)};
  }
  ::close(fd);
  return bytes;
}

}  // namespace

FontFileBytes fontFileBytes(const std::string& path) {
  static std::mutex lock;
  // Never destroyed: faces made from these bytes may outlive every static destructor.
  static auto* mapped = new std::map<std::string, FontFileBytes>;
  std::lock_guard<std::mutex> guard(lock);
  auto it = mapped->find(path);
  if (it != mapped->end()) return it->second;
  FontFileBytes bytes = mapFile(path);
  if (bytes.data != nullptr) mapped->emplace(path, bytes);
  return bytes;
}

}  // namespace gdi
