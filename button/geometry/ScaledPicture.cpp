// The button's private copy of a bitmap picture at the size it is drawn at. The colour of its
// top-left pixel is the transparent key; colours within 3 of it on every channel are made exactly
// the key, so that the drawing's exact-match mask treats them alike. For picture-shaped buttons
// the same scan carves every run of transparent pixels out of the outline and, grown by one and
// two pixels, out of the two clip regions.
#include "button/geometry/WholePixels.h"
#include "button/ztButtons_H.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A channel of a colour value, taken with signed division: the invalid colour 0xFFFFFFFF (a read
// outside the bitmap) comes out as red 255, green 0, blue 0.
int32_t channel(COLORREF value, int n) {
  const int32_t v = static_cast<int32_t>(value);
  const int32_t divisor = n == 0 ? 1 : (n == 1 ? 256 : 65536);
  return (v / divisor) & 255;
}

bool nearKey(COLORREF pixel, const int32_t key[3]) {
  return std::abs(channel(pixel, 0) - key[0]) <= 3 && std::abs(channel(pixel, 1) - key[1]) <= 3 &&
         std::abs(channel(pixel, 2) - key[2]) <= 3;
}

void removeRect(HRGN from, const RECT& r) {
  if (!from) return;
  HRGN cut = CreateRectRgn(r.left, r.top, r.right, r.bottom);
  if (!cut) return;
  CombineRgn(from, from, cut, RGN_DIFF);
  DeleteObject(cut);
}

}  // namespace

void ztButtons_H::PrepareScaledPicture(int32_t Width, int32_t Height, HRGN& Region) {
  if (!stored.Picture) return;
  if (ScaledPicture) {
    DeleteObject(ScaledPicture);
    ScaledPicture = nullptr;
  }
  // Icons carry their own mask and are drawn directly at paint time.
  if (PictureIsIcon != 0) return;

  if (Region) {
    // The clip regions start as the whole client area; replacing them must not leak the old ones.
    if (OuterClipRegion) DeleteObject(OuterClipRegion);
    if (InnerClipRegion) DeleteObject(InnerClipRegion);
    const int32_t W = nearestWhole(UserControl.ScaleWidth());
    const int32_t H = nearestWhole(UserControl.ScaleHeight());
    OuterClipRegion = CreateRectRgn(0, 0, W, H);
    InnerClipRegion = CreateRectRgn(0, 0, W, H);
  }
  ScaledPictureWidth = Width;
  ScaledPictureHeight = Height;
  // A box with no area has nothing to show; the copy is made again once the box has a size.
  if (Width <= 0 || Height <= 0) return;

  ScaledPicture = static_cast<HBITMAP>(CopyImage(stored.Picture->Handle(), IMAGE_BITMAP, Width, Height, 0));
  if (!ScaledPicture) return;

  // The pixels are read and, for a colour copy, written back in one piece, outside any DC (as
  // bitmap bits must be). A copy in another format, or one whose bits cannot be read, is
  // scanned through a memory DC pixel by pixel instead.
  BITMAP info;
  std::memset(&info, 0, sizeof info);
  GetObjectA(ScaledPicture, sizeof info, &info);
  std::vector<uint32_t> pixels(static_cast<size_t>(Width) * static_cast<size_t>(Height));
  BITMAPINFO bi;
  std::memset(&bi, 0, sizeof bi);
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = Width;
  bi.bmiHeader.biHeight = -Height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  const bool inPlace =
      info.bmBitsPixel == 32 &&
      GetDIBits(UserControl.hDC(), ScaledPicture, 0, static_cast<UINT>(Height), pixels.data(), &bi, DIB_RGB_COLORS) ==
          Height;

  HDC dc = nullptr;
  HGDIOBJ previous = nullptr;
  if (!inPlace) {
    dc = CreateCompatibleDC(UserControl.hDC());
    previous = dc ? SelectObject(dc, ScaledPicture) : nullptr;
  }
  auto at = [&](int32_t x, int32_t y) -> uint32_t& {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
  };
  auto colourOf = [](uint32_t bgrx) -> COLORREF { return RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF); };

  const COLORREF K = inPlace ? colourOf(at(0, 0)) : GetPixel(dc, 0, 0);
  const uint32_t rawK = (GetRValue(K) << 16) | (GetGValue(K) << 8) | GetBValue(K);
  const int32_t key[3] = {channel(K, 0), channel(K, 1), channel(K, 2)};
  // Reads past the last column and row give the invalid colour; whether it counts as near the
  // key is the same for all of them.
  const bool outsideNear = nearKey(CLR_INVALID, key);
  bool changed = false;

  // Without a region only the pixels inside the bitmap matter; with one, the column and row
  // past them close the last runs.
  const int32_t lastX = Region ? Width : Width - 1;
  const int32_t lastY = Region ? Height : Height - 1;
  for (int32_t y = 0; y <= lastY; ++y) {
    int32_t s = -1;
    bool flush = false;
    for (int32_t x = 0; x <= lastX; ++x) {
      bool onKey;
      if (x >= Width || y >= Height) {
        onKey = outsideNear;
      } else if (inPlace) {
        uint32_t& raw = at(x, y);
        onKey = std::abs(static_cast<int32_t>((raw >> 16) & 0xFF) - key[0]) <= 3 &&
               std::abs(static_cast<int32_t>((raw >> 8) & 0xFF) - key[1]) <= 3 &&
               std::abs(static_cast<int32_t>(raw & 0xFF) - key[2]) <= 3;
        if (onKey && (raw & 0xFFFFFF) != rawK) {
          raw = rawK;
          changed = true;
        }
      } else {
        const COLORREF px = GetPixel(dc, x, y);
        onKey = nearKey(px, key);
        if (onKey && px != K) SetPixel(dc, x, y, K);
      }
      if (onKey) {
        if (s == -1) s = x;
        if (x == Width) flush = true;
      } else if (s >= 0) {
        flush = true;
      }
      if (Region && flush) {
        RECT run{s, y, x, y + 1};
        removeRect(Region, run);
        InflateRect(&run, 1, 1);
        removeRect(OuterClipRegion, run);
        InflateRect(&run, 1, 1);
        removeRect(InnerClipRegion, run);
        s = -1;
        flush = false;
      }
    }
  }

  if (changed)
    SetDIBits(UserControl.hDC(), ScaledPicture, 0, static_cast<UINT>(Height), pixels.data(), &bi, DIB_RGB_COLORS);
  if (dc) {
    if (previous) SelectObject(dc, previous);
    DeleteDC(dc);
  }
}
