// ButtonStyle 2, the look of the program's own buttons: cut corners, a dark blue outer line, a face
// that darkens downwards, and inner rings shaded from the face, blue for the focused button and
// orange under the pointer.
#include "button/paint/PaintArithmetic.h"
#include "button/paint/RendererColors.h"
#include "button/ztButtons_H.h"

namespace {

constexpr int32_t kOuterLine = 0x733C00;

int32_t Sb(int32_t color, int16_t amount) { return ShadeColor(color, amount, -1); }

}  // namespace

void ztButtons_H::DrawStyleRounded(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                                   int16_t& Inset) {
  const bool enabled = Enabled() != 0;
  const bool pressed = pushedIn(StateFlags);
  int32_t base;
  int32_t face;
  if (stored.Mode > CommandButton) {
    base = face = stored.Value ? CheckedFaceColor : FaceColor;
  } else {
    base = FaceColor;
    if (pressed && stored.GradientMode == GradientNone)
      face = PressedFaceColor;
    else
      face = enabled ? base : Sb(base, -24);
  }
  const int32_t captionColor = enabled ? 0 : Sb(face, -104);

  int32_t gradientTo = 0;
  if (stored.ButtonShape < ShapePictureFramed)
    gradientTo = stored.GradientMode != GradientNone
                     ? Sb(TranslateColor(static_cast<int32_t>(stored.GradientColor)), 48)
                     : face;
  int32_t hoverColor = HoverFaceColor;
  FillButtonFace(face, PaintState, Inset, gradientTo, hoverColor);
  if (Inset == 0) return;

  int16_t noEtch = vbTrue;
  DrawCaption(face, captionColor, stored.Value, noEtch);

  const int32_t shape = stored.ButtonShape;
  if (shape >= ShapeEllipse && shape <= ShapePictureBeveled) {
    // The paint pipeline frames round and picture buttons in this colour.
    if ((StateFlags & DefaultFrame) && !Hovering)
      EdgeColors[12] = 0xEF826B;
    else if (Hovering)
      EdgeColors[12] = 0x0096E7;
    else
      Inset = 1;
    return;
  }

  int32_t outer;
  if (enabled) {
    if (stored.Value || (HeldDown && stored.Mode > CommandButton)) PaintState = (StateFlags & DefaultFrame) ? 1 : 2;
    const bool hot = (StateFlags & PointerOver) && !(StateFlags & Pressed);
    if (hot)
      PaintState = 3;
    else if (PaintState == 1 && !stored.ShowFocusRect)
      PaintState = 0;

    switch (PaintState) {
      case 0:
        EdgeColors[1] = Sb(base, -10);
        EdgeColors[2] = Sb(base, 10);
        EdgeColors[3] = Sb(base, -24);
        EdgeColors[4] = Sb(base, -32);
        EdgeColors[5] = Sb(base, -5);
        EdgeColors[6] = Sb(base, 16);
        EdgeColors[7] = Sb(base, -36);
        EdgeColors[8] = Sb(base, -48);
        break;
      case 1:  // focused: blue
        EdgeColors[1] = 0xF0D1B5;
        EdgeColors[2] = 0xF7D7BD;
        EdgeColors[3] = 0xF0D1B5;
        EdgeColors[4] = 0xE7AE8C;
        EdgeColors[5] = 0xE7AE8C;
        EdgeColors[6] = 0xFFDFBF;
        EdgeColors[7] = 0xE7AE8C;
        EdgeColors[8] = 0xEF826B;
        break;
      case 2:  // pressed
        EdgeColors[1] = Sb(base, -22);
        EdgeColors[2] = Sb(base, -24);
        EdgeColors[3] = base;
        EdgeColors[4] = Sb(base, 10);
        EdgeColors[5] = Sb(base, -32);
        EdgeColors[6] = Sb(base, -32);
        EdgeColors[7] = Sb(base, 5);
        EdgeColors[8] = Sb(base, 16);
        break;
      default:  // hot: orange
        EdgeColors[1] = 0x6BCBFF;
        EdgeColors[2] = 0x8CDBFF;
        EdgeColors[3] = 0x6BCBFF;
        EdgeColors[4] = 0x31B2FF;
        EdgeColors[5] = 0x31B2FF;
        EdgeColors[6] = 0xA6E9FF;
        EdgeColors[7] = 0x31B2FF;
        EdgeColors[8] = 0x0096E7;
        break;
    }
    outer = kOuterLine;
  } else {
    for (int i = 1; i <= 8; ++i) EdgeColors[static_cast<size_t>(i)] = kNone;
    outer = Sb(base, -84);
  }
  EdgeColors[9] = EdgeColors[10] = EdgeColors[11] = EdgeColors[12] = outer;
  DrawBevelEdges(EdgePoints, EdgeColors, -1);

  // With the triangles cut from the window region, these pixels carry the outer line round the
  // square corners.
  const int32_t W = nearestInt(UserControl.ScaleWidth());
  const int32_t H = nearestInt(UserControl.ScaleHeight());
  if (LeftSlantWidth == 0) {
    SetPixel(BufferDC, 1, H - 2, static_cast<COLORREF>(outer));
    SetPixel(BufferDC, 1, 1, static_cast<COLORREF>(outer));
  }
  if (W == RightSlantStart) {
    SetPixel(BufferDC, W - 2, H - 2, static_cast<COLORREF>(outer));
    SetPixel(BufferDC, W - 2, 1, static_cast<COLORREF>(outer));
  }
}
