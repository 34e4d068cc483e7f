#pragma once
// Calls that work on any GDI object: describe, delete, type, stock objects.

#include "platform/gdi/gdi_types.h"

// Fills pv with the object's description and returns the bytes written:
// BITMAP (or DIBSECTION when cb is large enough and the bitmap is a DIB
// section), LOGPEN, LOGBRUSH, or for a palette the WORD entry count. With pv
// NULL returns the size it would write. 0 for invalid handles, DCs, icons or
// a buffer too small.
int GetObject(HANDLE h, int cb, LPVOID pv);

// Deletes a pen, brush, palette or bitmap. FALSE for invalid handles and for
// a bitmap still selected into a DC (as on Windows NT). A pen, brush or
// palette selected into a DC is deleted and the DC goes back to the stock
// object. Stock objects are never deleted (TRUE, as on Windows). DCs are
// deleted with DeleteDC, icons with DestroyIcon.
BOOL DeleteObject(HGDIOBJ h);

// OBJ_PEN, OBJ_BRUSH, OBJ_PAL, OBJ_BITMAP, OBJ_DC or OBJ_MEMDC; 0 for an
// invalid handle.
DWORD GetObjectType(HGDIOBJ h);

// WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH,
// NULL_BRUSH, WHITE_PEN, BLACK_PEN, NULL_PEN, DEFAULT_PALETTE; NULL otherwise.
HGDIOBJ GetStockObject(int i);
