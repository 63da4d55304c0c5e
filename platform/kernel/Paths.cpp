// A drive-letter path such as `C:\x` is not translated: only `\\.\X:` names a volume, and file
// names are taken as POSIX paths with `\` read as a separator.
#include "kernel/Paths.h"

namespace kernel {

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string unixPath(std::string_view windowsPath) {
  std::string out;
  out.reserve(windowsPath.size());
  for (char c : windowsPath) {
    if (isSeparator(c)) {
      if (out.empty() || out.back() != '/') out.push_back('/');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

bool isDevicePath(std::string_view path) {
  return path.size() >= 4 && isSeparator(path[0]) && isSeparator(path[1]) && path[2] == '.' &&
         isSeparator(path[3]);
}

}  // namespace kernel
