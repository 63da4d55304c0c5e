// The system cursors and icons, drawn here at 32 x 32 and shared for the life of the process
// (DestroyCursor and DestroyIcon leave them alive, as Windows does for shared ones), and the
// current cursor. Resources of programs are not supported: LoadCursorA and LoadIconA with an
// instance handle fail with ERROR_RESOURCE_DATA_NOT_FOUND; programs load files with LoadImageA.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "gdi/Icon.h"
#include "kernel/OutOfMemory.h"
#include "user/WindowSystem.h"

namespace user {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

struct Canvas {
  Canvas() : color(32 * 32, 0), mask(32 * 32, 1) {}
  void set(int x, int y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= 32 || y >= 32) return;
    color[y * 32 + x] = argb;
    mask[y * 32 + x] = 0;
  }
  void rect(int x0, int y0, int x1, int y1, uint32_t argb) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) set(x, y, argb);
  }
  // A 1-pixel black line with a white halo, so it shows on any background.
  void line(int x0, int y0, int x1, int y1, uint32_t argb, bool halo) {
    int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int pass = halo ? 0 : 1; pass < 2; ++pass)
      for (int i = 0; i <= steps; ++i) {
        int x = x0 + (steps ? (x1 - x0) * i / steps : 0);
        int y = y0 + (steps ? (y1 - y0) * i / steps : 0);
        if (pass == 0) {
          for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
              if (mask[std::clamp(y + dy, 0, 31) * 32 + std::clamp(x + dx, 0, 31)]) set(x + dx, y + dy, kWhite);
        } else {
          set(x, y, argb);
        }
      }
  }
  void disc(int cx, int cy, int r, uint32_t argb) {
    for (int y = cy - r; y <= cy + r; ++y)
      for (int x = cx - r; x <= cx + r; ++x)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) set(x, y, argb);
  }
  void arrowHead(int tipX, int tipY, int dx, int dy) {
    // A filled head of 4 rows pointing along (dx, dy).
    for (int i = 0; i < 5; ++i)
      for (int j = -i; j <= i; ++j) set(tipX - dx * i + dy * j, tipY - dy * i + dx * j, kBlack);
  }
  HICON make(bool isIcon, int hotX, int hotY) {
    gdi::IconObject icon;
    icon.width = 32;
    icon.height = 32;
    icon.color = color;
    icon.mask = mask;
    icon.bitsPerPixel = 32;
    icon.isIcon = isIcon;
    icon.hotX = hotX;
    icon.hotY = hotY;
    icon.shared = true;
    return gdi::addIcon(std::move(icon));
  }
  std::vector<uint32_t> color;
  std::vector<uint8_t> mask;
};

HCURSOR drawArrow() {
  Canvas c;
  for (int y = 0; y <= 16; ++y) {
    int right = std::min(y, 11);
    for (int x = 0; x <= right; ++x)
      c.set(x, y, (x == 0 || x == right || y == 16 || (y >= 12 && x > 16 - y + 6)) ? kBlack : kWhite);
  }
  for (int y = 12; y < 20; ++y) {
    int x = 5 + (y - 12) / 2;
    c.set(x, y, kBlack);
    c.set(x + 1, y, kWhite);
    c.set(x + 2, y, kWhite);
    c.set(x + 3, y, kBlack);
  }
  c.rect(6 + 3, 19, 6 + 6, 20, kBlack);
  return c.make(false, 0, 0);
}

HCURSOR drawCursor(int id) {
  Canvas c;
  switch (id) {
    case 32513:  // IBEAM
      c.line(16, 8, 16, 24, kBlack, true);
      c.line(13, 7, 19, 7, kBlack, true);
      c.line(13, 25, 19, 25, kBlack, true);
      return c.make(false, 16, 16);
    case 32515:  // CROSS
      c.line(16, 5, 16, 27, kBlack, true);
      c.line(5, 16, 27, 16, kBlack, true);
      return c.make(false, 16, 16);
    case 32514:  // WAIT: an hourglass
      c.rect(9, 5, 24, 7, kBlack);
      c.rect(9, 26, 24, 28, kBlack);
      for (int y = 7; y < 26; ++y) {
        int half = std::abs(16 - y) / 2 + 1;
        c.rect(16 - half, y, 17 + half, y + 1, kWhite);
        c.set(16 - half, y, kBlack);
        c.set(16 + half, y, kBlack);
      }
      return c.make(false, 16, 16);
    case 32649:  // HAND: a pointing finger over a palm
      c.rect(9, 2, 14, 16, kBlack);
      c.rect(10, 3, 13, 16, kWhite);
      c.rect(7, 13, 22, 26, kBlack);
      c.rect(8, 14, 21, 25, kWhite);
      c.rect(10, 13, 13, 15, kWhite);
      return c.make(false, 11, 2);
    case 32648:  // NO: a ring with a bar
      c.disc(16, 16, 11, kBlack);
      c.disc(16, 16, 8, kWhite);
      for (int i = -7; i <= 7; ++i) c.rect(16 + i - 1, 16 + i - 1, 16 + i + 2, 16 + i + 2, kBlack);
      return c.make(false, 16, 16);
    case 32516:  // UPARROW
      c.line(16, 4, 16, 28, kBlack, true);
      c.arrowHead(16, 4, 0, -1);
      return c.make(false, 16, 4);
    case 32645:  // SIZENS
      c.line(16, 4, 16, 28, kBlack, true);
      c.arrowHead(16, 4, 0, -1);
      c.arrowHead(16, 28, 0, 1);
      return c.make(false, 16, 16);
    case 32644:  // SIZEWE
      c.line(4, 16, 28, 16, kBlack, true);
      c.arrowHead(4, 16, -1, 0);
      c.arrowHead(28, 16, 1, 0);
      return c.make(false, 16, 16);
    case 32642:  // SIZENWSE
      c.line(6, 6, 26, 26, kBlack, true);
      c.rect(6, 6, 11, 8, kBlack);
      c.rect(6, 6, 8, 11, kBlack);
      c.rect(21, 24, 27, 27, kBlack);
      c.rect(24, 21, 27, 27, kBlack);
      return c.make(false, 16, 16);
    case 32643:  // SIZENESW
      c.line(26, 6, 6, 26, kBlack, true);
      c.rect(21, 6, 27, 8, kBlack);
      c.rect(24, 6, 27, 11, kBlack);
      c.rect(6, 24, 11, 27, kBlack);
      c.rect(6, 21, 8, 27, kBlack);
      return c.make(false, 16, 16);
    case 32646:  // SIZEALL
    case 32640:  // SIZE
      c.line(16, 4, 16, 28, kBlack, true);
      c.line(4, 16, 28, 16, kBlack, true);
      c.arrowHead(16, 4, 0, -1);
      c.arrowHead(16, 28, 0, 1);
      c.arrowHead(4, 16, -1, 0);
      c.arrowHead(28, 16, 1, 0);
      return c.make(false, 16, 16);
    default:  // ARROW, APPSTARTING, HELP, ICON
      return drawArrow();
  }
}

HICON drawIcon(int id) {
  Canvas c;
  switch (id) {
    case 32516: {  // ASTERISK / INFORMATION: a blue disc with a white "i"
      c.disc(15, 15, 14, kBlack);
      c.disc(15, 15, 13, 0xFF0000FF);
      c.rect(13, 6, 18, 10, kWhite);
      c.rect(13, 12, 18, 25, kWhite);
      c.rect(11, 12, 13, 14, kWhite);
      c.rect(11, 23, 20, 25, kWhite);
      return c.make(true, 16, 16);
    }
    case 32513: {  // HAND / ERROR: a red disc with a white cross
      c.disc(15, 15, 14, kBlack);
      c.disc(15, 15, 13, 0xFFFF0000);
      for (int i = -6; i <= 6; ++i) {
        c.rect(15 + i - 1, 15 + i - 1, 15 + i + 2, 15 + i + 2, kWhite);
        c.rect(15 + i - 1, 15 - i - 1, 15 + i + 2, 15 - i + 2, kWhite);
      }
      return c.make(true, 16, 16);
    }
    case 32515: {  // EXCLAMATION / WARNING: a yellow triangle with a black "!"
      for (int y = 2; y < 30; ++y) {
        int half = (y - 2) / 2 + 1;
        c.rect(16 - half, y, 16 + half, y + 1, kBlack);
        if (y > 3 && y < 29) c.rect(16 - half + 1, y, 16 + half - 1, y + 1, 0xFFFFFF00);
      }
      c.rect(14, 10, 18, 21, kBlack);
      c.rect(14, 23, 18, 27, kBlack);
      return c.make(true, 16, 16);
    }
    case 32514: {  // QUESTION: a blue disc with a white "?"
      c.disc(15, 15, 14, kBlack);
      c.disc(15, 15, 13, 0xFF0000FF);
      c.rect(11, 6, 20, 9, kWhite);
      c.rect(18, 8, 21, 14, kWhite);
      c.rect(14, 13, 20, 16, kWhite);
      c.rect(14, 15, 17, 19, kWhite);
      c.rect(14, 21, 17, 24, kWhite);
      c.rect(10, 8, 13, 11, kWhite);
      return c.make(true, 16, 16);
    }
    default: {  // APPLICATION, WINLOGO: a small window
      c.rect(2, 4, 30, 28, kBlack);
      c.rect(3, 5, 29, 27, kWhite);
      c.rect(3, 5, 29, 9, 0xFF000080);
      return c.make(true, 16, 16);
    }
  }
}

}  // namespace

HCURSOR systemCursor(int id) {
  static std::map<int, HCURSOR>* cache = new std::map<int, HCURSOR>;
  auto it = cache->find(id);
  if (it != cache->end()) return it->second;
  HCURSOR c = drawCursor(id);
  (*cache)[id] = c;
  return c;
}

HICON systemIcon(int id) {
  static std::map<int, HICON>* cache = new std::map<int, HICON>;
  auto it = cache->find(id);
  if (it != cache->end()) return it->second;
  HICON c = drawIcon(id);
  (*cache)[id] = c;
  return c;
}

}  // namespace user

using namespace user;

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  static const int known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642, 32643,
                              32644, 32645, 32646, 32648, 32649, 32650, 32651};
  if (hInstance == nullptr && IS_INTRESOURCE(lpCursorName)) {
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(lpCursorName));
    for (int k : known)
      if (k == id) return kernel::failingOnOutOfMemory<HCURSOR>(nullptr, [id] { return systemCursor(id); });
  }
  SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
  return nullptr;
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  if (hInstance == nullptr && IS_INTRESOURCE(lpIconName)) {
    int id = static_cast<int>(reinterpret_cast<uintptr_t>(lpIconName));
    if (id >= 32512 && id <= 32517)
      return kernel::failingOnOutOfMemory<HICON>(nullptr, [id] { return systemIcon(id == 32517 ? 32512 : id); });
  }
  SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
  return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
  System& s = sys();
  desktopWindow();
  HCURSOR old = s.cursor;
  if (hCursor != nullptr && gdi::iconFromHandle(hCursor) == nullptr) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return old;
  }
  s.cursor = hCursor;
  if (s.cursorShowCount >= 0) driver().setCursor(hCursor);
  return old;
}

HCURSOR WINAPI GetCursor(void) { return sys().cursor; }

int WINAPI ShowCursor(BOOL bShow) {
  System& s = sys();
  desktopWindow();
  bool wasShown = s.cursorShowCount >= 0;
  s.cursorShowCount += bShow ? 1 : -1;
  bool shown = s.cursorShowCount >= 0;
  if (shown != wasShown) driver().setCursor(shown ? s.cursor : nullptr);
  return s.cursorShowCount;
}
