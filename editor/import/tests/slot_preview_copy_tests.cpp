#include <gtest/gtest.h>

#include <vector>

#include "editor/import/slot_preview_copy.h"
#include "platform/gdi/gdi.h"
#include "platform/testing/bitmap_pixels.h"

namespace {

std::vector<std::uint32_t> Pattern(int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
  return pixels;
}

TEST(CopySlotBitmap, MakesANewBitmapOfTheSameSizeDepthAndPixels) {
  const struct {
    int width, height, bitsPixel;
  } rows[] = {{128, 128, 32}, {300, 200, 24}, {1, 1, 32}, {512, 270, 32}, {7, 3, 8}};
  for (const auto& row : rows) {
    const std::vector<std::uint32_t> pixels = Pattern(row.width, row.height);
    kp::gdi::ScopedBitmap slot(kp::gdi::CreateBitmapFromPixels(row.width, row.height, row.bitsPixel, pixels));
    ASSERT_TRUE(slot);
    const int live = kp::gdi::LiveObjectCount();

    kp::gdi::ScopedBitmap copy(CopySlotBitmap(slot.get()));
    ASSERT_TRUE(copy) << row.width << " x " << row.height;
    EXPECT_NE(copy.get(), slot.get());
    EXPECT_EQ(kp::gdi::LiveObjectCount(), live + 1) << "both DCs are gone; only the copy is new";
    BITMAP description{};
    ASSERT_NE(GetObject(copy.get(), sizeof description, &description), 0);
    EXPECT_EQ(description.bmWidth, row.width);
    EXPECT_EQ(description.bmHeight, row.height);
    EXPECT_EQ(description.bmBitsPixel, row.bitsPixel) << "the copy takes the slot bitmap's format";
    EXPECT_EQ(kp::testing::BitmapPixels(copy.get(), row.width, row.height), pixels);

    // The slot's bitmap is put back out of the copy's DC, free to be used.
    kp::gdi::ScopedMemoryDC dc(nullptr);
    kp::gdi::ScopedSelectObject select(dc.get(), slot.get());
    EXPECT_TRUE(select.ok());
  }
}

TEST(CopySlotBitmap, NoBitmapGivesNoCopyAndLeavesNothingBehind) {
  const int live = kp::gdi::LiveObjectCount();
  EXPECT_EQ(CopySlotBitmap(nullptr), nullptr) << "an empty slot";

  HBITMAP deleted = kp::gdi::CreateBitmapFromPixels(2, 2, 32, Pattern(2, 2));
  ASSERT_TRUE(DeleteObject(deleted));
  EXPECT_EQ(CopySlotBitmap(deleted), nullptr) << "a handle that names no bitmap any more";

  kp::gdi::ScopedBitmap held(kp::gdi::CreateBitmapFromPixels(4, 4, 32, Pattern(4, 4)));
  kp::gdi::ScopedMemoryDC elsewhere(nullptr);
  kp::gdi::ScopedSelectObject select(elsewhere.get(), held.get());
  EXPECT_EQ(CopySlotBitmap(held.get()), nullptr) << "a bitmap selected into another DC";
  EXPECT_EQ(kp::gdi::LiveObjectCount(), live + 2) << "only the test's own bitmap and DC";
}

}  // namespace
