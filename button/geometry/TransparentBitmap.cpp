// Draws a bitmap with its key colour (the colour of its top-left pixel) left transparent: a
// monochrome mask is made by the colour-to-monochrome copy, the transparent pixels of a copy of
// the source are blackened, the opaque places of the background are blackened through the mask,
// and the two are ORed together in a composition that reaches the destination in one copy.
#include "button/geometry/WholePixels.h"
#include "button/ztButtons_H.h"

#include <algorithm>
#include <limits>

void ztButtons_H::DrawTransparentBitmap(HDC DestDC, const RECT& DestRect, HBITMAP Bitmap, RECT& SourceRect,
                                        int32_t KeyColour, int32_t& DrawWidth, int32_t& DrawHeight) {
  (void)KeyColour;  // the key always comes from the bitmap itself

  int32_t SrcW = SourceRect.right - SourceRect.left;
  if (SourceRect.right == 0) {
    SrcW = ScaledPictureWidth;
    SourceRect.right = SrcW;
  }
  int32_t SrcH = SourceRect.bottom - SourceRect.top;
  if (SourceRect.bottom == 0) {
    SrcH = ScaledPictureHeight;
    SourceRect.bottom = SrcH;
  }
  const int32_t DstW = DestRect.right == 0 ? DrawWidth : DestRect.right - DestRect.left;
  const int32_t DstH = DestRect.bottom == 0 ? DrawHeight : DestRect.bottom - DestRect.top;

  // A drawing larger than the destination shrinks with its proportions kept, at the top left.
  if (DrawWidth > DstW || DrawHeight > DstH) {
    const double inf = std::numeric_limits<double>::infinity();
    const double rx = DrawWidth > 0 ? static_cast<double>(DstW) / DrawWidth : inf;
    const double ry = DrawHeight > 0 ? static_cast<double>(DstH) / DrawHeight : inf;
    const float Ratio = static_cast<float>(std::min(rx, ry));
    DrawWidth = nearestWhole(static_cast<double>(Ratio) * DrawWidth);
    DrawHeight = nearestWhole(static_cast<double>(Ratio) * DrawHeight);
  }

  // Nothing to draw from or into: an empty or inverted area would otherwise mirror or misdraw.
  if (!Bitmap || !DestDC || SrcW <= 0 || SrcH <= 0 || DstW <= 0 || DstH <= 0 || DrawWidth <= 0 ||
      DrawHeight <= 0)
    return;

  HDC screen = GetDC(nullptr);
  HDC source = CreateCompatibleDC(screen);
  HGDIOBJ oldSource = SelectObject(source, Bitmap);
  const COLORREF Key = static_cast<COLORREF>(TranslateColor(static_cast<int32_t>(GetPixel(source, 0, 0))));

  HDC mask = CreateCompatibleDC(screen);
  HDC composition = CreateCompatibleDC(screen);
  HDC copy = CreateCompatibleDC(screen);
  HBITMAP copyBitmap = CreateCompatibleBitmap(screen, SrcW, SrcH);
  HBITMAP compositionBitmap = CreateCompatibleBitmap(screen, DstW, DstH);
  HBITMAP maskBitmap = CreateBitmap(SrcW, SrcH, 1, 1, nullptr);
  HGDIOBJ oldCopy = SelectObject(copy, copyBitmap);
  HGDIOBJ oldComposition = SelectObject(composition, compositionBitmap);
  HGDIOBJ oldMask = SelectObject(mask, maskBitmap);
  ReleaseDC(nullptr, screen);

  SetMapMode(composition, GetMapMode(DestDC));

  // The composition starts as what the destination shows now.
  BitBlt(composition, 0, 0, DstW, DstH, DestDC, DestRect.left, DestRect.top, SRCCOPY);

  SetBkColor(copy, GetBkColor(source));
  SetTextColor(copy, GetTextColor(source));
  BitBlt(copy, 0, 0, SrcW, SrcH, source, SourceRect.left, SourceRect.top, SRCCOPY);

  // Pixels of the key colour become 1 (white) in the mask, all others 0.
  SetBkColor(copy, Key);
  SetTextColor(copy, 0xFFFFFF);
  BitBlt(mask, 0, 0, SrcW, SrcH, copy, 0, 0, SRCCOPY);

  // Destination AND NOT mask: the transparent pixels of the copy turn black.
  SetTextColor(copy, 0x000000);
  SetBkColor(copy, 0xFFFFFF);
  BitBlt(copy, 0, 0, SrcW, SrcH, mask, 0, 0, 0x220326);

  // Holes where the picture is opaque, then the picture ORed into them.
  StretchBlt(composition, 0, 0, DrawWidth, DrawHeight, mask, 0, 0, SrcW, SrcH, SRCAND);
  StretchBlt(composition, 0, 0, DrawWidth, DrawHeight, copy, 0, 0, SrcW, SrcH, SRCPAINT);

  BitBlt(DestDC, DestRect.left, DestRect.top, DstW, DstH, composition, 0, 0, SRCCOPY);

  if (oldMask) SelectObject(mask, oldMask);
  if (oldComposition) SelectObject(composition, oldComposition);
  if (oldCopy) SelectObject(copy, oldCopy);
  if (oldSource) SelectObject(source, oldSource);
  if (maskBitmap) DeleteObject(maskBitmap);
  if (compositionBitmap) DeleteObject(compositionBitmap);
  if (copyBitmap) DeleteObject(copyBitmap);
  DeleteDC(copy);
  DeleteDC(composition);
  DeleteDC(mask);
  DeleteDC(source);
}
