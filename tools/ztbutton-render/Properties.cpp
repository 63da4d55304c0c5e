#include "Properties.h"

#include "framework/StdFont.h"
#include "framework/StdPicture.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace {

using Setter = std::function<void(ztButtons_H&, const Assignment&)>;

int32_t i32(const Assignment& a) { return static_cast<int32_t>(a.number); }
int16_t i16(const Assignment& a) { return static_cast<int16_t>(a.number); }
OLE_COLOR colour(const Assignment& a) { return static_cast<OLE_COLOR>(a.number); }

FontRef makeFont(const FontSpec& wanted) {
  FontRef f = NewFont();
  f->Name = wanted.name;
  f->Size = Currency::fromDouble(wanted.size);
  f->setBold(wanted.bold);
  f->Italic = wanted.italic;
  f->Underline = wanted.underline;
  f->Strikethrough = wanted.strikethrough;
  return f;
}

const std::map<std::string, Setter>& setters() {
  static const std::map<std::string, Setter> table = {
      {"ButtonStyle", [](ztButtons_H& b, const Assignment& a) { b.setButtonStyle(i32(a)); }},
      {"Mode", [](ztButtons_H& b, const Assignment& a) { b.setMode(i32(a)); }},
      {"Caption", [](ztButtons_H& b, const Assignment& a) { b.setCaption(a.text); }},
      {"CaptionAlign", [](ztButtons_H& b, const Assignment& a) { b.setCaptionAlign(i32(a)); }},
      {"CaptionStyle", [](ztButtons_H& b, const Assignment& a) { b.setCaptionStyle(i32(a)); }},
      {"CustomClick", [](ztButtons_H& b, const Assignment& a) { b.setCustomClick(i32(a)); }},
      {"ButtonShape", [](ztButtons_H& b, const Assignment& a) { b.setButtonShape(i32(a)); }},
      {"Picture", [](ztButtons_H& b, const Assignment& a) { b.setPicture(LoadPicture(a.text)); }},
      {"PictureAlign", [](ztButtons_H& b, const Assignment& a) { b.setPictureAlign(i32(a)); }},
      {"Enabled", [](ztButtons_H& b, const Assignment& a) { b.setEnabled(i16(a)); }},
      {"ShowFocusRect", [](ztButtons_H& b, const Assignment& a) { b.setShowFocusRect(i16(a)); }},
      {"Value", [](ztButtons_H& b, const Assignment& a) { b.setValue(i16(a)); }},
      {"PictureSize", [](ztButtons_H& b, const Assignment& a) { b.setPictureSize(i32(a)); }},
      {"MousePointer", [](ztButtons_H& b, const Assignment& a) { b.setMousePointer(i32(a)); }},
      {"MouseIcon", [](ztButtons_H& b, const Assignment& a) { b.setMouseIcon(LoadPicture(a.text)); }},
      {"Font", [](ztButtons_H& b, const Assignment& a) { b.setFont(makeFont(a.font)); }},
      {"FontStyle", [](ztButtons_H& b, const Assignment& a) { b.setFontStyle(i32(a)); }},
      {"ForeColor", [](ztButtons_H& b, const Assignment& a) { b.setForeColor(colour(a)); }},
      {"BackColor", [](ztButtons_H& b, const Assignment& a) { b.setBackColor(colour(a)); }},
      {"GradientColor", [](ztButtons_H& b, const Assignment& a) { b.setGradientColor(colour(a)); }},
      {"GradientMode", [](ztButtons_H& b, const Assignment& a) { b.setGradientMode(i32(a)); }},
      {"ResetDefaultColors", [](ztButtons_H& b, const Assignment& a) { b.setResetDefaultColors(i16(a)); }},
      {"HoverColorLocks", [](ztButtons_H& b, const Assignment& a) { b.setHoverColorLocks(i32(a)); }},
      {"HoverForeColor", [](ztButtons_H& b, const Assignment& a) { b.setHoverForeColor(colour(a)); }},
      {"HoverBackColor", [](ztButtons_H& b, const Assignment& a) { b.setHoverBackColor(colour(a)); }},
  };
  return table;
}

}  // namespace

void ApplyAssignment(ztButtons_H& button, const Assignment& a) {
  const auto it = setters().find(a.property);
  // The parser gives only names of this table; a name missing here is a fault of the tool.
  if (it == setters().end()) throw UsageError("no setter for " + a.property);
  it->second(button, a);
}
