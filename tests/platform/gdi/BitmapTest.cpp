#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "GdiTestSurface.h"

namespace {

// A BITMAPINFO with room for a full 8 bpp colour table.
struct DibInfo {
  BITMAPINFOHEADER header{};
  RGBQUAD colors[256]{};
  BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

DibInfo makeInfo(int width, int height, int bpp) {
  DibInfo d;
  d.header.biSize = sizeof(BITMAPINFOHEADER);
  d.header.biWidth = width;
  d.header.biHeight = height;
  d.header.biPlanes = 1;
  d.header.biBitCount = static_cast<WORD>(bpp);
  d.header.biCompression = BI_RGB;
  return d;
}

TEST(Bitmap, RefusesImpossibleSizesWithoutAllocating) {
  SetLastError(0);
  EXPECT_EQ(CreateBitmap(-1, 5, 1, 32, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CreateBitmap(32769, 1, 1, 1, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  // 32768 x 32768 at 32 bpp is 4 GiB: refused before any allocation.
  EXPECT_EQ(CreateBitmap(32768, 32768, 1, 32, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP colour = CreateBitmap(1, 1, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, colour);
  EXPECT_EQ(CreateCompatibleBitmap(dc, 20000, 20000), nullptr);
  EXPECT_EQ(CreateCompatibleBitmap(dc, -3, 3), nullptr);
  DibInfo huge = makeInfo(30000, 30000, 32);
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDIBSection(dc, huge.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  DibInfo odd = makeInfo(4, 4, 7);
  EXPECT_EQ(CreateDIBSection(dc, odd.info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  SelectObject(dc, old);
  DeleteObject(colour);
  DeleteDC(dc);
}

TEST(Bitmap, CompatibleBitmapFollowsTheDcsBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAP bm{};
  // A fresh memory DC still holds its 1 x 1 monochrome bitmap: its compatible bitmaps are mono.
  HBITMAP mono = CreateCompatibleBitmap(dc, 10, 3);
  GetObjectA(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(bm.bmWidthBytes, 2);  // WORD-aligned rows
  HBITMAP colour = CreateBitmap(2, 2, 1, 32, nullptr);
  HGDIOBJ old = SelectObject(dc, colour);
  HBITMAP second = CreateCompatibleBitmap(dc, 5, 4);
  GetObjectA(second, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(bm.bmWidth, 5);
  EXPECT_EQ(bm.bmBits, nullptr);
  HBITMAP empty = CreateCompatibleBitmap(dc, 0, 0);
  GetObjectA(empty, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  SelectObject(dc, old);
  for (HBITMAP b : {mono, colour, second, empty}) EXPECT_TRUE(DeleteObject(b));
  DeleteDC(dc);
}

TEST(Bitmap, GetPixelOutsideTheBitmapIsInvalid) {
  TestSurface s(3, 2);
  EXPECT_EQ(GetPixel(s.dc(), 3, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(s.dc(), 0, 2), CLR_INVALID);
  EXPECT_EQ(GetPixel(s.dc(), -1, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(s.dc(), 2, 1), RGB(0, 0, 0));
  EXPECT_EQ(SetPixel(s.dc(), 3, 0, RGB(1, 2, 3)), CLR_INVALID);
  EXPECT_FALSE(SetPixelV(s.dc(), 0, -1, RGB(1, 2, 3)));
  EXPECT_EQ(SetPixel(s.dc(), 2, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
  // A monochrome bitmap stores the nearer of black and white.
  TestSurface mono(2, 1, 1);
  EXPECT_EQ(SetPixel(mono.dc(), 0, 0, RGB(200, 200, 90)), RGB(255, 255, 255));
  EXPECT_EQ(SetPixel(mono.dc(), 1, 0, RGB(100, 60, 90)), RGB(0, 0, 0));
  EXPECT_EQ(GetNearestColor(mono.dc(), RGB(250, 250, 250)), RGB(255, 255, 255));
  EXPECT_EQ(GetNearestColor(s.dc(), RGB(250, 1, 250)), RGB(250, 1, 250));
}

TEST(Bitmap, DibSectionsReportTheirBitsAndDdbsDoNot) {
  DibInfo d = makeInfo(3, -2, 24);
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, d.info(), DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(dib, nullptr);
  ASSERT_NE(bits, nullptr);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(dib, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bm.bmBits, bits);
  EXPECT_EQ(bm.bmWidthBytes, 12);  // DWORD-aligned rows
  EXPECT_EQ(bm.bmHeight, 2);
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectA(dib, sizeof ds, &ds), static_cast<int>(sizeof(DIBSECTION)));
  EXPECT_EQ(ds.dsBmih.biHeight, -2);
  EXPECT_EQ(ds.dsBmih.biBitCount, 24);
  EXPECT_EQ(GetObjectA(dib, 0, nullptr), static_cast<int>(sizeof(DIBSECTION)));
  EXPECT_EQ(GetObjectA(dib, 4, &bm), 0);  // too small for a BITMAP
  // Writing through the returned pointer is what the DC sees: top-down, B, G, R.
  static_cast<BYTE*>(bits)[12 + 3] = 0x11;      // row 1, column 1: blue
  static_cast<BYTE*>(bits)[12 + 3 + 2] = 0x33;  // red
  {
    TestSurface s(dib);
    EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(0x33, 0, 0x11));
  }
  HBITMAP ddb = CreateBitmap(3, 2, 1, 32, nullptr);
  ASSERT_EQ(GetObjectA(ddb, sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
  EXPECT_EQ(bm.bmBits, nullptr);
  EXPECT_EQ(GetObjectA(ddb, sizeof ds, &ds), static_cast<int>(sizeof(BITMAP)));
  DeleteObject(ddb);
}

TEST(Bitmap, DibFormatsRoundTripThroughSetAndGetDIBits) {
  const COLORREF palette[4] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 128, 255), RGB(255, 255, 255)};
  HDC dc = CreateCompatibleDC(nullptr);
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    for (int height : {3, -3}) {
      DibInfo d = makeInfo(5, height, bpp);
      if (bpp <= 8) {
        for (int i = 0; i < (1 << bpp) && i < 4; ++i)
          d.colors[i] = RGBQUAD{GetBValue(palette[i]), GetGValue(palette[i]), GetRValue(palette[i]), 0};
        if (bpp == 1) d.colors[1] = RGBQUAD{255, 255, 255, 0};
      }
      void* bits = nullptr;
      HBITMAP dib = CreateDIBSection(dc, d.info(), DIB_RGB_COLORS, &bits, nullptr, 0);
      ASSERT_NE(dib, nullptr) << bpp;
      // Draw a known pattern of representable colours.
      int colours = bpp == 1 ? 2 : 4;
      const COLORREF drawn[4] = {RGB(0, 0, 0), bpp == 1 ? RGB(255, 255, 255) : RGB(255, 0, 0),
                                 RGB(0, 128, 255), RGB(255, 255, 255)};
      std::vector<COLORREF> expected;
      {
        TestSurface s(dib);
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < 5; ++x) {
            COLORREF c = drawn[(x + 2 * y) % colours];
            if (bpp == 16) c = RGB(GetRValue(c) & 0xF8, GetGValue(c) & 0xF8, GetBValue(c) & 0xF8);
            SetPixel(s.dc(), x, y, c);
            expected.push_back(GetPixel(s.dc(), x, y));
          }
        if (bpp != 16) {
          for (int i = 0; i < 15; ++i) {
            COLORREF c = drawn[(i % 5 + 2 * (i / 5)) % colours];
            EXPECT_EQ(expected[static_cast<size_t>(i)], c) << bpp << " " << i;
          }
        }
        // Out through GetDIBits as 32 bpp bottom-up, back in through SetDIBits to a DDB.
        DibInfo out = makeInfo(5, 3, 32);
        std::vector<DWORD> pixels(15);
        EXPECT_EQ(GetDIBits(s.dc(), dib, 0, 3, pixels.data(), out.info(), DIB_RGB_COLORS), 3);
        // Bottom-up: the first row in memory is the bottom row.
        EXPECT_EQ(pixels[0] & 0xFFFFFF,
                  static_cast<DWORD>(GetBValue(expected[10]) | (GetGValue(expected[10]) << 8) |
                                     (GetRValue(expected[10]) << 16)));
        HBITMAP ddb = CreateBitmap(5, 3, 1, 32, nullptr);
        EXPECT_EQ(SetDIBits(s.dc(), ddb, 0, 3, pixels.data(), out.info(), DIB_RGB_COLORS), 3);
        TestSurface back(ddb);
        for (int y = 0; y < 3; ++y)
          for (int x = 0; x < 5; ++x)
            EXPECT_EQ(GetPixel(back.dc(), x, y), expected[static_cast<size_t>(y * 5 + x)])
                << bpp << " " << height << " " << x << "," << y;
      }
    }
  }
  DeleteDC(dc);
}

TEST(Bitmap, GetDIBitsFillsTheHeaderWhenAskedWithoutBits) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(7, 5, 1, 32, nullptr);
  DibInfo d{};
  d.header.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_NE(GetDIBits(dc, bitmap, 0, 5, nullptr, d.info(), DIB_RGB_COLORS), 0);
  EXPECT_EQ(d.header.biWidth, 7);
  EXPECT_EQ(d.header.biHeight, 5);
  EXPECT_EQ(d.header.biBitCount, 32);
  EXPECT_EQ(d.header.biSizeImage, 7u * 5u * 4u);
  // Partial scans: only the lines asked for, counted from the bottom.
  TestSurface s(bitmap);
  SetPixel(s.dc(), 0, 4, RGB(9, 9, 9));  // bottom row
  SetPixel(s.dc(), 0, 3, RGB(8, 8, 8));
  DibInfo one = makeInfo(7, 5, 32);
  std::vector<DWORD> row(7);
  EXPECT_EQ(GetDIBits(dc, bitmap, 1, 1, row.data(), one.info(), DIB_RGB_COLORS), 1);
  EXPECT_EQ(row[0], 0x080808u);
  EXPECT_EQ(GetDIBits(dc, bitmap, 5, 1, row.data(), one.info(), DIB_RGB_COLORS), 0);
  DeleteDC(dc);
}

TEST(Bitmap, ColourTablesOfIndexedSections) {
  DibInfo d = makeInfo(2, 1, 8);
  d.colors[1] = RGBQUAD{0, 0, 255, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, d.info(), DIB_RGB_COLORS, &bits, nullptr, 0);
  static_cast<BYTE*>(bits)[1] = 1;
  TestSurface s(dib);
  EXPECT_EQ(GetPixel(s.dc(), 1, 0), RGB(255, 0, 0));
  RGBQUAD green{0, 255, 0, 0};
  EXPECT_EQ(SetDIBColorTable(s.dc(), 1, 1, &green), 1u);
  EXPECT_EQ(GetPixel(s.dc(), 1, 0), RGB(0, 255, 0));
  RGBQUAD table[256];
  EXPECT_EQ(GetDIBColorTable(s.dc(), 0, 300, table), 256u);
  EXPECT_EQ(table[1].rgbGreen, 255);
  EXPECT_EQ(SetDIBColorTable(s.dc(), 256, 1, &green), 0u);
  // Painting picks the nearest entry of the table.
  EXPECT_EQ(SetPixel(s.dc(), 0, 0, RGB(10, 240, 5)), RGB(0, 255, 0));
  EXPECT_EQ(static_cast<BYTE*>(bits)[0], 1);
}

TEST(Bitmap, CreateBitmapTakesWordAlignedRowsAndGetBitmapBitsGivesThemBack) {
  const BYTE rows[4] = {0x80, 0x00, 0x40, 0x00};  // 9 pixels wide: two bytes per row
  HBITMAP mono = CreateBitmap(9, 2, 1, 1, rows);
  TestSurface s(mono);
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(s.dc(), 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(s.dc(), 1, 1), RGB(255, 255, 255));
  BYTE back[4] = {};
  EXPECT_EQ(GetBitmapBits(mono, 0, nullptr), 4);
  EXPECT_EQ(GetBitmapBits(mono, 4, back), 4);
  EXPECT_EQ(std::memcmp(back, rows, 4), 0);
}

TEST(Bitmap, StretchDIBitsCountsBottomUpSourcesFromTheBottom) {
  DibInfo d = makeInfo(1, 3, 32);
  const DWORD pixels[3] = {0x000001, 0x000002, 0x000003};  // bottom row first
  TestSurface s(1, 3);
  EXPECT_EQ(StretchDIBits(s.dc(), 0, 0, 1, 3, 0, 0, 1, 3, pixels, d.info(), DIB_RGB_COLORS, SRCCOPY), 3);
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), RGB(0, 0, 3));
  EXPECT_EQ(GetPixel(s.dc(), 0, 2), RGB(0, 0, 1));
  // The lower two source rows, from the bottom, stretched over three.
  PatBlt(s.dc(), 0, 0, 1, 3, BLACKNESS);
  StretchDIBits(s.dc(), 0, 0, 1, 1, 0, 0, 1, 1, pixels, d.info(), DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), RGB(0, 0, 1));
  EXPECT_EQ(SetDIBitsToDevice(s.dc(), 0, 0, 1, 3, 0, 0, 0, 3, pixels, d.info(), DIB_RGB_COLORS), 3);
  EXPECT_EQ(GetPixel(s.dc(), 0, 1), RGB(0, 0, 2));
  EXPECT_EQ(GetPixel(s.dc(), 0, 2), RGB(0, 0, 1));
}

// Counted from the bottom row upwards, a negative source height covers ySrc + h + 1 up to ySrc and
// mirrors, as StretchBlt's negative extents do.
TEST(Bitmap, StretchDIBitsMirrorsNegativeHeightsOfBottomUpSources) {
  DibInfo d = makeInfo(1, 4, 32);
  const DWORD pixels[4] = {1, 2, 3, 4};  // bottom row first
  const COLORREF kept = RGB(9, 9, 9);
  struct Case {
    int yDest, hDest, ySrc, hSrc;
    std::vector<int> rows;  // the source pixel each row shows, 0 for none
  };
  const Case cases[] = {
      {0, 4, 3, -4, {1, 2, 3, 4}},   // the whole image, mirrored
      {0, 4, 2, -2, {2, 2, 3, 3}},   // rows 1 and 2 from the bottom
      {0, 4, 4, -4, {2, 3, 4, 0}},   // row 4 lies past the top: left as it was
      {3, -4, 3, -4, {4, 3, 2, 1}},  // both extents negative: upright
      {0, 2, 1, -1, {2, 2, 0, 0}},   // one row
      {0, 4, -1, -1, {0, 0, 0, 0}},  // row -1 only, outside
  };
  TestSurface s(1, 4);
  SelectObject(s.dc(), GetStockObject(DC_BRUSH));
  SetDCBrushColor(s.dc(), kept);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "yDest " << c.yDest << " hDest " << c.hDest << " ySrc " << c.ySrc << " hSrc "
                                    << c.hSrc);
    PatBlt(s.dc(), 0, 0, 1, 4, PATCOPY);
    EXPECT_EQ(StretchDIBits(s.dc(), 0, c.yDest, 1, c.hDest, 0, c.ySrc, 1, c.hSrc, pixels, d.info(), DIB_RGB_COLORS,
                            SRCCOPY),
              4);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(GetPixel(s.dc(), 0, y), c.rows[y] ? RGB(0, 0, c.rows[y]) : kept) << y;
  }
  SelectObject(s.dc(), GetStockObject(WHITE_BRUSH));
}

}  // namespace
