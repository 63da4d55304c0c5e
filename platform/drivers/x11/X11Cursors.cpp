// Cursors. X cursors without the Xcursor library have two colours, so a colour cursor keeps its
// outline and light/dark split but not its exact colours.
#include "drivers/x11/X11Cursors.h"

#include <X11/cursorfont.h>

#include <algorithm>

#include "drivers/x11/X11Scale.h"
#include "gdi/Icon.h"

namespace x11 {

namespace {

uint64_t digest(const std::vector<uint32_t>& argb, int width, int height, int hotX, int hotY) {
  // FNV-1a over the geometry and the pixels.
  uint64_t h = 1469598103934665603ULL;
  auto mix = [&h](uint64_t v) {
    for (int i = 0; i < 8; ++i) {
      h ^= (v >> (i * 8)) & 0xFF;
      h *= 1099511628211ULL;
    }
  };
  mix(static_cast<uint64_t>(width)), mix(static_cast<uint64_t>(height));
  mix(static_cast<uint64_t>(hotX)), mix(static_cast<uint64_t>(hotY));
  for (uint32_t p : argb) mix(p);
  return h;
}

XColor toXColor(uint32_t rgb) {
  XColor c{};
  c.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 257);
  c.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 257);
  c.blue = static_cast<unsigned short>((rgb & 0xFF) * 257);
  c.flags = DoRed | DoGreen | DoBlue;
  return c;
}

}  // namespace

TwoColourCursor reduceToTwoColours(const std::vector<uint32_t>& argb, int width, int height) {
  TwoColourCursor out;
  out.width = width;
  out.height = height;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  out.shown.assign(count, 0);
  out.foreground.assign(count, 0);
  uint64_t dark[3] = {0, 0, 0}, light[3] = {0, 0, 0};
  uint64_t darkCount = 0, lightCount = 0;
  for (size_t i = 0; i < count && i < argb.size(); ++i) {
    const uint32_t p = argb[i];
    if ((p >> 24) < 128) continue;
    out.shown[i] = 1;
    const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const bool isDark = r * 299 + g * 587 + b * 114 < 128 * 1000;
    uint64_t* sum = isDark ? dark : light;
    sum[0] += r, sum[1] += g, sum[2] += b;
    if (isDark) {
      out.foreground[i] = 1;
      ++darkCount;
    } else {
      ++lightCount;
    }
  }
  auto average = [](const uint64_t* sum, uint64_t n) {
    return static_cast<uint32_t>(((sum[0] / n) << 16) | ((sum[1] / n) << 8) | (sum[2] / n));
  };
  if (darkCount > 0) out.foregroundColour = average(dark, darkCount);
  if (lightCount > 0) out.backgroundColour = average(light, lightCount);
  return out;
}

Cursors::Cursors(Display* display, ::Window root, int factor)
    : display_(display), root_(root), factor_(factor) {}

Cursors::~Cursors() {
  for (auto& [shape, cursor] : fontCursors_) XFreeCursor(display_, cursor);
  for (auto& [key, cursor] : imageCursors_) XFreeCursor(display_, cursor);
  if (invisible_ != None) XFreeCursor(display_, invisible_);
}

Cursor Cursors::invisible() {
  if (invisible_ != None) return invisible_;
  const char zero = 0;
  Pixmap empty = XCreateBitmapFromData(display_, root_, &zero, 1, 1);
  XColor black{};
  invisible_ = XCreatePixmapCursor(display_, empty, empty, &black, &black, 0, 0);
  XFreePixmap(display_, empty);
  return invisible_;
}

Cursor Cursors::forHandle(HCURSOR cursor) {
  if (cursor == nullptr) return invisible();
  if (!systemLoaded_) {
    systemLoaded_ = true;
    const struct {
      LPCSTR id;
      unsigned shape;
    } system[] = {
        {IDC_ARROW, XC_left_ptr},        {IDC_HAND, XC_hand2},
        {IDC_IBEAM, XC_xterm},           {IDC_WAIT, XC_watch},
        {IDC_CROSS, XC_crosshair},       {IDC_APPSTARTING, XC_watch},
        {IDC_SIZEALL, XC_fleur},         {IDC_SIZE, XC_fleur},
        {IDC_SIZEWE, XC_sb_h_double_arrow}, {IDC_SIZENS, XC_sb_v_double_arrow},
        {IDC_SIZENWSE, XC_bottom_right_corner}, {IDC_SIZENESW, XC_bottom_left_corner},
        {IDC_NO, XC_X_cursor},           {IDC_UPARROW, XC_center_ptr},
        {IDC_HELP, XC_question_arrow},
    };
    for (const auto& s : system) {
      if (HCURSOR handle = LoadCursorA(nullptr, s.id)) systemShapes_.emplace(handle, s.shape);
    }
  }
  if (auto found = systemShapes_.find(cursor); found != systemShapes_.end()) {
    auto& slot = fontCursors_[found->second];
    if (slot == None) slot = XCreateFontCursor(display_, found->second);
    return slot;
  }
  return fromImage(cursor);
}

Cursor Cursors::fromImage(HCURSOR cursor) {
  const gdi::IconObject* icon = gdi::iconFromHandle(cursor);
  if (icon == nullptr || icon->width <= 0 || icon->height <= 0) return None;
  const std::vector<uint32_t> argb = gdi::iconToArgb(*icon);
  const uint64_t key = digest(argb, icon->width, icon->height, icon->hotX, icon->hotY);
  if (auto found = imageCursors_.find(key); found != imageCursors_.end()) return found->second;
  // Programs make a handful of cursors; a program that keeps making new ones must not grow this
  // without end (X keeps a freed cursor alive while a window still shows it).
  if (imageCursors_.size() >= 64) {
    for (auto& [k, c] : imageCursors_) XFreeCursor(display_, c);
    imageCursors_.clear();
  }
  const TwoColourCursor two = reduceToTwoColours(enlargeImage(argb, icon->width, icon->height, factor_),
                                                 icon->width * factor_, icon->height * factor_);
  const int bytesPerRow = (two.width + 7) / 8;
  std::vector<char> source(static_cast<size_t>(bytesPerRow) * two.height, 0);
  std::vector<char> mask(source.size(), 0);
  for (int y = 0; y < two.height; ++y) {
    for (int x = 0; x < two.width; ++x) {
      const size_t i = static_cast<size_t>(y) * two.width + x;
      const size_t byte = static_cast<size_t>(y) * bytesPerRow + x / 8;
      // XCreateBitmapFromData takes bits least significant first.
      if (two.shown[i]) mask[byte] = static_cast<char>(mask[byte] | (1 << (x % 8)));
      if (two.foreground[i]) source[byte] = static_cast<char>(source[byte] | (1 << (x % 8)));
    }
  }
  Pixmap sourcePixmap = XCreateBitmapFromData(display_, root_, source.data(),
                                              static_cast<unsigned>(two.width),
                                              static_cast<unsigned>(two.height));
  Pixmap maskPixmap = XCreateBitmapFromData(display_, root_, mask.data(),
                                            static_cast<unsigned>(two.width),
                                            static_cast<unsigned>(two.height));
  XColor fg = toXColor(two.foregroundColour);
  XColor bg = toXColor(two.backgroundColour);
  const unsigned hotX = static_cast<unsigned>(std::clamp(icon->hotX * factor_, 0, two.width - 1));
  const unsigned hotY = static_cast<unsigned>(std::clamp(icon->hotY * factor_, 0, two.height - 1));
  Cursor made = XCreatePixmapCursor(display_, sourcePixmap, maskPixmap, &fg, &bg, hotX, hotY);
  XFreePixmap(display_, sourcePixmap);
  XFreePixmap(display_, maskPixmap);
  imageCursors_.emplace(key, made);
  return made;
}

}  // namespace x11
