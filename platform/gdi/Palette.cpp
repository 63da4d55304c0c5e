// GetObjectA of a palette gives its entry count as a WORD, as on Windows.
#include "gdi/Palette.h"

#include <cstring>

#include "gdi/DeviceContext.h"

namespace gdi {

int PaletteObject::describe(int size, void* buffer) const {
  if (buffer == nullptr) return sizeof(WORD);
  if (size < static_cast<int>(sizeof(WORD))) return 0;
  WORD count = static_cast<WORD>(entries.size());
  std::memcpy(buffer, &count, sizeof count);
  return sizeof(WORD);
}

std::unique_ptr<PaletteObject> makeDefaultPalette() {
  static const BYTE colors[20][3] = {
      {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
      {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
      {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
      {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  auto palette = std::make_unique<PaletteObject>();
  for (const auto& c : colors) palette->entries.push_back(PALETTEENTRY{c[0], c[1], c[2], 0});
  return palette;
}

}  // namespace gdi

HPALETTE WINAPI CreatePalette(const LOGPALETTE* plpal) {
  if (plpal == nullptr || plpal->palVersion != 0x300 || plpal->palNumEntries == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto palette = std::make_unique<gdi::PaletteObject>();
  palette->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
  return static_cast<HPALETTE>(gdi::addObject(std::move(palette)));
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd) {
  gdi::DeviceContext* dc = gdi::dcFromHandle(hdc);
  if (dc == nullptr) return nullptr;
  gdi::GdiObject* object = gdi::objectAs<gdi::PaletteObject>(hPal, gdi::ObjectKind::Palette);
  if (object == nullptr) return nullptr;
  return static_cast<HPALETTE>(dc->select(object, hPal));
}

UINT WINAPI RealizePalette(HDC hdc) {
  if (gdi::dcFromHandle(hdc) == nullptr) return GDI_ERROR;
  return 0;
}
