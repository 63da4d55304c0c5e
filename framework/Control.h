// What every control on a window has: a name, a place in twips on its window, tab order, the
// default and cancel marks, and the hooks the window uses to create, paint and drive it.
// Labels and images are drawn by their window (they have no window of their own); text boxes,
// command buttons, animations and user controls are child windows.
#pragma once

#include <windows.h>

#include "framework/FormDescription.h"

#include <cstdint>
#include <string>

class Form;

// Colours in the program's convention: RGB, or 0x800000nn for system colour nn.
using OLE_COLOR = uint32_t;
// An RGB value for drawing: system colours become their current RGB.
COLORREF TranslateOleColor(OLE_COLOR color);
// Twips to the nearest whole pixel, at the screen's 15 twips a pixel.
LONG TwipsToPixels(int32_t twips);

class Control {
 public:
  // Registers the control with its window under its name; the window's description fills it in.
  Control(Form* owner, std::string name, std::string kind);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& kind() const { return kind_; }
  Form& Parent() const { return *owner_; }
  virtual HWND hWnd() const { return nullptr; }

  // Position and size in twips in the window's client area.
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void setLeft(int32_t v) { Move(v, top_, width_, height_); }
  void setTop(int32_t v) { Move(left_, v, width_, height_); }
  void setWidth(int32_t v) { Move(left_, top_, v, height_); }
  void setHeight(int32_t v) { Move(left_, top_, width_, v); }
  void Move(int32_t left, int32_t top, int32_t width, int32_t height);
  // The same rectangle in client pixels of the window.
  RECT pixelRect() const;

  int16_t TabIndex() const { return tabIndex_; }
  void setTabIndex(int16_t v) { tabIndex_ = v; }
  bool TabStop() const { return tabStop_; }
  void setTabStop(bool v) { tabStop_ = v; }
  bool Visible() const { return visible_; }
  void setVisible(bool v);
  bool Enabled() const { return enabled_; }
  void setEnabled(bool v);
  bool Default() const { return default_; }
  void setDefault(bool v);
  bool Cancel() const { return cancel_; }
  void setCancel(bool v) { cancel_ = v; }
  std::string Tag;

  // Moves the keyboard focus here, when the control can take it.
  void SetFocus();
  bool hasFocus() const;

  // ---- Hooks for the window (not for programs) ----
  // Applies one description line; false when the key is not the control's.
  virtual bool applyProperty(const std::string& foldedKey, const PropertyValue& value);
  // Adds the control's own lines to a description being saved.
  virtual void saveProperties(DescriptionBlock& block) const;
  // Makes the child window (windowed controls) once the window has its own.
  virtual void create(HWND parent) {}
  // Runs after the description has been applied and the window exists.
  virtual void loaded() {}
  // Releases the child window and everything the control holds for it.
  virtual void destroy() {}
  virtual bool isWindowless() const { return true; }
  virtual bool canFocus() const { return false; }
  // The access key: the letter after "&" in the caption, lower case; 0 when none.
  virtual char accessKey() const { return 0; }
  virtual bool answersAccessKey(char lowerKey) const { return lowerKey && lowerKey == accessKey(); }
  // The user typed the access key (Alt+letter), or Enter/Escape reached the default/cancel.
  virtual void accessKeyPressed(int16_t keyAscii) {}
  // Buttons take Enter while they have the focus, and show themselves as the default then.
  virtual bool actsAsButton() const { return false; }
  virtual void displayAsDefaultChanged() {}
  // Windowless drawing and input, in the window's client pixels.
  virtual void paintWindowless(HDC dc) {}
  virtual void windowlessMouse(UINT message, WPARAM keys, POINT clientPixel) {}
  virtual HCURSOR cursor() const { return nullptr; }
  // The window was shown or hidden; an ambient value of the window changed.
  virtual void containerShown(bool shown) {}
  virtual void ambientChanged(const std::string& name) {}
  virtual void focusChanged(bool gained) {}
  virtual void geometryChanged();

 protected:
  void invalidateWindowless() const;
  // The lines the window keeps for any control: its place, tab order, marks and tag; Enabled
  // only for a control that does not keep its enabled state among its own properties.
  void savePlace(DescriptionBlock& block, bool withEnabled) const;

  Form* owner_;
  std::string name_;
  std::string kind_;
  int32_t left_ = 0, top_ = 0, width_ = 1215, height_ = 495;
  int16_t tabIndex_ = 0;
  bool tabStop_ = true;
  bool visible_ = true;
  bool enabled_ = true;
  bool default_ = false;
  bool cancel_ = false;
};

// The character after the first single "&" of a caption, lower case; 0 when none.
char AccessKeyOf(const std::string& caption);
