#include "framework/Form.h"

#include <windowsx.h>

#include "framework/App.h"
#include "framework/UserControl.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

std::map<HWND, Form*>& windows() {
  static std::map<HWND, Form*> m;
  return m;
}
std::vector<Form*>& loaded() {
  static std::vector<Form*> v;
  return v;
}
std::vector<std::shared_ptr<Form>>& released() {
  static std::vector<std::shared_ptr<Form>> v;
  return v;
}

constexpr char kFormClass[] = "CorvaneForm";

LONG px(int32_t twips) { return static_cast<LONG>(std::nearbyint(twips / 15.0)); }

// The image of an icon file nearest 16 x 16 as an icon of that size, for title bars and task
// lists; the big icon shrunk when the file yields none.
HICON smallIconOf(const StdPicture& picture) {
  if (picture.kind() != StdPicture::Kind::Icon) return nullptr;
  if (HICON icon = DecodeIconImage(picture.sourceBytes(), 16, 16)) return icon;
  return static_cast<HICON>(CopyImage(picture.Handle(), IMAGE_ICON, 16, 16, 0));
}

int16_t shiftState() {
  int16_t s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= 1;
  if (GetKeyState(VK_CONTROL) < 0) s |= 2;
  if (GetKeyState(VK_MENU) < 0) s |= 4;
  return s;
}

int16_t buttonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return 1;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return 2;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return 4;
    default: return 0;
  }
}

int16_t heldButtons(WPARAM keys) {
  int16_t b = 0;
  if (keys & MK_LBUTTON) b |= 1;
  if (keys & MK_RBUTTON) b |= 2;
  if (keys & MK_MBUTTON) b |= 4;
  return b;
}

bool iequal(const std::string& a, const std::string& b) {
  return PropertyBag::foldKey(a) == PropertyBag::foldKey(b);
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

// ---- Loading ----

void Form::applyDescription(const DescriptionBlock& b) {
  name_ = b.name;
  for (const auto& p : b.properties) {
    std::string k = PropertyBag::foldKey(p.key);
    try {
      if (k == "caption") caption_ = p.value.toText();
      else if (k == "backcolor") backColor_ = static_cast<OLE_COLOR>(p.value.toLong());
      else if (k == "forecolor") foreColor_ = static_cast<OLE_COLOR>(p.value.toLong());
      else if (k == "clientwidth") clientWidth_ = p.value.toLong();
      else if (k == "clientheight") clientHeight_ = p.value.toLong();
      else if (k == "left" || k == "clientleft") left_ = p.value.toLong();
      else if (k == "top" || k == "clienttop") top_ = p.value.toLong();
      else if (k == "startupposition") startUpPosition_ = p.value.toInteger();
      else if (k == "borderstyle") borderStyle_ = p.value.toInteger();
      else if (k == "autoredraw") autoRedraw_ = p.value.toBool();
      else if (k == "keypreview") keyPreview_ = p.value.toBool();
      else if (k == "font") font_ = p.value.toFont() ? p.value.toFont() : NewFont();
      else if (k == "icon") icon_ = p.value.toPicture();
      else if (k == "scalemode" || k == "controlbox" || k == "maxbutton" || k == "minbutton" ||
               k == "showintaskbar" || k == "linktopic")
        ;  // accepted; this framework's windows have one scale mode and a fixed frame
      else throw FormDescriptionError(p.line, "unknown window property \"" + p.key + "\"");
    } catch (const FormDescriptionError&) {
      throw;
    } catch (const RuntimeError& e) {
      throw FormDescriptionError(p.line, "\"" + p.key + "\": " + e.Description);
    }
  }
  std::vector<Control*> described;
  for (const auto& child : b.children) {
    Control* c = control(child.name);
    if (!c) throw FormDescriptionError(child.line, "the window has no control \"" + child.name + "\"");
    if (!iequal(c->kind(), child.kind) && !iequal(c->kind(), child.kind.substr(child.kind.rfind('.') + 1)))
      throw FormDescriptionError(child.line, "\"" + child.name + "\" is a " + c->kind() + ", not a " + child.kind);
    if (!child.children.empty())
      throw FormDescriptionError(child.children.front().line, "controls cannot hold controls");
    for (const auto& p : child.properties) {
      bool taken = false;
      try {
        taken = c->applyProperty(PropertyBag::foldKey(p.key), p.value);
      } catch (const RuntimeError& e) {
        throw FormDescriptionError(p.line, "\"" + p.key + "\": " + e.Description);
      }
      if (!taken) throw FormDescriptionError(p.line, "unknown property \"" + p.key + "\" of " + child.name);
    }
    described.push_back(c);
  }
  // Described controls keep the description's order (it is also their drawing order).
  std::vector<Control*> order = described;
  for (Control* c : controls_)
    if (std::find(order.begin(), order.end(), c) == order.end()) order.push_back(c);
  controls_ = order;
}

void Form::createWindow() {
  static bool registered = [] {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC | CS_DBLCLKS;
    wc.lpfnWndProc = &Form::windowProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kFormClass;
    return RegisterClassA(&wc) != 0;
  }();
  (void)registered;

  DWORD style = WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  switch (borderStyle_) {
    case 0: style |= WS_POPUP; break;
    case 1: style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
    case 3: style |= WS_CAPTION | WS_SYSMENU; exStyle |= WS_EX_DLGMODALFRAME; break;
    case 4: style |= WS_CAPTION | WS_SYSMENU; exStyle |= WS_EX_TOOLWINDOW; break;
    case 5: style |= WS_OVERLAPPEDWINDOW; exStyle |= WS_EX_TOOLWINDOW; break;
    default: style |= WS_OVERLAPPEDWINDOW; break;
  }
  RECT r{0, 0, px(clientWidth_), px(clientHeight_)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = px(left_), y = px(top_);
  if (startUpPosition_ == 1 || startUpPosition_ == 2) {
    x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  } else {
    // Left and top name the client area's corner; the frame goes around it.
    x += r.left;
    y += r.top;
  }
  HWND hwnd = CreateWindowExA(exStyle, kFormClass, caption_.c_str(), style, x, y, w, h, nullptr,
                              nullptr, nullptr, this);
  if (!hwnd) throw RuntimeError(ErrFormDescription, "the window \"" + name_ + "\" cannot be created");
  hwnd_ = hwnd;
  windows()[hwnd] = this;
  loaded().push_back(this);
  windowDC_ = GetDC(hwnd);
  if (icon_) applyIcon();
  if (autoRedraw_) rebuildImage();
}

void Form::Load() {
  if (hwnd_) return;
  FormUse use(this);
  static thread_local int depth = 0;
  if (depth > 16) throw RuntimeError(ErrFormDescription, "windows load each other without end");
  ++depth;
  struct Leave { ~Leave() { --depth; } } leave;

  // Every load starts from the description, as a fresh window would.
  caption_.clear();
  backColor_ = 0x8000000F;
  foreColor_ = 0x80000012;
  autoRedraw_ = false;
  keyPreview_ = false;
  borderStyle_ = 2;
  startUpPosition_ = 0;
  left_ = top_ = 0;
  clientWidth_ = 4680;
  clientHeight_ = 3195;
  font_ = NewFont();
  icon_.reset();
  focus_ = shownDefault_ = pressedWindowless_ = nullptr;
  visible_ = false;
  if (!description_.empty()) applyDescription(ParseFormDescription(description_));
  createWindow();
  for (Control* c : controls_) c->create(hwnd_);
  for (Control* c : controls_) c->loaded();
  Form_Load();
}

// ---- Showing ----

bool Form::Visible() const { return hwnd_ && visible_; }

void Form::setVisible(bool visible) {
  if (visible) {
    Show(vbModeless);
    return;
  }
  if (!hwnd_ || !visible_) return;
  visible_ = false;
  ShowWindow(hwnd_, SW_HIDE);
  for (Control* c : controls_) c->containerShown(false);
}

void Form::Show(int16_t modal) {
  FormUse use(this);
  Load();
  if (!hwnd_) return;  // Form_Load unloaded the window again
  if (modal && visible_) throw RuntimeError(400, "Form already displayed; can't show modally");

  std::vector<HWND> disabled;
  const HWND activeBefore = modal ? GetActiveWindow() : nullptr;
  if (modal && !visible_) {
    // The window that was active when it opened owns it while it is modal, as a dialog box's
    // owner does: the window manager keeps it over that one and knows it is its dialog.
    SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT,
                      reinterpret_cast<LONG_PTR>(activeBefore != hwnd_ ? activeBefore : nullptr));
  }
  if (modal) {
    for (Form* f : loaded()) {
      if (f != this && f->hwnd_ && IsWindowEnabled(f->hwnd_)) {
        EnableWindow(f->hwnd_, FALSE);
        disabled.push_back(f->hwnd_);
      }
    }
  }
  if (!visible_) {
    visible_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    SetActiveWindow(hwnd_);
    if (!focus_) {
      auto order = tabOrder();
      if (!order.empty())
        order.front()->SetFocus();
      else
        ::SetFocus(hwnd_);
    } else {
      focus_->SetFocus();
    }
    for (Control* c : controls_) c->containerShown(true);
    notifyDefaultChange();
    UpdateWindow(hwnd_);
    Form_Activate();
  }
  if (modal) {
    MSG msg;
    while (hwnd_ && visible_) {
      BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (got < 0) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, TRUE);
    // An owner takes its owned windows with it when it goes; the ownership ends with the wait.
    if (hwnd_) SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, 0);
    // The window closed while the one below was still disabled, so nothing took its place:
    // the window that was active before it comes back, as below a closed dialog.
    if (!GetActiveWindow() && activeBefore && IsWindow(activeBefore) && IsWindowVisible(activeBefore))
      SetActiveWindow(activeBefore);
  }
}

void Form::Unload() {
  if (!hwnd_ || unloading_) return;
  FormUse use(this);
  unloading_ = true;
  int16_t cancel = 0;
  Form_Unload(cancel);
  if (cancel || !hwnd_) {
    unloading_ = false;
    return;
  }
  HWND hwnd = hwnd_;
  if (visible_) {
    visible_ = false;
    ShowWindow(hwnd, SW_HIDE);
  }
  for (Control* c : controls_) c->destroy();
  releaseImage();
  windows().erase(hwnd);
  auto& l = loaded();
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
  hwnd_ = nullptr;
  windowDC_ = nullptr;  // the window's own device context goes with the window
  focus_ = shownDefault_ = pressedWindowless_ = nullptr;
  DestroyWindow(hwnd);
  releaseSmallIcon();
  unloading_ = false;
}

// ---- Properties ----

HDC Form::hDC() const { return autoRedraw_ && imageDC_ ? imageDC_ : windowDC_; }

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
  int w = width >= 0 ? px(width) : r.right - r.left;
  int h = height >= 0 ? px(height) : r.bottom - r.top;
  MoveWindow(hwnd_, px(left), px(top), w, h, TRUE);
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

// ---- The retained image ----

void Form::rebuildImage() {
  if (!hwnd_ || !windowDC_) return;
  RECT r;
  GetClientRect(hwnd_, &r);
  int w = std::max<LONG>(1, r.right), h = std::max<LONG>(1, r.bottom);
  HDC dc = CreateCompatibleDC(windowDC_);
  HBITMAP bm = CreateCompatibleBitmap(windowDC_, w, h);
  HGDIOBJ old = SelectObject(dc, bm);
  RECT all{0, 0, w, h};
  HBRUSH brush = CreateSolidBrush(TranslateOleColor(backColor_));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  if (imageDC_) {
    BitBlt(dc, 0, 0, w, h, imageDC_, 0, 0, SRCCOPY);
    releaseImage();
  }
  imageDC_ = dc;
  imageBitmap_ = bm;
  imageOldBitmap_ = old;
}

void Form::releaseImage() {
  if (!imageDC_) return;
  SelectObject(imageDC_, imageOldBitmap_);
  DeleteObject(imageBitmap_);
  DeleteDC(imageDC_);
  imageDC_ = nullptr;
  imageBitmap_ = nullptr;
  imageOldBitmap_ = nullptr;
}

void Form::setAutoRedraw(bool on) {
  if (on == autoRedraw_) return;
  autoRedraw_ = on;
  if (!hwnd_) return;
  if (on) {
    rebuildImage();
  } else if (imageDC_ && windowDC_) {
    // What was drawn into the image is what the window shows from now on.
    RECT r;
    GetClientRect(hwnd_, &r);
    BitBlt(windowDC_, 0, 0, r.right, r.bottom, imageDC_, 0, 0, SRCCOPY);
  }
}

void Form::Refresh() {
  if (!hwnd_) return;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

void Form::Cls() {
  HDC dc = hDC();
  if (!dc) return;
  RECT r;
  GetClientRect(hwnd_, &r);
  HBRUSH brush = CreateSolidBrush(TranslateOleColor(backColor_));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Form::paint(HDC dc, const RECT& area) {
  if (imageDC_) {
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, imageDC_,
           area.left, area.top, SRCCOPY);
  } else {
    HBRUSH brush = CreateSolidBrush(TranslateOleColor(backColor_));
    FillRect(dc, &area, brush);
    DeleteObject(brush);
  }
  for (Control* c : controls_)
    if (c->isWindowless() && c->Visible()) c->paintWindowless(dc);
  if (!autoRedraw_) Form_Paint();
}

// ---- Keyboard ----

std::vector<Control*> Form::tabOrder() const {
  std::vector<Control*> order;
  for (Control* c : controls_)
    if (c->canFocus() && c->hWnd() && c->Visible() && c->Enabled() && c->TabStop()) order.push_back(c);
  std::stable_sort(order.begin(), order.end(),
                   [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
  return order;
}

void Form::moveFocus(bool forward) {
  auto order = tabOrder();
  if (order.empty()) return;
  auto it = std::find(order.begin(), order.end(), focus_);
  size_t i;
  if (it == order.end())
    i = forward ? 0 : order.size() - 1;
  else {
    size_t cur = static_cast<size_t>(it - order.begin());
    i = forward ? (cur + 1) % order.size() : (cur + order.size() - 1) % order.size();
  }
  order[i]->SetFocus();
}

Control* Form::ActiveControl() const { return focus_; }

Control* Form::displayedDefault() const {
  if (!designMode_ && focus_ && focus_->actsAsButton() && focus_->Visible()) return focus_;
  for (Control* c : controls_)
    if (c->Default()) return c;
  return nullptr;
}

void Form::notifyDefaultChange() {
  Control* now = displayedDefault();
  Control* before = shownDefault_;
  shownDefault_ = now;
  if (before == now) return;
  if (before) before->displayAsDefaultChanged();
  if (now) now->displayAsDefaultChanged();
}

void Form::focusMovedTo(Control* c) {
  if (focus_ == c) return;
  Control* old = focus_;
  focus_ = c;
  if (old) old->focusChanged(false);
  notifyDefaultChange();
  if (c) c->focusChanged(true);
}

bool Form::navigationKey(UINT message, WPARAM key) {
  if (message == WM_KEYDOWN) {
    bool ctrlOrAlt = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    if (key == VK_TAB && !ctrlOrAlt) {
      moveFocus(GetKeyState(VK_SHIFT) >= 0);
      return true;
    }
    if (key == VK_RETURN && !ctrlOrAlt) {
      Control* target = displayedDefault();
      if (!target || !target->Enabled() || !target->Visible()) return false;
      target->accessKeyPressed(13);
      return true;
    }
    if (key == VK_ESCAPE && !ctrlOrAlt) {
      for (Control* c : controls_) {
        if (c->Cancel() && c->Enabled() && c->Visible()) {
          c->accessKeyPressed(27);
          return true;
        }
      }
    }
    return false;
  }
  if (message == WM_SYSKEYDOWN) {
    char ch = 0;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
      ch = static_cast<char>(std::tolower(static_cast<int>(key)));
    if (!ch) return false;
    // Labels first pass the key on to the next control in tab order that can take the focus.
    std::vector<Control*> all = controls_;
    std::stable_sort(all.begin(), all.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (size_t i = 0; i < all.size(); ++i) {
      Control* c = all[i];
      if (!c->Visible() || !c->Enabled() || !c->answersAccessKey(ch)) continue;
      if (c->canFocus()) {
        c->SetFocus();
        c->accessKeyPressed(static_cast<int16_t>(static_cast<unsigned char>(ch)));
        return true;
      }
      auto order = tabOrder();
      for (Control* next : order) {
        if (next->TabIndex() > c->TabIndex()) {
          next->SetFocus();
          return true;
        }
      }
      if (!order.empty()) order.front()->SetFocus();
      return true;
    }
    return false;
  }
  if (message == WM_SYSCHAR) {
    unsigned char ch = static_cast<unsigned char>(std::tolower(static_cast<int>(key & 0xFF)));
    for (Control* c : controls_)
      if (c->Visible() && c->Enabled() && c->answersAccessKey(static_cast<char>(ch))) return true;
  }
  return false;
}

bool Form::previewKey(UINT message, WPARAM key) {
  if (!keyPreview_) return false;
  int16_t shift = shiftState();
  switch (message) {
    case WM_KEYDOWN: {
      int16_t code = static_cast<int16_t>(key);
      Form_KeyDown(code, shift);
      return code == 0;
    }
    case WM_KEYUP: {
      int16_t code = static_cast<int16_t>(key);
      Form_KeyUp(code, shift);
      return code == 0;
    }
    case WM_CHAR: {
      int16_t ascii = static_cast<int16_t>(key & 0xFF);
      Form_KeyPress(ascii);
      return ascii == 0;
    }
    default:
      return false;
  }
}

// ---- Mouse ----

Control* Form::windowlessAt(POINT p) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    Control* c = *it;
    if (!c->isWindowless() || !c->Visible()) continue;
    RECT r = c->pixelRect();
    if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) return c;
  }
  return nullptr;
}

void Form::updateCursor(POINT p) {
  Control* c = windowlessAt(p);
  HCURSOR cursor = c ? c->cursor() : nullptr;
  SetCursor(cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW));
}

void Form::raiseMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  Control* target = (msg == WM_MOUSEMOVE || msg == WM_LBUTTONUP || msg == WM_RBUTTONUP ||
                     msg == WM_MBUTTONUP) && pressedWindowless_
                        ? pressedWindowless_
                        : windowlessAt(p);
  bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
  bool up = msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP;
  bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  if (msg == WM_MOUSEMOVE) updateCursor(p);
  if (down) SetCapture(hwnd_);
  if (up && GetCapture() == hwnd_) ReleaseCapture();

  if (target) {
    if (target->Enabled()) target->windowlessMouse(msg, wParam, p);
    if (down) pressedWindowless_ = target;
    if (up) pressedWindowless_ = nullptr;
    return;
  }
  int16_t button = msg == WM_MOUSEMOVE ? heldButtons(wParam) : buttonOf(msg);
  int16_t shift = shiftState();
  float x = static_cast<float>(p.x * 15), y = static_cast<float>(p.y * 15);
  if (down) {
    Form_MouseDown(button, shift, x, y);
  } else if (up) {
    Form_MouseUp(button, shift, x, y);
    RECT r;
    GetClientRect(hwnd_, &r);
    if (hwnd_ && p.x >= 0 && p.y >= 0 && p.x < r.right && p.y < r.bottom) Form_Click();
  } else if (dbl) {
    Form_DblClick();
  } else {
    Form_MouseMove(button, shift, x, y);
  }
}

// ---- Messages ----

LRESULT CALLBACK Form::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    if (cs && cs->lpCreateParams) windows()[hwnd] = static_cast<Form*>(cs->lpCreateParams);
  }
  Form* f = fromWindow(hwnd);
  // Until CreateWindowExA returns, the window is not yet the form's to handle.
  if (!f || f->hwnd_ != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
  FormUse use(f);
  return f->handleMessage(msg, wParam, lParam);
}

LRESULT Form::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) paint(dc, ps.rcPaint);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SIZE:
      if (imageDC_) rebuildImage();
      if (hwnd_) Form_Resize();
      return 0;
    case WM_CLOSE:
      Unload();
      return 0;
    case WM_SETFOCUS:
      focusMovedTo(nullptr);
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd && LOWORD(lParam) == HTCLIENT) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(hwnd, &p);
        updateCursor(p);
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
      if (hwnd_) raiseMouse(msg, wParam, lParam);
      return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
      if (navigationKey(msg, wParam)) return 0;
      if (msg == WM_SYSKEYDOWN) break;
      int16_t key = static_cast<int16_t>(wParam), shift = shiftState();
      Form_KeyDown(key, shift);
      return 0;
    }
    case WM_SYSCHAR:
      if (navigationKey(msg, wParam)) return 0;
      break;
    case WM_CHAR: {
      int16_t ascii = static_cast<int16_t>(wParam & 0xFF);
      Form_KeyPress(ascii);
      return 0;
    }
    case WM_KEYUP: {
      int16_t key = static_cast<int16_t>(wParam), shift = shiftState();
      Form_KeyUp(key, shift);
      return 0;
    }
    case WM_NCDESTROY:
      windows().erase(hwnd);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- Saving ----

std::string Form::SaveDescription() {
  DescriptionBlock root;
  root.kind = "Form";
  root.name = name_;
  root.set("Caption", PropertyValue(caption_));
  if (backColor_ != 0x8000000F) root.set("BackColor", PropertyValue(backColor_));
  if (foreColor_ != 0x80000012) root.set("ForeColor", PropertyValue(foreColor_));
  if (borderStyle_ != 2) root.set("BorderStyle", PropertyValue(borderStyle_));
  root.set("ClientLeft", PropertyValue(left_));
  root.set("ClientTop", PropertyValue(top_));
  root.set("ClientWidth", PropertyValue(static_cast<int32_t>(hwnd_ ? ScaleWidth() : clientWidth_)));
  root.set("ClientHeight", PropertyValue(static_cast<int32_t>(hwnd_ ? ScaleHeight() : clientHeight_)));
  if (startUpPosition_) root.set("StartUpPosition", PropertyValue(startUpPosition_));
  if (autoRedraw_) root.set("AutoRedraw", PropertyValue(VbBoolean(true)));
  if (keyPreview_) root.set("KeyPreview", PropertyValue(VbBoolean(true)));
  root.set("Font", PropertyValue(font_));
  if (icon_) root.set("Icon", PropertyValue(icon_));
  for (Control* c : controls_) {
    DescriptionBlock b;
    b.kind = c->kind();
    b.name = c->Name();
    c->saveProperties(b);
    root.children.push_back(std::move(b));
  }
  return WriteFormDescription(root);
}
