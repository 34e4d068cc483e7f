#include <gtest/gtest.h>

#include <filesystem>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

TEST(ProbeCommand, ShowsTheHeadersValuesWithTheImageNumberPulledIntoTheBlock) {
  SampleShapes s;
  const sample_shapes::BlockLayout& layout = s.builder.SetLayout(0);
  const LONGLONG header29 = layout.imageHeaders[29] - layout.base;

  const CliResult result = RunTool({"probe", s.shapes, "17", "500"});
  ASSERT_EQ(result.status, kExitSuccess) << result.err;
  EXPECT_EQ(result.out, "Header #: 17\nimage count: 30\nimage number: 29\nBase Offset: " + std::to_string(layout.base) +
                            "\nres header offset from base: " + std::to_string(layout.imageTable - layout.base) +
                            "\nimage header offset from base: " + std::to_string(header29) +
                            "\nimage offset from base: " + std::to_string(header29 + 30 + 4 * 128) +
                            "\nX Size: 128\nY Size: 128\n");
}

TEST(ProbeCommand, SavesTheImageAsLoadSetShowsTheSameImage) {
  SampleShapes s;

  ASSERT_EQ(RunTool({"probe", s.shapes, "17", "0", s.folder + "/probe.bmp"}).status, kExitSuccess);
  ASSERT_EQ(RunTool({"export", s.shapes, "1", s.folder + "/set"}).status, kExitSuccess);
  EXPECT_EQ(ReadBytes(s.folder + "/probe.bmp"), ReadBytes(s.folder + "/set/slot-00.bmp"));

  // Any other header: its own sizes, here the builder's 16 x 16.
  const CliResult small = RunTool({"probe", s.shapes, "5", "1", s.folder + "/small.bmp"});
  ASSERT_EQ(small.status, kExitSuccess) << small.err;
  EXPECT_NE(small.out.find("wrote " + s.folder + "/small.bmp (16 x 16)\n"), std::string::npos) << small.out;
  const BitmapFile24 picture(s.folder + "/small.bmp");
  EXPECT_EQ(picture.width, 16);
  EXPECT_EQ(picture.height, 16);
}

TEST(ProbeCommand, RefusesSizesThatDescribeNoImageAndHeadersOutsideTheFile) {
  sample_shapes::ShapesFileBuilder builder;
  // Both sizes negative: their product is positive but describes no image.
  builder.Block(5).images[1].field0 = -1;
  builder.Block(5).images[1].field1 = -1;
  const std::string folder = TestFolder();
  builder.WriteFile(folder + "/shapes.shp2");

  const CliResult negative = RunTool({"probe", folder + "/shapes.shp2", "5", "1", folder + "/out.bmp"});
  EXPECT_EQ(negative.status, kExitFailed);
  EXPECT_NE(negative.out.find("X Size: -1\nY Size: -1\n"), std::string::npos) << negative.out;
  EXPECT_EQ(negative.err, "kestrow-cli: Image size -1 x -1 does not fit in the selected shapes file\n");
  EXPECT_FALSE(std::filesystem::exists(folder + "/out.bmp"));

  const CliResult outside = RunTool({"probe", folder + "/shapes.shp2", "400000", "0"});
  EXPECT_EQ(outside.status, kExitFailed);
  EXPECT_EQ(outside.out, "");
  EXPECT_NE(outside.err.find("past its end"), std::string::npos) << outside.err;
}

}  // namespace
