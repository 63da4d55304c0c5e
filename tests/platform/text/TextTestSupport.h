// A 32-bit top-down DIB section in a memory DC, with direct pixel access, and a scoped font, for
// the text tests. Both give back every GDI object they make.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "DibSurface.h"

namespace texttest {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(10, 20, 200);
constexpr COLORREF kPaper = RGB(240, 230, 100);

class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = kWhite)
      : width_(width), height_(height), surface_(width, height), bits_(surface_.bits) {
    clear(fill);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool valid() const { return surface_.dc != nullptr && surface_.bitmap != nullptr && bits_ != nullptr; }
  HDC dc() const { return surface_.dc; }
  int width() const { return width_; }
  int height() const { return height_; }

  void clear(COLORREF color) {
    if (bits_ == nullptr) return;
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = raw(color);
  }
  COLORREF at(int x, int y) const {
    uint32_t v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
  }
  // Pixels of the given colour.
  int count(COLORREF color) const {
    int n = 0;
    for (int i = 0; i < width_ * height_; ++i) n += bits_[i] == raw(color) ? 1 : 0;
    return n;
  }
  // The box of pixels that are not the given colour; empty when there are none.
  RECT inkBox(COLORREF background) const {
    RECT box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (at(x, y) == background) continue;
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
    }
    if (box.left >= box.right) return RECT{0, 0, 0, 0};
    return box;
  }
  // True when this canvas equals other moved by (dx, dy); pixels moved in from outside must be
  // the background colour.
  bool equalsShifted(const Canvas& other, int dx, int dy, COLORREF background) const {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        int sx = x - dx, sy = y - dy;
        COLORREF expected = (sx >= 0 && sy >= 0 && sx < other.width_ && sy < other.height_)
                                ? other.at(sx, sy)
                                : background;
        if (at(x, y) != expected) return false;
      }
    }
    return true;
  }
  bool operator==(const Canvas& other) const { return equalsShifted(other, 0, 0, 0); }
  // Rows as text, '#' for ink and '.' for background, for failure messages.
  std::string dump(COLORREF background) const {
    std::string out;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) out += at(x, y) == background ? '.' : '#';
      out += '\n';
    }
    return out;
  }

 private:
  static uint32_t raw(COLORREF c) {
    return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
  }
  int width_, height_;
  DibSurface surface_;
  uint32_t* bits_;
};

struct FontRequest {
  const char* face = "MS Sans Serif";
  int height = -11;
  int weight = FW_NORMAL;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int width = 0;
  BYTE pitchAndFamily = 0;
};

inline LOGFONTA logFont(const FontRequest& wanted) {
  LOGFONTA lf{};
  lf.lfHeight = wanted.height;
  lf.lfWidth = wanted.width;
  lf.lfWeight = wanted.weight;
  lf.lfItalic = wanted.italic ? 1 : 0;
  lf.lfUnderline = wanted.underline ? 1 : 0;
  lf.lfStrikeOut = wanted.strikeOut ? 1 : 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = wanted.pitchAndFamily;
  std::strncpy(lf.lfFaceName, wanted.face, LF_FACESIZE - 1);
  return lf;
}

// A font selected into a DC for the scope's lifetime.
class ScopedFont {
 public:
  ScopedFont(HDC dc, const FontRequest& wanted = FontRequest{}) : dc_(dc) {
    LOGFONTA lf = logFont(wanted);
    font_ = CreateFontIndirectA(&lf);
    old_ = SelectObject(dc_, font_);
  }
  ~ScopedFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;
  HFONT handle() const { return font_; }

 private:
  HDC dc_;
  HFONT font_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

inline SIZE extentOf(HDC dc, const char* text) {
  SIZE size{-1, -1};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  return size;
}

inline TEXTMETRICA metricsOf(HDC dc) {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  return tm;
}

inline int advanceOf(HDC dc, unsigned char c) {
  INT width = -1;
  GetCharWidth32A(dc, c, c, &width);
  return width;
}

// Text drawn the plain way, for comparison: TextOutA at (x, y), transparent, in colour ink.
inline void plainText(HDC dc, int x, int y, const char* text, COLORREF ink = kInk) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ink);
  TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

}  // namespace texttest
