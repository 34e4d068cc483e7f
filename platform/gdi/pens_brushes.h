#pragma once
// Pens and brushes: solid colours, or null (draws nothing).

#include "platform/gdi/gdi_types.h"

// PS_SOLID or PS_NULL. Width 0 or 1 draws one-pixel lines; wider pens draw
// a square of that many pixels at each point of the line. NULL for other
// styles or a negative width.
HPEN CreatePen(int style, int width, COLORREF color);

HBRUSH CreateSolidBrush(COLORREF color);
