// The three one-pixel rings around the button (inner, middle, outer), each edge in its own colour,
// following the slanted sides of the diagonal shapes.
#include "button/paint/PaintArithmetic.h"
#include "button/ztButtons_H.h"

void ztButtons_H::DrawBevelEdges(EdgePointList& EdgePoints, const EdgeColorList& EdgeColors, int32_t OuterPenStyle) {
  const int32_t shape = stored.ButtonShape;
  const int32_t dL = (shape == ShapeSlantLeft || shape == ShapeSlantBoth) ? 1 : 0;
  const int32_t dR = (shape == ShapeSlantRight || shape == ShapeSlantBoth) ? 1 : 0;
  const int32_t lsw = LeftSlantWidth;
  const int32_t rss = RightSlantStart;
  const int32_t W = nearestInt(UserControl.ScaleWidth());
  const int32_t H = nearestInt(UserControl.ScaleHeight());

  auto& p = EdgePoints;
  p[0] = {lsw + 2 - 4 * dL, H - 3};
  p[1] = {2 + 2 * dL, 2};
  p[2] = {rss - 3 + 3 * dR, 2};
  p[3] = {W - 3 - 3 * dR, H - 3};
  p[4] = {lsw + 1 - 4 * dL, H - 3};
  p[5] = {p[0].x + dL - 1, p[0].y + 1};
  p[6] = {p[1].x - dL - 1, p[1].y - 1};
  p[7] = {p[2].x + 1 - dR, p[2].y - 1};
  p[8] = {p[3].x + dR + 1, p[3].y + 1};
  p[9] = {p[4].x - 1, p[4].y + 1};
  p[10] = {lsw - dL, H - 1 + dL};
  p[11] = {0, 0};
  p[12] = {rss + dR - 1, 0};
  p[13] = {W - 1, H - 1 + dR};
  p[14] = {lsw - 2 * dL - 1, H - 1};
  p[15] = {W - 1, H - 1};

  // Segment j joins point j to point j + 1; segments 4 and 9 only step from one ring to the next.
  int32_t lastColor = -1;
  for (int j = 0; j <= 13; ++j) {
    if (j == 4 || j == 9) continue;
    const int32_t color = EdgeColors[j < 4 ? j + 1 : j < 9 ? j : j - 1];
    if (color < 0) continue;
    if (color != lastColor) {
      const int32_t style = (j >= 10 && OuterPenStyle >= 0) ? OuterPenStyle : PS_SOLID;
      SetDrawingTools(vbTrue, BufferDC, 1, color, vbFalse, 1, style);
      lastColor = color;
    }
    Polyline(BufferDC, &p[j], 2);
  }
  // Closes the outer bottom line under the slanted left foot, with whatever pen came last.
  if (W != dR) Polyline(BufferDC, &p[14], 2);
}
