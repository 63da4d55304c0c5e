// Threads: the program's thread calls every public method and handles the window's messages.
// While a clip of more than one frame plays, the player thread advances the frame at the clip's
// rate and draws it through GetDC, SetDIBitsToDevice and ReleaseDC, which the platform accepts
// from any thread.
//
// Shared, under lock_: stop_, frame_, shown_ (with its size) and origin_. The clip is the
// player's alone while the player runs, and the program thread's otherwise. Neither thread holds
// lock_ while it calls the window system, so neither waits for the other's drawing; stopping
// waits for the player to end, which takes at most the frame it is drawing. A player that falls
// behind (a slow display) skips frames rather than hurrying to catch up.
#include "framework/Animation.h"

#include "framework/Form.h"
#include "framework/media/AviClip.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace {

constexpr char kAnimationClass[] = "CorvaneAnimation";

// The common animation control's way with a clip's background: every pixel of the colour of the
// first frame's top-left pixel shows the control's back colour instead, so a clip blends with
// whatever colour the window has on the user's desktop.
void paintBackground(std::vector<uint32_t>& pixels, uint32_t key, COLORREF back) {
  const uint32_t rgb = (GetRValue(back) << 16) | (GetGValue(back) << 8) | GetBValue(back);
  for (uint32_t& p : pixels)
    if ((p & 0xFFFFFF) == key) p = rgb;
}

void drawFrame(HDC dc, const uint32_t* pixels, int width, int height, POINT at) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, at.x, at.y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                    static_cast<UINT>(height), pixels, &bi, DIB_RGB_COLORS);
}

}  // namespace

Animation::Animation(Form* owner, std::string name) : Control(owner, std::move(name), "Animation") {}
Animation::~Animation() {
  destroy();
  stopPlayer();
}

void Animation::setBackColor(OLE_COLOR c) {
  {
    std::lock_guard guard(lock_);
    backColor_ = c;
  }
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

int Animation::currentFrame() const {
  std::lock_guard guard(lock_);
  return frame_;
}

void Animation::Open(const std::string& path) {
  Close();
  try {
    clip_ = std::make_unique<media::AviClip>(media::AviClip::load(path));
  } catch (const std::exception& e) {
    throw RuntimeError(ErrAnimationOpen, std::string("Unable to open AVI file: ") + e.what());
  }
  const std::vector<uint32_t>& first = clip_->frame(0);
  key_ = first.empty() ? 0 : first[0] & 0xFFFFFF;
  show(0);
}

void Animation::Play() {
  if (!clip_) throw RuntimeError(ErrAnimationOpen, "Unable to play: no clip is open");
  stopPlayer();
  playing_ = true;
  show(0);
  if (hwnd_ && clip_->frameCount() > 1) startPlayer();
}

void Animation::Stop() {
  stopPlayer();
  playing_ = false;
}

void Animation::Close() {
  Stop();
  clip_.reset();
  {
    std::lock_guard guard(lock_);
    frame_ = 0;
    shown_.clear();
  }
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

// Program's thread, with no player running: makes a frame the one shown.
void Animation::show(int index) {
  const std::vector<uint32_t>& pixels = clip_->frame(index);
  {
    std::lock_guard guard(lock_);
    frame_ = index;
    shown_ = pixels;
    shownWidth_ = clip_->width();
    shownHeight_ = clip_->height();
  }
  placeFrame();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Animation::placeFrame() {
  if (!hwnd_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  std::lock_guard guard(lock_);
  origin_ = POINT{(client.right - shownWidth_) / 2, (client.bottom - shownHeight_) / 2};
}

void Animation::startPlayer() {
  {
    std::lock_guard guard(lock_);
    stop_ = false;
  }
  unsigned period = std::max<unsigned>(clip_->microsecondsPerFrame(), kMinFrameMicroseconds);
  try {
    player_ = std::thread(&Animation::playLoop, this, hwnd_, period);
  } catch (const std::system_error& e) {
    // No thread to be had (address space or tasks used up): the first frame stays.
    playing_ = false;
    throw RuntimeError(ErrOutOfMemory, std::string("Unable to play: ") + e.what());
  }
}

void Animation::stopPlayer() {
  if (!player_.joinable()) return;
  {
    std::lock_guard guard(lock_);
    stop_ = true;
  }
  wake_.notify_all();
  player_.join();
}

void Animation::playLoop(HWND hwnd, unsigned microsecondsPerFrame) {
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::microseconds(microsecondsPerFrame);
  auto due = Clock::now();
  int index = currentFrame();
  std::vector<uint32_t> drawn;
  for (;;) {
    due += period;
    POINT at;
    OLE_COLOR back;
    {
      std::unique_lock guard(lock_);
      if (wake_.wait_until(guard, due, [this] { return stop_; })) return;
      at = origin_;
      back = backColor_;
    }
    index = (index + 1) % clip_->frameCount();
    const std::vector<uint32_t>* pixels = nullptr;
    try {
      pixels = &clip_->frame(index);
    } catch (const std::exception&) {
      return;  // a frame that cannot be decoded ends the playback, not the program
    }
    {
      std::lock_guard guard(lock_);
      frame_ = index;
      shown_ = *pixels;
    }
    drawn = *pixels;
    paintBackground(drawn, key_, TranslateOleColor(back));
    if (HDC dc = GetDC(hwnd)) {
      drawFrame(dc, drawn.data(), clip_->width(), clip_->height(), at);
      ReleaseDC(hwnd, dc);
    }
    if (Clock::now() > due + period) due = Clock::now();
  }
}

bool Animation::applyProperty(const std::string& k, const PropertyValue& v) {
  if (k == "backcolor") setBackColor(static_cast<OLE_COLOR>(v.toLong()));
  else if (k == "_extentx" || k == "_extenty" || k == "_version" || k == "center" ||
           k == "autoplay" || k == "backstyle" || k == "fullwidth" || k == "fullheight")
    ;  // the clip is always centred on the back colour
  else return Control::applyProperty(k, v);
  return true;
}

void Animation::saveProperties(DescriptionBlock& b) const {
  Control::saveProperties(b);
  if (backColor_ != 0x8000000F) b.set("BackColor", PropertyValue(backColor_));
}

void Animation::create(HWND parent) {
  RegisterControlClass<Animation>(kAnimationClass, 0, IDC_ARROW);
  RECT r = pixelRect();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0);
  hwnd_ = CreateWindowExA(0, kAnimationClass, "", style, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, parent, nullptr, nullptr, this);
  if (!hwnd_) throw RuntimeError(ErrFormDescription, "the animation \"" + Name() + "\" cannot be created");
  placeFrame();
}

void Animation::destroy() {
  // The player draws on the window, so it ends first.
  stopPlayer();
  playing_ = false;
  if (!hwnd_) return;
  HWND h = hwnd_;
  hwnd_ = nullptr;
  DestroyWindow(h);
}

void Animation::paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  const COLORREF back = TranslateOleColor(backColor_);
  HBRUSH brush = CreateSolidBrush(back);
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  std::vector<uint32_t> pixels;
  int width, height;
  POINT at;
  {
    std::lock_guard guard(lock_);
    pixels = shown_;
    width = shownWidth_;
    height = shownHeight_;
    at = origin_;
  }
  paintBackground(pixels, key_, back);
  if (!pixels.empty()) drawFrame(dc, pixels.data(), width, height, at);
}

LRESULT Animation::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto answer = PaintWholeClient(hwnd_, msg, [this](HDC dc) { paint(dc); })) return *answer;
  switch (msg) {
    case WM_SIZE:
      placeFrame();
      break;
    case WM_DESTROY:
      // The window goes with its form as well: the player must not outlive it.
      stopPlayer();
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wParam, lParam);
}
