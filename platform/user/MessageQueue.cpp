// The message queue of the user-interface thread. Messages come out in Windows' order: posted
// messages, then input, then WM_QUIT, then WM_PAINT, then WM_TIMER. Input is routed when it is
// taken from the queue, so a capture or focus set while handling one input message decides where
// the next one goes. A mouse press on a disabled child goes to its nearest enabled ancestor; on a
// disabled top-level window it is dropped. Consecutive pointer moves are merged.
#include <windows.h>

#include <algorithm>
#include <optional>

#include "user/WindowSystem.h"

namespace user {

Window* windowAtPoint(POINT screen);

namespace {

struct LastKey {
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  char character = 0;
} lastKey;

bool inRange(UINT msg, UINT first, UINT last) {
  if (first == 0 && last == 0) return true;
  if (first <= last) return msg >= first && msg <= last;
  return msg >= first || msg <= last;
}

bool matches(HWND msgHwnd, UINT msg, HWND filter, UINT first, UINT last) {
  if (filter == reinterpret_cast<HWND>(-1)) {
    if (msgHwnd != nullptr) return false;
  } else if (filter != nullptr) {
    if (msgHwnd != filter && !IsChild(filter, msgHwnd)) return false;
  }
  return inRange(msg, first, last);
}

WPARAM mouseKeyFlags(const BYTE* state) {
  WPARAM f = 0;
  if (state[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
  if (state[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
  if (state[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
  if (state[VK_SHIFT] & 0x80) f |= MK_SHIFT;
  if (state[VK_CONTROL] & 0x80) f |= MK_CONTROL;
  return f;
}

void setKey(BYTE* state, UINT vk, bool down) {
  if (down) {
    if (!(state[vk] & 0x80)) state[vk] ^= 1;
    state[vk] |= 0x80;
  } else {
    state[vk] &= ~0x80;
  }
}

UINT genericKey(UINT vk) {
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

// Turns one input event into the message it becomes. With commit, the key state, double-click
// memory and pointer messages (WM_MOUSEACTIVATE, WM_SETCURSOR) take effect; without, nothing
// changes. An empty result means the event is dropped (or eaten by WM_MOUSEACTIVATE).
std::optional<MSG> routeInput(const InputEvent& ev, bool commit) {
  System& s = sys();
  MSG m{};
  m.time = ev.time;
  m.pt = ev.pt;
  if (ev.kind == InputKind::Key) {
    BYTE state[256];
    std::copy(std::begin(s.keyState), std::end(s.keyState), state);
    UINT vk = genericKey(ev.vk);
    bool wasDown = (state[vk] & 0x80) != 0;
    bool altBefore = (state[VK_MENU] & 0x80) != 0;
    setKey(state, vk, ev.down);
    if (vk != ev.vk) setKey(state, ev.vk, ev.down);
    if (commit) std::copy(std::begin(state), std::end(state), s.keyState);
    Window* target = windowFromHandle(s.focus);
    bool noFocus = target == nullptr;
    if (noFocus) target = windowFromHandle(s.active);
    if (target == nullptr) return std::nullopt;
    bool alt = ev.down ? (state[VK_MENU] & 0x80) != 0 : altBefore;
    bool ctrl = (state[VK_CONTROL] & 0x80) != 0;
    bool sys = (alt && !ctrl) || vk == VK_F10 || noFocus;
    m.hwnd = target->handle;
    m.message = ev.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    m.wParam = vk;
    LPARAM lp = 1 | (static_cast<LPARAM>(ev.scan & 0xFF) << 16);
    if (ev.scan & 0x100) lp |= 1 << 24;
    if (alt && !ctrl) lp |= 1 << 29;
    if (ev.down ? wasDown : true) lp |= 1 << 30;
    if (!ev.down) lp |= static_cast<LPARAM>(1u << 31);
    m.lParam = static_cast<LPARAM>(static_cast<DWORD>(lp));
    if (commit) lastKey = LastKey{m.wParam, m.lParam, m.time, ev.character};
    return m;
  }

  BYTE state[256];
  std::copy(std::begin(s.keyState), std::end(s.keyState), state);
  static const UINT vks[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
  static const UINT downs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  if (ev.kind == InputKind::MouseButton) setKey(state, vks[ev.button], ev.down);
  if (commit) std::copy(std::begin(state), std::end(state), s.keyState);

  Window* target = windowFromHandle(s.capture);
  LRESULT hit = HTCLIENT;
  if (target == nullptr) {
    target = windowAtPoint(ev.pt);
    // The children of a disabled window are disabled with it: the input goes to the window just
    // above the topmost disabled one on the way up, and nowhere when that one is top-level.
    for (Window* a = target; a != nullptr && !a->isDesktop; a = a->parent) {
      if (!(a->style & WS_DISABLED)) continue;
      if (a->isTopLevel()) return std::nullopt;
      target = a->parent;
    }
    if (target == nullptr) return std::nullopt;
    HWND h = target->handle;
    hit = sendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(ev.pt.x, ev.pt.y));
    if ((target = windowFromHandle(h)) == nullptr) return std::nullopt;
    while (hit == HTTRANSPARENT && target->isChild()) {
      target = target->parent;
      h = target->handle;
      hit = sendMessage(target, WM_NCHITTEST, 0, MAKELPARAM(ev.pt.x, ev.pt.y));
      if ((target = windowFromHandle(h)) == nullptr) return std::nullopt;
    }
  }
  bool client = hit == HTCLIENT;
  UINT msg = WM_MOUSEMOVE;
  if (ev.kind == InputKind::MouseButton) msg = downs[ev.button] + (ev.down ? 0 : 1);
  bool isDouble = false;
  if (ev.kind == InputKind::MouseButton && ev.down) {
    bool classAllows = !client || (target->cls && (target->cls->style & CS_DBLCLKS));
    isDouble = classAllows && !s.lastWasDouble && s.lastClickWindow == target->handle &&
               s.lastClickMessage == msg &&
               static_cast<DWORD>(ev.time - s.lastClickTime) <= GetDoubleClickTime() &&
               std::abs(ev.pt.x - s.lastClickPos.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
               std::abs(ev.pt.y - s.lastClickPos.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (commit) {
      s.lastClickWindow = target->handle;
      s.lastClickMessage = msg;
      s.lastClickTime = ev.time;
      s.lastClickPos = ev.pt;
      s.lastWasDouble = isDouble;
    }
    if (isDouble) msg += 2;
  }
  m.hwnd = target->handle;
  if (client) {
    POINT o = clientOriginScreen(target);
    m.message = msg;
    m.wParam = mouseKeyFlags(state);
    m.lParam = MAKELPARAM(static_cast<WORD>(ev.pt.x - o.x), static_cast<WORD>(ev.pt.y - o.y));
  } else {
    m.message = msg - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    m.wParam = static_cast<WPARAM>(hit);
    m.lParam = MAKELPARAM(ev.pt.x, ev.pt.y);
  }
  if (!commit || windowFromHandle(s.capture) != nullptr) return m;

  HWND h = target->handle;
  Window* top = topLevelOf(target);
  if (ev.kind == InputKind::MouseButton && ev.down && top != nullptr && s.active != top->handle) {
    LRESULT r = sendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle),
                            MAKELPARAM(hit, msg));
    if ((r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) && windowFromHandle(top->handle) != nullptr)
      activateWindow(top, WA_CLICKACTIVE);
    if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) return std::nullopt;
    if ((target = windowFromHandle(h)) == nullptr) return std::nullopt;
  }
  sendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(hit, msg));
  if ((target = windowFromHandle(h)) == nullptr) return std::nullopt;
  if (client && ev.kind == InputKind::MouseButton && ev.down && target->isChild()) {
    parentNotify(target, MAKEWPARAM(msg, 0), MAKELPARAM(ev.pt.x, ev.pt.y), true);
    if (windowFromHandle(h) == nullptr) return std::nullopt;
  }
  return m;
}

void noteRetrieved(const MSG& m) {
  System& s = sys();
  s.messageTime = m.time;
  s.messagePos = m.pt;
}

}  // namespace

bool nextTimerDue(DWORD& due) {
  System& s = sys();
  if (s.timers.empty()) return false;
  DWORD now = tickNow();
  int32_t best = INT32_MAX;
  for (const Timer& t : s.timers) best = std::min(best, static_cast<int32_t>(t.due - now));
  due = now + static_cast<DWORD>(best);
  return true;
}

namespace {

bool takeWaiting(MSG* out, HWND hwnd, UINT first, UINT last, UINT remove) {
  System& s = sys();
  driver().pumpEvents();
  bool take = (remove & PM_REMOVE) != 0;

  for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
    if (!matches(it->hwnd, it->message, hwnd, first, last)) continue;
    *out = *it;
    if (take) s.posted.erase(it);
    noteRetrieved(*out);
    return true;
  }

  while (!s.input.empty()) {
    InputEvent ev = s.input.front();
    std::optional<MSG> preview = routeInput(ev, false);
    if (preview && !matches(preview->hwnd, preview->message, hwnd, first, last)) break;
    if (!take) {
      if (!preview) {
        s.input.pop_front();
        routeInput(ev, true);
        continue;
      }
      *out = *preview;
      noteRetrieved(*out);
      return true;
    }
    s.input.pop_front();
    std::optional<MSG> m = routeInput(ev, true);
    if (!m) continue;
    *out = *m;
    noteRetrieved(*out);
    return true;
  }

  if (s.quitPosted) {
    *out = MSG{};
    out->message = WM_QUIT;
    out->wParam = static_cast<WPARAM>(s.quitCode);
    out->time = tickNow();
    out->pt = s.cursorPos;
    if (take) s.quitPosted = false;
    return true;
  }

  if (hwnd != reinterpret_cast<HWND>(-1) && inRange(WM_PAINT, first, last)) {
    if (Window* w = findWindowToPaint(s.desktop, hwnd)) {
      *out = MSG{};
      out->hwnd = w->handle;
      out->message = WM_PAINT;
      out->time = tickNow();
      out->pt = s.cursorPos;
      noteRetrieved(*out);
      return true;
    }
  }

  if (inRange(WM_TIMER, first, last)) {
    DWORD now = tickNow();
    Timer* best = nullptr;
    for (Timer& t : s.timers) {
      if (static_cast<int32_t>(now - t.due) < 0) continue;
      if (!matches(t.hwnd, WM_TIMER, hwnd, first, last)) continue;
      if (best == nullptr || static_cast<int32_t>(t.due - best->due) < 0) best = &t;
    }
    if (best != nullptr) {
      *out = MSG{};
      out->hwnd = best->hwnd;
      out->message = WM_TIMER;
      out->wParam = best->id;
      out->lParam = reinterpret_cast<LPARAM>(best->proc);
      out->time = now;
      out->pt = s.cursorPos;
      if (take) best->due = now + best->interval;
      noteRetrieved(*out);
      return true;
    }
  }
  return false;
}

}  // namespace

bool peekMessage(MSG* out, HWND hwnd, UINT first, UINT last, UINT remove) {
  System& s = sys();
  desktopWindow();
  if (takeWaiting(out, hwnd, first, last, remove)) return true;
  ++s.idlePolls;
  if (s.onIdle) {
    // A copy: the hook may replace itself.
    std::function<void()> hook = s.onIdle;
    hook();
    if (takeWaiting(out, hwnd, first, last, remove)) return true;
  }
  flushPresentation();
  return false;
}

}  // namespace user

using namespace user;

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
  if (lpMsg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) && checkWindow(hWnd) == nullptr)
    return FALSE;
  return peekMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (lpMsg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) && checkWindow(hWnd) == nullptr)
    return -1;
  for (;;) {
    if (peekMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE))
      return lpMsg->message == WM_QUIT ? FALSE : TRUE;
    if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) && windowFromHandle(hWnd) == nullptr) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
    DWORD due;
    int timeout = -1;
    if (nextTimerDue(due)) timeout = std::max<int32_t>(0, static_cast<int32_t>(due - tickNow()));
    driver().waitForEvents(timeout);
  }
}

BOOL WINAPI WaitMessage(void) {
  MSG m;
  if (peekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
  DWORD due;
  int timeout = -1;
  if (nextTimerDue(due)) timeout = std::max<int32_t>(0, static_cast<int32_t>(due - tickNow()));
  driver().waitForEvents(timeout);
  return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (lpMsg == nullptr) return FALSE;
  if (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN) return FALSE;
  System& s = sys();
  bool shift = (s.keyState[VK_SHIFT] & 0x80) != 0;
  bool ctrl = (s.keyState[VK_CONTROL] & 0x80) != 0;
  bool alt = (s.keyState[VK_MENU] & 0x80) != 0;
  bool caps = (s.keyState[VK_CAPITAL] & 1) != 0;
  UINT vk = static_cast<UINT>(lpMsg->wParam);
  char c = 0;
  if (lastKey.wParam == lpMsg->wParam && lastKey.lParam == lpMsg->lParam &&
      lastKey.time == lpMsg->time && lastKey.character != 0) {
    c = lastKey.character;
  } else if (ctrl && alt) {
    c = 0;
  } else if (ctrl) {
    if (vk >= 'A' && vk <= 'Z') c = static_cast<char>(vk - 'A' + 1);
    else if (vk == VK_OEM_4) c = 27;
    else if (vk == VK_OEM_5) c = 28;
    else if (vk == VK_OEM_6) c = 29;
    else if (vk == VK_BACK) c = 127;
    else if (vk == VK_RETURN) c = 10;
    else if (vk == VK_ESCAPE || vk == VK_SPACE) c = characterOf(vk, shift, caps);
  } else {
    c = characterOf(vk, shift, caps);
  }
  if (c == 0) return FALSE;
  MSG m = *lpMsg;
  m.message = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  m.wParam = static_cast<unsigned char>(c);
  s.posted.push_front(m);
  return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (lpMsg == nullptr) return 0;
  System& s = sys();
  if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
    // Only a callback of a live timer runs: a killed timer's message that was already taken
    // from the queue is dropped.
    auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
    bool live = std::any_of(s.timers.begin(), s.timers.end(), [&](const Timer& t) {
      return t.hwnd == lpMsg->hwnd && t.id == lpMsg->wParam && t.proc == proc;
    });
    if (!live) return 0;
    ++s.procDepth;
    proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, tickNow());
    --s.procDepth;
    if (s.procDepth == 0) collectGraveyard();
    return 0;
  }
  if (lpMsg->hwnd == nullptr) return 0;
  Window* w = checkWindow(lpMsg->hwnd);
  if (w == nullptr) return 0;
  if (lpMsg->message == WM_TIMER) {
    bool live = std::any_of(s.timers.begin(), s.timers.end(), [&](const Timer& t) {
      return t.hwnd == lpMsg->hwnd && t.id == lpMsg->wParam;
    });
    if (!live) return 0;
  }
  const LRESULT result = sendMessage(w, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
  noteSelectionAfter(lpMsg->hwnd, lpMsg->message);
  return result;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd == HWND_BROADCAST) {
    std::vector<HWND> tops;
    for (Window* t : desktopWindow()->children) tops.push_back(t->handle);
    for (HWND t : tops)
      if (Window* w = windowFromHandle(t)) sendMessage(w, Msg, wParam, lParam);
    return 0;
  }
  Window* w = checkWindow(hWnd);
  if (w == nullptr) return 0;
  return sendMessage(w, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  System& s = sys();
  desktopWindow();
  MSG m{};
  m.message = Msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = tickNow();
  m.pt = s.cursorPos;
  if (hWnd == HWND_BROADCAST) {
    for (Window* t : s.desktop->children) {
      m.hwnd = t->handle;
      s.posted.push_back(m);
    }
    return TRUE;
  }
  if (hWnd != nullptr && checkWindow(hWnd) == nullptr) return FALSE;
  m.hwnd = hWnd;
  s.posted.push_back(m);
  return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
  System& s = sys();
  s.quitPosted = true;
  s.quitCode = nExitCode;
}

DWORD WINAPI GetMessageTime(void) { return sys().messageTime; }

DWORD WINAPI GetMessagePos(void) {
  POINT p = sys().messagePos;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

DWORD WINAPI GetQueueStatus(UINT flags) {
  System& s = sys();
  desktopWindow();
  DWORD status = 0;
  if (!s.posted.empty() || s.quitPosted) status |= QS_POSTMESSAGE;
  for (const InputEvent& ev : s.input)
    status |= ev.kind == InputKind::Key ? QS_KEY
              : ev.kind == InputKind::MouseMove ? QS_MOUSEMOVE : QS_MOUSEBUTTON;
  if (findWindowToPaint(s.desktop, nullptr)) status |= QS_PAINT;
  DWORD due;
  if (nextTimerDue(due) && static_cast<int32_t>(tickNow() - due) >= 0) status |= QS_TIMER;
  status &= flags;
  return (status << 16) | status;
}

BOOL WINAPI InSendMessage(void) { return FALSE; }
