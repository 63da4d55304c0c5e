// The face under caption and edges: the hover colour or the face colour, solid, darkening line by
// line (the rounded style), or a gradient towards the second colour.
#include "button/paint/PaintArithmetic.h"
#include "button/ztButtons_H.h"

void ztButtons_H::FillButtonFace(int32_t FaceColor, int16_t& PaintState, int16_t& Inset, int32_t& GradientTo,
                                 int32_t& HoverColor) {
  FrameShapedButton(Inset);
  // The button is on its way through a custom click movement: the movement repaints it.
  if (Inset == 0) return;

  const bool pressed = pushedIn(StateFlags);
  PaintState = pressed ? 2 : (StateFlags & DefaultFrame) ? 1 : 0;
  if (HoverColor < 0) HoverColor = FaceColor;

  const bool hoverFace =
      Hovering && ((!pressed && stored.Mode == CommandButton) || (!stored.Value && stored.Mode > CommandButton));
  const int32_t fill = hoverFace ? HoverColor : FaceColor;

  const int32_t W = nearestInt(UserControl.ScaleWidth());
  const int32_t H = nearestInt(UserControl.ScaleHeight());

  if (stored.GradientMode != GradientNone && !stored.Value && stored.ButtonShape < ShapePictureFramed) {
    // A hover colour of its own replaces the gradient while the pointer is over the button.
    if (Hovering && !pressed && stored.GradientColor != stored.HoverBackColor) {
      DrawRect(BufferDC, 0, 0, W, H, HoverColor);
      return;
    }
    if (GradientTo < 0) GradientTo = FaceColor;
    DrawGradient(FaceColor, GradientTo);
    return;
  }

  if (stored.ButtonStyle == StyleRounded && (Enabled() || stored.Mode > CommandButton)) {
    // Darker by up to 25 towards the bottom; a zero height has nothing to darken.
    const double perLine = H > 0 ? -(25.0 / H) : 0.0;
    for (int32_t i = 0; i <= H; ++i) {
      const auto amount = static_cast<int16_t>(nearestInt(perLine * i));
      DrawRect(BufferDC, 0, i, W, i + 1, ShadeColor(fill, amount, vbTrue));
    }
    return;
  }

  DrawRect(BufferDC, 0, 0, W, H, fill);
}
