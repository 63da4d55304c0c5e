// DrawTextA. Choices where Windows is silent:
// - Line breaks: CR LF is one break, any other CR or LF is one break each; a break at the very end
//   adds no empty line; with DT_SINGLELINE CR and LF are dropped (no width, nothing drawn).
// - Prefixes: "&x" underlines x (every marked character, not only the first), "&&" shows "&", an
//   "&" at the end of a line shows nothing; the underline covers the character's advance on the
//   font's underline rows (for the 8-point sans the second row below the baseline, one pixel high).
// - Wrapping (DT_WORDBREAK) breaks only at blanks (space, and tab); the blanks at a break are
//   dropped from both lines; a word wider than the line stays whole on a line of its own.
// - Centring uses integer division truncating toward zero, horizontally and for DT_VCENTER.
// - Empty text draws nothing. A count of 0 returns 0 and leaves the rectangle; an empty string
//   (or NULL) with a count of -1 returns the line height, as Windows does, and with DT_CALCRECT
//   leaves a rectangle of no width, one line high with DT_SINGLELINE and of no height otherwise.
// - The return value is the text height; with DT_SINGLELINE and DT_VCENTER or DT_BOTTOM (not with
//   DT_CALCRECT) it is the offset from the rectangle's top to the bottom of the text.
// - DT_END_ELLIPSIS applies to lines that are not wrapped and is never combined with a
//   DT_MODIFYSTRING copy-back; DT_PATH_ELLIPSIS and DT_WORD_ELLIPSIS are treated as it.
// - The DC's text alignment is ignored: DrawText always places text by its own flags.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gdi/DeviceContext.h"
#include "gdi/RealizedFont.h"
#include "gdi/TextPainter.h"

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
constexpr unsigned char kMarked = 1;

struct Line {
  size_t begin;
  size_t end;
  int64_t width;
  bool ellipsis;  // draw "..." after the kept characters
};

// Reused between calls: DrawText is not reentrant and runs on the user-interface thread only.
struct Scratch {
  std::vector<unsigned char> text;   // what shows, prefixes resolved
  std::vector<unsigned char> marks;  // kMarked where the character is underlined
  std::vector<std::pair<size_t, size_t>> paragraphs;
  std::vector<Line> lines;
};

Scratch& scratch() {
  static auto* s = new Scratch;
  return *s;
}

bool isBlank(unsigned char c) { return c == ' ' || c == '\t'; }

class Measure {
 public:
  Measure(gdi::RealizedFont& font, UINT format, int tabChars)
      : font_(font), expandTabs_((format & DT_EXPANDTABS) != 0) {
    tabWidth_ = int64_t{tabChars} * font.metrics().tmAveCharWidth;
  }
  // The advance of c when the pen is x pixels from the start of its line.
  int64_t advance(unsigned char c, int64_t x) const {
    if (c == '\t' && expandTabs_) {
      if (tabWidth_ <= 0) return 0;
      int64_t stop = (x / tabWidth_ + 1) * tabWidth_;
      return stop - x;
    }
    return font_.advance(c);
  }
  int64_t width(const unsigned char* text, size_t begin, size_t end) const {
    int64_t x = 0;
    for (size_t i = begin; i < end; ++i) {
      x += advance(text[i], x);
      if (x > INT32_MAX) return INT32_MAX;
    }
    return x;
  }

 private:
  gdi::RealizedFont& font_;
  bool expandTabs_;
  int64_t tabWidth_ = 0;
};

// Splits the source into paragraphs of visible characters with their prefix marks.
void resolve(const unsigned char* src, size_t count, UINT format, Scratch& s) {
  bool prefixes = (format & DT_NOPREFIX) == 0;
  bool single = (format & DT_SINGLELINE) != 0;
  size_t start = 0;
  for (size_t i = 0; i < count; ++i) {
    unsigned char c = src[i];
    if (c == '\r' || c == '\n') {
      if (single) continue;
      s.paragraphs.emplace_back(start, s.text.size());
      if (c == '\r' && i + 1 < count && src[i + 1] == '\n') ++i;
      start = s.text.size();
      continue;
    }
    if (prefixes && c == '&') {
      if (i + 1 < count && src[i + 1] == '&') {
        s.text.push_back('&');
        s.marks.push_back(0);
        ++i;
      } else if (i + 1 < count && src[i + 1] != '\r' && src[i + 1] != '\n') {
        s.text.push_back(src[i + 1]);
        s.marks.push_back(kMarked);
        ++i;
      }
      continue;
    }
    s.text.push_back(c);
    s.marks.push_back(0);
  }
  if (s.text.size() > start || s.paragraphs.empty()) s.paragraphs.emplace_back(start, s.text.size());
}

void wrap(const Measure& measure, const unsigned char* text, size_t begin, size_t end,
          int64_t maxWidth, std::vector<Line>& lines) {
  size_t start = begin;
  if (start == end) {
    lines.push_back(Line{begin, end, 0, false});
    return;
  }
  while (start < end) {
    int64_t x = 0;
    size_t breakAt = kNone;
    bool seenWord = false;
    size_t j = start;
    bool emitted = false;
    while (j < end) {
      unsigned char c = text[j];
      int64_t advance = measure.advance(c, x);
      if (isBlank(c)) {
        if (seenWord && !isBlank(text[j - 1])) breakAt = j;
        x += advance;
        ++j;
        continue;
      }
      if (x + advance > maxWidth && j > start) {
        size_t lineEnd = breakAt;
        if (lineEnd == kNone) {
          // The line's first word does not fit: it stays whole, however wide.
          lineEnd = j;
          while (lineEnd < end && !isBlank(text[lineEnd])) ++lineEnd;
        }
        size_t next = lineEnd;
        while (next < end && isBlank(text[next])) ++next;
        lines.push_back(Line{start, lineEnd, measure.width(text, start, lineEnd), false});
        start = next;
        emitted = true;
        break;
      }
      seenWord = true;
      x += advance;
      ++j;
    }
    if (!emitted) {
      lines.push_back(Line{start, end, measure.width(text, start, end), false});
      break;
    }
  }
}

// Shortens a line that is wider than maxWidth so that its kept characters and "..." fit.
void addEllipsis(const Measure& measure, const unsigned char* text, int64_t maxWidth,
                 gdi::RealizedFont& font, Line& line) {
  if (line.width <= maxWidth) return;
  int64_t dots = 3 * int64_t{font.advance('.')};
  int64_t x = 0;
  size_t keep = line.begin;
  while (keep < line.end) {
    int64_t advance = measure.advance(text[keep], x);
    if (x + advance + dots > maxWidth) break;
    x += advance;
    ++keep;
  }
  line.end = keep;
  line.width = x + dots;
  line.ellipsis = true;
}

}  // namespace

int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return 0;
  if (lprc == nullptr || cchText < -1 || (lpchText == nullptr && cchText > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cchText == 0) return 0;
  gdi::RealizedFont* font = gdi::realizedFontOf(*dc);
  if (font == nullptr) return 0;
  size_t count = lpchText == nullptr ? 0 : cchText == -1 ? std::strlen(lpchText) : static_cast<size_t>(cchText);

  int tabChars = 8;
  if (format & DT_TABSTOP) {
    tabChars = static_cast<int>((format >> 8) & 0xFF);
    format &= ~0xFF00u;
  }
  const bool single = (format & DT_SINGLELINE) != 0;
  const bool calc = (format & DT_CALCRECT) != 0;

  if (count == 0) {
    const TEXTMETRICA& tm = font->metrics();
    const int lineHeight = tm.tmHeight + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    if (calc) {
      lprc->right = lprc->left;
      lprc->bottom = single ? gdi::clampToInt(int64_t{lprc->top} + lineHeight) : lprc->top;
    }
    return lineHeight;
  }

  Scratch& s = scratch();
  s.text.clear();
  s.marks.clear();
  s.paragraphs.clear();
  s.lines.clear();
  resolve(reinterpret_cast<const unsigned char*>(lpchText), count, format, s);

  const TEXTMETRICA& tm = font->metrics();
  const Measure measure(*font, format, tabChars);
  const unsigned char* text = s.text.data();
  const int64_t rectWidth = int64_t{lprc->right} - lprc->left;
  const bool wordBreak = (format & DT_WORDBREAK) != 0 && !single;
  const bool ellipsis = (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) != 0;
  for (const auto& [begin, end] : s.paragraphs) {
    if (wordBreak) {
      wrap(measure, text, begin, end, rectWidth, s.lines);
    } else {
      Line line{begin, end, measure.width(text, begin, end), false};
      if (ellipsis) addEllipsis(measure, text, rectWidth, *font, line);
      s.lines.push_back(line);
    }
  }

  const int64_t lineHeight =
      int64_t{tm.tmHeight} + ((format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  const int64_t textHeight = lineHeight * static_cast<int64_t>(s.lines.size());
  if (calc) {
    int64_t widest = 0;
    for (const Line& line : s.lines) widest = std::max(widest, line.width);
    lprc->right = gdi::clampToInt(int64_t{lprc->left} + widest);
    lprc->bottom = gdi::clampToInt(int64_t{lprc->top} + textHeight);
    return gdi::clampToInt(textHeight);
  }

  int64_t top = lprc->top;
  if (single && (format & DT_VCENTER)) {
    top += (int64_t{lprc->bottom} - lprc->top - lineHeight) / 2;
  } else if (single && (format & DT_BOTTOM)) {
    top = int64_t{lprc->bottom} - lineHeight;
  }

  const RECT bounds = gdi::drawingBounds(*dc, (format & DT_NOCLIP) ? nullptr : lprc);
  const bool drawText = (format & DT_PREFIXONLY) == 0;
  const bool drawMarks = (format & DT_HIDEPREFIX) == 0;
  const COLORREF color = dc->textColor;
  const int64_t margin = int64_t{tm.tmMaxCharWidth} + tm.tmHeight;
  int64_t y = top;
  for (const Line& line : s.lines) {
    if (y >= bounds.bottom + margin) break;
    if (y + lineHeight + margin > bounds.top && bounds.left < bounds.right) {
      int64_t x = lprc->left;
      if (format & DT_RIGHT) {
        x = int64_t{lprc->right} - line.width;
      } else if (format & DT_CENTER) {
        x = int64_t{lprc->left} + (rectWidth - line.width) / 2;
      }
      int cellTop = gdi::clampToInt(y);
      int baseline = gdi::clampToInt(y + tm.tmAscent);
      int left = gdi::clampToInt(x);
      int right = gdi::clampToInt(x + line.width);
      if (dc->bkMode == OPAQUE && drawText) {
        gdi::paintRect(*dc, RECT{left, cellTop, right, gdi::clampToInt(y + tm.tmHeight)},
                       dc->bkColor, bounds);
      }
      int64_t pen = 0;
      for (size_t i = line.begin; i < line.end; ++i) {
        int64_t advance = measure.advance(text[i], pen);
        int64_t at = x + pen;
        if (at >= bounds.right + margin) break;
        if (at + advance + margin > bounds.left) {
          int penX = gdi::clampToInt(at);
          if (drawText && text[i] != '\t') {
            gdi::paintGlyph(*dc, font->glyph(text[i]), penX, baseline, color, bounds);
          }
          if (drawMarks && (s.marks[i] & kMarked)) {
            gdi::paintRows(*dc, penX, gdi::clampToInt(at + advance), baseline, font->underline(),
                           color, bounds);
          }
        }
        pen += advance;
      }
      if (line.ellipsis && drawText) {
        int64_t at = x + pen;
        for (int dot = 0; dot < 3; ++dot) {
          const gdi::Glyph& glyph = font->glyph('.');
          gdi::paintGlyph(*dc, glyph, gdi::clampToInt(at), baseline, color, bounds);
          at += glyph.advance;
        }
      }
      if (drawText && font->underlined()) {
        gdi::paintRows(*dc, left, right, baseline, font->underline(), color, bounds);
      }
      if (drawText && font->struckOut()) {
        gdi::paintRows(*dc, left, right, baseline, font->strikeout(), color, bounds);
      }
    }
    y += lineHeight;
  }

  if (single && (format & (DT_VCENTER | DT_BOTTOM))) {
    return gdi::clampToInt(top - lprc->top + textHeight);
  }
  return gdi::clampToInt(textHeight);
}
