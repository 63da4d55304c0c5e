#include "Bytes.h"

#include <cstdio>

namespace mkassets {

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) std::fprintf(stderr, "%s: cannot be written\n", path.c_str());
  return ok;
}

}  // namespace mkassets
