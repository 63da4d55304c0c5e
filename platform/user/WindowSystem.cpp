// The window system's global state, its handles, the driver it runs on and its geometry helpers.
// Window handles are (generation << 20) | (slot + 1) with an 11-bit generation, so every handle
// is a positive 32-bit number (programs keep them in signed 32-bit text) and a stale handle
// stays invalid after its slot is reused.
#include "user/WindowSystem.h"
#include "user/ThreadPaint.h"

#include "gdi/DeviceContext.h"

#include <chrono>
#include <cstring>

namespace user {
namespace {

class Sink : public drivers::EventSink {
 public:
  void mouseMove(POINT screen) override { queueMouseMove(screen); }
  void mouseButton(drivers::MouseButton button, bool down, POINT screen) override {
    queueMouseButton(static_cast<int>(button), down, screen);
  }
  void key(UINT vk, UINT scanCode, bool down, char character) override {
    queueKey(vk, scanCode, down, character);
  }
  void clientRectChanged(HWND hwnd, const RECT& clientScreen) override {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr || !w->isTopLevel()) return;
    RECT win = w->rect;
    RECT oldClient = w->client;
    int dx = clientScreen.left - oldClient.left, dy = clientScreen.top - oldClient.top;
    int dw = (clientScreen.right - clientScreen.left) - (oldClient.right - oldClient.left);
    int dh = (clientScreen.bottom - clientScreen.top) - (oldClient.bottom - oldClient.top);
    setWindowPos(w, nullptr, win.left + dx, win.top + dy, win.right - win.left + dw,
                 win.bottom - win.top + dh, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  void closeRequested(HWND hwnd) override {
    if (windowFromHandle(hwnd) != nullptr) PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  void activated(HWND hwnd, bool active) override {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr) return;
    if (active && sys().active != hwnd) activateWindow(w, WA_ACTIVE);
  }
  void exposed(HWND hwnd, const RECT& surfaceArea) override {
    Window* w = windowFromHandle(hwnd);
    if (w == nullptr || !w->surface) return;
    presentWindow(w, surfaceArea);
    // What was covered is painted again as well, as on a desktop without composition: a window
    // that keeps its picture apart from the screen (a retained image) shows that picture.
    const RECT client = clientRectSurface(w);
    gdi::RegionBands area = gdi::RegionBands::fromRect(surfaceArea);
    area.offset(-client.left, -client.top);
    invalidate(w, &area, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  bool clipboardText(std::string& text) override { return clipboardTextForDriver(text); }
  void clipboardLost() override { clipboardLostByDriver(); }
  bool primaryText(std::string& text) override { return primaryTextForDriver(text); }
  void primaryLost() override { primaryLostByDriver(); }
};

Sink& sink() {
  static Sink* instance = new Sink;
  return *instance;
}

int64_t clockOffset = 0;

}  // namespace

System& sys() {
  static System* instance = [] {
    auto* s = new System;
    auto desktop = std::make_unique<Window>();
    desktop->isDesktop = true;
    desktop->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    desktop->text = "";
    s->desktop = desktop.get();
    // The desktop needs a handle before anything else exists; allocateHandle uses sys(), so the
    // slot is filled by hand here.
    System::Slot slot;
    slot.generation = 1;
    desktop->handle = reinterpret_cast<HWND>(static_cast<uintptr_t>((1u << 20) | 1u));
    slot.window = std::move(desktop);
    s->slots.push_back(std::move(slot));
    return s;
  }();
  return *instance;
}

drivers::Driver& driver() { return drivers::currentDriver(); }

void attachOnce(drivers::Driver& d) {
  System& s = sys();
  if (s.sinkAttached) return;
  s.sinkAttached = true;
  d.attach(&sink());
  SIZE size = d.screenSize();
  s.desktop->rect = RECT{0, 0, size.cx, size.cy};
  s.desktop->client = s.desktop->rect;
  gdi::setScreenSize(size.cx, size.cy);
  s.cursorPos = POINT{size.cx / 2, size.cy / 2};
}

namespace {
bool frozen = false;
int64_t frozenAt = 0;

int64_t realMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

DWORD tickNow() { return static_cast<DWORD>((frozen ? frozenAt : realMilliseconds()) + clockOffset); }

void advanceClock(DWORD ms) { clockOffset += ms; }

void freezeClock(bool freeze) {
  if (freeze == frozen) return;
  // The clock goes on from where it stands, so time never runs backwards.
  if (freeze) {
    frozenAt = realMilliseconds();
  } else {
    clockOffset += frozenAt - realMilliseconds();
  }
  frozen = freeze;
}

bool clockFrozen() { return frozen; }

Window* windowFromHandle(HWND hwnd) {
  uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
  if (value == 0 || value > 0x7FFFFFFF) return nullptr;
  size_t slot = (value & 0xFFFFF);
  if (slot == 0) return nullptr;
  --slot;
  System& s = sys();
  if (slot >= s.slots.size()) return nullptr;
  System::Slot& entry = s.slots[slot];
  if (!entry.window || entry.generation != (value >> 20) || entry.window->dead) return nullptr;
  return entry.window.get();
}

Window* checkWindow(HWND hwnd) {
  Window* w = windowFromHandle(hwnd);
  if (w == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

Window* desktopWindow() {
  driver();  // the first use sizes the desktop
  return sys().desktop;
}

HWND allocateHandle(std::unique_ptr<Window> window) {
  System& s = sys();
  size_t slot;
  if (!s.freeSlots.empty()) {
    slot = s.freeSlots.back();
    s.freeSlots.pop_back();
  } else {
    if (s.slots.size() >= 0xFFFFE) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    slot = s.slots.size();
    s.slots.emplace_back();
  }
  System::Slot& entry = s.slots[slot];
  entry.generation = static_cast<uint16_t>((entry.generation + 1) & 0x7FF);
  if (entry.generation == 0) entry.generation = 1;
  HWND handle = reinterpret_cast<HWND>(
      static_cast<uintptr_t>((static_cast<uintptr_t>(entry.generation) << 20) | (slot + 1)));
  window->handle = handle;
  entry.window = std::move(window);
  return handle;
}

void releaseHandle(Window* window) {
  System& s = sys();
  uintptr_t value = reinterpret_cast<uintptr_t>(window->handle);
  size_t slot = (value & 0xFFFFF) - 1;
  window->dead = true;
  forgetThreadView(window->handle);
  if (slot < s.slots.size() && s.slots[slot].window.get() == window) {
    s.graveyard.push_back(std::move(s.slots[slot].window));
    s.freeSlots.push_back(slot);
  }
  if (s.procDepth == 0) collectGraveyard();
}

void collectGraveyard() {
  System& s = sys();
  if (s.procDepth == 0) s.graveyard.clear();
}

LRESULT callProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  System& s = sys();
  ++s.procDepth;
  LRESULT result = proc(hwnd, msg, wParam, lParam);
  --s.procDepth;
  if (s.procDepth == 0 && !s.graveyard.empty()) collectGraveyard();
  return result;
}

LRESULT sendMessage(Window* w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (w == nullptr || w->dead) return 0;
  if (w->isDesktop) return DefWindowProcA(w->handle, msg, wParam, lParam);
  return callProc(w->proc, w->handle, msg, wParam, lParam);
}

Window* topLevelOf(Window* w) {
  while (w != nullptr && w->parent != nullptr && !w->parent->isDesktop) w = w->parent;
  return (w != nullptr && w->isDesktop) ? nullptr : w;
}

bool isVisibleTree(const Window* w) {
  for (; w != nullptr && !w->isDesktop; w = w->parent)
    if ((w->style & WS_VISIBLE) == 0) return false;
  return w != nullptr;
}

bool isEnabledTree(const Window* w) {
  for (; w != nullptr && !w->isDesktop; w = w->parent)
    if (w->style & WS_DISABLED) return false;
  return true;
}

POINT clientOriginScreen(const Window* w) {
  POINT p{0, 0};
  for (; w != nullptr && !w->isDesktop; w = w->parent) {
    p.x += w->client.left;
    p.y += w->client.top;
  }
  return p;
}

RECT windowRectScreen(const Window* w) {
  if (w->isDesktop) return w->rect;
  POINT o = clientOriginScreen(w->parent);
  return RECT{w->rect.left + o.x, w->rect.top + o.y, w->rect.right + o.x, w->rect.bottom + o.y};
}

RECT clientRectScreen(const Window* w) {
  if (w->isDesktop) return w->client;
  POINT o = clientOriginScreen(w->parent);
  return RECT{w->client.left + o.x, w->client.top + o.y, w->client.right + o.x,
              w->client.bottom + o.y};
}

namespace {
POINT surfaceOrigin(const Window* w) {
  const Window* top = topLevelOf(const_cast<Window*>(w));
  if (top == nullptr) return POINT{0, 0};
  return POINT{top->rect.left, top->rect.top};
}
RECT offsetRect(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }
}  // namespace

RECT windowRectSurface(const Window* w) {
  POINT o = surfaceOrigin(w);
  return offsetRect(windowRectScreen(w), -o.x, -o.y);
}

RECT clientRectSurface(const Window* w) {
  POINT o = surfaceOrigin(w);
  return offsetRect(clientRectScreen(w), -o.x, -o.y);
}

gdi::RegionBands windowShape(const Window* w, int dx, int dy) {
  RECT r{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
  gdi::RegionBands shape = gdi::RegionBands::fromRect(r);
  if (w->region) shape = gdi::RegionBands::combine(shape, *w->region, RGN_AND);
  shape.offset(dx, dy);
  return shape;
}

bool shapeContainsScreen(const Window* w, POINT screen) {
  RECT r = windowRectScreen(w);
  if (screen.x < r.left || screen.x >= r.right || screen.y < r.top || screen.y >= r.bottom)
    return false;
  if (!w->region) return true;
  return w->region->contains(screen.x - r.left, screen.y - r.top);
}

gdi::RegionBands visibleRegion(Window* w, bool clientOnly, bool clipChildren, bool clipSiblings) {
  if (w->isDesktop || !isVisibleTree(w)) return gdi::RegionBands();
  RECT own = clientOnly ? clientRectSurface(w) : windowRectSurface(w);
  RECT wr = windowRectSurface(w);
  gdi::RegionBands vis = gdi::RegionBands::fromRect(own);
  if (w->region) vis = gdi::RegionBands::combine(vis, windowShape(w, wr.left, wr.top), RGN_AND);
  // Every ancestor clips to its client area and its own shape.
  for (Window* a = w->parent; a != nullptr && !a->isDesktop; a = a->parent) {
    vis = vis.intersected(clientRectSurface(a));
    if (a->region) {
      RECT ar = windowRectSurface(a);
      vis = gdi::RegionBands::combine(vis, windowShape(a, ar.left, ar.top), RGN_AND);
    }
  }
  auto subtractSiblingsAbove = [&](Window* x) {
    if (x->parent == nullptr || x->isTopLevel()) return;
    for (Window* sib : x->parent->children) {
      if (sib == x) break;
      if ((sib->style & WS_VISIBLE) == 0) continue;
      RECT sr = windowRectSurface(sib);
      vis = gdi::RegionBands::combine(vis, windowShape(sib, sr.left, sr.top), RGN_DIFF);
    }
  };
  if (clipSiblings) subtractSiblingsAbove(w);
  for (Window* a = w->parent; a != nullptr && !a->isDesktop; a = a->parent)
    if (a->style & WS_CLIPSIBLINGS) subtractSiblingsAbove(a);
  if (clipChildren) {
    for (Window* c : w->children) {
      if ((c->style & WS_VISIBLE) == 0) continue;
      RECT cr = windowRectSurface(c);
      vis = gdi::RegionBands::combine(vis, windowShape(c, cr.left, cr.top), RGN_DIFF);
    }
  }
  return vis;
}

}  // namespace user
