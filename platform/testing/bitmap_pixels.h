#pragma once
// The pixels of a bitmap as tests compare them: read through GetDIBits as a
// 32-bit DIB, which every depth converts to, bottom row first unless asked
// for top-down, as 0xAARRGGBB with the top byte as the bitmap keeps it.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi.h"

namespace kp::testing {

inline std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height, bool topDown = false) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, topDown ? -height : height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  kp::gdi::ScopedMemoryDC dc(nullptr);
  EXPECT_EQ(GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS), height);
  return pixels;
}

}  // namespace kp::testing
