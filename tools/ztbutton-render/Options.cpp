#include "Options.h"

#include "Properties.h"

#include <cctype>
#include <climits>
#include <cstdlib>

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// The comma-separated words of a text, each without its surrounding blanks.
std::vector<std::string> commaParts(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t comma = text.find(',', start);
    parts.push_back(trimmed(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

// A 32-bit colour, written unsigned (0x8000000F) or as its signed twin.
uint32_t parseColour(const std::string& text, const std::string& what) {
  const int64_t c = ParseNumber(text, what);
  if (c < INT32_MIN || c > static_cast<int64_t>(UINT32_MAX))
    throw UsageError("bad value for " + what + ": " + text + " is not a 32-bit colour");
  return static_cast<uint32_t>(c);
}

int parseDimension(const std::string& text, int limit, const std::string& what) {
  if (text.empty() || text.size() > 6) throw UsageError("bad size: " + what);
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) throw UsageError("bad size: " + what);
  int v = std::atoi(text.c_str());
  if (v < 1 || v > limit) throw UsageError("bad size: " + what + " (1 to " + std::to_string(limit) + ")");
  return v;
}

}  // namespace

const char* UsageText() {
  return "usage: ztbutton-render [--size WxH] [--set Name=Value]... [--container-color C]\n"
         "                       [--state S] [--design] [--print] OUT.png\n"
         "       ztbutton-render --batch FILE   (one such command line per line)\n"
         "  --size WxH            client size of the button in pixels (default 61x25)\n"
         "  --set Name=Value      a property, through its setter, in the order given; numbers\n"
         "                        decimal or 0x hex, True or False, text as given; Picture and\n"
         "                        MouseIcon take a file; Font takes Name,Size[,bold][,italic]\n"
         "                        [,underline][,strikethrough]\n"
         "  --container-color C   colour of the window under the button (default 0x8000000F)\n"
         "  --state S             normal, hover, pressed, pressed-out, default, click, or\n"
         "                        several joined by commas (e.g. default,hover; click,hover\n"
         "                        clicks first, then moves over again)\n"
         "  --design              the button sits on a window in a designer\n"
         "  --print               write the button's geometry and colours as key=value lines\n";
}

int64_t ParseNumber(const std::string& text, const std::string& what) {
  const std::string t = trimmed(text);
  if (t.empty()) throw UsageError("bad value for " + what + ": empty");
  size_t i = 0;
  bool negative = false;
  if (t[0] == '-' || t[0] == '+') {
    negative = t[0] == '-';
    i = 1;
  }
  int base = 10;
  if (t.size() > i + 1 && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= t.size()) throw UsageError("bad value for " + what + ": " + text);
  // Anything beyond 33 bits is out of range for every property; stop before it can overflow.
  uint64_t value = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    int digit;
    if (std::isdigit(static_cast<unsigned char>(c)))
      digit = c - '0';
    else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c)))
      digit = std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
    else
      throw UsageError("bad value for " + what + ": " + text);
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (value > 0x1FFFFFFFFull) throw UsageError("bad value for " + what + ": " + text + " is too large");
  }
  return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
}

FontRequest ParseFont(const std::string& text) {
  const std::vector<std::string> parts = commaParts(text);
  if (parts.size() < 2 || parts[0].empty())
    throw UsageError("bad value for Font: \"" + text + "\" (Name,Size[,bold][,italic][,underline][,strikethrough])");
  FontRequest f;
  f.name = parts[0];
  char* end = nullptr;
  f.size = std::strtod(parts[1].c_str(), &end);
  if (parts[1].empty() || *end != '\0' || !(f.size > 0) || f.size > 2000)
    throw UsageError("bad value for Font: size \"" + parts[1] + "\"");
  for (size_t i = 2; i < parts.size(); ++i) {
    const std::string a = lower(parts[i]);
    if (a == "bold")
      f.bold = true;
    else if (a == "italic")
      f.italic = true;
    else if (a == "underline")
      f.underline = true;
    else if (a == "strikethrough")
      f.strikethrough = true;
    else
      throw UsageError("bad value for Font: unknown attribute \"" + parts[i] + "\"");
  }
  return f;
}

Assignment ParseAssignment(const std::string& nameAndValue) {
  const size_t eq = nameAndValue.find('=');
  if (eq == std::string::npos) throw UsageError("--set needs Name=Value: " + nameAndValue);
  const std::string name = trimmed(nameAndValue.substr(0, eq));
  const std::string value = nameAndValue.substr(eq + 1);
  const PropertyInfo* info = FindProperty(name);
  if (!info) throw UsageError("unknown property: " + name);
  Assignment a;
  a.property = info->name;
  a.kind = info->kind;
  switch (info->kind) {
    case SetKind::Integer:
      a.number = ParseNumber(value, a.property);
      if (a.number < INT32_MIN || a.number > INT32_MAX)
        throw UsageError("bad value for " + a.property + ": " + value + " is not a 32-bit integer");
      break;
    case SetKind::Colour:
      a.number = parseColour(value, a.property);
      break;
    case SetKind::Boolean: {
      const std::string v = lower(trimmed(value));
      if (v == "true")
        a.number = -1;
      else if (v == "false")
        a.number = 0;
      else
        throw UsageError("bad value for " + a.property + ": " + value + " (True or False)");
      break;
    }
    case SetKind::Text:
    case SetKind::PictureFile:
      a.text = value;
      break;
    case SetKind::FontRequest:
      a.font = ParseFont(value);
      break;
  }
  return a;
}

StateRequest ParseState(const std::string& text) {
  StateRequest s;
  for (const std::string& part : commaParts(text)) {
    const std::string word = lower(part);
    if (word == "click")
      s.click = true;
    else if (word == "hover")
      s.hover = true;
    else if (word == "pressed")
      s.pressed = true;
    else if (word == "pressed-out")
      s.pressedOutside = true;
    else if (word == "default")
      s.defaultFrame = true;
    else if (word != "normal")
      throw UsageError("unknown state: \"" + word + "\"");
  }
  // The pointer cannot be over the button and away from it at once.
  if (s.pressedOutside && (s.hover || s.pressed))
    throw UsageError("state pressed-out cannot be joined with hover or pressed");
  return s;
}

RenderOptions ParseArguments(const std::vector<std::string>& args) {
  RenderOptions o;
  bool haveOutput = false;
  auto valueOf = [&](size_t& i) -> const std::string& {
    if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
    return args[++i];
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--size") {
      const std::string& v = valueOf(i);
      const size_t x = v.find_first_of("xX");
      if (x == std::string::npos) throw UsageError("bad size: " + v + " (WxH)");
      o.width = parseDimension(v.substr(0, x), kMaxWidth, v);
      o.height = parseDimension(v.substr(x + 1), kMaxHeight, v);
    } else if (a == "--set") {
      o.assignments.push_back(ParseAssignment(valueOf(i)));
    } else if (a == "--container-color") {
      o.containerColor = parseColour(valueOf(i), "--container-color");
    } else if (a == "--state") {
      o.state = ParseState(valueOf(i));
    } else if (a == "--design") {
      o.design = true;
    } else if (a == "--print") {
      o.print = true;
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError("unknown option: " + a);
    } else {
      if (haveOutput) throw UsageError("more than one output file: " + a);
      o.output = a;
      haveOutput = true;
    }
  }
  if (!haveOutput) throw UsageError("missing OUT.png");
  return o;
}
