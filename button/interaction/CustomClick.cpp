// The custom click: a command button with a CustomClick direction shows a press by moving its
// window one pixel that way instead of drawing itself sunken, and moves back when it is let go or
// the pointer leaves it. The move changes the size by the same offset as the position (the
// rectangle's right and bottom carry the size), and the way back undoes exactly that, reading the
// window's current place, so a press and its release always end where they started.
#include "button/interaction/ContainerWindow.h"
#include "button/ztButtons_H.h"

namespace {

struct Offset {
  int dx;
  int dy;
};

// Press offsets by CustomClick value; index 0 never moves.
constexpr Offset kPressOffsets[9] = {{0, 0},  {0, -1}, {1, -1}, {-1, -1}, {1, 1},
                                     {-1, 1}, {1, 0},  {0, 1},  {-1, 0}};

}  // namespace

void ztButtons_H::MoveForCustomClick(int16_t& Moved) {
  Moved = vbFalse;
  HWND own = UserControl.hWnd();
  if (!own) return;
  const bool pushed = (StateFlags & (Pressed | PointerOver)) == (Pressed | PointerOver);
  const bool displaced = (StateFlags & Displaced) != 0;
  const int32_t direction = stored.CustomClick;
  const bool moves = direction > NoMove && direction <= MoveLeft && stored.Mode == CommandButton;
  // A moved button always finds its way back, by the offset it moved with, even when the program
  // changed its CustomClick or Mode while it was held.
  const bool goBack = displaced && (!pushed || !moves);
  const bool goOut = !displaced && pushed && moves;
  if (!goBack && !goOut) return;

  RECT window;
  if (!GetWindowRect(own, &window)) return;
  POINT corner{window.left, window.top};
  // A tag that names no window falls back on the window's own parent: MoveWindow places a child
  // in its parent's client coordinates, whatever the tag says.
  HWND container = ztbuttons::ContainerFromTag(UserControl.Tag());
  if (!container) container = GetParent(own);
  if (container) ScreenToClient(container, &corner);
  RECT place;
  SetRect(&place, corner.x, corner.y, window.right - window.left, window.bottom - window.top);

  if (goOut) {
    const Offset press = kPressOffsets[direction];
    OffsetRect(&place, press.dx, press.dy);
    // The flag goes first: the move resizes the window, and the repaint of that resize comes
    // back here before MoveWindow returns.
    StateFlags |= Displaced;
    DisplacedDirection = direction;
    MoveWindow(own, place.left, place.top, place.right, place.bottom, TRUE);
    CreateBackBuffer(vbFalse);
    UserControl.Refresh();
    Moved = vbTrue;
  } else {
    const Offset press = kPressOffsets[DisplacedDirection >= NoMove && DisplacedDirection <= MoveLeft
                                           ? DisplacedDirection
                                           : NoMove];
    OffsetRect(&place, -press.dx, -press.dy);
    StateFlags &= static_cast<int16_t>(~Displaced);
    DisplacedDirection = NoMove;
    MoveWindow(own, place.left, place.top, place.right, place.bottom, TRUE);
  }
}
