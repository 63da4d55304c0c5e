#include "framework/UserControl.h"

#include <windowsx.h>

#include "framework/Form.h"
#include "framework/MousePointer.h"
#include "framework/ShiftAndButtons.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr char kUserControlClass[] = "CorvaneUserControl";

// The keys the host keeps for the control's place on its window; everything else is the store.
bool isExtenderKey(const std::string& k) {
  return k == "left" || k == "top" || k == "width" || k == "height" || k == "tabindex" ||
         k == "tabstop" || k == "visible" || k == "default" || k == "cancel" || k == "tag";
}

}  // namespace

// ---- Surface ----

HWND UserControlSurface::hWnd() const { return host_->hwnd_; }
HDC UserControlSurface::hDC() const { return host_->hdc_; }

float UserControlSurface::ScaleWidth() const {
  if (!host_->hwnd_) return static_cast<float>(host_->pixelRect().right - host_->pixelRect().left);
  RECT r;
  GetClientRect(host_->hwnd_, &r);
  return static_cast<float>(r.right - r.left);
}

float UserControlSurface::ScaleHeight() const {
  if (!host_->hwnd_) return static_cast<float>(host_->pixelRect().bottom - host_->pixelRect().top);
  RECT r;
  GetClientRect(host_->hwnd_, &r);
  return static_cast<float>(r.bottom - r.top);
}

OLE_COLOR UserControlSurface::ForeColor() const { return host_->foreColor_; }
void UserControlSurface::setForeColor(OLE_COLOR c) { host_->foreColor_ = c; }
OLE_COLOR UserControlSurface::BackColor() const { return host_->backColor_; }
void UserControlSurface::setBackColor(OLE_COLOR c) { host_->backColor_ = c; }
bool UserControlSurface::Enabled() const { return host_->Control::Enabled(); }
void UserControlSurface::setEnabled(bool e) { host_->Control::setEnabled(e); }
FontRef UserControlSurface::Font() const { return host_->font_; }
void UserControlSurface::setFont(FontRef f) {
  // No object leaves the font as it is: a host always has one.
  if (f) host_->font_ = std::move(f);
}
int16_t UserControlSurface::MousePointer() const { return host_->mousePointer_; }
void UserControlSurface::setMousePointer(int16_t p) {
  host_->mousePointer_ = p;
  host_->applyCursor();
}
PictureRef UserControlSurface::MouseIcon() const { return host_->mouseIcon_; }
void UserControlSurface::setMouseIcon(PictureRef icon) {
  host_->mouseIcon_ = std::move(icon);
  host_->applyCursor();
}
std::string UserControlSurface::Tag() const { return host_->tag_; }
void UserControlSurface::setTag(const std::string& t) { host_->tag_ = t; }
std::string UserControlSurface::AccessKeys() const { return host_->accessKeys_; }
void UserControlSurface::setAccessKeys(const std::string& k) { host_->accessKeys_ = k; }
bool UserControlSurface::DefaultCancel() const { return host_->defaultCancel_; }
void UserControlSurface::setDefaultCancel(bool on) {
  host_->defaultCancel_ = on;
  host_->Parent().notifyDefaultChange();
}
Form& UserControlSurface::Parent() const { return host_->Parent(); }
HWND UserControlSurface::ContainerHwnd() const { return host_->Parent().hWnd(); }
int32_t UserControlSurface::Width() const { return host_->Width(); }
int32_t UserControlSurface::Height() const { return host_->Height(); }
void UserControlSurface::setWidth(int32_t w) { host_->setWidth(w); }
void UserControlSurface::setHeight(int32_t h) { host_->setHeight(h); }
void UserControlSurface::Size(int32_t w, int32_t h) { host_->Move(host_->Left(), host_->Top(), w, h); }

float UserControlSurface::ScaleX(float v, int16_t from, int16_t to) const {
  return static_cast<float>(ConvertScale(v, from, to));
}
float UserControlSurface::ScaleY(float v, int16_t from, int16_t to) const {
  return static_cast<float>(ConvertScale(v, from, to));
}

void UserControlSurface::Refresh() { GdiFlush(); }

void UserControlSurface::PropertyChanged(const std::string& key) {
  auto& c = host_->changed_;
  if (std::find(c.begin(), c.end(), key) == c.end()) c.push_back(key);
}

// ---- Ambient ----

bool AmbientProperties::UserMode() const { return !host_->Parent().designMode(); }
bool AmbientProperties::DisplayAsDefault() const { return host_->Parent().displayedDefault() == host_; }
std::string AmbientProperties::DisplayName() const { return host_->Name(); }
OLE_COLOR AmbientProperties::BackColor() const { return host_->Parent().BackColor(); }
OLE_COLOR AmbientProperties::ForeColor() const { return host_->Parent().ForeColor(); }
FontRef AmbientProperties::Font() const { return host_->Parent().Font(); }

// ---- Host ----

UserControlHost::UserControlHost(Form* owner, std::string name, std::string kind)
    : WindowedControl(owner, std::move(name), std::move(kind)) {}

UserControlHost::~UserControlHost() {
  // The derived control is gone by now, so no Terminate reaches it: windows unload first.
  // No notification reaches a half-destroyed control.
  destroyWindow();
}

bool UserControlHost::applyProperty(const std::string& key, const PropertyValue& value) {
  haveStore_ = true;
  if (key == "width") widthGiven_ = true;
  if (key == "height") heightGiven_ = true;
  if (isExtenderKey(key)) return Control::applyProperty(key, value);
  if (key == "_extentx" || key == "_extenty") {
    int32_t himetric = value.toLong();
    int32_t twips = static_cast<int32_t>(std::nearbyint(himetric * 1440.0 / 2540.0));
    store_.set(key, value);
    // The extent sizes the control unless its place gave a width or height of its own.
    if (key == "_extentx" && !widthGiven_) width_ = twips;
    if (key == "_extenty" && !heightGiven_) height_ = twips;
    return true;
  }
  store_.set(key, value);
  return true;
}

void UserControlHost::saveProperties(DescriptionBlock& b) const {
  // The control keeps Enabled itself, in its property store.
  savePlace(b, false);
  b.set("_extentx", PropertyValue(static_cast<int32_t>(std::nearbyint(width_ * 2540.0 / 1440.0))));
  b.set("_extenty", PropertyValue(static_cast<int32_t>(std::nearbyint(height_ * 2540.0 / 1440.0))));
  PropertyBag bag;
  const_cast<UserControlHost*>(this)->UserControl_WriteProperties(bag);
  for (const auto& [key, value] : bag.entries()) b.set(key, value);
  const_cast<UserControlHost*>(this)->changed_.clear();
}

void UserControlHost::create(HWND parent) {
  RegisterControlClass<UserControlHost>(kUserControlClass, CS_OWNDC | CS_DBLCLKS, IDC_ARROW);
  ready_ = false;
  createWindow(this, parent, kUserControlClass, "", "the control");
  hdc_ = GetDC(hwnd_);
}

void UserControlHost::loaded() {
  UserControl_Initialize();
  if (haveStore_) {
    PropertyBag bag = store_;
    UserControl_ReadProperties(bag);
  } else {
    UserControl_InitProperties();
  }
  ready_ = true;
  lastDisplayAsDefault_ = Ambient.DisplayAsDefault();
  UserControl_Resize();
}

void UserControlHost::destroy() {
  if (!hwnd_) return;
  ready_ = false;
  shown_ = false;
  UserControl_Terminate();
  hdc_ = nullptr;  // the own device context goes with the window
  destroyWindow();
}

bool UserControlHost::answersAccessKey(char lowerKey) const {
  if (!lowerKey) return false;
  for (char c : accessKeys_)
    if (std::tolower(static_cast<unsigned char>(c)) == static_cast<unsigned char>(lowerKey)) return true;
  return false;
}

void UserControlHost::accessKeyPressed(int16_t keyAscii) {
  if (!ready_) return;
  int16_t k = keyAscii;
  UserControl_AccessKeyPress(k);
}

void UserControlHost::displayAsDefaultChanged() {
  bool now = Ambient.DisplayAsDefault();
  if (now == lastDisplayAsDefault_) return;
  lastDisplayAsDefault_ = now;
  if (ready_) UserControl_AmbientChanged("DisplayAsDefault");
}

void UserControlHost::containerShown(bool shown) {
  if (!ready_ || !visible_) return;
  if (shown && !shown_) {
    shown_ = true;
    UserControl_Show();
  } else if (!shown && shown_) {
    shown_ = false;
    UserControl_Hide();
  }
}

void UserControlHost::ambientChanged(const std::string& name) {
  if (ready_) UserControl_AmbientChanged(name);
}

void UserControlHost::focusChanged(bool gained) {
  if (!ready_) return;
  if (gained)
    UserControl_GotFocus();
  else
    UserControl_LostFocus();
}

void UserControlHost::geometryChanged() { Control::geometryChanged(); }

void UserControlHost::applyCursor() {
  if (!hwnd_) return;
  POINT p;
  GetCursorPos(&p);
  if (WindowFromPoint(p) != hwnd_) return;
  HCURSOR c = CursorForPointer(mousePointer_, mouseIcon_);
  SetCursor(c ? c : LoadCursorA(nullptr, IDC_ARROW));
}

LRESULT UserControlHost::handleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the control paints all of itself
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      if (ready_) UserControl_Paint();
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SIZE:
      if (ready_) UserControl_Resize();
      return 0;
    case WM_SETFOCUS:
      Parent().focusMovedTo(this);
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == hwnd && LOWORD(lParam) == HTCLIENT) {
        if (HCURSOR c = CursorForPointer(mousePointer_, mouseIcon_)) {
          SetCursor(c);
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: {
      if (!ready_) return 0;
      if (GetFocus() != hwnd) ::SetFocus(hwnd);
      pressInside_ = true;
      afterDoubleClick_ = false;
      int16_t button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
      int16_t shift = shiftState();
      float x = static_cast<float>(GET_X_LPARAM(lParam)), y = static_cast<float>(GET_Y_LPARAM(lParam));
      UserControl_MouseDown(button, shift, x, y);
      return 0;
    }
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
      if (!ready_) return 0;
      pressInside_ = true;
      afterDoubleClick_ = true;
      UserControl_DblClick();
      return 0;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
      if (!ready_) return 0;
      int16_t button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
      int16_t shift = shiftState();
      int px = GET_X_LPARAM(lParam), py = GET_Y_LPARAM(lParam);
      float x = static_cast<float>(px), y = static_cast<float>(py);
      bool click = pressInside_ && !afterDoubleClick_;
      pressInside_ = false;
      afterDoubleClick_ = false;
      UserControl_MouseUp(button, shift, x, y);
      RECT r;
      if (click && hwnd_ && GetClientRect(hwnd_, &r) && px >= 0 && py >= 0 && px < r.right && py < r.bottom)
        UserControl_Click();
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!ready_) return 0;
      int16_t button = heldButtons(wParam), shift = shiftState();
      float x = static_cast<float>(GET_X_LPARAM(lParam)), y = static_cast<float>(GET_Y_LPARAM(lParam));
      UserControl_MouseMove(button, shift, x, y);
      return 0;
    }
    case WM_KEYDOWN: case WM_SYSKEYDOWN: {
      if (Parent().navigationKey(msg, wParam)) {
        swallowChar_ = true;
        return 0;
      }
      swallowChar_ = false;
      if (msg == WM_SYSKEYDOWN) break;
      if (!ready_ || Parent().previewKey(msg, wParam)) return 0;
      int16_t key = static_cast<int16_t>(wParam), shift = shiftState();
      UserControl_KeyDown(key, shift);
      return 0;
    }
    case WM_SYSCHAR:
      if (Parent().navigationKey(msg, wParam)) return 0;
      break;
    case WM_CHAR: {
      if (!ready_) return 0;
      if (swallowChar_ || wParam == '\t') {
        swallowChar_ = false;
        return 0;
      }
      if (Parent().previewKey(msg, wParam)) return 0;
      int16_t ascii = static_cast<int16_t>(wParam & 0xFF);
      UserControl_KeyPress(ascii);
      return 0;
    }
    case WM_KEYUP: {
      if (!ready_ || Parent().previewKey(msg, wParam)) return 0;
      int16_t key = static_cast<int16_t>(wParam), shift = shiftState();
      UserControl_KeyUp(key, shift);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
