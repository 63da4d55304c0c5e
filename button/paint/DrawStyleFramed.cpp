// ButtonStyle 1: a black one-pixel frame round a two-pixel bevel, raised (white top-left, grey
// bottom-right) and sunken while pressed or set. The window region cuts its four corner pixels.
#include "button/paint/PaintArithmetic.h"
#include "button/paint/RendererColors.h"
#include "button/ztButtons_H.h"

void ztButtons_H::DrawStyleFramed(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                                  int16_t& Inset) {
  int32_t face = 0;
  int32_t focusColor = 0;
  if (!PaintFaceAndCaption(face, focusColor, PaintState, Inset)) return;

  const int32_t shape = stored.ButtonShape;
  if (shape >= ShapeRectangle && shape <= ShapeSlantBoth) {
    const bool sunken = SunkenWhileSetOrPushed(face, focusColor, PaintState);
    const int32_t topLeft = sunken ? kGrey : kWhite;
    const int32_t bottomRight = sunken ? kWhite : kGrey;
    EdgeColors[1] = EdgeColors[2] = EdgeColors[5] = EdgeColors[6] = topLeft;
    EdgeColors[3] = EdgeColors[4] = EdgeColors[7] = EdgeColors[8] = bottomRight;
    EdgeColors[9] = EdgeColors[10] = EdgeColors[11] = EdgeColors[12] = kBlack;
    DrawBevelEdges(EdgePoints, EdgeColors, -1);
  }

  ChooseShapedFrame(EdgeColors, Inset);
  int16_t aroundCaption = vbFalse;
  DrawFocusRectangle(focusColor, stored.Value, aroundCaption, EdgePoints);
}
