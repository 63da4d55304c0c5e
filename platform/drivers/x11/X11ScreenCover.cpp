#include "drivers/x11/X11ScreenCover.h"

#include <X11/Xutil.h>

#include <vector>

namespace x11 {

void ScreenPicture::take(Connection& c) {
  clear();
  Display* d = c.display();
  width_ = DisplayWidth(d, c.screen());
  height_ = DisplayHeight(d, c.screen());
  format_ = &c.rootFormat();
  image_ = rootImage(d, c.root(), width_, height_);
}

void ScreenPicture::clear() {
  if (image_ != nullptr) XDestroyImage(image_);
  image_ = nullptr;
  format_ = nullptr;
}

void ScreenPicture::copyTo(PixelBuffer& target, int factor) const {
  static const PixelFormat none;
  sampleScreen(format_ != nullptr ? *format_ : none, image_, target, factor);
}

Pixmap ScreenPicture::toPixmap(Connection& c, Presenter& presenter) const {
  if (empty()) return None;
  // The server's picture is in the root's format; the presenter takes the program's buffers.
  std::vector<uint8_t> bytes(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
  PixelBuffer pixels{bytes.data(), width_, height_, width_ * 4};
  copyTo(pixels, 1);
  Display* d = c.display();
  ErrorTrap trap(d);
  const Pixmap pixmap = XCreatePixmap(d, c.root(), static_cast<unsigned>(width_),
                                      static_cast<unsigned>(height_),
                                      static_cast<unsigned>(c.depth()));
  if (trap.sync() != 0 || pixmap == None) return None;
  GC gc = XCreateGC(d, pixmap, 0, nullptr);
  presenter.put(pixmap, gc, pixels, 0, 0, width_, height_, 0, 0);
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
