// Top-level windows as X windows. The X window is the client area: the window manager draws the
// frame, so the window system paints none. A window without a frame that the program itself
// places over the whole screen covers it as X11ScreenCover.h describes (override-redirect, above
// every panel, holding the keyboard and pointer, starting as the screen it covers); a size the
// window manager gives a window never makes it cover the screen or stop doing so. Where Windows
// has no counterpart: a window with a fixed dialog frame (WS_EX_DLGMODALFRAME) or an owner is a
// dialog to the manager; a window without a frame and not full screen is a splash, kept above the
// others, since it has no title bar to raise it by; a window is modal when it is shown while its
// owner is disabled, or, having no owner, while every other window of the program is disabled (a
// modal window of the program as a whole, transient for the root window, in the program's window
// group); a window without a sizing border keeps its size when a manager resizes it (maximise,
// tiling) and loses nothing but the manager's attempt. A window shown is mapped when the program
// next pumps, restacks, paints or reads the screen, so that one shown and at once hidden or made
// to cover the screen never reaches the manager. Showing a window makes the next pump wait up to
// kMapWaitMs for the server to expose it, so a window shown before a long blocking call is
// on the screen, painted, before that call starts. Mouse wheel buttons (4 to 7) report nothing,
// since the window system takes no wheel input. A typed character that no key of a US keyboard
// makes arrives as VK_PACKET (0xE7) with that character, the way Windows delivers injected
// Unicode. Text selected in the program is the PRIMARY selection, owned by a window of its own
// beside the CLIPBOARD's; when the process ends, a running clipboard manager is asked to keep the
// CLIPBOARD's text, waiting kHandOverTimeoutMs at most. The display's scale is chosen in
// X11Scale.cpp: every window, position and size the program names is in its own 96-dpi pixels,
// enlarged by the factor on the way to the screen and divided back on the way in.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>

#include "drivers/x11/X11Clipboard.h"
#include "drivers/x11/X11Connection.h"
#include "drivers/x11/X11Cursors.h"
#include "drivers/x11/X11Keymap.h"
#include "drivers/x11/X11Pixels.h"
#include "drivers/x11/X11Scale.h"
#include "drivers/x11/X11ScreenCover.h"
#include "drivers/x11/X11ThreadPresenter.h"
#include "drivers/x11/X11WindowHints.h"
#include "drivers/x11/Windows1252.h"
#include "gdi/Bitmap.h"
#include "kernel/Diagnostics.h"
#include "user/Driver.h"

namespace x11 {

namespace {

constexpr UINT kVkPacket = 0xE7;
constexpr int kClipboardTimeoutMs = 1000;
constexpr int kHandOverTimeoutMs = 2000;
constexpr int kMapWaitMs = 500;
// How long a window manager may take to take in, and then let go of, a window that is to cover
// the screen.
constexpr int kWithdrawWaitMs = 3000;

bool sameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The character a key press types, in Windows-1252, or 0. Ctrl alone turns letters and a few
// punctuation keys into control codes, and other keys into nothing, as TranslateMessage does;
// Ctrl with Alt is AltGr and types the character of that level.
char characterOfPress(KeySym typed, unsigned state) {
  char32_t code = codePointFromKeysym(typed);
  if (code == 0) return 0;
  const bool ctrl = (state & ControlMask) != 0;
  const bool alt = (state & Mod1Mask) != 0;
  if (ctrl && !alt) {
    if ((code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z')) {
      code &= 0x1F;
    } else if (code == '[' || code == '\\' || code == ']') {
      code &= 0x1F;
    } else if (code == 0x0D) {
      code = 0x0A;
    } else if (code == 0x08) {
      code = 0x7F;
    } else if (code != 0x09 && code != 0x1B && code != ' ') {
      return 0;
    }
  }
  return static_cast<char>(byteOf1252(code));
}

class X11Driver final : public drivers::Driver {
 public:
  X11Driver(std::unique_ptr<Connection> connection, Scale scale)
      : c_(std::move(connection)), d_(c_->display()), scale_(scale),
        presenter_(d_, c_->visual(), c_->depth(), c_->format(), shmAvailable(d_)), cursors_(d_, c_->root(), scale_.factor) {
    Bool supported = False;
    // Held keys then repeat as presses alone, which the window system counts as repeats.
    XkbSetDetectableAutoRepeat(d_, True, &supported);
    int eventBase = 0, errorBase = 0;
    hasShape_ = XShapeQueryExtension(d_, &eventBase, &errorBase) == True;
    gc_ = XCreateGC(d_, c_->root(), 0, nullptr);
    XSetGraphicsExposures(d_, gc_, False);

    clipboardWindow_ = selectionWindow();
    clipboard_ = std::make_unique<Clipboard>(
        *c_, clipboardWindow_, c_->atoms().clipboard,
        [this](std::string& text) { return sink_ != nullptr && sink_->clipboardText(text); },
        [this] {
          if (sink_ != nullptr) sink_->clipboardLost();
        });
    primaryWindow_ = selectionWindow();
    primary_ = std::make_unique<Clipboard>(
        *c_, primaryWindow_, XA_PRIMARY,
        [this](std::string& text) { return sink_ != nullptr && sink_->primaryText(text); },
        [this] {
          if (sink_ != nullptr) sink_->primaryLost();
        });
  }

  ~X11Driver() override {
    for (auto& [hwnd, w] : windows_) XDestroyWindow(d_, w.xid);
    XDestroyWindow(d_, primaryWindow_);
    XDestroyWindow(d_, clipboardWindow_);
    XFreeGC(d_, gc_);
    XSync(d_, False);
  }

  const char* name() const override { return "x11"; }
  void attach(drivers::EventSink* sink) override { sink_ = sink; }
  bool showsFrame() const override { return false; }

  SIZE screenSize() const override {
    return SIZE{scale_.toProgram(DisplayWidth(d_, c_->screen())),
                scale_.toProgram(DisplayHeight(d_, c_->screen()))};
  }

  bool createWindow(HWND hwnd, const drivers::WindowDesc& desc) override {
    Win w;
    w.hwnd = hwnd;
    w.windowRect = desc.windowRect;
    w.clientRect = desc.clientRect;
    w.hasFrame = desc.hasFrame;
    w.topmost = desc.topmost;
    w.resizable = (desc.style & WS_THICKFRAME) != 0;
    w.fullscreen = !desc.hasFrame && coversScreen(desc.windowRect);

    XSetWindowAttributes attributes{};
    // No background: the server leaves exposed areas alone until we present them, so nothing
    // flashes in a colour of its own.
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = c_->colormap();
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask |
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | FocusChangeMask;
    attributes.override_redirect = w.fullscreen ? True : False;
    const RECT r = scale_.toScreen(w.clientRect);
    {
      ErrorTrap trap(d_);
      w.xid = XCreateWindow(d_, c_->root(), coordinate(r.left), coordinate(r.top), widthOf(r),
                            heightOf(r), 0, c_->depth(),
                            InputOutput, c_->visual(),
                            CWBackPixmap | CWBorderPixel | CWColormap | CWBitGravity | CWEventMask |
                                CWOverrideRedirect,
                            &attributes);
      if (trap.failed() || w.xid == None) return false;
    }
    setWindowIdentity(*c_, w.xid, clipboardWindow_);
    setSizeHints(*c_, w.xid, r, w.resizable);
    x11::setTitle(*c_, w.xid, desc.title);
    if (currentCursor_ != None) XDefineCursor(d_, w.xid, currentCursor_);
    byXid_[w.xid] = hwnd;
    windows_[hwnd] = w;
    threads_.track(hwnd, w.xid, offset(w));
    return true;
  }

  void destroyWindow(HWND hwnd) override {
    threads_.forget(hwnd);
    auto found = windows_.find(hwnd);
    if (found == windows_.end()) return;
    if (found->second.mapped && found->second.fullscreen) uncover(found->second);
    XDestroyWindow(d_, found->second.xid);
    byXid_.erase(found->second.xid);
    windows_.erase(found);
    XFlush(d_);
  }

  void showWindow(HWND hwnd, bool visible) override {
    threads_.setMapped(hwnd, visible);
    Win* w = find(hwnd);
    if (w == nullptr || w->mapped == visible) return;
    if (visible) {
      map(*w);
    } else {
      unmap(*w);
    }
    XFlush(d_);
  }

  void moveWindow(HWND hwnd, const RECT& windowRect, const RECT& clientRect) override {
    threads_.setOffset(hwnd, POINT{clientRect.left - windowRect.left, clientRect.top - windowRect.top});
    Win* w = find(hwnd);
    if (w == nullptr) return;
    w->windowRect = windowRect;
    const bool sizeChanged = widthOf(clientRect) != widthOf(w->clientRect) ||
                             heightOf(clientRect) != heightOf(w->clientRect);
    if (!sameRect(clientRect, w->clientRect)) {
      w->clientRect = clientRect;
      if (sizeChanged) setSizeHints(*c_, w->xid, scale_.toScreen(clientRect), w->resizable);
      place(*w);
    }
    // Only the program's own moves decide full screen; the manager's answer to them comes back
    // through here as well. Override-redirect counts from a window's next map, so a shown window
    // is shown anew as what it has become.
    const bool fullscreen = !w->hasFrame && coversScreen(windowRect);
    if (!reportingManagerMove_ && fullscreen != w->fullscreen) {
      const bool shown = w->mapped;
      if (shown && fullscreen && !w->mapPending) {
        withdrawFromManager(*w);
      } else if (shown) {
        unmap(*w);
      }
      w->fullscreen = fullscreen;
      setOverrideRedirect(d_, w->xid, fullscreen);
      if (!fullscreen) XSetWindowBackgroundPixmap(d_, w->xid, None);
      if (shown) map(*w);
    }
    XFlush(d_);
  }

  void setTitle(HWND hwnd, const std::string& title) override {
    if (Win* w = find(hwnd)) {
      x11::setTitle(*c_, w->xid, title);
      XFlush(d_);
    }
  }

  void restack(const std::vector<HWND>& topToBottom) override {
    mapPendingWindows();
    if (topToBottom == stacking_) return;
    stacking_ = topToBottom;
    applyStacking();
    XFlush(d_);
  }

  void setIcon(HWND hwnd, HICON big, HICON small) override {
    if (Win* w = find(hwnd)) {
      x11::setIcon(*c_, w->xid, {big, small}, scale_.factor);
      XFlush(d_);
    }
  }

  void activate(HWND hwnd) override {
    Win* w = find(hwnd);
    // A window over the screen holds the keyboard already.
    if (w == nullptr || !w->mapped || w->fullscreen) return;
    if (w->mapPending) {
      w->activateOnMap = true;
    } else {
      requestActivation(*w);
    }
  }

  void present(HWND hwnd, const gdi::BitmapObject& surface, const RECT& area) override {
    mapPendingWindows();
    Win* w = find(hwnd);
    if (w == nullptr || surface.bitsPerPixel != 32 || !surface.topDown || surface.bits == nullptr) {
      return;
    }
    const POINT off = offset(*w);
    // Only the client part of the surface is on the screen.
    const int left = std::max<int>({area.left, off.x, 0});
    const int top = std::max<int>({area.top, off.y, 0});
    const int right = std::min<int>({area.right, off.x + widthOf(w->clientRect), surface.width});
    const int bottom = std::min<int>({area.bottom, off.y + heightOf(w->clientRect), surface.height});
    if (right <= left || bottom <= top) return;
    // From the program's first picture on, the cover shows what the program draws.
    if (hwnd == freshCover_) dropCoverPicture();
    const PixelBuffer buffer{surface.bits, surface.width, surface.height, surface.stride};
    presenter_.put(w->xid, gc_, buffer, left, top, right - left, bottom - top,
                   left - off.x, top - off.y, scale_);
    XFlush(d_);
  }

  void presentFromThread(HWND hwnd, const RECT& area, const uint32_t* pixels, int stride) override {
    threads_.put(hwnd, area, pixels, stride);
  }

  void setWindowShape(HWND hwnd, const std::vector<RECT>* regionRects) override {
    Win* w = find(hwnd);
    if (w == nullptr || !hasShape_) return;
    if (regionRects == nullptr) {
      XShapeCombineMask(d_, w->xid, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
      const POINT off = offset(*w);
      std::vector<XRectangle> rects;
      rects.reserve(regionRects->size());
      for (const RECT& program : *regionRects) {
        const RECT r = scale_.toScreen(RECT{program.left - off.x, program.top - off.y,
                                            program.right - off.x, program.bottom - off.y});
        const long x = r.left, y = r.top;
        const long width = r.right - r.left, height = r.bottom - r.top;
        if (width <= 0 || height <= 0) continue;
        // X rectangles are 16-bit; clamp to what a window can show.
        const long x0 = std::clamp<long>(x, -32768, 32767), y0 = std::clamp<long>(y, -32768, 32767);
        const long x1 = std::clamp<long>(x + width, -32768, 32767 + 65535L);
        const long y1 = std::clamp<long>(y + height, -32768, 32767 + 65535L);
        if (x1 <= x0 || y1 <= y0) continue;
        rects.push_back(XRectangle{static_cast<short>(x0), static_cast<short>(y0),
                                   static_cast<unsigned short>(std::min<long>(x1 - x0, 65535)),
                                   static_cast<unsigned short>(std::min<long>(y1 - y0, 65535))});
      }
      XShapeCombineRectangles(d_, w->xid, ShapeBounding, 0, 0, rects.data(),
                              static_cast<int>(rects.size()), ShapeSet, Unsorted);
    }
    XFlush(d_);
  }

  void setCursor(HCURSOR cursor) override {
    const Cursor x = cursors_.forHandle(cursor);
    if (x == currentCursor_) return;
    currentCursor_ = x;
    for (auto& [hwnd, w] : windows_) {
      if (x == None) {
        XUndefineCursor(d_, w.xid);
      } else {
        XDefineCursor(d_, w.xid, x);
      }
    }
    XFlush(d_);
  }

  void setCursorPos(POINT screen) override {
    XWarpPointer(d_, None, c_->root(), 0, 0, 0, 0, scale_.toScreen(screen.x), scale_.toScreen(screen.y));
    XFlush(d_);
  }

  void pumpEvents() override {
    mapPendingWindows();
    pump();
    awaitExposure();
    regrabInput();
  }

  bool waitForEvents(int timeoutMs) override {
    mapPendingWindows();
    regrabInput();
    if (awaitExposure() > 0) return true;
    if (XEventsQueued(d_, QueuedAfterFlush) == 0) {
      pollfd fd{c_->fd(), POLLIN, 0};
      if (poll(&fd, 1, timeoutMs < 0 ? -1 : timeoutMs) > 0) XEventsQueued(d_, QueuedAfterReading);
    }
    return pump() > 0;
  }

  void readScreen(gdi::BitmapObject& target) override {
    if (target.bitsPerPixel != 32 || !target.topDown || target.bits == nullptr) return;
    mapPendingWindows();
    // What we presented must be on the screen before it is read back.
    XSync(d_, False);
    PixelBuffer buffer{target.bits, target.width, target.height, target.stride};
    // Whatever the manager or the server has done on the screen meanwhile, a cover the program
    // has not drawn into yet stands for the screen it covers.
    if (freshCover_ != nullptr) {
      coverPicture_.copyTo(buffer, scale_.factor);
    } else {
      readRoot(d_, c_->root(), c_->rootFormat(), buffer, scale_.factor);
    }
    target.widenDirty(RECT{0, 0, target.width, target.height});
  }

  void claimClipboard() override {
    clipboard_->claim();
    XFlush(d_);
  }

  bool readForeignClipboard(std::string& text) override {
    return clipboard_->readForeign(text, kClipboardTimeoutMs);
  }

  void handOverClipboard() override {
    clipboard_->handOver(kHandOverTimeoutMs);
    XFlush(d_);
  }

  void offerPrimarySelection(bool offered) override {
    if (offered) {
      primary_->claim();
    } else {
      primary_->release();
    }
    XFlush(d_);
  }

 private:
  struct Win {
    HWND hwnd = nullptr;
    ::Window xid = None;
    RECT windowRect{};
    RECT clientRect{};
    bool hasFrame = false;
    bool topmost = false;
    bool resizable = false;
    bool mapped = false;
    // Shown, but not yet mapped on the server (see map), and to be activated once it is.
    bool mapPending = false;
    bool activateOnMap = false;
    bool fullscreen = false;
    bool grabbed = false;  // a full-screen window holds the keyboard and pointer
    WindowKind kind;
    // Mapped and not yet exposed: the next pump waits for the exposure until the deadline.
    bool awaitingExpose = false;
    std::chrono::steady_clock::time_point exposeDeadline;
    // Configure events older than our last move describe a place we already left.
    unsigned long configureSerial = 0;
  };

  // The protocol carries positions in 16 bits and sizes in 15 (a size of 0 is an error).
  static int coordinate(LONG v) { return std::clamp<LONG>(v, -32768, 32767); }
  static int widthOf(const RECT& r) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{r.right} - r.left, 1, 32767));
  }
  static int heightOf(const RECT& r) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{r.bottom} - r.top, 1, 32767));
  }
  static POINT offset(const Win& w) {
    return POINT{w.clientRect.left - w.windowRect.left, w.clientRect.top - w.windowRect.top};
  }

  Win* find(HWND hwnd) {
    auto found = windows_.find(hwnd);
    return found == windows_.end() ? nullptr : &found->second;
  }
  HWND fromXid(::Window xid) const {
    auto found = byXid_.find(xid);
    return found == byXid_.end() ? nullptr : found->second;
  }
  // Owners are top-level windows, but be safe with a child handle.
  HWND topLevelHandle(HWND hwnd) {
    for (int depth = 0; hwnd != nullptr && depth < 64; ++depth) {
      if (windows_.count(hwnd) != 0) return hwnd;
      hwnd = GetParent(hwnd);
    }
    return nullptr;
  }

  // An unmapped window of our own that owns one selection.
  ::Window selectionWindow() {
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    return XCreateWindow(d_, c_->root(), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                         CopyFromParent, CWEventMask, &attributes);
  }

  // Raising from the bottom up leaves the first one on top; only visible windows take part,
  // since the window manager may refuse to restack others.
  void applyStacking() {
    for (auto it = stacking_.rbegin(); it != stacking_.rend(); ++it) {
      Win* w = find(*it);
      if (w != nullptr && w->mapped) XRaiseWindow(d_, w->xid);
    }
  }

  // Moves the X window to the client rectangle; what the server reports for earlier requests no
  // longer counts.
  void place(Win& w) {
    const RECT onScreen = scale_.toScreen(w.clientRect);
    w.configureSerial = NextRequest(d_);
    XMoveResizeWindow(d_, w.xid, coordinate(onScreen.left), coordinate(onScreen.top),
                      static_cast<unsigned>(widthOf(onScreen)), static_cast<unsigned>(heightOf(onScreen)));
  }

  // A window that does not cover the screen is mapped when the program next pumps, restacks,
  // paints or reads the screen: a window shown and at once hidden, or made to cover the screen
  // (the screen scramble shows and activates its window, then enlarges it), never reaches the
  // window manager, which would otherwise take it in and focus it, and repaint the window below
  // as inactive before the screen is read.
  void map(Win& w) {
    if (w.fullscreen) {
      cover(w);
      return;
    }
    w.mapped = true;
    w.mapPending = true;
  }

  void mapPendingWindows() {
    for (auto& [hwnd, w] : windows_) {
      if (w.mapPending) mapNow(w);
    }
  }

  void mapNow(Win& w) {
    w.mapPending = false;
    const bool activating = std::exchange(w.activateOnMap, false);
    // Styles and owner may have changed since the window was made.
    const HWND owner = GetWindow(w.hwnd, GW_OWNER);
    Win* ownerWin = owner != nullptr ? find(topLevelHandle(owner)) : nullptr;
    w.kind = kindOf(w, ownerWin);
    ::Window transientFor = ownerWin != nullptr ? ownerWin->xid : None;
    if (transientFor == None && w.kind.modal) transientFor = c_->root();
    setTransientFor(*c_, w.xid, transientFor);
    setWindowKind(*c_, w.xid, w.kind);
    XMapWindow(d_, w.xid);
    // A window manager installs the colormap of the window in front; without one, we must.
    if (c_->ownsColormap() && !c_->wmSupports(c_->atoms().netWmState)) {
      XInstallColormap(d_, c_->colormap());
    }
    expectExposure(w);
    // The window takes its place in the window system's order, not simply the top.
    applyStacking();
    if (activating) requestActivation(w);
  }

  void requestActivation(Win& w) {
    if (c_->wmSupports(c_->atoms().netActiveWindow)) {
      XEvent event{};
      event.xclient.type = ClientMessage;
      event.xclient.window = w.xid;
      event.xclient.message_type = c_->atoms().netActiveWindow;
      event.xclient.format = 32;
      event.xclient.data.l[0] = 1;  // a normal application
      event.xclient.data.l[1] = static_cast<long>(lastTime_);
      XSendEvent(d_, c_->root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
      XFlush(d_);
      return;
    }
    // No window manager: the window takes the focus itself once it is viewable.
    ErrorTrap trap(d_);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(d_, w.xid, &attributes) != 0 && attributes.map_state == IsViewable) {
      XRaiseWindow(d_, w.xid);
      XSetInputFocus(d_, w.xid, RevertToParent, CurrentTime);
    }
  }

  void unmap(Win& w) {
    if (w.mapPending) {
      w.mapPending = false;
      w.activateOnMap = false;
    } else if (w.fullscreen) {
      uncover(w);
    } else {
      XWithdrawWindow(d_, w.xid, c_->screen());
    }
    w.mapped = false;
  }

  // Reads the screen while the window is not on it, shows that picture as the window's
  // background, puts the window over everything and takes the input.
  void cover(Win& w) {
    XSync(d_, False);
    coverPicture_.take(*c_);
    freshCover_ = w.hwnd;
    const Pixmap background = coverPicture_.toPixmap(*c_, presenter_);
    XSetWindowBackgroundPixmap(d_, w.xid, background);
    // The server keeps the background for the window's life.
    if (background != None) XFreePixmap(d_, background);
    // A manager may have moved it while it managed it.
    place(w);
    XMapRaised(d_, w.xid);
    if (c_->ownsColormap()) XInstallColormap(d_, c_->colormap());
    w.mapped = true;
    w.grabbed = grabInput(d_, w.xid);
    expectExposure(w);
  }

  void uncover(Win& w) {
    if (w.grabbed) releaseInput(d_);
    w.grabbed = false;
    if (freshCover_ == w.hwnd) dropCoverPicture();
    XUnmapWindow(d_, w.xid);
  }

  void dropCoverPicture() {
    freshCover_ = nullptr;
    coverPicture_.clear();
  }

  bool coverShown() const {
    return std::any_of(windows_.begin(), windows_.end(),
                       [](const auto& entry) { return entry.second.mapped && entry.second.fullscreen; });
  }

  // Another client (a manager busy with a drag, say) may hold the input when a cover appears.
  void regrabInput() {
    for (auto& [hwnd, w] : windows_) {
      if (w.mapped && w.fullscreen && !w.grabbed) w.grabbed = grabInput(d_, w.xid);
    }
  }

  // What the manager is told about a window about to be shown.
  WindowKind kindOf(const Win& w, const Win* owner) {
    const auto style = static_cast<DWORD>(GetWindowLongA(w.hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongA(w.hwnd, GWL_EXSTYLE));
    WindowKind k;
    k.hasFrame = w.hasFrame;
    k.title = (style & WS_CAPTION) == WS_CAPTION;
    k.closeBox = k.title && (style & WS_SYSMENU) != 0;
    k.sizable = (style & WS_THICKFRAME) != 0;
    k.minimizeBox = k.closeBox && (style & WS_MINIMIZEBOX) != 0;
    k.maximizeBox = k.closeBox && k.sizable && (style & WS_MAXIMIZEBOX) != 0;
    k.dialog = w.hasFrame && ((exStyle & WS_EX_DLGMODALFRAME) != 0 || owner != nullptr);
    k.splash = !w.hasFrame && !w.fullscreen && owner == nullptr;
    k.above = w.topmost || k.splash;
    if (owner != nullptr) {
      k.modal = !IsWindowEnabled(owner->hwnd);
    } else {
      int others = 0, enabled = 0;
      for (const auto& [hwnd, other] : windows_) {
        if (hwnd == w.hwnd) continue;
        ++others;
        if (IsWindowEnabled(hwnd)) ++enabled;
      }
      k.modal = others > 0 && enabled == 0;
    }
    return k;
  }

  // The next pump waits for the server to expose the window just mapped.
  static void expectExposure(Win& w) {
    w.exposeDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMapWaitMs);
    w.awaitingExpose = true;
  }

  // The manager must have taken the window in before it can let go of it, and have let go of it
  // before the window bypasses the manager.
  void withdrawFromManager(Win& w) {
    awaitManagerMap(w.xid);
    unmap(w);
    awaitWithdrawal(w.xid);
  }

  // A window shown under a manager is mapped by the manager, at its own pace. Until then the
  // server has nothing to unmap, so a withdrawal is only the synthetic notice to the root, which
  // some managers (xfwm4) ignore for a window in the normal state: they then take in the window
  // whose map they have yet to handle, and keep it. Waits kWithdrawWaitMs at most for the window
  // to be mapped, or iconic (which the notice does withdraw).
  void awaitManagerMap(::Window xid) {
    awaitWindow([&] {
      XWindowAttributes attributes{};
      const bool mapped = XGetWindowAttributes(d_, xid, &attributes) != 0 &&
                          attributes.map_state != IsUnmapped;
      return mapped || wmStateOf(xid) == IconicState;
    });
  }

  // A manager has let go of a withdrawn window once its WM_STATE is gone or says withdrawn (xfwm4
  // keeps the property at WithdrawnState) and it has given the window back to the root; some
  // (xfwm4) do the first before the second, and a window mapped while still inside the manager's
  // frame is lost with that frame. Waits kWithdrawWaitMs at most.
  void awaitWithdrawal(::Window xid) {
    awaitWindow([&] { return wmStateOf(xid) == WithdrawnState && parentOf(xid) == c_->root(); });
  }

  // Asks the server until done says yes, for kWithdrawWaitMs at most.
  template <typename Done>
  void awaitWindow(Done done) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWithdrawWaitMs);
    while (std::chrono::steady_clock::now() < deadline) {
      XSync(d_, False);
      if (done()) return;
      poll(nullptr, 0, 5);
    }
  }

  // The state the manager gives the window (WithdrawnState when there is none).
  long wmStateOf(::Window xid) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long state = WithdrawnState;
    if (XGetWindowProperty(d_, xid, c_->atoms().wmState, 0, 1, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        type != None && format == 32 && count == 1) {
      state = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) XFree(data);
    return state;
  }

  ::Window parentOf(::Window xid) {
    ::Window root = None, parent = None;
    ::Window* children = nullptr;
    unsigned int count = 0;
    ErrorTrap trap(d_);
    if (!XQueryTree(d_, xid, &root, &parent, &children, &count)) return None;
    if (children != nullptr) XFree(children);
    return parent;
  }

  // Waits, up to each window's deadline, until every window shown since the last pump has been
  // exposed, handling what arrives meanwhile; the number of reports made to the sink.
  int awaitExposure() {
    int delivered = 0;
    for (;;) {
      const auto now = std::chrono::steady_clock::now();
      auto deadline = now;
      for (auto& [hwnd, w] : windows_) {
        if (!w.awaitingExpose) continue;
        if (!w.mapped || w.exposeDeadline <= now) {
          w.awaitingExpose = false;
          continue;
        }
        deadline = std::max(deadline, w.exposeDeadline);
      }
      if (deadline <= now) return delivered;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
      pollfd fd{c_->fd(), POLLIN, 0};
      if (XEventsQueued(d_, QueuedAfterFlush) == 0 &&
          poll(&fd, 1, static_cast<int>(left.count()) + 1) > 0) {
        XEventsQueued(d_, QueuedAfterReading);
      }
      delivered += pump();
    }
  }

  bool coversScreen(const RECT& r) const {
    const SIZE screen = screenSize();
    return r.left <= 0 && r.top <= 0 && r.right >= screen.cx && r.bottom >= screen.cy;
  }

  int pump() {
    int delivered = 0;
    while (XPending(d_) > 0) {
      XEvent event;
      XNextEvent(d_, &event);
      delivered += dispatch(event);
    }
    return delivered;
  }

  // Handles one event; the number of reports made to the sink. The sink may destroy windows, so
  // nothing found before a report is used after it.
  int dispatch(XEvent& event) {
    if (clipboard_->handle(event) || primary_->handle(event)) return 0;
    if (sink_ == nullptr) return 0;
    switch (event.type) {
      case KeyPress:
      case KeyRelease:
        return onKey(event.xkey);
      case ButtonPress:
      case ButtonRelease: {
        lastTime_ = event.xbutton.time;
        if (fromXid(event.xbutton.window) == nullptr) return 0;
        drivers::MouseButton button;
        switch (event.xbutton.button) {
          case Button1: button = drivers::MouseButton::Left; break;
          case Button2: button = drivers::MouseButton::Middle; break;
          case Button3: button = drivers::MouseButton::Right; break;
          default: return 0;
        }
        sink_->mouseButton(button, event.type == ButtonPress,
                           scale_.toProgram(POINT{event.xbutton.x_root, event.xbutton.y_root}));
        return 1;
      }
      case MotionNotify: {
        // Only the last of a run of moves matters; a move behind a click must stay behind it.
        XEvent next;
        while (XEventsQueued(d_, QueuedAlready) > 0) {
          XPeekEvent(d_, &next);
          if (next.type != MotionNotify || next.xmotion.window != event.xmotion.window) break;
          XNextEvent(d_, &event);
        }
        lastTime_ = event.xmotion.time;
        if (fromXid(event.xmotion.window) == nullptr) return 0;
        sink_->mouseMove(scale_.toProgram(POINT{event.xmotion.x_root, event.xmotion.y_root}));
        return 1;
      }
      case EnterNotify:
      case LeaveNotify:
        lastTime_ = event.xcrossing.time;
        if (fromXid(event.xcrossing.window) == nullptr) return 0;
        sink_->mouseMove(scale_.toProgram(POINT{event.xcrossing.x_root, event.xcrossing.y_root}));
        return 1;
      case FocusIn:
      case FocusOut: {
        const XFocusChangeEvent& f = event.xfocus;
        if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyPointer ||
            f.detail == NotifyInferior) {
          return 0;
        }
        const HWND hwnd = fromXid(f.window);
        // While a window covers the screen it holds the keyboard: what the manager does with the
        // focus of the windows below (a click on them just before, say) must not raise them.
        if (hwnd == nullptr || coverShown()) return 0;
        sink_->activated(hwnd, event.type == FocusIn);
        return 1;
      }
      case Expose: {
        const HWND hwnd = fromXid(event.xexpose.window);
        Win* w = find(hwnd);
        if (w == nullptr) return 0;
        w->awaitingExpose = false;
        const POINT off = offset(*w);
        const RECT exposed = scale_.toProgram(RECT{event.xexpose.x, event.xexpose.y,
                                                   event.xexpose.x + event.xexpose.width,
                                                   event.xexpose.y + event.xexpose.height});
        sink_->exposed(hwnd, RECT{exposed.left + off.x, exposed.top + off.y, exposed.right + off.x,
                                  exposed.bottom + off.y});
        return 1;
      }
      case ConfigureNotify:
        return onConfigure(event.xconfigure);
      case ClientMessage:
        return onClientMessage(event.xclient);
      case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        return 0;
      default:
        return 0;
    }
  }

  int onKey(XKeyEvent& key) {
    lastTime_ = key.time;
    if (fromXid(key.window) == nullptr) return 0;
    const bool down = key.type == KeyPress;
    KeySym typed = NoSymbol;
    char ignored[32];
    XLookupString(&key, ignored, sizeof ignored, &typed, nullptr);
    const KeySym base = XLookupKeysym(&key, 0);
    std::optional<KeyInfo> info = keyFromKeysym(base);
    if (!info) info = keyFromKeysym(typed);
    const char character = down ? characterOfPress(typed, key.state) : 0;
    UINT vk = 0, scan = 0;
    if (info) {
      // The sided code: the window system keeps both it and the generic key's state.
      vk = info->sidedVk;
      scan = info->scan | (info->extended ? 0x100u : 0u);
    } else if (codePointFromKeysym(typed) != 0) {
      // A character with no key of its own on a US keyboard arrives as a packet, as SendInput
      // delivers Unicode input.
      vk = kVkPacket;
    } else {
      return 0;
    }
    sink_->key(vk, scan, down, character);
    return 1;
  }

  int onConfigure(const XConfigureEvent& configure) {
    const HWND hwnd = fromXid(configure.window);
    Win* w = find(hwnd);
    if (w == nullptr || configure.serial < w->configureSerial) return 0;
    int x = 0, y = 0;
    ::Window child = None;
    if (!XTranslateCoordinates(d_, w->xid, c_->root(), 0, 0, &x, &y, &child)) return 0;
    const LONG left = scale_.toProgram(x), top = scale_.toProgram(y);
    RECT actual{left, top, left + scale_.coverToProgram(configure.width),
                top + scale_.coverToProgram(configure.height)};
    const RECT expected = scale_.toScreen(w->clientRect);
    if (!w->resizable && !w->fullscreen &&
        (configure.width != widthOf(expected) || configure.height != heightOf(expected))) {
      // Without a sizing border the window cannot be resized on Windows either: keep the size,
      // take the place. A manager that maximised it anyway must first let go of the maximise,
      // or it refuses the size.
      if (c_->wmSupports(c_->atoms().netWmState)) unmaximize(*c_, w->xid);
      w->configureSerial = NextRequest(d_);
      XResizeWindow(d_, w->xid, static_cast<unsigned>(widthOf(expected)),
                    static_cast<unsigned>(heightOf(expected)));
      XFlush(d_);
      actual.right = actual.left + widthOf(w->clientRect);
      actual.bottom = actual.top + heightOf(w->clientRect);
    }
    if (sameRect(actual, w->clientRect)) return 0;
    // Keep the frame the window system drew around the client until it moves the window itself.
    const POINT off = offset(*w);
    const LONG extraRight = w->windowRect.right - w->clientRect.right;
    const LONG extraBottom = w->windowRect.bottom - w->clientRect.bottom;
    w->clientRect = actual;
    w->windowRect = RECT{actual.left - off.x, actual.top - off.y, actual.right + extraRight,
                         actual.bottom + extraBottom};
    reportingManagerMove_ = true;
    sink_->clientRectChanged(hwnd, actual);
    reportingManagerMove_ = false;
    return 1;
  }

  int onClientMessage(XClientMessageEvent& message) {
    const Atoms& a = c_->atoms();
    if (message.message_type != a.wmProtocols || message.format != 32) return 0;
    const Atom protocol = static_cast<Atom>(message.data.l[0]);
    if (protocol == a.netWmPing) {
      XEvent reply{};
      reply.xclient = message;
      reply.xclient.window = c_->root();
      XSendEvent(d_, c_->root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &reply);
      XFlush(d_);
      return 0;
    }
    if (protocol != a.wmDeleteWindow) return 0;
    const HWND hwnd = fromXid(message.window);
    if (hwnd == nullptr) return 0;
    lastTime_ = static_cast<Time>(message.data.l[1]);
    sink_->closeRequested(hwnd);
    return 1;
  }

  std::unique_ptr<Connection> c_;
  Display* d_;
  Scale scale_;
  drivers::EventSink* sink_ = nullptr;
  Presenter presenter_;
  ThreadPresenter threads_{c_->name(), c_->visual(), c_->depth(), c_->format(), scale_};
  Cursors cursors_;
  std::unique_ptr<Clipboard> clipboard_;
  ::Window clipboardWindow_ = None;
  std::unique_ptr<Clipboard> primary_;
  ::Window primaryWindow_ = None;
  GC gc_ = nullptr;
  bool hasShape_ = false;
  Cursor currentCursor_ = None;
  Time lastTime_ = CurrentTime;
  // The window system is taking in a place the window manager gave a window.
  bool reportingManagerMove_ = false;
  std::map<HWND, Win> windows_;
  std::unordered_map<::Window, HWND> byXid_;
  std::vector<HWND> stacking_;
  // The screen as it was when the newest full-screen window appeared, until the program draws
  // into that window.
  ScreenPicture coverPicture_;
  HWND freshCover_ = nullptr;
};

}  // namespace

}  // namespace x11

namespace drivers {

std::unique_ptr<Driver> createX11Driver(std::string& error) {
  std::unique_ptr<x11::Connection> connection(x11::Connection::open(nullptr, error));
  if (!connection) return nullptr;
  Display* display = connection->display();
  std::string warning;
  const x11::Scale scale = x11::chooseScale(std::getenv("CORVANE_SCALE"), XResourceManagerString(display),
                                            DisplayWidth(display, connection->screen()),
                                            DisplayHeight(display, connection->screen()), warning);
  if (!warning.empty()) kernel::tellUser(warning);
  return std::make_unique<x11::X11Driver>(std::move(connection), scale);
}

}  // namespace drivers
