// The program draws at 96 dpi, as a program that knows nothing of scaling does on Windows; on a
// screen set to more, the driver shows it enlarged by a whole factor, pixel for pixel (so it stays
// sharp), chosen once when the display opens: CORVANE_SCALE if set, else the Xft.dpi resource
// (what desktops set for their scale and toolkits read) / 96 rounded half up, else 1; never more
// than 4, nor so much that the program's screen would fall below 640 x 480 (the smallest screen
// Windows runs on). Only a bad CORVANE_SCALE is reported: a resource is the desktop's business.
#include "drivers/x11/X11Scale.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace x11 {

namespace {

constexpr double kBaseDpi = 96.0;

std::string allowedRange() { return "a whole number from 1 to " + std::to_string(kMaxScale); }

// A part of a resource name names a component by its name or its class (the name capitalised).
bool names(std::string_view part, std::string_view component) {
  return part.size() == component.size() && !part.empty() && part.substr(1) == component.substr(1) &&
         std::toupper(static_cast<unsigned char>(part[0])) == std::toupper(static_cast<unsigned char>(component[0]));
}

// How closely a resource name of the form program.resource names this resource, as the resource
// manager ranks its matches: a tight binding beats a loose one, a named program beats none;
// nothing when it does not name it.
std::optional<int> matchRank(std::string_view name, std::string_view program, std::string_view resource) {
  const size_t cut = name.find_last_of(".*");
  if (cut == std::string_view::npos || !names(name.substr(cut + 1), resource)) return std::nullopt;
  const std::string_view head = name.substr(0, cut);
  const bool loose = name[cut] == '*';
  if (names(head, program)) return loose ? 1 : 0;
  if (head.empty() && loose) return 2;
  return std::nullopt;
}

// The value of program.resource in the text of a resource database (one "name: value" a line,
// "!" starting a comment), from the best-ranked line naming it; the last such line wins a tie.
std::optional<std::string> resourceValue(std::string_view text, std::string_view program,
                                         std::string_view resource) {
  std::optional<std::string> value;
  int best = 3;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    const size_t colon = line.find(':');
    if (line.empty() || line.front() == '!' || colon == std::string_view::npos) continue;
    std::string_view name = line.substr(0, colon);
    while (!name.empty() && blank(name.back())) name.remove_suffix(1);
    const std::optional<int> rank = matchRank(name, program, resource);
    if (!rank || *rank > best) continue;
    best = *rank;
    std::string_view v = line.substr(colon + 1);
    while (!v.empty() && blank(v.front())) v.remove_prefix(1);
    value = std::string(v);
  }
  return value;
}

}  // namespace

int scaleFromSetting(const std::string& value, std::string& warning) {
  long long asked = 0;
  const char* first = value.data();
  const char* last = value.data() + value.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, asked);
  int factor = 1;
  if (first == last || end != last || (error != std::errc() && error != std::errc::result_out_of_range)) {
    warning = "CORVANE_SCALE=\"" + value + "\" is not " + allowedRange() + "; using 1";
    return 1;
  }
  if (error == std::errc::result_out_of_range) {
    factor = value.find('-') == std::string::npos ? kMaxScale : 1;
  } else {
    factor = static_cast<int>(std::clamp<long long>(asked, 1, kMaxScale));
  }
  if (error != std::errc() || factor != asked) {
    warning = "CORVANE_SCALE=\"" + value + "\" is not " + allowedRange() + "; using " +
              std::to_string(factor);
  }
  return factor;
}

std::optional<int> scaleFromResources(const char* resources) {
  if (resources == nullptr) return std::nullopt;
  const std::optional<std::string> text = resourceValue(resources, "Xft", "dpi");
  if (!text) return std::nullopt;
  char* end = nullptr;
  const double dpi = std::strtod(text->c_str(), &end);
  const bool number = end != text->c_str() && std::isfinite(dpi) &&
                      std::all_of(static_cast<const char*>(end), text->c_str() + text->size(),
                                  [](char c) { return c == ' ' || c == '\t'; });
  if (!number) return std::nullopt;
  return static_cast<int>(std::clamp(std::floor(dpi / kBaseDpi + 0.5), 1.0, double{kMaxScale}));
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
    warning = "CORVANE_SCALE=\"" + std::string(setting) + "\" leaves a screen smaller than " +
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

std::vector<uint32_t> enlargeImage(const std::vector<uint32_t>& pixels, int width, int height, int factor) {
  const size_t outWidth = static_cast<size_t>(width) * static_cast<size_t>(factor);
  std::vector<uint32_t> out(outWidth * static_cast<size_t>(height) * static_cast<size_t>(factor));
  for (int y = 0; y < height; ++y) {
    uint32_t* first = out.data() + static_cast<size_t>(y) * static_cast<size_t>(factor) * outWidth;
    enlargeRow(pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width), width, factor, first);
    for (int k = 1; k < factor; ++k) std::copy_n(first, outWidth, first + static_cast<size_t>(k) * outWidth);
  }
  return out;
}

}  // namespace x11
