// ButtonStyle 5, the flat hot-track button: face and caption only, a one-pixel raised ring while
// the pointer is over it (sunken while pressed or set). In the form designer a button with no ring
// would be invisible on its window, so it gets a dotted outline in a shade of the container.
#include "button/paint/PaintArithmetic.h"
#include "button/paint/RendererColors.h"
#include "button/ztButtons_H.h"

void ztButtons_H::DrawStyleHotTrack(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                                    int16_t& Inset) {
  int32_t face = 0;
  int32_t captionColor = 0;
  if (!PaintFaceAndCaption(face, captionColor, PaintState, Inset)) return;

  const int32_t shape = stored.ButtonShape;
  const bool setFace = stored.Mode != CommandButton && stored.Value;
  int32_t focusColor = (!setFace && shape >= ShapeSlantLeft) ? ShadeColor(ParentBackColor, -32, vbFalse) : kBlack;
  const bool designTime = !Ambient.UserMode();

  if (designTime && shape >= ShapeEllipse && shape <= ShapeEllipseFramed) {
    // The whole dotted ellipse, over the edge as well as the face.
    SelectClipRgn(BufferDC, nullptr);
    SetDrawingTools(vbTrue, BufferDC, 1, ShadeColor(ParentBackColor, -32, vbFalse), vbFalse, 1, PS_DOT);
    const int32_t W = nearestInt(UserControl.ScaleWidth());
    const int32_t H = nearestInt(UserControl.ScaleHeight());
    Arc(BufferDC, 0, 0, W - 1, H - 1, 0, 0, 0, 0);
    SelectClipRgn(BufferDC, OuterClipRegion);
  } else if (shape >= ShapeRectangle && shape <= ShapeSlantBoth) {
    for (size_t i = 1; i <= 8; ++i) EdgeColors[i] = kNone;
    int32_t topLeft = kNone;
    int32_t bottomRight = kNone;
    if ((StateFlags & PointerOver) || stored.Value) {
      if (stored.Value || (HeldDown && stored.Mode > CommandButton)) PaintState = 2;
      if (PaintState < 2) PaintState = 1;
      const bool sunken = PaintState == 2;
      topLeft = sunken ? kGrey : kWhite;
      bottomRight = sunken ? kWhite : kGrey;
    } else if (designTime) {
      // A container so dark that the shade is black gets a white outline instead.
      int32_t outline = ShadeColor(ParentBackColor, -64, vbFalse);
      if (outline == kBlack) outline = kWhite;
      topLeft = bottomRight = outline;
    }
    EdgeColors[9] = EdgeColors[10] = topLeft;
    EdgeColors[11] = EdgeColors[12] = bottomRight;
    DrawBevelEdges(EdgePoints, EdgeColors, designTime ? PS_DOT : PS_SOLID);
  }

  ChooseShapedFrame(EdgeColors, Inset);
  int16_t aroundCaption = vbFalse;
  DrawFocusRectangle(focusColor, stored.Value, aroundCaption, EdgePoints);
}
