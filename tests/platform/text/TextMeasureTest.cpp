// GetTextExtentPoint32A and GetCharWidth32A, and the Windows-1252 code page behind every byte:
// the advances are checked against FreeType's own for the pinned font file.
#include <ft2build.h>
#include FT_FREETYPE_H

#include "TextTestSupport.h"

using namespace texttest;

namespace {

constexpr const char* kSansFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

// The hinted monochrome advance of a code point in the pinned sans at an em of ppem pixels.
int freeTypeAdvance(uint32_t codePoint, int ppem) {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  int advance = -1;
  if (FT_Init_FreeType(&library) == 0) {
    if (FT_New_Face(library, kSansFile, 0, &face) == 0) {
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem));
      FT_UInt index = FT_Get_Char_Index(face, codePoint);
      if (index != 0 && FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) == 0) {
        advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
      }
      FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
  }
  return advance;
}

}  // namespace

TEST(TextMeasure, ExtentIsTheSumOfCharacterWidths) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  const char* text = "Flush complete: 100% (\xE9t\xE9)";
  int sum = 0;
  for (const char* p = text; *p; ++p) sum += advanceOf(dc, static_cast<unsigned char>(*p));
  SIZE size32{}, size{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size32));
  ASSERT_TRUE(GetTextExtentPointA(dc, text, static_cast<int>(std::strlen(text)), &size));
  EXPECT_EQ(size32.cx, sum);
  EXPECT_EQ(size32.cy, metricsOf(dc).tmHeight);
  EXPECT_EQ(size.cx, size32.cx);
  EXPECT_EQ(size.cy, size32.cy);
  // Only the first c bytes count.
  ASSERT_TRUE(GetTextExtentPoint32A(dc, text, 5, &size32));
  EXPECT_EQ(size32.cx, extentOf(dc, "Flush").cx);
  // Nothing at all still has the line's height.
  ASSERT_TRUE(GetTextExtentPoint32A(dc, nullptr, 0, &size32));
  EXPECT_EQ(size32.cx, 0);
  EXPECT_EQ(size32.cy, metricsOf(dc).tmHeight);
}

TEST(TextMeasure, AdvancesAreTheFontsHintedAdvances) {
  Canvas canvas(4, 4);
  // The pinned sans through "Arial": "MS Sans Serif" at 8 points is now Windows' bitmap face.
  ScopedFont font(canvas.dc(), {.face = "Arial"});
  for (unsigned char c : {'O', 'k', 'i', 'W', ' ', '&', '1'}) {
    EXPECT_EQ(advanceOf(canvas.dc(), c), freeTypeAdvance(c, 11)) << c;
  }
}

TEST(TextMeasure, BytesAreWindows1252) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc(), {.height = -40});
  HDC dc = canvas.dc();
  struct Pair {
    unsigned char byte;
    uint32_t codePoint;
  } pairs[] = {{0x80, 0x20AC}, {0x85, 0x2026}, {0x8C, 0x0152}, {0x91, 0x2018}, {0x97, 0x2014},
               {0x99, 0x2122}, {0x9F, 0x0178}, {0xA9, 0x00A9}, {0xC6, 0x00C6}, {0xFF, 0x00FF}};
  for (const Pair& p : pairs) {
    int expected = freeTypeAdvance(p.codePoint, 40);
    ASSERT_GT(expected, 0) << std::hex << p.codePoint;
    EXPECT_EQ(advanceOf(dc, p.byte), expected) << std::hex << int{p.byte};
  }
  // The em dash is wider than the en dash, the euro differs from the C1 control it shares a byte
  // value with in Latin-1.
  EXPECT_GT(advanceOf(dc, 0x97), advanceOf(dc, 0x96));
}

TEST(TextMeasure, CharWidthRanges) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  INT widths[3] = {-1, -1, -1};
  ASSERT_TRUE(GetCharWidth32A(dc, 'a', 'c', widths));
  EXPECT_EQ(widths[0], extentOf(dc, "a").cx);
  EXPECT_EQ(widths[1], extentOf(dc, "b").cx);
  EXPECT_EQ(widths[2], extentOf(dc, "c").cx);
  // Codes beyond the code page get the default character's width.
  INT beyond[2] = {-1, -1};
  ASSERT_TRUE(GetCharWidth32A(dc, 0xFFFFFFFE, 0xFFFFFFFF, beyond));
  EXPECT_EQ(beyond[0], advanceOf(dc, metricsOf(dc).tmDefaultChar));
  EXPECT_EQ(beyond[1], beyond[0]);
  SetLastError(0);
  EXPECT_FALSE(GetCharWidth32A(dc, 'c', 'a', widths));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(GetCharWidth32A(dc, 'a', 'a', nullptr));
}

TEST(TextMeasure, BadInput) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc());
  HDC dc = canvas.dc();
  SIZE size{};
  SetLastError(0);
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "a", 1, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(GetTextExtentPoint32A(reinterpret_cast<HDC>(font.handle()), "a", 1, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "abc", -1, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_FALSE(GetTextExtentPoint32A(dc, nullptr, 2, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "abc", 3, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // Measuring in a DC whose font is the stock one works too.
  Canvas plain(4, 4);
  EXPECT_TRUE(GetTextExtentPoint32A(plain.dc(), "abc", 3, &size));
  EXPECT_GT(size.cx, 0);
}
