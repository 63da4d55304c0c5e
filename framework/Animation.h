// The animation control: plays a silent clip in a loop at the clip's own frame rate, centred on
// the control's back colour, which also takes the place of the clip's own background colour. As the platform's control does, it plays on a thread of its own, so
// the clip keeps moving while the program's thread is blocked (in a device call, say).
#pragma once

#include "framework/Control.h"
#include "framework/ControlWindow.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace media {
class AviClip;
}

class Animation : public Control {
 public:
  Animation(Form* owner, std::string name);
  ~Animation() override;

  // Read and written by the program's thread only; the player reads it under lock_.
  OLE_COLOR BackColor() const { return backColor_; }
  void setBackColor(OLE_COLOR c);
  // Opens a clip, showing its first frame; a clip that cannot be read raises RuntimeError naming
  // the file. The name may be written the Windows way.
  void Open(const std::string& path);
  // Plays every frame from the first, repeating without end; raises RuntimeError 7 when the
  // playing thread cannot be started, leaving the first frame shown.
  void Play();
  // Stops on the frame shown.
  void Stop();
  // Stops and lets the clip go.
  void Close();
  bool isOpen() const { return clip_ != nullptr; }
  bool isPlaying() const { return playing_; }
  int currentFrame() const;

  // The shortest time a frame stays, whatever the clip asks for: the system's timer floor.
  static constexpr unsigned kMinFrameMicroseconds = 10000;

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
  void show(int index);
  void placeFrame();
  void startPlayer();
  void stopPlayer();
  void playLoop(HWND hwnd, unsigned microsecondsPerFrame);

  HWND hwnd_ = nullptr;
  OLE_COLOR backColor_ = 0x8000000F;
  std::unique_ptr<media::AviClip> clip_;  // the player's alone while it runs
  uint32_t key_ = 0;  // the clip's background, 0x00RRGGBB: set while no player runs
  bool playing_ = false;
  std::thread player_;

  mutable std::mutex lock_;
  std::condition_variable wake_;
  bool stop_ = false;
  int frame_ = 0;
  std::vector<uint32_t> shown_;  // the pixels of frame_, empty when no clip is open
  int shownWidth_ = 0, shownHeight_ = 0;
  POINT origin_{0, 0};  // where a frame's top-left corner goes in the client area
};
