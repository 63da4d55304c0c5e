// Keyboard state, focus, activation, mouse capture and the pointer. Characters follow the US
// keyboard layout when the driver does not say which character a key types. When a focused
// child window is destroyed the focus moves to its parent; when the active window goes, the
// owner (or else the topmost visible enabled top-level window) is activated.
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "user/WindowSystem.h"

namespace user {

void setFocusTo(Window* w) {
  System& s = sys();
  HWND nh = w ? w->handle : nullptr;
  HWND old = s.focus;
  if (old == nh) return;
  if (Window* ow = windowFromHandle(old)) {
    sendMessage(ow, WM_KILLFOCUS, reinterpret_cast<WPARAM>(nh), 0);
    if (s.focus != old) return;  // the handler moved the focus itself
  }
  if (nh != nullptr && windowFromHandle(nh) == nullptr) nh = nullptr;
  s.focus = nh;
  if (Window* nw = windowFromHandle(nh)) sendMessage(nw, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void activateWindow(Window* w, int how) {
  System& s = sys();
  HWND h = w->handle;
  if (s.active == h) return;
  HWND old = s.active;
  if (Window* ow = windowFromHandle(old)) {
    sendMessage(ow, WM_NCACTIVATE, FALSE, 0);
    if ((ow = windowFromHandle(old)) != nullptr)
      sendMessage(ow, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(h));
  }
  if ((w = windowFromHandle(h)) == nullptr || w->destroying) return;
  s.active = h;
  if (w->parent->children.empty() || w->parent->children.front() != w) {
    placeInZOrder(w, HWND_TOP);
    restackDriver();
  }
  if (w->native) driver().activate(h);
  sendMessage(w, WM_NCACTIVATE, TRUE, 0);
  if ((w = windowFromHandle(h)) == nullptr) return;
  sendMessage(w, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(old));
  // The focus never stays in a window that is not active.
  if (s.active == h && s.focus != nullptr && s.focus != h && !IsChild(h, s.focus)) setFocusTo(nullptr);
}

void activateNext(Window* leaving) {
  System& s = sys();
  auto usable = [&](Window* t) {
    return t != nullptr && t != leaving && !t->destroying && (t->style & WS_VISIBLE) &&
           !(t->style & WS_DISABLED);
  };
  Window* next = usable(leaving->owner) ? leaving->owner : nullptr;
  if (next == nullptr)
    for (Window* t : s.desktop->children)
      if (usable(t)) {
        next = t;
        break;
      }
  if (next != nullptr) {
    activateWindow(next, WA_ACTIVE);
    return;
  }
  HWND h = leaving->handle;
  if (s.active != h) return;
  sendMessage(leaving, WM_NCACTIVATE, FALSE, 0);
  if ((leaving = windowFromHandle(h)) != nullptr)
    sendMessage(leaving, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  if (s.active == h) s.active = nullptr;
  if (s.focus != nullptr && (s.focus == h || IsChild(h, s.focus))) setFocusTo(nullptr);
}

void releaseCaptureOf(Window* w) {
  System& s = sys();
  if (s.capture != w->handle) return;
  s.capture = nullptr;
  sendMessage(w, WM_CAPTURECHANGED, 0, 0);
}

void forgetWindowInput(Window* w) {
  System& s = sys();
  if (s.active == w->handle) s.active = nullptr;
  if (s.focus == w->handle) s.focus = nullptr;
  if (s.capture == w->handle) s.capture = nullptr;
  if (s.lastClickWindow == w->handle) s.lastClickWindow = nullptr;
}

namespace {

POINT clampToScreen(POINT p) {
  SIZE size = driver().screenSize();
  p.x = std::clamp<LONG>(p.x, 0, std::max<LONG>(size.cx - 1, 0));
  p.y = std::clamp<LONG>(p.y, 0, std::max<LONG>(size.cy - 1, 0));
  return p;
}

void setAsync(UINT vk, bool down) {
  System& s = sys();
  if (vk > 255) return;
  if (down) {
    s.asyncKeyState[vk] = 0x80;
    s.asyncPressedSinceQuery[vk] = 1;
  } else {
    s.asyncKeyState[vk] = 0;
  }
}

UINT genericOf(UINT vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return vk;
  }
}

Window* deepestAt(Window* parent, POINT screen) {
  for (Window* c : parent->children) {
    if (!(c->style & WS_VISIBLE) || !shapeContainsScreen(c, screen)) continue;
    if (!c->isTopLevel()) {
      // A child shows only inside its parent's client area.
      RECT pc = clientRectScreen(parent);
      if (screen.x < pc.left || screen.x >= pc.right || screen.y < pc.top || screen.y >= pc.bottom)
        continue;
    }
    Window* deeper = deepestAt(c, screen);
    return deeper ? deeper : c;
  }
  return nullptr;
}

}  // namespace

Window* windowAtPoint(POINT screen) { return deepestAt(sys().desktop, screen); }

void queueMouseMove(POINT screen) {
  System& s = sys();
  screen = clampToScreen(screen);
  s.cursorPos = screen;
  InputEvent ev;
  ev.kind = InputKind::MouseMove;
  ev.pt = screen;
  ev.time = tickNow();
  if (!s.input.empty() && s.input.back().kind == InputKind::MouseMove) s.input.back() = ev;
  else s.input.push_back(ev);
}

void queueMouseButton(int button, bool down, POINT screen) {
  System& s = sys();
  screen = clampToScreen(screen);
  s.cursorPos = screen;
  static const UINT vks[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  if (button < 0 || button > 2) return;
  setAsync(vks[button], down);
  InputEvent ev;
  ev.kind = InputKind::MouseButton;
  ev.pt = screen;
  ev.button = button;
  ev.down = down;
  ev.time = tickNow();
  s.input.push_back(ev);
}

void queueKey(UINT vk, UINT scan, bool down, char character) {
  System& s = sys();
  if (vk == 0 || vk > 255) return;
  setAsync(vk, down);
  UINT generic = genericOf(vk);
  if (generic != vk) setAsync(generic, down);
  InputEvent ev;
  ev.kind = InputKind::Key;
  ev.vk = vk;
  ev.scan = scan ? scan : scanCodeOf(generic);
  ev.down = down;
  ev.character = character;
  ev.time = tickNow();
  s.input.push_back(ev);
}

UINT scanCodeOf(UINT vk) {
  static const char* row1 = "1234567890";
  static const char* qwerty = "QWERTYUIOP";
  static const char* asdf = "ASDFGHJKL";
  static const char* zxcv = "ZXCVBNM";
  for (int i = 0; row1[i]; ++i)
    if (vk == static_cast<UINT>(row1[i])) return 0x02 + i;
  for (int i = 0; qwerty[i]; ++i)
    if (vk == static_cast<UINT>(qwerty[i])) return 0x10 + i;
  for (int i = 0; asdf[i]; ++i)
    if (vk == static_cast<UINT>(asdf[i])) return 0x1E + i;
  for (int i = 0; zxcv[i]; ++i)
    if (vk == static_cast<UINT>(zxcv[i])) return 0x2C + i;
  if (vk >= VK_F1 && vk <= VK_F10) return 0x3B + (vk - VK_F1);
  switch (vk) {
    case VK_ESCAPE: return 0x01;
    case VK_OEM_MINUS: return 0x0C;
    case VK_OEM_PLUS: return 0x0D;
    case VK_BACK: return 0x0E;
    case VK_TAB: return 0x0F;
    case VK_OEM_4: return 0x1A;
    case VK_OEM_6: return 0x1B;
    case VK_RETURN: return 0x1C;
    case VK_CONTROL:
    case VK_LCONTROL: return 0x1D;
    case VK_RCONTROL: return 0x11D;
    case VK_OEM_1: return 0x27;
    case VK_OEM_7: return 0x28;
    case VK_OEM_3: return 0x29;
    case VK_SHIFT:
    case VK_LSHIFT: return 0x2A;
    case VK_OEM_5: return 0x2B;
    case VK_OEM_COMMA: return 0x33;
    case VK_OEM_PERIOD: return 0x34;
    case VK_OEM_2: return 0x35;
    case VK_RSHIFT: return 0x36;
    case VK_MULTIPLY: return 0x37;
    case VK_MENU:
    case VK_LMENU: return 0x38;
    case VK_RMENU: return 0x138;
    case VK_SPACE: return 0x39;
    case VK_CAPITAL: return 0x3A;
    case VK_F11: return 0x57;
    case VK_F12: return 0x58;
    case VK_HOME: return 0x147;
    case VK_UP: return 0x148;
    case VK_PRIOR: return 0x149;
    case VK_LEFT: return 0x14B;
    case VK_RIGHT: return 0x14D;
    case VK_END: return 0x14F;
    case VK_DOWN: return 0x150;
    case VK_NEXT: return 0x151;
    case VK_INSERT: return 0x152;
    case VK_DELETE: return 0x153;
    case VK_NUMPAD7: return 0x47;
    case VK_NUMPAD8: return 0x48;
    case VK_NUMPAD9: return 0x49;
    case VK_SUBTRACT: return 0x4A;
    case VK_NUMPAD4: return 0x4B;
    case VK_NUMPAD5: return 0x4C;
    case VK_NUMPAD6: return 0x4D;
    case VK_ADD: return 0x4E;
    case VK_NUMPAD1: return 0x4F;
    case VK_NUMPAD2: return 0x50;
    case VK_NUMPAD3: return 0x51;
    case VK_NUMPAD0: return 0x52;
    case VK_DECIMAL: return 0x53;
    case VK_DIVIDE: return 0x135;
    default: return 0;
  }
}

char characterOf(UINT vk, bool shift, bool capsLock) {
  if (vk >= 'A' && vk <= 'Z') {
    bool upper = shift != capsLock;
    return static_cast<char>(upper ? vk : vk - 'A' + 'a');
  }
  if (vk >= '0' && vk <= '9') {
    static const char shifted[] = ")!@#$%^&*(";
    return shift ? shifted[vk - '0'] : static_cast<char>(vk);
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<char>('0' + (vk - VK_NUMPAD0));
  switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_ESCAPE: return 27;
    case VK_BACK: return 8;
    case VK_TAB: return '\t';
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case VK_OEM_1: return shift ? ':' : ';';
    case VK_OEM_PLUS: return shift ? '+' : '=';
    case VK_OEM_COMMA: return shift ? '<' : ',';
    case VK_OEM_MINUS: return shift ? '_' : '-';
    case VK_OEM_PERIOD: return shift ? '>' : '.';
    case VK_OEM_2: return shift ? '?' : '/';
    case VK_OEM_3: return shift ? '~' : '`';
    case VK_OEM_4: return shift ? '{' : '[';
    case VK_OEM_5: return shift ? '|' : '\\';
    case VK_OEM_6: return shift ? '}' : ']';
    case VK_OEM_7: return shift ? '"' : '\'';
    default: return 0;
  }
}

}  // namespace user

using namespace user;

SHORT WINAPI GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 255) return 0;
  BYTE state = sys().keyState[nVirtKey];
  return static_cast<SHORT>(((state & 0x80) ? 0xFF80 : 0) | (state & 1));
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
  if (vKey < 0 || vKey > 255) return 0;
  System& s = sys();
  SHORT result = static_cast<SHORT>(((s.asyncKeyState[vKey] & 0x80) ? 0x8000 : 0) |
                                    (s.asyncPressedSinceQuery[vKey] ? 1 : 0));
  s.asyncPressedSinceQuery[vKey] = 0;
  return result;
}

BOOL WINAPI GetKeyboardState(PBYTE lpKeyState) {
  if (lpKeyState == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::copy(std::begin(sys().keyState), std::end(sys().keyState), lpKeyState);
  return TRUE;
}

HWND WINAPI SetCapture(HWND hWnd) {
  System& s = sys();
  HWND old = s.capture;
  Window* w = checkWindow(hWnd);
  if (w == nullptr || w->isDesktop) return nullptr;
  if (old == hWnd) return old;
  s.capture = hWnd;
  if (Window* ow = windowFromHandle(old))
    sendMessage(ow, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return old;
}

BOOL WINAPI ReleaseCapture(void) {
  System& s = sys();
  if (Window* w = windowFromHandle(s.capture)) releaseCaptureOf(w);
  s.capture = nullptr;
  return TRUE;
}

HWND WINAPI GetCapture(void) {
  System& s = sys();
  if (windowFromHandle(s.capture) == nullptr) s.capture = nullptr;
  return s.capture;
}

HWND WINAPI SetFocus(HWND hWnd) {
  System& s = sys();
  HWND old = windowFromHandle(s.focus) ? s.focus : nullptr;
  if (hWnd == nullptr) {
    setFocusTo(nullptr);
    return old;
  }
  Window* w = checkWindow(hWnd);
  if (w == nullptr || w->isDesktop) return nullptr;
  for (Window* a = w; a != nullptr && !a->isDesktop; a = a->parent)
    if (a->style & (WS_DISABLED | WS_MINIMIZE)) return nullptr;
  Window* top = topLevelOf(w);
  if (top != nullptr && s.active != top->handle) {
    activateWindow(top, WA_ACTIVE);
    if ((w = windowFromHandle(hWnd)) == nullptr) return nullptr;
  }
  old = windowFromHandle(s.focus) ? s.focus : nullptr;
  setFocusTo(w);
  return old;
}

HWND WINAPI GetFocus(void) {
  System& s = sys();
  return windowFromHandle(s.focus) ? s.focus : nullptr;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
  System& s = sys();
  HWND old = windowFromHandle(s.active) ? s.active : nullptr;
  if (hWnd == nullptr) {
    if (Window* a = windowFromHandle(old)) activateNext(a);
    return old;
  }
  Window* w = checkWindow(hWnd);
  if (w == nullptr || w->isDesktop) return nullptr;
  Window* top = topLevelOf(w);
  if (top != nullptr) activateWindow(top, WA_ACTIVE);
  return old;
}

HWND WINAPI GetActiveWindow(void) {
  System& s = sys();
  return windowFromHandle(s.active) ? s.active : nullptr;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  Window* w = checkWindow(hWnd);
  if (w == nullptr || w->isDesktop) return FALSE;
  activateWindow(topLevelOf(w), WA_ACTIVE);
  return TRUE;
}

HWND WINAPI GetForegroundWindow(void) { return GetActiveWindow(); }

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (lpPoint == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  desktopWindow();
  *lpPoint = sys().cursorPos;
  return TRUE;
}

BOOL WINAPI SetCursorPos(int X, int Y) {
  desktopWindow();
  POINT p = clampToScreen(POINT{X, Y});
  driver().setCursorPos(p);
  queueMouseMove(p);
  return TRUE;
}

HWND WINAPI WindowFromPoint(POINT Point) {
  desktopWindow();
  Window* w = windowAtPoint(Point);
  return w ? w->handle : nullptr;
}

HWND WINAPI ChildWindowFromPointEx(HWND hwnd, POINT pt, UINT flags) {
  Window* p = checkWindow(hwnd);
  if (p == nullptr) return nullptr;
  RECT c{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
  if (p->isDesktop) c = p->client;
  if (pt.x < c.left || pt.x >= c.right || pt.y < c.top || pt.y >= c.bottom) return nullptr;
  POINT screen = pt;
  ClientToScreen(hwnd, &screen);
  for (Window* ch : p->children) {
    if ((flags & CWP_SKIPINVISIBLE) && !(ch->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (ch->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (ch->exStyle & WS_EX_TRANSPARENT)) continue;
    if (shapeContainsScreen(ch, screen)) return ch->handle;
  }
  return hwnd;
}

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point) {
  return ChildWindowFromPointEx(hWndParent, Point, CWP_ALL);
}

UINT WINAPI MapVirtualKeyA(UINT uCode, UINT uMapType) {
  switch (uMapType) {
    case MAPVK_VK_TO_VSC: return scanCodeOf(uCode) & 0xFF;
    case MAPVK_VSC_TO_VK:
      for (UINT vk = 1; vk < 256; ++vk)
        if ((scanCodeOf(vk) & 0xFF) == uCode && scanCodeOf(vk) < 0x100) return genericOf(vk);
      return 0;
    case MAPVK_VK_TO_CHAR: {
      char c = characterOf(uCode, false, false);
      return (uCode >= 'A' && uCode <= 'Z') ? uCode : static_cast<UINT>(static_cast<unsigned char>(c));
    }
    default: return 0;
  }
}

void WINAPI keybd_event(BYTE bVk, BYTE bScan, DWORD dwFlags, ULONG_PTR) {
  desktopWindow();
  queueKey(bVk, bScan | ((dwFlags & KEYEVENTF_EXTENDEDKEY) ? 0x100 : 0), !(dwFlags & KEYEVENTF_KEYUP), 0);
}

void WINAPI mouse_event(DWORD dwFlags, DWORD dx, DWORD dy, DWORD, ULONG_PTR) {
  desktopWindow();
  System& s = sys();
  POINT p = s.cursorPos;
  if (dwFlags & MOUSEEVENTF_MOVE) {
    if (dwFlags & MOUSEEVENTF_ABSOLUTE) {
      SIZE size = driver().screenSize();
      p.x = static_cast<LONG>(static_cast<int64_t>(dx) * size.cx / 65536);
      p.y = static_cast<LONG>(static_cast<int64_t>(dy) * size.cy / 65536);
    } else {
      // Relative moves are signed; the sum is clamped to the screen afterwards.
      p.x = static_cast<LONG>(std::clamp<int64_t>(p.x + static_cast<int64_t>(static_cast<LONG>(dx)), INT32_MIN, INT32_MAX));
      p.y = static_cast<LONG>(std::clamp<int64_t>(p.y + static_cast<int64_t>(static_cast<LONG>(dy)), INT32_MIN, INT32_MAX));
    }
    queueMouseMove(p);
  }
  if (dwFlags & MOUSEEVENTF_LEFTDOWN) queueMouseButton(0, true, s.cursorPos);
  if (dwFlags & MOUSEEVENTF_LEFTUP) queueMouseButton(0, false, s.cursorPos);
  if (dwFlags & MOUSEEVENTF_RIGHTDOWN) queueMouseButton(1, true, s.cursorPos);
  if (dwFlags & MOUSEEVENTF_RIGHTUP) queueMouseButton(1, false, s.cursorPos);
  if (dwFlags & MOUSEEVENTF_MIDDLEDOWN) queueMouseButton(2, true, s.cursorPos);
  if (dwFlags & MOUSEEVENTF_MIDDLEUP) queueMouseButton(2, false, s.cursorPos);
}
