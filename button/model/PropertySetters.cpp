// The setters of the button's look and behaviour: each checks its value, drags along what depends
// on it, rebuilds derived state, repaints when the look changed, and reports its store key.
// Out-of-range values are ignored silently; refusals speak only at design time.
#include "button/ztButtons_H.h"

#include "framework/App.h"
#include "framework/RuntimeError.h"

#include <exception>

namespace {

constexpr char kCaptionAlignRefused[] =
    "When button images are aligned top/bottom center, \r\nbutton captions can only be center aligned";
constexpr char kCustomClickShapes[] =
    "This property has no effect unless the Button Shape is a custom shape.";
constexpr char kShapeNeedsBitmap[] =
    "The Picture Property must be assigned first and must be a bitmap or JPEG.";
constexpr char kIconOnShapedButton[] =
    "Icons cannot be used for custom buttons. Only use bitmaps or JPEGs.\r\n"
    "Button was changed to Rectangular shaped.";
constexpr char kFocusOnDefaultButton[] =
    "The focus rectangle may appear on default buttons ONLY while in design mode, \r\n"
    "but will not appear when the form is running.";
constexpr char kValueOnCommandButton[] = "This property is not applicable for command button modes.";
constexpr char kPictureSizeOnShape[] = "The picture size cannot be changed for Shaped buttons";
constexpr char kMouseIconTitle[] = "Select .ico Or .cur Files Only";

int16_t asBoolean(int16_t v) { return v ? vbTrue : vbFalse; }

}  // namespace

void ztButtons_H::setButtonStyle(int32_t Style) {
  if (Style < StyleClassic || Style > StyleInverse) return;
  const int32_t oldStyle = stored.ButtonStyle;
  stored.ButtonStyle = Style;
  // Corner trims of rectangles and slants, and the edges of ellipses, depend on the style.
  if (stored.ButtonShape < ShapeEllipse ||
      (stored.ButtonShape < ShapePictureFramed && (oldStyle == StyleHotTrack || Style == StyleHotTrack)))
    CreateButtonRegion();
  int16_t rebuild = vbFalse;
  CalcCaptionLayout(rebuild);
  PrepareFontAndColors("BackColor");
  RedrawButton();
  PropertyChanged("BackStyle");
}

void ztButtons_H::setMode(int32_t nMode) {
  if (nMode < CommandButton || nMode > OptionButton) return;
  int16_t result = vbFalse;
  if (stored.Mode == OptionButton && nMode < OptionButton) {
    int16_t action = LeaveGroup;
    ToggleOptionGroup(action, result);
  }
  if (nMode == OptionButton && stored.Mode < OptionButton) {
    int16_t action = JoinGroup;
    ToggleOptionGroup(action, result);
  }
  if (nMode == CommandButton && stored.Mode > CommandButton) setValue(vbFalse);
  stored.Mode = nMode;
  RedrawButton();
  PropertyChanged("Mode");
}

void ztButtons_H::setCaption(const std::string& sCaption) {
  // The character after the last "&" is the access key, even after a doubled "&&".
  const size_t amp = sCaption.rfind('&');
  if (amp != std::string::npos) UserControl.setAccessKeys(sCaption.substr(amp + 1, 1));
  stored.Caption = sCaption;
  int16_t rebuild = vbFalse;
  CalcCaptionLayout(rebuild);
  RedrawButton();
  PropertyChanged("Caption");
}

void ztButtons_H::setCaptionAlign(int32_t nAlign) {
  if (nAlign < AlignLeft || nAlign > AlignCenter) return;
  const bool allowed = nAlign == AlignCenter || stored.PictureAlign <= PictureRightOfCaption ||
                       PictureWidth + PictureHeight <= 0;
  if (!allowed) {
    DesignTimeMessage(kCaptionAlignRefused);
    return;
  }
  stored.CaptionAlign = nAlign;
  int16_t rebuild = vbFalse;
  CalcCaptionLayout(rebuild);
  RedrawButton();
  PropertyChanged("CapAlign");
}

void ztButtons_H::setCaptionStyle(int32_t nStyle) {
  if (nStyle < CaptionFlat || nStyle > CaptionRaised) return;
  stored.CaptionStyle = nStyle;
  PropertyChanged("CapStyle");
  if (!stored.Caption.empty()) {
    int16_t rebuild = vbFalse;
    CalcCaptionLayout(rebuild);
    RedrawButton();
  }
}

void ztButtons_H::setCustomClick(int32_t nOpt) {
  if (nOpt < NoMove || nOpt > MoveLeft) return;
  if (nOpt > NoMove && stored.ButtonShape < ShapePictureFramed) DesignTimeMessage(kCustomClickShapes);
  stored.CustomClick = nOpt;
  PropertyChanged("CustomClick");
}

void ztButtons_H::setButtonShape(int32_t nShape) {
  if (nShape < ShapeRectangle || nShape > ShapePictureBeveled) return;
  const bool custom = nShape >= ShapePictureFramed;
  if (custom) {
    if (!stored.Picture || PictureWidth + PictureHeight <= 0 || PictureIsIcon == 1) {
      DesignTimeMessage(kShapeNeedsBitmap);
      return;
    }
    if (PictureSize() != SizeFit) {
      DelayDrawing(vbTrue);
      setPictureSize(SizeFit);  // the shape is not stored yet, so the size is accepted
      DrawingDelayed = vbFalse;
    }
  }
  stored.ButtonShape = nShape;
  if (stored.CaptionAlign != AlignCenter) stored.CaptionAlign = AlignCenter;
  UserControl_Resize();
  DelayDrawing(vbFalse);
  PropertyChanged("Shape");
}

void ztButtons_H::setPicture(PictureRef xPic) {
  stored.Picture = std::move(xPic);
  if (PictureSizePixels == 0) PictureSizePixels = 16;
  PrepareFontAndColors("Picture");
  if (stored.ButtonShape <= ShapeEllipseFramed) {
    int16_t rebuild = vbTrue;
    CalcCaptionLayout(rebuild);
    RedrawButton();
  }
  if (stored.ButtonShape == ShapePictureFramed || stored.ButtonShape == ShapePictureBeveled) {
    if (!stored.Picture) {
      setButtonShape(ShapeRectangle);
    } else if (PictureIsIcon == 1) {
      setButtonShape(ShapeRectangle);
      DesignTimeMessage(kIconOnShapedButton);
    }
    UserControl_Resize();
  }
  PropertyChanged("Image");
}

void ztButtons_H::setPictureAlign(int32_t ImgAlign) {
  if (ImgAlign < PictureLeftEdge || ImgAlign > PictureBelowCaption) return;
  stored.PictureAlign = ImgAlign;
  if (ImgAlign == PictureAboveCaption || ImgAlign == PictureBelowCaption) setCaptionAlign(AlignCenter);
  int16_t rebuild = vbFalse;
  CalcCaptionLayout(rebuild);
  RedrawButton();
  PropertyChanged("ImgAlign");
}

void ztButtons_H::setEnabled(int16_t bEnabled) {
  const int16_t value = asBoolean(bEnabled);
  if (value == Enabled()) return;
  UserControl.setEnabled(value != vbFalse);
  // The etched style trims its corners only while enabled, so its region changes with it.
  if (stored.ButtonStyle == StyleEtched && stored.Mode == CommandButton &&
      stored.ButtonShape < ShapeEllipse) {
    DelayDrawing(vbTrue);
    CreateButtonRegion();
    int16_t rebuild = vbFalse;
    CalcCaptionLayout(rebuild);
    DelayDrawing(vbFalse);
  } else {
    RedrawButton();
  }
  PropertyChanged("Enabled");
}

void ztButtons_H::setShowFocusRect(int16_t bShow) {
  stored.ShowFocusRect = asBoolean(bShow);
  if (StateFlags & DefaultFrame) {
    if (Ambient.UserMode()) {
      StateFlags &= static_cast<int16_t>(~DefaultFrame);
      RedrawButton();
    } else {
      DesignTimeMessage(kFocusOnDefaultButton);
    }
  } else {
    RedrawButton();
  }
  PropertyChanged("Focus");
}

void ztButtons_H::setValue(int16_t bValue) {
  const int16_t value = asBoolean(bValue);
  if (value && stored.Mode == CommandButton) {
    DesignTimeMessage(kValueOnCommandButton);
    return;
  }
  stored.Value = value;
  if (value && stored.Mode == OptionButton) {
    int16_t action = ReleaseOthers;
    int16_t result = vbFalse;
    ToggleOptionGroup(action, result);
  }
  RedrawButton();
  PropertyChanged("Value");
}

void ztButtons_H::setPictureSize(int32_t nSize) {
  if (nSize < Size16 || nSize > SizeFit) return;
  if (stored.ButtonShape == ShapePictureFramed || stored.ButtonShape == ShapePictureBeveled) {
    DesignTimeMessage(kPictureSizeOnShape);
    return;
  }
  PictureSizePixels = static_cast<int16_t>((nSize + 2) * 8);
  int16_t rebuild = vbTrue;
  CalcCaptionLayout(rebuild);
  RedrawButton();
  PropertyChanged("ImgSize");
}

void ztButtons_H::setMousePointer(int32_t nPointer) {
  if (nPointer < INT16_MIN || nPointer > INT16_MAX) throw RuntimeError(ErrOverflow, "Overflow");
  UserControl.setMousePointer(static_cast<int16_t>(nPointer));
  PropertyChanged("mPointer");
}

void ztButtons_H::setMouseIcon(PictureRef nIcon) {
  try {
    // Only icons and cursors can be a pointer; the surface takes any picture, so the refusal a
    // pointer-aware host would raise is raised here.
    if (nIcon && nIcon->Type() != vbPicTypeIcon)
      throw RuntimeError(ErrInvalidPropertyValue, "Invalid property value");
    const bool given = nIcon != nullptr;
    UserControl.setMouseIcon(std::move(nIcon));
    if (given) {
      setMousePointer(vbCustom);
      PropertyChanged("mIcon");
    }
  } catch (const RuntimeError& e) {
    if (!Ambient.UserMode()) MsgBox(e.Description, vbInformation, kMouseIconTitle);
  } catch (const std::exception& e) {
    if (!Ambient.UserMode()) MsgBox(e.what(), vbInformation, kMouseIconTitle);
  }
}

void ztButtons_H::setFont(FontRef nFont) {
  UserControl.setFont(std::move(nFont));
  PrepareFontAndColors("Font");
  int16_t rebuild = vbFalse;
  CalcCaptionLayout(rebuild);
  RedrawButton();
  PropertyChanged("Font");
}

void ztButtons_H::setFontStyle(int32_t nStyle) {
  const FontRef font = UserControl.Font();
  if (font) {
    font->setBold((nStyle & FontBold) != 0);
    font->Italic = (nStyle & FontItalic) != 0;
    font->Underline = (nStyle & FontUnderline) != 0;
  }
  PrepareFontAndColors("Font");
  int16_t rebuild = vbFalse;
  CalcCaptionLayout(rebuild);
  PropertyChanged("Font");
  RedrawButton();
}
