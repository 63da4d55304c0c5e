// The picture for one paint: icons and cursors with their own mask, bitmaps through the scaled
// copy with its key colour transparent. A disabled button draws the picture onto white first and
// lays it over the face in grey: black turns grey, white leaves the face as it is.
#include "button/geometry/WholePixels.h"
#include "button/ztButtons_H.h"

void ztButtons_H::DrawButtonPicture(RECT& Rect) {
  if (PictureWidth + PictureHeight == 0) return;
  if (!stored.Picture) return;
  if (!ScaledPicture) {
    HRGN noRegion = nullptr;
    PrepareScaledPicture(Rect.right - Rect.left, Rect.bottom - Rect.top, noRegion);
  }

  if (stored.ButtonShape == ShapePictureFramed || stored.ButtonShape == ShapePictureBeveled) {
    Rect = RECT{0, 0, nearestWhole(UserControl.ScaleWidth()), nearestWhole(UserControl.ScaleHeight())};
    if ((StateFlags & (Pressed | PointerOver)) == (Pressed | PointerOver)) InflateRect(&Rect, -1, -1);
  }

  const int32_t w = Rect.right - Rect.left;
  const int32_t h = Rect.bottom - Rect.top;
  // An empty place draws nothing (an icon asked for size 0 would come out at its own size).
  if (w <= 0 || h <= 0 || !BufferDC) return;
  const bool isIcon = PictureIsIcon == 1;
  if (!isIcon && !ScaledPicture) return;

  RECT Dest = Rect;
  const bool enabled = Enabled() != vbFalse;
  HDC target = BufferDC;
  HDC grey = nullptr;
  HBITMAP greyBitmap = nullptr;
  HGDIOBJ oldGreyBitmap = nullptr;
  if (!enabled) {
    grey = CreateCompatibleDC(BufferDC);
    greyBitmap = CreateCompatibleBitmap(BufferDC, w, h);
    if (!grey || !greyBitmap) {
      if (greyBitmap) DeleteObject(greyBitmap);
      if (grey) DeleteDC(grey);
      return;
    }
    oldGreyBitmap = SelectObject(grey, greyBitmap);
    PatBlt(grey, 0, 0, w, h, WHITENESS);
    OffsetRect(&Dest, -Dest.left, -Dest.top);
    target = grey;
  }

  if (isIcon) {
    DrawIconEx(target, Dest.left, Dest.top, static_cast<HICON>(stored.Picture->Handle()), w, h, 0, nullptr,
               DI_NORMAL);
  } else {
    RECT source{0, 0, 0, 0};
    int32_t drawWidth = w;
    int32_t drawHeight = h;
    DrawTransparentBitmap(target, Dest, ScaledPicture, source, -1, drawWidth, drawHeight);
  }

  if (enabled) return;

  // ((destination XOR brush) AND source) XOR brush: white keeps the face, black gives the brush.
  const COLORREF oldBack = SetBkColor(BufferDC, 0xFFFFFF);
  HBRUSH greyBrush = CreateSolidBrush(0x808080);
  HGDIOBJ oldBrush = SelectObject(BufferDC, greyBrush);
  BitBlt(BufferDC, Rect.left, Rect.top, w, h, grey, 0, 0, 0xB8074A);
  SetBkColor(BufferDC, oldBack);
  if (oldBrush) SelectObject(BufferDC, oldBrush);
  DeleteObject(greyBrush);
  if (oldGreyBitmap) SelectObject(grey, oldGreyBitmap);
  DeleteObject(greyBitmap);
  DeleteDC(grey);
}
