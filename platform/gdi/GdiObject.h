// The handle table behind every GDI handle (pens, brushes, fonts, bitmaps, regions, palettes and
// device contexts). A handle encodes a slot and that slot's generation, so a deleted handle stays
// invalid even after its slot is reused. Stock objects live in the table for the whole process
// and are not counted by GetGuiResources, as on Windows where they belong to the system.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

namespace gdi {

// The OBJ_ values of GetObjectType.
enum class ObjectKind : DWORD {
  Pen = 1,
  Brush = 2,
  DC = 3,
  Palette = 5,
  Font = 6,
  Bitmap = 7,
  Region = 8,
  MemDC = 10,
};

struct GdiObject {
  explicit GdiObject(ObjectKind kind) : kind(kind) {}
  virtual ~GdiObject() = default;
  // GetObjectA for this kind: copies at most size bytes of its description into buffer (or, with
  // a NULL buffer, returns the size needed) and returns the bytes written; 0 when it has none.
  virtual int describe(int size, void* buffer) const { return 0; }
  // Ends the object when its handle goes. Kinds that are made and deleted very often keep the
  // object, with its storage, for the next one of their kind instead.
  virtual void dispose() { delete this; }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  ObjectKind kind;
  bool stock = false;
  // How many device contexts hold this object selected; DeleteObject of a selected object fails.
  int selectCount = 0;
  // The object's own handle, set when it enters the table.
  HGDIOBJ handle = nullptr;
};

// Takes ownership and returns the new handle (NULL, with ERROR_NOT_ENOUGH_MEMORY, if the table is full).
HGDIOBJ addObject(std::unique_ptr<GdiObject> object);

// Lists a handle table's slot as free again. A slot that memory cannot be had to list is never
// used again: that costs one slot, and keeps a release from failing.
inline void keepFree(std::vector<size_t>& freeSlots, size_t slot) {
  try {
    freeSlots.push_back(slot);
  } catch (const std::bad_alloc&) {
  }
}
// Makes the object a stock object: never counted, never deleted.
HGDIOBJ addStockObject(std::unique_ptr<GdiObject> object);

struct DisposeObject {
  void operator()(GdiObject* object) const { object->dispose(); }
};

// The table's slots, which findObject reads inline since every GDI call looks up handles;
// GdiObject.cpp owns them and keeps these two current.
struct HandleSlot {
  std::unique_ptr<GdiObject, DisposeObject> object;
  uint16_t generation = 0;
};
extern HandleSlot* handleSlots;
extern size_t handleSlotCount;

// The live object behind a handle, or nullptr for NULL, stale and unknown handles.
inline GdiObject* findObject(HGDIOBJ handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  size_t slot = static_cast<size_t>(value >> 16) - 1;  // NULL and small integers wrap past the end
  if ((value >> 32) != 0 || slot >= handleSlotCount) return nullptr;
  const HandleSlot& s = handleSlots[slot];
  return s.generation == static_cast<uint16_t>(value & 0xFFFF) ? s.object.get() : nullptr;
}

// The object if it is of one of the wanted kinds; otherwise nullptr and ERROR_INVALID_HANDLE.
template <typename T>
T* objectAs(HGDIOBJ handle, ObjectKind kind) {
  GdiObject* object = findObject(handle);
  if (object == nullptr || object->kind != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return static_cast<T*>(object);
}

// Destroys the object and frees its slot; false for stock, selected or invalid handles.
bool removeObject(HGDIOBJ handle);

// The handle of a live object (the reverse of findObject).
HGDIOBJ handleOf(const GdiObject* object);

// Live objects that are not stock objects.
DWORD liveObjectCount();

}  // namespace gdi
