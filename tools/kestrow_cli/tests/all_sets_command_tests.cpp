// export-all and import-all: every set at once, each in a folder of its own.

#include <gtest/gtest.h>

#include <filesystem>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "tools/kestrow_cli/set_image_files.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

const char* const kSetFolders[kSetCount] = {"texture-set-1", "texture-set-2", "texture-set-3", "texture-set-4",
                                            "landscape-1",   "landscape-2",   "landscape-3",   "landscape-4"};

TEST(ExportAllCommand, WritesEverySetIntoItsFolderAsExportWritesIt) {
  SampleShapes s;

  const CliResult all = RunTool({"export-all", s.shapes, s.folder + "/all", "--no-gamma"});
  ASSERT_EQ(all.status, kExitSuccess) << all.err;
  EXPECT_EQ(all.err, "");
  EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 4 * 30 + 4);
  Lines folders(std::begin(kSetFolders), std::end(kSetFolders));
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(FolderNames(s.folder + "/all"), folders);

  for (int set = 0; set < kSetCount; ++set) {
    SCOPED_TRACE(kSetFolders[set]);
    const std::string one = s.folder + "/one-" + std::to_string(set);
    ASSERT_EQ(RunTool({"export", s.shapes, std::to_string(set + 1), one, "--no-gamma"}).status, kExitSuccess);
    const Lines names = FolderNames(one);
    ASSERT_EQ(FolderNames(s.folder + "/all/" + kSetFolders[set]), names);
    for (const std::string& name : names)
      ASSERT_TRUE(ReadBytes(one + "/" + name) == ReadBytes(s.folder + "/all/" + kSetFolders[set] + "/" + name)) << name;
  }
}

TEST(ExportAllCommand, ADamagedSetWritesNoFileOfAnySet) {
  sample_shapes::ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  // The last landscape's image points past the end.
  sample_shapes::PutBigEndian32(bytes, builder.SetLayout(7).imageTable, 0x7FFFFF00);
  const std::string folder = TestFolder();
  sample_shapes::WriteBytes(folder + "/shapes.shp2", bytes);

  const CliResult result = RunTool({"export-all", folder + "/shapes.shp2", folder + "/all"});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_NE(result.err.find("past its end"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(std::filesystem::exists(folder + "/all"));
}

// A shapes file and the folder import-all reads, holding pictures for some
// images of some sets.
struct AllSetup : ShapesBesidePictures {
  AllSetup() : ShapesBesidePictures("all") {}
  // The picture of image `image` of set `set`, in the set's own folder.
  std::string Picture(int set, int image, int width, int height) {
    const std::string setFolder = SetFolderPath(pictures, set);
    std::filesystem::create_directories(setFolder);
    const std::string path = SetImageFilePath(setFolder, set, image);
    WriteFileBytes(path, PhotoBitmap24(width, height, 10 * set + image));
    return path;
  }
  // The sets' folders, each imported on its own into a copy of the file.
  std::vector<BYTE> ImportedSetBySet(const Lines& options) const {
    const std::string copy = folder + "/set-by-set.shp2";
    sample_shapes::WriteBytes(copy, before);
    for (int set = 0; set < kSetCount; ++set) {
      const std::string setFolder = SetFolderPath(pictures, set);
      if (!std::filesystem::exists(setFolder) || std::filesystem::is_empty(setFolder)) continue;
      Lines line = {"import", copy, std::to_string(set + 1), setFolder};
      line.insert(line.end(), options.begin(), options.end());
      const CliResult result = RunTool(line);
      EXPECT_EQ(result.status, kExitSuccess) << result.err;
    }
    return ReadBytes(copy);
  }
};

TEST(ImportAllCommand, WritesEachSetAsImportWritesIt) {
  for (const Lines& options : {Lines{}, Lines{"--no-gamma", "--dither"}}) {
    SCOPED_TRACE(options.empty() ? "plain" : "no gamma, dithered");
    AllSetup s;
    const std::string first = s.Picture(0, 0, 128, 128);
    const std::string last = s.Picture(0, 29, 300, 200);
    const std::string fourth = s.Picture(3, 10, 64, 64);
    const std::string landscape = s.Picture(5, 0, 600, 200);
    // A folder without pictures, as a missing folder, leaves its set alone.
    std::filesystem::create_directories(SetFolderPath(s.pictures, 4));

    Lines line = {"import-all", s.shapes, s.pictures};
    line.insert(line.end(), options.begin(), options.end());
    const CliResult result = RunTool(line);
    ASSERT_EQ(result.status, kExitSuccess) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "wrote Texture Set # 1 texture #0 <column 1, row 1> from " + first + "\n" +
                              "wrote Texture Set # 1 texture #29 <column 6, row 5> from " + last + "\n" +
                              "wrote Texture Set # 4 texture #10 <column 5, row 2> from " + fourth + "\n" +
                              "wrote Landscape # 2 from " + landscape + "\n");
    const std::vector<BYTE> after = ReadBytes(s.shapes);
    EXPECT_FALSE(after == s.before);
    EXPECT_TRUE(after == s.ImportedSetBySet(options)) << "import-all wrote other bytes than import set by set";
  }
}

TEST(ImportAllCommand, OneBadPictureInTheSixthSetStopsItWithNothingWritten) {
  for (bool toNew : {false, true}) {
    SCOPED_TRACE(toNew ? "--output" : "in place");
    AllSetup s;
    s.Picture(0, 0, 128, 128);
    s.Picture(2, 7, 128, 128);
    const std::string bad = s.Picture(5, 0, 600, 200);
    WriteFileBytes(bad, {'B', 'M', 1, 2, 3});
    s.Picture(7, 0, 512, 270);

    Lines line = {"import-all", s.shapes, s.pictures};
    if (toNew) line.insert(line.end(), {"--output", s.folder + "/new.shp2"});
    const CliResult result = RunTool(line);
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "kestrow-cli: Unable to read " + bad + " as a picture; nothing written\n");
    EXPECT_TRUE(ReadBytes(s.shapes) == s.before);
    EXPECT_EQ(FolderNames(s.folder), (Lines{"all", "shapes.shp2"}));
  }
}

TEST(ImportAllCommand, DamagedHeadersOfALaterSetStopItBeforeTheFirstSetIsWritten) {
  AllSetup s;
  s.Picture(0, 0, 128, 128);
  s.Picture(3, 29, 128, 128);
  sample_shapes::PutBigEndian32(s.before, s.builder.SetLayout(3).imageTable + 4 * 29, 0x7FFFFF00);
  sample_shapes::WriteBytes(s.shapes, s.before);

  const CliResult result = RunTool({"import-all", s.shapes, s.pictures});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_EQ(result.err.rfind("kestrow-cli: The headers of Texture Set # 4 texture #29 <column 6, row 5> do not "
                             "fit the file: ",
                             0),
            0u)
      << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(ReadBytes(s.shapes) == s.before);
}

TEST(ImportAllCommand, AFolderWithoutPicturesOfAnySetWritesNothing) {
  AllSetup s;
  std::filesystem::create_directories(s.pictures + "/texture-set-1");
  WriteFileBytes(s.pictures + "/slot-00.bmp", PhotoBitmap24(128, 128, 1));  // not in a set's folder

  const CliResult result = RunTool({"import-all", s.shapes, s.pictures});
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_EQ(result.err, "kestrow-cli: warning: " + s.pictures + " holds no picture of any set; nothing written\n");
  EXPECT_TRUE(ReadBytes(s.shapes) == s.before);

  const CliResult missing = RunTool({"import-all", s.shapes, s.folder + "/nowhere"});
  EXPECT_EQ(missing.status, kExitFailed);
  EXPECT_EQ(missing.err, "kestrow-cli: " + s.folder + "/nowhere is not a folder; nothing written\n");
}

}  // namespace
