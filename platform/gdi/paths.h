#pragma once
// Paths: the outline that MoveToEx, LineTo and Polyline record
// between BeginPath and EndPath, filled by FillPath.

#include "platform/gdi/gdi_types.h"

// Discards any path and starts recording a new one.
BOOL BeginPath(HDC hdc);
// Ends recording; FALSE when no path is being recorded.
BOOL EndPath(HDC hdc);

// Closes every open figure and fills the path with the selected brush by the
// alternate (even-odd) rule, then discards it. A pixel is filled when its
// centre (x + 1/2, y + 1/2) lies inside the path or on its outline: so the
// path (L,T) (L+c,T) (L,T+c) fills the pixels with x-L + y-T <= c-1, a
// triangle whose legs are c pixels long, and c = 0 fills nothing. FALSE
// when no finished path exists.
BOOL FillPath(HDC hdc);
