// Test access to a button's working fields and private procedures of every folder (the class names this one as a
// friend). Also small fixtures shared by the button's tests: a window to host buttons on, a
// recorder for design-time message boxes, and pictures made in memory.
#pragma once

#include <windows.h>

#include "button/ztButtons_H.h"
#include "framework/App.h"
#include "framework/Form.h"
#include "framework/StdPicture.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

class ztButtonsInspector {
 public:
  explicit ztButtonsInspector(ztButtons_H& b) : b_(b) {}

  // Fields.
  auto& stored() { return b_.stored; }
  HDC& BufferDC() { return b_.BufferDC; }
  HBITMAP& OldBitmap() { return b_.OldBitmap; }
  HFONT& OldFont() { return b_.OldFont; }
  HRGN& OuterClipRegion() { return b_.OuterClipRegion; }
  HRGN& InnerClipRegion() { return b_.InnerClipRegion; }
  int16_t& StateFlags() { return b_.StateFlags; }
  int16_t& DrawingDelayed() { return b_.DrawingDelayed; }
  int16_t& Hovering() { return b_.Hovering; }
  int16_t& HeldDown() { return b_.HeldDown; }
  int16_t& LastButton() { return b_.LastButton; }
  int32_t& LeftSlantWidth() { return b_.LeftSlantWidth; }
  int32_t& RightSlantStart() { return b_.RightSlantStart; }
  RECT& CaptionRect() { return b_.CaptionRect; }
  RECT& PictureRect() { return b_.PictureRect; }
  HBITMAP& ScaledPicture() { return b_.ScaledPicture; }
  int32_t& ScaledPictureWidth() { return b_.ScaledPictureWidth; }
  int32_t& ScaledPictureHeight() { return b_.ScaledPictureHeight; }
  int16_t& PictureSizePixels() { return b_.PictureSizePixels; }
  int32_t& PictureWidth() { return b_.PictureWidth; }
  int32_t& PictureHeight() { return b_.PictureHeight; }
  int32_t& PictureIsIcon() { return b_.PictureIsIcon; }
  int32_t FaceColor() const { return b_.FaceColor; }
  int32_t PressedFaceColor() const { return b_.PressedFaceColor; }
  int32_t HoverFaceColor() const { return b_.HoverFaceColor; }
  int32_t CheckedFaceColor() const { return b_.CheckedFaceColor; }
  int32_t& ParentBackColor() { return b_.ParentBackColor; }

  // Model.
  void PrepareFontAndColors(const std::string& which) { b_.PrepareFontAndColors(which); }

  // Geometry.
  void CalcCaptionLayout(int16_t rebuild = 0) { b_.CalcCaptionLayout(rebuild); }
  void FitPictureToBox(int32_t bw, int32_t bh, int32_t& fw, int32_t& fh) { b_.FitPictureToBox(bw, bh, fw, fh); }
  void CreateButtonRegion() { b_.CreateButtonRegion(); }
  int16_t FrameShapedButton() {
    int16_t inset = -1;
    b_.FrameShapedButton(inset);
    return inset;
  }
  void PrepareScaledPicture(int32_t w, int32_t h, HRGN& region) { b_.PrepareScaledPicture(w, h, region); }
  void DrawTransparentBitmap(HDC dest, const RECT& destRect, HBITMAP bitmap, RECT& source, int32_t& dw,
                             int32_t& dh) {
    b_.DrawTransparentBitmap(dest, destRect, bitmap, source, -1, dw, dh);
  }
  void DrawButtonPicture(RECT& r) { b_.DrawButtonPicture(r); }

  // Painting.
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

  // Hover tracking and option groups.
  void BeginHover(int16_t button) { b_.BeginHover(button); }
  void CheckHoverExit(int32_t timerId) { b_.CheckHoverExit(timerId); }
  int16_t ToggleOptionGroup(int16_t action) {
    int16_t result = 0;
    b_.ToggleOptionGroup(action, result);
    return result;
  }

  // A pixel of the composed picture in the off-screen buffer.
  COLORREF buffer(int x, int y) const { return GetPixel(b_.BufferDC, x, y); }
  // A pixel as it reached the button's window.
  COLORREF surface(int x, int y) const { return GetPixel(b_.UserControl.hDC(), x, y); }

 private:
  ztButtons_H& b_;
};

namespace buttontest {

// A plain window holding one button that is not in its description (a button placed anew).
class ButtonWindow : public Form {
 public:
  explicit ButtonWindow(bool designMode, std::string description =
                                            "Begin Form frmButtons\n"
                                            "   ClientWidth = 3000\n"
                                            "   ClientHeight = 1500\n"
                                            "End\n")
      : Form(std::move(description)) {
    setDesignMode(designMode);
  }
  ~ButtonWindow() override {
    if (Loaded()) Unload();
  }
  ztButtons_H Button1{this, "Button1"};
};

// Records message boxes instead of showing them, for as long as it lives.
class MessageRecorder {
 public:
  struct Box {
    std::string prompt;
    int buttons;
    std::string title;
  };
  MessageRecorder() {
    SetMsgBoxHook([this](const std::string& prompt, int buttons, const std::string& title) {
      boxes.push_back({prompt, buttons, title});
      return vbOK;
    });
  }
  ~MessageRecorder() { SetMsgBoxHook(nullptr); }
  std::vector<Box> boxes;
};

// The keys a button marked with PropertyChanged since the last save; the save clears them.
inline std::vector<std::string> takeChanged(ztButtons_H& b) {
  std::vector<std::string> keys = b.changedProperties();
  DescriptionBlock scratch;
  b.saveProperties(scratch);
  return keys;
}

inline bool marked(const std::vector<std::string>& keys, const std::string& key) {
  for (const auto& k : keys)
    if (k == key) return true;
  return false;
}

// A width x height 24-bit bitmap picture (a DIB section, as loaded bitmaps and JPEGs are).
inline PictureRef bitmapPicture(int width, int height) {
  BITMAPINFO bi;
  std::memset(&bi, 0, sizeof bi);
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  return std::make_shared<StdPicture>(StdPicture::Kind::Bitmap, bmp, std::vector<uint8_t>{});
}

// A size x size colour icon; the icon keeps copies, so the bitmaps made here go at once.
inline PictureRef iconPicture(int size, StdPicture::Kind kind = StdPicture::Kind::Icon) {
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateCompatibleBitmap(screen, size, size);
  ReleaseDC(nullptr, screen);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ICONINFO ii;
  std::memset(&ii, 0, sizeof ii);
  ii.fIcon = kind == StdPicture::Kind::Icon ? TRUE : FALSE;
  ii.hbmColor = color;
  ii.hbmMask = mask;
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(color);
  DeleteObject(mask);
  return std::make_shared<StdPicture>(kind, icon, std::vector<uint8_t>{});
}

}  // namespace buttontest
