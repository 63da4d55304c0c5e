// ButtonStyle 4: a single one-pixel bevel on the button's edge, raised normally and sunken while
// pressed or set; the default button has no frame of its own, only the focus rectangle.
#include "button/paint/PaintArithmetic.h"
#include "button/paint/RendererColors.h"
#include "button/ztButtons_H.h"

void ztButtons_H::DrawStyleThin(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                                int16_t& Inset) {
  int32_t face = 0;
  int32_t focusColor = 0;
  if (!PaintFaceAndCaption(face, focusColor, PaintState, Inset)) return;

  const int32_t shape = stored.ButtonShape;
  if (shape >= ShapeRectangle && shape <= ShapeSlantBoth) {
    for (size_t i = 1; i <= 8; ++i) EdgeColors[i] = kNone;
    const bool sunken = SunkenWhileSetOrPushed(face, focusColor, PaintState);
    EdgeColors[9] = EdgeColors[10] = sunken ? kGrey : kWhite;
    EdgeColors[11] = EdgeColors[12] = sunken ? kWhite : kGrey;
    DrawBevelEdges(EdgePoints, EdgeColors, -1);
  }

  ChooseShapedFrame(EdgeColors, Inset);
  int16_t aroundCaption = vbFalse;
  DrawFocusRectangle(focusColor, stored.Value, aroundCaption, EdgePoints);
}
