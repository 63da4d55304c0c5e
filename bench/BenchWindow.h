// A window of the result window's size holding one button, on the headless screen (on Windows,
// the desktop), for the button's benchmarks.
#pragma once

#include <windows.h>

#include "button/ztButtons_H.h"
#include "framework/Form.h"

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
