#include <gtest/gtest.h>

#include <filesystem>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "tools/kestrow_cli/set_image_files.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

// convert's picture is what the editor would show after import wrote the
// same picture: import into a copy, export that image, and compare the
// files byte for byte.
TEST(ConvertCommand, SavesWhatImportWritesAsLoadSetShowsIt) {
  const struct {
    const char* what;
    int set;
    int width, height;
    Lines options;
  } rows[] = {
      {"texture, scaled down", 0, 300, 200, {}},
      {"landscape without gamma", 5, 600, 200, {"--no-gamma"}},
      {"texture, scaled up and dithered", 2, 64, 64, {"--dither"}},
      {"landscape dithered without gamma", 7, 512, 270, {"--dither", "--no-gamma"}},
  };
  sample_shapes::ShapesFileBuilder builder;
  const std::vector<BYTE> original = builder.Build();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string folder = TestFolder();
    const std::string shapes = folder + "/shapes.shp2";
    sample_shapes::WriteBytes(shapes, original);
    std::filesystem::create_directories(folder + "/in");
    const std::string picture = SetImageFilePath(folder + "/in", row.set, 0);
    WriteFileBytes(picture, PhotoBitmap24(row.width, row.height, row.set));

    Lines convert = {"convert", shapes, std::to_string(row.set + 1), picture, folder + "/preview.bmp"};
    convert.insert(convert.end(), row.options.begin(), row.options.end());
    const CliResult converted = RunTool(convert);
    ASSERT_EQ(converted.status, kExitSuccess) << converted.err;
    EXPECT_EQ(converted.err, "");
    const std::string size = row.set > 3 ? "512 x 270" : "128 x 128";
    EXPECT_EQ(converted.out, "wrote " + folder + "/preview.bmp (" + size + ")\n");
    EXPECT_TRUE(ReadBytes(shapes) == original) << "convert wrote into SHAPES";

    Lines import = {"import", shapes, std::to_string(row.set + 1), folder + "/in"};
    import.insert(import.end(), row.options.begin(), row.options.end());
    ASSERT_EQ(RunTool(import).status, kExitSuccess);
    Lines exportLine = {"export", shapes, std::to_string(row.set + 1), folder + "/out"};
    if (std::find(row.options.begin(), row.options.end(), "--no-gamma") != row.options.end())
      exportLine.push_back("--no-gamma");
    ASSERT_EQ(RunTool(exportLine).status, kExitSuccess);

    const BitmapFile24 preview(folder + "/preview.bmp");
    ASSERT_TRUE(preview.IsBitmap24());
    EXPECT_TRUE(preview.bytes == ReadBytes(SetImageFilePath(folder + "/out", row.set, 0)))
        << "the preview differs from the image import wrote";
  }
}

TEST(ConvertCommand, DitheringChangesThePreviewOfAPhoto) {
  SampleShapes s;
  WriteFileBytes(s.folder + "/photo.bmp", PhotoBitmap24(128, 128, 3));
  ASSERT_EQ(RunTool({"convert", s.shapes, "1", s.folder + "/photo.bmp", s.folder + "/plain.bmp"}).status, kExitSuccess);
  ASSERT_EQ(RunTool({"convert", s.shapes, "1", s.folder + "/photo.bmp", s.folder + "/dithered.bmp", "--dither"}).status,
            kExitSuccess);
  EXPECT_FALSE(ReadBytes(s.folder + "/plain.bmp") == ReadBytes(s.folder + "/dithered.bmp"));
}

TEST(ConvertCommand, FailsWithOneLineAndWritesNoPicture) {
  SampleShapes s;
  WriteFileBytes(s.folder + "/text.bmp", {'h', 'e', 'l', 'l', 'o'});
  WriteFileBytes(s.folder + "/photo.bmp", PhotoBitmap24(20, 20, 1));
  const struct {
    const char* what;
    Lines line;
    std::string err;  // the start of the line
  } rows[] = {
      {"no picture",
       {"convert", s.shapes, "1", s.folder + "/text.bmp", s.folder + "/out.bmp"},
       "kestrow-cli: Unable to read " + s.folder + "/text.bmp as a picture\n"},
      {"no shapes file",
       {"convert", s.folder + "/none.shp2", "1", s.folder + "/photo.bmp", s.folder + "/out.bmp"},
       "kestrow-cli: Unable to open selected shapes file. Make sure it is not in use by another application "
       "("},
      {"no folder for the picture",
       {"convert", s.shapes, "1", s.folder + "/photo.bmp", s.folder + "/none/out.bmp"},
       "kestrow-cli: Unable to open file " + s.folder + "/none/out.bmp ("},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const CliResult result = RunTool(row.line);
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind(row.err, 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_FALSE(std::filesystem::exists(s.folder + "/out.bmp"));
  }
}

}  // namespace
