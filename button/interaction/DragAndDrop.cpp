// The button does nothing with drag and drop itself; the window that holds it gets every
// notification as the button's event, with the same values, which its handler may change.
#include "button/ztButtons_H.h"

void ztButtons_H::UserControl_OLECompleteDrag(int32_t& Effect) { RaiseEvent(OLECompleteDrag, Effect); }

void ztButtons_H::UserControl_OLEDragDrop(DataObject& Data, int32_t& Effect, int16_t& Button, int16_t& Shift,
                                          float& X, float& Y) {
  RaiseEvent(OLEDragDrop, Data, Effect, Button, Shift, X, Y);
}

void ztButtons_H::UserControl_OLEDragOver(DataObject& Data, int32_t& Effect, int16_t& Button, int16_t& Shift,
                                          float& X, float& Y, int16_t& State) {
  RaiseEvent(OLEDragOver, Data, Effect, Button, Shift, X, Y, State);
}

void ztButtons_H::UserControl_OLEGiveFeedback(int32_t& Effect, bool& DefaultCursors) {
  // The event carries the flag as the control's 16-bit boolean; a handler's answer comes back.
  int16_t useDefault = DefaultCursors ? vbTrue : vbFalse;
  RaiseEvent(OLEGiveFeedback, Effect, useDefault);
  DefaultCursors = useDefault != vbFalse;
}

void ztButtons_H::UserControl_OLESetData(DataObject& Data, int16_t& DataFormat) {
  RaiseEvent(OLESetData, Data, DataFormat);
}

void ztButtons_H::UserControl_OLEStartDrag(DataObject& Data, int32_t& AllowedEffects) {
  RaiseEvent(OLEStartDrag, Data, AllowedEffects);
}
