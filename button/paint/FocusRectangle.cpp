// The mark of the button that shows the focus or default frame: a dotted (or solid) rectangle
// inside the edges or around the caption, or a solid outline along the slanted sides.
#include "button/paint/PaintArithmetic.h"
#include "button/ztButtons_H.h"

#include <algorithm>

void ztButtons_H::DrawFocusRectangle(int32_t& Color, int16_t Solid, int16_t& AroundCaption, EdgePointList& EdgePoints) {
  if (!(StateFlags & DefaultFrame)) return;
  const int32_t shape = stored.ButtonShape;
  if (shape == ShapePictureFramed || shape == ShapePictureBeveled) return;
  if (shape >= ShapeEllipse && shape <= ShapeEllipseFramed) {
    if (stored.ButtonStyle == StyleRounded) return;
    AroundCaption = vbTrue;
  }

  const int32_t W = nearestInt(UserControl.ScaleWidth());
  const int32_t H = nearestInt(UserControl.ScaleHeight());
  const int32_t lsw = LeftSlantWidth;
  const int32_t rss = RightSlantStart;
  auto& p = EdgePoints;

  if (shape >= ShapeSlantLeft && shape <= ShapeSlantBoth) {
    const int32_t a = lsw != 0 ? 1 : 0;
    const int32_t b = W > rss ? 1 : 0;
    p[0] = {lsw + 4 - 6 * a, H - 5};
    p[1] = {4 + 4 * a, 4};
    p[2] = {rss + 4 * b - 5, 4};
    p[3] = {W - 5 - 6 * b, H - 5};
    p[4] = {lsw + 3 - 4 * a, H - 5};
    SetDrawingTools(vbTrue, BufferDC, 1, Color, vbFalse, 1, PS_SOLID);
    Polyline(BufferDC, p.data(), 5);
    return;
  }

  if (Color < 0) Color = 0;
  SetDrawingTools(vbTrue, BufferDC, 1, Color, vbFalse, 1, PS_SOLID);

  RECT R;
  if (AroundCaption) {
    R = stored.Caption.empty() ? PictureRect : CaptionRect;
    R.bottom = std::min<LONG>(R.bottom, H - 4);
    R.right = std::min<LONG>(R.right, W - 4);
    // Two pixels of air where the caption keeps clear of the slanted sides, else one.
    const int32_t e = (CaptionRect.right < rss - 4 && CaptionRect.left > lsw + 4) ? 2 : 1;
    const int32_t f = ((stored.Value || pushedIn(StateFlags)) && stored.ButtonStyle != StyleEtched) ? 1 : 0;
    const int32_t g = (shape >= ShapeRectangle && shape <= ShapeSlantBoth) ? 1 : 0;
    OffsetRect(&R, g * f - e, f - e);
    R.right += 2 * e + g * f;
    R.bottom += 2 * e + f;
    if (!Solid) {
      DrawFocusRect(BufferDC, &R);
    } else {
      p[0] = {R.left, R.top};
      p[1] = {R.right - 1, R.top};
      p[2] = {R.right - 1, R.bottom - 1};
      p[3] = {R.left, R.bottom - 1};
      p[4] = {R.left, R.top};
      Polyline(BufferDC, p.data(), 5);
    }
    return;
  }

  SetRect(&R, 0, 0, rss - lsw - 8, H - 8);
  OffsetRect(&R, lsw + 4, 4);
  if (!Solid) {
    DrawFocusRect(BufferDC, &R);
  } else {
    p[0] = {R.left, R.bottom};
    p[1] = {R.left, R.top};
    p[2] = {R.right, R.top};
    p[3] = {R.right, R.bottom};
    p[4] = {R.left, R.bottom};
    Polyline(BufferDC, p.data(), 5);
  }
}
