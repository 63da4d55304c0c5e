// The full repaint of a small window on a real X server: a 312 x 124 window with two 61 x 25
// children is invalidated whole, every window repaints, and the result goes to the server.
// The bench runs its own Xvfb (so it never draws on a desktop); without Xvfb it uses $DISPLAY,
// and without either it skips.
#include <benchmark/benchmark.h>
#include <windows.h>

#include "PrivateXvfb.h"

namespace {

PrivateXvfb xvfb;

LRESULT CALLBACK paintProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    const bool child = GetParent(hwnd) != nullptr;
    HBRUSH face = CreateSolidBrush(child ? RGB(192, 192, 192) : RGB(212, 208, 200));
    FillRect(dc, &r, face);
    DeleteObject(face);
    if (child) {
      // A button-like bevel: a light and a dark edge.
      HPEN light = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
      HPEN dark = CreatePen(PS_SOLID, 1, RGB(64, 64, 64));
      HGDIOBJ old = SelectObject(dc, light);
      MoveToEx(dc, 0, r.bottom - 1, nullptr);
      LineTo(dc, 0, 0);
      LineTo(dc, r.right - 1, 0);
      SelectObject(dc, dark);
      LineTo(dc, r.right - 1, r.bottom - 1);
      LineTo(dc, 0, r.bottom - 1);
      SelectObject(dc, old);
      DeleteObject(light);
      DeleteObject(dark);
    }
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void BM_FullRepaint(benchmark::State& state) {
  if (xvfb.display().empty()) {
    state.SkipWithError("no X display: Xvfb could not start and DISPLAY is not set");
    return;
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = paintProc;
  wc.lpszClassName = "X11RepaintBench";
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "X11RepaintBench", "Repaint", WS_POPUP, 100, 100, 312, 124,
                             nullptr, nullptr, nullptr, nullptr);
  if (top == nullptr) {
    state.SkipWithError("CreateWindowExA failed");
    return;
  }
  CreateWindowExA(0, "X11RepaintBench", "", WS_CHILD | WS_VISIBLE, 80, 88, 61, 25, top, nullptr,
                  nullptr, nullptr);
  CreateWindowExA(0, "X11RepaintBench", "", WS_CHILD | WS_VISIBLE, 170, 88, 61, 25, top, nullptr,
                  nullptr, nullptr);
  ShowWindow(top, SW_SHOW);
  UpdateWindow(top);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);

  for (auto _ : state) {
    RedrawWindow(top, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // The message loop is where presentation and the X connection are served.
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
  DestroyWindow(top);
  UnregisterClassA("X11RepaintBench", nullptr);
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
