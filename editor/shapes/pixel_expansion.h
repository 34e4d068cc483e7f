#pragma once
// Turning stored palette indices into a pixel array: width x height values
// 0x00RRGGBB, rows bottom-up (the first row of the array is the bottom row
// of the image), the layout a control takes.

#include "editor/shapes/set_palette.h"
#include "platform/base/win_types.h"

// Indices above this are shown with this entry; entries 231 to 255 are never
// used for display.
constexpr BYTE kHighestShownIndex = 230;

// The indices are in column order: width columns of height bytes, each
// column top down. Writes width x height pixels; nothing when either is 0 or
// less.
void ExpandColumnOrder(DWORD* pixels, const BYTE* indices, const SetPalette& palette, int width, int height);

// The indices are in bottom-up row order, the same order as the array, so
// this is a straight copy through the palette.
void ExpandRowOrder(DWORD* pixels, const BYTE* indices, const SetPalette& palette, int width, int height);
