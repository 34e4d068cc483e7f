#pragma once
// Device contexts. A memory DC draws into the bitmap selected into it; a
// surface DC (surface.h) into pixels owned by the window layer. A fresh
// memory DC holds the stock 1x1 one-bit bitmap, the black pen, the white
// brush and the default palette, and stretch mode BLACKONWHITE.

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/surface.h"

// A memory DC. hdc may be NULL (compatible with the screen) or any valid DC;
// an invalid non-null hdc gives NULL.
HDC CreateCompatibleDC(HDC hdc);

// Deletes a DC of any kind. The objects selected into it are not deleted; a
// bitmap selected into it becomes free to be selected elsewhere or deleted.
BOOL DeleteDC(HDC hdc);

// Selects a bitmap (memory DCs only), pen or brush and returns the previous
// object of that type. NULL when either handle is invalid, for palettes (use
// SelectPalette), for a bitmap already selected into another DC, and for a
// bitmap into a surface or display DC.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);

// The stretch mode is kept and reported; every mode samples nearest pixels
// (see StretchBlt). Returns the previous mode, 0 on failure.
int SetStretchBltMode(HDC hdc, int mode);
