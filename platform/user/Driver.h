// The boundary between the window system (platform/user) and the place where top-level windows
// appear: the headless in-memory screen or an X11 display. The window system owns every window,
// its surface and its messages; a driver only shows surfaces and reports what the user does.
//
// Geometry: the window system keeps for each top-level window its window rectangle (frame
// included) and its client rectangle in screen coordinates, and one 32 bpp surface that covers
// the whole window rectangle; surface pixel (0, 0) is the window's top-left corner. A driver that
// has its own frame (X11: the window manager's) shows only the client part of the surface and
// places its native window at the client rectangle; the headless driver shows the whole surface,
// frame included, which the window system paints itself.
//
// Everything runs on the user-interface thread: a driver calls its EventSink only from inside
// pumpEvents or waitForEvents. The one exception is presentFromThread, which any thread may call
// at any time; a driver guards what it shares with it by a lock of its own that the
// user-interface thread holds only for short bookkeeping, never while it waits for anything.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gdi {
struct BitmapObject;
}

namespace drivers {

// What a driver needs to know to show a top-level window.
struct WindowDesc {
  RECT windowRect;    // screen coordinates, frame included
  RECT clientRect;    // screen coordinates
  std::string title;  // the window text
  DWORD style = 0;
  DWORD exStyle = 0;
  bool topmost = false;  // WS_EX_TOPMOST
  bool hasFrame = false;  // WS_CAPTION or a sizing/thick border: the native window gets decorations
};

// Mouse buttons as the sink receives them.
enum class MouseButton { Left = 0, Right = 1, Middle = 2 };

// What the window system offers a driver to report native events. Input goes through the
// window system's own queue exactly as injected input does, so every driver behaves the same.
class EventSink {
 public:
  virtual ~EventSink() = default;
  // The pointer moved to a point on the screen.
  virtual void mouseMove(POINT screen) = 0;
  virtual void mouseButton(MouseButton button, bool down, POINT screen) = 0;
  // A key went down or up. vk is a Win32 virtual-key code (VK_xxx, 'A'..'Z', '0'..'9'), scanCode
  // the PC set-1 scan code (0 if unknown; bit 8 set for extended keys). character is what the
  // key types with the modifiers of the moment in the ANSI code page (0 when it types nothing or
  // when the driver leaves that to the window system's US layout).
  virtual void key(UINT vk, UINT scanCode, bool down, char character) = 0;
  // The native window was moved or resized by someone else (the window manager): the new
  // client rectangle in screen coordinates.
  virtual void clientRectChanged(HWND hwnd, const RECT& clientScreen) = 0;
  // The user asked to close the window (title bar button): WM_CLOSE.
  virtual void closeRequested(HWND hwnd) = 0;
  // The native window gained or lost the input focus of the desktop.
  virtual void activated(HWND hwnd, bool active) = 0;
  // The area of the native window, in surface coordinates, must be shown again; the window
  // system re-presents it from the surface at once and invalidates it, so that the window
  // paints it again (WM_PAINT), as Windows does for an uncovered area.
  virtual void exposed(HWND hwnd, const RECT& surfaceArea) = 0;
  // Clipboard: another program asks for the text this process owns (CF_TEXT, CR LF line ends);
  // false when the process holds no text.
  virtual bool clipboardText(std::string& text) = 0;
  // Another program took the clipboard: the process's own copy is dropped.
  virtual void clipboardLost() = 0;
  // Primary selection: another program asks for the text selected in the process (CF_TEXT, CR LF
  // line ends); false when nothing is selected any more.
  virtual bool primaryText(std::string& text) = 0;
  // Another program's selection replaced the process's one.
  virtual void primaryLost() = 0;
};

class Driver {
 public:
  virtual ~Driver() = default;

  virtual const char* name() const = 0;
  // Called once, before any other call.
  virtual void attach(EventSink* sink) = 0;
  // Whether the window system paints the frame (caption and border) into the surface because
  // the driver shows it; false when the native system draws frames of its own.
  virtual bool showsFrame() const = 0;
  // The screen size in pixels.
  virtual SIZE screenSize() const = 0;

  // Top-level windows, identified by their HWND. createWindow returns false when the native
  // window could not be made; the window system then fails CreateWindowExA.
  virtual bool createWindow(HWND hwnd, const WindowDesc& desc) = 0;
  virtual void destroyWindow(HWND hwnd) = 0;
  virtual void showWindow(HWND hwnd, bool visible) = 0;
  // New rectangles in screen coordinates; the surface may have been replaced (new size).
  virtual void moveWindow(HWND hwnd, const RECT& windowRect, const RECT& clientRect) = 0;
  virtual void setTitle(HWND hwnd, const std::string& title) = 0;
  // The stacking order of all top-level windows, topmost first (hidden ones included).
  virtual void restack(const std::vector<HWND>& topToBottom) = 0;
  // The big and small icons of the window (NULL: none); the driver copies what it needs.
  virtual void setIcon(HWND hwnd, HICON big, HICON small) = 0;
  // Makes the native window the active (focused) one of the desktop.
  virtual void activate(HWND hwnd) = 0;
  // Shows an area of a window's surface. area is in surface coordinates and lies within it.
  // The window region (NULL: none) is in surface coordinates as well; outside it the window
  // is transparent. The surface stays valid until the next moveWindow or destroyWindow.
  virtual void present(HWND hwnd, const gdi::BitmapObject& surface, const RECT& area) = 0;
  virtual void setWindowShape(HWND hwnd, const std::vector<RECT>* regionRects) = 0;
  // Any thread: shows pixels (0x00RRGGBB, top row first, `stride` pixels apart) over an area of
  // a window in surface coordinates, as present does, without touching the surface. Dropped
  // for an unknown or hidden window.
  virtual void presentFromThread(HWND hwnd, const RECT& area, const uint32_t* pixels, int stride) = 0;

  // The pointer's image (NULL: none) and position.
  virtual void setCursor(HCURSOR cursor) = 0;
  virtual void setCursorPos(POINT screen) = 0;

  // Delivers every pending native event to the sink without waiting.
  virtual void pumpEvents() = 0;
  // Waits until a native event arrives or timeoutMs passes (negative: no limit) and delivers
  // what arrived; returns whether anything was delivered.
  virtual bool waitForEvents(int timeoutMs) = 0;

  // Copies the visible screen into target (32 bpp, the screen's size) for GetDC(NULL).
  virtual void readScreen(gdi::BitmapObject& target) = 0;

  // Clipboard: the process now owns the clipboard text (the driver asks the sink for it when
  // another program wants it), or gives the ownership up.
  virtual void claimClipboard() = 0;
  // Text another program owns, as CF_TEXT (CR LF line ends); false when there is none or the
  // process owns the clipboard itself.
  virtual bool readForeignClipboard(std::string& text) = 0;
  // Text is selected in the process (true) or no longer is: where the desktop has a primary
  // selection (X11's PRIMARY) the driver owns it meanwhile and asks the sink for the text.
  virtual void offerPrimarySelection(bool offered) = 0;
  // The process is ending: the clipboard's text is handed to whatever keeps it afterwards (on
  // X11 a clipboard manager), waiting a bounded time.
  virtual void handOverClipboard() = 0;
};

// The X11 driver, defined in platform/drivers/x11/X11Driver.cpp (the window system links it only
// when that file exists). Returns null, with the reason in error ("cannot open display" and the
// display's name, or the visual it cannot draw on), when it cannot be used.
std::unique_ptr<Driver> createX11Driver(std::string& error);
// The headless driver (platform/drivers/headless/).
std::unique_ptr<Driver> createHeadlessDriver();

// The driver in use, chosen at first use (platform/drivers/DriverChoice.cpp):
// CORVANE_DRIVER=headless asks for the in-memory screen; otherwise (unset or x11) the X11 display
// named by DISPLAY. A missing DISPLAY, a display that cannot be opened, an X visual the driver
// cannot draw on or any other CORVANE_DRIVER value makes the process write why ("cannot open
// display" and the display's name for a display) to standard error and exit with status 1.
// Before either driver starts, the font files come into memory (gdi::loadFontFiles).
Driver& currentDriver();
// The headless driver, unless a driver is already in use (the headless test interface).
void chooseHeadlessUnlessChosen();

}  // namespace drivers
