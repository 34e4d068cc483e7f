#pragma once
// Shared by the GDI tests: a fixture that fails a test which leaves GDI
// objects behind, and bitmaps filled from a function of the pixel position.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "platform/gdi/gdi.h"

namespace kp::gdi::testing {

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override { m_before = LiveObjectCount(); }
  void TearDown() override { EXPECT_EQ(LiveObjectCount(), m_before) << "GDI objects leaked"; }

 private:
  int m_before = 0;
};

// A 32-bit bitmap whose pixel (x, y), y counted from the top, is
// colour(x, y) as 0x00RRGGBB, written straight into its store.
inline HBITMAP MakeBitmap(int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 2835, 2835, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  auto* store = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) store[static_cast<std::size_t>(height - 1 - y) * width + x] = colour(x, y);
  return bitmap;
}

inline HBITMAP MakeUniformBitmap(int width, int height, std::uint32_t rgb) {
  return MakeBitmap(width, height, [rgb](int, int) { return rgb; });
}

// A memory DC with a bitmap selected, both deleted at scope exit.
class Canvas {
 public:
  Canvas(int width, int height, std::uint32_t rgb = 0x00FFFFFF)
      : m_bitmap(MakeUniformBitmap(width, height, rgb)), m_dc(nullptr), m_select(m_dc.get(), m_bitmap.get()) {}
  explicit Canvas(HBITMAP bitmap) : m_bitmap(bitmap), m_dc(nullptr), m_select(m_dc.get(), m_bitmap.get()) {}
  HDC dc() const { return m_dc.get(); }
  HBITMAP bitmap() const { return m_bitmap.get(); }
  // The pixel as 0x00RRGGBB, y from the top.
  std::uint32_t At(int x, int y) const {
    const COLORREF c = GetPixel(m_dc.get(), x, y);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }

 private:
  ScopedBitmap m_bitmap;
  ScopedMemoryDC m_dc;
  ScopedSelectObject m_select;
};

}  // namespace kp::gdi::testing
