// Another program's window for the scripts: plain Xlib, no Corvane code. It covers the given
// rectangle with 64-pixel tiles of distinct colours, or with one colour when a colour is given,
// says "mapped" once its picture is on the screen, and stays until it is killed.
//
// Usage: e2e_x11_tiles X Y WIDTH HEIGHT [0xRRGGBB]
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

unsigned long tileColour(int column, int row) {
  unsigned long h = static_cast<unsigned long>(column * 131 + row * 7919 + 1) * 2654435761ul;
  h ^= h >> 13;
  h *= 0x5bd1e995ul;
  h ^= h >> 15;
  return h & 0xFFFFFFul;
}

void draw(Display* display, Window window, GC gc, int width, int height, long solid) {
  for (int y = 0; y < height; y += 64)
    for (int x = 0; x < width; x += 64) {
      XSetForeground(display, gc, solid >= 0 ? static_cast<unsigned long>(solid) : tileColour(x / 64, y / 64));
      XFillRectangle(display, window, gc, x, y, 64, 64);
    }
  XSync(display, False);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: e2e_x11_tiles X Y WIDTH HEIGHT [0xRRGGBB]\n");
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open display\n");
    return 1;
  }
  const int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
  const int width = std::atoi(argv[3]), height = std::atoi(argv[4]);
  const long solid = argc == 6 ? std::strtol(argv[5], nullptr, 0) : -1;
  XSetWindowAttributes attributes{};
  attributes.event_mask = ExposureMask | StructureNotifyMask;
  const Window window = XCreateWindow(display, DefaultRootWindow(display), x, y,
                                      static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                      CopyFromParent, InputOutput, CopyFromParent, CWEventMask,
                                      &attributes);
  XStoreName(display, window, "tiles");
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = x;
  hints.y = y;
  hints.width = width;
  hints.height = height;
  XSetWMNormalHints(display, window, &hints);
  GC gc = XCreateGC(display, window, 0, nullptr);
  XMapWindow(display, window);
  bool announced = false;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != Expose || event.xexpose.count != 0) continue;
    draw(display, window, gc, width, height, solid);
    if (!announced) {
      announced = true;
      std::printf("mapped 0x%lx\n", window);
      std::fflush(stdout);
    }
  }
}
