// ButtonStyle 6, the soft bevel: a flat face in a two-pixel bevel of near-white and grey, light at
// the top and left while raised, the two colours swapped while pressed or set.
#include "button/paint/PaintArithmetic.h"
#include "button/paint/RendererColors.h"
#include "button/ztButtons_H.h"

void ztButtons_H::DrawStyleSoftBevel(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                                     int16_t& Inset) {
  int32_t face = 0;
  int32_t focusColor = 0;
  if (!PaintFaceAndCaption(face, focusColor, PaintState, Inset)) return;

  const int32_t shape = stored.ButtonShape;
  if (shape >= ShapeRectangle && shape <= ShapeSlantBoth) {
    const int32_t light = ShadeColor(0xDFDFDF, 8, vbFalse);
    for (size_t i = 1; i <= 4; ++i) EdgeColors[i] = kNone;
    if ((HeldDown && stored.Mode > CommandButton) || stored.Value) {
      focusColor = kBlack;
      PaintState = 1;
    } else {
      PaintState = pushedIn(StateFlags) ? 1 : 0;
      if (shape != ShapeRectangle) focusColor = ShadeColor(face, -48, vbFalse);
    }
    const bool sunken = PaintState == 1;
    const int32_t topLeft = sunken ? kGrey : light;
    const int32_t bottomRight = sunken ? light : kGrey;
    EdgeColors[5] = EdgeColors[6] = EdgeColors[9] = EdgeColors[10] = topLeft;
    EdgeColors[7] = EdgeColors[8] = EdgeColors[11] = EdgeColors[12] = bottomRight;
    DrawBevelEdges(EdgePoints, EdgeColors, -1);
  }

  ChooseShapedFrame(EdgeColors, Inset);
  int16_t aroundCaption = vbFalse;
  DrawFocusRectangle(focusColor, stored.Value, aroundCaption, EdgePoints);
}
