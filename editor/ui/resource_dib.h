#pragma once
// Bitmap resources loaded with their palettes, the way the About box draws
// its frames: the packed DIB of a bitmap resource becomes a device-dependent
// bitmap, and its colour table becomes a logical palette.

#include "platform/base/module.h"
#include "platform/gdi/gdi_types.h"

// The colour-table entries of a DIB with this header: biClrUsed when it is
// set, else 2^bpp for 1 to 8 bits per pixel, else none. 64-bit, since
// biClrUsed comes from the data.
ULONGLONG DibColourTableEntries(const BITMAPINFOHEADER& header);

// A logical palette (version 0x300) of the DIB's colour table, whose entries
// start biSize bytes into `pbmi`, each taking red, green and blue from its
// four-byte entry (blue, green, red, reserved) with flags 0. *pnColours
// gets the number of entries: 0 and no palette above 8 bits per pixel,
// otherwise the colour table's entries up to 2^bpp. `pbmi` must hold its
// whole colour table.
HPALETTE CreateDibPalette(const BITMAPINFO* pbmi, int* pnColours);

// Finds bitmap resource `lpszName` ("#243" names 243) in `hInstance`'s
// resources and makes a bitmap of it compatible with the screen, with its
// pixels taken DibColourTableEntries x 4 bytes past the header. The caller
// owns the bitmap and *phPalette (NULL when the DIB has no palette);
// *pnColours gets the colour-table entries. NULL, with no palette, when the
// resource is missing, is not a BITMAPINFOHEADER DIB in BI_RGB, BI_RLE8 or
// BI_RLE4, or is too short for its header, colour table or pixels.
HBITMAP LoadResourceDib(HINSTANCE hInstance, LPCTSTR lpszName, HPALETTE* phPalette, int* pnColours);
