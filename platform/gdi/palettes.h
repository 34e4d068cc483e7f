#pragma once
// Logical palettes. Every target here is true colour, so palettes never
// change pixels: they are kept, selected and reported as on Windows.

#include "platform/gdi/gdi_types.h"

// palVersion must be 0x300 and palNumEntries 1..1024; NULL otherwise.
HPALETTE CreatePalette(const LOGPALETTE* logpalette);

// Selects the palette into the DC and returns the previous one (NULL for an
// invalid DC or palette). bForceBackground is accepted and changes nothing.
HPALETTE SelectPalette(HDC hdc, HPALETTE hpal, BOOL bForceBackground);

// The number of entries of the selected palette; GDI_ERROR for an invalid DC.
UINT RealizePalette(HDC hdc);

// Copies up to `count` entries from `start`; returns the number copied.
// With entries NULL returns the palette's entry count. 0 for an invalid
// palette.
UINT GetPaletteEntries(HPALETTE hpal, UINT start, UINT count, LPPALETTEENTRY entries);
