// ButtonStyle 0, the look of a new button: raised grey bevel (white and light top-left, black and
// grey bottom-right), a black outer frame for the default button, sunken while set.
#include "button/paint/PaintArithmetic.h"
#include "button/paint/RendererColors.h"
#include "button/ztButtons_H.h"

namespace {
constexpr int32_t kLight = 0xE9E9E9;
}  // namespace

void ztButtons_H::DrawStyleClassic(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                                   int16_t& Inset) {
  int32_t face = 0;
  int32_t focusColor = 0;
  if (!PaintFaceAndCaption(face, focusColor, PaintState, Inset)) return;

  const int32_t shape = stored.ButtonShape;
  const bool pressed = pushedIn(StateFlags);

  if (shape >= ShapeRectangle && shape <= ShapeSlantBoth) {
    int32_t light = pressed ? face : kLight;
    const bool setLook = stored.Value || (HeldDown && stored.Mode > CommandButton);
    if (setLook) {
      PaintState = 3;
      light = kLight;
      focusColor = kBlack;
    } else if (shape != ShapeRectangle) {
      focusColor = ShadeColor(face, -48, vbFalse);
    }

    int32_t innerTopLeft = kNone, innerBottomRight = kNone, middleTopLeft = kNone, middleBottomRight = kNone;
    switch (PaintState) {
      case 0:
        middleTopLeft = light;
        middleBottomRight = kGrey;
        break;
      case 1:
        innerTopLeft = light;
        innerBottomRight = kGrey;
        middleTopLeft = kWhite;
        middleBottomRight = kBlack;
        break;
      case 2:
        middleBottomRight = kGrey;
        break;
      default:
        middleBottomRight = light;
        break;
    }
    EdgeColors[1] = EdgeColors[2] = innerTopLeft;
    EdgeColors[3] = EdgeColors[4] = innerBottomRight;
    EdgeColors[5] = EdgeColors[6] = middleTopLeft;
    EdgeColors[7] = EdgeColors[8] = middleBottomRight;

    if (setLook) {
      EdgeColors[9] = EdgeColors[10] = kBlack;
      EdgeColors[11] = EdgeColors[12] = kWhite;
    } else {
      EdgeColors[9] = EdgeColors[10] = (StateFlags & DefaultFrame) ? kBlack : kWhite;
      EdgeColors[11] = EdgeColors[12] = kBlack;
    }
    DrawBevelEdges(EdgePoints, EdgeColors, -1);
  }

  ChooseShapedFrame(EdgeColors, Inset);
  int16_t aroundCaption = vbFalse;
  DrawFocusRectangle(focusColor, stored.Value, aroundCaption, EdgePoints);
}
