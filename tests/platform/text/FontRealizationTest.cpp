// Which font file a logical font becomes, and the metrics it reports. The expected numbers are
// those of the pinned Liberation and DejaVu files, and of Wine's Tahoma for "Tahoma".
#include <sys/stat.h>

#include <climits>

#include "TextTestSupport.h"

using namespace texttest;

namespace {

bool fileExists(const char* path) {
  struct stat st {};
  return stat(path, &st) == 0;
}

std::string faceOf(const FontRequest& wanted) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc(), wanted);
  char name[LF_FACESIZE] = {};
  GetTextFaceA(canvas.dc(), LF_FACESIZE, name);
  return name;
}

}  // namespace

TEST(FontRealization, PinnedFontFilesArePresent) {
  EXPECT_TRUE(fileExists("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"));
  EXPECT_TRUE(fileExists("/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"));
  EXPECT_TRUE(fileExists("/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf"));
  EXPECT_TRUE(fileExists("/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf"));
  EXPECT_TRUE(fileExists("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
}

TEST(FontRealization, WindowsFacesBecomeTheirSubstitutes) {
  // "MS Sans Serif" at a size of its bitmap faces is Wine's bitmap face (see below).
  EXPECT_EQ(faceOf({.face = "ms sans serif", .height = -15}), "Liberation Sans");
  EXPECT_EQ(faceOf({.face = "Microsoft Sans Serif"}), "Liberation Sans");
  EXPECT_EQ(faceOf({.face = "Arial"}), "Liberation Sans");
  EXPECT_EQ(faceOf({.face = "Helvetica"}), "Liberation Sans");
  EXPECT_EQ(faceOf({.face = "Verdana"}), "DejaVu Sans");
  EXPECT_EQ(faceOf({.face = "Times New Roman"}), "Liberation Serif");
  EXPECT_EQ(faceOf({.face = "Courier New"}), "Liberation Mono");
  // A family fontconfig has under its own name is used as it is.
  EXPECT_EQ(faceOf({.face = "DejaVu Sans Mono"}), "DejaVu Sans Mono");
}

// Wine's metric-compatible Tahoma: the numbers are those of its files (DejaVu Sans makes
// "General public license" 126 pixels wide, a synthetic bold adds one pixel per letter).
TEST(FontRealization, TahomaIsWinesMetricCompatibleTahoma) {
  if (!fileExists("/usr/share/wine/fonts/tahoma.ttf") || !fileExists("/usr/share/wine/fonts/tahomabd.ttf")) {
    GTEST_SKIP() << "fonts-wine is not installed (scripts/setup installs it); Tahoma is DejaVu Sans here";
  }
  EXPECT_EQ(faceOf({.face = "Tahoma"}), "Tahoma");
  EXPECT_EQ(faceOf({.face = "tahoma", .weight = FW_BOLD}), "Tahoma");
  Canvas canvas(4, 4);
  {
    ScopedFont font(canvas.dc(), {.face = "Tahoma", .underline = true});
    TEXTMETRICA tm = metricsOf(canvas.dc());
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAscent, 11);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    EXPECT_EQ(extentOf(canvas.dc(), "General public license").cx, 102);
  }
  {
    ScopedFont font(canvas.dc(), {.face = "Tahoma", .weight = FW_BOLD});
    EXPECT_EQ(metricsOf(canvas.dc()).tmWeight, FW_BOLD);
    EXPECT_EQ(extentOf(canvas.dc(), "General public license").cx, 122);
  }
  // Only Tahoma comes from Wine's folder: its other fonts' names still fall back.
  for (const char* other : {"Marlett", "Small Fonts", "Wingdings", "Symbol"}) {
    EXPECT_EQ(faceOf({.face = other}), "Liberation Sans") << other;
  }
  EXPECT_EQ(faceOf({.face = "Verdana"}), "DejaVu Sans");
}

TEST(FontRealization, UnknownOrEmptyNamesFallBackByPitchAndFamily) {
  EXPECT_EQ(faceOf({.face = "No Such Font Anywhere"}), "Liberation Sans");
  EXPECT_EQ(faceOf({.face = ""}), "Liberation Sans");
  EXPECT_EQ(faceOf({.face = "No Such Font", .pitchAndFamily = FF_ROMAN}), "Liberation Serif");
  EXPECT_EQ(faceOf({.face = "", .pitchAndFamily = FF_MODERN}), "Liberation Mono");
  EXPECT_EQ(faceOf({.face = "", .pitchAndFamily = FIXED_PITCH}), "Liberation Mono");
  // A face name filling all 32 bytes without a terminator is still read safely.
  Canvas canvas(4, 4);
  LOGFONTA lf = logFont({});
  std::memset(lf.lfFaceName, 'Q', LF_FACESIZE);
  HFONT font = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(canvas.dc(), font);
  EXPECT_EQ(metricsOf(canvas.dc()).tmHeight, 12);
  SelectObject(canvas.dc(), old);
  DeleteObject(font);
}

TEST(FontRealization, EightPointSansMetrics) {
  Canvas canvas(4, 4);
  // Liberation Sans through "Arial": "MS Sans Serif" at 8 points is now Windows' bitmap face.
  ScopedFont font(canvas.dc(), {.face = "Arial"});
  TEXTMETRICA tm{};
  ASSERT_TRUE(GetTextMetricsA(canvas.dc(), &tm));
  EXPECT_EQ(tm.tmHeight, 12);
  EXPECT_EQ(tm.tmAscent, 10);
  EXPECT_EQ(tm.tmDescent, 2);
  EXPECT_EQ(tm.tmInternalLeading, 1);  // em of 11 in a cell of 12
  EXPECT_EQ(tm.tmExternalLeading, 0);
  EXPECT_EQ(tm.tmAveCharWidth, 5);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  EXPECT_EQ(tm.tmItalic, 0);
  EXPECT_EQ(tm.tmUnderlined, 0);
  EXPECT_EQ(tm.tmStruckOut, 0);
  EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
  EXPECT_EQ(tm.tmPitchAndFamily & 0xF0, FF_SWISS);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);  // set means variable pitch
  EXPECT_GE(tm.tmMaxCharWidth, advanceOf(canvas.dc(), 'W'));
  EXPECT_LE(tm.tmFirstChar, ' ');
  EXPECT_EQ(tm.tmLastChar, 0xFF);
}

TEST(FontRealization, NegativeHeightIsTheEmPositiveHeightTheCell) {
  Canvas canvas(4, 4);
  for (int h : {8, 11, 13, 16, 20, 32, 47}) {
    TEXTMETRICA em{}, cell{};
    {
      ScopedFont font(canvas.dc(), {.height = -h});
      em = metricsOf(canvas.dc());
    }
    {
      ScopedFont font(canvas.dc(), {.height = h});
      cell = metricsOf(canvas.dc());
    }
    EXPECT_EQ(em.tmHeight - em.tmInternalLeading, h) << h;
    EXPECT_EQ(em.tmHeight, em.tmAscent + em.tmDescent) << h;
    EXPECT_EQ(cell.tmHeight, h) << h;
    EXPECT_EQ(cell.tmHeight, cell.tmAscent + cell.tmDescent) << h;
    EXPECT_GT(em.tmHeight, cell.tmHeight) << h;
  }
  ScopedFont defaultHeight(canvas.dc(), {.height = 0});
  EXPECT_EQ(metricsOf(canvas.dc()).tmHeight, 12);
}

TEST(FontRealization, ExtremeHeightsAreLimited) {
  Canvas canvas(8, 8);
  for (int h : {INT_MIN, -100000, 100000, INT_MAX}) {
    ScopedFont font(canvas.dc(), {.height = h});
    TEXTMETRICA tm = metricsOf(canvas.dc());
    EXPECT_GT(tm.tmHeight, 0) << h;
    EXPECT_LE(tm.tmHeight, 3000) << h;
    EXPECT_TRUE(TextOutA(canvas.dc(), 0, 0, "W", 1)) << h;
  }
  ScopedFont wide(canvas.dc(), {.width = INT_MAX});
  EXPECT_GT(metricsOf(canvas.dc()).tmAveCharWidth, 0);
  EXPECT_TRUE(TextOutA(canvas.dc(), 0, 0, "W", 1));
}

TEST(FontRealization, BoldIsWiderAndReportsItsWeight) {
  Canvas canvas(4, 4);
  SIZE regular{}, bold{};
  {
    ScopedFont font(canvas.dc());
    regular = extentOf(canvas.dc(), "Hello World");
  }
  {
    ScopedFont font(canvas.dc(), {.weight = FW_BOLD});
    bold = extentOf(canvas.dc(), "Hello World");
    EXPECT_EQ(metricsOf(canvas.dc()).tmWeight, FW_BOLD);
  }
  EXPECT_GT(bold.cx, regular.cx);
  EXPECT_EQ(bold.cy, regular.cy);
}

TEST(FontRealization, StyleFlagsReachTheMetrics) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc(), {.italic = true, .underline = true, .strikeOut = true});
  TEXTMETRICA tm = metricsOf(canvas.dc());
  EXPECT_NE(tm.tmItalic, 0);
  EXPECT_NE(tm.tmUnderlined, 0);
  EXPECT_NE(tm.tmStruckOut, 0);
}

TEST(FontRealization, WidthStretchesTheGlyphs) {
  Canvas canvas(4, 4);
  SIZE natural{}, stretched{};
  {
    ScopedFont font(canvas.dc());
    natural = extentOf(canvas.dc(), "mmmmmmmmmm");
  }
  {
    ScopedFont font(canvas.dc(), {.width = 10});
    stretched = extentOf(canvas.dc(), "mmmmmmmmmm");
    EXPECT_EQ(metricsOf(canvas.dc()).tmAveCharWidth, 10);
    EXPECT_EQ(metricsOf(canvas.dc()).tmHeight, 12);
  }
  EXPECT_GT(stretched.cx, natural.cx * 3 / 2);
}

TEST(FontRealization, IdenticalLogicalFontsMeasureAlike) {
  Canvas canvas(4, 4);
  SIZE first{}, second{};
  {
    ScopedFont font(canvas.dc(), {.face = "Tahoma", .height = -13});
    first = extentOf(canvas.dc(), "The quick brown fox");
  }
  {
    ScopedFont font(canvas.dc(), {.face = "Tahoma", .height = -13});
    second = extentOf(canvas.dc(), "The quick brown fox");
  }
  EXPECT_EQ(first.cx, second.cx);
  EXPECT_EQ(first.cy, second.cy);
}

TEST(FontRealization, ManyFontsLeaveNoObjectBehind) {
  Canvas canvas(16, 16);
  DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 100; ++i) {
    ScopedFont font(canvas.dc(), {.height = -(6 + i % 50), .weight = (i % 2) ? FW_BOLD : FW_NORMAL});
    TextOutA(canvas.dc(), 0, 0, "Ag", 2);
  }
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

TEST(FontRealization, GetTextFaceBufferRules) {
  Canvas canvas(4, 4);
  ScopedFont font(canvas.dc(), {.face = "Arial"});  // a name longer than the bitmap face's
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, nullptr), 16);  // "Liberation Sans" and its NUL
  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 5, small), 4);
  EXPECT_STREQ(small, "Libe");
  SetLastError(0);
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, small), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0);
  EXPECT_EQ(GetTextFaceA(nullptr, 5, small), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(FontRealization, MetricsOfBadHandlesFail) {
  TEXTMETRICA tm{};
  SetLastError(0);
  EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  Canvas canvas(4, 4);
  SetLastError(0);
  EXPECT_FALSE(GetTextMetricsA(canvas.dc(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // A DC handle that has been deleted.
  HDC gone = CreateCompatibleDC(nullptr);
  DeleteDC(gone);
  SetLastError(0);
  EXPECT_FALSE(GetTextMetricsA(gone, &tm));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// Windows' "MS Sans Serif" is a bitmap face, and Wine's copy of it (sserife.fon of fonts-wine,
// which FreeType reads) measures the labels as the windows were laid out for them. The widths of
// the candidates, in pixels at 8.25 points (an em of 11):
//                          sserife.fon  ms_sans_serif.ttf  Liberation Sans (the stand-in before)
//   "English version"          71              71                 73  (the About label is 71)
//   "&Ok"                      14              14                 13
//   "&Info..."                 27              27                 27
//   success text              181             181                186
// ms_sans_serif.ttf holds the same bitmaps as the .fon in a TrueType file; the .fon is chosen
// because its faces carry Windows' own metrics (em, internal leading, average width).
TEST(FontRealization, MsSansSerifIsWindowsBitmapFace) {
  if (!fileExists("/usr/share/wine/fonts/sserife.fon")) {
    GTEST_SKIP() << "fonts-wine is not installed (scripts/setup installs it)";
  }
  Canvas canvas(4, 4);
  {
    ScopedFont font(canvas.dc(), {.face = "MS Sans Serif", .height = -11});
    EXPECT_EQ(faceOf({.face = "MS Sans Serif"}), "MS Sans Serif");
    TEXTMETRICA tm = metricsOf(canvas.dc());
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmAscent, 11);
    EXPECT_EQ(tm.tmDescent, 2);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_EQ(tm.tmAveCharWidth, 5);
    EXPECT_EQ(tm.tmMaxCharWidth, 11);
    EXPECT_EQ(extentOf(canvas.dc(), "English version").cx, 71);
    EXPECT_EQ(extentOf(canvas.dc(), "Ok").cx, 14);
    EXPECT_EQ(extentOf(canvas.dc(), "Info...").cx, 27);
    EXPECT_EQ(extentOf(canvas.dc(), "The operation completed successfully.").cx, 181);
    EXPECT_EQ(extentOf(canvas.dc(), "The device is not ready.").cx, 114);
    EXPECT_EQ(extentOf(canvas.dc(), "Access is denied.").cx, 83);
    EXPECT_EQ(extentOf(canvas.dc(), "The system cannot find the file specified.").cx, 192);
    RECT label{0, 0, 71, 13};
    EXPECT_EQ(DrawTextA(canvas.dc(), "English version", -1, &label, DT_CALCRECT | DT_WORDBREAK), 13);
    EXPECT_LE(label.right, 71);
  }
  {
    ScopedFont font(canvas.dc(), {.face = "Arial", .height = -11});
    EXPECT_EQ(extentOf(canvas.dc(), "English version").cx, 73);
  }
  // The cell given as a positive height picks the same face; the 10-point face is there too.
  EXPECT_EQ(faceOf({.face = "MS Sans Serif", .height = 13}), "MS Sans Serif");
  EXPECT_EQ(faceOf({.face = "MS Sans Serif", .height = -13}), "MS Sans Serif");
  // Bold is emboldened by one pixel a letter, as Windows does for a bitmap face.
  {
    ScopedFont font(canvas.dc(), {.face = "MS Sans Serif", .weight = FW_BOLD});
    EXPECT_EQ(extentOf(canvas.dc(), "Ok").cx, 16);
    EXPECT_EQ(metricsOf(canvas.dc()).tmWeight, FW_BOLD);
  }
  // Sizes, slants and stretches the bitmap faces do not have stay with the scalable stand-in.
  EXPECT_EQ(faceOf({.face = "MS Sans Serif", .height = -12}), "Liberation Sans");
  EXPECT_EQ(faceOf({.face = "MS Sans Serif", .italic = true}), "Liberation Sans");
  EXPECT_EQ(faceOf({.face = "MS Sans Serif", .width = 8}), "Liberation Sans");
}
