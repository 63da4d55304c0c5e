// A line of mountinfo reads "id parent major:minor root mount-point options [optional...] - type
// source super-options"; the kernel escapes blank, tab, newline and backslash in paths as a
// backslash and three octal digits, and any other backslash is kept as it stands.
#include "kernel/MountTable.h"

#include <sys/sysmacros.h>

#include <charconv>
#include <fstream>
#include <iterator>

namespace kernel {

namespace {

std::string unescape(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    bool octal = field[i] == '\\' && i + 3 < field.size();
    if (octal) {
      int value = 0;
      for (size_t k = 1; k <= 3 && octal; ++k) {
        char digit = field[i + k];
        octal = digit >= '0' && digit <= '7';
        value = value * 8 + (digit - '0');
      }
      if (octal && value < 256) {
        text.push_back(static_cast<char>(value));
        i += 3;
        continue;
      }
    }
    text.push_back(field[i]);
  }
  return text;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start < line.size()) {
    size_t end = line.find(' ', start);
    if (end == std::string_view::npos) end = line.size();
    if (end > start) parts.push_back(line.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

template <typename Number>
bool number(std::string_view text, Number& value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool parseLine(std::string_view line, Mount& mount) {
  std::vector<std::string_view> parts = fields(line);
  // Six fixed fields, then optional ones up to the lone "-", then type and source.
  size_t separator = 6;
  while (separator < parts.size() && parts[separator] != "-") ++separator;
  if (separator + 2 >= parts.size()) return false;
  std::string_view numbers = parts[2];
  size_t colon = numbers.find(':');
  unsigned major = 0, minor = 0;
  if (colon == std::string_view::npos || !number(parts[0], mount.id) ||
      !number(numbers.substr(0, colon), major) || !number(numbers.substr(colon + 1), minor))
    return false;
  mount.device = makedev(major, minor);
  mount.mountPoint = unescape(parts[4]);
  mount.source = unescape(parts[separator + 2]);
  return true;
}

}  // namespace

std::vector<Mount> parseMountInfo(std::string_view text) {
  std::vector<Mount> mounts;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    Mount mount;
    if (parseLine(text.substr(start, end - start), mount)) mounts.push_back(std::move(mount));
    start = end + 1;
  }
  return mounts;
}

std::vector<Mount> readMountTable() {
  std::ifstream file("/proc/self/mountinfo", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return parseMountInfo(text);
}

}  // namespace kernel
