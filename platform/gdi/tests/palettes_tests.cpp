#include <vector>

#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

// A LOGPALETTE of `count` entries, in memory laid out as Windows callers
// allocate it.
std::vector<BYTE> LogPalette(int count, WORD version = 0x300) {
  std::vector<BYTE> memory(sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY));
  auto* lp = reinterpret_cast<LOGPALETTE*>(memory.data());
  lp->palVersion = version;
  lp->palNumEntries = static_cast<WORD>(count);
  PALETTEENTRY* entries = lp->palPalEntry;
  for (int i = 0; i < count; ++i) entries[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
  return memory;
}

TEST_F(GdiTest, PaletteEntriesRoundTrip) {
  std::vector<BYTE> memory = LogPalette(256);
  ScopedPalette palette(CreatePalette(reinterpret_cast<LOGPALETTE*>(memory.data())));
  ASSERT_TRUE(palette);
  EXPECT_EQ(GetPaletteEntries(palette.get(), 0, 0, nullptr), 256u);
  PALETTEENTRY entries[4];
  EXPECT_EQ(GetPaletteEntries(palette.get(), 254, 4, entries), 2u) << "only two from 254";
  EXPECT_EQ(entries[1].peRed, 255);
  EXPECT_EQ(entries[1].peGreen, 0);
  EXPECT_EQ(entries[1].peBlue, 7);
}

TEST_F(GdiTest, MalformedLogicalPalettesAreRefused) {
  std::vector<BYTE> oldVersion = LogPalette(4, 0x200);
  EXPECT_EQ(CreatePalette(reinterpret_cast<LOGPALETTE*>(oldVersion.data())), nullptr);
  std::vector<BYTE> empty = LogPalette(1);
  reinterpret_cast<LOGPALETTE*>(empty.data())->palNumEntries = 0;
  EXPECT_EQ(CreatePalette(reinterpret_cast<LOGPALETTE*>(empty.data())), nullptr);
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
}

TEST_F(GdiTest, SelectingAndRealizingAPaletteLeavesPixelsAlone) {
  std::vector<BYTE> memory = LogPalette(16);
  ScopedPalette palette(CreatePalette(reinterpret_cast<LOGPALETTE*>(memory.data())));
  Canvas canvas(2, 2, 0x00345678);
  HPALETTE previous = SelectPalette(canvas.dc(), palette.get(), TRUE);
  EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(canvas.dc()), 16u);
  EXPECT_EQ(canvas.At(1, 1), 0x00345678u);
  EXPECT_EQ(SelectObject(canvas.dc(), palette.get()), nullptr) << "palettes go through SelectPalette";
  // Deleting a palette still selected puts the default one back in the DC.
  palette.reset();
  EXPECT_EQ(SelectPalette(canvas.dc(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), TRUE),
            GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(canvas.dc()), 20u);
}

}  // namespace
}  // namespace kp::gdi::testing
