// Damaged shapes files: every offset and count read from the file is checked
// before it is used, and each failure stops the read with a CFileException
// that names the file, never with garbage or a read outside the file.

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <functional>

#include "editor/shapes/block_header.h"
#include "editor/shapes/file_position.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/set_palette.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {
using sample_shapes::PutBigEndian16;
using sample_shapes::PutBigEndian32;
using sample_shapes::ShapesFileBuilder;
using shapes_tests::ExpectFileException;
using shapes_tests::WriteShapes;

constexpr LONGLONG kLength = static_cast<LONGLONG>(kExpectedShapesFileSize);
constexpr int kHeader = 17;  // Texture Set # 1

struct Damage {
  const char* name;
  // Changes the built file (which may also be cut short).
  std::function<void(std::vector<BYTE>&, const ShapesFileBuilder&)> damage;
  // The read that must fail.
  std::function<void(CFile&)> read;
  int cause;
};

void LoadFirstImage(CFile& file) {
  SeekImagePixels(file, kHeader, 0);
  std::vector<BYTE> pixels(kTextureBytes);
  file.Read(pixels.data(), kTextureBytes);
}

void LoadPalette(CFile& file) {
  SetPalette palette{};
  ReadSetPalette(file, kHeader, palette, FALSE);
}

LONGLONG Base(const ShapesFileBuilder& b) { return b.Layout(kHeader).base; }
LONGLONG BaseField(const ShapesFileBuilder& b) { return b.Layout(kHeader).record + 4; }

const Damage kDamages[] = {
    {"base offset past the end",
     [](auto& bytes, const auto& b) {
       PutBigEndian32(bytes, BaseField(b), static_cast<LONG>(kLength + 100));
     },
     LoadFirstImage, CFileException::endOfFile},
    {"base offset at the very end",
     [](auto& bytes, const auto& b) { PutBigEndian32(bytes, BaseField(b), static_cast<LONG>(kLength)); },
     LoadFirstImage, CFileException::endOfFile},
    {"negative base offset", [](auto& bytes, const auto& b) { PutBigEndian32(bytes, BaseField(b), -1); },
     LoadFirstImage, CFileException::badSeek},
    {"largest base offset", [](auto& bytes, const auto& b) { PutBigEndian32(bytes, BaseField(b), INT_MAX); },
     LoadPalette, CFileException::endOfFile},
    {"colour table past the end",
     [](auto& bytes, const auto& b) { PutBigEndian32(bytes, Base(b) + 10, INT_MAX); }, LoadPalette,
     CFileException::endOfFile},
    {"colour table before the start",
     [](auto& bytes, const auto& b) { PutBigEndian32(bytes, Base(b) + 10, static_cast<LONG>(-Base(b) - 8)); },
     LoadPalette, CFileException::badSeek},
    {"colour table cut by the end of the file",
     [](auto& bytes, const auto& b) {
       PutBigEndian32(bytes, Base(b) + 10, static_cast<LONG>(kLength - Base(b) - 100));
     },
     LoadPalette, CFileException::endOfFile},
    {"image offset table past the end",
     [](auto& bytes, const auto& b) { PutBigEndian32(bytes, Base(b) + 28, static_cast<LONG>(kLength)); },
     LoadFirstImage, CFileException::endOfFile},
    {"image offset table before the start",
     [](auto& bytes, const auto& b) { PutBigEndian32(bytes, Base(b) + 28, INT_MIN); }, LoadFirstImage,
     CFileException::badSeek},
    {"image header past the end",
     [](auto& bytes, const auto& b) { PutBigEndian32(bytes, b.Layout(kHeader).imageTable, 0x7FFFFFF0); },
     LoadFirstImage, CFileException::endOfFile},
    {"image header before the start",
     [](auto& bytes, const auto& b) {
       PutBigEndian32(bytes, b.Layout(kHeader).imageTable, static_cast<LONG>(-Base(b) - 10));
     },
     LoadFirstImage, CFileException::badSeek},
    {"image header cut by the end of the file",
     [](auto& bytes, const auto& b) {
       PutBigEndian32(bytes, b.Layout(kHeader).imageTable, static_cast<LONG>(kLength - Base(b) - 10));
     },
     LoadFirstImage, CFileException::endOfFile},
    {"field 0 puts the pixels before the start",
     [](auto& bytes, const auto& b) { PutBigEndian16(bytes, b.Layout(kHeader).imageHeaders[0], -32768); },
     LoadFirstImage, CFileException::badSeek},
    {"field 0 puts the pixels past the end",
     [](auto& bytes, const auto& b) {
       PutBigEndian32(bytes, b.Layout(kHeader).imageTable, static_cast<LONG>(kLength - Base(b) - 200));
       PutBigEndian16(bytes, kLength - 200, 32767);
     },
     LoadFirstImage, CFileException::endOfFile},
    {"pixels cut by the end of the file",
     [](auto& bytes, const auto& b) {
       bytes.resize(static_cast<std::size_t>(b.Layout(kHeader).pixels[0] + 100));
     },
     LoadFirstImage, CFileException::endOfFile},
    {"file cut inside the block header",
     [](auto& bytes, const auto& b) { bytes.resize(static_cast<std::size_t>(Base(b) + 20)); }, LoadPalette,
     CFileException::endOfFile},
    {"file cut inside the header table", [](auto& bytes, const auto&) { bytes.resize(100); }, LoadPalette,
     CFileException::endOfFile},
    {"empty file", [](auto& bytes, const auto&) { bytes.clear(); }, LoadFirstImage,
     CFileException::endOfFile},
    {"negative header number", [](auto&, const auto&) {}, [](CFile& file) { ReadBlockHeader(file, -1); },
     CFileException::badSeek},
    {"header number past the table", [](auto&, const auto&) {},
     [](CFile& file) { SeekImagePixels(file, 400000, 0); }, CFileException::endOfFile},
    {"largest header number", [](auto&, const auto&) {}, [](CFile& file) { ReadBlockHeader(file, INT_MAX); },
     CFileException::endOfFile},
    {"smallest header number", [](auto&, const auto&) {}, [](CFile& file) { ReadBlockHeader(file, INT_MIN); },
     CFileException::badSeek},
    {"largest image number", [](auto&, const auto&) {},
     [](CFile& file) { SeekImagePixels(file, kHeader, INT_MAX); }, CFileException::endOfFile},
    {"negative image number", [](auto&, const auto&) {},
     [](CFile& file) { SeekImagePixels(file, kHeader, -1000000); }, CFileException::badSeek},
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.name; }

class DamagedFile : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedFile, StopsWithAFileExceptionNamingTheFile) {
  const Damage& d = GetParam();
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  d.damage(bytes, builder);
  std::string path = WriteShapes("damaged.shp2", bytes);
  CFile file(path.c_str(), CFile::modeRead);
  ExpectFileException([&] { d.read(file); }, d.cause, path);
}

INSTANTIATE_TEST_SUITE_P(Headers, DamagedFile, ::testing::ValuesIn(kDamages),
                         [](const ::testing::TestParamInfo<Damage>& row) {
                           std::string name = row.param.name;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

TEST(DamagedFile, UndamagedFileReadsWithoutException) {
  // The baseline of the table above: the same reads on the file as built.
  ShapesFileBuilder builder;
  std::string path = WriteShapes("undamaged.shp2", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);
  EXPECT_NO_THROW(LoadFirstImage(file));
  EXPECT_NO_THROW(LoadPalette(file));
}

TEST(RequireInsideFile, AcceptsExactlyTheRangesInsideTheFile) {
  std::string path = WriteShapes("hundred", std::vector<BYTE>(100, 1));
  CFile file(path.c_str(), CFile::modeRead);
  const struct {
    LONGLONG start;
    LONGLONG count;
    int cause;  // none: accepted
  } rows[] = {
      {0, 100, CFileException::none},
      {99, 1, CFileException::none},
      {100, 0, CFileException::none},
      {84, 16, CFileException::none},
      {85, 16, CFileException::endOfFile},
      {101, 0, CFileException::endOfFile},
      {0, 101, CFileException::endOfFile},
      {LLONG_MAX, 1, CFileException::endOfFile},
      {50, LLONG_MAX, CFileException::endOfFile},
      {-1, 10, CFileException::badSeek},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.start << " + " << row.count);
    if (row.cause == CFileException::none)
      EXPECT_NO_THROW(RequireInsideFile(file, row.start, row.count));
    else
      ExpectFileException([&] { RequireInsideFile(file, row.start, row.count); }, row.cause, path);
  }
}

TEST(RequireInsideFile, CatchesATextureThatWouldRunPastTheEnd) {
  // What a writer checks before writing: the whole image must be there.
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  bytes.resize(static_cast<std::size_t>(builder.Layout(kHeader).pixels[29] + kTextureBytes - 1));
  std::string path = WriteShapes("one-short.shp2", bytes);
  CFile file(path.c_str(), CFile::modeRead);

  LONGLONG first = SeekImagePixels(file, kHeader, 0);
  EXPECT_NO_THROW(RequireInsideFile(file, first, kTextureBytes));
  LONGLONG last = SeekImagePixels(file, kHeader, 29);
  ExpectFileException([&] { RequireInsideFile(file, last, kTextureBytes); }, CFileException::endOfFile, path);
}
}  // namespace
