// The window system's hot paths on the headless driver: one posted message through the queue,
// and the full repaint of a window the size of the result window with its two buttons.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK countingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  static volatile int seen = 0;
  if (msg == WM_USER) {
    seen = seen + 1;
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK buttonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void registerClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  setenv("CORVANE_DRIVER", "headless", 1);
  WNDCLASSA wc{};
  wc.lpfnWndProc = countingProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
  wc.lpszClassName = "BenchWindow";
  RegisterClassA(&wc);
  wc.lpfnWndProc = buttonProc;
  wc.lpszClassName = "BenchButton";
  RegisterClassA(&wc);
}

void drain() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

void BM_PostGetDispatch(benchmark::State& state) {
  registerClasses();
  HWND w = CreateWindowExA(0, "BenchWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                           nullptr, nullptr);
  drain();
  MSG m;
  for (auto _ : state) {
    PostMessageA(w, WM_USER, 1, 2);
    GetMessageA(&m, nullptr, 0, 0);
    DispatchMessageA(&m);
  }
  DestroyWindow(w);
}
BENCHMARK(BM_PostGetDispatch);

void BM_FullRepaintWithTwoChildren(benchmark::State& state) {
  registerClasses();
  HWND w = CreateWindowExA(0, "BenchWindow", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 312, 124,
                           nullptr, nullptr, nullptr, nullptr);
  CreateWindowExA(0, "BenchButton", "", WS_CHILD | WS_VISIBLE, 80, 88, 61, 25, w, nullptr, nullptr, nullptr);
  CreateWindowExA(0, "BenchButton", "", WS_CHILD | WS_VISIBLE, 170, 88, 61, 25, w, nullptr, nullptr, nullptr);
  drain();
  for (auto _ : state) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  DestroyWindow(w);
}
BENCHMARK(BM_FullRepaintWithTwoChildren);

}  // namespace
