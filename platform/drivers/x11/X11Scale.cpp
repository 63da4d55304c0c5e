// The program draws at 96 dpi, as a program that knows nothing of scaling does on Windows; on a
// screen set to more, the driver shows it enlarged by a whole factor, pixel for pixel (so it stays
// sharp), chosen once when the display opens: CORVANE_SCALE if set, else the Xft.dpi resource
// (what desktops set for their scale and toolkits read) / 96 rounded half up, else 1; never more
// than 4, nor so much that the program's screen would fall below 640 x 480 (the smallest screen
// Windows runs on). Only a bad CORVANE_SCALE is reported: a resource is the desktop's business.
#include "drivers/x11/X11Scale.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace x11 {

namespace {

constexpr double kBaseDpi = 96.0;

std::string allowedRange() { return "a whole number from 1 to " + std::to_string(kMaxScale); }

}  // namespace

int scaleFromSetting(const std::string& value, std::string& warning) {
  long long asked = 0;
  const char* first = value.data();
  const char* last = value.data() + value.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, asked);
  int factor = 1;
  if (first == last || end != last || (error != std::errc() && error != std::errc::result_out_of_range)) {
    warning = "corvane: CORVANE_SCALE=\"" + value + "\" is not " + allowedRange() + "; using 1";
    return 1;
  }
  if (error == std::errc::result_out_of_range) {
    factor = value.find('-') == std::string::npos ? kMaxScale : 1;
  } else {
    factor = static_cast<int>(std::clamp<long long>(asked, 1, kMaxScale));
  }
  if (error != std::errc() || factor != asked) {
    warning = "corvane: CORVANE_SCALE=\"" + value + "\" is not " + allowedRange() + "; using " +
              std::to_string(factor);
  }
  return factor;
}

std::optional<int> scaleFromResources(const char* resources) {
  if (resources == nullptr) return std::nullopt;
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (database == nullptr) return std::nullopt;
  char* type = nullptr;
  XrmValue value{};
  std::optional<int> factor;
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) == True && value.addr != nullptr) {
    const std::string text(value.addr, value.size > 0 ? value.size - 1 : 0);
    char* end = nullptr;
    const double dpi = std::strtod(text.c_str(), &end);
    const bool number = end != text.c_str() && std::isfinite(dpi) &&
                        std::all_of(static_cast<const char*>(end), text.c_str() + text.size(), [](char c) { return c == ' ' || c == '\t'; });
    if (number) {
      factor = static_cast<int>(std::clamp(std::floor(dpi / kBaseDpi + 0.5), 1.0, double{kMaxScale}));
    }
  }
  XrmDestroyDatabase(database);
  return factor;
}

int fittingScale(int asked, int screenWidth, int screenHeight) {
  int factor = std::clamp(asked, 1, kMaxScale);
  while (factor > 1 && (screenWidth / factor < kMinProgramWidth || screenHeight / factor < kMinProgramHeight)) {
    --factor;
  }
  return factor;
}

Scale chooseScale(const char* setting, const char* resources, int screenWidth, int screenHeight,
                  std::string& warning) {
  int asked = 1;
  if (setting != nullptr) {
    asked = scaleFromSetting(setting, warning);
  } else {
    asked = scaleFromResources(resources).value_or(1);
  }
  const int factor = fittingScale(asked, screenWidth, screenHeight);
  if (setting != nullptr && factor < asked) {
    warning = "corvane: CORVANE_SCALE=\"" + std::string(setting) + "\" leaves a screen smaller than " +
              std::to_string(kMinProgramWidth) + "x" + std::to_string(kMinProgramHeight) +
              " on this " + std::to_string(screenWidth) + "x" + std::to_string(screenHeight) +
              " display; using " + std::to_string(factor);
  }
  return Scale{factor};
}

void enlargeRow(const uint32_t* in, int width, int factor, uint32_t* out) {
  for (int x = 0; x < width; ++x) {
    std::fill_n(out, factor, in[x]);
    out += factor;
  }
}

}  // namespace x11
