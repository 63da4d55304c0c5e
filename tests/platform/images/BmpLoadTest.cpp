#include <gtest/gtest.h>
#include <windows.h>

#include "ImageFiles.h"

using namespace imagetest;

namespace {

// Loads a .bmp as a device-dependent bitmap and returns its pixels (empty when it failed).
std::vector<COLORREF> loadPixels(const TempDir& dir, const std::vector<uint8_t>& file, int* w = nullptr,
                                 int* h = nullptr) {
  std::string path = dir.write("picture.bmp", file);
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (bitmap == nullptr) return {};
  std::vector<COLORREF> pixels = ddbPixels(bitmap, w, h);
  DeleteObject(bitmap);
  return pixels;
}

const COLORREF kA = RGB(0x11, 0x22, 0x33);
const COLORREF kB = RGB(0xAA, 0xBB, 0xCC);
const COLORREF kC = RGB(0x40, 0x80, 0xC0);

}  // namespace

TEST(BmpLoad, IndexedDepthsDecodeThroughTheirColourTables) {
  TempDir dir;
  // 1 bpp, 10 x 2, bottom-up: the file's first row is the picture's bottom row.
  auto one = bmp(10, 2, 1, BI_RGB, {0x112233, 0xAABBCC}, {0b10000000, 0b01000000, 0, 0, 0b00000000, 0b11000000, 0, 0});
  int w = 0, h = 0;
  auto p = loadPixels(dir, one, &w, &h);
  ASSERT_EQ(w, 10);
  ASSERT_EQ(h, 2);
  std::vector<COLORREF> top(10, kA), bottom(10, kA);
  top[8] = top[9] = kB;
  bottom[0] = kB;
  bottom[9] = kB;
  EXPECT_EQ(std::vector<COLORREF>(p.begin(), p.begin() + 10), top);
  EXPECT_EQ(std::vector<COLORREF>(p.begin() + 10, p.end()), bottom);

  // 4 bpp with a three-entry table: index 3 lies beyond it and shows black.
  auto four = bmp(3, 1, 4, BI_RGB, {0x112233, 0xAABBCC, 0x4080C0}, {0x21, 0x30, 0, 0});
  EXPECT_EQ(loadPixels(dir, four), (std::vector<COLORREF>{kC, kB, RGB(0, 0, 0)}));

  // 8 bpp, 2 x 2 with row padding.
  auto eight = bmp(2, 2, 8, BI_RGB, {0x112233, 0xAABBCC, 0x4080C0}, {2, 1, 0, 0, 0, 2, 0, 0});
  EXPECT_EQ(loadPixels(dir, eight), (std::vector<COLORREF>{kA, kC, kC, kB}));

  // The old core header with a table of three-byte entries.
  auto core = bmp(2, 1, 1, BI_RGB, {0x112233, 0xAABBCC}, {0x40, 0, 0, 0}, {}, 12);
  EXPECT_EQ(loadPixels(dir, core), (std::vector<COLORREF>{kA, kB}));
}

TEST(BmpLoad, DirectDepthsAndChannelMasks) {
  TempDir dir;
  // 16 bpp 5-5-5: full red, blue 16 of 31 (widened by repeating the top bits: 132), white.
  auto rgb555 = bmp(3, 1, 16, BI_RGB, {}, {0x00, 0x7C, 0x10, 0x00, 0xFF, 0x7F, 0, 0});
  EXPECT_EQ(loadPixels(dir, rgb555), (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 0, 132), RGB(255, 255, 255)}));

  // 16 bpp 5-6-5 through BI_BITFIELDS after a 40-byte header: green 32 of 63 is 130.
  auto rgb565 = bmp(2, 1, 16, BI_BITFIELDS, {}, {0x00, 0x04, 0x1F, 0xF8}, {0xF800, 0x07E0, 0x001F});
  EXPECT_EQ(loadPixels(dir, rgb565), (std::vector<COLORREF>{RGB(0, 130, 0), RGB(255, 0, 255)}));

  // The same masks inside a 124-byte header.
  auto v5 = bmp(2, 1, 16, BI_BITFIELDS, {}, {0x00, 0x04, 0x1F, 0xF8}, {0xF800, 0x07E0, 0x001F}, 124);
  EXPECT_EQ(loadPixels(dir, v5), (std::vector<COLORREF>{RGB(0, 130, 0), RGB(255, 0, 255)}));

  // 24 bpp, 1 x 2: three bytes and one byte of padding a row.
  auto rgb24 = bmp(1, 2, 24, BI_RGB, {}, {0x33, 0x22, 0x11, 0, 0xCC, 0xBB, 0xAA, 0});
  EXPECT_EQ(loadPixels(dir, rgb24), (std::vector<COLORREF>{kB, kA}));

  // 32 bpp.
  auto rgb32 = bmp(2, 1, 32, BI_RGB, {}, {0x33, 0x22, 0x11, 0, 0xC0, 0x80, 0x40, 0});
  EXPECT_EQ(loadPixels(dir, rgb32), (std::vector<COLORREF>{kA, kC}));
}

TEST(BmpLoad, TopDownAndBottomUpGiveTheSamePicture) {
  TempDir dir;
  std::vector<uint8_t> rows = {0, 1, 2, 0, 2, 0, 1, 0};  // 3 x 2, 8 bpp, padded to 4
  auto bottomUp = bmp(3, 2, 8, BI_RGB, {0x112233, 0xAABBCC, 0x4080C0}, rows);
  std::vector<uint8_t> flipped = {2, 0, 1, 0, 0, 1, 2, 0};
  auto topDown = bmp(3, -2, 8, BI_RGB, {0x112233, 0xAABBCC, 0x4080C0}, flipped);
  auto a = loadPixels(dir, bottomUp);
  auto b = loadPixels(dir, topDown);
  EXPECT_EQ(a, (std::vector<COLORREF>{kC, kA, kB, kA, kB, kC}));
  EXPECT_EQ(a, b);
}

TEST(BmpLoad, Rle8EscapesRunsAndPadding) {
  TempDir dir;
  // 6 x 4, bottom-up. Row 3 (bottom): run of 2 x index 1, absolute run of 3 (padded), end of line.
  // Row 2: delta (2, 1) skips to row 1 at x = 2, run of 2 x index 2, end of line.
  // Row 0: run of 8 x index 1 that is cut at the right edge, then end of bitmap.
  std::vector<uint8_t> rle = {2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 0, 2, 2, 1, 2, 2, 0, 0, 8, 1, 0, 1};
  auto file = bmp(6, 4, 8, BI_RLE8, {0x112233, 0xAABBCC, 0x4080C0}, rle);
  auto p = loadPixels(dir, file);
  std::vector<COLORREF> expected = {
      kB, kB, kB, kB, kB, kB,  // top row (last in the stream)
      kA, kA, kC, kC, kA, kA,  // after the delta
      kA, kA, kA, kA, kA, kA,  // skipped whole
      kB, kB, kC, kB, kC, kA,  // bottom row
  };
  EXPECT_EQ(p, expected);
}

TEST(BmpLoad, Rle4NibbleRunsAndAbsoluteRuns) {
  TempDir dir;
  // 5 x 2. Bottom row: run of 5 alternating 1, 2; end of line. Top row: absolute run of 3 nibbles
  // 2, 0, 1 (two bytes, already even), end of bitmap leaves the rest index 0.
  std::vector<uint8_t> rle = {5, 0x12, 0, 0, 0, 3, 0x20, 0x10, 0, 1};
  auto file = bmp(5, 2, 4, BI_RLE4, {0x112233, 0xAABBCC, 0x4080C0}, rle);
  auto p = loadPixels(dir, file);
  std::vector<COLORREF> expected = {kC, kA, kB, kA, kA, kB, kC, kB, kC, kB};
  EXPECT_EQ(p, expected);
}

TEST(BmpLoad, DibSectionKeepsTheFileDepthAndBits) {
  TempDir dir;
  auto file = bmp(3, 2, 4, BI_RGB, {0x112233, 0xAABBCC, 0x4080C0}, {0x12, 0x00, 0, 0, 0x21, 0x10, 0, 0});
  std::string path = dir.write("four.bmp", file);
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectA(bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 4);
  EXPECT_EQ(ds.dsBm.bmWidth, 3);
  EXPECT_EQ(ds.dsBm.bmHeight, 2);
  ASSERT_NE(ds.dsBm.bmBits, nullptr);
  const uint8_t* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
  // Bottom-up like the file: the first stored row is the file's first row.
  bool bottomUp = ds.dsBmih.biHeight > 0;
  EXPECT_TRUE(bottomUp);
  EXPECT_EQ(bits[0], 0x12);
  EXPECT_EQ(bits[1] & 0xF0, 0x00);
  EXPECT_EQ(bits[4], 0x21);
  EXPECT_EQ(bits[5] & 0xF0, 0x10);
  // The device-dependent form of the same file shows the table's colours.
  auto p = loadPixels(dir, file);
  EXPECT_EQ(p, (std::vector<COLORREF>{kC, kB, kB, kB, kC, kA}));
  DeleteObject(bitmap);

  auto masks = bmp(1, 1, 16, BI_BITFIELDS, {}, {0x1F, 0xF8, 0, 0}, {0xF800, 0x07E0, 0x001F});
  path = dir.write("masks.bmp", masks);
  bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(GetObjectA(bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 16);
  EXPECT_EQ(ds.dsBmih.biCompression, static_cast<DWORD>(BI_BITFIELDS));
  EXPECT_EQ(ds.dsBitfields[0], 0xF800u);
  EXPECT_EQ(ds.dsBitfields[1], 0x07E0u);
  DeleteObject(bitmap);
}

TEST(BmpLoad, RequestedSizeStretchesAndMonochromeConverts) {
  TempDir dir;
  auto file = bmp(2, 1, 24, BI_RGB, {}, {0x33, 0x22, 0x11, 0xCC, 0xBB, 0xAA, 0, 0});
  std::string path = dir.write("two.bmp", file);
  HBITMAP wide = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 5, 1, LR_LOADFROMFILE));
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(ddbPixels(wide), (std::vector<COLORREF>{kA, kA, kB, kB, kB}));
  DeleteObject(wide);

  HBITMAP mono = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_MONOCHROME));
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(monoPixels(mono), (std::vector<int>{0, 1}));
  DeleteObject(mono);
}

TEST(BmpLoad, PathsWithBackslashesAndMissingFiles) {
  TempDir dir;
  std::string path = dir.write("slashes.bmp", bmp(1, 1, 24, BI_RGB, {}, {1, 2, 3, 0}));
  std::string windowsStyle = path;
  for (char& c : windowsStyle)
    if (c == '/') c = '\\';
  HANDLE image = LoadImageA(nullptr, windowsStyle.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
  EXPECT_NE(image, nullptr);
  DeleteObject(image);

  SetLastError(0);
  EXPECT_EQ(LoadImageA(nullptr, dir.path("absent.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  SetLastError(0);
  EXPECT_EQ(LoadImageA(nullptr, dir.path("nothing/here.bmp").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(BmpLoad, MalformedFilesFailWithInvalidData) {
  TempDir dir;
  auto good = bmp(4, 4, 24, BI_RGB, {}, std::vector<uint8_t>(48, 0x7F));
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    DWORD error;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}, ERROR_INVALID_DATA});
  cases.push_back({"truncated bits", std::vector<uint8_t>(good.begin(), good.end() - 1), ERROR_INVALID_DATA});
  cases.push_back({"truncated header", std::vector<uint8_t>(good.begin(), good.begin() + 30), ERROR_INVALID_DATA});
  auto magic = good;
  magic[0] = 'X';
  cases.push_back({"bad magic", magic, ERROR_INVALID_DATA});
  cases.push_back({"odd depth", bmp(1, 1, 7, BI_RGB, {}, {0, 0, 0, 0}), ERROR_INVALID_DATA});
  cases.push_back({"zero width", bmp(0, 1, 24, BI_RGB, {}, {0, 0, 0, 0}), ERROR_INVALID_DATA});
  cases.push_back({"huge", bmp(40000, 1, 1, BI_RGB, {0, 0xFFFFFF}, {}), ERROR_NOT_ENOUGH_MEMORY});
  cases.push_back({"rle top-down", bmp(2, -1, 8, BI_RLE8, {0, 0xFFFFFF}, {2, 1, 0, 1}), ERROR_INVALID_DATA});
  cases.push_back({"rle cut in an absolute run", bmp(8, 1, 8, BI_RLE8, {0, 0xFFFFFF}, {0, 6, 1, 1}), ERROR_INVALID_DATA});
  cases.push_back({"rle4 with 8 bits", bmp(2, 1, 8, BI_RLE4, {0, 0xFFFFFF}, {2, 1, 0, 1}), ERROR_INVALID_DATA});
  cases.push_back({"overlapping masks", bmp(1, 1, 16, BI_BITFIELDS, {}, {0, 0, 0, 0}, {0xF800, 0x0FE0, 0x001F}), ERROR_INVALID_DATA});
  for (const Case& c : cases) {
    std::string path = dir.write("bad.bmp", c.bytes);
    SetLastError(0);
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
  }
  // A picture file asked for as an icon is no icon.
  std::string path = dir.write("good.bmp", good);
  SetLastError(0);
  EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}
