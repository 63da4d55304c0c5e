// Pens, brushes and the text colour of the off-screen buffer, and the filled rectangle every face
// and gradient is made of. The buffer always owns exactly one pen and one brush of its own: each
// new one replaces and deletes the one before, and the restore form hands back the originals.
#include "button/ztButtons_H.h"

namespace {

// Selects a freshly made object into the buffer and deletes what it displaced, unless that is the
// DC's original object (kept for the restore form) or the selection failed (the new object is then
// deleted at once, so a missing buffer never leaks what was made for it).
void replaceSelected(HDC dc, HGDIOBJ made, HGDIOBJ original) {
  if (!made) return;
  HGDIOBJ displaced = SelectObject(dc, made);
  if (!displaced) {
    DeleteObject(made);
    return;
  }
  if (displaced != original) DeleteObject(displaced);
}

}  // namespace

void ztButtons_H::SetDrawingTools(int16_t Select, HDC hDC, int32_t ToolKind, int32_t Color, int16_t AlsoPen,
                                  int32_t PenWidth, int32_t PenStyle) {
  if (!Select) {
    if (!BufferDC) return;
    if (OldBrush) {
      HGDIOBJ brush = SelectObject(BufferDC, OldBrush);
      if (brush && brush != OldBrush) DeleteObject(brush);
    }
    if (OldPen) {
      HGDIOBJ pen = SelectObject(BufferDC, OldPen);
      if (pen && pen != OldPen) DeleteObject(pen);
    }
    return;
  }
  switch (ToolKind) {
    case 0:
      if (!BufferDC) return;
      replaceSelected(BufferDC, CreateSolidBrush(static_cast<COLORREF>(Color)), OldBrush);
      if (AlsoPen)
        replaceSelected(BufferDC, CreatePen(PenStyle, PenWidth, static_cast<COLORREF>(Color)), OldPen);
      break;
    case 1:
      if (!BufferDC) return;
      replaceSelected(BufferDC, CreatePen(PenStyle, PenWidth, static_cast<COLORREF>(Color)), OldPen);
      break;
    case 2:
      SetTextColor(hDC, static_cast<COLORREF>(TranslateColor(Color)));
      break;
    default:
      break;
  }
}

void ztButtons_H::DrawRect(HDC hDC, int32_t Left, int32_t Top, int32_t Right, int32_t Bottom, int32_t FillColor) {
  // Outline and interior share the colour, so the rectangle covers Left..Right-1 x Top..Bottom-1.
  SetDrawingTools(vbTrue, hDC, 0, FillColor, vbTrue, 1, PS_SOLID);
  Rectangle(hDC, Left, Top, Right, Bottom);
}
