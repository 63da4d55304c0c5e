// The tool's view of a button's working fields, for what --print reports.
#pragma once

#include <windows.h>

#include "button/ztButtons_H.h"

#include <cstdint>

class ztButtonsRenderAccess {
 public:
  explicit ztButtonsRenderAccess(ztButtons_H& b) : b_(b) {}

  int16_t StateFlags() const { return b_.StateFlags; }
  int32_t LeftSlantWidth() const { return b_.LeftSlantWidth; }
  int32_t RightSlantStart() const { return b_.RightSlantStart; }
  RECT CaptionRect() const { return b_.CaptionRect; }
  RECT PictureRect() const { return b_.PictureRect; }
  int32_t FaceColor() const { return b_.FaceColor; }
  int32_t PressedFaceColor() const { return b_.PressedFaceColor; }
  int32_t HoverFaceColor() const { return b_.HoverFaceColor; }
  int32_t CheckedFaceColor() const { return b_.CheckedFaceColor; }

 private:
  ztButtons_H& b_;
};
