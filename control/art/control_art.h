#pragma once
// The control module's pictures, drawn by tools/make_art when the module is
// built. The bytes are constant data, usable at any time.

#include <span>

#include "platform/base/win_types.h"

// The toolbox bitmap (bitmap resource 1) as a packed DIB: BITMAPINFOHEADER
// (40 bytes), 16 colour entries, then 16 x 15 pixels at 4 bits per pixel,
// BI_RGB, rows bottom-up and padded to 4 bytes.
std::span<const BYTE> ToolboxBitmapDib();
