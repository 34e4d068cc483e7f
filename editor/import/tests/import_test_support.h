#pragma once
// Source bitmaps for the conversion tests: a real GDI bitmap selected into a
// real memory DC, made from a function of the pixel position.

#include <functional>
#include <memory>
#include <vector>

#include "platform/gdi/gdi.h"

namespace import_tests {

// A width x height bitmap whose pixel (x, y), y = 0 at the top, is
// rgbAt(x, y) as 0x00RRGGBB, selected into a memory DC.
class SourceBitmap {
 public:
  SourceBitmap(int width, int height, const std::function<DWORD(int, int)>& rgbAt)
      : m_bitmap(Make(width, height, rgbAt)),
        m_dc(nullptr),
        m_select(std::make_unique<kp::gdi::ScopedSelectObject>(m_dc.get(), m_bitmap.get())) {}

  HDC dc() const { return m_dc.get(); }
  bool ok() const { return m_bitmap && m_dc && m_select->ok(); }

 private:
  static HBITMAP Make(int width, int height, const std::function<DWORD(int, int)>& rgbAt) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)] = rgbAt(x, y);
    return kp::gdi::CreateBitmapFromPixels(width, height, 32, pixels);
  }

  // Declared in this order so that the selection is undone first, then the
  // DC deleted, and the bitmap last.
  kp::gdi::ScopedBitmap m_bitmap;
  kp::gdi::ScopedMemoryDC m_dc;
  std::unique_ptr<kp::gdi::ScopedSelectObject> m_select;
};

}  // namespace import_tests
