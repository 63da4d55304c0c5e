// What the window manager learns about a top-level window: its title, icon, owner, kind,
// decorations, size limits and full-screen state.
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

// The _NET_WM_ICON value of an image: width, height, then one ARGB value per pixel, each in a
// long as Xlib wants format-32 data.
std::vector<long> netWmIconData(const std::vector<uint32_t>& argb, int width, int height);
// Sets or (icon NULL or unusable) removes _NET_WM_ICON.
void setIcon(Connection& c, ::Window window, HICON icon);

void setTransientFor(Connection& c, ::Window window, ::Window owner);

// WM_PROTOCOLS, WM_CLASS, _NET_WM_PID, the window type and, for windows without a frame, the
// Motif hint that asks for no decorations.
void setWindowKind(Connection& c, ::Window window, bool hasFrame, bool owned, bool topmost);

// Position and size as the program chose them; a window without a sizing border gets equal
// minimum and maximum sizes. The window keeps its place: the gravity is static, so the position
// names the client area, not the window manager's frame.
void setSizeHints(Connection& c, ::Window window, const RECT& client, bool resizable);

// Full screen and above all others. Before mapping (or with no window manager) this is the
// _NET_WM_STATE property; once mapped it is a request to the window manager.
void setFullscreen(Connection& c, ::Window window, bool on, bool mapped, bool topmost);

}  // namespace x11
