#include <gtest/gtest.h>

#include "editor/shapes/big_endian.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {
using shapes_tests::WriteShapes;

struct Field16 {
  BYTE bytes[2];
  SHORT value;
};
struct Field32 {
  BYTE bytes[4];
  LONG value;
};

TEST(ReadBigEndian, SignedFieldsAssembleHighByteFirst) {
  const Field16 rows16[] = {
      {{0x00, 0x80}, 128}, {{0x01, 0x00}, 256},    {{0x7F, 0xFF}, 32767},
      {{0xFF, 0xFF}, -1},  {{0x80, 0x00}, -32768}, {{0xFF, 0xFE}, -2},
  };
  const Field32 rows32[] = {
      {{0x00, 0x00, 0x02, 0xA0}, 672},
      {{0x00, 0x99, 0x41, 0xC4}, 10043844},
      {{0x7F, 0xFF, 0xFF, 0xFF}, 2147483647},
      {{0xFF, 0xFF, 0xFF, 0xFF}, -1},
      {{0x80, 0x00, 0x00, 0x00}, -2147483647 - 1},
      {{0xFF, 0xFF, 0xFE, 0x00}, -512},
  };
  std::vector<BYTE> bytes;
  for (const Field16& row : rows16) bytes.insert(bytes.end(), row.bytes, row.bytes + 2);
  for (const Field32& row : rows32) bytes.insert(bytes.end(), row.bytes, row.bytes + 4);
  std::string path = WriteShapes("fields", bytes);

  CFile file(path.c_str(), CFile::modeRead);
  for (const Field16& row : rows16) EXPECT_EQ(ReadBigEndian16(file), row.value);
  for (const Field32& row : rows32) EXPECT_EQ(ReadBigEndian32(file), row.value);
  EXPECT_EQ(file.GetPosition(), bytes.size()) << "each read advances by the field's size";
}

TEST(ReadBigEndian, ShortReadThrowsEndOfFileNamingTheFile) {
  std::string path = WriteShapes("three-bytes", {0x12, 0x34, 0x56});
  CFile file(path.c_str(), CFile::modeRead);
  EXPECT_EQ(ReadBigEndian16(file), 0x1234);
  shapes_tests::ExpectFileException([&] { ReadBigEndian16(file); }, CFileException::endOfFile, path);
  file.SeekToBegin();
  shapes_tests::ExpectFileException([&] { ReadBigEndian32(file); }, CFileException::endOfFile, path);
}
}  // namespace
