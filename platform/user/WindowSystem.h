// The window system's state: classes, the window tree, the message queue, focus, capture and
// timers, shared by the files of platform/user. Everything lives on the user-interface thread.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gdi/Bitmap.h"
#include "gdi/Region.h"
#include "user/Driver.h"

#ifndef ERROR_TLW_WITH_WSCHILD
#define ERROR_TLW_WITH_WSCHILD 1406L
#endif
#ifndef ERROR_CANNOT_FIND_WND_CLASS
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#endif

namespace user {

struct WindowClass {
  std::string name;  // as registered
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  ATOM atom = 0;
  int windows = 0;  // live windows of the class; a class with windows cannot be unregistered
  std::vector<BYTE> extra;
};

struct Window {
  HWND handle = nullptr;
  WindowClass* cls = nullptr;
  Window* parent = nullptr;  // the desktop for top-level windows; nullptr for the desktop itself
  Window* owner = nullptr;
  std::vector<Window*> children;  // Z order, topmost first
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  std::string text;
  std::vector<BYTE> extra;
  // Window and client rectangles in the parent's client coordinates (screen for top-level).
  RECT rect{0, 0, 0, 0};
  RECT client{0, 0, 0, 0};
  std::optional<gdi::RegionBands> region;  // window region, window coordinates
  // What needs painting, in window coordinates (non-client part included).
  gdi::RegionBands update;
  bool eraseNeeded = false;
  bool frameNeeded = false;
  bool internalPaint = false;
  std::map<std::string, HANDLE> props;  // keyed by the upper-cased name
  std::map<std::string, std::string> propNames;  // the names as first given
  HDC ownDC = nullptr;
  HICON iconBig = nullptr;
  HICON iconSmall = nullptr;
  bool created = false;      // WM_NCCREATE went through
  bool destroying = false;   // DestroyWindow has started
  bool dead = false;         // the handle no longer works
  bool sizeMovePending = true;  // WM_SIZE and WM_MOVE still owed by the first show
  bool isDesktop = false;
  // Top-level windows only: the surface (whole window rectangle) and the native window.
  std::unique_ptr<gdi::BitmapObject> surface;
  bool native = false;

  bool isTopLevel() const { return parent != nullptr && parent->isDesktop; }
  bool isChild() const { return (style & WS_CHILD) != 0 && !isTopLevel(); }
};

// A DC handed out by GetDC/GetDCEx/GetWindowDC/BeginPaint and not yet given back.
struct HeldDC {
  HDC hdc = nullptr;
  HWND hwnd = nullptr;
  DWORD flags = 0;
  bool own = false;  // the window's CS_OWNDC DC
  std::optional<gdi::RegionBands> paintClip;  // BeginPaint: the update region, surface coordinates
  std::optional<gdi::RegionBands> extraClip;  // DCX_INTERSECTRGN, surface coordinates
};

enum class InputKind { MouseMove, MouseButton, Key };

struct InputEvent {
  InputKind kind = InputKind::MouseMove;
  POINT pt{0, 0};  // screen
  int button = 0;  // 0 left, 1 right, 2 middle
  bool down = false;
  UINT vk = 0;
  UINT scan = 0;
  char character = 0;
  DWORD time = 0;
};

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT interval = 0;
  TIMERPROC proc = nullptr;
  DWORD due = 0;
};

struct System {
  std::vector<std::unique_ptr<WindowClass>> classes;
  // Handle table: slot index + generation.
  struct Slot {
    std::unique_ptr<Window> window;
    uint16_t generation = 0;
  };
  std::vector<Slot> slots;
  std::vector<size_t> freeSlots;
  std::vector<std::unique_ptr<Window>> graveyard;  // freed when no window procedure runs
  int procDepth = 0;
  Window* desktop = nullptr;

  std::deque<MSG> posted;
  std::deque<InputEvent> input;
  bool quitPosted = false;
  int quitCode = 0;
  std::vector<Timer> timers;
  UINT_PTR nextThreadTimerId = 1;

  HWND active = nullptr;
  HWND focus = nullptr;
  HWND capture = nullptr;
  POINT cursorPos{0, 0};
  HCURSOR cursor = nullptr;
  int cursorShowCount = 0;
  BYTE keyState[256] = {};       // as of the messages retrieved (GetKeyState)
  BYTE asyncKeyState[256] = {};  // as of the input that arrived (GetAsyncKeyState)
  BYTE asyncPressedSinceQuery[256] = {};

  // The message being processed: its time and pointer position.
  DWORD messageTime = 0;
  POINT messagePos{0, 0};

  // Double clicks: the last button press that could start one.
  HWND lastClickWindow = nullptr;
  UINT lastClickMessage = 0;
  DWORD lastClickTime = 0;
  POINT lastClickPos{0, 0};
  bool lastWasDouble = false;

  std::vector<HeldDC> heldDCs;
  std::unique_ptr<gdi::BitmapObject> screenImage;  // GetDC(NULL)
  int defaultPositionCount = 0;
  bool sinkAttached = false;

  // Polls of the message loop that found nothing to do, and what tests run at each of them.
  long idlePolls = 0;
  std::function<void()> onIdle;
};

System& sys();

// The driver in use (chosen and attached on first use).
drivers::Driver& driver();
// Attaches the window system to the driver just chosen: its events, the desktop's size and the
// cursor's start; later calls do nothing.
void attachOnce(drivers::Driver& d);
// The clock of timers and message times, in milliseconds.
DWORD tickNow();
void advanceClock(DWORD ms);
// A frozen clock moves only by advanceClock (headless tests).
void freezeClock(bool frozen);
bool clockFrozen();

WindowClass* findClass(LPCSTR name);

// Handles.
Window* windowFromHandle(HWND hwnd);       // nullptr (no last-error change) when not a live window
Window* checkWindow(HWND hwnd);            // nullptr with ERROR_INVALID_WINDOW_HANDLE
Window* desktopWindow();
HWND allocateHandle(std::unique_ptr<Window> window);
void releaseHandle(Window* window);        // moves it to the graveyard
void collectGraveyard();

// Calls the window procedure, keeping the depth that guards the graveyard.
LRESULT callProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT sendMessage(Window* w, UINT msg, WPARAM wParam, LPARAM lParam);

// Geometry.
Window* topLevelOf(Window* w);
bool isVisibleTree(const Window* w);       // the window and every ancestor visible
bool isEnabledTree(const Window* w);
POINT clientOriginScreen(const Window* w);
RECT windowRectScreen(const Window* w);
RECT clientRectScreen(const Window* w);
// Rectangles in surface coordinates of the window's top-level window.
RECT windowRectSurface(const Window* w);
RECT clientRectSurface(const Window* w);
void computeNonClient(DWORD style, DWORD exStyle, RECT& rect);  // window rect -> client rect
bool hasFrame(const Window* w);
// The visible region of a window in surface coordinates.
gdi::RegionBands visibleRegion(Window* w, bool clientOnly, bool clipChildren, bool clipSiblings);
// The window region clipped to the window rectangle, in the given coordinates.
gdi::RegionBands windowShape(const Window* w, int dx, int dy);
bool shapeContainsScreen(const Window* w, POINT screen);

// Painting.
void invalidate(Window* w, const gdi::RegionBands* clientArea, UINT flags);
void updateNow(Window* w, bool children);
Window* findWindowToPaint(Window* root, HWND filter);
void refreshHeldDCs(Window* topLevel);
void flushPresentation();
void presentWindow(Window* top, const RECT& surfaceArea);
void resizeSurface(Window* top);
void releaseWindowDCs(Window* w);
// active: 1 or 0 draws the caption in that state; -1 follows the active window.
void drawNonClient(Window* w, int active = -1);
HBRUSH classBrush(const Window* w);

// WM_PARENTNOTIFY up the chain of parents, as long as no window on the way opts out; lParam
// is a window handle, or for mouse presses the point, converted into each parent's client area.
void parentNotify(Window* child, WPARAM wParam, LPARAM lParam, bool lParamIsPoint);

// Live windows, for GR_USEROBJECTS.
DWORD liveWindowCount();

// Window positions.
bool setWindowPos(Window* w, HWND after, int x, int y, int cx, int cy, UINT flags);
void restackDriver();
void placeInZOrder(Window* w, HWND after);

// Focus, activation, capture.
void activateWindow(Window* w, int how);
void activateNext(Window* leaving);
void setFocusTo(Window* w);
void releaseCaptureOf(Window* w);
void forgetWindowInput(Window* w);
Window* windowAtPoint(POINT screen);

// Timers and properties of a dying window.
void killWindowTimers(HWND hwnd);
void removeWindowProps(Window* w);

// Input arriving from drivers and the headless interface.
void queueMouseMove(POINT screen);
void queueMouseButton(int button, bool down, POINT screen);
void queueKey(UINT vk, UINT scan, bool down, char character);
UINT scanCodeOf(UINT vk);
char characterOf(UINT vk, bool shift, bool capsLock);

// The message loop core shared by GetMessage, PeekMessage and the headless interface.
bool peekMessage(MSG* msg, HWND hwnd, UINT first, UINT last, UINT remove);
bool nextTimerDue(DWORD& due);

// Cursors.
HCURSOR systemCursor(int id);
HICON systemIcon(int id);

// Clipboard hooks used by the driver sink.
bool clipboardTextForDriver(std::string& text);
void clipboardLostByDriver();

// The primary selection: looks at the selection of the window a message was dispatched to once
// the message is handled, and the hooks the driver sink uses.
void noteSelectionAfter(HWND hwnd, UINT msg);
bool primaryTextForDriver(std::string& text);
void primaryLostByDriver();

}  // namespace user
