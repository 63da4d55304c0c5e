// What a window manager's close button does: sends WM_DELETE_WINDOW to the window named by its
// id (decimal or 0x hex). Exits 0 when the message went out, 1 when the display or the window's
// protocol is missing.
//
// Usage: e2e_wm_close WINDOW_ID
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: e2e_wm_close WINDOW_ID\n");
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open display\n");
    return 1;
  }
  const Window window = std::strtoul(argv[1], nullptr, 0);
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  Atom* offered = nullptr;
  int count = 0;
  bool takesDelete = false;
  if (XGetWMProtocols(display, window, &offered, &count) != 0) {
    for (int i = 0; i < count; ++i) takesDelete = takesDelete || offered[i] == deleteWindow;
    XFree(offered);
  }
  if (!takesDelete) {
    std::fprintf(stderr, "window 0x%lx does not take WM_DELETE_WINDOW\n", window);
    XCloseDisplay(display);
    return 1;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = protocols;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(deleteWindow);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
