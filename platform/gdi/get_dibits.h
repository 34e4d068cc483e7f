#pragma once
// Reading a bitmap's pixels out in DIB form.

#include "platform/gdi/gdi_types.h"

// Copies lines of hbm into `bits` in the format that bmi->bmiHeader asks
// for: 24 or 32 bits per pixel, BI_RGB, rows padded to 4 bytes with zero
// filler bytes (and a zero fourth byte per pixel at 32 bits). A positive
// biHeight asks for bottom-up rows: buffer row r is bitmap row start + r
// counted from the bottom; a negative one for top-down rows: buffer row r
// is bitmap row start + r counted from the top. Rows are biWidth pixels
// long (pixels beyond the bitmap's width are black) and at most |biHeight|
// rows are written, so nothing is written beyond the image the header
// describes. biSizeImage is set to the size of that image. Returns the
// number of lines copied.
//
// With bits NULL only the header is filled: with biBitCount 0 it receives
// the bitmap's width, height, depth, BI_RGB and image size; with 24 or 32 it
// receives biSizeImage. Returns the bitmap's height then.
//
// 0 for an invalid DC or bitmap, a header smaller than 40 bytes, another
// depth or compression, or usage other than DIB_RGB_COLORS.
int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO bmi, UINT usage);
