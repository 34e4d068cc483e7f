#include <gtest/gtest.h>

#include <cstdio>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "tools/kestrow_cli/set_names.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

std::string ExpectedLine(sample_shapes::ShapesFileBuilder& builder, int set) {
  char line[128];
  std::snprintf(line, sizeof line, "%-15s  %6d  %11lld  %7ld  %6d\n", kSetListStrings[static_cast<std::size_t>(set)],
                SetHeaderNumbers[static_cast<std::size_t>(set)], static_cast<long long>(builder.SetLayout(set).base),
                static_cast<long>(builder.Set(set).colourCount), static_cast<int>(builder.Set(set).imageCount));
  return line;
}

TEST(InfoCommand, ListsEverySetWithItsHeaderValues) {
  sample_shapes::ShapesFileBuilder builder;
  builder.SetColourCount(5, 100);
  const std::string path = TestFolder() + "/shapes.shp2";
  builder.WriteFile(path);

  const CliResult result = RunTool({"info", path});
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.rfind(path + ": 10043844 bytes\n", 0), 0u) << result.out;
  for (int set = 0; set < kSetCount; ++set)
    EXPECT_NE(result.out.find(ExpectedLine(builder, set)), std::string::npos) << ExpectedLine(builder, set);
  EXPECT_NE(result.out.find("Landscape # 2        28"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("      100       1\n"), std::string::npos) << "the colour count as the file says";
}

TEST(InfoCommand, WarnsAboutTheLengthAndStillLists) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = TestFolder() + "/short.shp2";
  builder.WriteFile(path, kExpectedShapesFileSize - 1);

  const CliResult result = RunTool({"info", path});
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_EQ(result.err, "kestrow-cli: warning: Selected shapes file is not the expected size!\n");
  EXPECT_NE(result.out.find(": 10043843 bytes\n"), std::string::npos);
  EXPECT_NE(result.out.find(ExpectedLine(builder, 7)), std::string::npos);
}

TEST(InfoCommand, ReportsADamagedBlockAndListsTheOthers) {
  sample_shapes::ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  // The base offset of header 19 ("Texture Set # 3") points past the end.
  sample_shapes::PutBigEndian32(bytes, 32 * 19 + 4, 0x7FFFFFF0);
  const std::string path = TestFolder() + "/damaged.shp2";
  sample_shapes::WriteBytes(path, bytes);

  const CliResult result = RunTool({"info", path});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_NE(result.err.find("kestrow-cli: Texture Set # 3 (header 19): An attempt was made to access"),
            std::string::npos)
      << result.err;
  EXPECT_EQ(result.out.find("Texture Set # 3"), std::string::npos);
  EXPECT_NE(result.out.find(ExpectedLine(builder, 3)), std::string::npos);
}

TEST(InfoCommand, AFileThatCannotBeOpenedGivesTheEditorsMessageAndCause) {
  const std::string path = TestFolder() + "/missing.shp2";
  const CliResult result = RunTool({"info", path});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "kestrow-cli: Unable to open selected shapes file. Make sure it is not in use by another "
            "application (" +
                path + " was not found.)\n");
}

}  // namespace
