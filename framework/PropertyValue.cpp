#include "framework/PropertyValue.h"

#include "framework/RuntimeError.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace {

[[noreturn]] void mismatch() { throw RuntimeError(ErrTypeMismatch, "Type mismatch"); }

// Numeric text as the language reads it: optional blanks, sign, digits, an optional fraction
// (rounded half to even), and "True"/"False".
int64_t parseNumber(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  std::string t = s.substr(b, e - b);
  if (t.empty()) mismatch();
  std::string lower;
  for (char c : t) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "true") return -1;
  if (lower == "false") return 0;
  size_t i = 0;
  bool negative = false;
  if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
  size_t digitsStart = i;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
  size_t intEnd = i;
  size_t fracStart = i, fracEnd = i;
  if (i < t.size() && t[i] == '.') {
    fracStart = ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
    fracEnd = i;
  }
  if (i != t.size() || (intEnd == digitsStart && fracEnd == fracStart)) mismatch();
  if (intEnd - digitsStart > 12) throw RuntimeError(ErrOverflow, "Overflow");
  int64_t whole = 0;
  for (size_t k = digitsStart; k < intEnd; ++k) whole = whole * 10 + (t[k] - '0');
  if (fracEnd > fracStart) {
    double fraction = std::stod("0." + t.substr(fracStart, fracEnd - fracStart));
    whole = static_cast<int64_t>(std::nearbyint(static_cast<double>(whole) + fraction));
  }
  return negative ? -whole : whole;
}

}  // namespace

PropertyValue::PropertyValue(FontRef font)
    : kind_(font ? ValueKind::Font : ValueKind::Nothing), font_(std::move(font)) {}

PropertyValue::PropertyValue(PictureRef picture)
    : kind_(picture ? ValueKind::Picture : ValueKind::Nothing), picture_(std::move(picture)) {}

std::string PropertyValue::toText() const {
  switch (kind_) {
    case ValueKind::Empty: return "";
    case ValueKind::Text: return text_;
    case ValueKind::Integer:
    case ValueKind::Long: return std::to_string(number_);
    case ValueKind::Boolean: return number_ ? "True" : "False";
    default: mismatch();
  }
}

int32_t PropertyValue::toLong() const {
  switch (kind_) {
    case ValueKind::Empty: return 0;
    case ValueKind::Integer:
    case ValueKind::Long:
    case ValueKind::Boolean: return number_;
    case ValueKind::Text: {
      int64_t v = parseNumber(text_);
      if (v < INT32_MIN || v > INT32_MAX) throw RuntimeError(ErrOverflow, "Overflow");
      return static_cast<int32_t>(v);
    }
    default: mismatch();
  }
}

int16_t PropertyValue::toInteger() const {
  int32_t v = toLong();
  if (v < INT16_MIN || v > INT16_MAX) throw RuntimeError(ErrOverflow, "Overflow");
  return static_cast<int16_t>(v);
}

bool PropertyValue::toBool() const { return toLong() != 0; }

FontRef PropertyValue::toFont() const {
  if (kind_ == ValueKind::Font) return font_;
  if (kind_ == ValueKind::Nothing) return nullptr;
  mismatch();
}

PictureRef PropertyValue::toPicture() const {
  if (kind_ == ValueKind::Picture) return picture_;
  if (kind_ == ValueKind::Nothing) return nullptr;
  mismatch();
}

bool PropertyValue::equals(const PropertyValue& other) const {
  if (isNumeric() && other.isNumeric()) return number_ == other.number_;
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case ValueKind::Empty:
    case ValueKind::Nothing: return true;
    case ValueKind::Text: return text_ == other.text_;
    case ValueKind::Font: return font_ == other.font_;
    case ValueKind::Picture: return picture_ == other.picture_;
    default: return false;
  }
}
