// The button's own life: creation, a new button's defaults, the show step, changes of the
// container's ambient values, and the public Refresh and DelayDrawing methods.
#include "button/ztButtons_H.h"

#include "framework/App.h"
#include "framework/Form.h"

#include <cctype>
#include <cstdint>
#include <string>

namespace {

bool sameText(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && b[i] == 0;
}

}  // namespace

ztButtons_H::ztButtons_H(Form* owner, std::string name)
    : UserControlHost(owner, std::move(name), "ztButtons_H") {}

ztButtons_H::~ztButtons_H() {
  // A window destroyed while still loaded never unloads its controls; release what this one owns
  // now, while its own handlers still exist.
  if (UserControlHost::hWnd()) destroy();
}

void ztButtons_H::StoreContainerInTag() {
  // Option groups, arrow keys and the custom click find the container through this text.
  HWND container = UserControl.ContainerHwnd();
  UserControl.setTag(std::to_string(reinterpret_cast<intptr_t>(container)));
}

void ztButtons_H::DesignTimeMessage(const std::string& Text) {
  if (!Ambient.UserMode()) MsgBox(Text, vbInformation);
}

bool ztButtons_H::ForeLockOn() const {
  return stored.HoverColorLocks == LockBoth || stored.HoverColorLocks == LockForeOnly;
}

bool ztButtons_H::BackLockOn() const {
  return stored.HoverColorLocks == LockBoth || stored.HoverColorLocks == LockBackOnly;
}

void ztButtons_H::UserControl_InitProperties() {
  StoreContainerInTag();
  stored.Caption = Ambient.DisplayName();
  stored.CaptionAlign = AlignCenter;
  stored.ShowFocusRect = vbTrue;
  stored.HoverForeColor = 0x80000012;
  stored.HoverBackColor = 0x8000000F;
  // A copy: a later FontStyle change on the button must not restyle the whole window.
  if (!UserControl.Parent().isMDIFrame()) UserControl.setFont(UserControl.Parent().Font()->clone());
  ParentBackColor = TranslateColor(static_cast<int32_t>(Ambient.BackColor()));
  stored.BackColor = 0x8000000F;
  PrepareFontAndColors("BackColor");
  PropertyChanged("Caption");
  PropertyChanged("CapAlign");
  PropertyChanged("Focus");
  PropertyChanged("cFHover");
  PropertyChanged("cBHover");
  PropertyChanged("Font");
}

void ztButtons_H::UserControl_Show() {
  if (Ambient.UserMode()) return;
  if (stored.ShowFocusRect && Ambient.DisplayAsDefault()) {
    StateFlags |= DefaultFrame;
    RedrawButton();
  }
}

void ztButtons_H::UserControl_AmbientChanged(const std::string& PropertyName) {
  if (sameText(PropertyName, "BackColor")) {
    try {
      ParentBackColor = TranslateColor(static_cast<int32_t>(Ambient.BackColor()));
      // Only shapes that show the container around them, and the hot-track style, paint it.
      if (stored.ButtonShape > ShapeSlantBoth || stored.ButtonStyle == StyleHotTrack) RedrawButton();
    } catch (...) {
    }
  } else if (sameText(PropertyName, "DisplayAsDefault")) {
    DisplayAsDefaultChanged();
  }
}

void ztButtons_H::Refresh() {
  DrawingDelayed = vbFalse;
  RedrawButton();
}

void ztButtons_H::DelayDrawing(int16_t bDelay) {
  DrawingDelayed = bDelay ? vbTrue : vbFalse;
  if (!bDelay) Refresh();
}
