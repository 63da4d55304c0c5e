// The base of the program's windows. A window class derives from Form, gives it its description
// text and declares its controls as members (`Label Label3{this, "Label3"};`); loading creates the
// window from the description and fills the controls in. Events reach virtual handlers named
// `Form_<Event>`; controls' events are connected in the derived class's constructor, e.g.
//   Label3.Click.connect([this] { Label3_Click(); });
#pragma once

#include <windows.h>

#include "framework/Control.h"
#include "framework/StdFont.h"
#include "framework/StdPicture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr int16_t vbModeless = 0;
constexpr int16_t vbModal = 1;

class Form {
 public:
  explicit Form(std::string description = {});
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // ---- Life cycle ----
  // Creates the window and its controls from the description and runs Form_Load; once per load.
  void Load();
  bool Loaded() const { return hwnd_ != nullptr; }
  // Shows the window (loading it first). With vbModal the call returns when the window has been
  // unloaded or hidden, and the program's other windows take no input meanwhile.
  void Show(int16_t modal = vbModeless);
  void Hide() { setVisible(false); }
  // Runs Form_Unload, then closes the window. Nothing happens when the window is not loaded.
  void Unload();

  // A window in design mode hosts its user controls with ambient UserMode False.
  void setDesignMode(bool design) { designMode_ = design; }
  bool designMode() const { return designMode_; }
  // The window's description as a designer saves it: its properties, its controls and every
  // user control's property store (written through WriteProperties).
  std::string SaveDescription();

  // ---- Properties ----
  const std::string& Name() const { return name_; }
  HWND hWnd() const { return hwnd_; }
  // The drawing surface: the retained image while AutoRedraw is on, the window otherwise.
  HDC hDC() const;
  std::string Caption() const { return caption_; }
  void setCaption(const std::string& caption);
  OLE_COLOR BackColor() const { return backColor_; }
  void setBackColor(OLE_COLOR color);
  OLE_COLOR ForeColor() const { return foreColor_; }
  void setForeColor(OLE_COLOR color) { foreColor_ = color; }
  bool Visible() const;
  void setVisible(bool visible);
  bool AutoRedraw() const { return autoRedraw_; }
  void setAutoRedraw(bool on);
  bool Enabled() const;
  void setEnabled(bool enabled);
  FontRef Font() const { return font_; }
  void setFont(FontRef font) { font_ = font ? font : NewFont(); }
  PictureRef Icon() const { return icon_; }
  void setIcon(PictureRef icon);
  bool KeyPreview() const { return keyPreview_; }
  void setKeyPreview(bool on) { keyPreview_ = on; }
  int16_t BorderStyle() const { return borderStyle_; }
  int16_t ScaleMode() const { return vbTwipsMode; }
  bool isMDIFrame() const { return false; }

  // Outer position and size in twips; client size in twips (ScaleWidth/ScaleHeight).
  int32_t Left() const;
  int32_t Top() const;
  int32_t Width() const;
  int32_t Height() const;
  void Move(int32_t left, int32_t top, int32_t width = -1, int32_t height = -1);
  float ScaleWidth() const;
  float ScaleHeight() const;

  // Shows the retained image now (AutoRedraw) and repaints the windowless controls.
  void Refresh();
  // Clears the drawing surface to the back colour.
  void Cls();

  const std::vector<Control*>& Controls() const { return controls_; }
  Control* control(const std::string& name) const;
  Control* ActiveControl() const;
  // The control that takes Enter: the focused button, else the one marked Default.
  Control* displayedDefault() const;

  // ---- Events ----
  virtual void Form_Initialize() {}
  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Unload(int16_t& Cancel) {}
  virtual void Form_Paint() {}
  virtual void Form_Resize() {}
  virtual void Form_Click() {}
  virtual void Form_DblClick() {}
  virtual void Form_MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) {}
  virtual void Form_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) {}
  virtual void Form_MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) {}
  virtual void Form_KeyDown(int16_t& KeyCode, int16_t& Shift) {}
  virtual void Form_KeyPress(int16_t& KeyAscii) {}
  virtual void Form_KeyUp(int16_t& KeyCode, int16_t& Shift) {}

  // ---- For controls and the framework ----
  void registerControl(Control* control);
  void unregisterControl(Control* control);
  // Offers a key to the window's keyboard navigation (Tab, access keys, Enter, Escape);
  // true when it was used.
  bool navigationKey(UINT message, WPARAM key);
  // With KeyPreview on, the window's key handlers see a control's keys first; true when the
  // handler cancelled the key (set it to 0).
  bool previewKey(UINT message, WPARAM key);
  void focusMovedTo(Control* control);
  void notifyDefaultChange();
  int inUse() const { return inUse_; }
  static Form* fromWindow(HWND hwnd);
  static LRESULT CALLBACK windowProc(HWND, UINT, WPARAM, LPARAM);
  // Every loaded window, for modal showing.
  static std::vector<Form*> loadedForms();

 private:
  static constexpr int16_t vbTwipsMode = 1;
  LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void applyDescription(const DescriptionBlock& block);
  void createWindow();
  void paint(HDC dc, const RECT& area);
  void rebuildImage();
  void releaseImage();
  // Gives the window its icon: the big one and a small one made from it.
  void applyIcon();
  void releaseSmallIcon();
  void moveFocus(bool forward);
  std::vector<Control*> tabOrder() const;
  Control* windowlessAt(POINT p) const;
  void raiseMouse(UINT msg, WPARAM wParam, LPARAM lParam);
  void updateCursor(POINT clientPixel);

  std::string description_;
  std::string name_ = "Form";
  HWND hwnd_ = nullptr;
  HDC windowDC_ = nullptr;
  HDC imageDC_ = nullptr;
  HBITMAP imageBitmap_ = nullptr;
  HGDIOBJ imageOldBitmap_ = nullptr;
  std::string caption_;
  OLE_COLOR backColor_ = 0x8000000F;
  OLE_COLOR foreColor_ = 0x80000012;
  bool autoRedraw_ = false;
  bool visible_ = false;
  bool enabled_ = true;
  bool keyPreview_ = false;
  bool designMode_ = false;
  int16_t borderStyle_ = 2;
  int16_t startUpPosition_ = 0;  // 0 manual, 2 centre of the screen
  int32_t left_ = 0, top_ = 0;
  int32_t clientWidth_ = 4680, clientHeight_ = 3195;
  FontRef font_ = NewFont();
  PictureRef icon_;
  HICON smallIcon_ = nullptr;  // owned; made from icon_
  std::vector<Control*> controls_;
  Control* focus_ = nullptr;
  Control* shownDefault_ = nullptr;
  Control* pressedWindowless_ = nullptr;
  bool unloading_ = false;
  int inUse_ = 0;
  friend class FormUse;
};

// Keeps a window object alive and marked busy while one of its own calls runs, or a call of one
// of its controls, so that a window released from a handler is not deleted under its own feet.
class FormUse {
 public:
  explicit FormUse(Form* f) : f_(f) { ++f_->inUse_; }
  ~FormUse() { --f_->inUse_; }
  FormUse(const FormUse&) = delete;
  FormUse& operator=(const FormUse&) = delete;

 private:
  Form* f_;
};

// One global instance of a window class: created and loaded when first referenced through ->,
// as the program expects of its windows.
void CollectReleasedForms();
void KeepReleasedForm(std::shared_ptr<Form> form);

template <class T>
class FormInstance {
 public:
  T* operator->() { return &get(); }
  T& get() {
    T& form = object();
    if (!form.Loaded()) form.Load();
    return form;
  }
  // The instance, created if needed but not loaded: a window's public variables are reached this
  // way, since setting one must not load the window before the caller is done with them.
  T& object() {
    if (!form_) form_ = std::make_shared<T>();
    return *form_;
  }
  // The instance if it exists, without creating or loading it.
  T* peek() const { return form_.get(); }
  // Unloads the window if it is loaded; a window that is not loaded is left alone.
  void Unload() {
    if (form_ && form_->Loaded()) form_->Unload();
  }
  // Drops the reference (Set ... = Nothing); a window still loaded lives on until it unloads.
  void Release() {
    if (form_) KeepReleasedForm(std::move(form_));
    form_.reset();
  }

 private:
  std::shared_ptr<T> form_;
};
