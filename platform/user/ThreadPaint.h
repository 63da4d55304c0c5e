// Painting a window from a thread other than the user-interface thread, as the common controls'
// animation does while the program's thread is blocked: GetDC, SetDIBitsToDevice and ReleaseDC
// work there; everything else of the window system stays on the user-interface thread.
#pragma once

#include <windows.h>

#include "user/WindowSystem.h"

namespace user {

// Whether the caller runs on the user-interface thread (the process's first thread).
bool onUiThread();

// User-interface thread: records where a window's client area lies on its top-level window and
// which part of it shows, as of now, for other threads' DCs (at every paint of the window);
// brings the recorded windows of a top-level window up to date after a change of geometry;
// forgets a window that dies; and writes what other threads drew into the top-level surfaces,
// so later presents keep it.
void publishThreadView(Window* w);
void refreshThreadViews(Window* top);
void forgetThreadView(HWND hwnd);
void mergeThreadPaint();

// Any other thread.
HDC threadGetDC(HWND hwnd);
int threadReleaseDC(HDC hdc);

}  // namespace user
