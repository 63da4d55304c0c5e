// Another thread's DC draws where the window's client area showed when the user-interface thread
// last painted the window or changed the geometry of a window of the same top-level window, since
// that thread cannot look at the window tree while the other changes it. Its drawing goes straight
// to the driver and is kept beside the surface until the user-interface thread next presents,
// which writes it into the surface, unless the window has painted itself since. Such a DC takes
// SetDIBitsToDevice only; every other GDI call fails on it with ERROR_INVALID_HANDLE, as for any
// handle that is not a DC. The user-interface thread is the process's first thread.
//
// Shared between the threads, all under `lock`: the views, the drawings not yet in a surface, the
// open thread DCs and the driver pointer. Nothing else is locked while `lock` is held, and the
// driver is called after it is let go, so the user-interface thread never waits for a drawing.
#include "user/ThreadPaint.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "gdi/Bitmap.h"
#include "gdi/ThreadDC.h"

namespace user {

namespace {

struct View {
  HWND top = nullptr;
  POINT origin{0, 0};         // the client area's top-left corner on the surface
  gdi::RegionBands visible;   // surface coordinates
};

// A drawing not yet written into its top-level surface.
struct Drawing {
  HWND top = nullptr;
  RECT area{0, 0, 0, 0};  // surface coordinates
  std::vector<uint32_t> pixels;
  gdi::RegionBands shown;  // the part of area that reached the screen
};

std::mutex lock;
std::map<HWND, View> views;
std::map<HWND, Drawing> drawings;
std::map<HDC, HWND> threadDCs;
uintptr_t nextDC = gdi::kThreadDCBase;
drivers::Driver* threadDriver = nullptr;
const std::thread::id uiThread = std::this_thread::get_id();

bool blit(HDC hdc, int x, int y, int width, int height, const gdi::BitmapObject& image, int sx, int sy);

}  // namespace

bool onUiThread() { return std::this_thread::get_id() == uiThread; }

namespace {

View viewOf(Window* w, Window* top) {
  View view;
  view.top = top->handle;
  RECT client = clientRectSurface(w);
  view.origin = POINT{client.left, client.top};
  view.visible = visibleRegion(w, true, (w->style & WS_CLIPCHILDREN) != 0, (w->style & WS_CLIPSIBLINGS) != 0);
  return view;
}

bool samePlace(const View& a, const View& b) {
  const std::vector<RECT>& ra = a.visible.rects();
  const std::vector<RECT>& rb = b.visible.rects();
  return a.top == b.top && a.origin.x == b.origin.x && a.origin.y == b.origin.y && ra.size() == rb.size() &&
         std::equal(ra.begin(), ra.end(), rb.begin(), [](const RECT& x, const RECT& y) {
           return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
         });
}

}  // namespace

void publishThreadView(Window* w) {
  Window* top = topLevelOf(w);
  if (top == nullptr) return;
  View view = viewOf(w, top);
  drivers::Driver* d = &driver();
  std::lock_guard guard(lock);
  if (threadDriver == nullptr) {
    threadDriver = d;
    gdi::setThreadDibBlit(blit);
  }
  views[w->handle] = std::move(view);
  drawings.erase(w->handle);  // the window's own paint is newer
}

void refreshThreadViews(Window* top) {
  std::vector<HWND> known;
  {
    std::lock_guard guard(lock);
    for (const auto& [hwnd, view] : views)
      if (view.top == top->handle) known.push_back(hwnd);
  }
  for (HWND hwnd : known) {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) continue;
    View view = viewOf(w, top);
    std::lock_guard guard(lock);
    auto known = views.find(hwnd);
    if (known == views.end()) continue;
    // A drawing made for another place would land in the wrong part of the surface.
    if (!samePlace(known->second, view)) drawings.erase(hwnd);
    known->second = std::move(view);
  }
}

void forgetThreadView(HWND hwnd) {
  std::lock_guard guard(lock);
  views.erase(hwnd);
  drawings.erase(hwnd);
}

void mergeThreadPaint() {
  std::map<HWND, Drawing> pending;
  {
    std::lock_guard guard(lock);
    if (drawings.empty()) return;
    pending.swap(drawings);
  }
  for (auto& [hwnd, d] : pending) {
    Window* top = windowFromHandle(d.top);
    if (top == nullptr || !top->surface || top->surface->bitsPerPixel != 32) continue;
    gdi::BitmapObject& surface = *top->surface;
    const int width = d.area.right - d.area.left;
    const gdi::RegionBands inside = d.shown.intersected(RECT{0, 0, surface.width, surface.height});
    for (const RECT& r : inside.rects()) {
      for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* from = &d.pixels[static_cast<size_t>(y - d.area.top) * width + (r.left - d.area.left)];
        BYTE* to = surface.row(y) + static_cast<size_t>(r.left) * 4;
        for (int x = r.left; x < r.right; ++x, to += 4, ++from) {
          to[0] = *from & 0xFF;
          to[1] = (*from >> 8) & 0xFF;
          to[2] = (*from >> 16) & 0xFF;
          to[3] = 0;
        }
      }
    }
  }
}

HDC threadGetDC(HWND hwnd) {
  std::lock_guard guard(lock);
  if (views.find(hwnd) == views.end()) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  HDC hdc = reinterpret_cast<HDC>(nextDC);
  nextDC += 4;
  threadDCs[hdc] = hwnd;
  return hdc;
}

int threadReleaseDC(HDC hdc) {
  std::lock_guard guard(lock);
  return threadDCs.erase(hdc) != 0 ? 1 : 0;
}

namespace {

bool blit(HDC hdc, int x, int y, int width, int height, const gdi::BitmapObject& image, int sx, int sy) {
  Drawing drawing;
  drivers::Driver* d = nullptr;
  {
    std::lock_guard guard(lock);
    auto dc = threadDCs.find(hdc);
    if (dc == threadDCs.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    auto view = views.find(dc->second);
    if (view == views.end()) return true;  // the window died: nothing to draw on
    const View& v = view->second;
    drawing.top = v.top;
    drawing.area = RECT{v.origin.x + x, v.origin.y + y, v.origin.x + x + width, v.origin.y + y + height};
    drawing.shown = v.visible.intersected(drawing.area);
    d = threadDriver;
  }
  if (drawing.shown.empty() || width <= 0 || height <= 0) return true;
  drawing.pixels.assign(static_cast<size_t>(width) * height, 0);
  for (int row = 0; row < height; ++row) {
    uint32_t* out = &drawing.pixels[static_cast<size_t>(row) * width];
    for (int col = 0; col < width; ++col) {
      if (!image.contains(sx + col, sy + row)) continue;
      out[col] = gdi::rgbOf(image.colorFromRaw(image.rawPixel(sx + col, sy + row)));
    }
  }
  for (const RECT& r : drawing.shown.rects()) {
    const uint32_t* first = &drawing.pixels[static_cast<size_t>(r.top - drawing.area.top) * width + (r.left - drawing.area.left)];
    d->presentFromThread(drawing.top, r, first, width);
  }
  std::lock_guard guard(lock);
  auto dc = threadDCs.find(hdc);
  // A window that painted itself or died meanwhile keeps what it has.
  if (dc != threadDCs.end() && views.count(dc->second) != 0) drawings[dc->second] = std::move(drawing);
  return true;
}

}  // namespace

}  // namespace user
