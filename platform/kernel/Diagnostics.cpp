// The program name is the one the process was started by, without its folder (what GNU programs
// print, and what a user typed); a line that cannot be written is dropped.
#include "kernel/Diagnostics.h"

#include <errno.h>
#include <unistd.h>

#include <string>

namespace kernel {

void tellUser(std::string_view message) {
  std::string line = std::string(program_invocation_short_name) + ": ";
  line.append(message);
  line += '\n';
  // One write, so that the line never interleaves with another writer's.
  [[maybe_unused]] ssize_t written = write(STDERR_FILENO, line.data(), line.size());
}

}  // namespace kernel
