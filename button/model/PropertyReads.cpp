// What the button's properties read: the stored values, the host surface's values, and the few
// reads that compute something.
#include "button/ztButtons_H.h"

#include <cmath>

int32_t ztButtons_H::ButtonStyle() const { return stored.ButtonStyle; }
int32_t ztButtons_H::Mode() const { return stored.Mode; }
std::string ztButtons_H::Caption() const { return stored.Caption; }
int32_t ztButtons_H::CaptionAlign() const { return stored.CaptionAlign; }
int32_t ztButtons_H::CaptionStyle() const { return stored.CaptionStyle; }
int32_t ztButtons_H::CustomClick() const { return stored.CustomClick; }
int32_t ztButtons_H::ButtonShape() const { return stored.ButtonShape; }
PictureRef ztButtons_H::Picture() const { return stored.Picture; }
int32_t ztButtons_H::PictureAlign() const { return stored.PictureAlign; }
int16_t ztButtons_H::Enabled() const { return UserControl.Enabled() ? vbTrue : vbFalse; }
int16_t ztButtons_H::ShowFocusRect() const { return stored.ShowFocusRect; }
int16_t ztButtons_H::Value() const { return stored.Value; }

int32_t ztButtons_H::PictureSize() {
  if (PictureSizePixels == 0) PictureSizePixels = 16;
  // Exact for the five box edges; an odd edge from an unusual store rounds halves to even.
  return static_cast<int32_t>(std::nearbyint(PictureSizePixels / 8.0 - 2.0));
}

int32_t ztButtons_H::MousePointer() const { return UserControl.MousePointer(); }
PictureRef ztButtons_H::MouseIcon() const { return UserControl.MouseIcon(); }
FontRef ztButtons_H::Font() const { return UserControl.Font(); }

int32_t ztButtons_H::FontStyle() const {
  const FontRef font = UserControl.Font();
  if (!font) return 0;
  return (font->Bold() ? FontBold : 0) | (font->Italic ? FontItalic : 0) |
         (font->Underline ? FontUnderline : 0);
}

OLE_COLOR ztButtons_H::ForeColor() const { return UserControl.ForeColor(); }
OLE_COLOR ztButtons_H::BackColor() const { return stored.BackColor; }
OLE_COLOR ztButtons_H::GradientColor() const { return stored.GradientColor; }
int32_t ztButtons_H::GradientMode() const { return stored.GradientMode; }
int16_t ztButtons_H::ResetDefaultColors() const { return vbFalse; }
int32_t ztButtons_H::HoverColorLocks() const { return stored.HoverColorLocks; }
OLE_COLOR ztButtons_H::HoverForeColor() const { return stored.HoverForeColor; }
OLE_COLOR ztButtons_H::HoverBackColor() const { return stored.HoverBackColor; }
HDC ztButtons_H::hDC() const { return UserControl.hDC(); }
HWND ztButtons_H::hwnd() const { return UserControl.hWnd(); }
