// Only the "open" verb (any case, or none) has a handler, lpParameters and nShowCmd are not passed
// on (xdg-open takes a single document), a relative file name is looked up in lpDirectory when
// that names an existing folder, and a handler still running after five seconds counts as started.
#include <windows.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "kernel/Paths.h"

extern char** environ;

namespace {

HINSTANCE shellResult(intptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

bool isOpenVerb(LPCSTR verb) {
  if (!verb || !*verb) return true;
  const char* open = "open";
  int i = 0;
  for (; verb[i] && open[i]; ++i) {
    char c = verb[i] >= 'A' && verb[i] <= 'Z' ? static_cast<char>(verb[i] + 32) : verb[i];
    if (c != open[i]) return false;
  }
  return !verb[i] && !open[i];
}

// A web address or any other "scheme:" name goes to the handler unchecked; a single letter
// before the colon is a drive, not a scheme.
bool hasScheme(const std::string& name) {
  auto colon = name.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    char c = name[i];
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!letter && !(i > 0 && other)) return false;
  }
  return true;
}

// The document as a checked Unix path, or a shell error code.
intptr_t locateDocument(const std::string& name, LPCSTR directory, std::string& path) {
  path = kernel::unixPath(name);
  if (path.front() != '/' && directory && *directory) {
    std::string folder = kernel::unixPath(directory);
    struct stat info {};
    if (!folder.empty() && stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
      path = folder + (folder.back() == '/' ? "" : "/") + path;
  }
  // A name such as "-x" must reach xdg-open as a file, never as one of its options.
  if (path.front() != '/') path = "./" + path;
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) return 0;
  if (errno == EACCES) return SE_ERR_ACCESSDENIED;
  if (errno != ENOENT) return SE_ERR_FNF;
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return SE_ERR_FNF;
  return stat(path.substr(0, slash).c_str(), &info) == 0 ? SE_ERR_FNF : SE_ERR_PNF;
}

// Runs xdg-open with the target as its only argument, never through a shell.
intptr_t runHandler(const std::string& target) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(target.c_str()), nullptr};
  pid_t child = 0;
  int spawned = posix_spawnp(&child, "xdg-open", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return SE_ERR_NOASSOC;

  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return 42;
      if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return SE_ERR_FNF;  // xdg-open: no such file
      return SE_ERR_NOASSOC;
    }
    if (done < 0 && errno != EINTR) return 42;  // reaped elsewhere (SIGCHLD ignored): it ran
    if (std::chrono::steady_clock::now() >= deadline) {
      // The handler stays in front of the user; reap it whenever it ends.
      std::thread([child] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
      }).detach();
      return 42;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, INT nShowCmd) {
  if (!isOpenVerb(lpOperation)) return shellResult(SE_ERR_NOASSOC);
  std::string name = lpFile ? lpFile : "";
  if (name.empty()) return shellResult(SE_ERR_FNF);
  if (hasScheme(name)) return shellResult(runHandler(name));
  std::string path;
  if (intptr_t error = locateDocument(name, lpDirectory, path)) return shellResult(error);
  return shellResult(runHandler(path));
}
