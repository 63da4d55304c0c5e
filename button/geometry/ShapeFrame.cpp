// The edge of round and picture-shaped buttons, painted at the start of every face fill: a raised
// or sunken gradient ring, or a one-pixel frame along the window's outline. It leaves the clip
// region for the face selected in the buffer and says how far the face lies inside the edge.
#include "button/ztButtons_H.h"

void ztButtons_H::FrameShapedButton(int16_t& Inset) {
  // A button that has just moved into its pressed place is repainted by that move.
  int16_t moved = vbFalse;
  MoveForCustomClick(moved);
  if (moved) {
    Inset = 0;
    return;
  }
  Inset = 1;

  const int32_t style = stored.ButtonStyle;
  const int32_t shape = stored.ButtonShape;
  const bool pressed = (StateFlags & (Pressed | PointerOver)) == (Pressed | PointerOver);
  const bool hovering = Hovering != vbFalse;
  const bool set = stored.Value != vbFalse;
  // Ellipses with a black frame and buttons framed in the back colour draw no gradient ring.
  const bool ringed = shape != ShapeEllipseFramed && shape != ShapePictureFramed;

  if (style == StyleHotTrack && !hovering && !pressed && !set) {
    SelectClipRgn(BufferDC, nullptr);
    return;
  }

  const int32_t savedMode = stored.GradientMode;
  SelectClipRgn(BufferDC, nullptr);

  if (style == StyleHotTrack && (set || ringed)) {
    stored.GradientMode = GradientTopToBottom;
    DrawGradient(0xFFFFFF, 0x808080);
    SelectClipRgn(BufferDC, InnerClipRegion);
    Inset = 4;
  }

  if ((pressed || set) && ringed) {
    SelectClipRgn(BufferDC, OuterClipRegion);
    stored.GradientMode = GradientTopToBottom;
    DrawGradient(0x808080, 0xFFFFFF);
    SelectClipRgn(BufferDC, InnerClipRegion);
    Inset = 4;
  } else if (ringed) {
    SelectClipRgn(BufferDC, OuterClipRegion);
    Inset = 3;
  } else if (shape == ShapePictureFramed || hovering) {
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    if (outline) {
      GetWindowRgn(UserControl.hWnd(), outline);
      const COLORREF color = shape == ShapeEllipseFramed
                                 ? 0x000000
                                 : static_cast<COLORREF>(TranslateColor(static_cast<int32_t>(stored.BackColor)));
      HBRUSH brush = CreateSolidBrush(color);
      FrameRgn(BufferDC, outline, brush, 1, 1);
      DeleteObject(brush);
      DeleteObject(outline);
    }
    SelectClipRgn(BufferDC, OuterClipRegion);
    Inset = 3;
  }

  stored.GradientMode = savedMode;
}
