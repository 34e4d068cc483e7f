#include <gtest/gtest.h>

#include <climits>

#include "editor/shapes/gamma.h"
#include "editor/shapes/image_probe.h"
#include "editor/shapes/set_palette.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {
using sample_shapes::ShapesFileBuilder;
using shapes_tests::ExpectFileException;
using shapes_tests::WriteShapes;

// The set palette of a builder's block through the gamma curve, computed
// from the colour entries the builder wrote.
SetPalette GammaPaletteOf(const sample_shapes::BlockSpec& block) {
  SetPalette palette{};
  for (int i = 0; i < UsablePaletteEntries(block.colourCount); ++i) {
    const auto& c = block.colours[static_cast<std::size_t>(i)];
    palette[static_cast<std::size_t>(i)] =
        PaletteEntry(GammaCorrect(static_cast<BYTE>(c.red >> 8)), GammaCorrect(static_cast<BYTE>(c.green >> 8)),
                     GammaCorrect(static_cast<BYTE>(c.blue >> 8)));
  }
  return palette;
}

// Pixel (x, y), y from the top, of a bottom-up pixel array.
DWORD PixelAt(const std::vector<DWORD>& pixels, int width, int height, int x, int y) {
  return pixels[static_cast<std::size_t>((height - 1 - y) * width + x)];
}

TEST(ClampImageNumber, PullsNumbersIntoTheBlockLastImageFirstThenZero) {
  // clang-format off
  const struct {
    int number, count, expected;
  } rows[] = {
      {0, 30, 0},     {29, 30, 29},         {30, 30, 29},       {500, 30, 29}, {500, 0, 0},
      {0, 0, 0},      {-3, 30, 0},          {7, -2, 0},         {1, 2, 1},     {INT_MAX, 30, 29},
      {INT_MIN, 5, 0}, {-32768, -32768, 0},
  };
  // clang-format on
  for (const auto& row : rows)
    EXPECT_EQ(ClampImageNumber(row.number, row.count), row.expected) << row.number << " of " << row.count;
}

TEST(ShownImageOffset, StandsThirtyPlusFourTimesFieldZeroPastTheHeaderAndWraps) {
  EXPECT_EQ(ShownImageOffset(1000, 128), 1000 + 30 + 512);
  EXPECT_EQ(ShownImageOffset(1000, 0), 1030);
  EXPECT_EQ(ShownImageOffset(1000, -10), 990);
  EXPECT_EQ(ShownImageOffset(INT_MAX, 1), INT_MIN + 33) << "32-bit arithmetic, as the file's fields";
}

TEST(ReadImageProbeValues, GivesTheBlockAndImageHeaderFieldsOfAnyHeader) {
  ShapesFileBuilder builder;
  builder.Block(5).images[1].field0 = 20;
  builder.Block(5).images[1].field1 = 12;
  std::string path = WriteShapes("probe-values", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);

  // clang-format off
  const struct {
    int header, image;
    int expectedImage, count, xSize, ySize;
  } rows[] = {
      {17, 0, 0, 30, 128, 128},    // Texture Set # 1
      {17, 500, 29, 30, 128, 128},  // pulled back to the last image
      {27, 0, 0, 1, 512, 270},     // Landscape # 1
      {5, 1, 1, 2, 12, 20},        // a probe block: Y Size is field 0, X Size field 1
      {5, -4, 0, 2, 16, 16},
  };
  // clang-format on
  for (const auto& row : rows) {
    const sample_shapes::BlockLayout& layout = builder.Layout(row.header);
    ImageProbeValues values = ReadImageProbeValues(file, row.header, row.image);
    EXPECT_EQ(values.baseOffset, layout.base) << row.header;
    EXPECT_EQ(values.imageCount, row.count) << row.header;
    EXPECT_EQ(values.imageNumber, row.expectedImage) << row.header;
    EXPECT_EQ(values.resHeaderOffset, layout.imageTable - layout.base) << row.header;
    EXPECT_EQ(values.imageHeaderOffset, layout.imageHeaders[static_cast<std::size_t>(row.expectedImage)] - layout.base)
        << row.header;
    EXPECT_EQ(values.xSize, row.xSize) << row.header;
    EXPECT_EQ(values.ySize, row.ySize) << row.header;
    EXPECT_EQ(values.imageOffset - values.imageHeaderOffset, 30 + 4 * row.ySize) << row.header;
  }
}

TEST(ReadImageProbeValues, ABlockOfNoImagesGivesImageZero) {
  ShapesFileBuilder builder;
  builder.Block(9).imageCount = 0;  // the images stay in the file, the count says none
  std::string path = WriteShapes("no-images", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);

  ImageProbeValues values = ReadImageProbeValues(file, 9, 500);
  EXPECT_EQ(values.imageCount, 0);
  EXPECT_EQ(values.imageNumber, 0);
  EXPECT_EQ(values.imageHeaderOffset, builder.Layout(9).imageHeaders[0] - builder.Layout(9).base);
}

TEST(ReadImageProbeValues, PositionsOutsideTheFileThrowTheFileError) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  const sample_shapes::BlockLayout& layout = builder.Layout(17);
  const struct {
    const char* name;
    int header;
    int image;
    LONGLONG field;  // position of a 32-bit field to damage, or -1
    LONG value;
    int cause;
  } rows[] = {
      {"header record past the end", 400000, 0, -1, 0, CFileException::endOfFile},
      {"negative header number", -1, 0, -1, 0, CFileException::badSeek},
      {"base offset past the end", 17, 0, layout.record + 4, 0x7FFFFF00, CFileException::endOfFile},
      {"image table past the end", 17, 0, layout.base + 28, 0x7FFFFF00, CFileException::endOfFile},
      {"image entry past the end", 17, 3, layout.imageTable + 12, 0x7FFFFF00, CFileException::endOfFile},
      {"image entry before the start", 17, 3, layout.imageTable + 12, -0x7FFFFF00, CFileException::badSeek},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<BYTE> damaged = bytes;
    if (row.field >= 0) sample_shapes::PutBigEndian32(damaged, row.field, row.value);
    std::string path = WriteShapes("damaged-values", damaged);
    CFile file(path.c_str(), CFile::modeRead);
    ExpectFileException([&] { ReadImageProbeValues(file, row.header, row.image); }, row.cause, path);
  }
}

TEST(ReadImageProbeValues, AFileCutInsideTheImageHeaderThrowsEndOfFile) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  const LONGLONG cut = builder.Layout(17).imageHeaders[0] + 10;
  bytes.resize(static_cast<std::size_t>(cut));
  std::string path = WriteShapes("cut-header", bytes);
  CFile file(path.c_str(), CFile::modeRead);
  ExpectFileException([&] { ReadImageProbeValues(file, 17, 0); }, CFileException::endOfFile, path);
}

TEST(ChooseImageProbeSize, SmallProductsGiveOnePixelAndImpossibleSizesDoNotFit) {
  constexpr ULONGLONG kLength = kExpectedShapesFileSize;
  // clang-format off
  const struct {
    int x, y;
    ULONGLONG length;
    bool fits;
    int width, height;
  } rows[] = {
      {128, 128, kLength, true, 128, 128},
      {512, 270, kLength, true, 512, 270},
      {0, 128, kLength, true, 1, 1},
      {128, 0, kLength, true, 1, 1},
      {0, 0, kLength, true, 1, 1},
      {-5, 10, kLength, true, 1, 1},       // a negative product
      {10, -5, kLength, true, 1, 1},
      {-5, -10, kLength, false, 1, 1},     // positive product, no image
      {-1, -1, kLength, false, 1, 1},
      {3000, 4000, kLength, false, 1, 1},  // more pixels than the file has bytes
      {32767, 32767, kLength, false, 1, 1},
      {100, 100, 10000, true, 100, 100},   // exactly the file's length
      {100, 101, 10000, false, 1, 1},
      {40000, 1, kLength, false, 1, 1},    // wider than a bitmap side can be
      {1, 32767, kLength, true, 1, 32767},
      {1, 1, 0, false, 1, 1},
  };
  // clang-format on
  for (const auto& row : rows) {
    ImageProbeSize size = ChooseImageProbeSize(row.x, row.y, row.length);
    EXPECT_EQ(size.fits, row.fits) << row.x << " x " << row.y;
    EXPECT_EQ(size.width, row.width) << row.x << " x " << row.y;
    EXPECT_EQ(size.height, row.height) << row.x << " x " << row.y;
  }
}

TEST(ReadProbedImage, ShowsATextureAsLoadingTheSetWithGammaWould) {
  ShapesFileBuilder builder;
  std::string path = WriteShapes("probe-texture", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);

  ProbedImage image = ReadProbedImage(file, 17, 0, 128, 128);
  EXPECT_EQ(image.colourCount, builder.Set(0).colourCount);
  ASSERT_EQ(image.pixels.size(), 128u * 128u);
  const SetPalette palette = GammaPaletteOf(builder.Set(0));
  const std::vector<BYTE>& stored = builder.Set(0).images[0].pixels;
  for (int x = 0; x < 128; ++x)
    for (int y = 0; y < 128; ++y) {
      BYTE index = stored[static_cast<std::size_t>(128 * x + y)];
      DWORD expected = palette[index > 230 ? 230 : index];
      ASSERT_EQ(PixelAt(image.pixels, 128, 128, x, y), expected) << x << "," << y;
    }
}

TEST(ReadProbedImage, TakesTheImageAsWidthColumnsOfHeightBytes) {
  // Header 6's first image holds 256 stored bytes; read as 8 columns of 32.
  ShapesFileBuilder builder;
  std::string path = WriteShapes("probe-columns", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);

  ProbedImage image = ReadProbedImage(file, 6, 0, 8, 32);
  ASSERT_EQ(image.pixels.size(), 256u);
  const SetPalette palette = GammaPaletteOf(builder.Block(6));
  const std::vector<BYTE>& stored = builder.Block(6).images[0].pixels;
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 32; ++y)
      EXPECT_EQ(PixelAt(image.pixels, 8, 32, x, y), palette[stored[static_cast<std::size_t>(32 * x + y)]])
          << x << "," << y;
}

TEST(ReadProbedImage, LocatesTheImageByNumberEvenBeyondTheCount) {
  // Load does not clamp: image 1 of a block that says it has one image is
  // still read where the table's second entry points.
  ShapesFileBuilder builder;
  builder.Block(8).imageCount = 1;
  std::string path = WriteShapes("beyond-count", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);

  ProbedImage image = ReadProbedImage(file, 8, 1, 16, 16);
  const SetPalette palette = GammaPaletteOf(builder.Block(8));
  EXPECT_EQ(PixelAt(image.pixels, 16, 16, 0, 0), palette[builder.Block(8).images[1].pixels[0]]);
}

TEST(ReadProbedImage, AnImageRunningPastTheEndThrowsBeforeAnyBufferIsMade) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  std::string path = WriteShapes("probe-past-end", bytes);
  CFile file(path.c_str(), CFile::modeRead);
  const LONGLONG pixels = builder.Layout(30).pixels[0];
  const LONGLONG left = static_cast<LONGLONG>(bytes.size()) - pixels;
  // One byte more than the rest of the file: the size a damaged header could
  // ask for, refused by position before memory is taken.
  ExpectFileException([&] { ReadProbedImage(file, 30, 0, static_cast<int>(left + 1), 1); }, CFileException::endOfFile,
                      path);
  ProbedImage rest = ReadProbedImage(file, 30, 0, static_cast<int>(left), 1);
  EXPECT_EQ(rest.pixels.size(), static_cast<std::size_t>(left));
}
}  // namespace
