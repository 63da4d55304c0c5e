// A clipboard manager for the scripts: plain Xlib, no Corvane code. It owns CLIPBOARD_MANAGER and
// answers SAVE_TARGETS by reading the CLIPBOARD owner's text (UTF8_STRING); once that owner is
// gone it owns CLIPBOARD itself and serves the text kept (UTF8_STRING, STRING, TARGETS). It says
// "ready", then "saved N bytes" for each text it keeps, and stays until it is killed. With --deaf
// it owns CLIPBOARD_MANAGER but never answers, as a hung manager would.
//
// Usage: e2e_clipboard_manager [--deaf]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

Display* display;
Window window;
Atom manager, saveTargets, clipboard, utf8, targets, kept;

Time serverTime() {
  XChangeProperty(display, window, kept, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent event;
  XWindowEvent(display, window, PropertyChangeMask, &event);
  return event.xproperty.time;
}

void reply(const XSelectionRequestEvent& request, Atom property) {
  XEvent event{};
  event.xselection.type = SelectionNotify;
  event.xselection.requestor = request.requestor;
  event.xselection.selection = request.selection;
  event.xselection.target = request.target;
  event.xselection.property = property;
  event.xselection.time = request.time;
  XSendEvent(display, request.requestor, False, NoEventMask, &event);
  XFlush(display);
}

// The CLIPBOARD owner's text, asked for while its own request for SAVE_TARGETS waits.
bool readClipboard(std::string& text, Time time) {
  XConvertSelection(display, clipboard, utf8, kept, window, time);
  XFlush(display);
  for (int waited = 0; waited < 3000; waited += 10) {
    XEvent event;
    if (XCheckTypedWindowEvent(display, window, SelectionNotify, &event)) {
      if (event.xselection.property == None) return false;
      Atom type;
      int format;
      unsigned long count, after;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, window, kept, 0, 1 << 20, True, AnyPropertyType, &type,
                             &format, &count, &after, &data) != Success || data == nullptr) {
        return false;
      }
      text.assign(reinterpret_cast<char*>(data), count);
      XFree(data);
      return true;
    }
    poll(nullptr, 0, 10);
  }
  return false;
}

void serveClipboard(const XSelectionRequestEvent& request, const std::string& text) {
  const Atom property = request.property != None ? request.property : request.target;
  if (request.target == targets) {
    const Atom offered[] = {targets, utf8, XA_STRING};
    XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(offered), 3);
  } else if (request.target == utf8 || request.target == XA_STRING) {
    XChangeProperty(display, request.requestor, property, request.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  } else {
    reply(request, None);
    return;
  }
  reply(request, property);
}

}  // namespace

int main(int argc, char** argv) {
  const bool deaf = argc > 1 && std::strcmp(argv[1], "--deaf") == 0;
  display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  manager = XInternAtom(display, "CLIPBOARD_MANAGER", False);
  saveTargets = XInternAtom(display, "SAVE_TARGETS", False);
  clipboard = XInternAtom(display, "CLIPBOARD", False);
  utf8 = XInternAtom(display, "UTF8_STRING", False);
  targets = XInternAtom(display, "TARGETS", False);
  kept = XInternAtom(display, "E2E_KEPT", False);
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  window = XCreateWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, CopyFromParent,
                         InputOnly, CopyFromParent, CWEventMask, &attributes);
  XSetSelectionOwner(display, manager, window, serverTime());
  if (XGetSelectionOwner(display, manager) != window) return 1;
  std::printf("ready\n");
  std::fflush(stdout);

  std::string text;
  bool waitingForOwnerToGo = false;
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != SelectionRequest || deaf) continue;
      const XSelectionRequestEvent& request = event.xselectionrequest;
      if (request.selection == clipboard) {
        serveClipboard(request, text);
      } else if (request.selection == manager && request.target == saveTargets &&
                 readClipboard(text, request.time)) {
        std::printf("saved %zu bytes\n", text.size());
        std::fflush(stdout);
        waitingForOwnerToGo = true;
        reply(request, request.property);
      } else {
        reply(request, None);
      }
    }
    if (waitingForOwnerToGo && XGetSelectionOwner(display, clipboard) == None) {
      XSetSelectionOwner(display, clipboard, window, serverTime());
      waitingForOwnerToGo = false;
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, 50);
  }
}
