// The display's scale: how many screen pixels each of the program's 96-dpi pixels covers, in both
// directions, and the conversions between the program's coordinates and the screen's.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace x11 {

constexpr int kMaxScale = 4;
// The smallest screen the program is given: a factor that would leave less is too large.
constexpr int kMinProgramWidth = 640;
constexpr int kMinProgramHeight = 480;

struct Scale {
  int factor = 1;

  // Program pixels to screen pixels.
  int toScreen(LONG v) const { return static_cast<int>(std::clamp<int64_t>(int64_t{v} * factor, INT32_MIN, INT32_MAX)); }
  // A screen position to the program pixel that shows it (rounding down, also left of zero).
  LONG toProgram(int v) const { return v >= 0 ? v / factor : -((-static_cast<int64_t>(v) + factor - 1) / factor); }
  POINT toProgram(POINT p) const { return POINT{toProgram(static_cast<int>(p.x)), toProgram(static_cast<int>(p.y))}; }
  // The number of program pixels needed to cover a screen length (rounding up).
  LONG coverToProgram(int v) const { return -toProgram(-v); }
  // The program pixels that cover a screen area, partly covered ones included.
  RECT toProgram(const RECT& r) const {
    return RECT{toProgram(static_cast<int>(r.left)), toProgram(static_cast<int>(r.top)),
                coverToProgram(static_cast<int>(r.right)), coverToProgram(static_cast<int>(r.bottom))};
  }
  RECT toScreen(const RECT& r) const {
    return RECT{toScreen(r.left), toScreen(r.top), toScreen(r.right), toScreen(r.bottom)};
  }
};

// CORVANE_SCALE's factor: a whole number from 1 to kMaxScale; anything else gives the nearest
// allowed factor (1 for what is not a number) and a warning for the user.
int scaleFromSetting(const std::string& value, std::string& warning);
// The factor the Xft.dpi resource asks for in the resources' text (as the RESOURCE_MANAGER
// property holds it): dots per inch / 96 rounded half up, from 1 to kMaxScale; nothing when the
// resource is missing or is not a number.
std::optional<int> scaleFromResources(const char* resources);
// The largest factor up to the one asked for that leaves the program a screen of at least
// kMinProgramWidth x kMinProgramHeight; 1 on any screen.
int fittingScale(int asked, int screenWidth, int screenHeight);

// The whole choice: the setting when there is one (nullptr: not set), else the resources, else 1,
// fitted to the screen. What the user should hear about the setting lands in warning, a line
// without the program's name, for kernel::tellUser.
Scale chooseScale(const char* setting, const char* resources, int screenWidth, int screenHeight,
                  std::string& warning);

// Repeats each of width pixels factor times: out holds width * factor pixels.
void enlargeRow(const uint32_t* in, int width, int factor, uint32_t* out);
// A whole width x height image (rows one after the other) with each pixel factor x factor.
std::vector<uint32_t> enlargeImage(const std::vector<uint32_t>& pixels, int width, int height, int factor);

}  // namespace x11
