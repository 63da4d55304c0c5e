// Waiting for events sleeps, since no native event ever arrives on an in-memory screen; a wait
// without a limit sleeps 10 milliseconds at a time and returns, so the caller's loop decides.
// With the clock frozen (tests), a wait moves the clock instead of sleeping. One lock guards the
// windows, since other threads present into them. A part of a window that nothing has been
// presented to yet shows the screen beneath it, as a window without a background of its own does
// on a desktop without composition.
#include "drivers/headless/HeadlessDriver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "gdi/Bitmap.h"
#include "user/WindowSystem.h"

namespace drivers {

namespace {
// Presented pixels are 0x00RRGGBB; the top byte marks a pixel that was never presented.
constexpr uint32_t kNothingPresented = 0xFF000000u;
}  // namespace

HeadlessDriver::HeadlessDriver() {
  if (const char* env = std::getenv("CORVANE_SCREEN")) {
    int w = 0, h = 0;
    char x = 0;
    if (std::sscanf(env, "%d%c%d", &w, &x, &h) == 3 && (x == 'x' || x == 'X') && w >= 1 &&
        h >= 1 && w <= 16384 && h <= 16384)
      size_ = SIZE{w, h};
  }
}

bool HeadlessDriver::createWindow(HWND hwnd, const WindowDesc& desc) {
  std::lock_guard guard(lock_);
  NativeWindow& w = windows_[hwnd];
  w.rect = desc.windowRect;
  w.title = desc.title;
  w.width = std::max<int>(desc.windowRect.right - desc.windowRect.left, 0);
  w.height = std::max<int>(desc.windowRect.bottom - desc.windowRect.top, 0);
  w.pixels.assign(static_cast<size_t>(w.width) * w.height, kNothingPresented);
  return true;
}

void HeadlessDriver::destroyWindow(HWND hwnd) {
  std::lock_guard guard(lock_);
  windows_.erase(hwnd);
  order_.erase(std::remove(order_.begin(), order_.end(), hwnd), order_.end());
}

void HeadlessDriver::showWindow(HWND hwnd, bool visible) {
  std::lock_guard guard(lock_);
  auto it = windows_.find(hwnd);
  if (it != windows_.end()) it->second.visible = visible;
}

void HeadlessDriver::moveWindow(HWND hwnd, const RECT& windowRect, const RECT&) {
  std::lock_guard guard(lock_);
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  NativeWindow& w = it->second;
  w.rect = windowRect;
  int width = std::max<int>(windowRect.right - windowRect.left, 0);
  int height = std::max<int>(windowRect.bottom - windowRect.top, 0);
  if (width == w.width && height == w.height) return;
  std::vector<uint32_t> fresh(static_cast<size_t>(width) * height, kNothingPresented);
  for (int y = 0; y < std::min(height, w.height); ++y)
    std::memcpy(&fresh[static_cast<size_t>(y) * width], &w.pixels[static_cast<size_t>(y) * w.width],
                static_cast<size_t>(std::min(width, w.width)) * 4);
  w.pixels.swap(fresh);
  w.width = width;
  w.height = height;
}

void HeadlessDriver::setTitle(HWND hwnd, const std::string& title) {
  std::lock_guard guard(lock_);
  auto it = windows_.find(hwnd);
  if (it != windows_.end()) it->second.title = title;
}

void HeadlessDriver::present(HWND hwnd, const gdi::BitmapObject& surface, const RECT& area) {
  std::lock_guard guard(lock_);
  auto it = windows_.find(hwnd);
  if (it == windows_.end() || surface.bitsPerPixel != 32) return;
  NativeWindow& w = it->second;
  int x0 = std::max<int>(area.left, 0), y0 = std::max<int>(area.top, 0);
  int x1 = std::min({static_cast<int>(area.right), w.width, surface.width});
  int y1 = std::min({static_cast<int>(area.bottom), w.height, surface.height});
  for (int y = y0; y < y1; ++y) {
    const BYTE* src = surface.row(y) + static_cast<size_t>(x0) * 4;
    uint32_t* dst = &w.pixels[static_cast<size_t>(y) * w.width + x0];
    for (int x = x0; x < x1; ++x, src += 4) *dst++ = src[0] | (src[1] << 8) | (src[2] << 16);
  }
}

void HeadlessDriver::presentFromThread(HWND hwnd, const RECT& area, const uint32_t* pixels, int stride) {
  std::lock_guard guard(lock_);
  auto it = windows_.find(hwnd);
  if (it == windows_.end() || !it->second.visible) return;
  NativeWindow& w = it->second;
  int x0 = std::max<int>(area.left, 0), y0 = std::max<int>(area.top, 0);
  int x1 = std::min<int>(area.right, w.width), y1 = std::min<int>(area.bottom, w.height);
  if (x1 <= x0) return;
  for (int y = y0; y < y1; ++y)
    std::memcpy(&w.pixels[static_cast<size_t>(y) * w.width + x0],
                pixels + static_cast<size_t>(y - area.top) * stride + (x0 - area.left), static_cast<size_t>(x1 - x0) * 4);
}

void HeadlessDriver::setWindowShape(HWND hwnd, const std::vector<RECT>* regionRects) {
  std::lock_guard guard(lock_);
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return;
  it->second.shaped = regionRects != nullptr;
  it->second.shape = regionRects ? *regionRects : std::vector<RECT>();
}

bool HeadlessDriver::waitForEvents(int timeoutMs) {
  if (user::clockFrozen() && timeoutMs >= 0) {
    // Nothing can arrive on an in-memory screen: a frozen clock jumps to the end of the wait.
    user::advanceClock(static_cast<DWORD>(timeoutMs));
    return false;
  }
  int ms = timeoutMs < 0 ? 10 : std::min(timeoutMs, 1000);
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  return false;
}

std::vector<uint32_t> HeadlessDriver::compose() const {
  std::lock_guard guard(lock_);
  std::vector<uint32_t> screen(static_cast<size_t>(size_.cx) * size_.cy, gdi::rgbOf(GetSysColor(COLOR_DESKTOP)));
  for (auto it = order_.rbegin(); it != order_.rend(); ++it) {
    auto found = windows_.find(*it);
    if (found == windows_.end() || !found->second.visible) continue;
    const NativeWindow& w = found->second;
    auto blit = [&](RECT r) {
      int x0 = std::max<int>(r.left, 0), y0 = std::max<int>(r.top, 0);
      int x1 = std::min<int>(r.right, w.width), y1 = std::min<int>(r.bottom, w.height);
      for (int y = y0; y < y1; ++y) {
        int sy = w.rect.top + y;
        if (sy < 0 || sy >= size_.cy) continue;
        for (int x = x0; x < x1; ++x) {
          int sx = w.rect.left + x;
          if (sx < 0 || sx >= size_.cx) continue;
          const uint32_t p = w.pixels[static_cast<size_t>(y) * w.width + x];
          if (p != kNothingPresented) screen[static_cast<size_t>(sy) * size_.cx + sx] = p;
        }
      }
    };
    if (w.shaped) {
      for (const RECT& r : w.shape) blit(r);
    } else {
      blit(RECT{0, 0, w.width, w.height});
    }
  }
  return screen;
}

// What compose() puts at (x, y): the pixel of the topmost visible window that covers the point
// and has presented something there, else the desktop.
uint32_t HeadlessDriver::composedPixel(int x, int y) const {
  std::lock_guard guard(lock_);
  for (HWND hwnd : order_) {
    auto found = windows_.find(hwnd);
    if (found == windows_.end() || !found->second.visible) continue;
    const NativeWindow& w = found->second;
    const int wx = x - w.rect.left, wy = y - w.rect.top;
    if (wx < 0 || wy < 0 || wx >= w.width || wy >= w.height) continue;
    if (w.shaped && std::none_of(w.shape.begin(), w.shape.end(),
                                 [&](const RECT& r) { return PtInRect(&r, POINT{wx, wy}); }))
      continue;
    const uint32_t p = w.pixels[static_cast<size_t>(wy) * w.width + wx];
    if (p != kNothingPresented) return p;
  }
  return gdi::rgbOf(GetSysColor(COLOR_DESKTOP));
}

bool HeadlessDriver::windowImage(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height) const {
  std::lock_guard guard(lock_);
  auto it = windows_.find(hwnd);
  if (it == windows_.end()) return false;
  pixels = it->second.pixels;
  for (uint32_t& p : pixels) p &= 0xFFFFFFu;
  width = it->second.width;
  height = it->second.height;
  return true;
}

void HeadlessDriver::readScreen(gdi::BitmapObject& target) {
  if (target.bitsPerPixel != 32) return;
  std::vector<uint32_t> screen = compose();
  int w = std::min<int>(target.width, size_.cx), h = std::min<int>(target.height, size_.cy);
  for (int y = 0; y < h; ++y) {
    BYTE* dst = target.row(y);
    for (int x = 0; x < w; ++x, dst += 4) {
      uint32_t p = screen[static_cast<size_t>(y) * size_.cx + x];
      dst[0] = p & 0xFF;
      dst[1] = (p >> 8) & 0xFF;
      dst[2] = (p >> 16) & 0xFF;
      dst[3] = 0;
    }
  }
}

std::unique_ptr<Driver> createHeadlessDriver() { return std::make_unique<HeadlessDriver>(); }

HeadlessDriver* activeHeadlessDriver() {
  Driver& d = currentDriver();
  return std::strcmp(d.name(), "headless") == 0 ? static_cast<HeadlessDriver*>(&d) : nullptr;
}

}  // namespace drivers
