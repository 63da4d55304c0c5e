// Shared pieces of the window-system tests: a window class whose procedure records every
// message and lets a test react to chosen ones, and small helpers around the headless driver.
#pragma once

#include <corvane/headless.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace usertest {

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message of every window of the recording class, in order.
inline std::vector<Logged>& log() {
  static std::vector<Logged> entries;
  return entries;
}

// Reactions by message: when one is set, it runs instead of DefWindowProcA.
using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
inline std::map<UINT, Handler>& handlers() {
  static std::map<UINT, Handler> table;
  return table;
}

inline LRESULT CALLBACK recordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  log().push_back(Logged{hwnd, msg, wParam, lParam});
  auto it = handlers().find(msg);
  if (it != handlers().end()) return it->second(hwnd, msg, wParam, lParam);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Registers (once per name) a recording class with a white background.
inline const char* recordingClass(const char* name = "UserTestRecorder", UINT style = 0) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, name, &wc)) {
    wc.style = style;
    wc.lpfnWndProc = recordingProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
  }
  return name;
}

// The messages one window received, filtered to those in the list (all when empty).
inline std::vector<UINT> messagesOf(HWND hwnd, const std::vector<UINT>& only = {}) {
  std::vector<UINT> out;
  for (const Logged& l : log()) {
    if (l.hwnd != hwnd) continue;
    if (!only.empty() && std::find(only.begin(), only.end(), l.message) == only.end()) continue;
    out.push_back(l.message);
  }
  return out;
}

inline int countOf(HWND hwnd, UINT message) {
  int n = 0;
  for (const Logged& l : log())
    if (l.hwnd == hwnd && l.message == message) ++n;
  return n;
}

// Resets the recorder and leaves no window, input or paint from an earlier test behind.
// The clock is frozen so that timings hold however slowly the tests run.
inline void reset() {
  corvane::headless::freezeClock(true);
  corvane::headless::runUntilIdle(1000);
  log().clear();
  handlers().clear();
}

inline HWND topWindow(int x, int y, int w, int h, DWORD style = WS_POPUP | WS_VISIBLE,
                      DWORD exStyle = 0, const char* cls = nullptr) {
  return CreateWindowExA(exStyle, cls ? cls : recordingClass(), "top", style, x, y, w, h, nullptr,
                         nullptr, nullptr, nullptr);
}

inline HWND childWindow(HWND parent, int x, int y, int w, int h, DWORD style = WS_CHILD | WS_VISIBLE,
                        const char* cls = nullptr, int id = 0) {
  return CreateWindowExA(0, cls ? cls : recordingClass(), "child", style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

}  // namespace usertest
