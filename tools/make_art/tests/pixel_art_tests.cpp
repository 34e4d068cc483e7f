#include "tools/make_art/pixel_art.h"

#include <gtest/gtest.h>

#include "tools/make_art/vga_palette.h"

namespace make_art {
namespace {

TEST(ParsePixelArt, MapsEveryKeyToItsVgaColour) {
  const PixelArt art = ParsePixelArt({"krgybmcl", "dRGYBMCW", "........"});
  ASSERT_EQ(art.image.width, 8);
  ASSERT_EQ(art.image.height, 3);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(art.image.At(i % 8, i / 8), i) << i;
    EXPECT_FALSE(art.transparent[i]);
  }
  for (int x = 0; x < 8; ++x) {
    EXPECT_TRUE(art.transparent[16 + x]);
    EXPECT_EQ(art.image.At(x, 2), VgaBlack) << "transparent pixels hold index 0";
  }
}

TEST(ParsePixelArt, RejectsRaggedRowsAndUnknownKeys) {
  const std::vector<std::vector<std::string_view>> bad = {{"kk", "k"}, {"kx"}, {"k k"}, {}};
  for (const auto& rows : bad) {
    const PixelArt art = ParsePixelArt(rows);
    EXPECT_EQ(art.image.width, 0);
    EXPECT_EQ(art.image.height, 0);
    EXPECT_TRUE(art.transparent.empty());
  }
}

}  // namespace
}  // namespace make_art
