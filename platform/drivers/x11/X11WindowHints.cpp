// Window-manager hints. Decorations and the functions a manager offers (move, close, minimise,
// maximise, resize) go through _MOTIF_WM_HINTS, the only hint for them that managers share; a
// window without a frame asks for no decorations at all.
#include "drivers/x11/X11WindowHints.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "drivers/x11/Windows1252.h"
#include "drivers/x11/X11Scale.h"
#include "gdi/Icon.h"
#include "kernel/OutOfMemory.h"

namespace x11 {

namespace {

void setWindowType(Connection& c, ::Window window, const WindowKind& kind) {
  const Atoms& a = c.atoms();
  const Atom type = kind.splash   ? a.netWmWindowTypeSplash
                    : kind.dialog ? a.netWmWindowTypeDialog
                                  : a.netWmWindowTypeNormal;
  XChangeProperty(c.display(), window, a.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&type), 1);
}

}  // namespace


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

std::vector<long> netWmIconData(const std::vector<uint32_t>& argb, int width, int height, int factor) {
  const std::vector<uint32_t> image = enlargeImage(argb, width, height, factor);
  std::vector<long> data;
  data.reserve(2 + image.size());
  data.push_back(width * factor);
  data.push_back(height * factor);
  for (uint32_t p : image) data.push_back(static_cast<long>(p));
  return data;
}

namespace {

void replaceIcon(Connection& c, ::Window window, const std::vector<HICON>& icons, int factor) {
  std::vector<long> data;
  std::vector<const gdi::IconObject*> used;
  for (HICON icon : icons) {
    const gdi::IconObject* object = icon != nullptr ? gdi::iconFromHandle(icon) : nullptr;
    if (object == nullptr || object->width <= 0 || object->height <= 0) continue;
    if (std::find(used.begin(), used.end(), object) != used.end()) continue;
    used.push_back(object);
    const std::vector<long> image =
        netWmIconData(gdi::iconToArgb(*object), object->width, object->height, factor);
    data.insert(data.end(), image.begin(), image.end());
  }
  if (data.empty()) {
    XDeleteProperty(c.display(), window, c.atoms().netWmIcon);
    return;
  }
  XChangeProperty(c.display(), window, c.atoms().netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

}  // namespace

// An icon that cannot be built for want of memory leaves the one the window had: it is decoration.
void setIcon(Connection& c, ::Window window, const std::vector<HICON>& icons, int factor) {
  kernel::failingOnOutOfMemory(false, [&] {
    replaceIcon(c, window, icons, factor);
    return true;
  });
}

void setTransientFor(Connection& c, ::Window window, ::Window owner) {
  if (owner != None) {
    XSetTransientForHint(c.display(), window, owner);
  } else {
    XDeleteProperty(c.display(), window, XA_WM_TRANSIENT_FOR);
  }
}

std::vector<long> motifHints(const WindowKind& kind) {
  constexpr long kFunctions = 1, kDecorations = 2;
  constexpr long kResize = 2, kMove = 4, kMinimize = 8, kMaximize = 16, kClose = 32;
  constexpr long kBorder = 2, kResizeHandle = 4, kTitle = 8, kMenu = 16, kMinimizeButton = 32,
                 kMaximizeButton = 64;
  if (!kind.hasFrame) return {kDecorations, 0, 0, 0, 0};
  const long functions = kMove | (kind.closeBox ? kClose : 0) | (kind.minimizeBox ? kMinimize : 0) |
                         (kind.maximizeBox ? kMaximize : 0) | (kind.sizable ? kResize : 0);
  const long decorations = kBorder | (kind.title ? kTitle : 0) | (kind.closeBox ? kMenu : 0) |
                           (kind.minimizeBox ? kMinimizeButton : 0) |
                           (kind.maximizeBox ? kMaximizeButton : 0) |
                           (kind.sizable ? kResizeHandle : 0);
  return {kFunctions | kDecorations, functions, decorations, 0, 0};
}

void setWindowIdentity(Connection& c, ::Window window, ::Window leader) {
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

  // The manager may only ping and kill a process by its id when it knows the machine it runs on.
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0 && host[0] != '\0') {
    XTextProperty machine{};
    char* list[] = {host};
    if (XStringListToTextProperty(list, 1, &machine) != 0) {
      XSetWMClientMachine(d, window, &machine);
      XFree(machine.value);
    }
  }
  const long pid = static_cast<long>(getpid());
  XChangeProperty(d, window, a.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);

  XWMHints hints{};
  hints.flags = InputHint | StateHint | (leader != None ? WindowGroupHint : 0);
  hints.input = True;
  hints.initial_state = NormalState;
  hints.window_group = leader;
  XSetWMHints(d, window, &hints);
}

void setWindowKind(Connection& c, ::Window window, const WindowKind& kind) {
  Display* d = c.display();
  const Atoms& a = c.atoms();
  setWindowType(c, window, kind);

  const std::vector<long> motif = motifHints(kind);
  XChangeProperty(d, window, a.motifWmHints, a.motifWmHints, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(motif.data()), static_cast<int>(motif.size()));

  std::vector<Atom> states;
  if (kind.modal) states.push_back(a.netWmStateModal);
  if (kind.above) states.push_back(a.netWmStateAbove);
  if (states.empty()) {
    XDeleteProperty(d, window, a.netWmState);
  } else {
    XChangeProperty(d, window, a.netWmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states.data()), static_cast<int>(states.size()));
  }
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

void unmaximize(Connection& c, ::Window window) {
  const Atoms& a = c.atoms();
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = a.netWmState;
  event.xclient.format = 32;
  event.xclient.data.l[0] = 0;  // remove
  event.xclient.data.l[1] = static_cast<long>(a.netWmStateMaximizedVert);
  event.xclient.data.l[2] = static_cast<long>(a.netWmStateMaximizedHorz);
  event.xclient.data.l[3] = 1;  // a normal application
  XSendEvent(c.display(), c.root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace x11
