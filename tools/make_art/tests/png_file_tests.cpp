#include "tools/make_art/png_file.h"

#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "tools/make_art/program_icon.h"
#include "tools/make_art/vga_palette.h"

namespace make_art {
namespace {

QImage Decode(const std::vector<std::uint8_t>& png) {
  return QImage::fromData(png.data(), static_cast<int>(png.size()), "PNG");
}

TEST(Crc32, MatchesTheCheckValueOfTheStandard) {
  const std::string text = "123456789";
  EXPECT_EQ(Crc32(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())), 0xCBF43926u);
}

TEST(MakePng, ADecoderReadsEveryPixelAndItsOpacity) {
  IndexedImage image(3, 2);
  image.At(0, 0) = 0;
  image.At(1, 0) = 1;
  image.At(2, 0) = 2;
  image.At(0, 1) = 2;
  image.At(1, 1) = 2;
  image.At(2, 1) = 1;
  const Rgb palette[] = {{10, 20, 30}, {200, 100, 0}, {0, 0, 0}};
  const std::uint8_t alpha[] = {255, 128, 0};
  const QImage decoded = Decode(MakePng(image, palette, alpha)).convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(decoded.width(), 3);
  ASSERT_EQ(decoded.height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      const std::uint8_t index = image.At(x, y);
      const QRgb pixel = decoded.pixel(x, y);
      EXPECT_EQ(qAlpha(pixel), alpha[index]) << x << "," << y;
      if (alpha[index] == 255) {
        EXPECT_EQ(qRed(pixel), palette[index].r) << x << "," << y;
        EXPECT_EQ(qGreen(pixel), palette[index].g) << x << "," << y;
        EXPECT_EQ(qBlue(pixel), palette[index].b) << x << "," << y;
      }
    }
}

TEST(ProgramIconPng, EachThemeSizeIsTheIconArtEnlargedByWholePixels) {
  const struct {
    int size;
    int artSize;
  } rows[] = {{16, 16}, {32, 32}, {48, 16}, {64, 32}, {128, 32}, {256, 32}};
  for (const auto& row : rows) {
    const PixelArt art = ProgramIconArt(row.artSize);
    const QImage icon = Decode(ProgramIconPng(row.size)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.width(), row.size) << row.size;
    ASSERT_EQ(icon.height(), row.size) << row.size;
    const int factor = row.size / row.artSize;
    int mismatches = 0;
    for (int y = 0; y < row.size; ++y)
      for (int x = 0; x < row.size; ++x) {
        const int ax = x / factor, ay = y / factor;
        const QRgb pixel = icon.pixel(x, y);
        if (art.transparent[static_cast<std::size_t>(ay) * row.artSize + ax]) {
          mismatches += qAlpha(pixel) != 0;
          continue;
        }
        const Rgb expected = VgaPalette[art.image.At(ax, ay)];
        mismatches += qAlpha(pixel) != 255 || qRed(pixel) != expected.r || qGreen(pixel) != expected.g ||
                      qBlue(pixel) != expected.b;
      }
    EXPECT_EQ(mismatches, 0) << "size " << row.size;
  }
}

TEST(ProgramIconPng, HasNoPictureForSizesThatAreNotMultiplesOfSixteen) {
  for (int size : {0, 8, 24, 100}) EXPECT_TRUE(ProgramIconPng(size).empty()) << size;
}

}  // namespace
}  // namespace make_art
