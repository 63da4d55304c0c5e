// ztbutton-render: one button, painted on the screen and written to a PNG file.
//   ztbutton-render [--size WxH] [--set Name=Value]... [--container-color C] [--state S]
//                   [--design] [--print] OUT.png
//   ztbutton-render --batch FILE    one such command line per line of FILE, in one process
// Exit status: 0 written, 1 the picture could not be made or written, 2 a bad command line (in a
// batch, the worst of its lines).
#include <windows.h>

#include "ButtonState.h"
#include "Options.h"
#include "Properties.h"
#include "RenderAccess.h"
#include "button/ztButtons_H.h"
#include "framework/App.h"
#include "framework/Form.h"
#include "framework/RuntimeError.h"

#include "Desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Room around the button, in pixels: the pointer leaves the button into it (pressed-out).
constexpr int kMargin = 16;

std::string formDescription(int clientWidth, int clientHeight) {
  return "Begin Form frmRender\n"
         "   Caption = \"ztbutton-render\"\n"
         "   ClientWidth = " + std::to_string(clientWidth * 15) + "\n"
         "   ClientHeight = " + std::to_string(clientHeight * 15) + "\n"
         "End\n";
}

class RenderWindow : public Form {
 public:
  RenderWindow(int clientWidth, int clientHeight, bool design) : Form(formDescription(clientWidth, clientHeight)) {
    setDesignMode(design);
  }
  ~RenderWindow() override {
    if (Loaded()) Unload();
  }
  // The name a button gets when it is the first one placed on a window.
  ztButtons_H ztButtons_H1{this, "ztButtons_H1"};
};

std::string rectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

std::string hex(uint32_t v, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
  return buf;
}

void printReport(ztButtons_H& button) {
  ztButtonsRenderAccess a(button);
  RECT client;
  GetClientRect(button.hWnd(), &client);
  RECT box;
  const bool haveRegion = GetWindowRgnBox(button.hWnd(), &box) != ERROR;
  std::cout << "ClientSize=" << client.right << "x" << client.bottom << "\n"
            << "CaptionRect=" << rectText(a.CaptionRect()) << "\n"
            << "PictureRect=" << rectText(a.PictureRect()) << "\n"
            << "LeftSlantWidth=" << a.LeftSlantWidth() << "\n"
            << "RightSlantStart=" << a.RightSlantStart() << "\n"
            << "FaceColor=" << hex(static_cast<uint32_t>(a.FaceColor()), 6) << "\n"
            << "PressedFaceColor=" << hex(static_cast<uint32_t>(a.PressedFaceColor()), 6) << "\n"
            << "HoverFaceColor=" << hex(static_cast<uint32_t>(a.HoverFaceColor()), 6) << "\n"
            << "CheckedFaceColor=" << hex(static_cast<uint32_t>(a.CheckedFaceColor()), 6) << "\n"
            << "StateFlags=" << hex(static_cast<uint16_t>(a.StateFlags()), 4) << "\n"
            << "Value=" << (button.Value() ? "True" : "False") << "\n"
            << "RegionBox=" << (haveRegion ? rectText(box) : std::string("none")) << "\n";
}

int usage(const std::string& problem) {
  if (!problem.empty()) std::cerr << "ztbutton-render: " << problem << "\n";
  std::cerr << UsageText();
  return 2;
}

int render(const RenderOptions& o) {
  std::string why;
  if (!desktop::Ready(why)) {
    std::cerr << "ztbutton-render: " << why << "\n";
    return 1;
  }
  // Information boxes of the designer go to the error stream instead of waiting for a click.
  SetMsgBoxHook([](const std::string& prompt, int, const std::string& title) {
    std::cerr << "ztbutton-render: message" << (title.empty() ? "" : " \"" + title + "\"") << ": " << prompt
              << "\n";
    return vbOK;
  });
  // A slanted button may widen to its height plus eleven pixels; the container leaves room.
  const int roomWidth = std::max(o.width, o.height + 11) + 2 * kMargin;
  RenderWindow window(roomWidth, o.height + 2 * kMargin, o.design);
  ztButtons_H& button = window.ztButtons_H1;
  window.Load();
  window.setBackColor(o.containerColor);
  button.Move(kMargin * 15, kMargin * 15, o.width * 15, o.height * 15);
  // Only the default state gives the button the focus; the window keeps it otherwise.
  button.setTabStop(false);
  desktop::Prepare();
  window.Show();
  desktop::Settle();

  for (const Assignment& a : o.assignments) {
    try {
      ApplyAssignment(button, a);
    } catch (const RuntimeError& e) {
      return usage("bad value for " + a.property + ": " + e.Description);
    }
    desktop::Settle();
  }
  ApplyButtonState(button, o.state, o.design);
  desktop::Settle();

  if (o.print) printReport(button);
  // The button's rectangle as the screen shows it: outside the window region the container's
  // pixels are what a user sees there.
  const bool saved = desktop::SaveWindowPng(button.hWnd(), o.output);
  // A button left held would reach the next window of a batch.
  if (o.state.pressed || o.state.pressedOutside) desktop::ReleaseLeft();
  if (!saved) {
    std::cerr << "ztbutton-render: cannot write " << o.output << "\n";
    return 1;
  }
  return 0;
}

// One command line: parsed, then rendered; errors end that line only.
int renderCommandLine(const std::vector<std::string>& args) {
  try {
    return render(ParseArguments(args));
  } catch (const UsageError& e) {
    return usage(e.what());
  } catch (const RuntimeError& e) {
    std::cerr << "ztbutton-render: error " << e.Number << ": " << e.Description << "\n";
    return 1;
  }
}

// A batch line's words: separated by blanks, a word in double quotes may hold blanks.
std::vector<std::string> batchWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    if (i >= line.size()) return words;
    std::string word;
    bool quoted = false;
    for (; i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t' && line[i] != '\r')); ++i) {
      if (line[i] == '"')
        quoted = !quoted;
      else
        word += line[i];
    }
    if (quoted) throw UsageError("unclosed quote in batch line: " + line);
    words.push_back(word);
  }
}

int renderBatch(const std::string& file) {
  std::ifstream in(file);
  if (!in) return usage("cannot read the batch file " + file);
  int worst = 0;
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> words;
    try {
      words = batchWords(line);
    } catch (const UsageError& e) {
      worst = std::max(worst, usage(e.what()));
      continue;
    }
    if (words.empty() || words[0][0] == '#') continue;
    worst = std::max(worst, renderCommandLine(words));
  }
  return worst;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& a : args)
    if (a == "--help") {
      std::cout << UsageText();
      return 0;
    }
  if (!args.empty() && args[0] == "--batch") {
    if (args.size() != 2) return usage("--batch takes one file and nothing else");
    return renderBatch(args[1]);
  }
  return renderCommandLine(args);
}
