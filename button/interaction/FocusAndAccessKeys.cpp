// Clicks that come without the mouse: the access key (Alt with the caption's marked letter),
// Enter or Escape on the window's default or cancel button, and the focus arriving at an option
// button of a group in which nothing is chosen yet. Also the default frame, which follows the
// window's default-button hint.
#include "button/ztButtons_H.h"

namespace {

constexpr int16_t kEnter = 13;
constexpr int16_t kEscape = 27;

}  // namespace

void ztButtons_H::UserControl_AccessKeyPress(int16_t& KeyAscii) {
  const bool enterOrEscape = KeyAscii == kEnter || KeyAscii == kEscape;
  // A check or option button is never the window's Enter or Escape answer.
  if (enterOrEscape && stored.Mode != CommandButton) return;
  if (!enterOrEscape && !(StateFlags & DefaultFrame)) RedrawButton();
  LastButton = 1;
  UserControl_Click();
}

void ztButtons_H::UserControl_GotFocus() {
  if (stored.Mode != OptionButton || stored.Value) return;
  int16_t action = QuerySelected;
  int16_t anySelected = vbFalse;
  ToggleOptionGroup(action, anySelected);
  if (anySelected) return;
  LastButton = 1;
  UserControl_Click();
}

void ztButtons_H::DisplayAsDefaultChanged() {
  // Ends quietly at an error: a look that cannot follow the hint is not worth the window.
  bool lent = false;
  try {
    const bool designTime = !Ambient.UserMode();
    if (Ambient.DisplayAsDefault() && (stored.ShowFocusRect || designTime))
      StateFlags |= DefaultFrame;
    else
      StateFlags &= static_cast<int16_t>(~DefaultFrame);
    // In the designer a picture-shaped button has no other way to show its frame than its hover
    // outline, so it borrows that look for this one paint.
    lent = stored.ButtonShape > ShapeEllipseFramed && designTime;
    if (lent) Hovering = (StateFlags & DefaultFrame) ? vbTrue : vbFalse;
    RedrawButton();
    if (lent) Hovering = vbFalse;
  } catch (...) {
    if (lent) Hovering = vbFalse;
  }
}
