// A window manager that never maps anything: it takes the map requests of every top-level window
// (SubstructureRedirect on the root window) and drops them. Runs until killed; exits 1 when the
// display is missing or another manager already runs.
//
// Usage: e2e_deaf_wm
#include <X11/Xlib.h>

#include <cstdio>

namespace {
bool refused = false;
int onError(Display*, XErrorEvent*) {
  refused = true;
  return 0;
}
}  // namespace

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open display\n");
    return 1;
  }
  XSetErrorHandler(onError);
  XSelectInput(display, DefaultRootWindow(display), SubstructureRedirectMask);
  XSync(display, False);
  if (refused) {
    std::fprintf(stderr, "another window manager runs\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);  // map and configure requests go unanswered
  }
}
