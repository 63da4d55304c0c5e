// The full repaint of a small window on a real X server: a 312 x 124 window with two 61 x 25
// children is invalidated whole, every window repaints, and the result goes to the server.
// The bench runs its own Xvfb (so it never draws on a desktop); without Xvfb it uses $DISPLAY,
// and without either it skips.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class PrivateXvfb {
 public:
  // DISPLAY for the bench, or an empty string when no display can be had.
  const std::string& display() {
    if (!tried_) {
      tried_ = true;
      start();
      if (display_.empty() && std::getenv("DISPLAY") != nullptr) display_ = std::getenv("DISPLAY");
      if (!display_.empty()) {
        setenv("DISPLAY", display_.c_str(), 1);
        unsetenv("CORVANE_DRIVER");
      }
    }
    return display_;
  }

  ~PrivateXvfb() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  void start() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ < 0) {
      close(fds[0]);
      close(fds[1]);
      pid_ = 0;
      return;
    }
    if (pid_ == 0) {
      close(fds[0]);
      const int null = open("/dev/null", O_WRONLY);
      if (null >= 0) {
        dup2(null, 1);
        dup2(null, 2);
      }
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
             "1024x768x24", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number once it accepts clients.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && poll(&p, 1, 10000) > 0) {
      char buffer[16];
      const ssize_t n = read(fds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      number.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (number.empty() || number.find('\n') == std::string::npos) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
      pid_ = 0;
      return;
    }
    display_ = ":" + number.substr(0, number.find('\n'));
  }

  bool tried_ = false;
  pid_t pid_ = 0;
  std::string display_;
};

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
