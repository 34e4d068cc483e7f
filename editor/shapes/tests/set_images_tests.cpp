#include <gtest/gtest.h>

#include <vector>

#include "editor/shapes/block_header.h"
#include "editor/shapes/set_images.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/tests/expected_pictures.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {
using sample_shapes::ShapesFileBuilder;
using shapes_tests::ExpectedPicture;
using shapes_tests::WriteShapes;

struct Delivered {
  int image;
  int width;
  int height;
  std::vector<DWORD> pixels;
  const DWORD* buffer;
};

std::vector<Delivered> ReadAll(CFile& file, int setIndex, BOOL noGamma, LONG* count = nullptr) {
  std::vector<Delivered> delivered;
  LONG colours = ReadSetImages(file, setIndex, noGamma, [&](const SetImagePixels& picture) {
    delivered.push_back({picture.image, picture.width, picture.height,
                         std::vector<DWORD>(picture.pixels, picture.pixels + picture.width * picture.height),
                         picture.pixels});
  });
  if (count != nullptr) *count = colours;
  return delivered;
}

TEST(ReadSetImages, EverySetDeliversItsImagesInSlotOrderDecodedWithAndWithoutTheCurve) {
  ShapesFileBuilder builder;
  // The pattern of the builder uses indices up to 255 in the sets of 256
  // colours, so the clamp to entry 230 is exercised too.
  std::string path = WriteShapes("every-set", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);
  for (int set = 0; set < kSetCount; ++set) {
    const SetKind& kind = KindOfSet(set);
    for (BOOL noGamma : {FALSE, TRUE}) {
      LONG count = 0;
      std::vector<Delivered> delivered = ReadAll(file, set, noGamma, &count);
      EXPECT_EQ(count, set % 2 == 0 ? 256 : 231);
      ASSERT_EQ(delivered.size(), static_cast<std::size_t>(kind.imageCount)) << "set " << set;
      for (int i = 0; i < kind.imageCount; ++i) {
        const Delivered& d = delivered[static_cast<std::size_t>(i)];
        EXPECT_EQ(d.image, i);
        EXPECT_EQ(d.width, kind.width);
        EXPECT_EQ(d.height, kind.height);
        EXPECT_EQ(d.pixels, ExpectedPicture(builder, set, i, !noGamma)) << "set " << set << " image " << i;
        EXPECT_EQ(d.buffer, delivered[0].buffer) << "one pixel array serves every image";
      }
    }
  }
}

TEST(ReadSetImages, ALandscapesFirstStoredRowIsTheBottomRowAndATexturesFirstColumnRunsDown) {
  ShapesFileBuilder builder;
  builder.SetColourCount(4, 256);
  builder.SetColourCount(0, 256);
  std::vector<BYTE> landscape(kLandscapeBytes, 9);
  for (int x = 0; x < kLandscapeWidth; ++x) landscape[static_cast<std::size_t>(x)] = 3;  // first stored row
  builder.SetImagePixels(4, 0, landscape);
  std::vector<BYTE> texture(kTextureBytes, 9);
  for (int k = 0; k < kTextureHeight; ++k) texture[static_cast<std::size_t>(k)] = static_cast<BYTE>(k);
  builder.SetImagePixels(0, 0, texture);
  std::string path = WriteShapes("orders", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);
  SetPalette raw = shapes_tests::ExpectedPalette(builder.Set(0), false);

  std::vector<Delivered> land = ReadAll(file, 4, TRUE);
  ASSERT_EQ(land.size(), 1u);
  for (int x = 0; x < kLandscapeWidth; x += 97) {
    EXPECT_EQ(land[0].pixels[static_cast<std::size_t>(x)], raw[3]) << "array row 0 is the bottom row";
    EXPECT_EQ(land[0].pixels[static_cast<std::size_t>(kLandscapeBytes - kLandscapeWidth + x)], raw[9]);
  }

  std::vector<Delivered> textures = ReadAll(file, 0, TRUE);
  ASSERT_EQ(textures.size(), 30u);
  const std::vector<DWORD>& first = textures[0].pixels;
  // Image row y of column 0 sits in array row 127 - y.
  for (int y : {0, 1, 2, 127})
    EXPECT_EQ(first[static_cast<std::size_t>((127 - y) * 128)], raw[static_cast<std::size_t>(y)]) << y;
  EXPECT_EQ(first[127 * 128 + 1], raw[9]) << "the 129th stored byte is the top of the second column";
}

TEST(ReadSetImages, UnfilledEntriesShowBlack) {
  ShapesFileBuilder builder;
  builder.SetColourCount(1, 16);
  builder.SetImagePixels(1, 0, std::vector<BYTE>(kTextureBytes, 200));
  std::string path = WriteShapes("sixteen", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);
  std::vector<Delivered> delivered = ReadAll(file, 1, TRUE);
  ASSERT_FALSE(delivered.empty());
  for (DWORD pixel : delivered[0].pixels) ASSERT_EQ(pixel, 0u);
}

TEST(ReadSetImages, AnImageOutsideTheFileStopsTheReadAfterTheImagesBeforeIt) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  // Image 5's offset table entry points far past the end.
  sample_shapes::PutBigEndian32(bytes, builder.SetLayout(2).imageTable + 4 * 5, 0x7FFFFF00);
  std::string path = WriteShapes("outside", bytes);
  CFile file(path.c_str(), CFile::modeRead);

  std::vector<int> images;
  shapes_tests::ExpectFileException(
      [&] { ReadSetImages(file, 2, FALSE, [&](const SetImagePixels& p) { images.push_back(p.image); }); },
      CFileException::endOfFile, path);
  EXPECT_EQ(images, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ReadSetImages, ALandscapeCutShortByTheEndOfTheFileThrows) {
  ShapesFileBuilder builder;
  builder.Build();
  const LONGLONG pixels = builder.SetLayout(7).pixels[0];
  std::string path = WriteShapes("cut", builder.Build(static_cast<ULONGLONG>(pixels + kLandscapeBytes - 1)));
  CFile file(path.c_str(), CFile::modeRead);
  int delivered = 0;
  shapes_tests::ExpectFileException([&] { ReadSetImages(file, 7, FALSE, [&](const SetImagePixels&) { ++delivered; }); },
                                    CFileException::endOfFile, path);
  EXPECT_EQ(delivered, 0);
}

}  // namespace
