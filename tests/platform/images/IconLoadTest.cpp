#include <gtest/gtest.h>

#include <array>
#include <windows.h>

#include "ImageFiles.h"

using namespace imagetest;

namespace {

std::vector<uint8_t> solidIcon32(int size, uint32_t rgb) {
  return iconDib32(size, size, std::vector<uint32_t>(static_cast<size_t>(size) * size, rgb),
                   std::vector<uint8_t>(static_cast<size_t>(size) * size, 0));
}

// A 4 bpp icon of one palette colour.
std::vector<uint8_t> solidIcon4(int size, uint32_t rgb) {
  size_t stride = static_cast<size_t>((size * 4 + 31) / 32) * 4;
  size_t maskStride = static_cast<size_t>((size + 31) / 32) * 4;
  return iconDib(size, size, 4, std::vector<uint32_t>(16, rgb), std::vector<uint8_t>(stride * size, 0),
                 std::vector<uint8_t>(maskStride * size, 0));
}

struct Info {
  int width = 0, height = 0;
  COLORREF first = CLR_INVALID;
  BOOL isIcon = FALSE;
  DWORD hotX = 0, hotY = 0;
  bool hasColor = false;
};

// What GetIconInfo says of an icon; the bitmaps it hands out are deleted here.
Info describe(HICON icon) {
  Info info;
  ICONINFO ii{};
  if (!GetIconInfo(icon, &ii)) return info;
  info.isIcon = ii.fIcon;
  info.hotX = ii.xHotspot;
  info.hotY = ii.yHotspot;
  info.hasColor = ii.hbmColor != nullptr;
  if (ii.hbmColor) {
    auto pixels = ddbPixels(ii.hbmColor, &info.width, &info.height);
    if (!pixels.empty()) info.first = pixels[0];
    DeleteObject(ii.hbmColor);
  }
  DeleteObject(ii.hbmMask);
  return info;
}

HICON loadIcon(const std::string& path, UINT type, int cx, int cy, UINT flags = 0) {
  return static_cast<HICON>(LoadImageA(nullptr, path.c_str(), type, cx, cy, LR_LOADFROMFILE | flags));
}

}  // namespace

TEST(IconLoad, ChoosesTheClosestSizeAndScalesWhenNoneFits) {
  TempDir dir;
  std::string path = dir.write("two.ico", iconFile(false, {{16, 16, 32, 0, 0, solidIcon32(16, 0xFF0000)},
                                                           {32, 32, 32, 0, 0, solidIcon32(32, 0x0000FF)}}));
  struct Case {
    int cx, cy;
    UINT flags;
    int size;
    COLORREF color;
  } cases[] = {
      {16, 16, 0, 16, RGB(255, 0, 0)},
      {32, 32, 0, 32, RGB(0, 0, 255)},
      {0, 0, LR_DEFAULTSIZE, 32, RGB(0, 0, 255)},
      {0, 0, 0, 16, RGB(255, 0, 0)},          // the first image's own size
      {20, 20, 0, 20, RGB(255, 0, 0)},        // 16 is closer than 32, stretched
      {48, 48, 0, 48, RGB(0, 0, 255)},
  };
  for (const Case& c : cases) {
    HICON icon = loadIcon(path, IMAGE_ICON, c.cx, c.cy, c.flags);
    ASSERT_NE(icon, nullptr) << c.cx;
    Info info = describe(icon);
    EXPECT_EQ(info.width, c.size) << c.cx;
    EXPECT_EQ(info.height, c.size) << c.cx;
    EXPECT_EQ(info.first, c.color) << c.cx;
    EXPECT_TRUE(info.isIcon);
    EXPECT_EQ(info.hotX, static_cast<DWORD>(c.size / 2));
    EXPECT_TRUE(DestroyIcon(icon));
  }
}

TEST(IconLoad, PrefersTheDeepestImageOfTheChosenSize) {
  TempDir dir;
  std::string path = dir.write("depths.ico", iconFile(false, {{16, 16, 4, 0, 0, solidIcon4(16, 0x00FF00)},
                                                              {16, 16, 32, 0, 0, solidIcon32(16, 0x123456)},
                                                              {16, 16, 8, 0, 0, solidIcon4(16, 0x00FF00)}}));
  HICON icon = loadIcon(path, IMAGE_ICON, 16, 16);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(describe(icon).first, RGB(0x12, 0x34, 0x56));
  DestroyIcon(icon);
}

TEST(IconLoad, CursorHotSpotComesFromItsEntry) {
  TempDir dir;
  std::string path = dir.write("arrow.cur", iconFile(true, {{8, 8, 32, 3, 5, solidIcon32(8, 0x000000)}}));
  HCURSOR cursor = loadIcon(path, IMAGE_CURSOR, 0, 0);
  ASSERT_NE(cursor, nullptr);
  Info info = describe(cursor);
  EXPECT_FALSE(info.isIcon);
  EXPECT_EQ(info.hotX, 3u);
  EXPECT_EQ(info.hotY, 5u);
  EXPECT_EQ(info.width, 8);
  EXPECT_TRUE(DestroyCursor(cursor));

  // Stretched to 16 x 16 the hot spot moves with the picture.
  cursor = loadIcon(path, IMAGE_CURSOR, 16, 16);
  ASSERT_NE(cursor, nullptr);
  info = describe(cursor);
  EXPECT_EQ(info.hotX, 6u);
  EXPECT_EQ(info.hotY, 10u);
  DestroyCursor(cursor);
}

TEST(IconLoad, IconsAreNotGdiObjectsAndInfoCopiesBelongToTheCaller) {
  TempDir dir;
  std::string path = dir.write("one.ico", iconFile(false, {{4, 4, 32, 0, 0, solidIcon32(4, 0x336699)}}));
  DWORD gdiStart = gdiCount();
  DWORD iconStart = gdi::liveIconCount();
  HICON icon = loadIcon(path, IMAGE_ICON, 0, 0);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(gdiCount(), gdiStart);
  EXPECT_EQ(gdi::liveIconCount(), iconStart + 1);

  ICONINFO first{}, second{};
  ASSERT_TRUE(GetIconInfo(icon, &first));
  ASSERT_TRUE(GetIconInfo(icon, &second));
  EXPECT_EQ(gdiCount(), gdiStart + 4);
  EXPECT_NE(first.hbmColor, second.hbmColor);
  EXPECT_NE(first.hbmMask, second.hbmMask);
  // Changing or deleting one copy touches neither the other copy nor the icon.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, first.hbmColor);
  SetPixel(dc, 1, 1, RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(ddbPixels(first.hbmColor)[5], RGB(0, 0, 0));
  EXPECT_EQ(ddbPixels(second.hbmColor)[5], RGB(0x33, 0x66, 0x99));
  DeleteObject(first.hbmColor);
  DeleteObject(first.hbmMask);
  EXPECT_EQ(describe(icon).first, RGB(0x33, 0x66, 0x99));
  DeleteObject(second.hbmColor);
  DeleteObject(second.hbmMask);
  EXPECT_EQ(gdiCount(), gdiStart);

  HICON copy = CopyIcon(icon);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, icon);
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_EQ(describe(copy).first, RGB(0x33, 0x66, 0x99));
  EXPECT_TRUE(DestroyIcon(copy));
  EXPECT_EQ(gdi::liveIconCount(), iconStart);

  SetLastError(0);
  EXPECT_FALSE(DestroyIcon(icon));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
  ICONINFO none{};
  EXPECT_FALSE(GetIconInfo(icon, &none));
  EXPECT_EQ(gdiCount(), gdiStart);
}

TEST(IconLoad, MonochromeIconHasADoubleHeightMaskAndNoColour) {
  TempDir dir;
  // 8 x 2: XOR plane row bits 0xF0 (left half white), AND mask 0x0F (right half transparent).
  std::vector<uint8_t> xorBits = {0xF0, 0, 0, 0, 0xF0, 0, 0, 0};
  std::vector<uint8_t> andBits = {0x0F, 0, 0, 0, 0x0F, 0, 0, 0};
  std::string path = dir.write("mono.ico", iconFile(false, {{8, 2, 1, 0, 0, iconDib(8, 2, 1, {0x000000, 0xFFFFFF}, xorBits, andBits)}}));
  HICON icon = loadIcon(path, IMAGE_ICON, 0, 0);
  ASSERT_NE(icon, nullptr);
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(icon, &ii));
  EXPECT_EQ(ii.hbmColor, nullptr);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(ii.hbmMask, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 8);
  EXPECT_EQ(bm.bmHeight, 4);
  auto bits = monoPixels(ii.hbmMask);
  std::vector<int> expected = {0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1,
                               1, 1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0};
  EXPECT_EQ(bits, expected);
  DeleteObject(ii.hbmMask);
  DestroyIcon(icon);
}

TEST(IconLoad, PngImagesInsideIcons) {
  TempDir dir;
  std::vector<uint32_t> pixels = {0xFF112233, 0x00000000, 0x80FF0000, 0xFFFFFFFF};
  std::string path = dir.write("png.ico", iconFile(false, {{2, 2, 32, 0, 0, png(2, 2, pixels)}}));
  HICON icon = loadIcon(path, IMAGE_ICON, 0, 0);
  ASSERT_NE(icon, nullptr);
  ICONINFO ii{};
  ASSERT_TRUE(GetIconInfo(icon, &ii));
  ASSERT_NE(ii.hbmColor, nullptr);
  std::vector<uint8_t> bytes(16);
  GetBitmapBits(ii.hbmColor, 16, bytes.data());
  EXPECT_EQ(bytes[0], 0x33);
  EXPECT_EQ(bytes[2], 0x11);
  EXPECT_EQ(bytes[3], 0xFF);  // alpha kept
  EXPECT_EQ(bytes[7], 0x00);
  EXPECT_EQ(bytes[10], 0xFF);
  EXPECT_EQ(bytes[11], 0x80);
  // The mask is transparent exactly where alpha is 0.
  EXPECT_EQ(monoPixels(ii.hbmMask), (std::vector<int>{0, 1, 0, 0}));
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  DestroyIcon(icon);
}

TEST(IconLoad, CreateIconIndirectCopiesTheCallersBitmaps) {
  DWORD start = gdiCount();
  uint8_t colorBits[8] = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0};
  uint8_t maskBits[2] = {0x40, 0};  // second pixel transparent
  ICONINFO ii{TRUE, 0, 0, CreateBitmap(2, 1, 1, 1, maskBits), CreateBitmap(2, 1, 1, 32, colorBits)};
  HICON icon = CreateIconIndirect(&ii);
  ASSERT_NE(icon, nullptr);
  DeleteObject(ii.hbmColor);
  DeleteObject(ii.hbmMask);
  EXPECT_EQ(gdiCount(), start);
  ICONINFO out{};
  ASSERT_TRUE(GetIconInfo(icon, &out));
  EXPECT_EQ(ddbPixels(out.hbmColor), (std::vector<COLORREF>{RGB(0x30, 0x20, 0x10), RGB(0x60, 0x50, 0x40)}));
  EXPECT_EQ(monoPixels(out.hbmMask), (std::vector<int>{0, 1}));
  EXPECT_EQ(out.xHotspot, 1u);
  DeleteObject(out.hbmColor);
  DeleteObject(out.hbmMask);
  DestroyIcon(icon);

  // A cursor keeps the hot spot it was given; without a mask there is no icon.
  ICONINFO cursorInfo{FALSE, 1, 0, CreateBitmap(2, 2, 1, 1, nullptr), nullptr};
  HCURSOR cursor = CreateIconIndirect(&cursorInfo);
  ASSERT_NE(cursor, nullptr);
  ICONINFO got{};
  ASSERT_TRUE(GetIconInfo(cursor, &got));
  EXPECT_EQ(got.hbmColor, nullptr);
  EXPECT_EQ(got.xHotspot, 1u);
  DeleteObject(got.hbmMask);
  DestroyCursor(cursor);
  DeleteObject(cursorInfo.hbmMask);
  ICONINFO noMask{TRUE, 0, 0, nullptr, nullptr};
  SetLastError(0);
  EXPECT_EQ(CreateIconIndirect(&noMask), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(gdiCount(), start);
}

TEST(IconLoad, MalformedIconFilesFailCleanly) {
  TempDir dir;
  auto good = iconFile(false, {{4, 4, 32, 0, 0, solidIcon32(4, 0x336699)}});
  DWORD iconStart = gdi::liveIconCount();
  std::vector<std::pair<const char*, std::vector<uint8_t>>> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"directory cut", std::vector<uint8_t>(good.begin(), good.begin() + 12)});
  cases.push_back({"image cut", std::vector<uint8_t>(good.begin(), good.end() - 10)});
  auto badType = good;
  badType[2] = 3;
  cases.push_back({"type 3", badType});
  auto noImages = good;
  noImages[4] = 0;
  cases.push_back({"no images", noImages});
  auto farOffset = good;
  farOffset[6 + 12] = 0xFF;
  farOffset[6 + 13] = 0xFF;
  cases.push_back({"offset outside", farOffset});
  auto oddHeight = good;
  oddHeight[22 + 8] = 7;  // the image's header height is no longer twice a whole height
  cases.push_back({"odd height", oddHeight});
  // A 24-bit image needs its AND mask.
  std::vector<uint8_t> colour(4 * 4 * 3, 0x55);
  cases.push_back({"mask missing", iconFile(false, {{4, 4, 24, 0, 0, iconDib(4, 4, 24, {}, colour, {})}})});
  std::vector<uint8_t> cutPng = png(2, 2, {0, 0, 0, 0});
  cutPng.resize(40);
  cases.push_back({"broken png", iconFile(false, {{2, 2, 32, 0, 0, cutPng}})});
  for (const auto& [what, bytes] : cases) {
    std::string path = dir.write("bad.ico", bytes);
    SetLastError(0);
    EXPECT_EQ(loadIcon(path, IMAGE_ICON, 0, 0), nullptr) << what;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << what;
  }
  EXPECT_EQ(gdi::liveIconCount(), iconStart);
}

TEST(IconLoad, IconsFromResourceBytes) {
  std::vector<uint8_t> image = solidIcon32(4, 0x445566);
  HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x00030000, 8, 8, 0);
  ASSERT_NE(icon, nullptr);
  Info info = describe(icon);
  EXPECT_EQ(info.width, 8);
  EXPECT_EQ(info.first, RGB(0x44, 0x55, 0x66));
  DestroyIcon(icon);

  // A cursor resource starts with its hot spot.
  std::vector<uint8_t> cursorBytes = {2, 0, 3, 0};
  cursorBytes.insert(cursorBytes.end(), image.begin(), image.end());
  HCURSOR cursor = CreateIconFromResourceEx(cursorBytes.data(), static_cast<DWORD>(cursorBytes.size()), FALSE,
                                            0x00030000, 0, 0, 0);
  ASSERT_NE(cursor, nullptr);
  info = describe(cursor);
  EXPECT_FALSE(info.isIcon);
  EXPECT_EQ(info.hotX, 2u);
  EXPECT_EQ(info.hotY, 3u);
  DestroyCursor(cursor);

  SetLastError(0);
  EXPECT_EQ(CreateIconFromResourceEx(image.data(), 20, TRUE, 0x00030000, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

// A resource directory lists 14-byte entries ending in the image's identifier; a cursor's entry
// gives width and doubled height as words.
TEST(IconLoad, LookupIconIdChoosesAmongAResourceDirectory) {
  auto directory = [](bool cursor, const std::vector<std::array<int, 3>>& sizes) {
    Bytes b;
    b.u16(0).u16(cursor ? 2 : 1).u16(static_cast<uint32_t>(sizes.size()));
    int id = 40;
    for (const auto& [w, h, bits] : sizes) {
      if (cursor) b.u16(static_cast<uint32_t>(w)).u16(static_cast<uint32_t>(2 * h));
      else b.u8(static_cast<uint32_t>(w)).u8(static_cast<uint32_t>(h)).u8(0).u8(0);
      b.u16(1).u16(static_cast<uint32_t>(bits)).u32(100).u16(static_cast<uint32_t>(id++));
    }
    return b.v;
  };
  std::vector<uint8_t> icons = directory(false, {{16, 16, 4}, {32, 32, 4}, {32, 32, 8}, {48, 48, 8}});
  EXPECT_EQ(LookupIconIdFromDirectoryEx(icons.data(), TRUE, 16, 16, LR_DEFAULTCOLOR), 40);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(icons.data(), TRUE, 0, 0, LR_DEFAULTCOLOR), 42);  // system size, deepest
  EXPECT_EQ(LookupIconIdFromDirectoryEx(icons.data(), TRUE, 0, 0, LR_MONOCHROME), 41);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(icons.data(), TRUE, 44, 44, LR_DEFAULTCOLOR), 43);
  std::vector<uint8_t> cursors = directory(true, {{32, 32, 1}, {16, 16, 1}});
  EXPECT_EQ(LookupIconIdFromDirectoryEx(cursors.data(), FALSE, 16, 16, LR_DEFAULTCOLOR), 41);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(cursors.data(), FALSE, 0, 0, LR_DEFAULTCOLOR), 40);
  std::vector<uint8_t> bad = icons;
  bad[2] = 3;
  SetLastError(0);
  EXPECT_EQ(LookupIconIdFromDirectoryEx(bad.data(), TRUE, 0, 0, 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(LookupIconIdFromDirectoryEx(nullptr, TRUE, 0, 0, 0), 0);
}
