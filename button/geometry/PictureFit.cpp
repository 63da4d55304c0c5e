// Uniform scaling of the picture into a box: the smaller of the two ratios wins, so the picture
// keeps its proportions, and it is enlarged as readily as it is reduced.
#include "button/geometry/WholePixels.h"
#include "button/ztButtons_H.h"

#include <algorithm>

void ztButtons_H::FitPictureToBox(int32_t BoxWidth, int32_t BoxHeight, int32_t& FitWidth, int32_t& FitHeight) {
  // Callers only ask with a picture; without one there is no size to keep.
  if (PictureWidth == 0 || PictureHeight == 0) {
    FitWidth = 0;
    FitHeight = 0;
    return;
  }
  const double RatioX = static_cast<double>(BoxWidth) / PictureWidth;
  const double RatioY = static_cast<double>(BoxHeight) / PictureHeight;
  const double Ratio = std::min(RatioX, RatioY);
  FitWidth = nearestWhole(PictureWidth * Ratio);
  FitHeight = nearestWhole(PictureHeight * Ratio);
}
