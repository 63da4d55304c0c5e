#include <gtest/gtest.h>
#include <windows.h>

#include <climits>

#include "GdiTestSurface.h"

namespace {

TEST(DeviceContext, NewMemoryDcHoldsTheDefaults) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  EXPECT_EQ(GetMapMode(dc), MM_TEXT);
  EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 1);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
  EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 0);
  EXPECT_NE(GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHBLT, 0);
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(DeviceContext, SelectObjectReturnsThePreviousObject) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_DOT, 1, RGB(1, 2, 3));
  HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
  HGDIOBJ stockBitmap = SelectObject(dc, bitmap);
  ASSERT_NE(stockBitmap, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  // Selected objects cannot be deleted; a bitmap cannot sit in two DCs.
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(bitmap));
  HDC other = CreateCompatibleDC(dc);
  EXPECT_EQ(SelectObject(other, bitmap), nullptr);
  EXPECT_TRUE(DeleteDC(other));
  EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), pen);
  EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), brush);
  EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), font);
  EXPECT_EQ(SelectObject(dc, stockBitmap), bitmap);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(DeviceContext, StockObjectsAreNeverDeletedNorCounted) {
  DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = WHITE_BRUSH; i <= DC_PEN; ++i) {
    HGDIOBJ stock = GetStockObject(i);
    if (i == 9) {
      EXPECT_EQ(stock, nullptr);
      continue;
    }
    ASSERT_NE(stock, nullptr) << i;
    EXPECT_FALSE(DeleteObject(stock)) << i;
    EXPECT_EQ(GetStockObject(i), stock);
  }
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectType(GetStockObject(DKGRAY_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_PALETTE)), static_cast<DWORD>(OBJ_PAL));
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
  EXPECT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_NULL));
  EXPECT_EQ(GetStockObject(STOCK_LAST + 1), nullptr);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
}

TEST(DeviceContext, SaveAndRestoreWithAbsoluteAndRelativeLevels) {
  TestSurface s(2, 2);
  HDC dc = s.dc();
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  EXPECT_EQ(SaveDC(dc), 1);
  SetTextColor(dc, RGB(1, 1, 1));
  HGDIOBJ old = SelectObject(dc, red);
  EXPECT_EQ(SaveDC(dc), 2);
  SetTextColor(dc, RGB(2, 2, 2));
  SetBkMode(dc, TRANSPARENT);
  EXPECT_EQ(SaveDC(dc), 3);
  SetTextColor(dc, RGB(3, 3, 3));
  EXPECT_TRUE(RestoreDC(dc, -1));  // back to the state of save 3
  EXPECT_EQ(GetTextColor(dc), RGB(2, 2, 2));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_FALSE(RestoreDC(dc, 3));  // gone with the restore
  EXPECT_FALSE(RestoreDC(dc, 0));
  EXPECT_FALSE(RestoreDC(dc, -3));
  EXPECT_TRUE(RestoreDC(dc, 1));   // drops save 2 as well
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), old);
  EXPECT_FALSE(RestoreDC(dc, -1));
  // The brush selected when save 2 was taken is free again.
  EXPECT_TRUE(DeleteObject(red));
}

TEST(DeviceContext, AttributesReturnPreviousValuesAndRefuseNonsense) {
  TestSurface s(1, 1);
  HDC dc = s.dc();
  EXPECT_EQ(SetTextColor(dc, RGB(9, 8, 7)), RGB(0, 0, 0));
  EXPECT_EQ(SetTextColor(dc, 0), RGB(9, 8, 7));
  EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
  // Only TRANSPARENT and OPAQUE are modes; 3, a transparent mode of 16-bit Windows, is refused
  // and leaves the DC opaque, so text drawn after it fills its background.
  SetLastError(0);
  EXPECT_EQ(SetBkMode(dc, 3), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(SetBkMode(dc, 0), 0);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkMode(dc, 7), 0);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(SetROP2(dc, R2_XORPEN), R2_COPYPEN);
  EXPECT_EQ(SetROP2(dc, 0), 0);
  EXPECT_EQ(GetROP2(dc), R2_XORPEN);
  EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
  EXPECT_EQ(SetStretchBltMode(dc, STRETCH_DELETESCANS), BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), COLORONCOLOR);
  POINT previous{};
  EXPECT_TRUE(SetBrushOrgEx(dc, 3, 4, &previous));
  EXPECT_EQ(previous.x, 0);
  GetBrushOrgEx(dc, &previous);
  EXPECT_EQ(previous.y, 4);
  EXPECT_EQ(SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE),
            GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(dc), 0u);
}

TEST(DeviceContext, WrongAndDeletedHandlesFailWithInvalidHandle) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBRUSH brush = CreateSolidBrush(0);
  ASSERT_TRUE(DeleteDC(dc));
  ASSERT_TRUE(DeleteObject(brush));
  auto expectInvalid = [](const char* call, bool failed) {
    EXPECT_TRUE(failed) << call;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << call;
    SetLastError(0);
  };
  SetLastError(0);
  expectInvalid("SelectObject", SelectObject(dc, GetStockObject(BLACK_PEN)) == nullptr);
  expectInvalid("DeleteDC", !DeleteDC(dc));
  expectInvalid("DeleteObject", !DeleteObject(brush));
  expectInvalid("GetObjectType", GetObjectType(brush) == 0);
  expectInvalid("GetPixel", GetPixel(dc, 0, 0) == CLR_INVALID);
  expectInvalid("SetTextColor", SetTextColor(dc, 0) == CLR_INVALID);
  expectInvalid("SaveDC", SaveDC(dc) == 0);
  expectInvalid("PatBlt", !PatBlt(dc, 0, 0, 1, 1, WHITENESS));
  expectInvalid("CreateCompatibleDC", CreateCompatibleDC(reinterpret_cast<HDC>(brush)) == nullptr);
  expectInvalid("CreateCompatibleBitmap", CreateCompatibleBitmap(dc, 1, 1) == nullptr);
  expectInvalid("CreatePatternBrush", CreatePatternBrush(reinterpret_cast<HBITMAP>(brush)) == nullptr);
  TestSurface s(1, 1);
  expectInvalid("SelectObject deleted", SelectObject(s.dc(), brush) == nullptr);
  expectInvalid("BitBlt deleted source", !BitBlt(s.dc(), 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
  // A brush handle is not a DC.
  expectInvalid("GetBkColor of a brush", GetBkColor(reinterpret_cast<HDC>(GetStockObject(BLACK_BRUSH))) == CLR_INVALID);
}

TEST(DeviceContext, SystemColoursOfTheClassicScheme) {
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xC0C0C0u);
  EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), 0u);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), 0x808080u);
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), 0xFFFFFFu);
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), 0u);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0x800000u);
  EXPECT_EQ(GetSysColor(COLOR_DESKTOP), 0x808000u);
  EXPECT_EQ(GetSysColor(COLOR_INFOBK), 0xE1FFFFu);
  EXPECT_EQ(GetSysColor(31), 0u);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(face, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, 0xC0C0C0u);
  EXPECT_FALSE(DeleteObject(face));
  EXPECT_EQ(GetSysColorBrush(-1), nullptr);
}

TEST(DeviceContext, PensBrushesAndFontsDescribeThemselves) {
  HPEN pen = CreatePen(PS_DASH, 3, RGB(1, 2, 3));
  LOGPEN lp{};
  ASSERT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
  EXPECT_EQ(CreateHatchBrush(6, 0), nullptr);
  LOGBRUSH lb{BS_HATCHED, RGB(7, 7, 7), HS_DIAGCROSS};
  HBRUSH hatch = CreateBrushIndirect(&lb);
  LOGBRUSH back{};
  GetObjectA(hatch, sizeof back, &back);
  EXPECT_EQ(back.lbHatch, static_cast<ULONG_PTR>(HS_DIAGCROSS));
  LOGFONTA lf{};
  lf.lfHeight = -11;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "MS Sans Serif");
  HFONT font = CreateFontIndirectA(&lf);
  LOGFONTA out{};
  ASSERT_EQ(GetObjectA(font, sizeof out, &out), static_cast<int>(sizeof out));
  EXPECT_STREQ(out.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(out.lfHeight, -11);
  EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
  DeleteObject(pen);
  DeleteObject(hatch);
  DeleteObject(font);
}

TEST(DeviceContext, RestoreBringsBackClipAndStockForDeletedObjects) {
  TestSurface s(4, 4);
  HDC dc = s.dc();
  HRGN corner = CreateRectRgn(0, 0, 1, 1);
  SelectObject(dc, corner);
  DeleteObject(corner);
  HBRUSH brush = CreateSolidBrush(RGB(5, 5, 5));
  HGDIOBJ old = SelectObject(dc, brush);
  EXPECT_EQ(SaveDC(dc), 1);
  SelectObject(dc, old);
  EXPECT_TRUE(DeleteObject(brush));  // a saved state does not hold its objects
  HRGN all = CreateRectRgn(0, 0, 4, 4);
  SelectObject(dc, all);
  DeleteObject(all);
  EXPECT_NE(GetPixel(dc, 3, 3), CLR_INVALID);
  EXPECT_TRUE(RestoreDC(dc, 1));
  EXPECT_EQ(GetPixel(dc, 3, 3), CLR_INVALID);  // the one-pixel clip is back
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
}

TEST(DeviceContext, DcBrushAndPenTakeTheDcColours) {
  TestSurface s(2, 1);
  HDC dc = s.dc();
  HGDIOBJ old = SelectObject(dc, GetStockObject(DC_BRUSH));
  EXPECT_EQ(SetDCBrushColor(dc, RGB(0, 200, 0)), RGB(255, 255, 255));
  PatBlt(dc, 0, 0, 2, 1, PATCOPY);
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 200, 0));
  EXPECT_EQ(GetDCBrushColor(dc), RGB(0, 200, 0));
  EXPECT_EQ(SetDCPenColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
  EXPECT_EQ(GetDCPenColor(dc), RGB(1, 2, 3));
  SelectObject(dc, old);
}

TEST(DeviceContext, IndexedTargetsCombineColourTableIndices) {
  // On an 8 bpp section a raster operation works on the stored indices, as on Windows.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = 1;
  info.header.biHeight = 1;
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.colors[1] = RGBQUAD{0, 0, 255, 0};    // red
  info.colors[2] = RGBQUAD{0, 255, 0, 0};    // green
  info.colors[3] = RGBQUAD{255, 0, 0, 0};    // blue
  info.colors[253] = RGBQUAD{9, 9, 9, 0};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                 &bits, nullptr, 0);
  TestSurface s(dib);
  static_cast<BYTE*>(bits)[0] = 1;
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  HGDIOBJ old = SelectObject(s.dc(), green);
  PatBlt(s.dc(), 0, 0, 1, 1, PATINVERT);  // 1 xor 2
  EXPECT_EQ(static_cast<BYTE*>(bits)[0], 3);
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), RGB(0, 0, 255));
  PatBlt(s.dc(), 0, 0, 1, 1, DSTINVERT);  // not 3 within 8 bits
  EXPECT_EQ(static_cast<BYTE*>(bits)[0], 252);
  SelectObject(s.dc(), old);
  DeleteObject(green);
}

TEST(DeviceContext, CreatePenNormalisesAsWindowsDoes) {
  LOGPEN lp{};
  HPEN wide = CreatePen(PS_SOLID, -123, RGB(0, 0, 5));
  ASSERT_EQ(GetObjectA(wide, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnWidth.x, 123);
  EXPECT_EQ(lp.lopnColor, RGB(0, 0, 5));
  // PS_NULL is the stock pen, whatever width and colour were asked for.
  HPEN none = CreatePen(PS_NULL, 5, RGB(255, 0, 0));
  EXPECT_EQ(none, GetStockObject(NULL_PEN));
  ASSERT_EQ(GetObjectA(none, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_NULL));
  EXPECT_EQ(lp.lopnWidth.x, 1);
  EXPECT_EQ(lp.lopnColor, 0u);
  EXPECT_FALSE(DeleteObject(none));
  for (int style = PS_USERSTYLE; style <= 15; ++style) {
    HPEN pen = CreatePen(style, 1, 0);
    ASSERT_NE(pen, nullptr) << style;
    GetObjectA(pen, sizeof lp, &lp);
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_SOLID)) << style;
    DeleteObject(pen);
  }
  // The end cap and join bits stay with a style made solid.
  HPEN capped = CreatePen(PS_ALTERNATE | PS_ENDCAP_FLAT, 1, 0);
  GetObjectA(capped, sizeof lp, &lp);
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_SOLID | PS_ENDCAP_FLAT));
  HPEN widest = CreatePen(PS_SOLID, INT_MIN, 0);
  GetObjectA(widest, sizeof lp, &lp);
  EXPECT_GT(lp.lopnWidth.x, 0);
  for (HPEN pen : {wide, capped, widest}) DeleteObject(pen);
}

TEST(DeviceContext, NullHandlesLeaveTheLastError) {
  TestSurface s(1, 1);
  SetLastError(1234);
  EXPECT_EQ(SelectObject(s.dc(), nullptr), nullptr);
  EXPECT_FALSE(DeleteObject(nullptr));
  LOGPEN lp{};
  EXPECT_EQ(GetObjectA(nullptr, sizeof lp, &lp), 0);
  EXPECT_EQ(GetObjectA(nullptr, 0, nullptr), 0);
  EXPECT_EQ(GetLastError(), 1234u);
  // A stale handle still says why.
  HBRUSH gone = CreateSolidBrush(0);
  DeleteObject(gone);
  EXPECT_EQ(GetObjectA(gone, 0, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
