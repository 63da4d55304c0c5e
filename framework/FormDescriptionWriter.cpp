// Writing a window description back out, in the spelling the reader takes.
#include "framework/FormDescription.h"

#include "framework/Base64.h"

#include <string>

namespace {

std::string writeText(const std::string& s) {
  std::string out;
  bool open = false;
  auto piece = [&](const std::string& p) {
    if (!out.empty()) out += " & ";
    out += p;
  };
  std::string run;
  auto flush = [&] {
    if (open) {
      piece("\"" + run + "\"");
      run.clear();
      open = false;
    }
  };
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 32 && c != 127) {
      open = true;
      run += s[i];
      if (c == '"') run += '"';
      continue;
    }
    flush();
    if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      piece("vbCrLf");
      ++i;
    } else if (c == '\r') piece("vbCr");
    else if (c == '\n') piece("vbLf");
    else if (c == '\t') piece("vbTab");
    else piece("Chr(" + std::to_string(c) + ")");
  }
  if (open || out.empty()) {
    open = true;
    flush();
  }
  return out;
}

std::string formatCurrency(Currency c) {
  int64_t v = c.scaled < 0 ? -c.scaled : c.scaled;
  std::string s = std::to_string(v / 10000);
  int64_t frac = v % 10000;
  if (frac) {
    std::string f = std::to_string(frac + 10000).substr(1);
    while (!f.empty() && f.back() == '0') f.pop_back();
    s += "." + f;
  }
  return c.scaled < 0 ? "-" + s : s;
}

void writeBlock(const DescriptionBlock& b, int depth, std::string& out) {
  std::string indent(static_cast<size_t>(depth) * 3, ' ');
  std::string inner = indent + "   ";
  out += indent + "Begin " + b.kind + " " + b.name + "\n";
  for (const auto& p : b.properties) {
    const PropertyValue& v = p.value;
    switch (v.kind()) {
      case ValueKind::Font: {
        const StdFont& f = *v.font();
        out += inner + "BeginProperty " + p.key + " StdFont\n";
        out += inner + "   Name = " + writeText(f.Name) + "\n";
        out += inner + "   Size = " + formatCurrency(f.Size) + "\n";
        out += inner + "   Charset = " + std::to_string(f.Charset) + "\n";
        out += inner + "   Weight = " + std::to_string(f.Weight) + "\n";
        out += inner + "   Underline = " + (f.Underline ? "True" : "False") + "\n";
        out += inner + "   Italic = " + (f.Italic ? "True" : "False") + "\n";
        out += inner + "   Strikethrough = " + (f.Strikethrough ? "True" : "False") + "\n";
        out += inner + "EndProperty\n";
        break;
      }
      case ValueKind::Picture: {
        std::string data = Base64Encode(v.picture()->sourceBytes());
        out += inner + "BeginProperty " + p.key + " StdPicture\n";
        for (size_t i = 0; i < data.size(); i += 76)
          out += inner + "   Data = \"" + data.substr(i, 76) + "\"\n";
        out += inner + "EndProperty\n";
        break;
      }
      case ValueKind::Nothing: out += inner + p.key + " = Nothing\n"; break;
      case ValueKind::Text: out += inner + p.key + " = " + writeText(v.text()) + "\n"; break;
      case ValueKind::Integer:
        out += inner + p.key + " = " + std::to_string(v.number()) + "%\n";
        break;
      case ValueKind::Long: out += inner + p.key + " = " + std::to_string(v.number()) + "\n"; break;
      case ValueKind::Boolean:
        out += inner + p.key + " = " + (v.number() ? "True" : "False") + "\n";
        break;
      case ValueKind::Empty: break;  // an empty value has no spelling: it is simply absent
    }
  }
  for (const auto& c : b.children) writeBlock(c, depth + 1, out);
  out += indent + "End\n";
}

}  // namespace

std::string WriteFormDescription(const DescriptionBlock& block) {
  std::string out;
  writeBlock(block, 0, out);
  return out;
}
