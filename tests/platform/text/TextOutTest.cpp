// TextOutA and ExtTextOutA: exact colours, the text cell, alignment, clipping and bad input.
#include "TextTestSupport.h"

using namespace texttest;

namespace {

// Every pixel is either untouched background or exactly the ink colour.
void expectOnlyInkAndPaper(const Canvas& canvas, COLORREF paper, COLORREF ink) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      COLORREF c = canvas.at(x, y);
      ASSERT_TRUE(c == paper || c == ink) << x << "," << y << " is " << std::hex << c;
    }
  }
}

}  // namespace

TEST(TextOutput, TransparentTextIsExactlyTheTextColourInsideItsCell) {
  Canvas canvas(80, 30, kPaper);
  ASSERT_TRUE(canvas.valid());
  ScopedFont font(canvas.dc());
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetBkColor(canvas.dc(), RGB(0, 255, 0));
  SetTextColor(canvas.dc(), kInk);
  ASSERT_TRUE(TextOutA(canvas.dc(), 5, 7, "Hello, Og!", 10));
  expectOnlyInkAndPaper(canvas, kPaper, kInk);
  SIZE size = extentOf(canvas.dc(), "Hello, Og!");
  RECT ink = canvas.inkBox(kPaper);
  EXPECT_GT(canvas.count(kInk), 40);
  EXPECT_GE(ink.left, 5);
  EXPECT_LE(ink.right, 5 + size.cx);
  EXPECT_GE(ink.top, 7);
  EXPECT_LE(ink.bottom, 7 + size.cy);
  // The 'g' reaches below the baseline, the capitals up to the cap height.
  TEXTMETRICA tm = metricsOf(canvas.dc());
  EXPECT_GT(ink.bottom, 7 + tm.tmAscent);
  EXPECT_LT(ink.top, 7 + tm.tmInternalLeading + 3);
}

TEST(TextOutput, TheRasterOperationDoesNotApplyToText) {
  Canvas copy(60, 20, kPaper), xored(60, 20, kPaper);
  ScopedFont f1(copy.dc()), f2(xored.dc());
  plainText(copy.dc(), 2, 2, "Text");
  SetROP2(xored.dc(), R2_XORPEN);
  plainText(xored.dc(), 2, 2, "Text");
  EXPECT_TRUE(copy == xored);
}

TEST(TextOutput, OpaqueModeFillsTheWholeCell) {
  Canvas canvas(80, 30, kWhite);
  ScopedFont font(canvas.dc());
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), kPaper);
  SetTextColor(canvas.dc(), kInk);
  ASSERT_TRUE(TextOutA(canvas.dc(), 3, 4, "Opaque", 6));
  SIZE size = extentOf(canvas.dc(), "Opaque");
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      bool inCell = x >= 3 && x < 3 + size.cx && y >= 4 && y < 4 + size.cy;
      COLORREF c = canvas.at(x, y);
      if (inCell) {
        ASSERT_TRUE(c == kPaper || c == kInk) << x << "," << y;
      } else {
        ASSERT_EQ(c, kWhite) << x << "," << y;
      }
    }
  }
  EXPECT_GT(canvas.count(kInk), 20);
}

TEST(TextOutput, TextIsTheSumOfItsCharacters) {
  Canvas whole(60, 20), parts(60, 20);
  ScopedFont f1(whole.dc()), f2(parts.dc());
  plainText(whole.dc(), 1, 3, "AVOk");
  int x = 1;
  for (char c : std::string("AVOk")) {
    char one[2] = {c, 0};
    plainText(parts.dc(), x, 3, one);
    x += advanceOf(parts.dc(), static_cast<unsigned char>(c));
  }
  EXPECT_EQ(extentOf(whole.dc(), "AVOk").cx, x - 1);
  EXPECT_TRUE(whole == parts) << whole.dump(kWhite) << "\n" << parts.dump(kWhite);
}

TEST(TextOutput, AlignmentMovesTheReferencePoint) {
  SIZE size{};
  TEXTMETRICA tm{};
  {
    Canvas probe(4, 4);
    ScopedFont font(probe.dc());
    size = extentOf(probe.dc(), "Align");
    tm = metricsOf(probe.dc());
  }
  struct Case {
    UINT align;
    int dx, dy;  // where the text lands relative to TA_LEFT | TA_TOP at the same point
  } cases[] = {
      {TA_LEFT | TA_TOP, 0, 0},
      {TA_RIGHT | TA_TOP, -size.cx, 0},
      {TA_CENTER | TA_TOP, -(size.cx / 2), 0},
      {TA_LEFT | TA_BASELINE, 0, -tm.tmAscent},
      {TA_LEFT | TA_BOTTOM, 0, -tm.tmHeight},
      {TA_CENTER | TA_BASELINE, -(size.cx / 2), -tm.tmAscent},
  };
  for (const Case& c : cases) {
    Canvas canvas(100, 50), expected(100, 50);
    ScopedFont f1(canvas.dc()), f2(expected.dc());
    EXPECT_EQ(SetTextAlign(canvas.dc(), c.align), static_cast<UINT>(TA_LEFT | TA_TOP));
    EXPECT_EQ(GetTextAlign(canvas.dc()), c.align);
    plainText(canvas.dc(), 50, 25, "Align");
    plainText(expected.dc(), 50 + c.dx, 25 + c.dy, "Align");
    EXPECT_TRUE(canvas == expected) << "align " << c.align << "\n" << canvas.dump(kWhite);
  }
}

TEST(TextOutput, UpdateCurrentPositionChainsOutputs) {
  Canvas chained(100, 20), plain(100, 20);
  ScopedFont f1(chained.dc()), f2(plain.dc());
  SetTextAlign(chained.dc(), TA_UPDATECP);
  plainText(chained.dc(), 50, 50, "Ab");  // x and y are ignored: a new DC starts at (0, 0)
  plainText(chained.dc(), 50, 50, "cd");
  POINT cp{};
  GetCurrentPositionEx(chained.dc(), &cp);
  const int whole = extentOf(plain.dc(), "Abcd").cx;
  EXPECT_EQ(cp.x, whole);
  EXPECT_EQ(cp.y, 0);
  plainText(plain.dc(), 0, 0, "Abcd");
  EXPECT_TRUE(chained == plain);

  // Right aligned, the text ends at the current position, which moves to its left end.
  SetTextAlign(chained.dc(), TA_UPDATECP | TA_RIGHT);
  plainText(chained.dc(), 0, 0, "xy");
  GetCurrentPositionEx(chained.dc(), &cp);
  EXPECT_EQ(cp.x, whole - extentOf(plain.dc(), "xy").cx);
  plainText(plain.dc(), whole - extentOf(plain.dc(), "xy").cx, 0, "xy");
  EXPECT_TRUE(chained == plain);
  // Centred, it does not move.
  SetTextAlign(chained.dc(), TA_UPDATECP | TA_CENTER);
  plainText(chained.dc(), 0, 0, "z");
  POINT after{};
  GetCurrentPositionEx(chained.dc(), &after);
  EXPECT_EQ(after.x, cp.x);
}

TEST(TextOutput, UnderlineAndStrikeoutRows) {
  Canvas canvas(60, 20);
  ScopedFont font(canvas.dc(), {.underline = true, .strikeOut = true});
  plainText(canvas.dc(), 2, 3, "ab cd");
  TEXTMETRICA tm = metricsOf(canvas.dc());
  SIZE size = extentOf(canvas.dc(), "ab cd");
  int baseline = 3 + tm.tmAscent;
  auto rowIsInk = [&](int y) {
    for (int x = 2; x < 2 + size.cx; ++x) {
      if (canvas.at(x, y) != kInk) return false;
    }
    return canvas.at(1, y) == kWhite && canvas.at(2 + size.cx, y) == kWhite;
  };
  // Underline: one row, the second below the baseline; strikeout: the third row above it.
  EXPECT_FALSE(rowIsInk(baseline));
  EXPECT_TRUE(rowIsInk(baseline + 1)) << canvas.dump(kWhite);
  EXPECT_TRUE(rowIsInk(baseline - 3)) << canvas.dump(kWhite);
  EXPECT_FALSE(rowIsInk(baseline - 4));
  EXPECT_FALSE(rowIsInk(baseline - 2));
}

TEST(TextOutput, ClippedRectangleLimitsTheTextAndOpaqueFillsIt) {
  Canvas full(80, 24), clipped(80, 24);
  ScopedFont f1(full.dc()), f2(clipped.dc());
  plainText(full.dc(), 2, 2, "Clipping here");
  RECT box{10, 4, 40, 11};
  SetBkMode(clipped.dc(), TRANSPARENT);
  SetTextColor(clipped.dc(), kInk);
  SetBkColor(clipped.dc(), kPaper);
  ASSERT_TRUE(ExtTextOutA(clipped.dc(), 2, 2, ETO_CLIPPED | ETO_OPAQUE, &box, "Clipping here", 13,
                          nullptr));
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 80; ++x) {
      bool inside = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
      COLORREF expected = !inside ? kWhite : (full.at(x, y) == kInk ? kInk : kPaper);
      ASSERT_EQ(clipped.at(x, y), expected) << x << "," << y;
    }
  }
}

TEST(TextOutput, ExplicitAdvancesPlaceEachCharacter) {
  Canvas spaced(80, 20), singles(80, 20);
  ScopedFont f1(spaced.dc()), f2(singles.dc());
  INT dx[3] = {15, 20, 9};
  SetBkMode(spaced.dc(), TRANSPARENT);
  SetTextColor(spaced.dc(), kInk);
  ASSERT_TRUE(ExtTextOutA(spaced.dc(), 1, 1, 0, nullptr, "abc", 3, dx));
  plainText(singles.dc(), 1, 1, "a");
  plainText(singles.dc(), 16, 1, "b");
  plainText(singles.dc(), 36, 1, "c");
  EXPECT_TRUE(spaced == singles);
}

TEST(TextOutput, Windows1252BytesDrawTheirCharacters) {
  Canvas canvas(40, 20);
  ScopedFont font(canvas.dc());
  // The euro sign (0x80) and the ellipsis (0x85) are real glyphs, unlike an unassigned byte.
  for (unsigned char c : {0x80, 0x85, 0x8A, 0x9F, 0xE9}) {
    canvas.clear(kWhite);
    char s[2] = {static_cast<char>(c), 0};
    plainText(canvas.dc(), 2, 2, s);
    EXPECT_GE(canvas.count(kInk), 3) << std::hex << int{c};
  }
  // The ellipsis is three dots: three separate ink runs on one row.
  canvas.clear(kWhite);
  plainText(canvas.dc(), 2, 2, "\x85");
  RECT ink = canvas.inkBox(kWhite);
  int runs = 0;
  for (int x = ink.left; x < ink.right; ++x) {
    if (canvas.at(x, ink.bottom - 1) == kInk && canvas.at(x - 1, ink.bottom - 1) != kInk) ++runs;
  }
  EXPECT_EQ(runs, 3) << canvas.dump(kWhite);
  EXPECT_LE(ink.bottom - ink.top, 2);
}

TEST(TextOutput, BadInput) {
  Canvas canvas(40, 20);
  ScopedFont font(canvas.dc());
  SetLastError(0);
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "x", 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(ExtTextOutA(reinterpret_cast<HDC>(font.handle()), 0, 0, 0, nullptr, "x", 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SetTextAlign(nullptr, TA_CENTER), static_cast<UINT>(GDI_ERROR));
  EXPECT_EQ(GetTextAlign(nullptr), static_cast<UINT>(GDI_ERROR));

  SetBkMode(canvas.dc(), OPAQUE);
  EXPECT_TRUE(TextOutA(canvas.dc(), 0, 0, nullptr, 0));  // nothing to draw, not even the cell
  EXPECT_EQ(canvas.count(kWhite), 40 * 20);
  SetLastError(0);
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, nullptr, 3));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, "abc", -1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(canvas.count(kWhite), 40 * 20);
}

TEST(TextOutput, HugeStringsAndFarCoordinatesStayBounded) {
  Canvas canvas(40, 20);
  ScopedFont font(canvas.dc());
  std::string huge(1'000'000, 'W');
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), kInk);
  EXPECT_TRUE(TextOutA(canvas.dc(), 0, 0, huge.data(), static_cast<int>(huge.size())));
  EXPECT_GT(canvas.count(kInk), 20);
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), huge.data(), static_cast<int>(huge.size()), &size));
  EXPECT_EQ(size.cx, static_cast<LONG>(huge.size()) * advanceOf(canvas.dc(), 'W'));
  canvas.clear(kWhite);
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MAX - 5, INT_MIN + 5, "far", 3));
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MIN, INT_MAX, "far", 3));
  SetTextAlign(canvas.dc(), TA_RIGHT | TA_BOTTOM);
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MIN, INT_MIN, huge.data(), static_cast<int>(huge.size())));
  EXPECT_EQ(canvas.count(kWhite), 40 * 20);
}
