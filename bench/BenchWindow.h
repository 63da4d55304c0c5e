// A window of the result window's size holding one button, on the headless screen (on Windows,
// the desktop), for the button's benchmarks.
#pragma once

#include <windows.h>

#include "button/ztButtons_H.h"
#include "framework/App.h"
#include "framework/Form.h"

#ifndef _WIN32
#include <corvane/headless.h>
#endif

#include <cstdlib>

class BenchWindow : public Form {
 public:
  BenchWindow()
      : Form("Begin Form frmBench\n"
             "   ClientWidth = 4680\n"
             "   ClientHeight = 1860\n"
             "End\n") {
    // The headless screen: no display is needed, and timings do not include an X server.
#ifndef _WIN32
    setenv("CORVANE_DRIVER", "headless", 0);
#endif
  }
  ~BenchWindow() override {
    if (Loaded()) Unload();
  }
  ztButtons_H Ok{this, "Ok"};
};

// Shows a window, lets configure set its button up, delivers what that queued (the first paint),
// and times the button's whole repaint.
template <typename State, typename Configure>
void timeRedraw(State& state, Configure configure) {
  BenchWindow w;
  w.Load();
  w.Show();
  configure(w.Ok);
#ifdef _WIN32
  DoEvents();
#else
  corvane::headless::runUntilIdle();
#endif
  for ([[maybe_unused]] auto _ : state) w.Ok.Refresh();
}
