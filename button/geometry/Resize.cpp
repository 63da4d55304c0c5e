// The button's size changes and its end. A resize remakes the buffer bitmap at the new size, then
// the window region, then the layout (which depends on the region's slant limits), then paints.
// At the end every GDI object the button owns goes: the buffer bitmap, pen, brush and font (with
// the DC's own objects put back first), the buffer DC, the clip regions and the scaled picture.
// The window region belongs to the window and goes with it.
#include "button/ztButtons_H.h"

void ztButtons_H::UserControl_Resize() {
  if (BufferDC && OldBitmap) {
    HGDIOBJ sized = SelectObject(BufferDC, OldBitmap);
    if (sized) DeleteObject(sized);
    OldBitmap = nullptr;
  }
  CreateBackBuffer(vbTrue);
  // While drawing is delayed (the button's own size changes inside the region code) only the
  // buffer follows; the outer call finishes region, layout and paint at the final size.
  if (DrawingDelayed) return;
  CreateButtonRegion();
  int16_t rebuild = vbFalse;
  CalcCaptionLayout(rebuild);
  RedrawButton();
}

void ztButtons_H::UserControl_Terminate() {
  // Nothing may keep borrowing this button once it is gone: not the hover timer (stopped even
  // when Hovering was cleared under it), not its own window's properties, and not its option
  // group, whose next member change would otherwise call into it.
  if (HWND own = UserControl.hWnd()) {
    KillTimer(own, HoverTimerID);
    RemovePropA(own, "zt_ClassID");
    RemovePropA(own, "zt_TimerID");
  }
  Hovering = vbFalse;
  if (stored.Mode == OptionButton) {
    int16_t action = LeaveGroup;
    int16_t result = vbFalse;
    ToggleOptionGroup(action, result);
  }
  if (InnerClipRegion) {
    DeleteObject(InnerClipRegion);
    InnerClipRegion = nullptr;
  }
  if (OuterClipRegion) {
    DeleteObject(OuterClipRegion);
    OuterClipRegion = nullptr;
  }
  if (BufferDC) {
    SelectClipRgn(BufferDC, nullptr);
    SetDrawingTools(vbFalse);
    OldBrush = nullptr;
    OldPen = nullptr;
    if (OldFont) {
      HGDIOBJ font = SelectObject(BufferDC, OldFont);
      if (font && font != OldFont) DeleteObject(font);
      OldFont = nullptr;
    }
    if (OldBitmap) {
      HGDIOBJ bitmap = SelectObject(BufferDC, OldBitmap);
      if (bitmap && bitmap != OldBitmap) DeleteObject(bitmap);
      OldBitmap = nullptr;
    }
    DeleteDC(BufferDC);
    BufferDC = nullptr;
  }
  if (ScaledPicture) {
    DeleteObject(ScaledPicture);
    ScaledPicture = nullptr;
  }
}
