// Showing, moving, sizing and stacking windows, their frames, the coordinate conversions and the
// system metrics (the classic Windows scheme at 96 dots per inch). Non-client painting and
// erasing after a show, move or size happen at the window's next BeginPaint, not inside
// SetWindowPos; a region handed to SetWindowRgn is copied and its handle deleted at once, so the
// caller's handle is invalid afterwards as the documentation asks.
#include <windows.h>

#include <algorithm>

#include "gdi/GdiObject.h"
#include "gdi/Region.h"
#include "user/ThreadPaint.h"
#include "user/WindowSystem.h"

namespace user {
namespace {

constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

// Border widths (left, top, right, bottom) of a window with this style.
RECT frameInsets(DWORD style, DWORD exStyle) {
  int adjust = 0;
  if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE) adjust = 1;
  else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME))) adjust = 2;
  if (style & WS_THICKFRAME) adjust += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
  if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) ++adjust;
  RECT in{adjust, adjust, adjust, adjust};
  if ((style & WS_CAPTION) == WS_CAPTION)
    in.top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  if (exStyle & WS_EX_CLIENTEDGE) {
    in.left += 2;
    in.top += 2;
    in.right += 2;
    in.bottom += 2;
  }
  return in;
}

bool sameSize(const RECT& a, const RECT& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

}  // namespace

void computeNonClient(DWORD style, DWORD exStyle, RECT& rect) {
  RECT in = frameInsets(style, exStyle);
  rect.left += in.left;
  rect.top += in.top;
  rect.right -= in.right;
  rect.bottom -= in.bottom;
  if (rect.right < rect.left) rect.right = rect.left;
  if (rect.bottom < rect.top) rect.bottom = rect.top;
}

void restackDriver() {
  std::vector<HWND> order;
  for (Window* t : sys().desktop->children)
    if (t->native) order.push_back(t->handle);
  driver().restack(order);
}

void placeInZOrder(Window* w, HWND after) {
  auto& list = w->parent->children;
  list.erase(std::remove(list.begin(), list.end(), w), list.end());
  auto topOfBand = [&](bool topmost) {
    auto it = list.begin();
    if (!topmost)
      while (it != list.end() && ((*it)->exStyle & WS_EX_TOPMOST)) ++it;
    return it;
  };
  if (!w->isTopLevel()) {
    if (after == HWND_BOTTOM) list.push_back(w);
    else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) list.insert(list.begin(), w);
    else {
      auto it = std::find(list.begin(), list.end(), windowFromHandle(after));
      list.insert(it == list.end() ? list.begin() : it + 1, w);
    }
    return;
  }
  if (after == HWND_TOPMOST) {
    w->exStyle |= WS_EX_TOPMOST;
    list.insert(list.begin(), w);
  } else if (after == HWND_NOTOPMOST) {
    w->exStyle &= ~WS_EX_TOPMOST;
    list.insert(topOfBand(false), w);
  } else if (after == HWND_TOP) {
    list.insert(topOfBand((w->exStyle & WS_EX_TOPMOST) != 0), w);
  } else if (after == HWND_BOTTOM) {
    w->exStyle &= ~WS_EX_TOPMOST;
    list.push_back(w);
  } else {
    auto it = std::find(list.begin(), list.end(), windowFromHandle(after));
    if (it == list.end()) list.insert(topOfBand((w->exStyle & WS_EX_TOPMOST) != 0), w);
    else list.insert(it + 1, w);
  }
}

bool setWindowPos(Window* w, HWND after, int x, int y, int cx, int cy, UINT flags) {
  HWND h = w->handle;
  if (w->isDesktop) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  if ((flags & SWP_SHOWWINDOW) && wasVisible) flags &= ~SWP_SHOWWINDOW;
  if ((flags & SWP_HIDEWINDOW) && !wasVisible) flags &= ~SWP_HIDEWINDOW;
  if (flags & SWP_NOMOVE) {
    x = w->rect.left;
    y = w->rect.top;
  }
  if (flags & SWP_NOSIZE) {
    cx = w->rect.right - w->rect.left;
    cy = w->rect.bottom - w->rect.top;
  }
  cx = std::max(cx, 0);
  cy = std::max(cy, 0);
  if (x == w->rect.left && y == w->rect.top) flags |= SWP_NOMOVE;
  if (cx == w->rect.right - w->rect.left && cy == w->rect.bottom - w->rect.top) flags |= SWP_NOSIZE;

  WINDOWPOS wp{h, after, x, y, cx, cy, flags};
  if (!(flags & SWP_NOSENDCHANGING)) {
    sendMessage(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    if ((w = windowFromHandle(h)) == nullptr) return false;
  }
  flags = wp.flags;
  if (flags & SWP_NOMOVE) {
    wp.x = w->rect.left;
    wp.y = w->rect.top;
  }
  if (flags & SWP_NOSIZE) {
    wp.cx = w->rect.right - w->rect.left;
    wp.cy = w->rect.bottom - w->rect.top;
  }
  RECT oldRect = w->rect;
  RECT oldClient = w->client;
  RECT newRect{wp.x, wp.y, wp.x + std::max(wp.cx, 0), wp.y + std::max(wp.cy, 0)};
  RECT newClient = oldClient;
  if (!(flags & SWP_NOSIZE) || (flags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS params{};
    params.rgrc[0] = newRect;
    params.rgrc[1] = oldRect;
    params.rgrc[2] = oldClient;
    params.lppos = &wp;
    sendMessage(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    if ((w = windowFromHandle(h)) == nullptr) return false;
    newClient = params.rgrc[0];
  } else {
    int dx = newRect.left - oldRect.left, dy = newRect.top - oldRect.top;
    newClient = RECT{oldClient.left + dx, oldClient.top + dy, oldClient.right + dx, oldClient.bottom + dy};
  }

  // Whatever the window covered in its parent must be painted again if it moves or hides.
  bool zChange = !(flags & SWP_NOZORDER);
  bool geometryChange = !(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE) || (flags & SWP_FRAMECHANGED);
  bool redraw = !(flags & SWP_NOREDRAW);
  if (redraw && !w->isTopLevel() && wasVisible && isVisibleTree(w->parent) &&
      (geometryChange || (flags & SWP_HIDEWINDOW))) {
    // oldRect is in the parent's client coordinates, which is what invalidate takes.
    gdi::RegionBands old = gdi::RegionBands::fromRect(oldRect);
    invalidate(w->parent, &old, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if ((w = windowFromHandle(h)) == nullptr) return false;
  }

  w->rect = newRect;
  w->client = newClient;
  if (zChange) placeInZOrder(w, wp.hwndInsertAfter);
  if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
  if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;

  bool resized = !sameSize(oldRect, newRect);
  if (w->isTopLevel() && w->native) {
    if (resized) resizeSurface(w);
    if (resized || !(flags & SWP_NOMOVE)) driver().moveWindow(h, w->rect, w->client);
    if (zChange) restackDriver();
    if (flags & SWP_SHOWWINDOW) driver().showWindow(h, true);
    if (flags & SWP_HIDEWINDOW) driver().showWindow(h, false);
  }
  Window* top = topLevelOf(w);
  if (top != nullptr) refreshHeldDCs(top);
  if (top != nullptr) refreshThreadViews(top);

  if (redraw && (w->style & WS_VISIBLE)) {
    bool whole = (flags & SWP_SHOWWINDOW) || (flags & SWP_FRAMECHANGED) ||
                 (!w->isTopLevel() && (geometryChange || zChange));
    if (!whole && resized) {
      UINT cs = w->cls ? w->cls->style : 0;
      bool wider = (newRect.right - newRect.left) != (oldRect.right - oldRect.left);
      bool taller = (newRect.bottom - newRect.top) != (oldRect.bottom - oldRect.top);
      whole = (wider && (cs & CS_HREDRAW)) || (taller && (cs & CS_VREDRAW));
      if (!whole) {
        // Only what was not there before, and the frame, whose edges moved.
        RECT nc = newClient, oc = oldClient;
        gdi::RegionBands fresh = gdi::RegionBands::fromRect(
            RECT{0, 0, nc.right - nc.left, nc.bottom - nc.top});
        fresh = gdi::RegionBands::combine(
            fresh, gdi::RegionBands::fromRect(RECT{0, 0, oc.right - oc.left, oc.bottom - oc.top}),
            RGN_DIFF);
        invalidate(w, &fresh, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        if ((w = windowFromHandle(h)) == nullptr) return false;
        if (hasFrame(w)) {
          w->frameNeeded = true;
          RECT wr{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
          gdi::RegionBands frame = gdi::RegionBands::combine(
              gdi::RegionBands::fromRect(wr),
              gdi::RegionBands::fromRect(RECT{nc.left - w->rect.left, nc.top - w->rect.top,
                                              nc.right - w->rect.left, nc.bottom - w->rect.top}),
              RGN_DIFF);
          w->update = gdi::RegionBands::combine(w->update, frame, RGN_OR);
        }
      }
    }
    if (whole) {
      invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      if ((w = windowFromHandle(h)) == nullptr) return false;
    }
  }

  if (w->isTopLevel()) {
    if ((flags & SWP_HIDEWINDOW) && sys().active == h) {
      activateNext(w);
      if ((w = windowFromHandle(h)) == nullptr) return false;
    } else if (!(flags & SWP_NOACTIVATE) && (w->style & WS_VISIBLE) && !w->destroying) {
      activateWindow(w, WA_ACTIVE);
      if ((w = windowFromHandle(h)) == nullptr) return false;
    }
  }

  if (sameSize(oldClient, newClient)) wp.flags |= kNoClientSize;
  if (newClient.left == oldClient.left && newClient.top == oldClient.top) wp.flags |= kNoClientMove;
  wp.flags = (wp.flags & ~(SWP_NOMOVE | SWP_NOSIZE)) | (flags & (SWP_NOMOVE | SWP_NOSIZE));
  wp.x = w->rect.left;
  wp.y = w->rect.top;
  wp.cx = w->rect.right - w->rect.left;
  wp.cy = w->rect.bottom - w->rect.top;
  sendMessage(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  return true;
}

}  // namespace user

using namespace user;

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  if (!(uFlags & SWP_NOZORDER) && hWndInsertAfter != HWND_TOP && hWndInsertAfter != HWND_BOTTOM &&
      hWndInsertAfter != HWND_TOPMOST && hWndInsertAfter != HWND_NOTOPMOST) {
    Window* a = checkWindow(hWndInsertAfter);
    if (a == nullptr) return FALSE;
    if (a == w) uFlags |= SWP_NOZORDER;
  }
  return setWindowPos(w, hWndInsertAfter, X, Y, cx, cy, uFlags) ? TRUE : FALSE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  return setWindowPos(w, nullptr, X, Y, nWidth, nHeight,
                      SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI BringWindowToTop(HWND hWnd) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  return setWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  bool wasVisible = (w->style & WS_VISIBLE) != 0;
  bool show = nCmdShow != SW_HIDE;
  UINT flags = SWP_NOSIZE | SWP_NOMOVE;
  switch (nCmdShow) {
    case SW_HIDE: flags |= SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE; break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
    case SW_SHOWMINNOACTIVE: flags |= SWP_SHOWWINDOW | SWP_NOZORDER | SWP_NOACTIVATE; break;
    default: flags |= SWP_SHOWWINDOW; break;
  }
  if (!w->isTopLevel()) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  if (show != wasVisible) {
    sendMessage(w, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if ((w = windowFromHandle(hWnd)) == nullptr) return wasVisible;
  }
  if (!show && !wasVisible) return FALSE;
  setWindowPos(w, HWND_TOP, 0, 0, 0, 0, flags);
  if ((w = windowFromHandle(hWnd)) == nullptr) return wasVisible;
  if (show && w->sizeMovePending) {
    w->sizeMovePending = false;
    RECT c = w->client;
    sendMessage(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right - c.left, c.bottom - c.top));
    if ((w = windowFromHandle(hWnd)) == nullptr) return wasVisible;
    sendMessage(w, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
  }
  return wasVisible;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  if (lpRect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpRect = windowRectScreen(w);
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  if (lpRect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpRect = RECT{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
  if (lpRect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT in = frameInsets(dwStyle, dwExStyle);
  lpRect->left -= in.left;
  lpRect->top -= in.top + (bMenu ? GetSystemMetrics(SM_CYMENU) : 0);
  lpRect->right += in.right;
  lpRect->bottom += in.bottom;
  return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
  return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr || lpPoint == nullptr) return FALSE;
  POINT o = w->isDesktop ? POINT{0, 0} : clientOriginScreen(w);
  lpPoint->x += o.x;
  lpPoint->y += o.y;
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr || lpPoint == nullptr) return FALSE;
  POINT o = w->isDesktop ? POINT{0, 0} : clientOriginScreen(w);
  lpPoint->x -= o.x;
  lpPoint->y -= o.y;
  return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  POINT from{0, 0}, to{0, 0};
  if (hWndFrom != nullptr) {
    Window* w = checkWindow(hWndFrom);
    if (w == nullptr) return 0;
    if (!w->isDesktop) from = clientOriginScreen(w);
  }
  if (hWndTo != nullptr) {
    Window* w = checkWindow(hWndTo);
    if (w == nullptr) return 0;
    if (!w->isDesktop) to = clientOriginScreen(w);
  }
  int dx = from.x - to.x, dy = from.y - to.y;
  for (UINT i = 0; lpPoints != nullptr && i < cPoints; ++i) {
    lpPoints[i].x += dx;
    lpPoints[i].y += dy;
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(static_cast<SHORT>(dx)), static_cast<WORD>(static_cast<SHORT>(dy)));
}

int WINAPI GetSystemMetrics(int nIndex) {
  SIZE screen = driver().screenSize();
  switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
    case SM_CXVIRTUALSCREEN: return screen.cx;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return screen.cy;
    case SM_CYFULLSCREEN: return screen.cy - 19;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL: return 16;
    case SM_CYCAPTION:
    case SM_CYMENU: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_MOUSEPRESENT: return 1;
    case SM_SWAPBUTTON: return 0;
    case SM_CXMIN:
    case SM_CXMINTRACK: return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return 75;
    case SM_CXMAXTRACK: return screen.cx + 12;
    case SM_CYMAXTRACK: return screen.cy + 12;
    case SM_CXMAXIMIZED: return screen.cx + 8;
    case SM_CYMAXIMIZED: return screen.cy + 8;
    case SM_CMONITORS: return 1;
    default: return 0;
  }
}

UINT WINAPI GetDoubleClickTime(void) { return 500; }

int WINAPI SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return 0;
  std::optional<gdi::RegionBands> shape;
  if (hRgn != nullptr) {
    auto* r = gdi::objectAs<gdi::RegionObject>(hRgn, gdi::ObjectKind::Region);
    if (r == nullptr) return 0;
    shape = r->bands;
    gdi::removeObject(hRgn);  // the window owns the region from now on
  }
  bool visible = isVisibleTree(w);
  if (visible && bRedraw && !w->isTopLevel()) {
    gdi::RegionBands old = gdi::RegionBands::fromRect(w->rect);
    invalidate(w->parent, &old, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    if ((w = windowFromHandle(hWnd)) == nullptr) return 0;
  }
  w->region = std::move(shape);
  if (w->isTopLevel() && w->native) {
    if (w->region) {
      gdi::RegionBands clipped = windowShape(w, 0, 0);
      driver().setWindowShape(hWnd, &clipped.rects());
    } else {
      driver().setWindowShape(hWnd, nullptr);
    }
  }
  if (Window* top = topLevelOf(w)) refreshHeldDCs(top);
  if (visible && bRedraw) invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return 1;
}

int WINAPI GetWindowRgn(HWND hWnd, HRGN hRgn) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return ERROR;
  auto* r = gdi::objectAs<gdi::RegionObject>(hRgn, gdi::ObjectKind::Region);
  if (r == nullptr || !w->region) return ERROR;
  r->bands = *w->region;
  return r->bands.type();
}

int WINAPI GetWindowRgnBox(HWND hWnd, LPRECT lprc) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr || lprc == nullptr || !w->region) return ERROR;
  *lprc = w->region->box();
  return w->region->type();
}
