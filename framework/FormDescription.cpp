// Reading a window description, never trusting it, and looking up what a block read holds.
#include "framework/FormDescription.h"

#include "framework/Base64.h"
#include "framework/PropertyBag.h"

#include <cctype>
#include <cstdlib>

namespace {

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// One line under the cursor, with helpers that throw naming that line.
class LineScanner {
 public:
  LineScanner(std::string_view text, int line) : s_(text), line_(line) {}

  [[noreturn]] void fail(const std::string& message) const { throw FormDescriptionError(line_, message); }
  void skipBlanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
  }
  bool atEnd() {
    skipBlanks();
    return pos_ >= s_.size() || s_[pos_] == '\'';
  }
  void expectEnd() {
    if (!atEnd()) fail("unexpected text \"" + std::string(s_.substr(pos_)) + "\"");
  }
  bool peek(char c) {
    skipBlanks();
    return pos_ < s_.size() && s_[pos_] == c;
  }
  bool accept(char c) {
    if (!peek(c)) return false;
    ++pos_;
    return true;
  }
  // An identifier, optionally with dots between parts (kinds such as Library.Control).
  std::string word(bool dotted, const char* what) {
    skipBlanks();
    size_t start = pos_;
    if (pos_ >= s_.size() || !isIdentStart(s_[pos_])) fail(std::string("expected ") + what);
    while (pos_ < s_.size() && (isIdentChar(s_[pos_]) || (dotted && s_[pos_] == '.' &&
                                                         pos_ + 1 < s_.size() && isIdentStart(s_[pos_ + 1]))))
      ++pos_;
    if (pos_ - start > 255) fail(std::string(what) + " too long");
    return std::string(s_.substr(start, pos_ - start));
  }
  bool peekWord() {
    skipBlanks();
    return pos_ < s_.size() && isIdentStart(s_[pos_]);
  }
  std::string quoted() {
    skipBlanks();
    if (pos_ >= s_.size() || s_[pos_] != '"') fail("expected quoted text");
    ++pos_;
    std::string out;
    for (;;) {
      if (pos_ >= s_.size()) fail("quoted text not closed");
      char c = s_[pos_++];
      if (c == '"') {
        if (pos_ < s_.size() && s_[pos_] == '"') {
          out += '"';
          ++pos_;
          continue;
        }
        return out;
      }
      out += c;
    }
  }
  // Text joined with "&" from quoted pieces and named control characters; a text may begin with
  // either, since the writer spells a leading control character by its name.
  std::string text() {
    std::string out;
    do textPiece(out);
    while (accept('&'));
    return out;
  }
  static bool isTextPieceName(const std::string& w) {
    for (const char* name : {"vbCrLf", "vbCr", "vbLf", "vbTab", "Chr"})
      if (iequals(w, name)) return true;
    return false;
  }
  void textPiece(std::string& out) {
    if (peek('"')) {
      out += quoted();
      return;
    }
    std::string w = word(false, "a text piece");
    if (iequals(w, "vbCrLf")) out += "\r\n";
    else if (iequals(w, "vbCr")) out += '\r';
    else if (iequals(w, "vbLf")) out += '\n';
    else if (iequals(w, "vbTab")) out += '\t';
    else if (iequals(w, "Chr")) {
      if (!accept('(')) fail("expected ( after Chr");
      int64_t n = integer();
      if (!accept(')')) fail("expected ) after Chr(n");
      if (n < 0 || n > 255) fail("character code out of range");
      out += static_cast<char>(n);
    } else {
      fail("unknown text piece \"" + w + "\"");
    }
  }
  // A decimal (with sign) or &H hexadecimal whole number, bounded to 32 bits.
  int64_t integer() {
    skipBlanks();
    size_t start = pos_;
    if (pos_ + 1 < s_.size() && s_[pos_] == '&' && (s_[pos_ + 1] == 'H' || s_[pos_ + 1] == 'h')) {
      pos_ += 2;
      uint64_t v = 0;
      size_t digits = 0;
      while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) {
        if (++digits > 8) fail("number out of range");
        v = v * 16 + static_cast<uint64_t>(std::isdigit(static_cast<unsigned char>(s_[pos_]))
                                               ? s_[pos_] - '0'
                                               : std::tolower(static_cast<unsigned char>(s_[pos_])) - 'a' + 10);
        ++pos_;
      }
      if (!digits) fail("expected hexadecimal digits");
      return static_cast<int32_t>(static_cast<uint32_t>(v));
    }
    bool negative = false;
    if (pos_ < s_.size() && (s_[pos_] == '-' || s_[pos_] == '+')) negative = s_[pos_++] == '-';
    int64_t v = 0;
    size_t digits = 0;
    while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
      if (++digits > 10) fail("number out of range");
      v = v * 10 + (s_[pos_++] - '0');
    }
    if (!digits) {
      pos_ = start;
      fail("expected a value");
    }
    v = negative ? -v : v;
    if (v < INT32_MIN || v > INT32_MAX) fail("number out of range");
    return v;
  }
  // A decimal number with an optional fraction of up to four digits, as currency.
  Currency decimal() {
    skipBlanks();
    bool negative = false;
    if (pos_ < s_.size() && (s_[pos_] == '-' || s_[pos_] == '+')) negative = s_[pos_++] == '-';
    int64_t whole = 0;
    size_t digits = 0;
    while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
      if (++digits > 9) fail("number out of range");
      whole = whole * 10 + (s_[pos_++] - '0');
    }
    int64_t fraction = 0;
    int fractionDigits = 0;
    if (pos_ < s_.size() && s_[pos_] == '.') {
      ++pos_;
      while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
        if (++fractionDigits > 4) fail("more than four decimals");
        fraction = fraction * 10 + (s_[pos_++] - '0');
      }
    }
    if (!digits && !fractionDigits) fail("expected a number");
    for (int i = fractionDigits; i < 4; ++i) fraction *= 10;
    int64_t scaled = whole * 10000 + fraction;
    return Currency{negative ? -scaled : scaled};
  }
  // The value of a `Key = value` line outside property blocks.
  PropertyValue value() {
    skipBlanks();
    if (peek('"')) return PropertyValue(text());
    if (peekWord()) {
      size_t start = pos_;
      std::string w = word(false, "a value");
      if (isTextPieceName(w)) {
        pos_ = start;
        return PropertyValue(text());
      }
      if (iequals(w, "True")) return PropertyValue(VbBoolean(true));
      if (iequals(w, "False")) return PropertyValue(VbBoolean(false));
      if (iequals(w, "Nothing")) return PropertyValue::nothing();
      fail("unknown value \"" + w + "\"");
    }
    int64_t n = integer();
    if (accept('%')) {
      if (n < INT16_MIN || n > INT16_MAX) fail("16-bit number out of range");
      return PropertyValue(static_cast<int16_t>(n));
    }
    accept('&');  // the long marker of hexadecimal numbers
    return PropertyValue(static_cast<int32_t>(n));
  }
  bool boolean() {
    std::string w = word(false, "True or False");
    if (iequals(w, "True")) return true;
    if (iequals(w, "False")) return false;
    fail("expected True or False");
  }

 private:
  std::string_view s_;
  size_t pos_ = 0;
  int line_;
};

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  DescriptionBlock read() {
    if (text_.size() > kMaxDescriptionBytes) throw FormDescriptionError(1, "description too large");
    DescriptionBlock root;
    bool haveRoot = false;
    while (nextLine()) {
      LineScanner sc(current_, line_);
      if (sc.atEnd()) continue;
      if (haveRoot) sc.fail("text after the end of the window");
      std::string w = sc.word(false, "Begin");
      if (!iequals(w, "Begin")) sc.fail("expected Begin");
      root = block(sc, 1);
      haveRoot = true;
    }
    if (!haveRoot) throw FormDescriptionError(line_ ? line_ : 1, "no Begin block");
    return root;
  }

 private:
  bool nextLine() {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    current_ = text_.substr(pos_, end - pos_);
    if (!current_.empty() && current_.back() == '\r') current_.remove_suffix(1);
    pos_ = end + 1;
    ++line_;
    return true;
  }

  // After "Begin": the kind and name on this line, then the contents up to the matching End.
  DescriptionBlock block(LineScanner& sc, int depth) {
    if (depth > kMaxDescriptionDepth) sc.fail("blocks nested too deeply");
    DescriptionBlock b;
    b.line = line_;
    b.kind = sc.word(true, "a kind after Begin");
    b.name = sc.word(false, "a name after the kind");
    sc.expectEnd();
    for (;;) {
      if (!nextLine()) throw FormDescriptionError(line_, "missing End for \"" + b.name + "\"");
      LineScanner in(current_, line_);
      if (in.atEnd()) continue;
      std::string w = in.word(false, "a property, Begin or End");
      if (iequals(w, "End")) {
        in.expectEnd();
        return b;
      }
      if (iequals(w, "Begin")) {
        b.children.push_back(block(in, depth + 1));
        continue;
      }
      if (iequals(w, "BeginProperty")) {
        std::string key = in.word(false, "a property name");
        std::string kind = in.atEnd() ? "StdFont" : in.word(false, "StdFont or StdPicture");
        in.expectEnd();
        checkDuplicate(b, key, in);
        int line = line_;
        if (iequals(kind, "StdFont")) b.properties.push_back({key, PropertyValue(font()), line});
        else if (iequals(kind, "StdPicture")) b.properties.push_back({key, picture(line), line});
        else in.fail("unknown object kind \"" + kind + "\"");
        continue;
      }
      if (iequals(w, "EndProperty")) in.fail("EndProperty without BeginProperty");
      if (!in.accept('=')) in.fail("expected = after \"" + w + "\"");
      PropertyValue v = in.value();
      in.expectEnd();
      checkDuplicate(b, w, in);
      b.properties.push_back({w, std::move(v), line_});
    }
  }

  static void checkDuplicate(const DescriptionBlock& b, const std::string& key, LineScanner& sc) {
    if (b.find(key)) sc.fail("\"" + key + "\" given twice");
  }

  FontRef font() {
    auto f = NewFont();
    for (;;) {
      if (!nextLine()) throw FormDescriptionError(line_, "missing EndProperty");
      LineScanner in(current_, line_);
      if (in.atEnd()) continue;
      std::string w = in.word(false, "a font property or EndProperty");
      if (iequals(w, "EndProperty")) {
        in.expectEnd();
        return f;
      }
      if (!in.accept('=')) in.fail("expected = after \"" + w + "\"");
      if (iequals(w, "Name")) {
        f->Name = in.text();
        if (f->Name.size() > 255) in.fail("font name too long");
      } else if (iequals(w, "Size")) {
        f->Size = in.decimal();
        if (f->Size.scaled <= 0 || f->Size.scaled > 20480000) in.fail("font size out of range");
      } else if (iequals(w, "Weight")) {
        int64_t n = in.integer();
        if (n < 0 || n > 1000) in.fail("font weight out of range");
        f->Weight = static_cast<int16_t>(n);
      } else if (iequals(w, "Charset")) {
        int64_t n = in.integer();
        if (n < 0 || n > 255) in.fail("character set out of range");
        f->Charset = static_cast<int16_t>(n);
      } else if (iequals(w, "Bold")) {
        f->setBold(in.boolean());
      } else if (iequals(w, "Italic")) {
        f->Italic = in.boolean();
      } else if (iequals(w, "Underline")) {
        f->Underline = in.boolean();
      } else if (iequals(w, "Strikethrough")) {
        f->Strikethrough = in.boolean();
      } else {
        in.fail("unknown font property \"" + w + "\"");
      }
      in.expectEnd();
    }
  }

  PropertyValue picture(int startLine) {
    std::string data;
    for (;;) {
      if (!nextLine()) throw FormDescriptionError(line_, "missing EndProperty");
      LineScanner in(current_, line_);
      if (in.atEnd()) continue;
      std::string w = in.word(false, "Data or EndProperty");
      if (iequals(w, "EndProperty")) {
        in.expectEnd();
        break;
      }
      if (!iequals(w, "Data")) in.fail("unknown picture property \"" + w + "\"");
      if (!in.accept('=')) in.fail("expected = after Data");
      data += in.quoted();
      in.expectEnd();
    }
    if (data.empty()) return PropertyValue::nothing();
    auto bytes = Base64Decode(data);
    if (!bytes) throw FormDescriptionError(startLine, "picture data is not base64");
    try {
      return PropertyValue(LoadPictureFromBytes(*bytes));
    } catch (const RuntimeError& e) {
      // A window's pictures are decoration: one that memory cannot be had for is left out, so
      // that the window still comes and tells what it has to tell.
      if (e.Number == ErrOutOfMemory) return PropertyValue::nothing();
      throw FormDescriptionError(startLine, "picture cannot be read (" + e.Description + ")");
    }
  }

  std::string_view text_;
  std::string_view current_;
  size_t pos_ = 0;
  int line_ = 0;
};

}  // namespace

const PropertyValue* DescriptionBlock::find(const std::string& key) const {
  for (const auto& p : properties)
    if (iequals(p.key, key)) return &p.value;
  return nullptr;
}

const DescriptionBlock* DescriptionBlock::child(const std::string& childName) const {
  for (const auto& c : children)
    if (iequals(c.name, childName)) return &c;
  return nullptr;
}

void DescriptionBlock::set(const std::string& key, const PropertyValue& value) {
  for (auto& p : properties) {
    if (iequals(p.key, key)) {
      p.value = value;
      return;
    }
  }
  properties.push_back({key, value, 0});
}

DescriptionBlock ParseFormDescription(std::string_view text) { return Reader(text).read(); }
