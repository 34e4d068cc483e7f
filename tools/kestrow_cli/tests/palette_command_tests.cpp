#include <gtest/gtest.h>

#include <filesystem>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/tests/shapes_test_support.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

TEST(PaletteCommand, SavesThePalettePictureInBandsFromTheBottom) {
  for (bool gamma : {true, false}) {
    SCOPED_TRACE(gamma);
    sample_shapes::ShapesFileBuilder builder;
    builder.SetColourCount(2, 100);  // bands of 4096 / 100 = 40 rows
    const std::string folder = TestFolder();
    builder.WriteFile(folder + "/shapes.shp2");

    std::vector<std::string> arguments = {"palette", folder + "/shapes.shp2", "3", folder + "/palette.bmp"};
    if (!gamma) arguments.push_back("--no-gamma");
    const CliResult result = RunTool(arguments);
    ASSERT_EQ(result.status, kExitSuccess) << result.err;
    EXPECT_EQ(result.out, "wrote " + folder + "/palette.bmp (100 colours)\n");

    const BitmapFile24 picture(folder + "/palette.bmp");
    ASSERT_TRUE(picture.IsBitmap24());
    ASSERT_EQ(picture.width, 256);
    ASSERT_EQ(picture.height, 256);
    const sample_shapes::BlockSpec& block = builder.Set(2);
    const auto entry = [&](int e) { return Shown(block, e, gamma); };
    EXPECT_EQ(picture.Pixel(0, 255), entry(0));            // bottom-left cell
    EXPECT_EQ(picture.Pixel(16 * 3 + 15, 216), entry(3));  // last row of the first band
    EXPECT_EQ(picture.Pixel(0, 255 - 40), entry(16));      // first row of the second band
    EXPECT_EQ(picture.Pixel(16 * 3, 0), entry(99));        // the short top band
    EXPECT_EQ(picture.Pixel(16 * 4, 0), 0u);               // no entry 100: black
  }
}

TEST(PaletteCommand, NeedsTheFileToItselfAndWarnsAboutItsLength) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string folder = TestFolder();
  builder.WriteFile(folder + "/shapes.shp2", kExpectedShapesFileSize + 10);
  {
    // Generate Palette Bitmap denies others even reading.
    shapes_tests::HeldByOtherProcess reader(folder + "/shapes.shp2", CFile::modeRead | CFile::shareDenyNone);
    ASSERT_TRUE(reader.Holding());
    const CliResult held = RunTool({"palette", folder + "/shapes.shp2", "1", folder + "/palette.bmp"});
    EXPECT_EQ(held.status, kExitFailed);
    EXPECT_NE(held.err.find("Unable to open selected shapes file"), std::string::npos) << held.err;
    EXPECT_FALSE(std::filesystem::exists(folder + "/palette.bmp"));
  }
  const CliResult result = RunTool({"palette", folder + "/shapes.shp2", "1", folder + "/palette.bmp"});
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_EQ(result.err, "kestrow-cli: warning: Selected shapes file is not the expected size!\n");
  EXPECT_TRUE(BitmapFile24(folder + "/palette.bmp").IsBitmap24());
}

TEST(PaletteCommand, ADamagedColourTableWritesNoPicture) {
  sample_shapes::ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  // The colour table offset, at block header offset 10, points past the end.
  sample_shapes::PutBigEndian32(bytes, builder.SetLayout(0).base + 10, 0x7FFF0000);
  const std::string folder = TestFolder();
  sample_shapes::WriteBytes(folder + "/shapes.shp2", bytes);

  const CliResult result = RunTool({"palette", folder + "/shapes.shp2", "1", folder + "/palette.bmp"});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_NE(result.err.find("past its end"), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(folder + "/palette.bmp"));
}

}  // namespace

TEST(PictureOutput, IsNeverTheShapesFileItself) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string folder = TestFolder();
  const std::string shapes = folder + "/shapes.shp2";
  builder.WriteFile(shapes);
  std::filesystem::create_symlink(shapes, folder + "/link.bmp");
  const std::vector<BYTE> before = ReadBytes(shapes);
  WriteFileBytes(folder + "/in.bmp", PhotoBitmap24(16, 16, 3));
  const std::vector<std::vector<std::string>> commands = {
      {"palette", shapes, "1", shapes},
      {"convert", shapes, "1", folder + "/in.bmp", folder + "/link.bmp"},
      {"probe", shapes, "17", "0", shapes},
  };
  for (const std::vector<std::string>& arguments : commands) {
    SCOPED_TRACE(arguments[0]);
    const CliResult result = RunTool(arguments);
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_EQ(result.err.rfind("kestrow-cli: OUT.bmp " + arguments.back() +
                                   " is the shapes file itself; OUT.bmp must be another file\n",
                               0),
              0u)
        << result.err;
    EXPECT_TRUE(ReadBytes(shapes) == before);
  }
}
