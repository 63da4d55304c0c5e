#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "DibSurface.h"
#include "GdiTestSurface.h"

namespace {

// One pixel each of pattern, source and destination, combined by rop.
COLORREF blitOnePixel(DWORD rop, COLORREF pattern, COLORREF source, COLORREF dest) {
  TestSurface src(1, 1), dst(1, 1);
  SetPixel(src.dc(), 0, 0, source);
  SetPixel(dst.dc(), 0, 0, dest);
  HBRUSH brush = CreateSolidBrush(pattern);
  HGDIOBJ old = SelectObject(dst.dc(), brush);
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, rop));
  SelectObject(dst.dc(), old);
  DeleteObject(brush);
  return GetPixel(dst.dc(), 0, 0);
}

TEST(RasterOp, NamedCodesCombineBitsAsTheirTruthTables) {
  const COLORREF p = 0x00F0F0F0 & 0x00F00FF0, s = 0x00CCCCCC & 0x00C3C3CC, d = 0x00AAAAAA;
  struct Case {
    DWORD rop;
    COLORREF expected;
  } cases[] = {
      {SRCCOPY, s},
      {SRCAND, s & d},
      {SRCPAINT, s | d},
      {SRCINVERT, s ^ d},
      {NOTSRCCOPY, ~s & 0xFFFFFF},
      {MERGEPAINT, (~s | d) & 0xFFFFFF},
      {PATCOPY, p},
      {PATINVERT, p ^ d},
      {DSTINVERT, ~d & 0xFFFFFF},
      {BLACKNESS, 0},
      {WHITENESS, 0xFFFFFF},
      {0x00220326, d & ~s & 0xFFFFFF},
      {0x00B8074A, ((d ^ p) & s) ^ p},
      {SRCERASE, s & ~d & 0xFFFFFF},
      {MERGECOPY, p & s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(blitOnePixel(c.rop, p, s, d), c.expected) << std::hex << c.rop;
  }
}

TEST(RasterOp, EveryIndexByteFollowsItsTruthTable) {
  // With P, S, D = F0, CC, AA in every channel, the result of index byte r is r itself.
  for (int r = 0; r < 256; ++r) {
    DWORD rop = static_cast<DWORD>(r) << 16;
    COLORREF got = blitOnePixel(rop, RGB(0xF0, 0xF0, 0xF0), RGB(0xCC, 0xCC, 0xCC),
                                RGB(0xAA, 0xAA, 0xAA));
    ASSERT_EQ(got, RGB(r, r, r)) << "index " << r;
  }
}

TEST(RasterOp, DisabledPictureBlitGreysBlackAndKeepsFaceUnderWhite) {
  // (D xor P) and S xor P with a grey brush: white source keeps the face, black turns grey.
  TestSurface picture(2, 1), face(2, 1);
  SetPixel(picture.dc(), 0, 0, RGB(255, 255, 255));
  SetPixel(picture.dc(), 1, 0, RGB(0, 0, 0));
  face.fill(RGB(192, 192, 192));
  HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
  HGDIOBJ old = SelectObject(face.dc(), grey);
  BitBlt(face.dc(), 0, 0, 2, 1, picture.dc(), 0, 0, 0x00B8074A);
  SelectObject(face.dc(), old);
  DeleteObject(grey);
  EXPECT_EQ(GetPixel(face.dc(), 0, 0), RGB(192, 192, 192));
  EXPECT_EQ(GetPixel(face.dc(), 1, 0), RGB(128, 128, 128));
}

TEST(RasterOp, PatBltRefusesSourceCodesAndHonoursNullBrush) {
  TestSurface s(4, 4);
  s.fill(RGB(1, 2, 3));
  SetLastError(0);
  EXPECT_FALSE(PatBlt(s.dc(), 0, 0, 4, 4, SRCCOPY));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  HGDIOBJ old = SelectObject(s.dc(), GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(PatBlt(s.dc(), 0, 0, 4, 4, PATCOPY));
  EXPECT_EQ(GetPixel(s.dc(), 2, 2), RGB(1, 2, 3));
  EXPECT_TRUE(PatBlt(s.dc(), 1, 1, 2, 2, DSTINVERT));  // needs no brush
  EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(254, 253, 252));
  EXPECT_EQ(GetPixel(s.dc(), 3, 3), RGB(1, 2, 3));
  SelectObject(s.dc(), old);
}

TEST(RasterOp, ColourToMonochromeMakesSourceBackgroundWhite) {
  TestSurface colour(3, 1), mono(3, 1, 1);
  SetPixel(colour.dc(), 0, 0, RGB(250, 0, 250));
  SetPixel(colour.dc(), 1, 0, RGB(255, 255, 255));
  SetPixel(colour.dc(), 2, 0, RGB(246, 0, 250));
  SetBkColor(colour.dc(), RGB(250, 0, 250));
  // The destination's colours play no part in this direction.
  SetBkColor(mono.dc(), RGB(0, 0, 0));
  SetTextColor(mono.dc(), RGB(255, 255, 255));
  ASSERT_TRUE(BitBlt(mono.dc(), 0, 0, 3, 1, colour.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(mono.dc(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mono.dc(), 1, 0), RGB(0, 0, 0));  // white but not the background
  EXPECT_EQ(GetPixel(mono.dc(), 2, 0), RGB(0, 0, 0));
}

TEST(RasterOp, MonochromeToColourUsesDestinationColours) {
  TestSurface mono(2, 1, 1), colour(2, 1);
  SetPixel(mono.dc(), 0, 0, RGB(255, 255, 255));
  SetPixel(mono.dc(), 1, 0, RGB(0, 0, 0));
  SetBkColor(mono.dc(), RGB(1, 1, 1));  // the source's colours play no part
  SetTextColor(mono.dc(), RGB(2, 2, 2));
  SetBkColor(colour.dc(), RGB(10, 20, 30));
  SetTextColor(colour.dc(), RGB(200, 100, 50));
  ASSERT_TRUE(BitBlt(colour.dc(), 0, 0, 2, 1, mono.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(colour.dc(), 0, 0), RGB(10, 20, 30));
  EXPECT_EQ(GetPixel(colour.dc(), 1, 0), RGB(200, 100, 50));
}

TEST(RasterOp, TransparentDrawingThroughMaskAndSrcAndSrcPaint) {
  // Key colour out, picture colours in: the mask technique of a transparent bitmap.
  const COLORREF key = RGB(250, 0, 250);
  TestSurface picture(3, 1), mask(3, 1, 1), back(3, 1);
  SetPixel(picture.dc(), 0, 0, key);
  SetPixel(picture.dc(), 1, 0, RGB(10, 200, 30));
  SetPixel(picture.dc(), 2, 0, RGB(0, 0, 0));
  back.fill(RGB(90, 90, 90));
  SetBkColor(picture.dc(), key);
  BitBlt(mask.dc(), 0, 0, 3, 1, picture.dc(), 0, 0, SRCCOPY);
  SetTextColor(picture.dc(), RGB(0, 0, 0));
  SetBkColor(picture.dc(), RGB(255, 255, 255));
  BitBlt(picture.dc(), 0, 0, 3, 1, mask.dc(), 0, 0, 0x00220326);
  EXPECT_EQ(GetPixel(picture.dc(), 0, 0), RGB(0, 0, 0));  // key blackened
  EXPECT_EQ(GetPixel(picture.dc(), 1, 0), RGB(10, 200, 30));
  StretchBlt(back.dc(), 0, 0, 3, 1, mask.dc(), 0, 0, 3, 1, SRCAND);
  StretchBlt(back.dc(), 0, 0, 3, 1, picture.dc(), 0, 0, 3, 1, SRCPAINT);
  EXPECT_EQ(GetPixel(back.dc(), 0, 0), RGB(90, 90, 90));
  EXPECT_EQ(GetPixel(back.dc(), 1, 0), RGB(10, 200, 30));
  EXPECT_EQ(GetPixel(back.dc(), 2, 0), RGB(0, 0, 0));
}

TEST(RasterOp, WhitenessOnMonochromeAndColourTargets) {
  TestSurface mono(9, 2, 1), colour(3, 3);
  EXPECT_TRUE(PatBlt(mono.dc(), 0, 0, 9, 2, WHITENESS));
  EXPECT_EQ(GetPixel(mono.dc(), 8, 1), RGB(255, 255, 255));
  EXPECT_TRUE(PatBlt(mono.dc(), 8, 0, 1, 1, BLACKNESS));
  EXPECT_EQ(GetPixel(mono.dc(), 8, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(mono.dc(), 7, 0), RGB(255, 255, 255));
  EXPECT_TRUE(PatBlt(colour.dc(), 1, 1, 5, 5, WHITENESS));
  EXPECT_EQ(GetPixel(colour.dc(), 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(colour.dc(), 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(colour.dc(), 2, 2), RGB(255, 255, 255));
}

TEST(RasterOp, BlitOnItselfReadsTheSourceBeforeWriting) {
  TestSurface s(6, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) SetPixel(s.dc(), x, y, RGB(x, y, 0));
  // Overlapping copies down-right and up-left, through the plain and the combining paths.
  BitBlt(s.dc(), 1, 1, 5, 5, s.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(s.dc(), 5, 5), RGB(4, 4, 0));
  EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(0, 0, 0));
  BitBlt(s.dc(), 0, 0, 5, 5, s.dc(), 1, 1, SRCINVERT);
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), RGB(0, 0, 0));        // (0,0,0) xor (0,0,0)
  // Destination (3,2) held the original (2,1), its source (4,3) the original (3,2).
  EXPECT_EQ(GetPixel(s.dc(), 3, 2), RGB(3 ^ 2, 2 ^ 1, 0));
}

TEST(RasterOp, SourceOutsideTheBitmapLeavesDestinationAlone) {
  TestSurface src(2, 2), dst(4, 4);
  src.fill(RGB(9, 9, 9));
  dst.fill(RGB(1, 1, 1));
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 4, src.dc(), -1, -1, SRCCOPY));
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), RGB(1, 1, 1));
  EXPECT_EQ(GetPixel(dst.dc(), 1, 1), RGB(9, 9, 9));
  EXPECT_EQ(GetPixel(dst.dc(), 2, 2), RGB(9, 9, 9));
  EXPECT_EQ(GetPixel(dst.dc(), 3, 3), RGB(1, 1, 1));
}

TEST(RasterOp, HatchAndPatternBrushesFollowTheBrushOrigin) {
  TestSurface s(8, 8);
  s.fill(RGB(0, 0, 255));
  HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(s.dc(), hatch);
  SetBkMode(s.dc(), TRANSPARENT);
  PatBlt(s.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(GetPixel(s.dc(), 4, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(s.dc(), 0, 3), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(0, 0, 255));  // transparent background kept
  SetBkMode(s.dc(), OPAQUE);
  SetBkColor(s.dc(), RGB(0, 255, 0));
  SetBrushOrgEx(s.dc(), 1, 0, nullptr);
  PatBlt(s.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(GetPixel(s.dc(), 5, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(s.dc(), 4, 0), RGB(0, 255, 0));
  SelectObject(s.dc(), old);
  DeleteObject(hatch);

  // A monochrome pattern: 0 bits take the text colour, 1 bits the background colour.
  const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
  HBRUSH pattern = CreatePatternBrush(bits);
  DeleteObject(bits);  // the brush keeps its own copy
  SetBrushOrgEx(s.dc(), 0, 0, nullptr);
  SetTextColor(s.dc(), RGB(7, 7, 7));
  SetBkColor(s.dc(), RGB(200, 200, 200));
  old = SelectObject(s.dc(), pattern);
  PatBlt(s.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), RGB(200, 200, 200));
  EXPECT_EQ(GetPixel(s.dc(), 1, 0), RGB(7, 7, 7));
  EXPECT_EQ(GetPixel(s.dc(), 0, 1), RGB(7, 7, 7));
  SelectObject(s.dc(), old);
  DeleteObject(pattern);
}

TEST(RasterOp, BlitsAndPixelsHonourTheClipRegion) {
  TestSurface src(6, 6), dst(6, 6);
  src.fill(RGB(50, 60, 70));
  HRGN clip = CreateRectRgn(2, 2, 4, 4);
  EXPECT_EQ(reinterpret_cast<intptr_t>(SelectObject(dst.dc(), clip)), SIMPLEREGION);
  DeleteObject(clip);  // the DC keeps its own copy
  BitBlt(dst.dc(), 0, 0, 6, 6, src.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(dst.dc(), 2, 2), RGB(50, 60, 70));
  EXPECT_EQ(GetPixel(dst.dc(), 3, 3), RGB(50, 60, 70));
  // Outside the clip a pixel cannot be read or written.
  EXPECT_EQ(GetPixel(dst.dc(), 1, 1), CLR_INVALID);
  EXPECT_EQ(SetPixel(dst.dc(), 4, 4, RGB(1, 1, 1)), CLR_INVALID);
  PatBlt(dst.dc(), 0, 0, 6, 6, WHITENESS);
  EXPECT_EQ(GetPixel(dst.dc(), 3, 2), RGB(255, 255, 255));
  HRGN everything = CreateRectRgn(0, 0, 6, 6);
  SelectObject(dst.dc(), everything);
  DeleteObject(everything);
  EXPECT_EQ(GetPixel(dst.dc(), 4, 4), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 1, 1), RGB(0, 0, 0));
}

TEST(RasterOp, AlphaBytesOfSectionsPlayNoPartInMonochromeConversion) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = -1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  static_cast<DWORD*>(bits)[0] = 0xFF00FF00;  // green with an opaque alpha byte
  static_cast<DWORD*>(bits)[1] = 0xFF0000FF;  // blue
  TestSurface colour(dib), mono(2, 1, 1);
  SetBkColor(colour.dc(), RGB(0, 255, 0));
  BitBlt(mono.dc(), 0, 0, 2, 1, colour.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mono.dc(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mono.dc(), 1, 0), RGB(0, 0, 0));
}

// Windows applies every operation but a plain copy to all 32 bits of a 32 bpp pixel, the fourth
// byte included; a plain copy of a colour stores it zero.
TEST(RasterOp, OperationsReachAllThirtyTwoBits) {
  DibSurface dib(4, 4), src(4, 4);
  auto reset = [&](uint32_t value) { std::fill(dib.bits, dib.bits + 16, value); };
  reset(0xCCCCCCCC);
  PatBlt(dib.dc, 0, 0, 1, 1, WHITENESS);
  EXPECT_EQ(dib.bits[0], 0xFFFFFFFFu);
  PatBlt(dib.dc, 1, 0, 1, 1, DSTINVERT);
  EXPECT_EQ(dib.bits[1], 0x33333333u);
  HGDIOBJ oldBrush = SelectObject(dib.dc, GetStockObject(WHITE_BRUSH));
  PatBlt(dib.dc, 2, 0, 1, 1, PATINVERT);
  EXPECT_EQ(dib.bits[2], 0xCC333333u);
  PatBlt(dib.dc, 3, 0, 1, 1, PATCOPY);
  EXPECT_EQ(dib.bits[3], 0x00FFFFFFu);
  std::fill(src.bits, src.bits + 16, 0x0F0F0F0Fu);
  BitBlt(dib.dc, 0, 1, 1, 1, src.dc, 0, 0, SRCINVERT);
  EXPECT_EQ(dib.bits[4], 0xC3C3C3C3u);
  BitBlt(dib.dc, 1, 1, 1, 1, src.dc, 0, 0, NOTSRCCOPY);
  EXPECT_EQ(dib.bits[5], 0xF0F0F0F0u);
  BitBlt(dib.dc, 2, 1, 1, 1, src.dc, 0, 0, SRCCOPY);  // a plain copy of a section's pixel
  EXPECT_EQ(dib.bits[6], 0x0F0F0F0Fu);
  StretchBlt(dib.dc, 0, 2, 2, 1, src.dc, 0, 0, 1, 1, SRCPAINT);
  EXPECT_EQ(dib.bits[8], 0xCFCFCFCFu);
  EXPECT_EQ(dib.bits[9], 0xCFCFCFCFu);
  BITMAPINFO info = topDownDib32(1, 1);
  const uint32_t one = 0xFF00FF00u;
  StretchDIBits(dib.dc, 2, 2, 2, 1, 0, 0, 1, 1, &one, &info, DIB_RGB_COLORS, SRCAND);
  EXPECT_EQ(dib.bits[10], 0xCC00CC00u);
  EXPECT_EQ(dib.bits[11], 0xCC00CC00u);
  SelectObject(dib.dc, oldBrush);

  // Lines, shapes and pixels with a ROP2 other than R2_COPYPEN.
  reset(0xCCCCCCCC);
  SetROP2(dib.dc, R2_NOT);
  MoveToEx(dib.dc, 0, 0, nullptr);
  LineTo(dib.dc, 3, 0);
  EXPECT_EQ(dib.bits[0], 0x33333333u);
  EXPECT_EQ(dib.bits[2], 0x33333333u);
  HGDIOBJ oldPen = SelectObject(dib.dc, GetStockObject(NULL_PEN));
  Rectangle(dib.dc, 0, 1, 3, 3);
  EXPECT_EQ(dib.bits[5], 0x33333333u);
  SelectObject(dib.dc, oldPen);
  EXPECT_EQ(SetPixel(dib.dc, 3, 3, RGB(0, 0, 255)), RGB(0, 0, 255));
  EXPECT_EQ(dib.bits[15], 0x33333333u);
  SetROP2(dib.dc, R2_XORPEN);
  SetPixel(dib.dc, 3, 2, RGB(0, 0, 255));
  EXPECT_EQ(dib.bits[11], 0xCCCCCC33u);
  SetROP2(dib.dc, R2_WHITE);
  SetPixel(dib.dc, 2, 3, RGB(0, 0, 255));
  EXPECT_EQ(dib.bits[14], 0xFFFFFFFFu);
  SetROP2(dib.dc, R2_COPYPEN);
  SetPixel(dib.dc, 3, 0, RGB(0, 0, 255));
  EXPECT_EQ(dib.bits[3], 0x000000FFu);
}

TEST(RasterOp, FillRectWithoutABrushTakesTheDcsBrush) {
  TestSurface s(3, 3);
  s.fill(RGB(255, 255, 255));
  HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
  HGDIOBJ old = SelectObject(s.dc(), grey);
  RECT r{0, 0, 2, 2};
  EXPECT_TRUE(FillRect(s.dc(), &r, nullptr));
  EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(128, 128, 128));
  EXPECT_EQ(GetPixel(s.dc(), 2, 2), RGB(255, 255, 255));
  // With the null brush selected nothing is filled, and that is no failure.
  SelectObject(s.dc(), GetStockObject(NULL_BRUSH));
  r = RECT{2, 2, 3, 3};
  FillRect(s.dc(), &r, nullptr);
  EXPECT_EQ(GetPixel(s.dc(), 2, 2), RGB(255, 255, 255));
  SelectObject(s.dc(), old);
  DeleteObject(grey);
}

}  // namespace
