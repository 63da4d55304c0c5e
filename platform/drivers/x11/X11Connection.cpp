// The X connection. An X error outside an ErrorTrap is written to standard error once per error
// code and request and otherwise ignored, since a window that vanished under a request is no
// reason to end the program; losing the connection itself ends it with status 1.
#include "drivers/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "kernel/Diagnostics.h"

namespace x11 {

namespace {

// Xlib calls the handler on the thread that made the failing request: each thread traps its own.
thread_local int trapDepth = 0;
thread_local int trappedError = 0;

int onError(Display* display, XErrorEvent* event) {
  if (trapDepth > 0) {
    if (trappedError == 0) trappedError = event->error_code;
    return 0;
  }
  static std::set<std::pair<int, int>> reported;
  if (reported.insert({event->error_code, event->request_code}).second) {
    char text[160] = {}, line[256] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::snprintf(line, sizeof line, "X error: %s (request %d.%d, resource 0x%lx)", text,
                  event->request_code, event->minor_code, event->resourceid);
    kernel::tellUser(line);
  }
  return 0;
}

int onIoError(Display* display) {
  char line[256] = {};
  std::snprintf(line, sizeof line, "lost the connection to display %s", DisplayString(display));
  kernel::tellUser(line);
  std::_Exit(1);
}

}  // namespace

Connection* Connection::open(const char* name, std::string& error) {
  // The animation's player paints on a second connection from its own thread; Xlib's shared
  // state must be guarded before the first connection opens (libX11 1.8 does this by itself).
  XInitThreads();
  const char* tried = XDisplayName(name);
  Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    error = std::string("cannot open display ") + (tried != nullptr ? tried : "");
    return nullptr;
  }
  XSetErrorHandler(onError);
  XSetIOErrorHandler(onIoError);

  auto* c = new Connection;
  c->display_ = display;
  c->name_ = DisplayString(display);
  c->screen_ = DefaultScreen(display);
  c->root_ = RootWindow(display, c->screen_);
  c->visual_ = c->rootVisual_ = DefaultVisual(display, c->screen_);
  c->depth_ = DefaultDepth(display, c->screen_);
  c->colormap_ = DefaultColormap(display, c->screen_);

  const char* names[] = {
      "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TRANSIENT_FOR", "WM_STATE",
      "_NET_WM_NAME", "_NET_WM_ICON_NAME", "_NET_WM_ICON", "_NET_WM_PID", "_NET_WM_PING",
      "_NET_WM_STATE", "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_MODAL",
      "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ",
      "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_DIALOG",
      "_NET_WM_WINDOW_TYPE_SPLASH",
      "_NET_ACTIVE_WINDOW", "_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK",
      "_MOTIF_WM_HINTS",
      "UTF8_STRING", "STRING", "TEXT", "TARGETS", "TIMESTAMP", "MULTIPLE", "INCR", "CLIPBOARD",
      "CLIPBOARD_MANAGER", "SAVE_TARGETS",
      "CORVANE_SELECTION", "CORVANE_TIME",
  };
  constexpr int count = sizeof names / sizeof names[0];
  static_assert(count * sizeof(Atom) == sizeof(Atoms), "one name per atom");
  Atom values[count];
  XInternAtoms(display, const_cast<char**>(names), count, False, values);
  Atom* slots = reinterpret_cast<Atom*>(&c->atoms_);
  for (int i = 0; i < count; ++i) slots[i] = values[i];
  if (!c->chooseVisual(error)) {
    delete c;
    return nullptr;
  }
  return c;
}

Connection::~Connection() {
  if (display_ == nullptr) return;
  if (ownColormap_) XFreeColormap(display_, colormap_);
  XCloseDisplay(display_);
}

bool Connection::chooseVisual(std::string& error) {
  if (PixelFormat::forVisual(display_, visual_, depth_, colormap_, format_)) return true;
  // Candidates in order: the default visual in a colormap of its own (when other programs have
  // taken the shared one's colours), then the screen's true-colour visuals, deepest first.
  std::vector<XVisualInfo> candidates;
  XVisualInfo info{};
  if (visual_->c_class == PseudoColor || visual_->c_class == GrayScale) {
    info.visual = visual_;
    info.depth = depth_;
    candidates.push_back(info);
  }
  for (int depth : {24, 32, 16, 15, 8}) {
    if (XMatchVisualInfo(display_, screen_, depth, TrueColor, &info) != 0) candidates.push_back(info);
  }
  for (const XVisualInfo& candidate : candidates) {
    const Colormap colormap = XCreateColormap(display_, root_, candidate.visual, AllocNone);
    if (PixelFormat::forVisual(display_, candidate.visual, candidate.depth, colormap, format_)) {
      rootFormat_ = PixelFormat::of(display_, rootVisual_, depth_);
      visual_ = candidate.visual;
      depth_ = candidate.depth;
      colormap_ = colormap;
      ownColormap_ = true;
      return true;
    }
    XFreeColormap(display_, colormap);
  }
  static const char* const kinds[] = {"StaticGray", "GrayScale",  "StaticColor",
                                      "PseudoColor", "TrueColor", "DirectColor"};
  const int kind = visual_->c_class;
  error = "cannot use the X visual of display " + name_ + ": " +
          (kind >= 0 && kind < 6 ? kinds[kind] : "unknown") + ", depth " + std::to_string(depth_) +
          " (the driver draws on TrueColor, PseudoColor, StaticColor, GrayScale and StaticGray)";
  return false;
}

bool Connection::wmSupports(Atom hint) {
  // The window manager proves it runs by a check window that names itself.
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ::Window check = None;
  if (XGetWindowProperty(display_, root_, atoms_.netSupportingWmCheck, 0, 1, False, XA_WINDOW,
                         &type, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    if (type == XA_WINDOW && format == 32 && count == 1) check = *reinterpret_cast<::Window*>(data);
    XFree(data);
  }
  if (check == None) return false;
  bool found = false;
  data = nullptr;
  if (XGetWindowProperty(display_, root_, atoms_.netSupported, 0, 4096, False, XA_ATOM, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr) {
    const Atom* supported = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) found = supported[i] == hint;
    XFree(data);
  }
  return found;
}

ErrorTrap::ErrorTrap(Display* display) : display_(display), saved_(trappedError) {
  XSync(display_, False);
  ++trapDepth;
  trappedError = 0;
}

ErrorTrap::~ErrorTrap() {
  XSync(display_, False);
  --trapDepth;
  trappedError = saved_;
}

int ErrorTrap::sync() {
  XSync(display_, False);
  return trappedError;
}

}  // namespace x11
