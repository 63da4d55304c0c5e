// The headless driver's screen: its clock is frozen, so the hover timer ticks only when the tool
// lets time pass, and every render of the same button gives the same pixels.
#include "Desktop.h"

#include <corvane/headless.h>

#include <cstdlib>

namespace hl = corvane::headless;

namespace desktop {

bool Ready(std::string& why) {
  if (hl::active()) return true;
  why = "needs the headless window driver (CORVANE_DRIVER=headless)";
  return false;
}

void Prepare() {
  hl::freezeClock(true);
  const SIZE screen = hl::screenSize();
  hl::mouseMove(screen.cx - 1, screen.cy - 1);
}

void Settle() { hl::runUntilIdle(); }
void Wait(DWORD ms) { hl::runFor(ms); }
void MovePointer(POINT p) { hl::mouseMove(p.x, p.y); }
void PressLeft() { hl::mouseDown(hl::Button::Left); }
void ReleaseLeft() { hl::mouseUp(hl::Button::Left); }
bool SaveWindowPng(HWND hwnd, const std::string& path) { return hl::saveWindowPng(hwnd, path); }

}  // namespace desktop

// The tool always draws on the headless screen unless told otherwise.
[[maybe_unused]] static const bool headlessByDefault = [] { return setenv("CORVANE_DRIVER", "headless", 0) == 0; }();
