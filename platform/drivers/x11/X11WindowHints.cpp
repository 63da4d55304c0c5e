// Window-manager hints. A window without a frame asks for no decorations through _MOTIF_WM_HINTS,
// the only hint for that which window managers share.
#include "drivers/x11/X11WindowHints.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "drivers/x11/Windows1252.h"
#include "gdi/Icon.h"

namespace x11 {

void setTitle(Connection& c, ::Window window, const std::string& title) {
  Display* d = c.display();
  const std::string utf8 = utf8From1252(title);
  for (Atom property : {c.atoms().netWmName, c.atoms().netWmIconName}) {
    XChangeProperty(d, window, property, c.atoms().utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
  }
  const std::string latin1 = latin1From1252(title);
  for (Atom property : {Atom{XA_WM_NAME}, Atom{XA_WM_ICON_NAME}}) {
    XChangeProperty(d, window, property, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(latin1.data()),
                    static_cast<int>(latin1.size()));
  }
}

std::vector<long> netWmIconData(const std::vector<uint32_t>& argb, int width, int height) {
  std::vector<long> data;
  data.reserve(2 + argb.size());
  data.push_back(width);
  data.push_back(height);
  for (uint32_t p : argb) data.push_back(static_cast<long>(p));
  return data;
}

void setIcon(Connection& c, ::Window window, HICON icon) {
  const gdi::IconObject* object = icon != nullptr ? gdi::iconFromHandle(icon) : nullptr;
  if (object == nullptr || object->width <= 0 || object->height <= 0) {
    XDeleteProperty(c.display(), window, c.atoms().netWmIcon);
    return;
  }
  const std::vector<long> data =
      netWmIconData(gdi::iconToArgb(*object), object->width, object->height);
  XChangeProperty(c.display(), window, c.atoms().netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

void setTransientFor(Connection& c, ::Window window, ::Window owner) {
  if (owner != None) {
    XSetTransientForHint(c.display(), window, owner);
  } else {
    XDeleteProperty(c.display(), window, XA_WM_TRANSIENT_FOR);
  }
}

void setWindowKind(Connection& c, ::Window window, bool hasFrame, bool owned, bool topmost) {
  Display* d = c.display();
  const Atoms& a = c.atoms();
  Atom protocols[] = {a.wmDeleteWindow, a.netWmPing};
  XSetWMProtocols(d, window, protocols, 2);

  char name[64] = "corvane";
  if (FILE* comm = std::fopen("/proc/self/comm", "r")) {
    if (std::fgets(name, sizeof name, comm) != nullptr) name[std::strcspn(name, "\n")] = '\0';
    std::fclose(comm);
  }
  char className[] = "Corvane";
  XClassHint classHint{name, className};
  XSetClassHint(d, window, &classHint);

  const long pid = static_cast<long>(getpid());
  XChangeProperty(d, window, a.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);

  const Atom type = owned && hasFrame ? a.netWmWindowTypeDialog : a.netWmWindowTypeNormal;
  XChangeProperty(d, window, a.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&type), 1);

  if (!hasFrame) {
    // flags (decorations given), functions, decorations (none), input mode, status.
    const long motif[5] = {2, 0, 0, 0, 0};
    XChangeProperty(d, window, a.motifWmHints, a.motifWmHints, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), 5);
  }
  if (topmost) {
    XChangeProperty(d, window, a.netWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&a.netWmStateAbove), 1);
  }

  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  hints.input = True;
  hints.initial_state = NormalState;
  XSetWMHints(d, window, &hints);
}

void setSizeHints(Connection& c, ::Window window, const RECT& client, bool resizable) {
  XSizeHints hints{};
  hints.flags = USPosition | PPosition | USSize | PSize | PWinGravity;
  hints.x = client.left;
  hints.y = client.top;
  hints.width = std::max<LONG>(1, client.right - client.left);
  hints.height = std::max<LONG>(1, client.bottom - client.top);
  hints.win_gravity = StaticGravity;
  if (!resizable) {
    hints.flags |= PMinSize | PMaxSize;
    hints.min_width = hints.max_width = hints.width;
    hints.min_height = hints.max_height = hints.height;
  }
  XSetWMNormalHints(c.display(), window, &hints);
}

void setFullscreen(Connection& c, ::Window window, bool on, bool mapped, bool topmost) {
  Display* d = c.display();
  const Atoms& a = c.atoms();
  // Without a window manager nobody answers the request, so the property is ours to set.
  if (!mapped || !c.wmSupports(a.netWmState)) {
    Atom states[2];
    int count = 0;
    if (on) states[count++] = a.netWmStateFullscreen;
    if (on || topmost) states[count++] = a.netWmStateAbove;
    if (count == 0) {
      XDeleteProperty(d, window, a.netWmState);
    } else {
      XChangeProperty(d, window, a.netWmState, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(states), count);
    }
    return;
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = a.netWmState;
  event.xclient.format = 32;
  event.xclient.data.l[0] = on ? 1 : 0;  // add or remove
  event.xclient.data.l[1] = static_cast<long>(a.netWmStateFullscreen);
  event.xclient.data.l[2] = topmost ? 0 : static_cast<long>(a.netWmStateAbove);
  event.xclient.data.l[3] = 1;  // a normal application
  XSendEvent(d, c.root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace x11
