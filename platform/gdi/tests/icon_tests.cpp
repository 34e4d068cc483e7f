#include <vector>

#include "platform/gdi/tests/gdi_test_support.h"
#include "platform/testing/bmp_writer.h"

namespace kp::gdi::testing {
namespace {

using kp::testing::PutDword;
using kp::testing::PutWord;

// A w x w icon image as RT_ICON stores it: header with twice the height,
// colour table, colour bits (bottom-up), AND mask.
std::vector<BYTE> IconDib(int w, int bitCount, const std::function<std::uint32_t(int, int)>& pixel,
                          const std::function<bool(int, int)>& masked) {
  std::vector<BYTE> dib;
  PutDword(dib, 40);
  PutDword(dib, w);
  PutDword(dib, 2 * w);  // colour bitmap and mask together
  PutWord(dib, 1);
  PutWord(dib, bitCount);
  for (int i = 0; i < 6; ++i) PutDword(dib, 0);
  if (bitCount == 4)
    for (std::uint32_t i = 0; i < 16; ++i) PutDword(dib, i * 0x111111);
  for (int row = 0; row < w; ++row) {  // bottom row first
    const int y = w - 1 - row;
    std::vector<BYTE> line;
    for (int x = 0; x < w; ++x) {
      if (bitCount == 4) {
        if (x % 2 == 0) line.push_back(0);
        line.back() |= static_cast<BYTE>(pixel(x, y) << (x % 2 ? 0 : 4));
      } else {
        PutDword(line, pixel(x, y));
      }
    }
    while (line.size() % 4) line.push_back(0);
    dib.insert(dib.end(), line.begin(), line.end());
  }
  for (int row = 0; row < w; ++row) {
    const int y = w - 1 - row;
    std::vector<BYTE> line((w + 31) / 32 * 4, 0);
    for (int x = 0; x < w; ++x)
      if (masked(x, y)) line[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    dib.insert(dib.end(), line.begin(), line.end());
  }
  return dib;
}

TEST(IconDecoder, SixteenColourImageTakesTransparencyFromTheMask) {
  const std::vector<BYTE> dib = IconDib(
      32, 4, [](int x, int y) { return static_cast<std::uint32_t>((x + y) % 16); }, [](int x, int) { return x < 4; });
  const std::optional<IconImage> image = DecodeIconImage(dib);
  ASSERT_TRUE(image);
  ASSERT_EQ(image->width, 32);
  ASSERT_EQ(image->height, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const std::uint32_t alpha = x < 4 ? 0 : 0xFF000000;
      ASSERT_EQ(image->argb[y * 32 + x], alpha | ((x + y) % 16) * 0x111111u) << x << "," << y;
    }
  EXPECT_FALSE(DecodeIconImage(std::span(dib).first(dib.size() - 1))) << "mask cut short";
}

TEST(IconDecoder, ThirtyTwoBitImageUsesItsAlphaChannel) {
  const std::vector<BYTE> dib = IconDib(
      16, 32, [](int x, int) { return x < 8 ? 0x80FF0000u : 0xFF00FF00u; }, [](int, int) { return true; });
  const std::optional<IconImage> image = DecodeIconImage(dib);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->argb[0], 0x80FF0000u) << "alpha wins over the all-set mask";
  EXPECT_EQ(image->argb[15], 0xFF00FF00u);
}

TEST_F(GdiTest, IconsKeepTheirImagesAndBlendTheBestSizedOne) {
  IconImage small{16, 16, std::vector<std::uint32_t>(256, 0xFF0000FFu)};
  IconImage large{32, 32, std::vector<std::uint32_t>(1024, 0x80FF0000u)};
  large.argb[0] = 0x00000000;  // a transparent corner
  const IconImage images[] = {small, large};
  ScopedIcon icon(kp::gdi::CreateIconFromImages(images));
  ASSERT_NE(icon.get(), nullptr);
  const std::vector<IconImage> back = GetIconImages(icon.get());
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].argb, large.argb);

  Canvas canvas(40, 40, 0x00FFFFFF);
  ASSERT_TRUE(DrawIcon(canvas.dc(), 4, 4, icon.get()));
  EXPECT_EQ(canvas.At(4, 4), 0x00FFFFFFu) << "transparent pixel leaves the target";
  EXPECT_EQ(canvas.At(5, 4), 0x00FF7F7Fu) << "half red over white";
  EXPECT_EQ(canvas.At(35, 35), 0x00FF7F7Fu);
  EXPECT_EQ(canvas.At(36, 36), 0x00FFFFFFu);
  ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(canvas.At(15, 15), 0x000000FFu) << "the 16 x 16 image at 16 x 16";

  const IconImage wrong{2, 2, std::vector<std::uint32_t>(3)};
  EXPECT_EQ(kp::gdi::CreateIconFromImages(std::span(&wrong, 1)), nullptr);
  HICON gone = icon.release();
  EXPECT_TRUE(DestroyIcon(gone));
  EXPECT_FALSE(DrawIcon(canvas.dc(), 0, 0, gone));
  EXPECT_TRUE(GetIconImages(gone).empty());
}

}  // namespace
}  // namespace kp::gdi::testing
