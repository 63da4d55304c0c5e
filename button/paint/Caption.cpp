// The picture and the caption text of one paint: pushed one pixel while the button is in,
// embossed or engraved by CaptionStyle, in the hover colour under the pointer, and etched (white
// below right, grey on top) when the control is disabled.
#include "button/model/CaptionLines.h"
#include "button/paint/PaintArithmetic.h"
#include "button/ztButtons_H.h"

#include <string>

namespace {

UINT captionFormat(int32_t align) {
  UINT format = DT_LEFT;
  if (align == 1) format = DT_RIGHT;
  if (align == 2) format = DT_CENTER;
  return format | DT_WORDBREAK;
}

}  // namespace

void ztButtons_H::DrawCaption(int32_t Face, int32_t TextColor, int16_t Sunken, int16_t& NoEtch) {
  RECT C = CaptionRect;
  RECT P = PictureRect;
  const bool pressed = pushedIn(StateFlags);
  const int32_t shape = stored.ButtonShape;

  // The etched style keeps its caption in place.
  if ((Sunken || pressed) && stored.ButtonStyle != StyleEtched) {
    const int dx = (shape >= ShapeRectangle && shape <= ShapeSlantBoth) ? 1 : 0;
    OffsetRect(&C, dx, 1);
    OffsetRect(&P, dx, 1);
  }

  // A set picture-shaped button shows its caption in place of the picture.
  if (!(stored.Value && shape >= ShapePictureFramed)) DrawButtonPicture(P);

  // Shapes 5 to 8 show their caption only while set.
  if (stored.Caption.empty() || (shape > ShapeEllipse && !stored.Value)) return;

  const std::string text = captionLines(stored.Caption);
  const UINT format = captionFormat(stored.CaptionAlign);
  auto drawText = [&] { DrawTextA(BufferDC, text.c_str(), static_cast<int>(text.size()), &C, format); };

  if (Enabled()) {
    int32_t color;
    if (Hovering && !pressed)
      color = static_cast<int32_t>(stored.HoverForeColor);
    else if (stored.ButtonStyle == StyleInverse && (stored.Value || stored.GradientMode == GradientNone))
      color = TextColor;
    else
      color = static_cast<int32_t>(UserControl.ForeColor());

    if (stored.CaptionStyle == CaptionSunken || stored.CaptionStyle == CaptionRaised) {
      const int16_t a = stored.CaptionStyle == CaptionRaised ? 40 : -40;
      SetDrawingTools(vbTrue, BufferDC, 2, ShadeColor(Face, a, vbFalse));
      OffsetRect(&C, -1, 0);
      drawText();
      SetDrawingTools(vbTrue, BufferDC, 2, ShadeColor(Face, static_cast<int16_t>(-a), vbFalse));
      OffsetRect(&C, 2, 2);
      drawText();
      OffsetRect(&C, -1, -1);
    }
    SetDrawingTools(vbTrue, BufferDC, 2, color);
    drawText();
    return;
  }

  int32_t color = TextColor;
  if (TextColor < 0 || stored.GradientMode != GradientNone) {
    // No colour of its own, or a gradient under it: the etched look reads on any face.
    color = 0xFFFFFF;
    OffsetRect(&C, 1, 1);
    NoEtch = vbFalse;
  }
  SetDrawingTools(vbTrue, BufferDC, 2, color);
  drawText();
  if (!NoEtch) {
    SetDrawingTools(vbTrue, BufferDC, 2, 0x808080);
    OffsetRect(&C, -1, -1);
    drawText();
  }
}
