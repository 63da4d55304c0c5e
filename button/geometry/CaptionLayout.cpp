// Where the caption and the picture go inside the button. The layout measures the caption with
// the font already selected into the off-screen buffer, so what it reserves is exactly what the
// caption drawing will need; slanted edges give up part of their run, and a small picture takes
// its room beside, above or below the caption before the caption is placed.
#include "button/geometry/WholePixels.h"
#include "button/model/CaptionLines.h"
#include "button/ztButtons_H.h"

#include <algorithm>
#include <string>

void ztButtons_H::CalcCaptionLayout(int16_t& RebuildPicture) {
  const float SW = UserControl.ScaleWidth();
  const float SH = UserControl.ScaleHeight();
  const int32_t shape = stored.ButtonShape;
  const int32_t pictureAlign = stored.PictureAlign;
  const int32_t P = PictureSizePixels;
  const bool hasPicture = PictureWidth + PictureHeight > 0;
  const bool hasCaption = !stored.Caption.empty();

  // 1. Horizontal limits: slanted edges give up two thirds of their run.
  const int32_t d = LeftSlantWidth;
  const int32_t s = RightSlantStart;
  int32_t L = 0;
  int32_t R = nearestWhole(SW);
  int32_t U = s;
  switch (shape) {
    case ShapeSlantLeft:
      L = d - d / 3 + 3;
      U = nearestWhole(static_cast<double>(SW) - L);
      break;
    case ShapeSlantRight:
      R = nearestWhole(static_cast<double>(SW) - s) / 3 + s;
      U = R;
      break;
    case ShapeSlantBoth:
      L = d - d / 3 + 3;
      R = nearestWhole(static_cast<double>(SW) - s) / 3 + s;
      U = R - L;
      break;
    case ShapePictureFramed:
    case ShapePictureBeveled:
      L = 3;
      R = s - 3;
      U = s - 3;
      break;
    default:
      break;
  }

  // 2. Room for a small picture; stretched and fitted pictures lie behind the caption.
  int32_t SpaceLeft = 0, SpaceRight = 0, SpaceTop = 0, SpaceBottom = 0;
  bool Beside = false, Stacked = false;
  if (hasPicture && P < 33) {
    switch (pictureAlign) {
      case PictureLeftEdge:
      case PictureLeftOfCaption:
        SpaceLeft = P;
        Beside = true;
        break;
      case PictureRightEdge:
      case PictureRightOfCaption:
        SpaceRight = P;
        Beside = true;
        break;
      case PictureAboveCaption:
        SpaceTop = P;
        Stacked = true;
        break;
      case PictureBelowCaption:
        SpaceBottom = P;
        Stacked = true;
        break;
      default:
        break;
    }
  }

  // 3. The text block, wrapped at word boundaries within the measuring width.
  int32_t TW = 0, TH = 0;
  if (hasCaption) {
    const std::string text = captionLines(stored.Caption);
    RECT measure{0, 0, U - 8 - (Beside ? P : 0),
                 nearestWhole(static_cast<double>(SH) - 8 - ((Stacked && pictureAlign > 3) ? P : 0))};
    // Without a buffer (before the first resize) nothing can be measured; the resize lays the
    // caption out again once the buffer and its font exist.
    if (BufferDC && DrawTextA(BufferDC, text.c_str(), static_cast<int>(text.size()), &measure,
                              DT_CALCRECT | DT_WORDBREAK) != 0) {
      TW = measure.right;
      TH = measure.bottom;
    }
    if (stored.CaptionStyle != CaptionFlat) {
      TW += 2;
      TH += 2;
    }
  }

  // 4. Horizontal place of the caption.
  RECT caption{0, 0, 0, 0};
  if (hasCaption) {
    caption = RECT{0, 0, TW, TH};
    int32_t dx = 0;
    switch (stored.CaptionAlign) {
      case AlignLeft:
        dx = L + 4 + SpaceLeft + (SpaceLeft > 0 ? 4 : 0);
        break;
      case AlignRight:
        dx = R - 4 - SpaceRight - TW - (SpaceRight > 0 ? 4 : 0);
        break;
      case AlignCenter:
        if (SpaceLeft > 0 && pictureAlign == PictureLeftOfCaption)
          dx = L + (U - (TW + SpaceLeft + 4)) / 2 + 4 + SpaceLeft;  // picture, gap and text as one
        else if (SpaceRight > 0 && pictureAlign == PictureRightOfCaption)
          dx = L + (U - (TW + SpaceRight + 4)) / 2;
        else
          dx = L + (U - SpaceLeft - SpaceRight - TW) / 2 + SpaceLeft;
        break;
      default:
        break;
    }
    OffsetRect(&caption, dx, 0);
  }

  // 5. Picture position and the caption's vertical place.
  int32_t PicLeft = 0, PicTop = 0;
  if (hasPicture) {
    int32_t dy = 0;
    switch (pictureAlign) {
      case PictureLeftEdge:
        PicLeft = L + 4;
        break;
      case PictureLeftOfCaption:
        PicLeft = hasCaption ? caption.left - 4 - SpaceLeft : L + 4;
        break;
      case PictureRightEdge:
        PicLeft = R - 4 - SpaceRight;
        break;
      case PictureRightOfCaption:
        PicLeft = hasCaption ? caption.right + 4 : R - 4 - SpaceRight;
        break;
      case PictureAboveCaption: {
        const int32_t g = nearestWhole(static_cast<double>(SH) - (TH + SpaceTop)) / 2;
        PicTop = g;
        dy = g + 2 + SpaceTop;
        break;
      }
      case PictureBelowCaption: {
        const int32_t g = nearestWhole(static_cast<double>(SH) - (TH + SpaceBottom)) / 2;
        PicTop = g + TH + 4;
        dy = PicTop - 2 - TH;
        break;
      }
      default:
        break;
    }
    OffsetRect(&caption, 0, dy);
    if (pictureAlign >= PictureLeftEdge && pictureAlign <= PictureRightOfCaption) {
      OffsetRect(&caption, 0, nearestWhole(static_cast<double>(SH) - TH) / 2);
      PicTop = nearestWhole(static_cast<double>(SH) - P) / 2;
    } else {
      PicLeft = L + (U - P) / 2;
    }
  } else {
    OffsetRect(&caption, 0, nearestWhole(static_cast<double>(SH) - TH) / 2);
  }
  int32_t PicRight = PicLeft + P;
  int32_t PicBottom = PicTop + P;

  // 6. Keep the caption off the edges; only a violated edge moves.
  const double bottomLimit = static_cast<double>(SH) - 5;
  caption.top = std::max<LONG>(caption.top, 4);
  caption.left = std::max<LONG>(caption.left, L + 4);
  caption.right = std::min<LONG>(caption.right, R - 4);
  if (bottomLimit < caption.bottom) caption.bottom = nearestWhole(bottomLimit);
  CaptionRect = caption;

  // 7. The picture rectangle by picture size.
  RECT picture{0, 0, 0, 0};
  if (P < 33) {
    PicTop = std::max(PicTop, 4);
    PicLeft = std::max(PicLeft, L + 4);
    PicRight = std::min(PicRight, R - 4);
    if (bottomLimit < PicBottom) PicBottom = nearestWhole(bottomLimit);
    picture = RECT{PicLeft, PicTop, PicRight, PicBottom};
  } else if (P == 40) {
    const int32_t k = shape == ShapeEllipseFramed ? 1 : 3;
    picture = RECT{k, k, nearestWhole(static_cast<double>(SW) - k), nearestWhole(static_cast<double>(SH) - k)};
    RebuildPicture = vbTrue;
  } else if (shape == ShapePictureFramed || shape == ShapePictureBeveled) {
    // The region code builds the scaled picture of a picture-shaped button itself.
    picture = RECT{0, 0, nearestWhole(SW), nearestWhole(SH)};
  } else if (hasPicture) {
    int32_t FW = 0, FH = 0;
    FitPictureToBox(U - 12, nearestWhole(static_cast<double>(SH) - 12), FW, FH);
    const int32_t left = L + (U - FW) / 2;
    const int32_t top = nearestWhole(static_cast<double>(SH) - FH) / 2;
    picture = RECT{left, top, left + FW, top + FH};
    RebuildPicture = vbTrue;
  }
  PictureRect = picture;

  // 8. The scaled copy follows the picture's drawing size.
  if (RebuildPicture) {
    HRGN noRegion = nullptr;
    PrepareScaledPicture(PictureRect.right - PictureRect.left, PictureRect.bottom - PictureRect.top, noRegion);
  }
}
