// The desktop's primary selection (X11's PRIMARY, which Windows does not have): text selected in a
// window that answers EM_GETSEL, as an edit control does, is offered to other programs once a
// mouse button release, a double click or a key press dispatched to that window leaves a
// selection in it that was not offered yet, and given up when one of them leaves it empty. Other
// programs get the selected text as the window holds it when they ask (WM_GETTEXT).
#include <windows.h>

#include <string>

#include "user/WindowSystem.h"

namespace user {
namespace {

struct Offer {
  HWND window = nullptr;
  DWORD start = 0;
  DWORD end = 0;
};

Offer& offer() {
  static Offer* current = new Offer;
  return *current;
}

// The window's selection; false when it is empty or the window keeps none.
bool selectionOf(HWND hwnd, DWORD& start, DWORD& end) {
  start = end = 0;
  SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return end > start;
}

bool mayChangeSelection(UINT msg) {
  return msg == WM_LBUTTONUP || msg == WM_LBUTTONDBLCLK || msg == WM_KEYDOWN;
}

}  // namespace

void noteSelectionAfter(HWND hwnd, UINT msg) {
  if (!mayChangeSelection(msg) || windowFromHandle(hwnd) == nullptr) return;
  Offer& o = offer();
  DWORD start = 0, end = 0;
  if (selectionOf(hwnd, start, end)) {
    if (o.window == hwnd && o.start == start && o.end == end) return;
    o = Offer{hwnd, start, end};
    driver().offerPrimarySelection(true);
  } else if (o.window == hwnd) {
    o = Offer{};
    driver().offerPrimarySelection(false);
  }
}

bool primaryTextForDriver(std::string& text) {
  const Offer& o = offer();
  DWORD start = 0, end = 0;
  if (windowFromHandle(o.window) == nullptr || !selectionOf(o.window, start, end)) return false;
  const auto length = static_cast<size_t>(SendMessageA(o.window, WM_GETTEXTLENGTH, 0, 0));
  std::string all(length + 1, '\0');
  all.resize(static_cast<size_t>(SendMessageA(o.window, WM_GETTEXT, all.size(),
                                              reinterpret_cast<LPARAM>(all.data()))));
  if (start >= all.size()) return false;
  text = all.substr(start, end - start);
  return true;
}

void primaryLostByDriver() { offer() = Offer{}; }

}  // namespace user
