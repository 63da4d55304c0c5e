// A private Xvfb for the X11 benchmarks, so that they never draw on a desktop; without Xvfb the
// benchmark uses $DISPLAY, and without either display() is empty and the benchmark skips.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class PrivateXvfb {
 public:
  // DISPLAY for the bench, or an empty string when no display can be had.
  const std::string& display() {
    if (!tried_) {
      tried_ = true;
      start();
      if (display_.empty() && std::getenv("DISPLAY") != nullptr) display_ = std::getenv("DISPLAY");
      if (!display_.empty()) {
        setenv("DISPLAY", display_.c_str(), 1);
        unsetenv("CORVANE_DRIVER");
      }
    }
    return display_;
  }

  ~PrivateXvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  void start() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ < 0) {
      close(fds[0]);
      close(fds[1]);
      pid_ = 0;
      return;
    }
    if (pid_ == 0) {
      close(fds[0]);
      const int null = open("/dev/null", O_WRONLY);
      if (null >= 0) {
        dup2(null, 1);
        dup2(null, 2);
      }
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
             "1024x768x24", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&p, 1, 10000) > 0) {
      char buffer[16];
      const ssize_t n = read(fds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      number.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (number.empty() || number.find('\n') == std::string::npos) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = 0;
      return;
    }
    display_ = ":" + number.substr(0, number.find('\n'));
  }

  bool tried_ = false;
  pid_t pid_ = 0;
  std::string display_;
};
