// Creating and destroying windows, the window tree and the per-window values. A window that has
// no explicit size gets three quarters of the screen, cascaded 26 pixels a step from (26, 26).
// SetParent moves a window only among windows of its own kind (child to child, or top-level
// to top-level), since a top-level window is a native window of the driver and a child is not.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "gdi/DeviceContext.h"
#include "user/WindowSystem.h"

namespace user {
namespace {

void linkChild(Window* parent, Window* child) {
  auto& list = parent->children;
  if (parent->isDesktop) {
    // New top-level windows go on top of their band (topmost ones above the rest).
    auto it = list.begin();
    if (!(child->exStyle & WS_EX_TOPMOST))
      while (it != list.end() && ((*it)->exStyle & WS_EX_TOPMOST)) ++it;
    list.insert(it, child);
  } else {
    // Child windows go to the bottom, so creation order is Z order and tab order.
    list.push_back(child);
  }
}

void unlinkChild(Window* child) {
  if (child->parent == nullptr) return;
  auto& list = child->parent->children;
  list.erase(std::remove(list.begin(), list.end(), child), list.end());
}

// WM_DESTROY goes to the window first, then to its children.
void sendDestroy(Window* w) {
  HWND h = w->handle;
  w->destroying = true;
  for (Window* c : w->children) c->destroying = true;
  sendMessage(w, WM_DESTROY, 0, 0);
  if (windowFromHandle(h) == nullptr) return;
  std::vector<HWND> kids;
  for (Window* c : w->children) kids.push_back(c->handle);
  for (HWND k : kids)
    if (Window* c = windowFromHandle(k)) sendDestroy(c);
}

// WM_NCDESTROY goes to the children first, then to the window, and then the window is gone.
void finalDestroy(Window* w) {
  HWND h = w->handle;
  std::vector<HWND> kids;
  for (Window* c : w->children) kids.push_back(c->handle);
  for (HWND k : kids)
    if (Window* c = windowFromHandle(k)) finalDestroy(c);
  w = windowFromHandle(h);
  if (w == nullptr) return;
  sendMessage(w, WM_NCDESTROY, 0, 0);
  w = windowFromHandle(h);
  if (w == nullptr) return;
  forgetWindowInput(w);
  killWindowTimers(h);
  removeWindowProps(w);
  releaseWindowDCs(w);
  System& s = sys();
  for (auto& slot : s.slots)
    if (slot.window && !slot.window->dead && slot.window->owner == w) slot.window->owner = nullptr;
  bool wasTop = w->isTopLevel();
  if (w->native) {
    driver().destroyWindow(h);
    w->native = false;
  }
  unlinkChild(w);
  if (w->cls) --w->cls->windows;
  releaseHandle(w);
  if (wasTop) restackDriver();
}

void destroyWindowTree(Window* w) {
  HWND h = w->handle;
  w->destroying = true;
  if (w->isChild()) {
    parentNotify(w, MAKEWPARAM(WM_DESTROY, static_cast<WORD>(w->id)), reinterpret_cast<LPARAM>(h), false);
    if ((w = windowFromHandle(h)) == nullptr) return;
  }
  // Owned windows go before their owner.
  std::vector<HWND> owned;
  for (Window* t : sys().desktop->children)
    if (t->owner == w) owned.push_back(t->handle);
  for (HWND o : owned) DestroyWindow(o);
  w = windowFromHandle(h);
  if (w == nullptr) return;
  if (w->style & WS_VISIBLE)
    setWindowPos(w, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  w = windowFromHandle(h);
  if (w == nullptr) return;
  if (sys().active == h) activateNext(w);
  w = windowFromHandle(h);
  if (w == nullptr) return;
  sendDestroy(w);
  w = windowFromHandle(h);
  if (w == nullptr) return;
  // Focus and capture held inside the dying tree are released while its windows still exist.
  System& s = sys();
  if (Window* f = windowFromHandle(s.focus); f != nullptr && (f == w || IsChild(h, s.focus))) {
    Window* parent = w->isChild() ? w->parent : nullptr;
    if (parent != nullptr && !parent->destroying) setFocusTo(parent);
    else setFocusTo(nullptr);
  }
  if (Window* c = windowFromHandle(s.capture); c != nullptr && (c == w || IsChild(h, s.capture)))
    releaseCaptureOf(c);
  w = windowFromHandle(h);
  if (w != nullptr) finalDestroy(w);
}

}  // namespace

void parentNotify(Window* child, WPARAM wParam, LPARAM lParam, bool lParamIsPoint) {
  std::vector<HWND> chain;
  for (Window* c = child; c->isChild() && !(c->exStyle & WS_EX_NOPARENTNOTIFY); c = c->parent)
    chain.push_back(c->parent->handle);
  POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  for (HWND p : chain) {
    Window* pw = windowFromHandle(p);
    if (pw == nullptr) return;
    LPARAM lp = lParam;
    if (lParamIsPoint) {
      POINT o = clientOriginScreen(pw);
      lp = MAKELPARAM(screen.x - o.x, screen.y - o.y);
    }
    sendMessage(pw, WM_PARENTNOTIFY, wParam, lp);
  }
}

DWORD liveWindowCount() {
  DWORD n = 0;
  for (auto& slot : sys().slots)
    if (slot.window && !slot.window->dead && !slot.window->isDesktop) ++n;
  return n;
}

bool hasFrame(const Window* w) {
  RECT r{0, 0, 100, 100};
  computeNonClient(w->style, w->exStyle, r);
  return r.left != 0 || r.top != 0 || r.right != 100 || r.bottom != 100;
}

}  // namespace user

using namespace user;

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName,
                            DWORD dwStyle, int X, int Y, int nWidth, int nHeight,
                            HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
  Window* desk = desktopWindow();
  WindowClass* cls = findClass(lpClassName);
  if (cls == nullptr) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  Window* parent = desk;
  Window* owner = nullptr;
  if (dwStyle & WS_CHILD) {
    if (hWndParent == nullptr) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    parent = checkWindow(hWndParent);
    if (parent == nullptr) return nullptr;
  } else if (hWndParent != nullptr) {
    owner = checkWindow(hWndParent);
    if (owner == nullptr) return nullptr;
    owner = owner->isDesktop ? nullptr : topLevelOf(owner);
  }
  bool topLevel = parent->isDesktop;
  if (topLevel && !(dwStyle & WS_POPUP)) {
    // Overlapped windows always have a caption and clip their siblings.
    dwStyle |= WS_CAPTION | WS_CLIPSIBLINGS;
    dwStyle &= ~WS_CHILD;
  }
  if ((dwExStyle & WS_EX_DLGMODALFRAME) || (dwStyle & (WS_DLGFRAME | WS_THICKFRAME)))
    dwExStyle |= WS_EX_WINDOWEDGE;

  SIZE screen = driver().screenSize();
  if (topLevel && !(dwStyle & WS_POPUP)) {
    if (X == CW_USEDEFAULT) {
      int step = 26 * (sys().defaultPositionCount++ % 8 + 1);
      X = step;
      Y = step;
    }
    if (nWidth == CW_USEDEFAULT) {
      nWidth = screen.cx * 3 / 4;
      nHeight = screen.cy * 3 / 4;
    }
  } else {
    if (X == CW_USEDEFAULT) X = Y = 0;
    if (nWidth == CW_USEDEFAULT) nWidth = nHeight = 0;
  }
  if (nWidth < 0) nWidth = 0;
  if (nHeight < 0) nHeight = 0;

  auto owned = std::make_unique<Window>();
  Window* w = owned.get();
  w->cls = cls;
  w->parent = parent;
  w->owner = owner;
  w->style = dwStyle & ~WS_VISIBLE;
  w->exStyle = dwExStyle;
  w->proc = cls->proc;
  w->instance = hInstance;
  w->id = (dwStyle & WS_CHILD) ? reinterpret_cast<LONG_PTR>(hMenu) : 0;
  w->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
  HWND h = allocateHandle(std::move(owned));
  if (h == nullptr) return nullptr;
  ++cls->windows;
  linkChild(parent, w);

  CREATESTRUCTA cs{};
  cs.lpCreateParams = lpParam;
  cs.hInstance = hInstance;
  cs.hMenu = hMenu;
  cs.hwndParent = topLevel ? (owner ? owner->handle : nullptr) : parent->handle;
  cs.style = static_cast<LONG>(dwStyle);
  cs.lpszName = lpWindowName;
  cs.lpszClass = lpClassName;
  cs.dwExStyle = dwExStyle;

  if (topLevel && ((dwStyle & WS_THICKFRAME) || (dwStyle & WS_CAPTION) == WS_CAPTION)) {
    MINMAXINFO mmi{};
    mmi.ptMaxSize = POINT{screen.cx, screen.cy};
    mmi.ptMaxPosition = POINT{0, 0};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    sendMessage(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if ((w = windowFromHandle(h)) == nullptr) return nullptr;
    nWidth = std::min<int>(nWidth, mmi.ptMaxTrackSize.x);
    nHeight = std::min<int>(nHeight, mmi.ptMaxTrackSize.y);
  }
  w->rect = RECT{X, Y, X + nWidth, Y + nHeight};
  w->client = w->rect;
  cs.x = X;
  cs.y = Y;
  cs.cx = nWidth;
  cs.cy = nHeight;

  if (!sendMessage(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if ((w = windowFromHandle(h)) != nullptr) {
      w->destroying = true;
      for (Window* c : w->children) c->destroying = true;
      DestroyWindow(h);
    }
    return nullptr;
  }
  if ((w = windowFromHandle(h)) == nullptr) return nullptr;
  w->created = true;

  RECT client = w->rect;
  sendMessage(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
  if ((w = windowFromHandle(h)) == nullptr) return nullptr;
  w->client = client;

  if (topLevel) {
    resizeSurface(w);
    drivers::WindowDesc desc;
    desc.windowRect = w->rect;
    desc.clientRect = w->client;
    desc.title = w->text;
    desc.style = w->style;
    desc.exStyle = w->exStyle;
    desc.topmost = (w->exStyle & WS_EX_TOPMOST) != 0;
    desc.hasFrame = hasFrame(w);
    if (!driver().createWindow(h, desc)) {
      DestroyWindow(h);
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    w->native = true;
    restackDriver();
    if (cls->icon != nullptr || cls->iconSmall != nullptr) driver().setIcon(h, cls->icon, cls->iconSmall);
  }

  // The whole window needs painting once it shows.
  w->update = gdi::RegionBands::fromRect(RECT{0, 0, nWidth, nHeight});
  w->eraseNeeded = true;
  w->frameNeeded = true;

  if (sendMessage(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (windowFromHandle(h) != nullptr) DestroyWindow(h);
    return nullptr;
  }
  if ((w = windowFromHandle(h)) == nullptr || w->destroying) return nullptr;
  if (w->isChild()) {
    parentNotify(w, MAKEWPARAM(WM_CREATE, static_cast<WORD>(w->id)), reinterpret_cast<LPARAM>(h), false);
    if ((w = windowFromHandle(h)) == nullptr || w->destroying) return nullptr;
  }

  if (dwStyle & WS_VISIBLE) {
    ShowWindow(h, topLevel ? SW_SHOW : SW_SHOWNA);
    if (windowFromHandle(h) == nullptr) return nullptr;
  }
  return h;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  if (w->isDesktop) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (w->destroying && w->created) return TRUE;
  destroyWindowTree(w);
  return TRUE;
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
  if (lpPrevWndFunc == nullptr) return 0;
  return callProc(lpPrevWndFunc, hWnd, Msg, wParam, lParam);
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return 0;
  switch (nIndex) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(w->isChild() ? w->parent->handle
                                                     : (w->owner ? w->owner->handle : nullptr));
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    default:
      if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
        return v;
      }
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
  }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR value) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return 0;
  if (w->isDesktop) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  LONG_PTR old;
  switch (nIndex) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWLP_HWNDPARENT: {
      old = GetWindowLongPtrA(hWnd, nIndex);
      if (!w->isChild()) {
        Window* o = windowFromHandle(reinterpret_cast<HWND>(value));
        w->owner = (o == nullptr || o->isDesktop) ? nullptr : topLevelOf(o);
      }
      return old;
    }
    case GWLP_USERDATA:
      old = w->userData;
      w->userData = value;
      return old;
    case GWLP_ID:
      old = w->id;
      w->id = value;
      return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
      bool styleIndex = nIndex == GWL_STYLE;
      STYLESTRUCT ss;
      ss.styleOld = styleIndex ? w->style : w->exStyle;
      ss.styleNew = static_cast<DWORD>(value);
      sendMessage(w, WM_STYLECHANGING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&ss));
      if ((w = windowFromHandle(hWnd)) == nullptr) return 0;
      if (styleIndex) w->style = ss.styleNew;
      else w->exStyle = ss.styleNew;
      sendMessage(w, WM_STYLECHANGED, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&ss));
      return static_cast<LONG>(ss.styleOld);
    }
    default:
      if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
        std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
        std::memcpy(w->extra.data() + nIndex, &value, sizeof value);
        return old;
      }
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
  }
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return 0;
  if (nIndex >= 0) {
    if (static_cast<size_t>(nIndex) + sizeof(LONG) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG v;
    std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
    return v;
  }
  return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG value) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return 0;
  if (nIndex >= 0) {
    if (static_cast<size_t>(nIndex) + sizeof(LONG) > w->extra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    LONG old;
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &value, sizeof value);
    return old;
  }
  if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE)
    return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
  return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, value));
}

HWND WINAPI GetParent(HWND hWnd) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr || w->isDesktop) return nullptr;
  if (w->isChild()) return w->parent->handle;
  if ((w->style & WS_POPUP) && w->owner) return w->owner->handle;
  return nullptr;
}

HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent) {
  Window* w = checkWindow(hWndChild);
  if (w == nullptr) return nullptr;
  Window* np = hWndNewParent ? checkWindow(hWndNewParent) : desktopWindow();
  if (np == nullptr) return nullptr;
  if (w->isDesktop || np == w || IsChild(hWndChild, np->handle) || w->isTopLevel() != np->isDesktop) {
    // Moving a window between the desktop and another window would change its native side;
    // only re-parenting among windows of the same kind is supported.
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Window* old = w->parent;
  bool visible = (w->style & WS_VISIBLE) != 0;
  if (visible) ShowWindow(hWndChild, SW_HIDE);
  if ((w = windowFromHandle(hWndChild)) == nullptr) return nullptr;
  auto& list = old->children;
  list.erase(std::remove(list.begin(), list.end(), w), list.end());
  w->parent = np;
  np->children.insert(np->children.begin(), w);
  if (!np->isDesktop) refreshHeldDCs(topLevelOf(np));
  if (visible) ShowWindow(hWndChild, SW_SHOWNA);
  return old->isDesktop ? desktopWindow()->handle : old->handle;
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return nullptr;
  auto siblings = [&]() -> const std::vector<Window*>* {
    return w->parent ? &w->parent->children : nullptr;
  };
  switch (uCmd) {
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->handle;
    case GW_OWNER: return w->owner ? w->owner->handle : nullptr;
    case GW_HWNDFIRST:
    case GW_HWNDLAST: {
      auto* list = siblings();
      if (list == nullptr || list->empty()) return nullptr;
      return uCmd == GW_HWNDFIRST ? list->front()->handle : list->back()->handle;
    }
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
      auto* list = siblings();
      if (list == nullptr) return nullptr;
      auto it = std::find(list->begin(), list->end(), w);
      if (it == list->end()) return nullptr;
      if (uCmd == GW_HWNDNEXT) return (it + 1) == list->end() ? nullptr : (*(it + 1))->handle;
      return it == list->begin() ? nullptr : (*(it - 1))->handle;
    }
    case GW_ENABLEDPOPUP: return nullptr;
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND WINAPI GetTopWindow(HWND hWnd) {
  return GetWindow(hWnd ? hWnd : desktopWindow()->handle, GW_CHILD);
}

HWND WINAPI GetDesktopWindow(void) { return desktopWindow()->handle; }

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
  Window* w = checkWindow(hwnd);
  if (w == nullptr || w->isDesktop) return nullptr;
  switch (gaFlags) {
    case GA_PARENT: return w->parent->handle;
    case GA_ROOT: return topLevelOf(w)->handle;
    case GA_ROOTOWNER: {
      Window* r = topLevelOf(w);
      while (r->owner) r = r->owner;
      return r->handle;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

BOOL WINAPI IsWindow(HWND hWnd) { return windowFromHandle(hWnd) != nullptr; }

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
  Window* p = windowFromHandle(hWndParent);
  Window* w = windowFromHandle(hWnd);
  if (p == nullptr || w == nullptr) return FALSE;
  for (Window* a = w; a->isChild(); a = a->parent)
    if (a->parent == p) return TRUE;
  return FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  Window* w = windowFromHandle(hWnd);
  return w != nullptr && isVisibleTree(w);
}

BOOL WINAPI IsIconic(HWND hWnd) {
  Window* w = windowFromHandle(hWnd);
  return w != nullptr && (w->style & WS_MINIMIZE) != 0;
}

BOOL WINAPI IsZoomed(HWND hWnd) {
  Window* w = windowFromHandle(hWnd);
  return w != nullptr && (w->style & WS_MAXIMIZE) != 0;
}

static BOOL enumList(Window* parent, WNDENUMPROC proc, LPARAM lParam, bool recurse) {
  std::vector<HWND> handles;
  for (Window* c : parent->children) handles.push_back(c->handle);
  for (HWND h : handles) {
    Window* c = windowFromHandle(h);
    if (c == nullptr) continue;
    if (!proc(h, lParam)) return FALSE;
    if (recurse && (c = windowFromHandle(h)) != nullptr)
      if (!enumList(c, proc, lParam, true)) return FALSE;
  }
  return TRUE;
}

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  Window* p = hWndParent ? checkWindow(hWndParent) : desktopWindow();
  if (p == nullptr || lpEnumFunc == nullptr) return FALSE;
  enumList(p, lpEnumFunc, lParam, true);
  return TRUE;
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (lpEnumFunc == nullptr) return FALSE;
  return enumList(desktopWindow(), lpEnumFunc, lParam, false);
}

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  WindowClass* cls = lpClassName ? findClass(lpClassName) : nullptr;
  if (lpClassName != nullptr && cls == nullptr) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  for (Window* t : desktopWindow()->children) {
    if (cls != nullptr && t->cls != cls) continue;
    if (lpWindowName != nullptr && t->text != lpWindowName) continue;
    return t->handle;
  }
  return nullptr;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  return static_cast<BOOL>(sendMessage(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) {
    if (lpString != nullptr && nMaxCount > 0) lpString[0] = '\0';
    return 0;
  }
  if (lpString == nullptr || nMaxCount <= 0) return 0;
  lpString[0] = '\0';
  return static_cast<int>(sendMessage(w, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                      reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return 0;
  return static_cast<int>(sendMessage(w, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
  if (bEnable) {
    if (!wasDisabled) return FALSE;
    w->style &= ~WS_DISABLED;
    sendMessage(w, WM_ENABLE, TRUE, 0);
  } else {
    if (wasDisabled) return TRUE;
    sendMessage(w, WM_CANCELMODE, 0, 0);
    if ((w = windowFromHandle(hWnd)) == nullptr) return FALSE;
    w->style |= WS_DISABLED;
    System& s = sys();
    if (s.focus == hWnd || IsChild(hWnd, s.focus)) setFocusTo(nullptr);
    if ((w = windowFromHandle(hWnd)) == nullptr) return FALSE;
    sendMessage(w, WM_ENABLE, FALSE, 0);
  }
  return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  Window* w = windowFromHandle(hWnd);
  return w != nullptr && (w->style & WS_DISABLED) == 0;
}
