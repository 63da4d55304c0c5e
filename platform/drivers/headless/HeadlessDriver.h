// The headless driver: an in-memory screen on which the top-level windows are composed in Z order
// over the desktop colour. It keeps its own copy of every window's pixels, taken at present time,
// so the screen shows exactly what was presented. The screen is 1024 x 768 unless
// CORVANE_SCREEN=WxH says otherwise (each side 1 to 16384).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "user/Driver.h"

namespace drivers {

class HeadlessDriver : public Driver {
 public:
  HeadlessDriver();

  const char* name() const override { return "headless"; }
  void attach(EventSink* sink) override { sink_ = sink; }
  bool showsFrame() const override { return true; }
  SIZE screenSize() const override { return size_; }
  bool createWindow(HWND hwnd, const WindowDesc& desc) override;
  void destroyWindow(HWND hwnd) override;
  void showWindow(HWND hwnd, bool visible) override;
  void moveWindow(HWND hwnd, const RECT& windowRect, const RECT& clientRect) override;
  void setTitle(HWND hwnd, const std::string& title) override;
  void restack(const std::vector<HWND>& topToBottom) override {
    std::lock_guard guard(lock_);
    order_ = topToBottom;
  }
  void setIcon(HWND, HICON, HICON) override {}
  void activate(HWND) override {}
  void present(HWND hwnd, const gdi::BitmapObject& surface, const RECT& area) override;
  void setWindowShape(HWND hwnd, const std::vector<RECT>* regionRects) override;
  void presentFromThread(HWND hwnd, const RECT& area, const uint32_t* pixels, int stride) override;
  void setCursor(HCURSOR cursor) override { cursor_ = cursor; }
  void setCursorPos(POINT) override {}
  void pumpEvents() override {}
  bool waitForEvents(int timeoutMs) override;
  void readScreen(gdi::BitmapObject& target) override;
  void claimClipboard() override {}
  bool readForeignClipboard(std::string&) override { return false; }
  void offerPrimarySelection(bool offered) override { primaryOffered_ = offered; }
  void handOverClipboard() override {}
  // The text the process offers as the primary selection, asked of the window system as another
  // program would; false when it offers none.
  bool primarySelection(std::string& text) const {
    return primaryOffered_ && sink_ != nullptr && sink_->primaryText(text);
  }

  // The composed screen, 0x00RRGGBB per pixel, row by row.
  std::vector<uint32_t> compose() const;
  // One pixel of it, without composing the rest; (x, y) on the screen.
  uint32_t composedPixel(int x, int y) const;
  // A window's own pixels (frame included) as last presented (black where nothing was); false
  // for an unknown window.
  bool windowImage(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height) const;
  HCURSOR cursor() const { return cursor_; }

 private:
  struct NativeWindow {
    RECT rect{0, 0, 0, 0};
    bool visible = false;
    std::string title;
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    bool shaped = false;
    std::vector<RECT> shape;  // window coordinates
  };
  EventSink* sink_ = nullptr;
  mutable std::mutex lock_;  // windows_ and order_
  SIZE size_{1024, 768};
  std::map<HWND, NativeWindow> windows_;
  std::vector<HWND> order_;
  HCURSOR cursor_ = nullptr;
  bool primaryOffered_ = false;
};

// The headless driver in use, or nullptr when another driver runs.
HeadlessDriver* activeHeadlessDriver();

}  // namespace drivers
