// Environment variables changed for one test and put back afterwards, and a desktop of the test's
// own for xdg-open: no display, no session, no browser, no mailcap and no association for any type.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

class EnvironmentGuard {
 public:
  EnvironmentGuard() = default;
  EnvironmentGuard(const EnvironmentGuard&) = delete;
  EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;
  ~EnvironmentGuard() {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }
  // Sets the variable, or removes it for no value.
  void set(const std::string& name, const std::optional<std::string>& value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

// Points HOME, the XDG folders and the mailcap list into `root` (created empty) and clears every
// variable through which xdg-open finds a desktop or a browser; PATH keeps the system's folders.
inline void UseEmptyDesktop(EnvironmentGuard& env, const std::filesystem::path& root) {
  namespace fs = std::filesystem;
  for (const char* folder : {"home", "data/applications", "config", "dirs"}) fs::create_directories(root / folder);
  std::ofstream(root / "mailcap").flush();
  env.set("PATH", "/usr/bin:/bin");
  env.set("HOME", (root / "home").string());
  env.set("XDG_DATA_HOME", (root / "data").string());
  env.set("XDG_CONFIG_HOME", (root / "config").string());
  env.set("XDG_DATA_DIRS", (root / "dirs").string());
  env.set("XDG_CONFIG_DIRS", (root / "dirs").string());
  env.set("MAILCAPS", (root / "mailcap").string());
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                           "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "XDG_SESSION_DESKTOP", "BROWSER"})
    env.set(name, std::nullopt);
}
