#pragma once
// Single pixels and rectangle fills.

#include "platform/gdi/gdi_types.h"

// The pixel at (x, y) as COLORREF 0x00BBGGRR; CLR_INVALID outside the
// target, for a DC without pixels, or an invalid DC.
COLORREF GetPixel(HDC hdc, int x, int y);

// Fills [left, right) x [top, bottom) with the brush (a null brush fills
// nothing), whatever brush is selected. FALSE for an invalid DC or brush.
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
