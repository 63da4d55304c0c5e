#include "Properties.h"

#include "framework/StdFont.h"
#include "framework/StdPicture.h"

#include <cctype>
#include <cstdint>

namespace {

int32_t i32(const Assignment& a) { return static_cast<int32_t>(a.number); }
int16_t i16(const Assignment& a) { return static_cast<int16_t>(a.number); }
OLE_COLOR colour(const Assignment& a) { return static_cast<OLE_COLOR>(a.number); }

FontRef makeFont(const FontRequest& wanted) {
  FontRef f = NewFont();
  f->Name = wanted.name;
  f->Size = Currency::fromDouble(wanted.size);
  f->setBold(wanted.bold);
  f->Italic = wanted.italic;
  f->Underline = wanted.underline;
  f->Strikethrough = wanted.strikethrough;
  return f;
}

// Every writable property of the button.
const PropertyInfo kProperties[] = {
    {"ButtonStyle", "BackStyle", SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setButtonStyle(i32(a)); }},
    {"Mode", nullptr, SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setMode(i32(a)); }},
    {"Caption", nullptr, SetKind::Text,
     [](ztButtons_H& b, const Assignment& a) { b.setCaption(a.text); }},
    {"CaptionAlign", "CapAlign", SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setCaptionAlign(i32(a)); }},
    {"CaptionStyle", "CapStyle", SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setCaptionStyle(i32(a)); }},
    {"CustomClick", nullptr, SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setCustomClick(i32(a)); }},
    {"ButtonShape", "Shape", SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setButtonShape(i32(a)); }},
    {"Picture", "Image", SetKind::PictureFile,
     [](ztButtons_H& b, const Assignment& a) { b.setPicture(LoadPicture(a.text)); }},
    {"PictureAlign", "ImgAlign", SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setPictureAlign(i32(a)); }},
    {"Enabled", nullptr, SetKind::Boolean,
     [](ztButtons_H& b, const Assignment& a) { b.setEnabled(i16(a)); }},
    {"ShowFocusRect", "Focus", SetKind::Boolean,
     [](ztButtons_H& b, const Assignment& a) { b.setShowFocusRect(i16(a)); }},
    {"Value", nullptr, SetKind::Boolean,
     [](ztButtons_H& b, const Assignment& a) { b.setValue(i16(a)); }},
    {"PictureSize", nullptr, SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setPictureSize(i32(a)); }},
    {"MousePointer", "mPointer", SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setMousePointer(i32(a)); }},
    {"MouseIcon", "mIcon", SetKind::PictureFile,
     [](ztButtons_H& b, const Assignment& a) { b.setMouseIcon(LoadPicture(a.text)); }},
    {"Font", nullptr, SetKind::FontRequest,
     [](ztButtons_H& b, const Assignment& a) { b.setFont(makeFont(a.font)); }},
    {"FontStyle", nullptr, SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setFontStyle(i32(a)); }},
    {"ForeColor", "cFore", SetKind::Colour,
     [](ztButtons_H& b, const Assignment& a) { b.setForeColor(colour(a)); }},
    {"BackColor", "cBack", SetKind::Colour,
     [](ztButtons_H& b, const Assignment& a) { b.setBackColor(colour(a)); }},
    {"GradientColor", "cGradient", SetKind::Colour,
     [](ztButtons_H& b, const Assignment& a) { b.setGradientColor(colour(a)); }},
    {"GradientMode", "Gradient", SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setGradientMode(i32(a)); }},
    {"ResetDefaultColors", nullptr, SetKind::Boolean,
     [](ztButtons_H& b, const Assignment& a) { b.setResetDefaultColors(i16(a)); }},
    {"HoverColorLocks", "LockHover", SetKind::Integer,
     [](ztButtons_H& b, const Assignment& a) { b.setHoverColorLocks(i32(a)); }},
    {"HoverForeColor", "cFHover", SetKind::Colour,
     [](ztButtons_H& b, const Assignment& a) { b.setHoverForeColor(colour(a)); }},
    {"HoverBackColor", "cBHover", SetKind::Colour,
     [](ztButtons_H& b, const Assignment& a) { b.setHoverBackColor(colour(a)); }},
};

bool sameName(const std::string& given, const char* name) {
  if (name == nullptr || given.size() != std::char_traits<char>::length(name)) return false;
  for (size_t i = 0; i < given.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(given[i])) != std::tolower(static_cast<unsigned char>(name[i])))
      return false;
  return true;
}

}  // namespace

const PropertyInfo* FindProperty(const std::string& name) {
  for (const auto& p : kProperties)
    if (sameName(name, p.name) || sameName(name, p.storeKey)) return &p;
  return nullptr;
}

void ApplyAssignment(ztButtons_H& button, const Assignment& a) {
  const PropertyInfo* info = FindProperty(a.property);
  // The parser gives only names of this table; a name missing here is a fault of the tool.
  if (!info) throw UsageError("no setter for " + a.property);
  info->apply(button, a);
}
