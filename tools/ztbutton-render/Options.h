// What one run of ztbutton-render is asked to do, read from its command line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A command line the tool cannot follow; main prints the text and the usage and ends with 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How a property's value is written on the command line.
enum class SetKind { Integer, Boolean, Colour, Text, PictureFile, FontRequest };

struct FontRequest {
  std::string name;
  double size = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
};

// One --set Name=Value, checked but not yet applied: files are read only when it is applied.
struct Assignment {
  std::string property;  // the property's own name, whatever spelling was given
  SetKind kind = SetKind::Integer;
  int64_t number = 0;    // Integer, Boolean (True -1, False 0) and Colour
  std::string text;      // Text and PictureFile
  FontRequest font;      // FontRequest
};

// The states a button can be put in; several may be joined.
struct StateRequest {
  // A whole click first (press and release over the button, then the pointer leaves): a check
  // button toggles, an option button becomes the set one of its group.
  bool click = false;
  bool hover = false;
  bool pressed = false;
  bool pressedOutside = false;
  bool defaultFrame = false;
};

struct RenderOptions {
  int width = 61;
  int height = 25;
  uint32_t containerColor = 0x8000000F;
  std::vector<Assignment> assignments;
  StateRequest state;
  bool design = false;
  bool print = false;
  std::string output;
};

// The largest client size the tool renders: the button and its container must fit the screen.
constexpr int kMaxWidth = 640;
constexpr int kMaxHeight = 480;

RenderOptions ParseArguments(const std::vector<std::string>& args);
Assignment ParseAssignment(const std::string& nameAndValue);
StateRequest ParseState(const std::string& text);
// Decimal (with an optional sign) or 0x hexadecimal; throws UsageError naming `what`.
int64_t ParseNumber(const std::string& text, const std::string& what);
FontRequest ParseFont(const std::string& text);
const char* UsageText();
