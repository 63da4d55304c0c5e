// Windows-style paths on a POSIX file system.
#pragma once

#include <string>
#include <string_view>

namespace kernel {

// A file name as the POSIX calls want it: every `\` becomes `/` and runs of separators collapse
// into one (a leading `//` too, which POSIX would leave implementation-defined).
std::string unixPath(std::string_view windowsPath);

// True when the name starts with the device namespace prefix `\\.\` (either separator).
bool isDevicePath(std::string_view path);

}  // namespace kernel
