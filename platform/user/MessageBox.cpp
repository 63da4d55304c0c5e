// MessageBoxA as a window of the platform's own: the icon at the left, the text (its line breaks
// kept, words wrapped at five eighths of the screen width) and a centred row of 75 x 23 buttons,
// in the default GUI font, centred on the screen. Enter presses the focused button, Space
// presses it when released, Escape and the close request choose Cancel (or OK when OK is the
// only button) and do nothing in a box without either, a button's underlined letter chooses it,
// Tab and the arrow keys move the focus. The owner's top-level window is disabled while the box
// is up. A WM_QUIT that arrives meanwhile ends the box with the Escape answer and is posted again.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "gdi/DeviceContext.h"
#include "gdi/Icon.h"
#include "gdi/Raster.h"
#include "kernel/OutOfMemory.h"
#include "user/WindowSystem.h"

namespace user {
namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kIconSize = 32;
const char* const kClassName = "CorvaneMessageBox";

struct BoxButton {
  int id;
  const char* label;
  RECT rect;
};

struct Box {
  std::string text;
  HICON icon = nullptr;
  std::vector<BoxButton> buttons;
  RECT textRect{};
  int focus = 0;
  int mouseButton = -1;  // the button the left mouse button went down on
  bool mouseInside = false;
  bool spaceDown = false;
  int escapeId = 0;
  int result = 0;
  bool done = false;
};

Box* boxOf(HWND hwnd) { return reinterpret_cast<Box*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }

void finish(Box* box, int id) {
  box->result = id;
  box->done = true;
}

char mnemonicOf(const char* label) {
  const char* amp = std::strchr(label, '&');
  return amp && amp[1] ? static_cast<char>(std::toupper(static_cast<unsigned char>(amp[1]))) : 0;
}

void fillRect(gdi::DeviceContext& dc, RECT r, COLORREF color) {
  for (int y = r.top; y < r.bottom; ++y) gdi::paintSpan(dc, y, r.left, r.right, color, R2_COPYPEN);
}

void edge(gdi::DeviceContext& dc, RECT r, COLORREF topLeft, COLORREF bottomRight) {
  fillRect(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  fillRect(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  fillRect(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  fillRect(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void drawIconPixels(gdi::DeviceContext& dc, HICON icon, int x0, int y0) {
  gdi::IconObject* image = gdi::iconFromHandle(icon);
  if (image == nullptr || image->color.empty()) return;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x) {
      size_t i = static_cast<size_t>(y) * image->width + x;
      if (image->mask[i]) continue;
      uint32_t p = image->color[i];
      gdi::paintPixel(dc, x0 + x, y0 + y, RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF), R2_COPYPEN);
    }
}

void paintBox(HWND hwnd, Box* box) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) {
    EndPaint(hwnd, &ps);
    return;
  }
  if (box->icon != nullptr) drawIconPixels(*dc, box->icon, kMargin, kMargin);
  HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  int oldMode = SetBkMode(hdc, TRANSPARENT);
  COLORREF oldColor = SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  RECT tr = box->textRect;
  DrawTextA(hdc, box->text.c_str(), -1, &tr, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
  for (size_t i = 0; i < box->buttons.size(); ++i) {
    const BoxButton& b = box->buttons[i];
    RECT r = b.rect;
    bool focused = static_cast<int>(i) == box->focus;
    bool pressed = (box->mouseButton == static_cast<int>(i) && box->mouseInside) || (focused && box->spaceDown);
    fillRect(*dc, r, GetSysColor(COLOR_BTNFACE));
    if (focused) {
      edge(*dc, r, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
      r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (pressed) {
      edge(*dc, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
    } else {
      edge(*dc, r, GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DDKSHADOW));
      edge(*dc, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, GetSysColor(COLOR_3DLIGHT),
           GetSysColor(COLOR_BTNSHADOW));
    }
    RECT label = r;
    if (pressed) OffsetRect(&label, 1, 1);
    DrawTextA(hdc, b.label, -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (focused) {
      RECT f{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
      DrawFocusRect(hdc, &f);
    }
  }
  SetTextColor(hdc, oldColor);
  SetBkMode(hdc, oldMode);
  SelectObject(hdc, oldFont);
  EndPaint(hwnd, &ps);
}

int buttonAt(Box* box, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  for (size_t i = 0; i < box->buttons.size(); ++i)
    if (PtInRect(&box->buttons[i].rect, p)) return static_cast<int>(i);
  return -1;
}

LRESULT CALLBACK boxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Box* box = boxOf(hwnd);
  if (box == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  int count = static_cast<int>(box->buttons.size());
  switch (msg) {
    case WM_PAINT:
      paintBox(hwnd, box);
      return 0;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_RETURN: finish(box, box->buttons[box->focus].id); return 0;
        case VK_ESCAPE:
          if (box->escapeId) finish(box, box->escapeId);
          return 0;
        case VK_SPACE:
          box->spaceDown = true;
          InvalidateRect(hwnd, nullptr, FALSE);
          return 0;
        case VK_TAB:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_LEFT:
        case VK_UP: {
          bool back = wParam == VK_LEFT || wParam == VK_UP ||
                      (wParam == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000));
          box->focus = (box->focus + (back ? count - 1 : 1)) % count;
          box->spaceDown = false;
          InvalidateRect(hwnd, nullptr, FALSE);
          return 0;
        }
        default: return 0;
      }
    case WM_KEYUP:
      if (wParam == VK_SPACE && box->spaceDown) {
        box->spaceDown = false;
        finish(box, box->buttons[box->focus].id);
      }
      return 0;
    case WM_CHAR:
    case WM_SYSCHAR: {
      char c = static_cast<char>(std::toupper(static_cast<int>(wParam & 0xFF)));
      for (const BoxButton& b : box->buttons)
        if (mnemonicOf(b.label) == c) {
          finish(box, b.id);
          return 0;
        }
      return 0;
    }
    case WM_LBUTTONDOWN: {
      int i = buttonAt(box, lParam);
      if (i >= 0) {
        box->mouseButton = i;
        box->mouseInside = true;
        box->focus = i;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (box->mouseButton >= 0) {
        bool inside = buttonAt(box, lParam) == box->mouseButton;
        if (inside != box->mouseInside) {
          box->mouseInside = inside;
          InvalidateRect(hwnd, nullptr, FALSE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (box->mouseButton >= 0) {
        int i = box->mouseButton;
        bool inside = buttonAt(box, lParam) == i;
        box->mouseButton = -1;
        box->mouseInside = false;
        ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        if (inside) finish(box, box->buttons[i].id);
      }
      return 0;
    case WM_CAPTURECHANGED:
      box->mouseButton = -1;
      box->mouseInside = false;
      return 0;
    case WM_CLOSE:
      if (box->escapeId) finish(box, box->escapeId);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

void registerBoxClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = boxProc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kClassName;
  registered = RegisterClassA(&wc) != 0;
}

}  // namespace
}  // namespace user

using namespace user;

static int showBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  desktopWindow();
  if (hWnd != nullptr && checkWindow(hWnd) == nullptr) return 0;
  registerBoxClass();
  Box box;
  box.text = lpText ? lpText : "";
  switch (uType & MB_TYPEMASK) {
    case MB_OKCANCEL: box.buttons = {{IDOK, "OK", {}}, {IDCANCEL, "Cancel", {}}}; box.escapeId = IDCANCEL; break;
    case MB_ABORTRETRYIGNORE:
      box.buttons = {{IDABORT, "&Abort", {}}, {IDRETRY, "&Retry", {}}, {IDIGNORE, "&Ignore", {}}};
      break;
    case MB_YESNOCANCEL:
      box.buttons = {{IDYES, "&Yes", {}}, {IDNO, "&No", {}}, {IDCANCEL, "Cancel", {}}};
      box.escapeId = IDCANCEL;
      break;
    case MB_YESNO: box.buttons = {{IDYES, "&Yes", {}}, {IDNO, "&No", {}}}; break;
    case MB_RETRYCANCEL: box.buttons = {{IDRETRY, "&Retry", {}}, {IDCANCEL, "Cancel", {}}}; box.escapeId = IDCANCEL; break;
    default: box.buttons = {{IDOK, "OK", {}}}; box.escapeId = IDOK; break;
  }
  switch (uType & MB_ICONMASK) {
    case MB_ICONHAND: box.icon = LoadIconA(nullptr, IDI_HAND); break;
    case MB_ICONQUESTION: box.icon = LoadIconA(nullptr, IDI_QUESTION); break;
    case MB_ICONEXCLAMATION: box.icon = LoadIconA(nullptr, IDI_EXCLAMATION); break;
    case MB_ICONASTERISK: box.icon = LoadIconA(nullptr, IDI_ASTERISK); break;
    default: break;
  }
  int count = static_cast<int>(box.buttons.size());
  box.focus = std::min(static_cast<int>((uType & MB_DEFMASK) >> 8), count - 1);

  // Layout: the text measured in the dialog font.
  SIZE screen = driver().screenSize();
  int textLeft = kMargin + (box.icon ? kIconSize + kMargin : 0);
  RECT measure{0, 0, std::max<LONG>(screen.cx * 5 / 8 - textLeft - kMargin, 100), 0};
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFont = SelectObject(mem, GetStockObject(DEFAULT_GUI_FONT));
  DrawTextA(mem, box.text.c_str(), -1, &measure, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(mem, oldFont);
  DeleteDC(mem);
  int textWidth = measure.right - measure.left, textHeight = measure.bottom - measure.top;
  int contentHeight = std::max(textHeight, box.icon ? kIconSize : 0);
  int textTop = kMargin + (contentHeight - textHeight) / 2;
  box.textRect = RECT{textLeft, textTop, textLeft + textWidth, textTop + textHeight};
  int rowWidth = count * kButtonWidth + (count - 1) * kButtonGap;
  int clientWidth = std::max(textLeft + textWidth + kMargin, rowWidth + 2 * kMargin);
  int buttonTop = kMargin + contentHeight + kMargin + 4;
  int clientHeight = buttonTop + kButtonHeight + kMargin;
  int x = (clientWidth - rowWidth) / 2;
  for (BoxButton& b : box.buttons) {
    b.rect = RECT{x, buttonTop, x + kButtonWidth, buttonTop + kButtonHeight};
    x += kButtonWidth + kButtonGap;
  }
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  DWORD exStyle = WS_EX_DLGMODALFRAME | ((uType & (MB_TOPMOST | MB_SYSTEMMODAL)) ? WS_EX_TOPMOST : 0);
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;

  HWND owner = hWnd ? GetAncestor(hWnd, GA_ROOT) : nullptr;
  bool reenable = owner != nullptr && IsWindowEnabled(owner);
  if (reenable) EnableWindow(owner, FALSE);
  HWND hwnd = CreateWindowExA(exStyle, kClassName, lpCaption ? lpCaption : "Error", style,
                              (screen.cx - width) / 2, (screen.cy - height) / 2, width, height,
                              owner, nullptr, nullptr, nullptr);
  int result = 0;
  if (hwnd != nullptr) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    MSG m;
    while (!box.done && IsWindow(hwnd)) {
      BOOL got = GetMessageA(&m, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(m.wParam));
        break;
      }
      if (got < 0) break;
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    result = box.done ? box.result : (box.escapeId ? box.escapeId : box.buttons.front().id);
    if (reenable) EnableWindow(owner, TRUE);
    if (IsWindow(hwnd)) {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      DestroyWindow(hwnd);
    }
  } else if (reenable) {
    EnableWindow(owner, TRUE);
  }
  return result;
}

// A box that cannot be had for want of memory answers 0, as a box that cannot be created does.
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  return kernel::failingOnOutOfMemory(0, [&] { return showBox(hWnd, lpText, lpCaption, uType); });
}
