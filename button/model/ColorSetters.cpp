// The colour setters. The hover colours follow the normal colours while their lock is on
// (HoverColorLocks 0 and 1 lock the fore colour, 0 and 2 the back colour); assigning a hover
// colour of its own releases the lock.
#include "button/ztButtons_H.h"

void ztButtons_H::setForeColor(OLE_COLOR nColor) {
  if (nColor == UserControl.ForeColor()) return;
  UserControl.setForeColor(nColor);
  if (ForeLockOn()) setHoverForeColor(UserControl.ForeColor());
  DrawingDelayed = vbFalse;
  RedrawButton();
  PropertyChanged("cFore");
}

void ztButtons_H::setBackColor(OLE_COLOR nColor) {
  stored.BackColor = nColor;
  if (BackLockOn()) setHoverBackColor(stored.GradientMode != GradientNone ? stored.GradientColor : nColor);
  PrepareFontAndColors("BackColor");
  RedrawButton();
  PropertyChanged("cBack");
}

void ztButtons_H::setGradientColor(OLE_COLOR nColor) {
  if (BackLockOn() && stored.GradientMode > GradientNone) stored.HoverBackColor = nColor;
  stored.GradientColor = nColor;
  PrepareFontAndColors("BackColor");
  if (stored.GradientMode != GradientNone) RedrawButton();
  PropertyChanged("cGradient");
}

void ztButtons_H::setGradientMode(int32_t nOpt) {
  if (nOpt < GradientNone || nOpt > GradientBottomToTop) return;
  stored.GradientMode = nOpt;
  if (BackLockOn())
    stored.HoverBackColor = nOpt == GradientNone ? stored.BackColor : stored.GradientColor;
  PrepareFontAndColors("BackColor");
  RedrawButton();
  PropertyChanged("Gradient");
}

void ztButtons_H::setHoverForeColor(OLE_COLOR nColor) {
  if (nColor == stored.HoverForeColor) return;
  stored.HoverForeColor = nColor;
  PropertyChanged("cFHover");
  if (nColor != UserControl.ForeColor()) {
    if (stored.HoverColorLocks == LockBoth) stored.HoverColorLocks = LockBackOnly;
    else if (stored.HoverColorLocks == LockForeOnly) stored.HoverColorLocks = LockNone;
    PropertyChanged("cFHover");
  }
}

void ztButtons_H::setHoverBackColor(OLE_COLOR nColor) {
  if (nColor == stored.HoverBackColor) return;
  stored.HoverBackColor = nColor;
  // Compared with the back colour even while a gradient is on.
  if (nColor != stored.BackColor) {
    if (stored.HoverColorLocks == LockBoth) stored.HoverColorLocks = LockForeOnly;
    else if (stored.HoverColorLocks == LockBackOnly) stored.HoverColorLocks = LockNone;
  }
  PrepareFontAndColors("BackColor");
  PropertyChanged("cBHover");
}

void ztButtons_H::setHoverColorLocks(int32_t nLock) {
  stored.HoverColorLocks = nLock;
  if (BackLockOn()) {
    stored.HoverBackColor = stored.GradientMode != GradientNone ? stored.GradientColor : stored.BackColor;
    PropertyChanged("cBHover");
  }
  if (ForeLockOn()) {
    stored.HoverForeColor = UserControl.ForeColor();
    PropertyChanged("cFHover");
  }
  PrepareFontAndColors("BackColor");
  PropertyChanged("LockHover");
}

void ztButtons_H::setResetDefaultColors(int16_t nDefault) {
  if (Ambient.UserMode() || !nDefault) return;
  DelayDrawing(vbTrue);
  stored.BackColor = 0x8000000F;
  setForeColor(0x80000012);
  setGradientColor(0x8000000F);
  setGradientMode(GradientNone);
  setHoverColorLocks(LockBoth);
  PrepareFontAndColors("BackColor");
  DelayDrawing(vbFalse);
  PropertyChanged("cGradient");
  PropertyChanged("cBack");
}
