#pragma once
// Lines drawn with the selected pen. A line covers the pixels of the
// segment from its first point up to, but not including, its last point, as
// GDI draws them: the pixel on the major axis at each step, the minor
// coordinate rounded to the nearest pixel (ties away from the start). So the
// polyline (0,0) (w-1,0) (w-1,h-1) (0,h-1) (0,0) with a one-pixel pen covers
// exactly the border ring of a w x h rectangle.
//
// Between BeginPath and EndPath these calls add to the path instead of
// drawing (paths.h).

#include "platform/gdi/gdi_types.h"

// Moves the current position; the previous one goes to *previous if given.
BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT previous);

// Draws from the current position to (x, y) and makes (x, y) current.
BOOL LineTo(HDC hdc, int x, int y);

// Draws the segments between consecutive points (at least 2); neither uses
// nor moves the current position.
BOOL Polyline(HDC hdc, const POINT* points, int count);
