#include <gdiplus.h>
#include <shlwapi.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "ImageFiles.h"
#include "JpegWriter.h"

using namespace imagetest;
using namespace Gdiplus;

namespace {

std::wstring wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

class GdiplusSession : public testing::Test {
 protected:
  void SetUp() override {
    GdiplusStartupInput input;
    ASSERT_EQ(GdiplusStartup(&token_, &input, nullptr), Ok);
  }
  void TearDown() override { GdiplusShutdown(token_); }

  // Loads a file into a DIB section; the pixels come back as 0xAARRGGBB, top row first.
  Status load(const std::string& path, std::vector<uint32_t>& pixels, UINT& w, UINT& h, ARGB background = 0xFF000000) {
    GpBitmap* bitmap = nullptr;
    Status status = DllExports::GdipCreateBitmapFromFile(wide(path).c_str(), &bitmap);
    if (status != Ok) return status;
    EXPECT_EQ(DllExports::GdipGetImageWidth(bitmap, &w), Ok);
    EXPECT_EQ(DllExports::GdipGetImageHeight(bitmap, &h), Ok);
    HBITMAP hbm = nullptr;
    status = DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &hbm, background);
    EXPECT_EQ(DllExports::GdipDisposeImage(bitmap), Ok);
    if (status != Ok) return status;
    DIBSECTION ds{};
    EXPECT_EQ(GetObjectA(hbm, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(static_cast<UINT>(ds.dsBm.bmWidth), w);
    pixels.clear();
    const uint8_t* bits = static_cast<const uint8_t*>(ds.dsBm.bmBits);
    for (int y = 0; y < ds.dsBm.bmHeight; ++y) {
      int stored = ds.dsBmih.biHeight > 0 ? ds.dsBm.bmHeight - 1 - y : y;
      for (int x = 0; x < ds.dsBm.bmWidth; ++x) {
        const uint8_t* p = bits + static_cast<size_t>(stored) * ds.dsBm.bmWidthBytes + 4 * x;
        pixels.push_back(static_cast<uint32_t>(p[0]) | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24));
      }
    }
    DeleteObject(hbm);
    return Ok;
  }

  TempDir dir_;
  ULONG_PTR token_ = 0;
};

bool near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(d) > tolerance) return false;
  }
  return true;
}

}  // namespace

TEST_F(GdiplusSession, JpegLoadsIntoA32BitDibSection) {
  // 16 x 8: the left half red, the right half blue, each an 8 x 8 block of its own.
  std::vector<uint32_t> rgb(16 * 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) rgb[y * 16 + x] = x < 8 ? 0xFF0000 : 0x0000FF;
  std::string path = dir_.write("photo.jpg", jpeg(16, 8, rgb));
  std::vector<uint32_t> pixels;
  UINT w = 0, h = 0;
  ASSERT_EQ(load(path, pixels, w, h), Ok);
  EXPECT_EQ(w, 16u);
  EXPECT_EQ(h, 8u);
  ASSERT_EQ(pixels.size(), 128u);
  EXPECT_TRUE(near(pixels[3 * 16 + 3], 0xFF0000, 12)) << std::hex << pixels[3 * 16 + 3];
  EXPECT_TRUE(near(pixels[3 * 16 + 12], 0x0000FF, 12)) << std::hex << pixels[3 * 16 + 12];
  EXPECT_EQ(pixels[0] >> 24, 0xFFu);
}

TEST_F(GdiplusSession, BmpAndPngLoadExactlyAndAlphaMeetsTheBackground) {
  std::vector<uint32_t> pixels;
  UINT w = 0, h = 0;
  std::string bmpPath = dir_.write("p.bmp", bmp(2, 1, 24, BI_RGB, {}, {0x33, 0x22, 0x11, 0xCC, 0xBB, 0xAA, 0, 0}));
  ASSERT_EQ(load(bmpPath, pixels, w, h), Ok);
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFF112233, 0xFFAABBCC}));

  std::string pngPath = dir_.write("p.png", png(3, 1, {0xFF102030, 0x00FFFFFF, 0x80FF0000}));
  ASSERT_EQ(load(pngPath, pixels, w, h, 0xFF0000FF), Ok);
  // Opaque as it is; fully transparent shows the background; half red over blue mixes.
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFF102030, 0xFF0000FF, 0xFF80007F}));
}

TEST_F(GdiplusSession, FailuresReportTheirStatus) {
  GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(1);
  EXPECT_EQ(DllExports::GdipCreateBitmapFromFile(wide(dir_.path("absent.jpg")).c_str(), &bitmap), FileNotFound);
  EXPECT_EQ(bitmap, nullptr);
  std::string text = dir_.write("text.jpg", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_EQ(DllExports::GdipCreateBitmapFromFile(wide(text).c_str(), &bitmap), UnknownImageFormat);
  std::vector<uint32_t> rgb(64, 0x808080);
  auto cut = jpeg(8, 8, rgb);
  cut.resize(cut.size() / 3);
  std::string broken = dir_.write("broken.jpg", cut);
  EXPECT_EQ(DllExports::GdipCreateBitmapFromFile(wide(broken).c_str(), &bitmap), OutOfMemory);
  EXPECT_EQ(DllExports::GdipCreateBitmapFromFile(static_cast<const wchar_t*>(nullptr), &bitmap), InvalidParameter);
  UINT w = 0;
  EXPECT_EQ(DllExports::GdipGetImageWidth(nullptr, &w), InvalidParameter);
  EXPECT_EQ(DllExports::GdipDisposeImage(nullptr), InvalidParameter);

  // The UTF-16 form of the call reaches the same file.
  std::string good = dir_.write("good.bmp", bmp(1, 1, 24, BI_RGB, {}, {1, 2, 3, 0}));
  std::u16string path16(good.begin(), good.end());
  ASSERT_EQ(DllExports::GdipCreateBitmapFromFile(path16.c_str(), &bitmap), Ok);
  EXPECT_EQ(DllExports::GdipGetImageWidth(bitmap, &w), Ok);
  EXPECT_EQ(w, 1u);
  EXPECT_EQ(DllExports::GdipDisposeImage(bitmap), Ok);
}

TEST(Gdiplus, CallsNeedAStartedSession) {
  GpBitmap* bitmap = nullptr;
  EXPECT_EQ(DllExports::GdipCreateBitmapFromFile(L"/nonexistent.bmp", &bitmap), GdiplusNotInitialized);
  ULONG_PTR token = 0;
  GdiplusStartupInput input;
  EXPECT_EQ(GdiplusStartup(nullptr, &input, nullptr), InvalidParameter);
  input.GdiplusVersion = 9;
  EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), UnsupportedGdiplusVersion);
  GdiplusStartupInput quiet(nullptr, TRUE);
  EXPECT_EQ(GdiplusStartup(&token, &quiet, nullptr), InvalidParameter);
  GdiplusStartupOutput output{};
  ASSERT_EQ(GdiplusStartup(&token, &quiet, &output), Ok);
  EXPECT_NE(output.NotificationHook, nullptr);
  EXPECT_EQ(DllExports::GdipCreateBitmapFromFile(L"/nonexistent.bmp", &bitmap), FileNotFound);
  GdiplusShutdown(token);
  EXPECT_EQ(DllExports::GdipCreateBitmapFromFile(L"/nonexistent.bmp", &bitmap), GdiplusNotInitialized);
}

// A stream is read from where it stands to its end, and may go as soon as the bitmap is made.
TEST_F(GdiplusSession, BitmapsFromAStreamInMemory) {
  std::vector<uint8_t> prefix = {'x', 'y', 'z'};
  std::vector<uint8_t> bytes = bmp(2, 1, 24, BI_RGB, {}, {0x33, 0x22, 0x11, 0xCC, 0xBB, 0xAA, 0, 0});
  bytes.insert(bytes.begin(), prefix.begin(), prefix.end());
  IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  ASSERT_NE(stream, nullptr);
  GpBitmap* bitmap = nullptr;
  EXPECT_EQ(DllExports::GdipCreateBitmapFromStream(stream, &bitmap), UnknownImageFormat);
  LARGE_INTEGER skip{};
  skip.QuadPart = 3;
  ASSERT_EQ(stream->Seek(skip, STREAM_SEEK_SET, nullptr), S_OK);
  ASSERT_EQ(DllExports::GdipCreateBitmapFromStream(stream, &bitmap), Ok);
  EXPECT_EQ(stream->Release(), 0u);
  UINT w = 0;
  EXPECT_EQ(DllExports::GdipGetImageWidth(bitmap, &w), Ok);
  EXPECT_EQ(w, 2u);
  HBITMAP hbm = nullptr;
  ASSERT_EQ(DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &hbm, 0), Ok);
  EXPECT_EQ(DllExports::GdipDisposeImage(bitmap), Ok);
  DeleteObject(hbm);

  // A stream at its end, a broken picture and no stream at all.
  IStream* empty = SHCreateMemStream(nullptr, 0);
  EXPECT_EQ(DllExports::GdipCreateBitmapFromStream(empty, &bitmap), UnknownImageFormat);
  empty->Release();
  std::vector<uint8_t> cut = jpeg(8, 8, std::vector<uint32_t>(64, 0x808080));
  cut.resize(cut.size() / 3);
  IStream* broken = SHCreateMemStream(cut.data(), static_cast<UINT>(cut.size()));
  EXPECT_EQ(DllExports::GdipCreateBitmapFromStream(broken, &bitmap), OutOfMemory);
  EXPECT_EQ(bitmap, nullptr);
  broken->Release();
  EXPECT_EQ(DllExports::GdipCreateBitmapFromStream(nullptr, &bitmap), InvalidParameter);
}
