#pragma once
// Block transfers between DCs. Only SRCCOPY copies from a source; PATCOPY,
// BLACKNESS and WHITENESS fill. Other raster operations give FALSE.

#include "platform/gdi/gdi_types.h"

// Copies the source rectangle (xSrc, ySrc, wSrc, hSrc) of hdcSrc onto the
// target rectangle (x, y, w, h) of hdcDest by nearest sample, in every
// stretch mode: target pixel (i, j) of the rectangle takes source pixel
// (xSrc + floor(i*wSrc/w), ySrc + floor(j*hSrc/h)); a same-size copy is pixel
// for pixel. Target pixels outside the target are clipped; source pixels
// outside the source are not read and leave the target pixel unchanged.
// Source and target may be the same DC. Negative or zero source extents, or
// negative target extents, give FALSE; a zero target extent draws nothing.
BOOL StretchBlt(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop);

// StretchBlt with equal extents (SRCCOPY), or a fill (PATCOPY with the
// selected brush, BLACKNESS, WHITENESS; hdcSrc not used).
BOOL BitBlt(HDC hdcDest, int x, int y, int w, int h, HDC hdcSrc, int xSrc, int ySrc, DWORD rop);

// Fills a rectangle with the selected brush (PATCOPY), black or white.
// Negative extents are measured leftwards/upwards from (x, y).
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
