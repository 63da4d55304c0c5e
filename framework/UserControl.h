// The host of a user control: the control's own child window and device context, the values the
// host keeps for it (fore colour, enabled state, font, mouse pointer ...), the ambient values of
// its window, the property store, and the notifications the control handles.
//
// A user control derives from UserControlHost and overrides the UserControl_<Notification>
// handlers it needs. Inside it, `UserControl` is the host surface (UserControl.hDC(),
// UserControl.Font() ...), `Ambient` the ambient values (Ambient.UserMode() ...), and its events
// are Event<> members raised with RaiseEvent before the raising call returns.
//
// Order of notifications for a control on a window that loads: ReadProperties (when the window
// description holds the control) or InitProperties (a control placed anew), then Resize; Show when
// the window is shown; Paint whenever the window system asks; Terminate when the window unloads.
// Mouse coordinates arrive in pixels of the control's client area (its scale mode is pixels).
#pragma once

#include <windows.h>

#include "framework/App.h"
#include "framework/Control.h"
#include "framework/ControlWindow.h"
#include "framework/DataObject.h"
#include "framework/Event.h"
#include "framework/PropertyBag.h"
#include "framework/StdFont.h"
#include "framework/StdPicture.h"

#include <cstdint>
#include <string>

class UserControlHost;

// Mouse pointer codes.
constexpr int16_t vbDefault = 0;
constexpr int16_t vbArrow = 1;
constexpr int16_t vbCrosshair = 2;
constexpr int16_t vbIbeam = 3;
constexpr int16_t vbSizeAll = 5;
constexpr int16_t vbHourglass = 11;
constexpr int16_t vbNoDrop = 12;
constexpr int16_t vbCustom = 99;

// The host surface: what the control reads and sets on its host.
class UserControlSurface {
 public:
  explicit UserControlSurface(UserControlHost* host) : host_(host) {}

  // The control's window and its own device context (CS_OWNDC: valid while the control lives).
  HWND hWnd() const;
  HDC hDC() const;
  // Client size in pixels.
  float ScaleWidth() const;
  float ScaleHeight() const;
  int16_t ScaleMode() const { return vbPixels; }

  OLE_COLOR ForeColor() const;
  void setForeColor(OLE_COLOR color);
  OLE_COLOR BackColor() const;
  void setBackColor(OLE_COLOR color);
  bool Enabled() const;
  void setEnabled(bool enabled);
  // Never null: a host always has a font (initially "MS Sans Serif" 8.25 points).
  FontRef Font() const;
  void setFont(FontRef font);
  int16_t MousePointer() const;
  void setMousePointer(int16_t pointer);
  PictureRef MouseIcon() const;
  void setMouseIcon(PictureRef icon);
  std::string Tag() const;
  void setTag(const std::string& tag);
  // The characters that, with Alt, deliver the access-key notification.
  std::string AccessKeys() const;
  void setAccessKeys(const std::string& keys);
  // True (the default) when the control acts as a button: it takes Enter while it has the
  // focus, shows as the window's default then, and can be the default or cancel button.
  bool DefaultCancel() const;
  void setDefaultCancel(bool on);

  // The window that holds the control, and that window's handle.
  Form& Parent() const;
  HWND ContainerHwnd() const;

  // Size in the container's units (twips).
  int32_t Width() const;
  int32_t Height() const;
  void setWidth(int32_t twips);
  void setHeight(int32_t twips);
  void Size(int32_t widthTwips, int32_t heightTwips);
  // Converts a horizontal or vertical measure between scale modes; by default from HIMETRIC to
  // the surface's own pixels.
  float ScaleX(float value, int16_t fromScale = vbHimetric, int16_t toScale = vbPixels) const;
  float ScaleY(float value, int16_t fromScale = vbHimetric, int16_t toScale = vbPixels) const;

  // Shows what was drawn on hDC, without a Paint notification. Drawing on hDC already reaches
  // the window directly (its own device context, no retained image), so nothing is left to do
  // beyond flushing pending drawing.
  void Refresh();
  // Marks the stored properties as needing a save.
  void PropertyChanged(const std::string& key = {});

 private:
  UserControlHost* host_;
};

// The ambient values of the window that holds the control.
class AmbientProperties {
 public:
  explicit AmbientProperties(UserControlHost* host) : host_(host) {}
  // False while the control sits in a designer.
  bool UserMode() const;
  // The control is the window's default button (the focused button, or the one marked Default).
  bool DisplayAsDefault() const;
  // The instance's name in its window.
  std::string DisplayName() const;
  OLE_COLOR BackColor() const;
  OLE_COLOR ForeColor() const;
  FontRef Font() const;

 private:
  UserControlHost* host_;
};

class UserControlHost : public WindowedControl {
 public:
  UserControlHost(Form* owner, std::string name, std::string kind);
  ~UserControlHost() override;

  UserControlSurface UserControl{this};
  AmbientProperties Ambient{this};
  void PropertyChanged(const std::string& key = {}) { UserControl.PropertyChanged(key); }
  // The keys marked by PropertyChanged since the last save.
  const std::vector<std::string>& changedProperties() const { return changed_; }

  // ---- Notifications (public so that tests and programs can deliver them directly) ----
  virtual void UserControl_Initialize() {}
  virtual void UserControl_InitProperties() {}
  virtual void UserControl_ReadProperties(PropertyBag& PropBag) {}
  virtual void UserControl_WriteProperties(PropertyBag& PropBag) {}
  virtual void UserControl_Show() {}
  virtual void UserControl_Hide() {}
  virtual void UserControl_Paint() {}
  virtual void UserControl_Resize() {}
  virtual void UserControl_Terminate() {}
  virtual void UserControl_AmbientChanged(const std::string& PropertyName) {}
  // Button: 1 left, 2 right, 4 middle (mouse move: the buttons held). Shift: 1 Shift, 2 Ctrl,
  // 4 Alt. X, Y: pixels.
  virtual void UserControl_MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) {}
  virtual void UserControl_MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) {}
  virtual void UserControl_MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) {}
  virtual void UserControl_Click() {}
  virtual void UserControl_DblClick() {}
  virtual void UserControl_KeyDown(int16_t& KeyCode, int16_t& Shift) {}
  virtual void UserControl_KeyPress(int16_t& KeyAscii) {}
  virtual void UserControl_KeyUp(int16_t& KeyCode, int16_t& Shift) {}
  virtual void UserControl_AccessKeyPress(int16_t& KeyAscii) {}
  virtual void UserControl_GotFocus() {}
  virtual void UserControl_LostFocus() {}
  virtual void UserControl_OLECompleteDrag(int32_t& Effect) {}
  virtual void UserControl_OLEDragDrop(DataObject& Data, int32_t& Effect, int16_t& Button,
                                       int16_t& Shift, float& X, float& Y) {}
  virtual void UserControl_OLEDragOver(DataObject& Data, int32_t& Effect, int16_t& Button,
                                       int16_t& Shift, float& X, float& Y, int16_t& State) {}
  virtual void UserControl_OLEGiveFeedback(int32_t& Effect, bool& DefaultCursors) {}
  virtual void UserControl_OLESetData(DataObject& Data, int16_t& DataFormat) {}
  virtual void UserControl_OLEStartDrag(DataObject& Data, int32_t& AllowedEffects) {}

  // ---- Control hooks ----
  bool applyProperty(const std::string& foldedKey, const PropertyValue& value) override;
  void saveProperties(DescriptionBlock& block) const override;
  void create(HWND parent) override;
  void loaded() override;
  void destroy() override;
  bool answersAccessKey(char lowerKey) const override;
  void accessKeyPressed(int16_t keyAscii) override;
  bool actsAsButton() const override { return defaultCancel_; }
  void displayAsDefaultChanged() override;
  void containerShown(bool shown) override;
  void ambientChanged(const std::string& name) override;
  void focusChanged(bool gained) override;
  void geometryChanged() override;

  // The store read from the window description (for a control placed anew: empty).
  const PropertyBag& storedProperties() const { return store_; }

 private:
  friend class UserControlSurface;
  friend class AmbientProperties;
  CORVANE_ROUTED_CONTROL;
  LRESULT handleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void applyCursor();

  HDC hdc_ = nullptr;
  OLE_COLOR foreColor_ = 0x80000012;
  OLE_COLOR backColor_ = 0x8000000F;
  FontRef font_ = NewFont();
  int16_t mousePointer_ = vbDefault;
  PictureRef mouseIcon_;
  std::string tag_;
  std::string accessKeys_;
  bool defaultCancel_ = true;
  PropertyBag store_;
  bool haveStore_ = false;
  bool ready_ = false;      // notifications flow once the properties have been read
  bool shown_ = false;
  bool lastDisplayAsDefault_ = false;
  bool pressInside_ = false;
  bool afterDoubleClick_ = false;
  bool swallowChar_ = false;
  bool widthGiven_ = false;
  bool heightGiven_ = false;
  std::vector<std::string> changed_;
};
