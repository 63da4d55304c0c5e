// Loading a window from its description, unloading it, and saving its description again.
#include "framework/Form.h"

#include "framework/FormRuntime.h"
#include "framework/PropertyBag.h"

#include <algorithm>

using namespace formruntime;

namespace {
constexpr char kFormClass[] = "CorvaneForm";
}  // namespace

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
  RECT r{0, 0, TwipsToPixels(clientWidth_), TwipsToPixels(clientHeight_)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = TwipsToPixels(left_), y = TwipsToPixels(top_);
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
