// The second connection uses plain XPutImage (no shared memory, whose completion events would
// need a reader), and its X errors are trapped and dropped: a window that vanished between the
// lookup and the paint fails that paint alone.
#include "drivers/x11/X11ThreadPresenter.h"

#include <algorithm>
#include <utility>

#include "drivers/x11/X11Connection.h"

namespace x11 {

ThreadPresenter::ThreadPresenter(std::string displayName, Visual* visual, int depth, PixelFormat format,
                                 Scale scale)
    : displayName_(std::move(displayName)), visual_(visual), depth_(depth), format_(std::move(format)),
      scale_(scale) {}

ThreadPresenter::~ThreadPresenter() {
  std::lock_guard guard(displayLock_);
  presenter_.reset();
  if (display_ == nullptr) return;
  XFreeGC(display_, gc_);
  XCloseDisplay(display_);
}

void ThreadPresenter::track(HWND hwnd, ::Window xid, POINT clientOffset) {
  std::lock_guard guard(targetsLock_);
  targets_[hwnd] = Target{xid, clientOffset, false};
}

void ThreadPresenter::setOffset(HWND hwnd, POINT clientOffset) {
  std::lock_guard guard(targetsLock_);
  auto found = targets_.find(hwnd);
  if (found != targets_.end()) found->second.offset = clientOffset;
}

void ThreadPresenter::setMapped(HWND hwnd, bool mapped) {
  std::lock_guard guard(targetsLock_);
  auto found = targets_.find(hwnd);
  if (found != targets_.end()) found->second.mapped = mapped;
}

void ThreadPresenter::forget(HWND hwnd) {
  std::lock_guard guard(targetsLock_);
  targets_.erase(hwnd);
}

bool ThreadPresenter::connect() {
  if (display_ != nullptr) return true;
  if (unreachable_) return false;
  display_ = XOpenDisplay(displayName_.c_str());
  if (display_ == nullptr) {
    unreachable_ = true;
    return false;
  }
  gc_ = XCreateGC(display_, DefaultRootWindow(display_), 0, nullptr);
  XSetGraphicsExposures(display_, gc_, False);
  presenter_ = std::make_unique<Presenter>(display_, visual_, depth_, format_, false);
  return true;
}

void ThreadPresenter::put(HWND hwnd, const RECT& area, const uint32_t* pixels, int stride) {
  Target target;
  {
    std::lock_guard guard(targetsLock_);
    auto found = targets_.find(hwnd);
    if (found == targets_.end() || !found->second.mapped) return;
    target = found->second;
  }
  // Only the client part of the surface is an X window.
  const int left = std::max<int>(area.left, target.offset.x);
  const int top = std::max<int>(area.top, target.offset.y);
  const int width = area.right - left, height = area.bottom - top;
  if (width <= 0 || height <= 0) return;
  std::lock_guard guard(displayLock_);
  if (!connect()) return;
  const PixelBuffer buffer{reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(pixels)),
                           static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top),
                           stride * 4};
  // The trap's end waits for the server to take the frame.
  ErrorTrap trap(display_);
  presenter_->put(target.xid, gc_, buffer, left - area.left, top - area.top, width, height,
                  left - target.offset.x, top - target.offset.y, scale_);
}

}  // namespace x11
