// The test interface of the headless driver. A double click is two clicks injected back to back,
// so they fall within the double-click time and distance by construction.
#include <corvane/headless.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "drivers/headless/HeadlessDriver.h"
#include "user/WindowSystem.h"

namespace corvane::headless {
namespace {

void ensure() {
  drivers::chooseHeadlessUnlessChosen();
  user::desktopWindow();
}

bool writePng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  std::vector<png_byte> row(static_cast<size_t>(width) * 3);
  if (png != nullptr && info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        uint32_t p = pixels[static_cast<size_t>(y) * width + x];
        row[x * 3] = (p >> 16) & 0xFF;
        row[x * 3 + 1] = (p >> 8) & 0xFF;
        row[x * 3 + 2] = p & 0xFF;
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  return std::fclose(file) == 0 && ok;
}

UINT vkOfChar(char c, bool& shift) {
  shift = false;
  if (c >= 'a' && c <= 'z') return static_cast<UINT>(c - 'a' + 'A');
  if (c >= 'A' && c <= 'Z') {
    shift = true;
    return static_cast<UINT>(c);
  }
  if (c >= '0' && c <= '9') return static_cast<UINT>(c);
  switch (c) {
    case ' ': return VK_SPACE;
    case '\n':
    case '\r': return VK_RETURN;
    case '\t': return VK_TAB;
    case '\b': return VK_BACK;
    case 27: return VK_ESCAPE;
    default: break;
  }
  // Everything else: the key whose plain or shifted character it is.
  static const UINT candidates[] = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9',
                                    VK_OEM_1, VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD,
                                    VK_OEM_2, VK_OEM_3, VK_OEM_4, VK_OEM_5, VK_OEM_6, VK_OEM_7};
  for (UINT vk : candidates) {
    if (user::characterOf(vk, false, false) == c) return vk;
    if (user::characterOf(vk, true, false) == c) {
      shift = true;
      return vk;
    }
  }
  return 0;
}

}  // namespace

bool active() {
  ensure();
  return drivers::activeHeadlessDriver() != nullptr;
}

void mouseMove(int x, int y) {
  ensure();
  user::queueMouseMove(POINT{x, y});
}

void mouseDown(Button button) {
  ensure();
  user::queueMouseButton(static_cast<int>(button), true, user::sys().cursorPos);
}

void mouseUp(Button button) {
  ensure();
  user::queueMouseButton(static_cast<int>(button), false, user::sys().cursorPos);
}

void click(int x, int y, Button button) {
  mouseMove(x, y);
  mouseDown(button);
  mouseUp(button);
}

void doubleClick(int x, int y, Button button) {
  click(x, y, button);
  click(x, y, button);
}

void keyDown(UINT vk) {
  ensure();
  user::queueKey(vk, 0, true, 0);
}

void keyUp(UINT vk) {
  ensure();
  user::queueKey(vk, 0, false, 0);
}

void pressKey(UINT vk) {
  keyDown(vk);
  keyUp(vk);
}

void typeText(const std::string& text) {
  for (char c : text) {
    bool shift;
    UINT vk = vkOfChar(c, shift);
    if (vk == 0) continue;
    if (shift) keyDown(VK_SHIFT);
    pressKey(vk);
    if (shift) keyUp(VK_SHIFT);
  }
}

void altKey(UINT vk) {
  keyDown(VK_MENU);
  pressKey(vk);
  keyUp(VK_MENU);
}

void ctrlKey(UINT vk) {
  keyDown(VK_CONTROL);
  pressKey(vk);
  keyUp(VK_CONTROL);
}

int runUntilIdle(int maxMessages) {
  ensure();
  int count = 0;
  MSG m;
  while (user::peekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return count;
    }
    TranslateMessage(&m);
    DispatchMessageA(&m);
    if (++count >= maxMessages) return -1;
  }
  return count;
}

void onIdle(std::function<void(int)> action) {
  ensure();
  if (!action) {
    user::sys().onIdle = nullptr;
    return;
  }
  // The count is shared: the window system calls copies of the hook.
  auto polls = std::make_shared<int>(0);
  user::sys().onIdle = [action = std::move(action), polls] { action(++*polls); };
}

long idlePolls() {
  ensure();
  return user::sys().idlePolls;
}

DWORD now() { return user::tickNow(); }

void advanceTime(DWORD ms) { user::advanceClock(ms); }

void freezeClock(bool frozen) { user::freezeClock(frozen); }

int runFor(DWORD ms, int maxMessages) {
  ensure();
  DWORD end = user::tickNow() + ms;
  int total = 0;
  for (;;) {
    int n = runUntilIdle(maxMessages - total);
    if (n < 0) return -1;
    total += n;
    if (user::sys().quitPosted) return total;
    DWORD due;
    DWORD current = user::tickNow();
    if (user::nextTimerDue(due) && static_cast<int32_t>(end - due) >= 0) {
      if (static_cast<int32_t>(due - current) > 0) user::advanceClock(due - current);
      continue;
    }
    if (static_cast<int32_t>(end - current) > 0) user::advanceClock(end - current);
    return total + std::max(0, runUntilIdle(maxMessages - total));
  }
}

SIZE screenSize() {
  ensure();
  return user::driver().screenSize();
}

COLORREF screenPixel(int x, int y) {
  ensure();
  user::flushPresentation();
  drivers::HeadlessDriver* d = drivers::activeHeadlessDriver();
  if (d == nullptr) return CLR_INVALID;
  SIZE size = d->screenSize();
  if (x < 0 || y < 0 || x >= size.cx || y >= size.cy) return CLR_INVALID;
  uint32_t p = d->composedPixel(x, y);
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool saveScreenPng(const std::string& path) {
  ensure();
  user::flushPresentation();
  drivers::HeadlessDriver* d = drivers::activeHeadlessDriver();
  if (d == nullptr) return false;
  SIZE size = d->screenSize();
  return writePng(path, d->compose(), size.cx, size.cy);
}

bool saveWindowPng(HWND hwnd, const std::string& path) {
  ensure();
  user::flushPresentation();
  drivers::HeadlessDriver* d = drivers::activeHeadlessDriver();
  user::Window* w = user::windowFromHandle(hwnd);
  if (d == nullptr || w == nullptr) return false;
  user::Window* top = user::topLevelOf(w);
  if (top == nullptr) return false;
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
  if (!d->windowImage(top->handle, pixels, width, height)) return false;
  if (top == w) return writePng(path, pixels, width, height);
  // A child window: its rectangle cut out of its top-level window's image.
  RECT r = user::windowRectSurface(w);
  int cw = r.right - r.left, ch = r.bottom - r.top;
  std::vector<uint32_t> part(static_cast<size_t>(std::max(cw, 0)) * std::max(ch, 0), 0);
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) {
      int sx = r.left + x, sy = r.top + y;
      if (sx >= 0 && sy >= 0 && sx < width && sy < height)
        part[static_cast<size_t>(y) * cw + x] = pixels[static_cast<size_t>(sy) * width + sx];
    }
  return writePng(path, part, cw, ch);
}

bool primarySelection(std::string& text) {
  ensure();
  const drivers::HeadlessDriver* d = drivers::activeHeadlessDriver();
  return d != nullptr && d->primarySelection(text);
}

}  // namespace corvane::headless
