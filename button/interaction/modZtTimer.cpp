// The hover timer's callback. Timers call a free function, so the button is found again through
// the "zt_ClassID" property of the window the timer runs on, and the timer to stop through
// "zt_TimerID". The identifier the system passes stands in only where a property is missing: a
// timer whose window no longer names a button is stopped rather than left ticking.
#include "button/ztButtons_H.h"

#include <cstdint>

void CALLBACK HoverTimerProc(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime) {
  (void)uMsg;
  (void)dwTime;
  auto* button = static_cast<ztButtons_H*>(GetPropA(hWnd, "zt_ClassID"));
  if (!button) {
    KillTimer(hWnd, idEvent);
    return;
  }
  auto timerId = static_cast<int32_t>(reinterpret_cast<intptr_t>(GetPropA(hWnd, "zt_TimerID")));
  if (timerId == 0) timerId = static_cast<int32_t>(idEvent);
  button->CheckHoverExit(timerId);
}
