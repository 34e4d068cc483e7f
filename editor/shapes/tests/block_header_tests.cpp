#include <gtest/gtest.h>

#include "editor/shapes/block_header.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {
using sample_shapes::PutBigEndian16;
using sample_shapes::PutBigEndian32;
using sample_shapes::ShapesFileBuilder;
using shapes_tests::BigEndian32Of;
using shapes_tests::WriteShapes;

TEST(ReadBlockHeader, TextureSetFourIsHeaderTwentyOneAtOffset672) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  ASSERT_EQ(HeaderRecordPosition(SetHeaderNumbers[3]), 672);
  // Header 20 must not be read: point it at a block that would be noticed.
  PutBigEndian32(bytes, HeaderRecordPosition(20) + 4, static_cast<LONG>(builder.SetLayout(0).base));
  std::string path = WriteShapes("header-21", bytes);

  CFile file(path.c_str(), CFile::modeRead);
  BlockHeader header = ReadBlockHeader(file, SetHeaderNumbers[3]);
  EXPECT_EQ(header.baseOffset, builder.Layout(21).base);
  EXPECT_EQ(header.baseOffset, BigEndian32Of(bytes, 672 + 4));
  EXPECT_EQ(header.colourCount, 231);
  EXPECT_EQ(header.imageCount, 30);
}

TEST(ReadBlockHeader, TakesEachFieldFromItsOwnOffset) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  const LONGLONG base = builder.Layout(5).base;
  // Distinct values in every field, the unused ones included, so a field
  // read from a neighbour's place shows.
  // clang-format off
  const struct {
    LONGLONG offset;
    int size;
    LONG value;
  } fields[] = {
      {0, 2, 0x0A0B},      {2, 2, 0x0C0D},      {4, 4, -7},  // colour count
      {8, 2, 0x1111},      {10, 4, 0x00012345},              // colour table offset
      {14, 2, 0x2222},     {16, 4, 0x33333333}, {20, 2, 0x4444},
      {22, 4, 0x55555555}, {26, 2, -3},  // image count
      {28, 4, 0x00067890},               // image offset table offset
      {32, 2, 0x6666},     {34, 4, 0x77777777},
  };
  // clang-format on
  for (const auto& field : fields) {
    if (field.size == 2)
      PutBigEndian16(bytes, base + field.offset, static_cast<SHORT>(field.value));
    else
      PutBigEndian32(bytes, base + field.offset, field.value);
  }
  std::string path = WriteShapes("fields-of-block", bytes);

  CFile file(path.c_str(), CFile::modeRead);
  BlockHeader header = ReadBlockHeader(file, 5);
  EXPECT_EQ(header.baseOffset, base);
  EXPECT_EQ(header.colourCount, -7);
  EXPECT_EQ(header.colourTableOffset, 0x00012345);
  EXPECT_EQ(header.imageCount, -3);
  EXPECT_EQ(header.imageTableOffset, 0x00067890);
  EXPECT_EQ(file.GetPosition(), static_cast<ULONGLONG>(base + kBlockHeaderSize));
}
}  // namespace
