// Paints that threads other than the user-interface thread send to top-level windows (the
// animation control's frames), on an X connection of their own: the user-interface thread's
// connection is never shared, so it never waits for them.
//
// Shared: the targets (each window's X id, client offset and whether it is mapped), guarded by
// targetsLock_, which the user-interface thread takes only to update them. The second connection
// and its presenter belong to whichever painting thread holds displayLock_. The two locks are never
// held together.
#pragma once

#include <windows.h>

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "drivers/x11/X11Pixels.h"

namespace x11 {

class ThreadPresenter {
 public:
  // The connection is opened at the first paint, on the display of the given name; pixels are
  // shown enlarged by the scale.
  ThreadPresenter(std::string displayName, Visual* visual, int depth, PixelFormat format, Scale scale);
  ~ThreadPresenter();
  ThreadPresenter(const ThreadPresenter&) = delete;
  ThreadPresenter& operator=(const ThreadPresenter&) = delete;

  // User-interface thread: where a window's pixels go.
  void track(HWND hwnd, ::Window xid, POINT clientOffset);
  void setOffset(HWND hwnd, POINT clientOffset);
  void setMapped(HWND hwnd, bool mapped);
  void forget(HWND hwnd);

  // Any thread: shows the pixels (0x00RRGGBB) of an area in surface coordinates, the part of it
  // that lies in the client area. Waits until the server has them, so frames never pile up.
  void put(HWND hwnd, const RECT& area, const uint32_t* pixels, int stride);

 private:
  struct Target {
    ::Window xid = None;
    POINT offset{0, 0};
    bool mapped = false;
  };
  bool connect();

  std::mutex targetsLock_;
  std::unordered_map<HWND, Target> targets_;

  std::mutex displayLock_;
  std::string displayName_;
  Visual* visual_;
  int depth_;
  PixelFormat format_;
  Scale scale_;
  Display* display_ = nullptr;
  bool unreachable_ = false;
  std::unique_ptr<Presenter> presenter_;
  GC gc_ = nullptr;
};

}  // namespace x11
