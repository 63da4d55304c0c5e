// Test access to a button's working fields and private procedures (the class names this one as a
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

  auto& stored() { return b_.stored; }
  HDC& BufferDC() { return b_.BufferDC; }
  HFONT& OldFont() { return b_.OldFont; }
  HBITMAP& ScaledPicture() { return b_.ScaledPicture; }
  int16_t& StateFlags() { return b_.StateFlags; }
  int16_t& DrawingDelayed() { return b_.DrawingDelayed; }
  int16_t& PictureSizePixels() { return b_.PictureSizePixels; }
  int32_t& PictureWidth() { return b_.PictureWidth; }
  int32_t& PictureHeight() { return b_.PictureHeight; }
  int32_t& PictureIsIcon() { return b_.PictureIsIcon; }
  int32_t FaceColor() const { return b_.FaceColor; }
  int32_t PressedFaceColor() const { return b_.PressedFaceColor; }
  int32_t HoverFaceColor() const { return b_.HoverFaceColor; }
  int32_t CheckedFaceColor() const { return b_.CheckedFaceColor; }
  int32_t& ParentBackColor() { return b_.ParentBackColor; }
  void PrepareFontAndColors(const std::string& which) { b_.PrepareFontAndColors(which); }

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
