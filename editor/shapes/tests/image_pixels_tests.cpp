#include <gtest/gtest.h>

#include "editor/shapes/image_pixels.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {
using sample_shapes::ShapesFileBuilder;
using shapes_tests::WriteShapes;

TEST(SeekImagePixels, PixelDataBeginsThirtyTwoPlusFourTimesFieldZeroAfterTheHeader) {
  const struct {
    SHORT field0;
    LONGLONG distance;
  } rows[] = {{128, 544}, {270, 1112}, {0, 32}, {1, 36}, {-1, 28}, {16, 96}};
  for (const auto& row : rows) {
    ShapesFileBuilder builder;
    builder.Block(3).images[1].field0 = row.field0;
    std::vector<BYTE> bytes = builder.Build();
    std::string path = WriteShapes("field0", bytes);
    CFile file(path.c_str(), CFile::modeRead);

    LONGLONG pixels = SeekImagePixels(file, 3, 1);
    EXPECT_EQ(pixels - builder.Layout(3).imageHeaders[1], row.distance) << "field 0 = " << row.field0;
    EXPECT_EQ(file.GetPosition(), static_cast<ULONGLONG>(pixels)) << "field 0 = " << row.field0;
  }
}

TEST(SeekImagePixels, FindsEveryImageOfEverySet) {
  ShapesFileBuilder builder;
  for (int set = 0; set < kSetCount; ++set) {
    auto& images = builder.Set(set).images;
    for (std::size_t i = 0; i < images.size(); ++i) images[i].pixels[0] = static_cast<BYTE>(set * 30 + i);
  }
  std::string path = WriteShapes("every-image", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);

  for (int set = 0; set < kSetCount; ++set) {
    const SetKind& kind = KindOfSet(set);
    for (int i = 0; i < kind.imageCount; ++i) {
      LONGLONG pixels = SeekImagePixels(file, SetHeaderNumbers[static_cast<std::size_t>(set)], i);
      ASSERT_EQ(pixels, builder.SetLayout(set).pixels[static_cast<std::size_t>(i)]) << set << "/" << i;
      BYTE first = 0;
      file.Read(&first, 1);
      EXPECT_EQ(first, set * 30 + i);
    }
  }
}

TEST(ReadImageHeader, GivesHeightAndWidthOfBothKinds) {
  ShapesFileBuilder builder;
  std::string path = WriteShapes("image-headers", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);
  const struct {
    int set;
    SHORT field0;
    SHORT field1;
  } rows[] = {{0, 128, 128}, {3, 128, 128}, {4, 270, 512}, {7, 270, 512}};
  for (const auto& row : rows) {
    BlockHeader block = ReadBlockHeader(file, SetHeaderNumbers[static_cast<std::size_t>(row.set)]);
    LONG offset = ReadImageOffset(file, block, 0);
    EXPECT_EQ(block.baseOffset + static_cast<LONGLONG>(offset), builder.SetLayout(row.set).imageHeaders[0]);
    ImageHeader header = ReadImageHeader(file, block, offset);
    EXPECT_EQ(header.fields[0], row.field0) << "set " << row.set;
    EXPECT_EQ(header.fields[1], row.field1) << "set " << row.set;
  }
}
}  // namespace
