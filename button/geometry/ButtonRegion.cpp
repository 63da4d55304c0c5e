// The outline of the button as its window's region: only pixels inside it exist on screen, are
// painted and take the mouse. Rectangles and slants reach one pixel past the client area on the
// right and at the bottom; some styles cut their corners. Slanted buttons too narrow for their
// slants are widened, and picture-shaped buttons take their picture's proportions. Round and
// picture-shaped buttons also keep two clip regions, one and two pixels inside the outline, for
// painting their edge and their face.
#include "button/geometry/WholePixels.h"
#include "button/ztButtons_H.h"

#include "framework/App.h"
#include "framework/Form.h"

#include <initializer_list>

namespace {

// Cuts one polygon (a corner triangle) out of the region.
void cutPolygon(HRGN region, std::initializer_list<POINT> points) {
  HRGN trim = CreatePolygonRgn(points.begin(), static_cast<int>(points.size()), WINDING);
  if (!trim) return;
  CombineRgn(region, region, trim, RGN_DIFF);
  DeleteObject(trim);
}

// Cuts the single pixel (x, y) out of the region.
void cutPixel(HRGN region, int32_t x, int32_t y) {
  HRGN trim = CreateRectRgn(x, y, x + 1, y + 1);
  if (!trim) return;
  CombineRgn(region, region, trim, RGN_DIFF);
  DeleteObject(trim);
}

// The corner cuts of a W x H outline, by style; the left and right groups are applied apart so
// that a slanted button cuts only its square side.
void trimCorners(HRGN region, int32_t style, bool enabled, int32_t W, int32_t H, bool left, bool right) {
  switch (style) {
    case ztButtons_H::StyleFramed:
      if (left) {
        cutPixel(region, 0, 0);
        cutPixel(region, 0, H - 1);
      }
      if (right) {
        cutPixel(region, W - 1, H - 1);
        cutPixel(region, W - 1, 0);
      }
      break;
    case ztButtons_H::StyleEtched:
      // The etched style shows its cut corners only while it can be pressed.
      if (!enabled) break;
      if (left) cutPixel(region, 0, H - 1);
      if (right) cutPixel(region, W - 1, 0);
      break;
    case ztButtons_H::StyleRounded:
    case ztButtons_H::StyleInverse:
      if (left) {
        cutPolygon(region, {{0, 0}, {2, 0}, {0, 2}});
        cutPolygon(region, {{0, H}, {3, H}, {0, H - 3}});
      }
      if (right) {
        cutPolygon(region, {{W, 0}, {W - 2, 0}, {W, 2}});
        cutPolygon(region, {{W, H}, {W - 3, H}, {W, H - 3}});
      }
      break;
    default:
      break;
  }
}

}  // namespace

void ztButtons_H::CreateButtonRegion() {
  int32_t W = nearestWhole(UserControl.ScaleWidth());
  int32_t H = nearestWhole(UserControl.ScaleHeight());
  const int32_t shape = stored.ButtonShape;
  const int32_t style = stored.ButtonStyle;
  const bool enabled = Enabled() != vbFalse;

  LeftSlantWidth = 0;
  RightSlantStart = W;
  if (BufferDC) SelectClipRgn(BufferDC, nullptr);
  if (InnerClipRegion) {
    DeleteObject(InnerClipRegion);
    InnerClipRegion = nullptr;
  }
  if (OuterClipRegion) {
    DeleteObject(OuterClipRegion);
    OuterClipRegion = nullptr;
  }

  HRGN region = nullptr;
  if (shape == ShapeRectangle) {
    region = CreateRectRgn(0, 0, W + 1, H + 1);
    if (region) trimCorners(region, style, enabled, W, H, true, true);
  } else if (shape >= ShapeEllipse && shape <= ShapeEllipseFramed) {
    region = CreateEllipticRgn(0, 0, W, H);
    if (style != StyleHotTrack && BufferDC && region) {
      if (shape == ShapeEllipseFramed) {
        HBRUSH black = CreateSolidBrush(0x000000);
        FrameRgn(BufferDC, region, black, 1, 1);
        DeleteObject(black);
      } else {
        const int32_t savedMode = stored.GradientMode;
        stored.GradientMode = GradientTopToBottom;
        DrawGradient(0xFFFFFF, 0x808080);
        stored.GradientMode = savedMode;
      }
    }
    if (BufferDC) SelectClipRgn(BufferDC, nullptr);
    OuterClipRegion = CreateEllipticRgn(1, 1, W - 1, H - 1);
    InnerClipRegion = CreateEllipticRgn(2, 2, W - 2, H - 2);
  } else if (shape == ShapePictureFramed || shape == ShapePictureBeveled) {
    // Without a picture there is no outline to take: the window keeps the one it has.
    if (PictureWidth == 0 || PictureHeight == 0) return;
    DelayDrawing(vbTrue);
    int32_t FW = 0, FH = 0;
    FitPictureToBox(W, H, FW, FH);
    UserControl.Size(nearestWhole(FW * static_cast<double>(Screen.TwipsPerPixelX())),
                     nearestWhole(FH * static_cast<double>(Screen.TwipsPerPixelY())));
    W = nearestWhole(UserControl.ScaleWidth());
    H = nearestWhole(UserControl.ScaleHeight());
    RightSlantStart = W;
    DrawingDelayed = vbFalse;
    region = CreateRectRgn(0, 0, W, H);
    if (region) {
      PrepareScaledPicture(W, H, region);
      if (BufferDC) {
        if (shape == ShapePictureBeveled) {
          const int32_t savedMode = stored.GradientMode;
          stored.GradientMode = GradientTopToBottom;
          DrawGradient(0xFFFFFF, 0x808080);
          stored.GradientMode = savedMode;
        } else {
          HBRUSH edge = CreateSolidBrush(static_cast<COLORREF>(TranslateColor(static_cast<int32_t>(stored.BackColor))));
          FrameRgn(BufferDC, region, edge, 1, 1);
          DeleteObject(edge);
        }
        SelectClipRgn(BufferDC, OuterClipRegion);
      }
    }
  } else {
    // The slanted shapes; any shape number beyond them is a rectangle made the same way, without
    // slants, without widening and without corner cuts.
    const bool slanted = shape >= ShapeSlantLeft && shape <= ShapeSlantBoth;
    const float q = (UserControl.ScaleHeight() + 1.0f) / 4.0f;
    const int32_t d = slanted ? nearestWhole(4.0f * q) : 0;
    if (slanted && W - d < 5) {
      // Too narrow for its slants: grow in steps of 5 pixels until 5 pixels stay clear.
      const int32_t W2 = W + ((5 - (W - d) + 4) / 5) * 5;
      DelayDrawing(vbTrue);
      const int16_t units = UserControl.Parent().isMDIFrame() ? vbTwips : UserControl.Parent().ScaleMode();
      UserControl.setWidth(nearestWhole(UserControl.ScaleX(static_cast<float>(W2), vbPixels, units)));
      W = nearestWhole(UserControl.ScaleWidth());
      RightSlantStart = W;
      DrawingDelayed = vbFalse;
    }
    const int32_t e = nearestWhole(static_cast<double>(UserControl.ScaleWidth()) - d);
    POINT points[4] = {{0, 0}, {0, H + 1}, {W + 1, H + 1}, {W + 1, 0}};
    if (shape == ShapeSlantLeft || shape == ShapeSlantBoth) {
      points[1] = POINT{d, H + 1};
      LeftSlantWidth = d;
    }
    if (shape == ShapeSlantRight || shape == ShapeSlantBoth) {
      points[3] = POINT{e + 1, 0};
      RightSlantStart = e;
    }
    region = CreatePolygonRgn(points, 4, WINDING);
    if (region && (shape == ShapeSlantLeft || shape == ShapeSlantRight))
      trimCorners(region, style, enabled, W, H, shape == ShapeSlantRight, shape == ShapeSlantLeft);
  }

  if (region) {
    // The window owns the region once it takes it; a window that refuses it leaves it to us.
    if (!SetWindowRgn(UserControl.hWnd(), region, TRUE)) DeleteObject(region);
  }
  if (RightSlantStart == 0) RightSlantStart = W;
}
