// The program name is the one the process was started by, without its folder (what GNU programs
// print, and what a user typed); a line that cannot be written is dropped.
#include "kernel/Diagnostics.h"

#include <errno.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstring>

namespace kernel {

void tellUser(std::string_view message) {
  // One write, so that the line never interleaves with another writer's, and no allocation: the
  // line may be the last words of a program that has run out of memory.
  char separator[] = ": ", end[] = "\n";
  iovec parts[] = {{program_invocation_short_name, std::strlen(program_invocation_short_name)},
                   {separator, 2},
                   {const_cast<char*>(message.data()), message.size()},
                   {end, 1}};
  [[maybe_unused]] ssize_t written = writev(STDERR_FILENO, parts, 4);
}

}  // namespace kernel
