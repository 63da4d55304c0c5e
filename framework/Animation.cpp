#include "framework/Animation.h"

#include "framework/Form.h"
#include "framework/media/AviClip.h"

#include <algorithm>

namespace {
constexpr char kAnimationClass[] = "CorvaneAnimation";
constexpr UINT_PTR kFrameTimer = 1;
}  // namespace

Animation::Animation(Form* owner, std::string name) : Control(owner, std::move(name), "Animation") {}
Animation::~Animation() { destroy(); }

void Animation::setBackColor(OLE_COLOR c) {
  backColor_ = c;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Animation::Open(const std::string& path) {
  Close();
  try {
    clip_ = std::make_unique<media::AviClip>(media::AviClip::load(path));
  } catch (const std::exception& e) {
    throw RuntimeError(ErrAnimationOpen, std::string("Unable to open AVI file: ") + e.what());
  }
  frame_ = 0;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Animation::Play() {
  if (!clip_) throw RuntimeError(ErrAnimationOpen, "Unable to play: no clip is open");
  playing_ = true;
  frame_ = 0;
  if (hwnd_) {
    UINT ms = std::max<UINT>(USER_TIMER_MINIMUM, (clip_->microsecondsPerFrame() + 500) / 1000);
    SetTimer(hwnd_, kFrameTimer, ms, nullptr);
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
}

void Animation::Stop() {
  playing_ = false;
  if (hwnd_) KillTimer(hwnd_, kFrameTimer);
}

void Animation::Close() {
  Stop();
  clip_.reset();
  frame_ = 0;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

bool Animation::applyProperty(const std::string& k, const PropertyValue& v) {
  if (k == "backcolor") backColor_ = static_cast<OLE_COLOR>(v.toLong());
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
}

void Animation::destroy() {
  if (!hwnd_) return;
  KillTimer(hwnd_, kFrameTimer);
  HWND h = hwnd_;
  hwnd_ = nullptr;
  DestroyWindow(h);
  playing_ = false;
}

void Animation::paint(HDC dc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  HBRUSH back = CreateSolidBrush(TranslateOleColor(backColor_));
  FillRect(dc, &client, back);
  DeleteObject(back);
  if (!clip_ || clip_->frameCount() == 0) return;
  const std::vector<uint32_t>& pixels = clip_->frame(frame_ % clip_->frameCount());
  int w = clip_->width(), h = clip_->height();
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  int x = (client.right - w) / 2, y = (client.bottom - h) / 2;
  SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                    static_cast<UINT>(h), pixels.data(), &bi, DIB_RGB_COLORS);
}

LRESULT Animation::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      return PaintWholeClient(hwnd_, [this](HDC dc) { paint(dc); });
    case WM_TIMER:
      if (wParam == kFrameTimer && playing_ && clip_ && clip_->frameCount() > 0) {
        frame_ = (frame_ + 1) % clip_->frameCount();
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wParam, lParam);
}
