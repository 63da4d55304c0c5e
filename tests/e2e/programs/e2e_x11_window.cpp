// A titled top-level window with one child, driven by x11_input.sh through the X server: the
// child must see the click at the right client coordinates, the window a typed key, an
// Alt+letter as system keys, a character outside the US layout and a control character. Exits 0 when all arrived, 1 when the time is up or a message was
// wrong, and prints what it saw either way.
//
// Usage: e2e_x11_window TITLE [SECONDS]
//        e2e_x11_window --screen
// The second form checks the screen as GetDC(NULL) reads it: a coloured popup shows where it
// was put, and covers the whole screen once it is moved to cover it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Where the child sits in the client area and where the script clicks inside it.
constexpr int kChildX = 40, kChildY = 30, kChildW = 100, kChildH = 60;
constexpr int kClickX = 25, kClickY = 15;

struct Seen {
  bool childDown = false, childUp = false;
  bool keyDown = false, keyChar = false;
  bool sysKeyDown = false, sysChar = false;
  bool accentChar = false, controlChar = false;
  bool wrong = false;
  bool all() const {
    return childDown && childUp && keyDown && keyChar && sysKeyDown && sysChar && accentChar &&
           controlChar;
  }
};

Seen seen;
HWND child = nullptr;

void fail(const char* what, WPARAM w, LPARAM l) {
  std::printf("unexpected %s: wParam=0x%lx lParam=0x%lx\n", what, static_cast<unsigned long>(w),
              static_cast<unsigned long>(l));
  seen.wrong = true;
}

void check(const MSG& m) {
  const int x = static_cast<short>(LOWORD(m.lParam)), y = static_cast<short>(HIWORD(m.lParam));
  switch (m.message) {
    case WM_LBUTTONDOWN:
      std::printf("WM_LBUTTONDOWN %s %d,%d\n", m.hwnd == child ? "child" : "other", x, y);
      if (m.hwnd != child || x != kClickX || y != kClickY || (m.wParam & MK_LBUTTON) == 0) {
        fail("WM_LBUTTONDOWN", m.wParam, m.lParam);
      }
      seen.childDown = true;
      break;
    case WM_LBUTTONUP:
      std::printf("WM_LBUTTONUP %s %d,%d\n", m.hwnd == child ? "child" : "other", x, y);
      if (m.hwnd != child || x != kClickX || y != kClickY || (m.wParam & MK_LBUTTON) != 0) {
        fail("WM_LBUTTONUP", m.wParam, m.lParam);
      }
      seen.childUp = true;
      break;
    case WM_KEYDOWN:
      std::printf("WM_KEYDOWN 0x%lx lParam 0x%lx\n", static_cast<unsigned long>(m.wParam),
                  static_cast<unsigned long>(m.lParam));
      if (m.wParam == 'K') {
        // Repeat count 1, the scan code of K, no context bit, not a repeat.
        if ((m.lParam & 0xFFFF) != 1 || ((m.lParam >> 16) & 0xFF) != 0x25 || (m.lParam & (1 << 29))) {
          fail("WM_KEYDOWN lParam", m.wParam, m.lParam);
        }
        seen.keyDown = true;
      }
      break;
    case WM_CHAR:
      std::printf("WM_CHAR 0x%lx\n", static_cast<unsigned long>(m.wParam));
      if (m.wParam == 'k') {
        seen.keyChar = true;
      } else if (m.wParam == 0xE9) {  // e acute, a key no US keyboard has
        seen.accentChar = true;
      } else if (m.wParam == 0x02) {  // Ctrl+B
        seen.controlChar = true;
      } else {
        fail("WM_CHAR", m.wParam, m.lParam);
      }
      break;
    case WM_SYSKEYDOWN:
      std::printf("WM_SYSKEYDOWN 0x%lx lParam 0x%lx\n", static_cast<unsigned long>(m.wParam),
                  static_cast<unsigned long>(m.lParam));
      if (m.wParam == 'X') {
        if ((m.lParam & (1 << 29)) == 0) fail("WM_SYSKEYDOWN without Alt context", m.wParam, m.lParam);
        seen.sysKeyDown = true;
      }
      break;
    case WM_SYSCHAR:
      std::printf("WM_SYSCHAR 0x%lx\n", static_cast<unsigned long>(m.wParam));
      if (m.wParam != 'x') fail("WM_SYSCHAR", m.wParam, m.lParam);
      seen.sysChar = true;
      break;
    default:
      break;
  }
  std::fflush(stdout);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY && GetParent(hwnd) == nullptr) PostQuitMessage(0);
  // Alt+X must not reach a menu loop: the test only wants the messages.
  if (msg == WM_SYSCHAR || msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) return 0;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

COLORREF screenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

int screenTest() {
  constexpr COLORREF kColour = RGB(200, 30, 60);
  HBRUSH brush = CreateSolidBrush(kColour);
  WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hbrBackground = brush;
  wc.lpszClassName = "E2EScreen";
  RegisterClassA(&wc);
  HWND popup = CreateWindowExA(0, "E2EScreen", "Corvane screen test", WS_POPUP, 100, 120, 200, 80,
                               nullptr, nullptr, nullptr, nullptr);
  if (popup == nullptr) return 1;
  ShowWindow(popup, SW_SHOW);
  UpdateWindow(popup);
  pump();
  int failures = 0;
  auto expect = [&failures](const char* what, int x, int y, bool inside) {
    const COLORREF c = screenPixel(x, y);
    const bool ok = inside ? c == kColour : c != kColour && c != CLR_INVALID;
    std::printf("%s (%d,%d): 0x%06lx %s\n", what, x, y, static_cast<unsigned long>(c),
                ok ? "ok" : "WRONG");
    if (!ok) ++failures;
  };
  expect("popup corner", 100, 120, true);
  expect("popup far corner", 299, 199, true);
  expect("left of the popup", 99, 150, false);
  expect("below the popup", 150, 200, false);

  // Moved over the whole screen it becomes a full-screen window, as the scramble effect needs.
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  SetWindowPos(popup, HWND_TOP, 0, 0, cx, cy, SWP_SHOWWINDOW);
  UpdateWindow(popup);
  pump();
  expect("screen corner", 0, 0, true);
  expect("screen far corner", cx - 1, cy - 1, true);
  std::printf("screen %dx%d\n", cx, cy);
  std::fflush(stdout);
  // The script looks at the X window now; wait for it to say so by closing the window.
  const DWORD deadline = GetTickCount() + 15000;
  SetTimer(popup, 1, 100, nullptr);
  MSG msg;
  while (IsWindow(popup) && GetTickCount() < deadline && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    DispatchMessageA(&msg);
  }
  const bool closed = !IsWindow(popup);
  if (!closed) {
    std::printf("the window was not closed\n");
    DestroyWindow(popup);
    ++failures;
  }
  DeleteObject(brush);
  std::printf("%s\n", failures == 0 ? "passed" : "failed");
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--screen") return screenTest();
  const char* title = argc > 1 ? argv[1] : "Corvane input test";
  const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 30;

  WNDCLASSA top{};
  top.lpfnWndProc = windowProc;
  top.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  top.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  top.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  top.lpszClassName = "E2ETop";
  WNDCLASSA inner = top;
  inner.lpszClassName = "E2EChild";
  inner.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  if (!RegisterClassA(&top) || !RegisterClassA(&inner)) {
    std::printf("RegisterClassA failed: %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  HWND window = CreateWindowExA(0, "E2ETop", title, WS_OVERLAPPEDWINDOW, 60, 50, 320, 240,
                                nullptr, nullptr, nullptr, nullptr);
  if (window == nullptr) {
    std::printf("CreateWindowExA failed: %lu\n", static_cast<unsigned long>(GetLastError()));
    return 1;
  }
  child = CreateWindowExA(0, "E2EChild", "", WS_CHILD | WS_VISIBLE, kChildX, kChildY, kChildW,
                          kChildH, window, nullptr, nullptr, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetFocus(window);
  // An owned window, out of the way and not active: the window manager must learn its owner.
  const std::string ownedTitle = std::string(title) + " owned";
  HWND owned = CreateWindowExA(0, "E2ETop", ownedTitle.c_str(), WS_POPUP | WS_CAPTION, 600, 400,
                               120, 80, window, nullptr, nullptr, nullptr);
  ShowWindow(owned, SW_SHOWNOACTIVATE);

  // A timer wakes the loop, so the deadline holds even when nothing arrives.
  SetTimer(window, 1, 100, nullptr);
  const DWORD deadline = GetTickCount() + seconds * 1000;
  MSG msg;
  while (!seen.all() && !seen.wrong && GetTickCount() < deadline && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    check(msg);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  // TranslateMessage posts the characters: let those already queued arrive.
  while (!seen.wrong && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    check(msg);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  const bool ok = seen.all() && !seen.wrong;
  std::printf("%s: click down %d up %d, key %d char %d, syskey %d syschar %d, accent %d, ctrl %d\n",
              ok ? "passed" : "failed", seen.childDown, seen.childUp, seen.keyDown, seen.keyChar,
              seen.sysKeyDown, seen.sysChar, seen.accentChar, seen.controlChar);
  DestroyWindow(window);
  return ok ? 0 : 1;
}
