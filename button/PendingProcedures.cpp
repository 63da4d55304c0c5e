// TEMPORARY bodies for procedures that other folders of the button implement. Each one does
// nothing and goes as soon as its folder lands; until then the library links and the property
// model can be exercised on its own. Nothing here is the button's behaviour.
#include "button/ztButtons_H.h"

// ---- replaced when button/interaction/ lands ----
void ztButtons_H::MoveForCustomClick(int16_t& Moved) { Moved = 0; }  // replaced when button/interaction/ lands
void ztButtons_H::DisplayAsDefaultChanged() {}                  // replaced when button/interaction/ lands
void ztButtons_H::ToggleOptionGroup(int16_t&, int16_t&) {}      // replaced when button/interaction/ lands
void ztButtons_H::UserControl_MouseDown(int16_t&, int16_t&, float&, float&) {}  // replaced when button/interaction/ lands
void ztButtons_H::UserControl_MouseMove(int16_t&, int16_t&, float&, float&) {}  // replaced when button/interaction/ lands
void ztButtons_H::UserControl_MouseUp(int16_t&, int16_t&, float&, float&) {}    // replaced when button/interaction/ lands
void ztButtons_H::UserControl_Click() {}                        // replaced when button/interaction/ lands
void ztButtons_H::UserControl_DblClick() {}                     // replaced when button/interaction/ lands
void ztButtons_H::UserControl_KeyDown(int16_t&, int16_t&) {}    // replaced when button/interaction/ lands
void ztButtons_H::UserControl_KeyPress(int16_t&) {}             // replaced when button/interaction/ lands
void ztButtons_H::UserControl_KeyUp(int16_t&, int16_t&) {}      // replaced when button/interaction/ lands
void ztButtons_H::UserControl_AccessKeyPress(int16_t&) {}       // replaced when button/interaction/ lands
void ztButtons_H::UserControl_GotFocus() {}                     // replaced when button/interaction/ lands
void ztButtons_H::UserControl_OLECompleteDrag(int32_t&) {}      // replaced when button/interaction/ lands
void ztButtons_H::UserControl_OLEDragDrop(DataObject&, int32_t&, int16_t&, int16_t&, float&, float&) {}  // replaced when button/interaction/ lands
void ztButtons_H::UserControl_OLEDragOver(DataObject&, int32_t&, int16_t&, int16_t&, float&, float&, int16_t&) {}  // replaced when button/interaction/ lands
void ztButtons_H::UserControl_OLEGiveFeedback(int32_t&, bool&) {}  // replaced when button/interaction/ lands
void ztButtons_H::UserControl_OLESetData(DataObject&, int16_t&) {}  // replaced when button/interaction/ lands
void ztButtons_H::UserControl_OLEStartDrag(DataObject&, int32_t&) {}  // replaced when button/interaction/ lands
