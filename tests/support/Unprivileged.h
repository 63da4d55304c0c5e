// Runs a piece of a test as an ordinary user: root gives up its rights in a child process (as the
// user nobody), anyone else runs the piece as is, also in a child so the test's own rights stay.
#pragma once

#include <windows.h>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace testing_support {

constexpr uid_t kNobody = 65534;

// The Win32 code the piece hands back, or -1 if the child could not drop its rights or died.
inline long asUnprivileged(const std::function<DWORD()>& piece) {
  int channel[2];
  if (pipe(channel) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
      _exit(1);
    DWORD code = piece();
    _exit(write(channel[1], &code, sizeof code) == sizeof code ? 0 : 1);
  }
  close(channel[1]);
  DWORD code = 0;
  bool got = child > 0 && read(channel[0], &code, sizeof code) == sizeof code;
  close(channel[0]);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  return got && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? static_cast<long>(code) : -1;
}

}  // namespace testing_support
