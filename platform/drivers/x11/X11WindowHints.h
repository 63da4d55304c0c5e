// What the window manager learns about a top-level window: its title, icon, owner, kind,
// decorations, size limits and states (modal, above).
#pragma once

#include <windows.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "drivers/x11/X11Connection.h"

namespace x11 {

// _NET_WM_NAME/_NET_WM_ICON_NAME in UTF-8 and WM_NAME/WM_ICON_NAME in Latin-1, from a
// Windows-1252 title.
void setTitle(Connection& c, ::Window window, const std::string& title);

// The _NET_WM_ICON value of an image enlarged by a factor: width, height, then one ARGB value
// per pixel, each in a long as Xlib wants format-32 data.
std::vector<long> netWmIconData(const std::vector<uint32_t>& argb, int width, int height, int factor = 1);
// Sets _NET_WM_ICON to the images of the icons (big first; NULL, unusable and repeated ones left
// out) enlarged by the display's factor, or removes it when none is left.
void setIcon(Connection& c, ::Window window, const std::vector<HICON>& icons, int factor);

void setTransientFor(Connection& c, ::Window window, ::Window owner);

// What the window's Win32 styles say to a window manager, settled when the window is shown.
struct WindowKind {
  bool hasFrame = false;     // decorations at all
  bool title = false;        // WS_CAPTION
  bool closeBox = false;     // WS_SYSMENU
  bool minimizeBox = false;  // WS_MINIMIZEBOX
  bool maximizeBox = false;  // WS_MAXIMIZEBOX with a sizing border
  bool sizable = false;      // WS_THICKFRAME
  bool dialog = false;
  bool splash = false;
  bool modal = false;
  bool above = false;
};

// The Motif hint for a kind: which decorations and functions the manager offers
// (flags, functions, decorations, input mode, status).
std::vector<long> motifHints(const WindowKind& kind);

// What never changes for a window: WM_PROTOCOLS, WM_CLASS, WM_CLIENT_MACHINE, _NET_WM_PID and
// WM_HINTS with the program's window group (leader: a window of the program's own).
void setWindowIdentity(Connection& c, ::Window window, ::Window leader);
// The window type, the Motif hint and the initial _NET_WM_STATE of an unmapped window.
void setWindowKind(Connection& c, ::Window window, const WindowKind& kind);

// Position and size as the program chose them; a window without a sizing border gets equal
// minimum and maximum sizes. The window keeps its place: the gravity is static, so the position
// names the client area, not the window manager's frame.
void setSizeHints(Connection& c, ::Window window, const RECT& client, bool resizable);

// Asks the window manager to take back a maximise (both directions).
void unmaximize(Connection& c, ::Window window);

}  // namespace x11
