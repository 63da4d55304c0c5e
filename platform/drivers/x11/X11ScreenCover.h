// A window without a frame that the program places over the whole screen (the screen scramble):
// an override-redirect window, so that no window manager reparents, places or restacks it and it
// lies above every panel and dock, which holds the keyboard and pointer grabs while it is shown,
// since no manager gives an unmanaged window the focus. It starts as the screen it covers, read
// while it was not mapped, and shows that picture (its background) until the program draws into
// it, as an unpainted window does on a desktop without composition.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "drivers/x11/X11Connection.h"
#include "drivers/x11/X11Pixels.h"

namespace x11 {

// The screen at one moment, as the server gave it.
class ScreenPicture {
 public:
  ScreenPicture() = default;
  ScreenPicture(const ScreenPicture&) = delete;
  ScreenPicture& operator=(const ScreenPicture&) = delete;
  ~ScreenPicture() { clear(); }

  // Reads the whole screen now.
  void take(Connection& c);
  void clear();
  bool empty() const { return format_ == nullptr; }
  // Copies the picture into target as readRoot reads the screen.
  void copyTo(PixelBuffer& target, int factor) const;
  // A pixmap of the program's visual holding the picture, for a window's background (None when
  // the server refuses one); the caller frees it.
  Pixmap toPixmap(Connection& c, Presenter& presenter) const;

 private:
  XImage* image_ = nullptr;  // nullptr when the server gave none: the picture is black
  const PixelFormat* format_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Whether a window bypasses the window manager; takes effect at the window's next map.
void setOverrideRedirect(Display* display, ::Window window, bool on);
// Takes the keyboard and the pointer for the window (viewable); false when another client holds
// either, and then neither is held.
bool grabInput(Display* display, ::Window window);
void releaseInput(Display* display);

}  // namespace x11
