// ButtonStyle 7, the inverse button: a lightened face in a black frame with a light inner bevel,
// turning dark grey with a caption in the light face colour while pressed. Its corners are cut
// from the window region; single pixels carry the frame and the bevel round them.
#include "button/paint/PaintArithmetic.h"
#include "button/paint/RendererColors.h"
#include "button/ztButtons_H.h"

namespace {


int32_t Sb(int32_t color, int16_t amount) { return ShadeColor(color, amount, vbTrue); }

// The colours of the inner ring's top-left (white), of the face, and of the middle ring's
// top-left (light) and bottom-right (dark).
struct BevelColors {
  int32_t white, face, light, dark;
};

// Carries the frame and the bevel round the square corners that the window region cuts off a
// W x H button: the left ones unless the left side is slanted, the right ones unless the right is.
void roundCorners(HDC dc, int32_t W, int32_t H, bool left, bool right, const BevelColors& c) {
  auto pixel = [dc](int32_t x, int32_t y, int32_t color) { SetPixel(dc, x, y, static_cast<COLORREF>(color)); };
  if (left) {
    pixel(3, 3, c.white);
    pixel(1, H - 3, c.face);
    pixel(2, 2, c.light);
    pixel(1, H - 2, kBlack);
    pixel(1, 1, kBlack);
  }
  if (right) {
    pixel(W - 4, H - 4, c.face);
    pixel(W - 3, 1, c.face);
    pixel(W - 3, H - 3, c.dark);
    pixel(W - 2, H - 2, kBlack);
    pixel(W - 2, 1, kBlack);
  }
}

}  // namespace

void ztButtons_H::DrawStyleInverse(EdgePointList& EdgePoints, EdgeColorList& EdgeColors, int16_t& PaintState,
                                   int16_t& Inset) {
  const bool enabled = Enabled() != vbFalse;
  const bool pressed = pushedIn(StateFlags);
  const bool set = stored.Value != vbFalse;
  const int32_t shape = stored.ButtonShape;

  int32_t face = FaceColor;
  int32_t focusColor = kBlack;
  if (stored.Mode == CommandButton) {
    if (pressed) face = PressedFaceColor;
    if (shape >= ShapeSlantLeft) focusColor = ShadeColor(face, -64, vbFalse);
  } else if (set) {
    face = CheckedFaceColor;
    focusColor = ShadeColor(kGrey, -32, vbFalse);
  }

  int32_t gradientTo = face;
  if (!set && stored.GradientMode != GradientNone) {
    gradientTo = ShadeColor(TranslateColor(static_cast<int32_t>(stored.GradientColor)), 31, vbFalse);
    // Pressed, a gradient keeps its own colours rather than the dark pressed face.
    if (pressed) face = FaceColor;
  }
  int32_t hoverColor = HoverFaceColor;
  FillButtonFace(face, PaintState, Inset, gradientTo, hoverColor);
  if (Inset == 0) return;

  int32_t captionColor;
  if ((pressed && stored.Mode == CommandButton) || set)
    captionColor = (enabled || !set) ? FaceColor : Sb(face, -32);
  else if (!enabled)
    captionColor = stored.Mode > CommandButton ? kGrey : kNone;
  else
    captionColor = TranslateColor(static_cast<int32_t>(UserControl.ForeColor()));

  {
    // A hover colour that only repeats the normal caption colour, and any hover colour on a set
    // button, gives way to this style's own caption colour; the property itself comes back
    // however the caption ends.
    struct HoverForeRestore {
      OLE_COLOR& field;
      const OLE_COLOR kept;
      ~HoverForeRestore() { field = kept; }
    } restore{stored.HoverForeColor, stored.HoverForeColor};
    if (stored.HoverForeColor == UserControl.ForeColor() || set)
      stored.HoverForeColor = static_cast<OLE_COLOR>(captionColor);
    int16_t noEtch = stored.Mode > CommandButton ? vbTrue : vbFalse;
    DrawCaption(face, captionColor, stored.Value, noEtch);
  }

  if (shape >= ShapeRectangle && shape <= ShapeSlantBoth) {
    if ((HeldDown && stored.Mode > CommandButton) || set) PaintState = set ? 2 : 0;

    int32_t white = kWhite;
    int32_t light = Sb(face, 31);
    int32_t dark = Sb(face, -64);
    if (PaintState == 2) {
      // Pushed in, the bevel turns to shades of grey (of the face under a gradient).
      const int32_t base = stored.GradientMode != GradientNone ? FaceColor : kGrey;
      face = base;
      white = ShadeColor(base, -32, vbFalse);
      light = ShadeColor(base, -64, vbFalse);
      dark = ShadeColor(base, -16, vbFalse);
    }
    EdgeColors[1] = EdgeColors[2] = white;
    EdgeColors[3] = EdgeColors[4] = face;
    EdgeColors[5] = EdgeColors[6] = light;
    EdgeColors[7] = EdgeColors[8] = dark;
    EdgeColors[9] = EdgeColors[10] = EdgeColors[11] = EdgeColors[12] = kBlack;
    DrawBevelEdges(EdgePoints, EdgeColors, -1);

    const int32_t W = nearestInt(UserControl.ScaleWidth());
    const int32_t H = nearestInt(UserControl.ScaleHeight());
    roundCorners(BufferDC, W, H, LeftSlantWidth == 0, W == RightSlantStart, BevelColors{white, face, light, dark});
  }

  ChooseShapedFrame(EdgeColors, Inset);
  int16_t aroundCaption = vbTrue;
  DrawFocusRectangle(focusColor, stored.Value, aroundCaption, EdgePoints);
}
