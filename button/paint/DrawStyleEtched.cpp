// ButtonStyle 3: a flat face in an etched groove (dark outside and light inside at the top and
// left, the other way round at the bottom and right). The caption never moves when pressed; the
// default button is marked by a solid rectangle round its caption.
#include "button/paint/PaintArithmetic.h"
#include "button/paint/RendererColors.h"
#include "button/ztButtons_H.h"

namespace {
constexpr int32_t kFocusMark = 0xCC9999;
}  // namespace

void ztButtons_H::DrawStyleEtched(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                                  int16_t& Inset) {
  const bool enabled = Enabled() != vbFalse;
  int32_t face = FaceColor;
  if (stored.Mode > CommandButton && stored.Value)
    face = CheckedFaceColor;
  else if (stored.Mode == CommandButton && pushedIn(StateFlags))
    face = PressedFaceColor;
  int32_t gradientTo = TranslateColor(static_cast<int32_t>(stored.GradientColor));
  int32_t hoverColor = HoverFaceColor;
  FillButtonFace(face, PaintState, Inset, gradientTo, hoverColor);
  if (Inset == 0) return;

  const int32_t grey = 0x808080;
  const int32_t captionColor = enabled ? grey : ShadeColor(grey, -16, vbFalse);
  int16_t noEtch = vbTrue;
  DrawCaption(face, captionColor, vbFalse, noEtch);

  const int32_t shape = stored.ButtonShape;
  if (shape >= ShapeRectangle && shape <= ShapeSlantBoth) {
    const int32_t dark = ShadeColor(grey, -26, vbFalse);
    int32_t outerLight = kWhite;
    if (enabled || stored.Mode > CommandButton) {
      for (size_t i = 1; i <= 4; ++i) EdgeColors[i] = kNone;
      if (stored.Mode > CommandButton) PaintState = (stored.Value || HeldDown) ? 2 : 3;
      if (PaintState < 2) PaintState = 1;
      // Pressed or set, the light inner line sinks into the face.
      EdgeColors[5] = EdgeColors[6] = PaintState == 2 ? face : kWhite;
      EdgeColors[7] = EdgeColors[8] = dark;
    } else {
      // A disabled command button keeps only the dark groove.
      for (size_t i = 1; i <= 8; ++i) EdgeColors[i] = face;
      outerLight = dark;
    }
    EdgeColors[9] = EdgeColors[10] = dark;
    EdgeColors[11] = EdgeColors[12] = outerLight;
    DrawBevelEdges(EdgePoints, EdgeColors, -1);
  }

  ChooseShapedFrame(EdgeColors, Inset);
  int32_t focusColor = kFocusMark;
  int16_t aroundCaption = vbTrue;
  DrawFocusRectangle(focusColor, vbTrue, aroundCaption, EdgePoints);
}
