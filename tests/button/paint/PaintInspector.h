// Test access to the working fields and painters of a button (the class names this one as a
// friend), and a window that hosts one button placed anew.
#pragma once

#include <windows.h>

#include "button/ztButtons_H.h"
#include "framework/Form.h"

#include <cstdint>
#include <string>
#include <vector>

class ztButtonsInspector {
 public:
  explicit ztButtonsInspector(ztButtons_H& b) : b_(b) {}

  auto& stored() { return b_.stored; }
  HDC BufferDC() const { return b_.BufferDC; }
  int16_t& StateFlags() { return b_.StateFlags; }
  int16_t& Hovering() { return b_.Hovering; }
  int16_t& HeldDown() { return b_.HeldDown; }
  int16_t& DrawingDelayed() { return b_.DrawingDelayed; }
  int32_t& LeftSlantWidth() { return b_.LeftSlantWidth; }
  int32_t& RightSlantStart() { return b_.RightSlantStart; }
  RECT& CaptionRect() { return b_.CaptionRect; }
  RECT& PictureRect() { return b_.PictureRect; }
  int32_t FaceColor() const { return b_.FaceColor; }
  int32_t PressedFaceColor() const { return b_.PressedFaceColor; }
  int32_t CheckedFaceColor() const { return b_.CheckedFaceColor; }

  void RedrawButton() { b_.RedrawButton(); }
  void DrawBevelEdges(EdgePointList& points, const EdgeColorList& colors, int32_t outerPenStyle) {
    b_.DrawBevelEdges(points, colors, outerPenStyle);
  }
  void DrawRect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t color) {
    b_.DrawRect(b_.BufferDC, l, t, r, b, color);
  }
  void DrawGradient(int32_t from, int32_t to) { b_.DrawGradient(from, to); }
  void BuildGradientColors(std::vector<int32_t>& colors, int32_t from, int32_t to) {
    b_.BuildGradientColors(colors, from, to);
  }
  void DrawFocusRectangle(int32_t color, int16_t solid, int16_t aroundCaption) {
    EdgePointList points{};
    b_.DrawFocusRectangle(color, solid, aroundCaption, points);
  }
  void SetDrawingTools(int16_t select, int32_t kind, int32_t color) {
    b_.SetDrawingTools(select, b_.BufferDC, kind, color, vbTrue, 1, PS_SOLID);
  }

  // A pixel of the composed picture in the off-screen buffer.
  COLORREF buffer(int x, int y) const { return GetPixel(b_.BufferDC, x, y); }
  // A pixel as it reached the button's window.
  COLORREF surface(int x, int y) const { return GetPixel(b_.UserControl.hDC(), x, y); }

 private:
  ztButtons_H& b_;
};

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
