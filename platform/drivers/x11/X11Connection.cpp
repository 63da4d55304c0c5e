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

namespace x11 {

namespace {

// The single UI thread is the only user of these.
int trapDepth = 0;
int trappedError = 0;

int onError(Display* display, XErrorEvent* event) {
  if (trapDepth > 0) {
    if (trappedError == 0) trappedError = event->error_code;
    return 0;
  }
  static std::set<std::pair<int, int>> reported;
  if (reported.insert({event->error_code, event->request_code}).second) {
    char text[160] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d.%d, resource 0x%lx)\n", text,
                 event->request_code, event->minor_code, event->resourceid);
  }
  return 0;
}

int onIoError(Display* display) {
  std::fprintf(stderr, "lost the connection to display %s\n", DisplayString(display));
  std::_Exit(1);
}

}  // namespace

Connection* Connection::open(const char* name, std::string& displayName) {
  const char* tried = XDisplayName(name);
  displayName = tried != nullptr ? tried : "";
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return nullptr;
  XSetErrorHandler(onError);
  XSetIOErrorHandler(onIoError);

  auto* c = new Connection;
  c->display_ = display;
  c->name_ = DisplayString(display);
  c->screen_ = DefaultScreen(display);
  c->root_ = RootWindow(display, c->screen_);
  c->visual_ = DefaultVisual(display, c->screen_);
  c->depth_ = DefaultDepth(display, c->screen_);
  c->colormap_ = DefaultColormap(display, c->screen_);

  const char* names[] = {
      "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TRANSIENT_FOR", "WM_STATE",
      "_NET_WM_NAME", "_NET_WM_ICON_NAME", "_NET_WM_ICON", "_NET_WM_PID", "_NET_WM_PING",
      "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN", "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_MODAL",
      "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_DIALOG",
      "_NET_ACTIVE_WINDOW", "_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK",
      "_MOTIF_WM_HINTS",
      "UTF8_STRING", "STRING", "TEXT", "TARGETS", "TIMESTAMP", "MULTIPLE", "INCR", "CLIPBOARD",
      "CORVANE_SELECTION", "CORVANE_TIME",
  };
  constexpr int count = sizeof names / sizeof names[0];
  static_assert(count * sizeof(Atom) == sizeof(Atoms), "one name per atom");
  Atom values[count];
  XInternAtoms(display, const_cast<char**>(names), count, False, values);
  Atom* slots = reinterpret_cast<Atom*>(&c->atoms_);
  for (int i = 0; i < count; ++i) slots[i] = values[i];
  return c;
}

Connection::~Connection() {
  if (display_ != nullptr) XCloseDisplay(display_);
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
