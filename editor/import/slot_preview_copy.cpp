#include "editor/import/slot_preview_copy.h"

#include "platform/gdi/gdi.h"

HBITMAP CopySlotBitmap(HBITMAP slotBitmap) {
  kp::gdi::ScopedMemoryDC slotDc(nullptr);
  if (!slotDc) return nullptr;
  kp::gdi::ScopedSelectObject selectSlot(slotDc.get(), slotBitmap);
  BITMAP description{};
  if (!selectSlot.ok() || GetObject(slotBitmap, sizeof description, &description) == 0) return nullptr;

  kp::gdi::ScopedMemoryDC copyDc(slotDc.get());
  if (!copyDc) return nullptr;
  // Compatible with the DC that holds the slot's bitmap, so the copy takes
  // that bitmap's format.
  kp::gdi::ScopedBitmap copy(CreateCompatibleBitmap(slotDc.get(), description.bmWidth, description.bmHeight));
  if (!copy) return nullptr;
  {
    kp::gdi::ScopedSelectObject selectCopy(copyDc.get(), copy.get());
    if (!selectCopy.ok() ||
        !BitBlt(copyDc.get(), 0, 0, description.bmWidth, description.bmHeight, slotDc.get(), 0, 0, SRCCOPY))
      return nullptr;
  }
  return copy.release();
}
