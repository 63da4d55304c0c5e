// Window descriptions: a readable text that says what a window holds, one `Begin <Kind> <Name>`
// ... `End` block per object with `Key = value` lines inside. Values are quoted text (a quote
// doubled; control characters joined on with `& vbCrLf`, `& vbCr`, `& vbLf`, `& vbTab` or
// `& Chr(n)`), whole numbers (a trailing `%` marks a 16-bit integer; `&H...&` hexadecimal is
// read too), True and False, and objects as property blocks:
//
//   BeginProperty Font            (or BeginProperty <Key> StdFont)
//      Name = "MS Sans Serif"
//      Size = 8.25
//      ...
//   EndProperty
//   BeginProperty Image StdPicture
//      Data = "<base64 of the picture file, continued over several Data lines>"
//   EndProperty
//
// Text after an apostrophe outside quotes is a comment. A fault names its line; the reader never
// trusts the input (bounded nesting, bounded size) and never crashes on it.
#pragma once

#include "framework/PropertyValue.h"
#include "framework/RuntimeError.h"

#include <string>
#include <string_view>
#include <vector>

struct DescriptionProperty {
  std::string key;  // as written
  PropertyValue value;
  int line = 0;
};

struct DescriptionBlock {
  std::string kind;
  std::string name;
  int line = 0;
  std::vector<DescriptionProperty> properties;
  std::vector<DescriptionBlock> children;

  // Case-insensitive look-up; null when absent.
  const PropertyValue* find(const std::string& key) const;
  const DescriptionBlock* child(const std::string& name) const;
  // Sets (or adds) a property, keeping the key's first spelling.
  void set(const std::string& key, const PropertyValue& value);
};

class FormDescriptionError : public RuntimeError {
 public:
  FormDescriptionError(int line, const std::string& message)
      : RuntimeError(ErrFormDescription,
                     "Window description, line " + std::to_string(line) + ": " + message),
        Line(line) {}
  int Line;
};

constexpr int kMaxDescriptionDepth = 32;
constexpr size_t kMaxDescriptionBytes = 16u << 20;

// Reads one window description. Throws FormDescriptionError.
DescriptionBlock ParseFormDescription(std::string_view text);
// Writes a block back out; ParseFormDescription of the result gives the same block.
std::string WriteFormDescription(const DescriptionBlock& block);
