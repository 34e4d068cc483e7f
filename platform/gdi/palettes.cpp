#include "platform/gdi/palettes.h"

#include <algorithm>

#include "platform/gdi/gdi_objects.h"

using namespace kp::gdi::detail;

HPALETTE CreatePalette(const LOGPALETTE* logpalette) {
  if (!logpalette || logpalette->palVersion != 0x300 || logpalette->palNumEntries == 0 ||
      logpalette->palNumEntries > 1024)
    return nullptr;
  auto palette = std::make_unique<PaletteObject>();
  const PALETTEENTRY* first = logpalette->palPalEntry;
  palette->entries.assign(first, first + logpalette->palNumEntries);
  return Register<HPALETTE>(std::move(palette));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hpal, BOOL) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc || !Lookup<PaletteObject>(hpal)) return nullptr;
  const std::uint32_t previous = dc->palette;
  dc->palette = ValueOf(hpal);
  return HandleOf<HPALETTE>(previous);
}

UINT RealizePalette(HDC hdc) {
  DcObject* dc = Lookup<DcObject>(hdc);
  if (!dc) return GDI_ERROR;
  PaletteObject* palette = Lookup<PaletteObject>(dc->palette);
  return palette ? static_cast<UINT>(palette->entries.size()) : 0;
}

UINT GetPaletteEntries(HPALETTE hpal, UINT start, UINT count, LPPALETTEENTRY entries) {
  PaletteObject* palette = Lookup<PaletteObject>(hpal);
  if (!palette) return 0;
  const std::size_t size = palette->entries.size();
  if (!entries) return static_cast<UINT>(size);
  if (start >= size) return 0;
  const std::size_t n = std::min<std::size_t>(count, size - start);
  std::copy_n(palette->entries.begin() + static_cast<std::ptrdiff_t>(start), n, entries);
  return static_cast<UINT>(n);
}
