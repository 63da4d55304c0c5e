// ztbutton-render: one button, painted on the headless screen and written to a PNG file.
//   ztbutton-render [--size WxH] [--set Name=Value]... [--container-color C] [--state S]
//                   [--design] [--print] OUT.png
// Exit status: 0 written, 1 the picture could not be made or written, 2 a bad command line.
#include <windows.h>

#include "ButtonState.h"
#include "Options.h"
#include "Properties.h"
#include "RenderAccess.h"
#include "button/ztButtons_H.h"
#include "framework/App.h"
#include "framework/Form.h"
#include "framework/RuntimeError.h"

#include <corvane/headless.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

namespace hl = corvane::headless;

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
  if (!hl::active()) {
    std::cerr << "ztbutton-render: needs the headless window driver (CORVANE_DRIVER=headless)\n";
    return 1;
  }
  hl::freezeClock(true);
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
  const SIZE screen = hl::screenSize();
  hl::mouseMove(screen.cx - 1, screen.cy - 1);
  window.Show();
  hl::runUntilIdle();

  for (const Assignment& a : o.assignments) {
    try {
      ApplyAssignment(button, a);
    } catch (const RuntimeError& e) {
      return usage("bad value for " + a.property + ": " + e.Description);
    }
    hl::runUntilIdle();
  }
  ApplyButtonState(button, o.state, o.design);
  hl::runUntilIdle();

  if (o.print) printReport(button);
  // The button's rectangle as the screen shows it: outside the window region the container's
  // pixels are what a user sees there.
  if (!hl::saveWindowPng(button.hWnd(), o.output)) {
    std::cerr << "ztbutton-render: cannot write " << o.output << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("CORVANE_DRIVER", "headless", 0);
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) == "--help") {
      std::cout << UsageText();
      return 0;
    }
  RenderOptions options;
  try {
    options = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& e) {
    return usage(e.what());
  }
  try {
    return render(options);
  } catch (const UsageError& e) {
    return usage(e.what());
  } catch (const RuntimeError& e) {
    std::cerr << "ztbutton-render: error " << e.Number << ": " << e.Description << "\n";
    return 1;
  }
}
