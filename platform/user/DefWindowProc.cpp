// The default handling of window messages. Hit-testing names only the client area, the caption,
// the border and the sizing edges; a click on a caption or edge neither drags nor sizes (no
// system menu or move/size loop).
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "gdi/DeviceContext.h"
#include "gdi/Raster.h"
#include "user/WindowSystem.h"

namespace user {
namespace {

LRESULT hitTest(Window* w, POINT screen) {
  RECT wr = windowRectScreen(w);
  if (!shapeContainsScreen(w, screen)) return HTNOWHERE;
  RECT cr = clientRectScreen(w);
  if (screen.x >= cr.left && screen.x < cr.right && screen.y >= cr.top && screen.y < cr.bottom)
    return HTCLIENT;
  RECT probe{0, 0, 100, 100};
  computeNonClient(w->style, w->exStyle & ~WS_EX_CLIENTEDGE, probe);
  int border = probe.left;
  if ((w->style & WS_CAPTION) == WS_CAPTION && screen.y < wr.top + probe.top &&
      screen.y >= wr.top + border && screen.x >= wr.left + border && screen.x < wr.right - border)
    return HTCAPTION;
  if (w->style & WS_THICKFRAME) {
    bool left = screen.x < wr.left + border, right = screen.x >= wr.right - border;
    bool top = screen.y < wr.top + border, bottom = screen.y >= wr.bottom - border;
    if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
    if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
  }
  return HTBORDER;
}

void eraseBackground(Window* w, HDC hdc) {
  HBRUSH brush = classBrush(w);
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (brush == nullptr || dc == nullptr) return;
  RECT r{0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
  gdi::paintBrushRect(*dc, r, brush, R2_COPYPEN);
}

}  // namespace
}  // namespace user

using namespace user;

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  Window* w = windowFromHandle(hWnd);
  if (w == nullptr) return 0;
  switch (Msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName))
        w->text = cs->lpszName;
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      if (lParam == 0) return 0;
      RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                       : reinterpret_cast<RECT*>(lParam);
      computeNonClient(w->style, w->exStyle, *r);
      return 0;
    }
    case WM_NCHITTEST:
      return hitTest(w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
      drawNonClient(w);
      return 0;
    case WM_NCACTIVATE:
      if (w->isTopLevel() && hasFrame(w) && isVisibleTree(w)) drawNonClient(w, wParam ? 1 : 0);
      return TRUE;
    case WM_ERASEBKGND:
      if (classBrush(w) == nullptr) return 0;
      eraseBackground(w, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hWnd, &ps) != nullptr) EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_SETTEXT: {
      auto* text = reinterpret_cast<LPCSTR>(lParam);
      w->text = text ? text : "";
      if (w->native) driver().setTitle(hWnd, w->text);
      if ((w->style & WS_CAPTION) == WS_CAPTION && isVisibleTree(w)) drawNonClient(w);
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<LPSTR>(lParam);
      if (buffer == nullptr || wParam == 0) return 0;
      size_t n = std::min(w->text.size(), static_cast<size_t>(wParam) - 1);
      std::memcpy(buffer, w->text.data(), n);
      buffer[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (lParam & (1 << 29))) {
        Window* top = topLevelOf(w);
        if (top != nullptr) SendMessageA(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SETCURSOR: {
      if (w->isChild() && w->parent != nullptr) {
        if (SendMessageA(w->parent->handle, WM_SETCURSOR, wParam, lParam)) return TRUE;
        if ((w = windowFromHandle(hWnd)) == nullptr) return 0;
      }
      int hit = static_cast<SHORT>(LOWORD(lParam));
      if (hit == HTCLIENT) {
        if (w->cls != nullptr && w->cls->cursor != nullptr) {
          SetCursor(w->cls->cursor);
          return TRUE;
        }
        return FALSE;
      }
      if (hit == HTERROR || hit == HTNOWHERE) return FALSE;
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      return TRUE;
    }
    case WM_MOUSEACTIVATE:
      if (w->isChild() && w->parent != nullptr) {
        LRESULT r = SendMessageA(w->parent->handle, WM_MOUSEACTIVATE, wParam, lParam);
        if (r != 0) return r;
      }
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) SetFocus(hWnd);
      return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
      if (wp == nullptr) return 0;
      RECT c = w->client;
      if (!(wp->flags & 0x1000)) {
        w->sizeMovePending = false;
        SendMessageA(hWnd, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
        if ((w = windowFromHandle(hWnd)) == nullptr) return 0;
      }
      if (!(wp->flags & 0x0800)) {
        w->sizeMovePending = false;
        SendMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.right - c.left, c.bottom - c.top));
      }
      return 0;
    }
    case WM_SETICON: {
      HICON old;
      if (wParam == ICON_BIG) {
        old = w->iconBig;
        w->iconBig = reinterpret_cast<HICON>(lParam);
      } else {
        old = w->iconSmall;
        w->iconSmall = reinterpret_cast<HICON>(lParam);
      }
      if (w->native) driver().setIcon(hWnd, w->iconBig, w->iconSmall);
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON:
      return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w->iconBig : w->iconSmall);
    case WM_CANCELMODE:
      if (sys().capture == hWnd) ReleaseCapture();
      return 0;
    default:
      return 0;
  }
}
