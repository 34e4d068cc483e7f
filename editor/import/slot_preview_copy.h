#pragma once
// The preview's copy of a slot's bitmap. The preview control takes
// ownership of the bitmap it is given and deletes it when it is replaced,
// while the slot's bitmap stays the slot control's, so the preview always
// gets a bitmap of its own.

#include "platform/base/handles.h"

// A new bitmap of the same size and pixel format as `slotBitmap`, holding
// the same pixels: made in a memory DC compatible with the screen, with a
// second DC compatible with the first for the copy, both deleted before
// returning. Null when `slotBitmap` is null, cannot be described or
// selected (the slot holds no bitmap), or the copy cannot be made. The
// caller owns the copy; `slotBitmap` is only borrowed.
HBITMAP CopySlotBitmap(HBITMAP slotBitmap);
