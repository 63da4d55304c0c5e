// The screen the tool's button is shown on and the input that reaches it: on Linux the headless
// driver's in-memory screen, on Windows the real desktop. Everything else of the tool is the same
// on both.
#pragma once

#include <windows.h>

#include <string>

namespace desktop {

// Whether the button can be shown here; `why` says what is missing when it cannot.
bool Ready(std::string& why);
// Before the first window: timers made repeatable where the screen allows it, the pointer parked
// in the screen's far corner.
void Prepare();
// Delivers every pending message, as the window system would before the user's next action.
void Settle();
// Lets `ms` milliseconds pass for the windows' timers, delivering their messages.
void Wait(DWORD ms);
void MovePointer(POINT screen);
void PressLeft();
void ReleaseLeft();
// The window's rectangle as the screen shows it, written to a PNG file.
bool SaveWindowPng(HWND hwnd, const std::string& path);

}  // namespace desktop
