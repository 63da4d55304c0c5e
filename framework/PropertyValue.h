// One value of a property store or a window description: text, a 16-bit or 32-bit integer, a
// 16-bit boolean, a font or picture object, no object, or empty (nothing at all).
#pragma once

#include "framework/StdFont.h"
#include "framework/StdPicture.h"

#include <cstdint>
#include <string>
#include <variant>

// 16-bit booleans as the stored properties keep them: True is -1, False is 0.
constexpr int16_t vbTrue = -1;
constexpr int16_t vbFalse = 0;

// Marks a 16-bit value as a boolean when it becomes a PropertyValue.
struct VbBoolean {
  int16_t value;
  explicit VbBoolean(bool b) : value(b ? vbTrue : vbFalse) {}
  explicit VbBoolean(int16_t v) : value(v ? vbTrue : vbFalse) {}
};

enum class ValueKind { Empty, Nothing, Text, Integer, Long, Boolean, Font, Picture };

class PropertyValue {
 public:
  PropertyValue() = default;  // empty
  PropertyValue(const char* text) : kind_(ValueKind::Text), text_(text ? text : "") {}
  PropertyValue(std::string text) : kind_(ValueKind::Text), text_(std::move(text)) {}
  PropertyValue(int16_t value) : kind_(ValueKind::Integer), number_(value) {}
  PropertyValue(int32_t value) : kind_(ValueKind::Long), number_(value) {}
  PropertyValue(uint32_t value) : kind_(ValueKind::Long), number_(static_cast<int32_t>(value)) {}
  PropertyValue(VbBoolean value) : kind_(ValueKind::Boolean), number_(value.value) {}
  PropertyValue(FontRef font);
  PropertyValue(PictureRef picture);
  PropertyValue(std::nullptr_t) : kind_(ValueKind::Nothing) {}  // no object
  // A C++ bool would silently become a 32-bit number: say VbBoolean(b) instead.
  PropertyValue(bool) = delete;

  static PropertyValue nothing() { return PropertyValue(nullptr); }

  ValueKind kind() const { return kind_; }
  bool isEmpty() const { return kind_ == ValueKind::Empty; }
  bool isObject() const {
    return kind_ == ValueKind::Nothing || kind_ == ValueKind::Font || kind_ == ValueKind::Picture;
  }
  bool isNumeric() const {
    return kind_ == ValueKind::Integer || kind_ == ValueKind::Long || kind_ == ValueKind::Boolean;
  }

  // Conversions with the language's rules: numbers and numeric text convert to each other,
  // empty converts to 0, "" or False. Anything else raises RuntimeError 13 (type mismatch);
  // a number too big for 16 bits raises 6 (overflow).
  std::string toText() const;
  int16_t toInteger() const;
  int32_t toLong() const;
  bool toBool() const;
  int16_t toBoolean() const { return toBool() ? vbTrue : vbFalse; }
  FontRef toFont() const;        // no object gives a null reference
  PictureRef toPicture() const;  // no object gives a null reference

  // Equality as the store's default rule needs it: numbers by value whatever their width,
  // text by content, objects by identity, empty only equal to empty.
  bool equals(const PropertyValue& other) const;

  // Raw access for writers.
  int32_t number() const { return number_; }
  const std::string& text() const { return text_; }
  const FontRef& font() const { return font_; }
  const PictureRef& picture() const { return picture_; }

 private:
  ValueKind kind_ = ValueKind::Empty;
  int32_t number_ = 0;
  std::string text_;
  FontRef font_;
  PictureRef picture_;
};
