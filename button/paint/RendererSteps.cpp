// Steps that most style renderers share: the face and caption of the raised styles, the sunken
// look of the one-pixel bevels, and the colour in which the paint pipeline frames a round or
// picture-shaped button afterwards.
#include "button/paint/PaintArithmetic.h"
#include "button/ztButtons_H.h"

bool ztButtons_H::PaintFaceAndCaption(int32_t& Face, int32_t& FocusColor, int16_t& PaintState, int16_t& Inset) {
  Face = (stored.Mode != CommandButton && stored.Value) ? CheckedFaceColor : FaceColor;
  int32_t gradientTo = TranslateColor(static_cast<int32_t>(stored.GradientColor));
  int32_t hoverColor = HoverFaceColor;
  FillButtonFace(Face, PaintState, Inset, gradientTo, hoverColor);
  if (Inset == 0) return false;

  // A disabled check or option button greys its caption in one pass; a command button is etched.
  const int32_t captionColor = (Enabled() || stored.Mode == CommandButton) ? -1 : 0x808080;
  int16_t noEtch = stored.Mode > CommandButton ? vbTrue : vbFalse;
  DrawCaption(Face, captionColor, stored.Value, noEtch);
  FocusColor = captionColor;
  return true;
}

bool ztButtons_H::SunkenWhileSetOrPushed(int32_t Face, int32_t& FocusColor, int16_t& PaintState) {
  if (stored.Value || (HeldDown && stored.Mode > CommandButton)) {
    // A set (or held) check or option button: sunken, with a black focus mark.
    FocusColor = 0x000000;
    PaintState = 2;
  } else {
    if (stored.ButtonShape != ShapeRectangle) FocusColor = ShadeColor(Face, -48, vbFalse);
    if (PaintState < 2) PaintState = 1;
  }
  return PaintState == 2;
}

void ztButtons_H::ChooseShapedFrame(EdgeColorList& EdgeColors, int16_t& Inset) {
  const int32_t shape = stored.ButtonShape;
  if ((shape == ShapeEllipseFramed && (Hovering || pushedIn(StateFlags))) || shape == ShapePictureFramed ||
      shape == ShapePictureBeveled)
    EdgeColors[12] = 0x000000;
  else
    Inset = 1;  // no frame on the window
}
