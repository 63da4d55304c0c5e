// The button's side of its window's property store: which keys it writes, with which kinds and
// defaults, and how it reads them back when a saved button is created.
#include "button/ztButtons_H.h"

#include "framework/RuntimeError.h"

#include <exception>
#include <functional>

namespace {

// A value of the wrong kind under a key ends the reading; the error says which key it was.
template <typename T>
T readAs(const PropertyBag& bag, const char* key, const PropertyValue* defaultValue,
         T (PropertyValue::*convert)() const) {
  const PropertyValue value = defaultValue ? bag.ReadProperty(key, *defaultValue) : bag.ReadProperty(key);
  try {
    return (value.*convert)();
  } catch (const RuntimeError& e) {
    throw RuntimeError(e.Number, e.Description + " in the stored property \"" + key + "\"");
  }
}

int32_t readLong(const PropertyBag& bag, const char* key, int32_t defaultValue) {
  const PropertyValue d(defaultValue);
  return readAs(bag, key, &d, &PropertyValue::toLong);
}

OLE_COLOR readColor(const PropertyBag& bag, const char* key, OLE_COLOR defaultValue) {
  return static_cast<OLE_COLOR>(readLong(bag, key, static_cast<int32_t>(defaultValue)));
}

int16_t readBoolean(const PropertyBag& bag, const char* key, int16_t defaultValue) {
  const PropertyValue d{VbBoolean(defaultValue)};
  return readAs(bag, key, &d, &PropertyValue::toBoolean);
}

// Steps after the values have arrived must not stop one another.
void skippingErrors(const std::function<void()>& step) {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace

void ztButtons_H::UserControl_WriteProperties(PropertyBag& PropBag) {
  const int16_t boxEdge = PictureSizePixels == 0 ? int16_t{16} : PictureSizePixels;
  PropBag.WriteProperty("Caption", stored.Caption, "");
  PropBag.WriteProperty("CapAlign", stored.CaptionAlign, int16_t{2});
  PropBag.WriteProperty("BackStyle", stored.ButtonStyle, int16_t{0});
  PropBag.WriteProperty("Shape", stored.ButtonShape, int16_t{0});
  PropBag.WriteProperty("Font", UserControl.Font(), PropertyValue::nothing());
  PropBag.WriteProperty("cFore", UserControl.ForeColor(), uint32_t{0x80000012});
  PropBag.WriteProperty("cFHover", stored.HoverForeColor, uint32_t{0x80000012});
  PropBag.WriteProperty("cBhover", stored.HoverBackColor, stored.BackColor);
  PropBag.WriteProperty("Focus", VbBoolean(stored.ShowFocusRect), VbBoolean(true));
  PropBag.WriteProperty("LockHover", stored.HoverColorLocks, int16_t{0});
  PropBag.WriteProperty("cGradient", stored.GradientColor, uint32_t{0x8000000F});
  PropBag.WriteProperty("Gradient", stored.GradientMode, int16_t{0});
  PropBag.WriteProperty("CapStyle", stored.CaptionStyle, int16_t{0});
  PropBag.WriteProperty("Mode", stored.Mode);
  PropBag.WriteProperty("Value", VbBoolean(stored.Value));
  PropBag.WriteProperty("CustomClick", stored.CustomClick, int16_t{0});
  PropBag.WriteProperty("ImgAlign", stored.PictureAlign, int16_t{0});
  PropBag.WriteProperty("Image", stored.Picture, PropertyValue::nothing());
  PropBag.WriteProperty("ImgSize", boxEdge, int16_t{16});
  PropBag.WriteProperty("Enabled", VbBoolean(Enabled()), VbBoolean(true));
  PropBag.WriteProperty("cBack", stored.BackColor);
  PropBag.WriteProperty("mPointer", UserControl.MousePointer(), int16_t{0});
  PropBag.WriteProperty("mIcon", UserControl.MouseIcon(), PropertyValue::nothing());
}

void ztButtons_H::UserControl_ReadProperties(PropertyBag& PropBag) {
  StoreContainerInTag();
  ParentBackColor = TranslateColor(static_cast<int32_t>(Ambient.BackColor()));
  DelayDrawing(vbTrue);

  const PropertyValue noText("");
  const PropertyValue noObject = PropertyValue::nothing();
  stored.Caption = readAs(PropBag, "Caption", &noText, &PropertyValue::toText);
  stored.CaptionAlign = readLong(PropBag, "CapAlign", AlignCenter);
  stored.ButtonStyle = readLong(PropBag, "BackStyle", StyleClassic);
  stored.ButtonShape = readLong(PropBag, "Shape", ShapeRectangle);
  stored.GradientMode = readLong(PropBag, "Gradient", GradientNone);
  stored.GradientColor = readColor(PropBag, "cGradient", 0x8000000F);
  UserControl.setForeColor(readColor(PropBag, "cFore", 0x80000012));
  {
    // A store without a font (never written by this control) keeps the surface's own font.
    const PropertyValue font = PropBag.ReadProperty("Font");
    if (!font.isEmpty() && font.kind() != ValueKind::Nothing)
      UserControl.setFont(readAs(PropBag, "Font", nullptr, &PropertyValue::toFont));
  }
  stored.ShowFocusRect = readBoolean(PropBag, "Focus", vbTrue);
  stored.Mode = readLong(PropBag, "Mode", CommandButton);
  stored.Value = readBoolean(PropBag, "Value", vbFalse);
  stored.CustomClick = readLong(PropBag, "CustomClick", NoMove);
  stored.Picture = readAs(PropBag, "Image", &noObject, &PropertyValue::toPicture);
  {
    const PropertyValue d(int16_t{16});
    PictureSizePixels = readAs(PropBag, "ImgSize", &d, &PropertyValue::toInteger);
  }
  stored.PictureAlign = readLong(PropBag, "ImgAlign", PictureLeftEdge);
  stored.HoverForeColor = readColor(PropBag, "cFHover", 0x80000012);
  UserControl.setEnabled(readBoolean(PropBag, "Enabled", vbTrue) != vbFalse);
  stored.BackColor = readColor(PropBag, "cBack", Ambient.BackColor());
  stored.HoverBackColor = readColor(PropBag, "cBHover", stored.BackColor);
  stored.HoverColorLocks = readLong(PropBag, "LockHover", LockBoth);
  stored.CaptionStyle = readLong(PropBag, "CapStyle", CaptionFlat);
  setMouseIcon(readAs(PropBag, "mIcon", &noObject, &PropertyValue::toPicture));
  {
    const PropertyValue d(int16_t{0});
    setMousePointer(readAs(PropBag, "mPointer", &d, &PropertyValue::toInteger));
  }

  skippingErrors([this] { PrepareFontAndColors("Picture"); });
  skippingErrors([this] { PrepareFontAndColors("BackColor"); });
  skippingErrors([this] { setCaption(stored.Caption); });
  skippingErrors([this] {
    if (stored.Mode == OptionButton) {
      int16_t action = JoinGroup;
      int16_t result = vbFalse;
      ToggleOptionGroup(action, result);
    }
  });
  DrawingDelayed = vbFalse;
  skippingErrors([this] { UserControl_Resize(); });
}
