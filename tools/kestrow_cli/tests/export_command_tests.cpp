#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

TEST(ExportCommand, WritesEachTextureAsLoadSetShowsIt) {
  SampleShapes s;

  const CliResult result = RunTool({"export", s.shapes, "2", s.folder + "/out"});
  ASSERT_EQ(result.status, kExitSuccess) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find("wrote " + s.folder + "/out/slot-29.bmp\n"), std::string::npos);

  const sample_shapes::BlockSpec& block = s.builder.Set(1);
  for (int image : {0, 1, 17, 29}) {
    SCOPED_TRACE(image);
    char name[32];
    std::snprintf(name, sizeof name, "/out/slot-%02d.bmp", image);
    const BitmapFile24 file(s.folder + name);
    ASSERT_TRUE(file.IsBitmap24());
    ASSERT_EQ(file.width, 128);
    ASSERT_EQ(file.height, 128);
    EXPECT_EQ(file.bytes.size(), 54u + 128u * 384u);
    const std::vector<BYTE>& stored = block.images[static_cast<std::size_t>(image)].pixels;
    // Column order: the first 128 stored bytes are the left column, top first.
    for (int x = 0; x < 128; ++x)
      for (int y = 0; y < 128; ++y)
        ASSERT_EQ(file.Pixel(x, y), Shown(block, stored[static_cast<std::size_t>(128 * x + y)], true)) << x << "," << y;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.folder + "/out"), {}), 30);
}

TEST(ExportCommand, WritesTheLandscapeBottomRowFirstWithoutGamma) {
  SampleShapes s;

  const CliResult result = RunTool({"export", s.shapes, "Landscape # 3", s.folder, "--no-gamma"});
  ASSERT_EQ(result.status, kExitSuccess) << result.err;
  EXPECT_EQ(result.out, "wrote " + s.folder + "/landscape.bmp\n");

  const sample_shapes::BlockSpec& block = s.builder.Set(6);
  const BitmapFile24 file(s.folder + "/landscape.bmp");
  ASSERT_TRUE(file.IsBitmap24());
  ASSERT_EQ(file.width, 512);
  ASSERT_EQ(file.height, 270);
  const std::vector<BYTE>& stored = block.images[0].pixels;
  for (int r = 0; r < 270; ++r)
    for (int x = 0; x < 512; ++x)
      ASSERT_EQ(file.Pixel(x, 269 - r), Shown(block, stored[static_cast<std::size_t>(512 * r + x)], false))
          << x << "," << r;
}

TEST(ExportCommand, ADamagedImageHeaderWritesNoFile) {
  sample_shapes::ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  // Image 29's entry of the image offset table points past the end.
  sample_shapes::PutBigEndian32(bytes, builder.SetLayout(0).imageTable + 4 * 29, 0x7FFFFF00);
  const std::string folder = TestFolder();
  sample_shapes::WriteBytes(folder + "/shapes.shp2", bytes);

  const CliResult result = RunTool({"export", folder + "/shapes.shp2", "1", folder + "/out"});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_NE(result.err.find("past its end"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(std::filesystem::exists(folder + "/out"));
}

TEST(ExportCommand, RefusesAFileInPlaceOfTheFolder) {
  SampleShapes s;
  WriteFileBytes(s.folder + "/out", {1, 2, 3});

  const CliResult result = RunTool({"export", s.shapes, "1", s.folder + "/out"});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_EQ(result.err, "kestrow-cli: " + s.folder + "/out is not a folder\n");
  EXPECT_EQ(ReadBytes(s.folder + "/out"), (std::vector<BYTE>{1, 2, 3}));
}

}  // namespace
