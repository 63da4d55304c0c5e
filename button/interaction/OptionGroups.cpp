// Option groups. Every option-mode button of one container window is a member of that window's
// group, and the group is a list kept in the container's own window properties: "zt_OptCount"
// holds the number of members and "zt_Obj1" to "zt_ObjN" their identities in the order they
// joined. The list borrows the buttons without owning them, so a button leaves it before it ends
// (see UserControl_Terminate); a leave by a button that is not in the list changes nothing, and a
// button already in the list is not added twice, so no entry can outlive its button.
#include "button/interaction/ContainerWindow.h"
#include "button/ztButtons_H.h"

#include <cstdint>
#include <string>

namespace {

constexpr char kCountName[] = "zt_OptCount";
// The count is a 16-bit number.
constexpr int32_t kMostMembers = 32767;

std::string memberName(int32_t position) { return "zt_Obj" + std::to_string(position); }

int32_t memberCount(HWND container) {
  const auto count = reinterpret_cast<intptr_t>(GetPropA(container, kCountName));
  return count < 0 || count > kMostMembers ? 0 : static_cast<int32_t>(count);
}

void storeCount(HWND container, int32_t count) {
  SetPropA(container, kCountName, reinterpret_cast<HANDLE>(static_cast<intptr_t>(count)));
}

ztButtons_H* memberAt(HWND container, int32_t position) {
  return static_cast<ztButtons_H*>(GetPropA(container, memberName(position).c_str()));
}

}  // namespace

void ztButtons_H::ToggleOptionGroup(int16_t& Action, int16_t& Result) {
  HWND container = ztbuttons::ContainerFromTag(UserControl.Tag());
  if (!container) return;
  int32_t count = memberCount(container);
  // The group is bookkeeping behind a setter or a click: a failure here must not stop them.
  try {
    if ((Action == JoinGroup || count > 0) && stored.Value) {
      for (int32_t i = 1; i <= count; ++i) {
        ztButtons_H* member = memberAt(container, i);
        if (member && member != this) member->setValue(vbFalse);
      }
      // The members' setters ran in between; take the list as they left it.
      count = memberCount(container);
    }

    switch (Action) {
      case LeaveGroup: {
        int32_t found = 0;
        for (int32_t i = 1; i <= count; ++i) {
          HANDLE entry = GetPropA(container, memberName(i).c_str());
          if (found)
            SetPropA(container, memberName(i - 1).c_str(), entry);
          else if (entry == static_cast<HANDLE>(this))
            found = i;
        }
        if (!found) break;
        RemovePropA(container, memberName(count).c_str());
        if (count == 1)
          RemovePropA(container, kCountName);
        else
          storeCount(container, count - 1);
        break;
      }
      case JoinGroup: {
        for (int32_t i = 1; i <= count; ++i)
          if (memberAt(container, i) == this) return;
        if (count >= kMostMembers) break;
        storeCount(container, count + 1);
        SetPropA(container, memberName(count + 1).c_str(), static_cast<HANDLE>(this));
        break;
      }
      case QuerySelected: {
        for (int32_t i = 1; i <= count; ++i) {
          ztButtons_H* member = memberAt(container, i);
          if (member && member->Value()) {
            Result = vbTrue;
            break;
          }
        }
        break;
      }
      default:
        break;
    }
  } catch (...) {
  }
}
