// A plain push button in the classic raised look: a caption with an access key, Click, and Enter
// and Escape when it is the window's default or cancel button.
#pragma once

#include "framework/Control.h"
#include "framework/ControlWindow.h"
#include "framework/Event.h"
#include "framework/StdFont.h"

class CommandButton : public WindowedControl {
 public:
  CommandButton(Form* owner, std::string name)
      : WindowedControl(owner, std::move(name), "CommandButton") {}
  ~CommandButton() override { destroy(); }

  std::string Caption() const { return caption_; }
  void setCaption(const std::string& caption);
  FontRef Font() const { return font_; }
  void setFont(FontRef font);

  Event<> Click;

  bool applyProperty(const std::string& key, const PropertyValue& value) override;
  void saveProperties(DescriptionBlock& block) const override;
  void create(HWND parent) override;
  void destroy() override;
  char accessKey() const override { return AccessKeyOf(caption_); }
  void accessKeyPressed(int16_t keyAscii) override { Click.raise(); }
  bool actsAsButton() const override { return true; }
  void displayAsDefaultChanged() override;

 private:
  CORVANE_ROUTED_CONTROL;
  LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void paint(HDC dc);

  std::string caption_;
  FontRef font_ = NewFont();
  bool pressed_ = false;   // drawn sunken
  bool tracking_ = false;  // the left button went down here
  bool spaceDown_ = false;
};
