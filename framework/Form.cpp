// The window object itself: the registers of windows, its controls, its properties and its place
// on the screen.
#include "framework/Form.h"

#include "framework/FormRuntime.h"
#include "framework/PropertyBag.h"

#include <algorithm>

namespace formruntime {

std::map<HWND, Form*>& windows() {
  static std::map<HWND, Form*> m;
  return m;
}
std::vector<Form*>& loaded() {
  static std::vector<Form*> v;
  return v;
}

bool iequal(const std::string& a, const std::string& b) {
  return PropertyBag::foldKey(a) == PropertyBag::foldKey(b);
}

}  // namespace formruntime

using namespace formruntime;

namespace {

std::vector<std::shared_ptr<Form>>& released() {
  static std::vector<std::shared_ptr<Form>> v;
  return v;
}

// The image of an icon file nearest 16 x 16 as an icon of that size, for title bars and task
// lists; the big icon shrunk when the file yields none.
HICON smallIconOf(const StdPicture& picture) {
  if (picture.kind() != StdPicture::Kind::Icon) return nullptr;
  if (HICON icon = DecodeIconImage(picture.sourceBytes(), 16, 16)) return icon;
  return static_cast<HICON>(CopyImage(picture.Handle(), IMAGE_ICON, 16, 16, 0));
}

}  // namespace

void KeepReleasedForm(std::shared_ptr<Form> form) {
  released().push_back(std::move(form));
  CollectReleasedForms();
}

void CollectReleasedForms() {
  auto& r = released();
  for (size_t i = 0; i < r.size();) {
    if (!r[i]->Loaded() && r[i]->inUse() == 0) {
      std::shared_ptr<Form> doomed = std::move(r[i]);
      r.erase(r.begin() + static_cast<std::ptrdiff_t>(i));
      doomed.reset();
    } else {
      ++i;
    }
  }
}

Form::Form(std::string description) : description_(std::move(description)) {}

Form::~Form() {
  // A window still loaded here goes without its unload step: the controls are already gone.
  if (hwnd_) {
    windows().erase(hwnd_);
    auto& l = loaded();
    l.erase(std::remove(l.begin(), l.end(), this), l.end());
    releaseImage();
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
  releaseSmallIcon();
}

Form* Form::fromWindow(HWND hwnd) {
  auto it = windows().find(hwnd);
  return it == windows().end() ? nullptr : it->second;
}

std::vector<Form*> Form::loadedForms() { return loaded(); }

void Form::registerControl(Control* c) { controls_.push_back(c); }

void Form::unregisterControl(Control* c) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
  if (focus_ == c) focus_ = nullptr;
  if (shownDefault_ == c) shownDefault_ = nullptr;
  if (pressedWindowless_ == c) pressedWindowless_ = nullptr;
}

Control* Form::control(const std::string& name) const {
  for (Control* c : controls_)
    if (iequal(c->Name(), name)) return c;
  return nullptr;
}

void Form::setCaption(const std::string& caption) {
  caption_ = caption;
  if (hwnd_) SetWindowTextA(hwnd_, caption_.c_str());
}

void Form::setBackColor(OLE_COLOR color) {
  backColor_ = color;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  for (Control* c : controls_) c->ambientChanged("BackColor");
}

bool Form::Enabled() const { return enabled_; }

void Form::setEnabled(bool enabled) {
  enabled_ = enabled;
  if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

void Form::setIcon(PictureRef icon) {
  icon_ = std::move(icon);
  if (hwnd_) applyIcon();
}

void Form::applyIcon() {
  const bool isIcon = icon_ && icon_->Type() == vbPicTypeIcon;
  HICON small = isIcon ? smallIconOf(*icon_) : nullptr;
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, isIcon ? reinterpret_cast<LPARAM>(icon_->Handle()) : 0);
  SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  releaseSmallIcon();
  smallIcon_ = small;
}

void Form::releaseSmallIcon() {
  if (smallIcon_) DestroyIcon(smallIcon_);
  smallIcon_ = nullptr;
}

int32_t Form::Left() const {
  if (!hwnd_) return left_;
  RECT r;
  GetWindowRect(hwnd_, &r);
  return r.left * 15;
}
int32_t Form::Top() const {
  if (!hwnd_) return top_;
  RECT r;
  GetWindowRect(hwnd_, &r);
  return r.top * 15;
}
int32_t Form::Width() const {
  if (!hwnd_) return clientWidth_;
  RECT r;
  GetWindowRect(hwnd_, &r);
  return (r.right - r.left) * 15;
}
int32_t Form::Height() const {
  if (!hwnd_) return clientHeight_;
  RECT r;
  GetWindowRect(hwnd_, &r);
  return (r.bottom - r.top) * 15;
}

void Form::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (!hwnd_) {
    left_ = left;
    top_ = top;
    if (width >= 0) clientWidth_ = width;
    if (height >= 0) clientHeight_ = height;
    return;
  }
  RECT r;
  GetWindowRect(hwnd_, &r);
  int w = width >= 0 ? TwipsToPixels(width) : r.right - r.left;
  int h = height >= 0 ? TwipsToPixels(height) : r.bottom - r.top;
  MoveWindow(hwnd_, TwipsToPixels(left), TwipsToPixels(top), w, h, TRUE);
}

float Form::ScaleWidth() const {
  if (!hwnd_) return static_cast<float>(clientWidth_);
  RECT r;
  GetClientRect(hwnd_, &r);
  return static_cast<float>((r.right - r.left) * 15);
}

float Form::ScaleHeight() const {
  if (!hwnd_) return static_cast<float>(clientHeight_);
  RECT r;
  GetClientRect(hwnd_, &r);
  return static_cast<float>((r.bottom - r.top) * 15);
}
