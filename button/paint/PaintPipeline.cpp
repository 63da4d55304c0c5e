// Every picture of the button is composed in its off-screen buffer by the renderer of its style
// and reaches the window in one copy, so no half-drawn state is ever seen. The buffer DC lives as
// long as the control; its bitmap is remade on every resize.
#include "button/paint/PaintArithmetic.h"
#include "button/ztButtons_H.h"

void ztButtons_H::UserControl_Paint() {
  DrawingDelayed = vbFalse;
  RedrawButton();
}

void ztButtons_H::RedrawButton() {
  if (DrawingDelayed) return;
  // Before the first resize there is no buffer to compose into.
  if (!BufferDC) return;

  EdgePointList EdgePoints{};
  EdgeColorList EdgeColors{};
  int16_t PaintState = 0;
  int16_t Inset = 0;

  switch (stored.ButtonStyle) {
    case StyleClassic:
      DrawStyleClassic(EdgePoints, EdgeColors, PaintState, Inset);
      break;
    case StyleFramed:
      DrawStyleFramed(EdgePoints, EdgeColors, PaintState, Inset);
      break;
    case StyleRounded:
      DrawStyleRounded(EdgePoints, EdgeColors, PaintState, Inset);
      break;
    case StyleEtched:
      DrawStyleEtched(EdgePoints, EdgeColors, PaintState, Inset);
      break;
    case StyleThin:
      DrawStyleThin(EdgePoints, EdgeColors, PaintState, Inset);
      break;
    case StyleHotTrack:
      DrawStyleHotTrack(EdgePoints, EdgeColors, PaintState, Inset);
      break;
    case StyleSoftBevel:
      DrawStyleSoftBevel(EdgePoints, EdgeColors, PaintState, Inset);
      break;
    case StyleInverse:
      DrawStyleInverse(EdgePoints, EdgeColors, PaintState, Inset);
      break;
    default:
      // No renderer for this style: nothing is composed and the window keeps what it shows.
      break;
  }

  const int32_t frameColor = EdgeColors[12];
  if (Inset == 0) return;

  CreateBackBuffer(vbFalse);

  if (Inset > 1) {
    const bool pressed = pushedIn(StateFlags);
    const int32_t shape = stored.ButtonShape;
    HRGN region = nullptr;
    bool regionIsCopy = false;
    int32_t color = frameColor;
    auto copyOfWindowRegion = [&] {
      region = CreateRectRgn(0, 0, 0, 0);
      GetWindowRgn(UserControl.hWnd(), region);
      regionIsCopy = true;
    };

    if (shape >= ShapeEllipse && shape <= ShapeEllipseFramed) {
      if (stored.ButtonStyle == StyleRounded && !pressed)
        region = OuterClipRegion;
      else if (shape == ShapeEllipseFramed)
        copyOfWindowRegion();
    } else if (shape == ShapePictureFramed || shape == ShapePictureBeveled) {
      if (Hovering && !pressed) {
        color = stored.ButtonStyle == StyleRounded ? frameColor : HoverFaceColor;
        if (stored.ButtonStyle == StyleRounded || color != TranslateColor(static_cast<int32_t>(stored.BackColor)))
          copyOfWindowRegion();
      } else if (StateFlags & DefaultFrame) {
        region = shape == ShapePictureBeveled ? InnerClipRegion : OuterClipRegion;
        color = (stored.Value && stored.ButtonStyle != StyleRounded) ? ShadeColor(PressedFaceColor, -32) : frameColor;
      }
    }

    if (region) {
      HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(color));
      FrameRgn(UserControl.hDC(), region, brush, 1, 1);
      if (regionIsCopy) DeleteObject(region);
      DeleteObject(brush);
    }
  }

  UserControl.Refresh();
}

void ztButtons_H::CreateBackBuffer(int16_t Create) {
  const int32_t W = nearestInt(UserControl.ScaleWidth());
  const int32_t H = nearestInt(UserControl.ScaleHeight());
  if (Create != vbTrue) {
    BitBlt(UserControl.hDC(), 0, 0, W, H, BufferDC, 0, 0, SRCCOPY);
    return;
  }

  if (!BufferDC) {
    BufferDC = CreateCompatibleDC(UserControl.hDC());
    if (!BufferDC) return;
    // Text is drawn without filling its background. The old value 3 ("new transparent") is no
    // mode of Win32: SetBkMode refuses it and the caption would sit in a white box.
    SetBkMode(BufferDC, TRANSPARENT);
    // The buffer owns a black pen and brush of its own from the start; the originals come back
    // when the control ends.
    HBRUSH brush = CreateSolidBrush(0x000000);
    OldBrush = static_cast<HBRUSH>(SelectObject(BufferDC, brush));
    if (!OldBrush) DeleteObject(brush);
    HPEN pen = CreatePen(PS_SOLID, 1, 0x000000);
    OldPen = static_cast<HPEN>(SelectObject(BufferDC, pen));
    if (!OldPen) DeleteObject(pen);
  }

  PrepareFontAndColors("Font");

  if (!OldBitmap) {
    HBITMAP bitmap = CreateCompatibleBitmap(UserControl.hDC(), W, H);
    if (!bitmap) return;
    OldBitmap = static_cast<HBITMAP>(SelectObject(BufferDC, bitmap));
    if (!OldBitmap) DeleteObject(bitmap);
  }
}
