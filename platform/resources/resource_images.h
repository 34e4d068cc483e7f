#pragma once
// Pictures from module resources: bitmaps (packed DIBs) and icons (one
// packed DIB with its mask per size).

#include "platform/base/handles.h"
#include "platform/base/win_types.h"

// A new bitmap from the module's bitmap resource; the caller deletes it.
// NULL when the resource is missing or its bytes do not decode.
HBITMAP LoadBitmap(HINSTANCE hInstance, LPCTSTR lpBitmapName);

// The module's icon resource, with every size it carries. As on Windows the
// icon is shared: loading it again gives the same handle, and it lives as
// long as the process, so callers never destroy it.
HICON LoadIcon(HINSTANCE hInstance, LPCTSTR lpIconName);
