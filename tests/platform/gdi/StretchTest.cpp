// Stretched blits and CopyImage against the source columns measured on Windows
// (tests/data/stretch.txt): a source whose column x holds colour x, one row high.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DibSurface.h"
#include "GdiTestSurface.h"

namespace {

struct Measured {
  std::string what;  // "StretchBlt COLORONCOLOR", "StretchBlt BLACKONWHITE" or "CopyImage"
  int from = 0;
  int to = 0;
  std::vector<int> columns;
};

std::vector<Measured> readMeasurements() {
  std::vector<Measured> all;
  std::ifstream in(std::string(CORVANE_TEST_DATA) + "/stretch.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    size_t arrow = line.find(" -> ");
    size_t colon = line.find(':');
    if (arrow == std::string::npos || colon == std::string::npos) continue;
    Measured m;
    size_t lastSpace = line.rfind(' ', arrow - 1);
    m.what = line.substr(0, lastSpace);
    m.from = std::stoi(line.substr(lastSpace + 1, arrow - lastSpace - 1));
    m.to = std::stoi(line.substr(arrow + 4, colon - arrow - 4));
    std::istringstream columns(line.substr(colon + 1));
    int c;
    while (columns >> c) m.columns.push_back(c);
    all.push_back(m);
  }
  return all;
}

void paintIndexRow(HDC dc, int width) {
  for (int x = 0; x < width; ++x) SetPixel(dc, x, 0, static_cast<COLORREF>(x));
}

std::vector<int> readRow(HDC dc, int width) {
  std::vector<int> row;
  for (int x = 0; x < width; ++x) row.push_back(static_cast<int>(GetPixel(dc, x, 0)));
  return row;
}

TEST(Stretch, MeasuredColumnsOfStretchBltAndCopyImage) {
  std::vector<Measured> all = readMeasurements();
  ASSERT_EQ(all.size(), 33u);
  for (const Measured& m : all) {
    ASSERT_EQ(static_cast<int>(m.columns.size()), m.to) << m.what;
    TestSurface src(m.from, 1);
    paintIndexRow(src.dc(), m.from);
    if (m.what == "CopyImage") {
      HBITMAP copy = static_cast<HBITMAP>(CopyImage(src.bitmap(), IMAGE_BITMAP, m.to, 1, 0));
      ASSERT_NE(copy, nullptr);
      TestSurface out(copy);
      EXPECT_EQ(readRow(out.dc(), m.to), m.columns) << m.what << " " << m.from << " -> " << m.to;
      continue;
    }
    TestSurface dst(m.to, 1);
    SetStretchBltMode(dst.dc(), m.what == "StretchBlt BLACKONWHITE" ? BLACKONWHITE : COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, m.to, 1, src.dc(), 0, 0, m.from, 1, SRCCOPY));
    EXPECT_EQ(readRow(dst.dc(), m.to), m.columns) << m.what << " " << m.from << " -> " << m.to;
  }
}

TEST(Stretch, RowsFollowTheSameRuleAsColumns) {
  TestSurface src(1, 10), dst(1, 4);
  for (int y = 0; y < 10; ++y) SetPixel(src.dc(), 0, y, static_cast<COLORREF>(y));
  SetStretchBltMode(dst.dc(), COLORONCOLOR);
  StretchBlt(dst.dc(), 0, 0, 1, 4, src.dc(), 0, 0, 1, 10, SRCCOPY);
  const COLORREF expected[4] = {2, 4, 7, 9};
  for (int y = 0; y < 4; ++y) EXPECT_EQ(GetPixel(dst.dc(), 0, y), expected[y]);
}

TEST(Stretch, WhiteOnBlackOrsTheDroppedPixels) {
  TestSurface src(5, 1), dst(3, 1);
  paintIndexRow(src.dc(), 5);
  SetStretchBltMode(dst.dc(), WHITEONBLACK);
  StretchBlt(dst.dc(), 0, 0, 3, 1, src.dc(), 0, 0, 5, 1, SRCCOPY);
  // Kept columns 1, 2, 4 (as COLORONCOLOR) with the dropped 0 and 3 ORed in.
  EXPECT_EQ(readRow(dst.dc(), 3), (std::vector<int>{0 | 1, 2, 3 | 4}));
}

TEST(Stretch, NegativeExtentsMirror) {
  TestSurface src(4, 1), dst(4, 1);
  paintIndexRow(src.dc(), 4);
  // A negative width covers x + w + 1 .. x, as on Windows (it was x + w .. x - 1 before).
  ASSERT_TRUE(StretchBlt(dst.dc(), 3, 0, -4, 1, src.dc(), 0, 0, 4, 1, SRCCOPY));
  EXPECT_EQ(readRow(dst.dc(), 4), (std::vector<int>{3, 2, 1, 0}));
  // Both negative: no mirror.
  ASSERT_TRUE(StretchBlt(dst.dc(), 3, 0, -4, 1, src.dc(), 3, 0, -4, 1, SRCCOPY));
  EXPECT_EQ(readRow(dst.dc(), 4), (std::vector<int>{0, 1, 2, 3}));
  TestSurface tall(1, 3), flipped(1, 3);
  for (int y = 0; y < 3; ++y) SetPixel(tall.dc(), 0, y, static_cast<COLORREF>(y + 1));
  StretchBlt(flipped.dc(), 0, 0, 1, 3, tall.dc(), 0, 2, 1, -3, SRCCOPY);
  EXPECT_EQ(GetPixel(flipped.dc(), 0, 0), 3u);
  EXPECT_EQ(GetPixel(flipped.dc(), 0, 2), 1u);
}

TEST(Stretch, MonochromeStretchInBlackOnWhiteKeepsBlackLines) {
  // A one-pixel black column in a white mask survives a 2:1 shrink (black wins the AND).
  TestSurface src(8, 1, 1), dst(4, 1, 1);
  PatBlt(src.dc(), 0, 0, 8, 1, WHITENESS);
  SetPixel(src.dc(), 2, 0, RGB(0, 0, 0));
  StretchBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, 8, 1, SRCCOPY);
  EXPECT_EQ(GetPixel(dst.dc(), 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dst.dc(), 2, 0), RGB(255, 255, 255));
}

TEST(Stretch, CopyImageFlagsAndFormats) {
  TestSurface src(4, 2);
  src.fill(RGB(1, 2, 3));
  HBITMAP dib = static_cast<HBITMAP>(CopyImage(src.bitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(dib, nullptr);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(dib, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 4);
  EXPECT_EQ(bm.bmHeight, 2);
  EXPECT_NE(bm.bmBits, nullptr);
  HBITMAP plain = static_cast<HBITMAP>(CopyImage(dib, IMAGE_BITMAP, 8, 4, LR_COPYDELETEORG));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(GetObjectType(dib), 0u);  // the original went with LR_COPYDELETEORG
  ASSERT_EQ(GetObjectA(plain, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBits, nullptr);
  EXPECT_EQ(bm.bmWidth, 8);
  EXPECT_EQ(CopyImage(plain, IMAGE_BITMAP, 8, 4, LR_COPYRETURNORG), plain);
  HBITMAP mono = static_cast<HBITMAP>(CopyImage(plain, IMAGE_BITMAP, 0, 0, LR_MONOCHROME));
  ASSERT_EQ(GetObjectA(mono, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1);
  DeleteObject(mono);
  {
    TestSurface out(plain);
    EXPECT_EQ(GetPixel(out.dc(), 7, 3), RGB(1, 2, 3));
  }
  SetLastError(0);
  EXPECT_EQ(CopyImage(plain, IMAGE_BITMAP, 1, 1, 0), nullptr);  // deleted with the surface
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// Windows' results on 32 bpp sections in the default mode (BLACKONWHITE): shrinking an axis to one
// pixel with both extents positive merges only its first n - 1 pixels; mirrored, all of them.
TEST(Stretch, ShrinkingToOnePixelInBlackOnWhite) {
  DibSurface row(4, 1), one(1, 1), two(2, 1);
  const uint32_t values[4] = {0x0000FF00, 0x0000F0F0, 0x0000CCCC, 0x0000AAAA};
  std::copy(values, values + 4, row.bits);
  auto shrink = [&](DibSurface& to, int xd, int wd, int xs, int ws) {
    std::fill(to.bits, to.bits + to.width, 0x11111111u);
    EXPECT_TRUE(StretchBlt(to.dc, xd, 0, wd, 1, row.dc, xs, 0, ws, 1, SRCCOPY));
    return std::vector<uint32_t>(to.bits, to.bits + to.width);
  };
  using Row = std::vector<uint32_t>;
  EXPECT_EQ(shrink(one, 0, 1, 0, 2), Row{0x0000FF00});
  EXPECT_EQ(shrink(one, 0, 1, 0, 3), Row{0x0000FF00 & 0x0000F0F0});
  EXPECT_EQ(shrink(one, 0, 1, 0, 4), Row{0x0000FF00 & 0x0000F0F0 & 0x0000CCCC});
  EXPECT_EQ(shrink(one, 0, 1, 2, -2), Row{0x0000F0F0 & 0x0000CCCC});
  EXPECT_EQ(shrink(one, 0, -1, 0, 4), Row{0x0000FF00 & 0x0000F0F0 & 0x0000CCCC & 0x0000AAAA});
  EXPECT_EQ(shrink(one, 0, -1, 3, -4), Row{0x0000FF00 & 0x0000F0F0 & 0x0000CCCC & 0x0000AAAA});
  EXPECT_EQ(shrink(two, 0, 2, 0, 4), (Row{0x0000FF00 & 0x0000F0F0, 0x0000CCCC & 0x0000AAAA}));
  EXPECT_EQ(shrink(two, 1, -2, 0, 4), (Row{0x0000CCCC & 0x0000AAAA, 0x0000FF00 & 0x0000F0F0}));
  // A source reaching past the bitmap merges what lies inside it.
  EXPECT_EQ(shrink(one, 0, 1, 0, 5), Row{0x0000FF00 & 0x0000F0F0 & 0x0000CCCC & 0x0000AAAA});

  DibSurface column(1, 2);
  column.bits[0] = 0x0000FF00;
  column.bits[1] = 0x0000F0F0;
  StretchBlt(one.dc, 0, 0, 1, 1, column.dc, 0, 0, 1, 2, SRCCOPY);
  EXPECT_EQ(one.bits[0], 0x0000FF00u);
  StretchBlt(one.dc, 0, 0, 1, 1, column.dc, 0, 1, 1, -2, SRCCOPY);
  EXPECT_EQ(one.bits[0], 0x0000F000u);

  DibSurface square(2, 2), mirrored(2, 2);
  const uint32_t corners[4] = {0xCAFED00D, 0xFEEDFACE, 0xFEDCBA98, 0x76543210};
  std::copy(corners, corners + 4, square.bits);
  StretchBlt(one.dc, 0, 0, 1, 1, square.dc, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(one.bits[0], 0xCAFED00Du);
  const Row turned{0x76543210, 0xFEDCBA98, 0xFEEDFACE, 0xCAFED00D};
  StretchBlt(mirrored.dc, 1, 1, -2, -2, square.dc, 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(Row(mirrored.bits, mirrored.bits + 4), turned);
  std::fill(mirrored.bits, mirrored.bits + 4, 0u);
  StretchBlt(mirrored.dc, 0, 0, 2, 2, square.dc, 1, 1, -2, -2, SRCCOPY);
  EXPECT_EQ(Row(mirrored.bits, mirrored.bits + 4), turned);
  // Mirrored on both sides is no mirror.
  StretchBlt(mirrored.dc, 1, 1, -2, -2, square.dc, 1, 1, -2, -2, SRCCOPY);
  EXPECT_EQ(Row(mirrored.bits, mirrored.bits + 4), Row(corners, corners + 4));
}

// Extreme origins and extents: the blit touches only pixels inside the target and never fails
// where Windows succeeds.
TEST(Stretch, ExtremeCoordinatesStayInsideTheTarget) {
  DibSurface target(8, 8), source(4, 4);
  std::fill(source.bits, source.bits + 16, 0x00123456u);
  const int extremes[] = {INT_MIN, -(1 << 27), -1, 0, 3, 1 << 27, INT_MAX};
  for (int x : extremes)
    for (int w : extremes) {
      StretchBlt(target.dc, x, 0, w, 8, source.dc, 0, 0, 4, 4, SRCCOPY);
      StretchBlt(target.dc, 0, x, 8, w, source.dc, x, x, w, w, SRCINVERT);
      StretchBlt(target.dc, 0, 0, 8, 8, source.dc, x, 0, w, 4, SRCAND);
      PatBlt(target.dc, x, x, w, w, DSTINVERT);
      BITMAPINFO info = topDownDib32(4, 4);
      StretchDIBits(target.dc, x, 0, w, 8, x, 0, w, 4, source.bits, &info, DIB_RGB_COLORS, SRCCOPY);
    }
  // A whole-target blit from a huge source extent still lands.
  std::fill(target.bits, target.bits + 64, 0u);
  SetStretchBltMode(target.dc, COLORONCOLOR);
  EXPECT_TRUE(StretchBlt(target.dc, 0, 0, 8, 8, source.dc, 0, 0, 4, 4, SRCCOPY));
  EXPECT_EQ(target.bits[63], 0x00123456u);
}

}  // namespace
