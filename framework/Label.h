// A label: a caption drawn by its window (no window of its own), with "&" marking an access key
// that passes the focus to the next control in tab order.
#pragma once

#include "framework/Control.h"
#include "framework/Event.h"
#include "framework/StdFont.h"
#include "framework/StdPicture.h"

class Label : public Control {
 public:
  Label(Form* owner, std::string name) : Control(owner, std::move(name), "Label") {}

  std::string Caption() const { return caption_; }
  void setCaption(const std::string& caption);
  FontRef Font() const { return font_; }
  void setFont(FontRef font);
  OLE_COLOR ForeColor() const { return foreColor_; }
  void setForeColor(OLE_COLOR c);
  OLE_COLOR BackColor() const { return backColor_; }
  void setBackColor(OLE_COLOR c);
  // 0 transparent, 1 opaque.
  int16_t BackStyle() const { return backStyle_; }
  void setBackStyle(int16_t s);
  // 0 left, 1 right, 2 centre.
  int16_t Alignment() const { return alignment_; }
  void setAlignment(int16_t a);
  int16_t MousePointer() const { return mousePointer_; }
  void setMousePointer(int16_t p) { mousePointer_ = p; }
  PictureRef MouseIcon() const { return mouseIcon_; }
  void setMouseIcon(PictureRef icon) { mouseIcon_ = std::move(icon); }

  Event<> Click;
  Event<> DblClick;
  Event<int16_t, int16_t, float, float> MouseDown;
  Event<int16_t, int16_t, float, float> MouseMove;
  Event<int16_t, int16_t, float, float> MouseUp;

  bool applyProperty(const std::string& key, const PropertyValue& value) override;
  void saveProperties(DescriptionBlock& block) const override;
  char accessKey() const override { return AccessKeyOf(caption_); }
  void paintWindowless(HDC dc) override;
  void windowlessMouse(UINT message, WPARAM keys, POINT clientPixel) override;
  HCURSOR cursor() const override;

 private:
  std::string caption_;
  FontRef font_ = NewFont();
  OLE_COLOR foreColor_ = 0x80000012;
  OLE_COLOR backColor_ = 0x8000000F;
  int16_t backStyle_ = 1;
  int16_t alignment_ = 0;
  int16_t mousePointer_ = 0;
  PictureRef mouseIcon_;
};
