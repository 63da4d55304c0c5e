// The connection to the X server: the display, the atoms the driver speaks, and error handling
// that never ends the process for a request that failed (X errors are recorded, and the calls
// that can fail for ordinary reasons look at them through an ErrorTrap).
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "drivers/x11/X11Pixels.h"

namespace x11 {

struct Atoms {
  Atom wmProtocols, wmDeleteWindow, wmTransientFor, wmState;
  Atom netWmName, netWmIconName, netWmIcon, netWmPid, netWmPing;
  Atom netWmState, netWmStateAbove, netWmStateModal;
  Atom netWmStateMaximizedVert, netWmStateMaximizedHorz;
  Atom netWmWindowType, netWmWindowTypeNormal, netWmWindowTypeDialog, netWmWindowTypeSplash;
  Atom netActiveWindow, netSupported, netSupportingWmCheck;
  Atom motifWmHints;
  Atom utf8String, string, text, targets, timestamp, multiple, incr, clipboard;
  Atom clipboardManager, saveTargets;
  Atom corvaneSelection, corvaneTime;
};

class Connection {
 public:
  // Opens the display named by name (nullptr: $DISPLAY) and picks the visual to draw on. On
  // failure returns nullptr and says why in error: "cannot open display" and the name that was
  // tried, or which visual cannot be used.
  static Connection* open(const char* name, std::string& error);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  Display* display() const { return display_; }
  int screen() const { return screen_; }
  ::Window root() const { return root_; }
  Visual* visual() const { return visual_; }
  int depth() const { return depth_; }
  Colormap colormap() const { return colormap_; }
  // How the program's pixels and the root window's pixels are packed.
  const PixelFormat& format() const { return format_; }
  // The windows use a colormap of their own rather than the screen's default one.
  bool ownsColormap() const { return ownColormap_; }
  const PixelFormat& rootFormat() const { return visual_ == rootVisual_ ? format_ : rootFormat_; }
  int fd() const { return ConnectionNumber(display_); }
  const Atoms& atoms() const { return atoms_; }
  const std::string& name() const { return name_; }

  // Whether a window manager that follows EWMH runs and names the hint among its supported ones.
  bool wmSupports(Atom hint);

 private:
  Connection() = default;
  bool chooseVisual(std::string& error);
  Display* display_ = nullptr;
  int screen_ = 0;
  ::Window root_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 0;
  Colormap colormap_ = 0;
  bool ownColormap_ = false;
  Visual* rootVisual_ = nullptr;
  PixelFormat format_;
  PixelFormat rootFormat_;
  Atoms atoms_{};
  std::string name_;
};

// Collects the X errors of the requests made while it lives; the requests are synchronised with
// the server at the end, so failed() sees every error they caused.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Waits for the server to process the requests made so far; the first error code or 0.
  int sync();
  bool failed() { return sync() != 0; }

 private:
  Display* display_;
  int saved_;
};

}  // namespace x11
