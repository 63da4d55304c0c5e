#include "drivers/x11/X11ScreenCover.h"

#include <algorithm>
#include <cstring>

namespace x11 {

void ScreenPicture::take(Connection& c) {
  Display* d = c.display();
  const int width = DisplayWidth(d, c.screen());
  const int height = DisplayHeight(d, c.screen());
  bytes_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  view_ = PixelBuffer{bytes_.data(), width, height, width * 4};
  readRoot(d, c.root(), c.rootFormat(), view_);
}

void ScreenPicture::clear() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  view_ = PixelBuffer{};
}

void ScreenPicture::copyTo(PixelBuffer& target, int factor) const {
  const int width = std::min(target.width, view_.width / factor);
  const int height = view_.height / factor;
  for (int y = 0; y < target.height; ++y) {
    uint8_t* row = target.bits + static_cast<ptrdiff_t>(y) * target.stride;
    std::memset(row, 0, static_cast<size_t>(target.width) * 4);
    if (y >= height) continue;
    const uint8_t* from = view_.bits + static_cast<ptrdiff_t>(y) * factor * view_.stride;
    if (factor == 1) {
      std::memcpy(row, from, static_cast<size_t>(std::max(width, 0)) * 4);
      continue;
    }
    for (int x = 0; x < width; ++x)
      std::memcpy(row + x * 4, from + static_cast<ptrdiff_t>(x) * factor * 4, 4);
  }
}

Pixmap ScreenPicture::toPixmap(Connection& c, Presenter& presenter) const {
  if (empty()) return None;
  Display* d = c.display();
  ErrorTrap trap(d);
  const Pixmap pixmap = XCreatePixmap(d, c.root(), static_cast<unsigned>(view_.width),
                                      static_cast<unsigned>(view_.height),
                                      static_cast<unsigned>(c.depth()));
  if (trap.sync() != 0 || pixmap == None) return None;
  GC gc = XCreateGC(d, pixmap, 0, nullptr);
  presenter.put(pixmap, gc, view_, 0, 0, view_.width, view_.height, 0, 0);
  XFreeGC(d, gc);
  if (trap.sync() != 0) {
    XFreePixmap(d, pixmap);
    return None;
  }
  return pixmap;
}

void setOverrideRedirect(Display* display, ::Window window, bool on) {
  XSetWindowAttributes attributes{};
  attributes.override_redirect = on ? True : False;
  XChangeWindowAttributes(display, window, CWOverrideRedirect, &attributes);
}

bool grabInput(Display* display, ::Window window) {
  // Events over our own windows still go to them; everything else comes to the cover.
  const unsigned pointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                 EnterWindowMask | LeaveWindowMask;
  if (XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) !=
      GrabSuccess) {
    return false;
  }
  if (XGrabPointer(display, window, True, pointerEvents, GrabModeAsync, GrabModeAsync, None, None,
                   CurrentTime) != GrabSuccess) {
    XUngrabKeyboard(display, CurrentTime);
    return false;
  }
  return true;
}

void releaseInput(Display* display) {
  XUngrabPointer(display, CurrentTime);
  XUngrabKeyboard(display, CurrentTime);
}

}  // namespace x11
