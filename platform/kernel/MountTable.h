// The mounts this process sees, as the kernel lists them in /proc/self/mountinfo.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace kernel {

struct Mount {
  int id = 0;             // the mount's identifier, as statx reports it for files under it
  dev_t device = 0;       // the file system's device number (st_dev of its files)
  std::string mountPoint; // where it is mounted, unescaped
  std::string source;     // what it was mounted from ("/dev/sdb1", "tmpfs", ...), unescaped
};

// Parses mountinfo text; lines that do not have the kernel's shape are skipped.
std::vector<Mount> parseMountInfo(std::string_view text);

// The current mount table, or an empty one if it cannot be read.
std::vector<Mount> readMountTable();

}  // namespace kernel
