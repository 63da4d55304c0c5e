// The animation control: plays a silent clip in a loop at the clip's own frame rate, centred on
// the control's back colour.
#pragma once

#include "framework/Control.h"
#include "framework/ControlWindow.h"

#include <memory>
#include <string>

namespace media {
class AviClip;
}

class Animation : public Control {
 public:
  Animation(Form* owner, std::string name);
  ~Animation() override;

  OLE_COLOR BackColor() const { return backColor_; }
  void setBackColor(OLE_COLOR c);
  // Opens a clip; a clip that cannot be read raises RuntimeError naming the file.
  void Open(const std::string& path);
  // Plays every frame, repeating without end.
  void Play();
  void Stop();
  // Stops and lets the clip go.
  void Close();
  bool isOpen() const { return clip_ != nullptr; }
  bool isPlaying() const { return playing_; }
  int currentFrame() const { return frame_; }

  HWND hWnd() const override { return hwnd_; }
  bool applyProperty(const std::string& key, const PropertyValue& value) override;
  void saveProperties(DescriptionBlock& block) const override;
  void create(HWND parent) override;
  void destroy() override;
  bool isWindowless() const override { return false; }

 private:
  CORVANE_ROUTED_CONTROL;
  LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void paint(HDC dc);

  HWND hwnd_ = nullptr;
  OLE_COLOR backColor_ = 0x8000000F;
  std::unique_ptr<media::AviClip> clip_;
  int frame_ = 0;
  bool playing_ = false;
};
