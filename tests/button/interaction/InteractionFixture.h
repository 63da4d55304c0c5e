// What the interaction tests share: a run-time window with two buttons placed anew, a log of the
// events they raise, and the button's place on the headless screen for injected input.
#pragma once

#include <windows.h>

#include "../support/ztButtonsInspector.h"
#include "button/ztButtons_H.h"
#include "framework/Form.h"

#include <corvane/headless.h>

#include <cstdio>
#include <string>
#include <vector>

namespace interactiontest {

namespace hl = corvane::headless;

// Two buttons side by side, 81 x 33 pixels each, on a window at run time (or in the designer).
class TwoButtonWindow : public Form {
 public:
  explicit TwoButtonWindow(bool designMode = false)
      : Form("Begin Form frmInteraction\n"
             "   ClientWidth = 4500\n"
             "   ClientHeight = 1500\n"
             "End\n") {
    setDesignMode(designMode);
  }
  ~TwoButtonWindow() override {
    if (Loaded()) Unload();
  }
  // Loads, places the buttons, shows, and lets every paint and focus change settle.
  void open() {
    Load();
    Button1.Move(300, 300, 1215, 495);
    Button2.Move(1800, 300, 1215, 495);
    Show();
    hl::runUntilIdle();
  }
  ztButtons_H Button1{this, "Button1"};
  ztButtons_H Button2{this, "Button2"};
};

// Every event a button raises, as text; mouse moves only when asked for.
class EventLog {
 public:
  explicit EventLog(ztButtons_H& b, bool moves = false) {
    b.MouseDown.connect([this](int16_t& bt, int16_t& sh, float& x, float& y) {
      add("MouseDown " + std::to_string(bt) + " " + std::to_string(sh));
      lastX = x;
      lastY = y;
    });
    b.MouseUp.connect([this](int16_t& bt, int16_t& sh, float&, float&) {
      add("MouseUp " + std::to_string(bt) + " " + std::to_string(sh));
    });
    if (moves)
      b.MouseMove.connect([this](int16_t& bt, int16_t&, float&, float&) { add("MouseMove " + std::to_string(bt)); });
    b.KeyDown.connect([this](int16_t& k, int16_t&) { add("KeyDown " + std::to_string(k)); });
    b.KeyPress.connect([this](int16_t& k) { add("KeyPress " + std::to_string(k)); });
    b.KeyUp.connect([this](int16_t& k, int16_t&) { add("KeyUp " + std::to_string(k)); });
    b.MouseOnButton.connect([this](int16_t& on) { add(on ? "MouseOnButton on" : "MouseOnButton off"); });
    b.Click.connect([this] { add("Click"); });
    b.DoubleClick.connect([this](int16_t& bt) { add("DoubleClick " + std::to_string(bt)); });
  }
  void add(const std::string& s) { events.push_back(s); }
  std::string joined() const {
    std::string all;
    for (const auto& e : events) all += (all.empty() ? "" : ", ") + e;
    return all;
  }
  std::vector<std::string> events;
  float lastX = -1;
  float lastY = -1;
};

// Lets go of every handler connected to the button's events (logs die before their window).
inline void disconnectEvents(ztButtons_H& b) {
  b.MouseDown.disconnectAll();
  b.MouseUp.disconnectAll();
  b.MouseMove.disconnectAll();
  b.KeyDown.disconnectAll();
  b.KeyPress.disconnectAll();
  b.KeyUp.disconnectAll();
  b.MouseOnButton.disconnectAll();
  b.Click.disconnectAll();
  b.DoubleClick.disconnectAll();
}

inline RECT screenRect(const ztButtons_H& b) {
  RECT r{0, 0, 0, 0};
  GetWindowRect(b.hWnd(), &r);
  return r;
}

inline POINT centre(const ztButtons_H& b) {
  RECT r = screenRect(b);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The button's rectangle in its window's client area, with right and bottom as they are.
inline RECT placeInWindow(const ztButtons_H& b) {
  RECT r = screenRect(b);
  POINT tl{r.left, r.top};
  POINT br{r.right, r.bottom};
  ScreenToClient(GetParent(b.hWnd()), &tl);
  ScreenToClient(GetParent(b.hWnd()), &br);
  return RECT{tl.x, tl.y, br.x, br.y};
}

// A point of the screen that no window of the tests covers.
inline POINT outside() { return POINT{1000, 750}; }

inline long gdiObjects() { return static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)); }

}  // namespace interactiontest
