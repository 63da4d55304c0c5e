// The real desktop: input goes through SendInput as a mouse would send it, time passes on the
// system's clock, and the picture is read back from the screen with BitBlt and written by GDI+.
#include "Desktop.h"

#include <gdiplus.h>

#include <string>
#include <vector>

#include "framework/App.h"

namespace desktop {

namespace {

void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Messages arrive from the window system a little after the input; pump until a quiet spell.
void pumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    DoEvents();
    Sleep(5);
  } while (GetTickCount() - start < ms);
  DoEvents();
}

}  // namespace

bool Ready(std::string&) { return true; }

void Prepare() {
  MovePointer(POINT{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1});
}

void Settle() { pumpFor(60); }
void Wait(DWORD ms) { pumpFor(ms); }

void MovePointer(POINT p) {
  // Absolute positions run from 0 to 65535 across the primary screen.
  const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (p.x * 65535 + w / 2) / (w - 1), (p.y * 65535 + h / 2) / (h - 1));
  pumpFor(30);
  // Rounding of the absolute scale may land a pixel off; the cursor position itself is exact.
  SetCursorPos(p.x, p.y);
}

void PressLeft() { sendMouse(MOUSEEVENTF_LEFTDOWN); }
void ReleaseLeft() { sendMouse(MOUSEEVENTF_LEFTUP); }

namespace {

// The rectangle `r` (screen coordinates) of `source`, whose origin lies at `origin` on the screen,
// as 32-bit pixels, top row first.
std::vector<uint32_t> readPixels(HDC source, POINT origin, const RECT& r, HBITMAP bitmap, HDC memory) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, source, r.left - origin.x, r.top - origin.y, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
  return pixels;
}

// The screen shows a window a moment after it is drawn: the window system maps it and copies its
// picture over, later still on a loaded machine. So the screen is read once it shows what the
// window itself holds (read through the top-level window's own DC), and at most five seconds on.
void awaitScreen(HWND hwnd, const RECT& r, HDC screen, HBITMAP bitmap, HDC memory) {
  HWND top = GetAncestor(hwnd, GA_ROOT);
  POINT topOrigin{0, 0};
  ClientToScreen(top, &topOrigin);
  HDC own = GetDC(top);
  const DWORD start = GetTickCount();
  while (readPixels(screen, POINT{0, 0}, r, bitmap, memory) != readPixels(own, topOrigin, r, bitmap, memory) &&
         GetTickCount() - start < 5000)
    pumpFor(20);
  ReleaseDC(top, own);
}

}  // namespace

bool SaveWindowPng(HWND hwnd, const std::string& path) {
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return false;
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  awaitScreen(hwnd, r, screen, bitmap, memory);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);

  static const CLSID pngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  bool saved = false;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
      std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0)), L'\0');
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
      saved = Gdiplus::DllExports::GdipSaveImageToFile(image, wide.c_str(), &pngEncoder, nullptr) == Gdiplus::Ok;
      Gdiplus::DllExports::GdipDisposeImage(image);
    }
    Gdiplus::GdiplusShutdown(token);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

}  // namespace desktop
