// What the painting tests share: a window that hosts one button placed anew, and pixel helpers;
// access to the button's fields and painters comes from the shared inspector.
#pragma once

#include <windows.h>

#include "button/ztButtons_H.h"
#include "../support/ztButtonsInspector.h"
#include "framework/Form.h"

#include <cstdint>
#include <string>
#include <vector>

namespace painttest {

// A window at run time holding one button placed anew, 81 x 33 pixels until sized otherwise.
class PaintWindow : public Form {
 public:
  PaintWindow()
      : Form("Begin Form frmPaint\n"
             "   ClientWidth = 6000\n"
             "   ClientHeight = 3000\n"
             "End\n") {}
  ~PaintWindow() override {
    if (Loaded()) Unload();
  }
  ztButtons_H Button1{this, "Button1"};
};

// Sizes the button in pixels (the host keeps twips, 15 to the pixel).
inline void sizeInPixels(ztButtons_H& b, int width, int height) { b.UserControl.Size(width * 15, height * 15); }

inline long gdiObjects() { return static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)); }

}  // namespace painttest
