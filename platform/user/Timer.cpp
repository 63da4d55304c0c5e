// Timers. They fire only from a message loop: GetMessage/PeekMessage hand out WM_TIMER when
// nothing else is waiting, and DispatchMessage runs the callback. A due timer fires once however
// late it is, and its next tick is one interval after it was taken. SetTimer on a window returns
// the identifier given (1 when that is 0).
#include <windows.h>

#include <algorithm>

#include "user/WindowSystem.h"

namespace user {

void killWindowTimers(HWND hwnd) {
  auto& timers = sys().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
               timers.end());
}

}  // namespace user

using namespace user;

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  System& s = sys();
  desktopWindow();
  if (hWnd != nullptr && checkWindow(hWnd) == nullptr) return 0;
  uElapse = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  if (hWnd == nullptr) {
    // Thread timers: an existing identifier is replaced, otherwise a fresh one is made.
    auto it = std::find_if(s.timers.begin(), s.timers.end(),
                           [&](const Timer& t) { return t.hwnd == nullptr && t.id == nIDEvent; });
    if (nIDEvent == 0 || it == s.timers.end()) {
      do {
        nIDEvent = s.nextThreadTimerId++;
        if (s.nextThreadTimerId > 0x7FFF) s.nextThreadTimerId = 1;
      } while (std::any_of(s.timers.begin(), s.timers.end(),
                           [&](const Timer& t) { return t.hwnd == nullptr && t.id == nIDEvent; }));
      it = s.timers.end();
    }
    if (it == s.timers.end()) {
      s.timers.push_back(Timer{nullptr, nIDEvent, uElapse, lpTimerFunc, tickNow() + uElapse});
    } else {
      it->interval = uElapse;
      it->proc = lpTimerFunc;
      it->due = tickNow() + uElapse;
    }
    return nIDEvent;
  }
  auto it = std::find_if(s.timers.begin(), s.timers.end(),
                         [&](const Timer& t) { return t.hwnd == hWnd && t.id == nIDEvent; });
  if (it == s.timers.end()) {
    s.timers.push_back(Timer{hWnd, nIDEvent, uElapse, lpTimerFunc, tickNow() + uElapse});
  } else {
    it->interval = uElapse;
    it->proc = lpTimerFunc;
    it->due = tickNow() + uElapse;
  }
  return nIDEvent != 0 ? nIDEvent : 1;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  System& s = sys();
  if (hWnd != nullptr && checkWindow(hWnd) == nullptr) return FALSE;
  auto it = std::find_if(s.timers.begin(), s.timers.end(),
                         [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
  if (it == s.timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  s.timers.erase(it);
  return TRUE;
}
