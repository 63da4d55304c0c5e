// An image: a picture drawn by its window (no window of its own), at its own size or stretched
// over the control.
#pragma once

#include "framework/Control.h"
#include "framework/Event.h"
#include "framework/StdPicture.h"

class Image : public Control {
 public:
  Image(Form* owner, std::string name) : Control(owner, std::move(name), "Image") {}

  PictureRef Picture() const { return picture_; }
  void setPicture(PictureRef picture);
  bool Stretch() const { return stretch_; }
  void setStretch(bool on);

  Event<> Click;

  bool applyProperty(const std::string& key, const PropertyValue& value) override;
  void saveProperties(DescriptionBlock& block) const override;
  void paintWindowless(HDC dc) override;
  void windowlessMouse(UINT message, WPARAM keys, POINT clientPixel) override;

 private:
  PictureRef picture_;
  bool stretch_ = false;
};
