// The test interface of the headless driver: input as a user makes it, the message loop run until
// idle, the clock that timers follow, and the in-memory screen. For tests and tools only; the
// program itself never includes this header. Every call selects the headless driver if no driver
// has been chosen yet (CORVANE_DRIVER=headless is still the way to make sure of it).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace corvane::headless {

enum class Button { Left = 0, Right = 1, Middle = 2 };

// True when the window system runs on the headless driver.
bool active();

// Mouse: the pointer moves on the screen; presses and releases happen where it is.
void mouseMove(int x, int y);
void mouseDown(Button button = Button::Left);
void mouseUp(Button button = Button::Left);
// Move, press, release.
void click(int x, int y, Button button = Button::Left);
// Two clicks at the same place within the double-click time.
void doubleClick(int x, int y, Button button = Button::Left);

// Keyboard, by virtual-key code (VK_xxx, 'A'..'Z', '0'..'9').
void keyDown(UINT vk);
void keyUp(UINT vk);
// Down then up.
void pressKey(UINT vk);
// Types the text as a US keyboard would (Shift for capitals and symbols; "\n" is Enter, "\t" Tab).
void typeText(const std::string& text);
// Alt held around one key (Alt+O: altKey('O')); Ctrl likewise.
void altKey(UINT vk);
void ctrlKey(UINT vk);

// Runs the message loop of the calling thread (PeekMessage, TranslateMessage, DispatchMessage)
// until nothing is left to do: no posted or input message, no window to paint and no timer due.
// Stops after maxMessages messages (returns -1 then) or at WM_QUIT, which stays retrievable by
// the next GetMessage/PeekMessage. Returns the number of messages dispatched.
int runUntilIdle(int maxMessages = 100000);

// Runs action each time the message loop finds nothing to do (a PeekMessage or GetMessage that
// has no message to give), with the number of such polls since this call: 1, 2, ... What the
// action injects is seen by that same poll. An empty function stops it. For loops that yield
// (DoEvents) pass after pass and never go idle on their own: input arrives after n passes.
void onIdle(std::function<void(int poll)> action);
// The polls that found nothing to do since the window system started.
long idlePolls();

// The clock of the window system (GetTickCount-like, milliseconds). advanceTime moves it forward
// without waiting, so the timers that fall due fire at the next runUntilIdle. runFor runs the
// message loop for ms milliseconds of that clock, advancing it timer by timer without sleeping.
DWORD now();
void advanceTime(DWORD ms);
// Stops (or restarts) the real passing of time: while frozen, the clock moves only by advanceTime
// and runFor, and a message loop that waits for a timer jumps the clock to it instead of sleeping,
// so timer tests give the same result however slowly they run.
void freezeClock(bool frozen);
int runFor(DWORD ms, int maxMessages = 100000);

// The screen as shown: the desktop colour with every visible top-level window composed on it.
SIZE screenSize();
COLORREF screenPixel(int x, int y);
// PNG files (RGB, 8 bits per channel). False when the file cannot be written or the window is
// not a window.
bool saveScreenPng(const std::string& path);
bool saveWindowPng(HWND hwnd, const std::string& path);

// The text the program offers other programs as the primary selection (what a middle click pastes
// on X), asked for as another program would; false when it offers none.
bool primarySelection(std::string& text);

}  // namespace corvane::headless
