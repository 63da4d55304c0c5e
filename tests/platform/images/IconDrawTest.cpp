#include <gtest/gtest.h>
#include <windows.h>

#include "ImageFiles.h"

using namespace imagetest;

namespace {

const COLORREF kBack = RGB(0x80, 0x40, 0x20);

// A memory DC holding a w x h 32-bit bitmap filled with one colour.
class Canvas {
 public:
  Canvas(int w, int h, COLORREF fill = kBack) : w_(w) {
    std::vector<uint8_t> bits(static_cast<size_t>(w) * h * 4);
    for (size_t k = 0; k < bits.size(); k += 4) {
      bits[k] = GetBValue(fill);
      bits[k + 1] = GetGValue(fill);
      bits[k + 2] = GetRValue(fill);
    }
    bitmap_ = CreateBitmap(w, h, 1, 32, bits.data());
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC dc() const { return dc_; }
  std::vector<COLORREF> pixels() const { return ddbPixels(bitmap_); }
  std::vector<COLORREF> row(int y) const {
    auto all = pixels();
    return std::vector<COLORREF>(all.begin() + y * w_, all.begin() + (y + 1) * w_);
  }

 private:
  int w_;
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_;
};

// An icon from 32-bit colour values (0xAARRGGBB) and an AND mask (1 = transparent), one row.
HICON makeIcon(const std::vector<uint32_t>& argb, const std::vector<int>& mask, int height = 1) {
  int w = static_cast<int>(argb.size()) / height;
  std::vector<uint8_t> colorBits;
  for (uint32_t v : argb)
    for (int k = 0; k < 4; ++k) colorBits.push_back(static_cast<uint8_t>(v >> (8 * k)));
  size_t maskStride = static_cast<size_t>((w + 15) / 16) * 2;
  std::vector<uint8_t> maskBits(maskStride * height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < w; ++x)
      if (mask[static_cast<size_t>(y) * w + x]) maskBits[y * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
  ICONINFO ii{TRUE, 0, 0, CreateBitmap(w, height, 1, 1, maskBits.data()), CreateBitmap(w, height, 1, 32, colorBits.data())};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(ii.hbmMask);
  DeleteObject(ii.hbmColor);
  return icon;
}

COLORREF inverted(COLORREF c) { return c ^ 0xFFFFFF; }

}  // namespace

TEST(IconDraw, MaskThenImageKeepsPaintsAndInverts) {
  // Opaque red; transparent over black (background kept); transparent over white (inverted);
  // opaque blue.
  HICON icon = makeIcon({0x00FF0000, 0x00000000, 0x00FFFFFF, 0x000000FF}, {0, 1, 1, 0});
  ASSERT_NE(icon, nullptr);
  Canvas canvas(6, 1);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 1, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.row(0), (std::vector<COLORREF>{kBack, RGB(255, 0, 0), kBack, inverted(kBack), RGB(0, 0, 255), kBack}));

  Canvas maskOnly(4, 1);
  ASSERT_TRUE(DrawIconEx(maskOnly.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_MASK));
  EXPECT_EQ(maskOnly.row(0), (std::vector<COLORREF>{0, 0xFFFFFF, 0xFFFFFF, 0}));

  Canvas imageOnly(4, 1);
  ASSERT_TRUE(DrawIconEx(imageOnly.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_IMAGE));
  EXPECT_EQ(imageOnly.row(0), (std::vector<COLORREF>{RGB(255, 0, 0), 0, 0xFFFFFF, RGB(0, 0, 255)}));

  // A flicker-free brush is the background the icon is drawn on.
  Canvas brushed(4, 1);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  ASSERT_TRUE(DrawIconEx(brushed.dc(), 0, 0, icon, 0, 0, 0, green, DI_NORMAL));
  EXPECT_EQ(brushed.row(0), (std::vector<COLORREF>{RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 0, 255), RGB(0, 0, 255)}));
  DeleteObject(green);
  DestroyIcon(icon);
}

TEST(IconDraw, AlphaImagesBlendOverTheBackground) {
  HICON icon = makeIcon({0xFF00FF00, 0x00FFFFFF, 0x80FFFFFF, 0x40000000}, {0, 0, 0, 0});
  ASSERT_NE(icon, nullptr);
  Canvas canvas(4, 1);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  auto mix = [](int s, int d, int a) { return (s * a + d * (255 - a) + 127) / 255; };
  COLORREF half = RGB(mix(255, 0x80, 128), mix(255, 0x40, 128), mix(255, 0x20, 128));
  COLORREF quarter = RGB(mix(0, 0x80, 64), mix(0, 0x40, 64), mix(0, 0x20, 64));
  EXPECT_EQ(canvas.row(0), (std::vector<COLORREF>{RGB(0, 255, 0), kBack, half, quarter}));
  EXPECT_EQ(half, RGB(0xC0, 0xA0, 0x90));
  DestroyIcon(icon);
}

TEST(IconDraw, StretchesToTheAskedSizeOrTheSystemSize) {
  HICON icon = makeIcon({0x00FF0000, 0x000000FF}, {0, 0});
  ASSERT_NE(icon, nullptr);
  Canvas canvas(6, 2);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 5, 2, 0, nullptr, DI_NORMAL));
  std::vector<COLORREF> expected = {RGB(255, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255), kBack};
  EXPECT_EQ(canvas.row(0), expected);
  EXPECT_EQ(canvas.row(1), expected);

  // DrawIcon and DI_DEFAULTSIZE draw at the 32 x 32 system size.
  Canvas big(34, 34);
  ASSERT_TRUE(DrawIcon(big.dc(), 0, 0, icon));
  auto pixels = big.pixels();
  EXPECT_EQ(pixels[0], RGB(255, 0, 0));
  EXPECT_EQ(pixels[31], RGB(0, 0, 255));
  EXPECT_EQ(pixels[32], kBack);
  EXPECT_EQ(pixels[31 * 34 + 31], RGB(0, 0, 255));
  EXPECT_EQ(pixels[32 * 34], kBack);
  DestroyIcon(icon);
}

TEST(IconDraw, MonochromeIconsInvertWhereTheirMaskIsWhite) {
  // 4 x 1: AND 0 0 1 1, XOR 0 1 0 1: black, white, background, inverted background.
  uint8_t bits[4] = {0x30, 0, 0x50, 0};
  ICONINFO ii{TRUE, 0, 0, CreateBitmap(4, 2, 1, 1, bits), nullptr};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(ii.hbmMask);
  ASSERT_NE(icon, nullptr);
  Canvas canvas(4, 1);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.row(0), (std::vector<COLORREF>{0, 0xFFFFFF, kBack, inverted(kBack)}));
  DestroyIcon(icon);
}

TEST(IconDraw, BadArgumentsDrawNothing) {
  HICON icon = makeIcon({0x00FF0000}, {0});
  Canvas canvas(2, 1);
  SetLastError(0);
  EXPECT_FALSE(DrawIconEx(canvas.dc(), 0, 0, nullptr, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
  EXPECT_FALSE(DrawIconEx(nullptr, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_FALSE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, 0));
  // Drawing outside the bitmap changes nothing and is no error.
  EXPECT_TRUE(DrawIconEx(canvas.dc(), 5, 5, icon, 0, 0, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.row(0), (std::vector<COLORREF>{kBack, kBack}));
  // An enormous size costs no more than the pixels it lands on.
  EXPECT_TRUE(DrawIconEx(canvas.dc(), -1000, 0, icon, 2000000000, 2000000000, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.row(0), (std::vector<COLORREF>{RGB(255, 0, 0), RGB(255, 0, 0)}));
  DestroyIcon(icon);
  EXPECT_FALSE(DrawIconEx(canvas.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
}
