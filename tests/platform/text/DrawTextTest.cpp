// DrawTextA: measuring, alignment, prefixes, line breaks, wrapping, clipping and bad input. Where
// a result is pixels, it is compared with TextOutA output at the position the rules give.
#include "TextTestSupport.h"

using namespace texttest;

namespace {

RECT calc(HDC dc, const char* text, UINT format, RECT start = RECT{10, 20, 10, 20},
          int* height = nullptr) {
  int h = DrawTextA(dc, text, -1, &start, format | DT_CALCRECT);
  if (height != nullptr) *height = h;
  return start;
}

// Draws text with DrawTextA in ink, transparent.
int draw(HDC dc, const char* text, RECT rect, UINT format) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kInk);
  return DrawTextA(dc, text, -1, &rect, format);
}

// The row an access-key underline takes for text whose cell starts at top.
int underlineRow(HDC dc, int top) { return top + metricsOf(dc).tmAscent + 1; }

void inkRow(Canvas& canvas, int y, int x0, int x1) {
  HDC dc = canvas.dc();
  for (int x = x0; x < x1; ++x) SetPixel(dc, x, y, kInk);
}

}  // namespace

TEST(DrawTextLayout, CalcRectOfOneLineIsItsExtent) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc());
  SIZE size = extentOf(canvas.dc(), "Cancel");
  int height = 0;
  RECT r = calc(canvas.dc(), "Cancel", DT_SINGLELINE, RECT{10, 20, 500, 300}, &height);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 10 + size.cx);
  EXPECT_EQ(r.bottom, 20 + size.cy);
  EXPECT_EQ(height, size.cy);
  // Centring flags do not move left or top either.
  r = calc(canvas.dc(), "Cancel", DT_SINGLELINE | DT_CENTER | DT_VCENTER, RECT{10, 20, 500, 300});
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 10 + size.cx);
  // Nothing is drawn while measuring.
  RECT big{0, 0, 4, 4};
  DrawTextA(canvas.dc(), "WWW", 3, &big, DT_CALCRECT);
  EXPECT_EQ(canvas.count(kWhite), 16);
}

TEST(DrawTextLayout, PrefixesAreResolvedBeforeMeasuring) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  EXPECT_EQ(calc(dc, "&Ok", 0).right - 10, extentOf(dc, "Ok").cx);
  EXPECT_EQ(calc(dc, "A&&B", 0).right - 10, extentOf(dc, "A&B").cx);
  EXPECT_EQ(calc(dc, "a&", 0).right - 10, extentOf(dc, "a").cx);
  EXPECT_EQ(calc(dc, "&&&x", 0).right - 10, extentOf(dc, "&x").cx);
  EXPECT_EQ(calc(dc, "&Ok", DT_NOPREFIX).right - 10, extentOf(dc, "&Ok").cx);
}

TEST(DrawTextLayout, CentredAccessKeyCaption) {
  Canvas canvas(61, 25), expected(61, 25);
  ScopedFont f1(canvas.dc()), f2(expected.dc());
  HDC dc = canvas.dc();
  SIZE size = extentOf(dc, "Ok");
  TEXTMETRICA tm = metricsOf(dc);
  int ret = draw(dc, "&Ok", RECT{0, 0, 61, 25}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  int x = (61 - size.cx) / 2;
  int y = (25 - tm.tmHeight) / 2;
  EXPECT_EQ(ret, y + tm.tmHeight);
  plainText(expected.dc(), x, y, "Ok");
  inkRow(expected, underlineRow(dc, y), x, x + advanceOf(dc, 'O'));
  EXPECT_TRUE(canvas == expected) << canvas.dump(kWhite) << "\n" << expected.dump(kWhite);
}

TEST(DrawTextLayout, UnderlineFollowsTheMarkedCharacter) {
  Canvas canvas(80, 20), expected(80, 20);
  ScopedFont f1(canvas.dc()), f2(expected.dc());
  HDC dc = canvas.dc();
  draw(dc, "Ca&ncel", RECT{3, 2, 80, 20}, DT_LEFT);
  plainText(expected.dc(), 3, 2, "Cancel");
  int x = 3 + extentOf(dc, "Ca").cx;
  inkRow(expected, underlineRow(dc, 2), x, x + advanceOf(dc, 'n'));
  EXPECT_TRUE(canvas == expected) << canvas.dump(kWhite) << "\n" << expected.dump(kWhite);
}

TEST(DrawTextLayout, DoubledAmpersandAndNoPrefixShowTheAmpersand) {
  for (auto [text, format, shown] : {std::tuple{"R&&D", 0u, "R&D"},
                                     std::tuple{"&Ok", unsigned{DT_NOPREFIX}, "&Ok"},
                                     std::tuple{"&Ok", unsigned{DT_HIDEPREFIX}, "Ok"},
                                     std::tuple{"Ok&", 0u, "Ok"}}) {
    Canvas canvas(60, 20), expected(60, 20);
    ScopedFont f1(canvas.dc()), f2(expected.dc());
    draw(canvas.dc(), text, RECT{2, 2, 60, 20}, format);
    plainText(expected.dc(), 2, 2, shown);
    EXPECT_TRUE(canvas == expected) << text << "\n" << canvas.dump(kWhite);
  }
  // DT_PREFIXONLY draws the underline alone.
  Canvas canvas(60, 20), expected(60, 20);
  ScopedFont f1(canvas.dc()), f2(expected.dc());
  draw(canvas.dc(), "a&bc", RECT{2, 2, 60, 20}, DT_PREFIXONLY);
  int x = 2 + advanceOf(canvas.dc(), 'a');
  inkRow(expected, underlineRow(canvas.dc(), 2), x, x + advanceOf(canvas.dc(), 'b'));
  EXPECT_TRUE(canvas == expected) << canvas.dump(kWhite);
}

TEST(DrawTextLayout, HorizontalAndVerticalPlaces) {
  SIZE size{};
  TEXTMETRICA tm{};
  {
    Canvas probe(4, 4);
    ScopedFont font(probe.dc());
    size = extentOf(probe.dc(), "Place");
    tm = metricsOf(probe.dc());
  }
  const RECT box{5, 4, 75, 40};
  struct Case {
    UINT format;
    int x, y, ret;
  } cases[] = {
      {DT_LEFT | DT_TOP, 5, 4, tm.tmHeight},
      {DT_RIGHT, 75 - size.cx, 4, tm.tmHeight},
      {DT_CENTER, 5 + (70 - size.cx) / 2, 4, tm.tmHeight},
      {DT_SINGLELINE | DT_VCENTER, 5, 4 + (36 - tm.tmHeight) / 2,
       (36 - tm.tmHeight) / 2 + tm.tmHeight},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 75 - size.cx, 40 - tm.tmHeight, 36},
      // Without DT_SINGLELINE the vertical flags do nothing.
      {DT_VCENTER | DT_BOTTOM, 5, 4, tm.tmHeight},
  };
  for (const Case& c : cases) {
    Canvas canvas(80, 44), expected(80, 44);
    ScopedFont f1(canvas.dc()), f2(expected.dc());
    EXPECT_EQ(draw(canvas.dc(), "Place", box, c.format), c.ret) << c.format;
    plainText(expected.dc(), c.x, c.y, "Place");
    EXPECT_TRUE(canvas == expected) << c.format << "\n" << canvas.dump(kWhite);
  }
}

TEST(DrawTextLayout, LineBreaks) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  const int line = metricsOf(dc).tmHeight;
  const int widest = extentOf(dc, "second").cx;
  for (const char* text : {"one\r\nsecond", "one\nsecond", "one\rsecond", "second\r\none\r\n"}) {
    int height = 0;
    RECT r = calc(dc, text, 0, RECT{0, 0, 1, 1}, &height);
    EXPECT_EQ(height, 2 * line) << text;
    EXPECT_EQ(r.bottom, 2 * line) << text;
    EXPECT_EQ(r.right, widest) << text;
  }
  EXPECT_EQ(calc(dc, "a\n\nb", 0, RECT{0, 0, 1, 1}).bottom, 3 * line);
  EXPECT_EQ(calc(dc, "a\n\rb", 0, RECT{0, 0, 1, 1}).bottom, 3 * line);
  // On a single line the breaks take no room at all.
  RECT single = calc(dc, "one\r\nsecond", DT_SINGLELINE, RECT{0, 0, 1, 1});
  EXPECT_EQ(single.bottom, line);
  EXPECT_EQ(single.right, extentOf(dc, "onesecond").cx);
  // External leading is added only when asked for.
  int leading = 0;
  {
    ScopedFont big(dc, {.height = -40});
    TEXTMETRICA tm = metricsOf(dc);
    leading = tm.tmExternalLeading;
    EXPECT_EQ(calc(dc, "a\nb", DT_EXTERNALLEADING, RECT{0, 0, 1, 1}).bottom,
              2 * (tm.tmHeight + leading));
    EXPECT_EQ(calc(dc, "a\nb", 0, RECT{0, 0, 1, 1}).bottom, 2 * tm.tmHeight);
  }
  EXPECT_GT(leading, 0);
}

TEST(DrawTextLayout, SecondLineIsDrawnOneLineLower) {
  Canvas canvas(80, 40), expected(80, 40);
  ScopedFont f1(canvas.dc()), f2(expected.dc());
  HDC dc = canvas.dc();
  int line = metricsOf(dc).tmHeight;
  EXPECT_EQ(draw(dc, "Top\r\nBottom", RECT{0, 1, 80, 40}, DT_CENTER), 2 * line);
  plainText(expected.dc(), (80 - extentOf(dc, "Top").cx) / 2, 1, "Top");
  plainText(expected.dc(), (80 - extentOf(dc, "Bottom").cx) / 2, 1 + line, "Bottom");
  EXPECT_TRUE(canvas == expected) << canvas.dump(kWhite);
}

TEST(DrawTextLayout, WordWrapping) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  const int line = metricsOf(dc).tmHeight;
  const int full = extentOf(dc, "alpha beta").cx;
  // Fits exactly: one line.
  RECT r = calc(dc, "alpha beta", DT_WORDBREAK, RECT{0, 0, full, 100});
  EXPECT_EQ(r.bottom, line);
  EXPECT_EQ(r.right, full);
  // One pixel short: two lines, the blank dropped, the rect shrinks to the wider word.
  r = calc(dc, "alpha beta", DT_WORDBREAK, RECT{0, 0, full - 1, 100});
  EXPECT_EQ(r.bottom, 2 * line);
  EXPECT_EQ(r.right, std::max(extentOf(dc, "alpha").cx, extentOf(dc, "beta").cx));
  // Several blanks at the break vanish with it.
  r = calc(dc, "alpha    beta", DT_WORDBREAK, RECT{0, 0, extentOf(dc, "alpha  ").cx, 100});
  EXPECT_EQ(r.bottom, 2 * line);
  // A word wider than the line stays whole and widens the result.
  const int longWord = extentOf(dc, "extraordinarily").cx;
  r = calc(dc, "an extraordinarily big cat", DT_WORDBREAK, RECT{0, 0, 30, 100});
  EXPECT_EQ(r.right, longWord);
  EXPECT_EQ(r.bottom, 4 * line);
  // Hard breaks and wrapping together, as the caption layout uses them (0x410).
  r = calc(dc, "alpha beta\r\ngamma", DT_WORDBREAK, RECT{0, 0, full - 1, 100});
  EXPECT_EQ(r.bottom, 3 * line);
  // Without DT_WORDBREAK nothing wraps.
  EXPECT_EQ(calc(dc, "alpha beta", 0, RECT{0, 0, 10, 100}).bottom, line);
  // A zero-width rectangle puts every word on its own line.
  EXPECT_EQ(calc(dc, "a b c d", DT_WORDBREAK, RECT{0, 0, 0, 0}).bottom, 4 * line);
}

TEST(DrawTextLayout, WrappedLinesAreDrawnWhereMeasured) {
  Canvas canvas(60, 40), expected(60, 40);
  ScopedFont f1(canvas.dc()), f2(expected.dc());
  HDC dc = canvas.dc();
  int line = metricsOf(dc).tmHeight;
  int width = extentOf(dc, "alpha").cx + 4;
  draw(dc, "alpha beta", RECT{1, 1, 1 + width, 40}, DT_WORDBREAK | DT_RIGHT);
  plainText(expected.dc(), 1 + width - extentOf(dc, "alpha").cx, 1, "alpha");
  plainText(expected.dc(), 1 + width - extentOf(dc, "beta").cx, 1 + line, "beta");
  EXPECT_TRUE(canvas == expected) << canvas.dump(kWhite) << "\n" << expected.dump(kWhite);
}

TEST(DrawTextLayout, ClippingToTheRectangle) {
  Canvas clipped(60, 20), unclipped(60, 20), reference(60, 20);
  ScopedFont f1(clipped.dc()), f2(unclipped.dc()), f3(reference.dc());
  RECT box{10, 2, 25, 9};
  draw(clipped.dc(), "Wide text", box, DT_LEFT);
  draw(unclipped.dc(), "Wide text", box, DT_LEFT | DT_NOCLIP);
  plainText(reference.dc(), 10, 2, "Wide text");
  EXPECT_TRUE(unclipped == reference);
  int outside = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) {
      bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
      if (inside) {
        ASSERT_EQ(clipped.at(x, y), reference.at(x, y)) << x << "," << y;
      } else {
        ASSERT_EQ(clipped.at(x, y), kWhite) << x << "," << y;
        outside += reference.at(x, y) == kInk ? 1 : 0;
      }
    }
  }
  EXPECT_GT(outside, 10);  // the clip really cut something off
}

TEST(DrawTextLayout, OpaqueBackgroundCoversEachLineCell) {
  Canvas canvas(60, 40);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, kPaper);
  SetTextColor(dc, kInk);
  RECT rect{0, 0, 60, 40};
  DrawTextA(dc, "ab\r\nlonger", -1, &rect, DT_LEFT);
  TEXTMETRICA tm = metricsOf(dc);
  int first = extentOf(dc, "ab").cx, second = extentOf(dc, "longer").cx;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      int width = y < tm.tmHeight ? first : (y < 2 * tm.tmHeight ? second : 0);
      COLORREF c = canvas.at(x, y);
      if (x < width) {
        ASSERT_TRUE(c == kPaper || c == kInk) << x << "," << y;
      } else {
        ASSERT_EQ(c, kWhite) << x << "," << y;
      }
    }
  }
}

TEST(DrawTextLayout, TabsExpandToEightAverageCharacters) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  int stop = 8 * metricsOf(dc).tmAveCharWidth;
  EXPECT_EQ(calc(dc, "a\tb", DT_EXPANDTABS, RECT{0, 0, 1, 1}).right,
            stop + advanceOf(dc, 'b'));
  EXPECT_EQ(calc(dc, "a\t\tb", DT_EXPANDTABS, RECT{0, 0, 1, 1}).right,
            2 * stop + advanceOf(dc, 'b'));
  // DT_TABSTOP takes the tab length from the high byte of the format, where DT_CALCRECT and the
  // other flags of that byte can then not be given; so this one is drawn.
  Canvas drawn(60, 20), expected(60, 20);
  ScopedFont f1(drawn.dc()), f2(expected.dc());
  draw(drawn.dc(), "a\tb", RECT{0, 0, 60, 20}, DT_EXPANDTABS | DT_TABSTOP | (4 << 8));
  plainText(expected.dc(), 0, 0, "a");
  plainText(expected.dc(), stop / 2, 0, "b");
  EXPECT_TRUE(drawn == expected) << drawn.dump(kWhite);
}

TEST(DrawTextLayout, EndEllipsisFitsTheLine) {
  Canvas canvas(80, 20), expected(80, 20);
  ScopedFont f1(canvas.dc()), f2(expected.dc());
  HDC dc = canvas.dc();
  int width = extentOf(dc, "Longer...").cx;
  RECT r = calc(dc, "Longer text here", DT_SINGLELINE | DT_END_ELLIPSIS, RECT{0, 0, width, 20});
  EXPECT_EQ(r.right, width);
  draw(dc, "Longer text here", RECT{0, 0, width, 20}, DT_SINGLELINE | DT_END_ELLIPSIS);
  plainText(expected.dc(), 0, 0, "Longer...");
  EXPECT_TRUE(canvas == expected) << canvas.dump(kWhite);
}

TEST(DrawTextLayout, BoldAndFontDecorationsApply) {
  Canvas canvas(80, 20), expected(80, 20);
  ScopedFont f1(canvas.dc(), {.weight = FW_BOLD, .underline = true});
  ScopedFont f2(expected.dc(), {.weight = FW_BOLD, .underline = true});
  draw(canvas.dc(), "Bold", RECT{0, 0, 80, 20}, DT_SINGLELINE);
  plainText(expected.dc(), 0, 0, "Bold");
  EXPECT_TRUE(canvas == expected) << canvas.dump(kWhite);
}

TEST(DrawTextLayout, BadInput) {
  Canvas canvas(30, 20);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  RECT r{0, 0, 30, 20};
  SetLastError(0);
  EXPECT_EQ(DrawTextA(nullptr, "x", 1, &r, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_EQ(DrawTextA(dc, "x", 1, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(DrawTextA(dc, "abc", -2, &r, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // NULL with a positive count fails; with -1 it is the empty text on Windows (EmptyText below).
  SetLastError(0);
  EXPECT_EQ(DrawTextA(dc, nullptr, 3, &r, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // Nothing to draw: no error.
  EXPECT_EQ(DrawTextA(dc, nullptr, 0, &r, 0), 0);
  // The count is honoured: characters past it are not drawn or measured.
  RECT counted{0, 0, 1, 1};
  DrawTextA(dc, "abcdef", 2, &counted, DT_CALCRECT);
  EXPECT_EQ(counted.right, extentOf(dc, "ab").cx);
  EXPECT_EQ(canvas.count(kWhite), 30 * 20);
}

// Windows' results: a count of 0 leaves the rectangle and returns 0; an empty string (or NULL)
// with -1 returns the line height and, with DT_CALCRECT, leaves no width, and one line's height
// only with DT_SINGLELINE.
static std::string box(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

TEST(DrawTextLayout, EmptyText) {
  Canvas canvas(30, 20);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  ASSERT_GT(tm.tmHeight, 0);
  RECT r{10, 10, 100, 100};
  EXPECT_EQ(DrawTextA(dc, "", 0, &r, DT_CALCRECT), 0);
  EXPECT_EQ(box(r), box(RECT{10, 10, 100, 100}));
  EXPECT_EQ(DrawTextA(dc, "abc", 0, &r, DT_CALCRECT | DT_SINGLELINE), 0);
  EXPECT_EQ(box(r), box(RECT{10, 10, 100, 100}));
  EXPECT_EQ(DrawTextA(dc, "", -1, &r, 0), tm.tmHeight);
  EXPECT_EQ(box(r), box(RECT{10, 10, 100, 100}));
  EXPECT_EQ(DrawTextA(dc, "", -1, &r, DT_CALCRECT), tm.tmHeight);
  EXPECT_EQ(box(r), box(RECT{10, 10, 10, 10}));
  r = RECT{10, 10, 100, 100};
  EXPECT_EQ(DrawTextA(dc, "", -1, &r, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
  EXPECT_EQ(box(r), box(RECT{10, 10, 10, 10 + tm.tmHeight}));
  r = RECT{10, 10, 100, 100};
  SetLastError(0);
  EXPECT_EQ(DrawTextA(dc, nullptr, -1, &r, DT_CALCRECT), tm.tmHeight);
  EXPECT_EQ(box(r), box(RECT{10, 10, 10, 10}));
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(canvas.count(kWhite), 30 * 20);
}

TEST(DrawTextLayout, HugeTextStaysBounded) {
  Canvas canvas(30, 20);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  int line = metricsOf(dc).tmHeight;
  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += "word word\r\n";
  RECT r{0, 0, 30, 20};
  EXPECT_EQ(draw(dc, lines.c_str(), r, DT_LEFT), 100000 * line);
  EXPECT_GT(canvas.count(kInk), 10);
  std::string words;
  for (int i = 0; i < 200000; ++i) words += "wrap ";
  RECT wrapped = calc(dc, words.c_str(), DT_WORDBREAK, RECT{0, 0, 30, 0});
  EXPECT_EQ(wrapped.bottom, 200000 * line);
  // Heights beyond the int range saturate instead of wrapping around.
  RECT far{0, INT_MAX - 10, 30, INT_MAX};
  EXPECT_GT(DrawTextA(dc, lines.c_str(), -1, &far, DT_CALCRECT), 0);
  EXPECT_EQ(far.bottom, INT_MAX);
}
