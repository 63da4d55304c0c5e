// Update regions, WM_PAINT, and the device contexts of windows. A parent is clipped around its
// children only with WS_CLIPCHILDREN (or DCX_CLIPCHILDREN), and a child around its siblings only
// with WS_CLIPSIBLINGS (or DCX_CLIPSIBLINGS), as on Windows; every DC clips to its ancestors'
// client areas and to every window region on the way. Drawing lands in the top-level window's
// surface and is shown through the driver when a DC is released, a paint ends, or the message
// loop finds nothing to do. GetDC(NULL) is a snapshot of the screen taken when its pixels are
// first read or drawn on; drawing on it is not shown.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi/DeviceContext.h"
#include "gdi/GdiObject.h"
#include "gdi/Raster.h"
#include "gdi/ThreadDC.h"
#include "user/ThreadPaint.h"
#include "user/WindowSystem.h"

namespace user {
namespace {

constexpr DWORD kUseStyle = 0x00010000;  // GetDC and BeginPaint: clip by the window's styles
constexpr DWORD kScreenDC = 0x80000000;

RECT clientInWindow(const Window* w) {
  return RECT{w->client.left - w->rect.left, w->client.top - w->rect.top,
              w->client.right - w->rect.left, w->client.bottom - w->rect.top};
}

RECT windowSizeRect(const Window* w) {
  return RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
}

void applyGeometry(HeldDC& held) {
  if (held.flags & kScreenDC) return;
  Window* w = windowFromHandle(held.hwnd);
  if (w == nullptr) return;
  Window* top = topLevelOf(w);
  if (top == nullptr || !top->surface) return;
  bool windowDC = (held.flags & DCX_WINDOW) != 0;
  bool clipChildren = (held.flags & DCX_CLIPCHILDREN) != 0;
  bool clipSiblings = (held.flags & DCX_CLIPSIBLINGS) != 0;
  if (held.flags & kUseStyle) {
    clipChildren = clipChildren || (w->style & WS_CLIPCHILDREN);
    clipSiblings = clipSiblings || (w->style & WS_CLIPSIBLINGS);
  }
  gdi::RegionBands vis = visibleRegion(w, !windowDC, clipChildren, clipSiblings);
  RECT r = windowDC ? windowRectSurface(w) : clientRectSurface(w);
  POINT origin{r.left, r.top};
  if (held.paintClip) {
    gdi::RegionBands clip = *held.paintClip;
    clip.offset(origin.x, origin.y);
    vis = gdi::RegionBands::combine(vis, clip, RGN_AND);
  }
  if (held.extraClip) {
    gdi::RegionBands clip = *held.extraClip;
    clip.offset(-top->rect.left, -top->rect.top);
    vis = gdi::RegionBands::combine(vis, clip, RGN_AND);
  }
  gdi::setWindowDCGeometry(held.hdc, top->surface.get(), origin, vis);
}

HeldDC* findHeld(HDC hdc) {
  for (auto& h : sys().heldDCs)
    if (h.hdc == hdc) return &h;
  return nullptr;
}

void readScreenInto(gdi::BitmapObject& image) {
  flushPresentation();
  driver().readScreen(image);
  image.takeDirty();
}

// Most screen DCs only lend their format to compatible DCs and bitmaps, so the screen is read when
// the DC's pixels are first used, not when it is taken.
HDC screenDC() {
  System& s = sys();
  SIZE size = driver().screenSize();
  if (!s.screenImage || s.screenImage->width != size.cx || s.screenImage->height != size.cy)
    s.screenImage = gdi::BitmapObject::create(std::max<int>(size.cx, 1), std::max<int>(size.cy, 1), 32);
  if (!s.screenImage) return nullptr;
  HDC hdc = gdi::createWindowDC(s.screenImage.get(), POINT{0, 0},
                                gdi::RegionBands::fromRect(RECT{0, 0, size.cx, size.cy}));
  if (hdc != nullptr) {
    gdi::dcFromHandle(hdc)->deferFill(readScreenInto);
    HeldDC held;
    held.hdc = hdc;
    held.flags = kScreenDC;
    s.heldDCs.push_back(held);
  }
  return hdc;
}

HDC acquireDC(Window* w, DWORD flags, const std::optional<gdi::RegionBands>& paintClip,
              const std::optional<gdi::RegionBands>& extraClip) {
  if (w->isDesktop) return screenDC();
  Window* top = topLevelOf(w);
  if (top == nullptr || !top->surface) return nullptr;
  System& s = sys();
  bool own = w->cls && (w->cls->style & CS_OWNDC) && !(flags & (DCX_WINDOW | DCX_CACHE));
  if (own && w->ownDC != nullptr) {
    HeldDC* held = findHeld(w->ownDC);
    if (held != nullptr) {
      held->flags = flags;
      held->paintClip = paintClip;
      held->extraClip = extraClip;
      applyGeometry(*held);
      return w->ownDC;
    }
  }
  HDC hdc = gdi::createWindowDC(top->surface.get(), POINT{0, 0}, gdi::RegionBands());
  if (hdc == nullptr) return nullptr;
  HeldDC held;
  held.hdc = hdc;
  held.hwnd = w->handle;
  held.flags = flags;
  held.own = own;
  held.paintClip = paintClip;
  held.extraClip = extraClip;
  applyGeometry(held);
  s.heldDCs.push_back(held);
  if (own) w->ownDC = hdc;
  return hdc;
}

bool needsPaint(const Window* w) { return !w->update.empty() || w->internalPaint; }

// Erases now what is waiting to be erased (GetUpdateRect/GetUpdateRgn with bErase, RDW_ERASENOW).
void eraseNow(Window* w) {
  HWND h = w->handle;
  if (w->frameNeeded) {
    w->frameNeeded = false;
    sendMessage(w, WM_NCPAINT, 1, 0);
    if ((w = windowFromHandle(h)) == nullptr) return;
  }
  if (!w->eraseNeeded) return;
  w->eraseNeeded = false;
  gdi::RegionBands clip = w->update.intersected(clientInWindow(w));
  RECT c = clientInWindow(w);
  clip.offset(-c.left, -c.top);
  HDC hdc = acquireDC(w, kUseStyle, clip, std::nullopt);
  if (hdc == nullptr) return;
  sendMessage(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
  ReleaseDC(h, hdc);
}

}  // namespace

HBRUSH classBrush(const Window* w) {
  if (w->cls == nullptr) return nullptr;
  HBRUSH b = w->cls->background;
  uintptr_t v = reinterpret_cast<uintptr_t>(b);
  if (v != 0 && v <= 31) return GetSysColorBrush(static_cast<int>(v - 1));
  return b;
}

void refreshHeldDCs(Window* top) {
  for (auto& held : sys().heldDCs) {
    if (held.flags & kScreenDC) continue;
    Window* w = windowFromHandle(held.hwnd);
    if (w != nullptr && (top == nullptr || topLevelOf(w) == top)) applyGeometry(held);
  }
}

void releaseWindowDCs(Window* w) {
  auto& list = sys().heldDCs;
  std::vector<HDC> doomed;
  for (auto& held : list)
    if (held.hwnd == w->handle && !(held.flags & kScreenDC)) doomed.push_back(held.hdc);
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const HeldDC& h) {
                              return std::find(doomed.begin(), doomed.end(), h.hdc) != doomed.end();
                            }),
             list.end());
  for (HDC hdc : doomed) gdi::deleteWindowDC(hdc);
  w->ownDC = nullptr;
}

void resizeSurface(Window* top) {
  int width = std::max<int>(top->rect.right - top->rect.left, 1);
  int height = std::max<int>(top->rect.bottom - top->rect.top, 1);
  if (top->surface && top->surface->width == width && top->surface->height == height) return;
  auto fresh = gdi::BitmapObject::create(width, height, 32);
  if (!fresh) return;  // keeps the old surface: drawing is clipped to it
  if (top->surface) {
    int w = std::min(width, top->surface->width);
    int h = std::min(height, top->surface->height);
    for (int y = 0; y < h; ++y)
      std::memcpy(fresh->row(y), top->surface->row(y), static_cast<size_t>(w) * 4);
  }
  fresh->takeDirty();
  // The DCs move to the new surface before the old one goes.
  std::unique_ptr<gdi::BitmapObject> old = std::move(top->surface);
  top->surface = std::move(fresh);
  refreshHeldDCs(top);
}

void presentWindow(Window* top, const RECT& area) {
  if (!top->native || !top->surface || !(top->style & WS_VISIBLE)) return;
  RECT r{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0),
         std::min<LONG>(area.right, top->surface->width), std::min<LONG>(area.bottom, top->surface->height)};
  if (r.left >= r.right || r.top >= r.bottom) return;
  driver().present(top->handle, *top->surface, r);
}

void flushPresentation() {
  mergeThreadPaint();
  for (Window* t : sys().desktop->children) {
    if (!t->surface) continue;
    RECT d = t->surface->takeDirty();
    if (d.left < d.right && d.top < d.bottom) presentWindow(t, d);
  }
}

void invalidate(Window* w, const gdi::RegionBands* clientArea, UINT flags) {
  if (w->isDesktop) {
    std::vector<HWND> tops;
    for (Window* t : w->children) tops.push_back(t->handle);
    for (HWND t : tops)
      if (Window* tw = windowFromHandle(t)) invalidate(tw, nullptr, flags | RDW_FRAME | RDW_ALLCHILDREN);
    return;
  }
  if (!isVisibleTree(w)) return;
  RECT whole = windowSizeRect(w);
  RECT client = clientInWindow(w);
  gdi::RegionBands area;
  if (clientArea != nullptr) {
    area = *clientArea;
    area.offset(client.left, client.top);
  } else {
    area = gdi::RegionBands::fromRect((flags & RDW_FRAME) ? whole : client);
  }
  area = area.intersected((flags & RDW_FRAME) ? whole : client);
  if (w->region) area = gdi::RegionBands::combine(area, *w->region, RGN_AND);

  if (flags & RDW_INVALIDATE) {
    if (!area.empty()) {
      w->update = gdi::RegionBands::combine(w->update, area, RGN_OR);
      if (flags & RDW_ERASE) w->eraseNeeded = true;
      if (!gdi::RegionBands::combine(area, gdi::RegionBands::fromRect(client), RGN_DIFF).empty())
        w->frameNeeded = true;
    }
    if (flags & RDW_INTERNALPAINT) w->internalPaint = true;
  } else if (flags & RDW_VALIDATE) {
    w->update = gdi::RegionBands::combine(w->update, area, RGN_DIFF);
    if (w->update.empty()) {
      w->eraseNeeded = false;
      w->frameNeeded = false;
    }
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  }
  if (flags & RDW_NOERASE) w->eraseNeeded = false;
  if (flags & RDW_NOFRAME) w->frameNeeded = false;

  bool children = (flags & RDW_ALLCHILDREN) ||
                  (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
  if (!children) return;
  for (Window* c : std::vector<Window*>(w->children)) {
    if (!(c->style & WS_VISIBLE)) continue;
    // The child's rectangle is in this window's client coordinates.
    gdi::RegionBands part = area;
    part.offset(-client.left, -client.top);
    part = part.intersected(c->rect);
    if (part.empty()) continue;
    part.offset(-(c->client.left), -(c->client.top));
    invalidate(c, &part, (flags | RDW_FRAME) & ~(RDW_UPDATENOW | RDW_ERASENOW));
  }
}

void updateNow(Window* w, bool children) {
  HWND h = w->handle;
  if (isVisibleTree(w) && needsPaint(w)) {
    sendMessage(w, WM_PAINT, 0, 0);
    if ((w = windowFromHandle(h)) == nullptr) return;
  }
  if (!children) return;
  std::vector<HWND> kids;
  for (Window* c : w->children) kids.push_back(c->handle);
  for (HWND k : kids)
    if (Window* c = windowFromHandle(k)) updateNow(c, true);
}

Window* findWindowToPaint(Window* root, HWND filter) {
  for (Window* c : root->children) {
    if (!(c->style & WS_VISIBLE)) continue;
    bool matches = filter == nullptr || c->handle == filter || IsChild(filter, c->handle);
    if (matches && needsPaint(c)) return c;
    if (Window* found = findWindowToPaint(c, filter)) return found;
  }
  return nullptr;
}

void drawNonClient(Window* w, int activeState) {
  if (!driver().showsFrame() || !hasFrame(w)) return;
  HDC hdc = acquireDC(w, DCX_WINDOW, std::nullopt, std::nullopt);
  if (hdc == nullptr) return;
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  RECT r = windowSizeRect(w);
  RECT c = clientInWindow(w);
  auto fill = [&](RECT box, COLORREF color) {
    for (int y = box.top; y < box.bottom; ++y) gdi::paintSpan(*dc, y, box.left, box.right, color, R2_COPYPEN);
  };
  auto frame = [&](RECT box, COLORREF topLeft, COLORREF bottomRight) {
    fill(RECT{box.left, box.top, box.right, box.top + 1}, topLeft);
    fill(RECT{box.left, box.top, box.left + 1, box.bottom}, topLeft);
    fill(RECT{box.left, box.bottom - 1, box.right, box.bottom}, bottomRight);
    fill(RECT{box.right - 1, box.top, box.right, box.bottom}, bottomRight);
  };
  // Everything between the window edge and the client area in the face colour, then the edges.
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (int y = r.top; y < r.bottom; ++y) {
    if (y >= c.top && y < c.bottom) {
      gdi::paintSpan(*dc, y, r.left, c.left, face, R2_COPYPEN);
      gdi::paintSpan(*dc, y, c.right, r.right, face, R2_COPYPEN);
    } else {
      gdi::paintSpan(*dc, y, r.left, r.right, face, R2_COPYPEN);
    }
  }
  bool raised = (w->style & (WS_THICKFRAME | WS_DLGFRAME)) || (w->exStyle & WS_EX_DLGMODALFRAME);
  if (raised) {
    frame(r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    frame(inner, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW));
  } else if (w->style & WS_BORDER) {
    frame(r, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) {
    RECT edge{c.left - 2, c.top - 2, c.right + 2, c.bottom + 2};
    frame(edge, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT));
    RECT inner{edge.left + 1, edge.top + 1, edge.right - 1, edge.bottom - 1};
    frame(inner, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
  }
  if ((w->style & WS_CAPTION) == WS_CAPTION) {
    // The caption bar sits on top of the client edge, inside the border, above a 1-pixel line.
    RECT probe{0, 0, 100, 100};
    computeNonClient(w->style, w->exStyle & ~WS_EX_CLIENTEDGE, probe);
    int captionHeight = GetSystemMetrics((w->exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    RECT bar{probe.left, probe.top - captionHeight, r.right - (100 - probe.right), probe.top - 1};
    bool active = activeState < 0 ? sys().active == w->handle : activeState != 0;
    fill(bar, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    if (!w->text.empty()) {
      RECT textBox{bar.left + 4, bar.top, bar.right - 4, bar.bottom};
      int oldMode = SetBkMode(hdc, TRANSPARENT);
      COLORREF oldColor = SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
      DrawTextA(hdc, w->text.c_str(), static_cast<int>(w->text.size()), &textBox,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
      SetTextColor(hdc, oldColor);
      SetBkMode(hdc, oldMode);
    }
  }
  ReleaseDC(w->handle, hdc);
}

}  // namespace user

using namespace user;

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  Window* w = hWnd ? checkWindow(hWnd) : desktopWindow();
  if (w == nullptr) return FALSE;
  std::optional<gdi::RegionBands> area;
  if (hrgnUpdate != nullptr) {
    auto* r = gdi::objectAs<gdi::RegionObject>(hrgnUpdate, gdi::ObjectKind::Region);
    if (r == nullptr) return FALSE;
    area = r->bands;
  } else if (lprcUpdate != nullptr) {
    area = gdi::RegionBands::fromRect(*lprcUpdate);
  }
  HWND h = w->handle;
  invalidate(w, area ? &*area : nullptr, flags);
  bool children = (flags & RDW_ALLCHILDREN) ||
                  (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
  if (flags & RDW_UPDATENOW) {
    if (w->isDesktop) {
      std::vector<HWND> tops;
      for (Window* t : w->children) tops.push_back(t->handle);
      for (HWND t : tops)
        if (Window* tw = windowFromHandle(t)) updateNow(tw, true);
    } else {
      updateNow(w, children);
    }
    flushPresentation();
  } else if ((flags & RDW_ERASENOW) && (w = windowFromHandle(h)) != nullptr && !w->isDesktop) {
    eraseNow(w);
  }
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  if (hRgn == nullptr) return InvalidateRect(hWnd, nullptr, bErase);
  return RedrawWindow(hWnd, nullptr, hRgn, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL WINAPI ValidateRgn(HWND hWnd, HRGN hRgn) {
  if (hRgn == nullptr) return ValidateRect(hWnd, nullptr);
  return RedrawWindow(hWnd, nullptr, hRgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  RECT c = clientInWindow(w);
  gdi::RegionBands part = w->update.intersected(c);
  part.offset(-c.left, -c.top);
  if (lpRect != nullptr) *lpRect = part.empty() ? RECT{0, 0, 0, 0} : part.box();
  if (bErase && !part.empty()) eraseNow(w);
  return part.empty() ? FALSE : TRUE;
}

int WINAPI GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return ERROR;
  auto* r = gdi::objectAs<gdi::RegionObject>(hRgn, gdi::ObjectKind::Region);
  if (r == nullptr) return ERROR;
  RECT c = clientInWindow(w);
  gdi::RegionBands part = w->update.intersected(c);
  part.offset(-c.left, -c.top);
  r->bands = part;
  if (bErase && !part.empty()) eraseNow(w);
  return part.type();
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  updateNow(w, true);
  flushPresentation();
  return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return nullptr;
  if (lpPaint == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (w->frameNeeded) {
    w->frameNeeded = false;
    sendMessage(w, WM_NCPAINT, 1, 0);
    if ((w = windowFromHandle(hWnd)) == nullptr) return nullptr;
  }
  RECT c = clientInWindow(w);
  gdi::RegionBands part = w->update.intersected(c);
  part.offset(-c.left, -c.top);
  bool erase = w->eraseNeeded;
  w->update = gdi::RegionBands();
  w->eraseNeeded = false;
  w->internalPaint = false;
  HDC hdc = acquireDC(w, kUseStyle, part, std::nullopt);
  publishThreadView(w);
  std::memset(lpPaint, 0, sizeof *lpPaint);
  lpPaint->hdc = hdc;
  lpPaint->rcPaint = part.empty() ? RECT{0, 0, 0, 0} : part.box();
  if (hdc != nullptr && erase) {
    lpPaint->fErase = sendMessage(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
  }
  return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (lpPaint == nullptr) return FALSE;
  ReleaseDC(hWnd, lpPaint->hdc);
  return TRUE;
}

HDC WINAPI GetDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags) {
  Window* w = hWnd ? checkWindow(hWnd) : desktopWindow();
  if (w == nullptr) return nullptr;
  std::optional<gdi::RegionBands> extra;
  if ((flags & DCX_INTERSECTRGN) && hrgnClip != nullptr) {
    auto* r = gdi::objectAs<gdi::RegionObject>(hrgnClip, gdi::ObjectKind::Region);
    if (r != nullptr) extra = r->bands;
  }
  return acquireDC(w, flags & ~kScreenDC, std::nullopt, extra);
}

HDC WINAPI GetDC(HWND hWnd) {
  if (!onUiThread()) return threadGetDC(hWnd);
  Window* w = hWnd ? checkWindow(hWnd) : desktopWindow();
  if (w == nullptr) return nullptr;
  return acquireDC(w, kUseStyle, std::nullopt, std::nullopt);
}

HDC WINAPI GetWindowDC(HWND hWnd) {
  Window* w = hWnd ? checkWindow(hWnd) : desktopWindow();
  if (w == nullptr) return nullptr;
  return acquireDC(w, DCX_WINDOW | kUseStyle, std::nullopt, std::nullopt);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
  if (gdi::isThreadDC(hDC)) return threadReleaseDC(hDC);
  auto& list = sys().heldDCs;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].hdc != hDC) continue;
    if (list[i].own) {
      // The window keeps its own DC and what is selected in it; only the paint clip goes.
      if (list[i].paintClip || list[i].extraClip) {
        list[i].paintClip.reset();
        list[i].extraClip.reset();
        list[i].flags = kUseStyle;
        applyGeometry(list[i]);
      }
    } else {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
      gdi::deleteWindowDC(hDC);
    }
    flushPresentation();
    return 1;
  }
  return 0;
}

HWND WINAPI WindowFromDC(HDC hDC) {
  for (auto& held : sys().heldDCs)
    if (held.hdc == hDC) return (held.flags & kScreenDC) ? desktopWindow()->handle : held.hwnd;
  return nullptr;
}
