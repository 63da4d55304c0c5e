// Handles are (slot + 1) << 16 | generation, so no valid handle is NULL or a small integer, and a
// stale handle is caught by its generation. The table holds at most 65535 slots, a little below
// the 65536 GDI handles a Windows session has.
#include "gdi/GdiObject.h"

#include <new>
#include <vector>

namespace gdi {

HandleSlot* handleSlots = nullptr;
size_t handleSlotCount = 0;

namespace {

using Slot = HandleSlot;

struct HandleTable {
  std::vector<Slot> slots;
  std::vector<size_t> freeSlots;
  DWORD live = 0;
};

constexpr size_t kMaxSlots = 0xFFFF;

HandleTable& table() {
  static HandleTable* instance = new HandleTable;  // outlives every static that may delete objects
  return *instance;
}

HGDIOBJ encode(size_t slot, uint16_t generation) {
  return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(((slot + 1) << 16) | generation));
}

Slot* decode(HGDIOBJ handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || (value >> 32) != 0) return nullptr;
  size_t slot = (value >> 16) - 1;
  HandleTable& t = table();
  if ((value >> 16) == 0 || slot >= t.slots.size()) return nullptr;
  Slot& s = t.slots[slot];
  if (!s.object || s.generation != static_cast<uint16_t>(value & 0xFFFF)) return nullptr;
  return &s;
}

HGDIOBJ insert(std::unique_ptr<GdiObject> object) {
  HandleTable& t = table();
  size_t slot;
  if (!t.freeSlots.empty()) {
    slot = t.freeSlots.back();
    t.freeSlots.pop_back();
  } else if (t.slots.size() < kMaxSlots) {
    slot = t.slots.size();
    try {
      t.slots.emplace_back();
    } catch (const std::bad_alloc&) {
      SetLastError(ERROR_OUTOFMEMORY);
      return nullptr;
    }
    handleSlots = t.slots.data();
    handleSlotCount = t.slots.size();
  } else {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Slot& s = t.slots[slot];
  s.generation = static_cast<uint16_t>(s.generation + 1);
  if (s.generation == 0) s.generation = 1;
  HGDIOBJ handle = encode(slot, s.generation);
  object->handle = handle;
  s.object.reset(object.release());
  return handle;
}

}  // namespace

HGDIOBJ addObject(std::unique_ptr<GdiObject> object) {
  HGDIOBJ handle = insert(std::move(object));
  if (handle != nullptr) ++table().live;
  return handle;
}

HGDIOBJ addStockObject(std::unique_ptr<GdiObject> object) {
  object->stock = true;
  return insert(std::move(object));
}

bool removeObject(HGDIOBJ handle) {
  Slot* slot = decode(handle);
  if (slot == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (slot->object->stock || slot->object->selectCount > 0) return false;
  HandleTable& t = table();
  std::unique_ptr<GdiObject, DisposeObject> doomed = std::move(slot->object);
  --t.live;
  keepFree(t.freeSlots, static_cast<size_t>(slot - t.slots.data()));
  doomed.reset();  // after the table is consistent, since a destructor may delete other objects
  return true;
}

HGDIOBJ handleOf(const GdiObject* object) { return object ? object->handle : nullptr; }

DWORD liveObjectCount() { return table().live; }

}  // namespace gdi
