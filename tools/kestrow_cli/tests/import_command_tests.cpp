#include <gtest/gtest.h>

#include <filesystem>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/tests/shapes_test_support.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

constexpr LONGLONG kTexture = 16384;
constexpr LONGLONG kLandscapeBytes = 138240;

// The pictures come from the folder "in".
struct ImportSetup : ShapesBesidePictures {
  explicit ImportSetup(ULONGLONG length = kExpectedShapesFileSize) : ShapesBesidePictures("in", length) {}
  void Damage(LONGLONG position, LONG value) {
    sample_shapes::PutBigEndian32(before, position, value);
    sample_shapes::WriteBytes(shapes, before);
  }
  // A picture of one colour: the colour entry `entry` of `set` shows.
  void Uniform(const std::string& name, int set, int entry, int width, int height, bool gamma = true) {
    const DWORD colour = Shown(builder.Set(set), entry, gamma);
    WriteFileBytes(pictures + "/" + name, kp::testing::BitmapFile24(width, height, [&](int, int) { return colour; }));
  }
  std::vector<BYTE> now() const { return ReadBytes(shapes); }
};

TEST(ImportCommand, WritesOnlyThePixelBytesOfTheImagesGiven) {
  ImportSetup s;
  s.Uniform("slot-03.bmp", 0, 40, 128, 128);
  s.Uniform("slot-10.bmp", 0, 200, 64, 64);  // scaled up to 128 x 128

  const CliResult result = RunTool({"import", s.shapes, "1", s.pictures});
  ASSERT_EQ(result.status, kExitSuccess) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "wrote texture #3 <column 4, row 1> from " + s.pictures + "/slot-03.bmp\n" +
                            "wrote texture #10 <column 5, row 2> from " + s.pictures + "/slot-10.bmp\n");

  const std::vector<BYTE> after = s.now();
  const LONGLONG image3 = s.builder.SetLayout(0).pixels[3];
  const LONGLONG image10 = s.builder.SetLayout(0).pixels[10];
  shapes_tests::ExpectChangedOnlyInside(s.before, after, {{image3, kTexture}, {image10, kTexture}});
  const sample_shapes::BlockSpec& block = s.builder.Set(0);
  for (LONGLONG i = 0; i < kTexture; ++i) {
    ASSERT_EQ(after[static_cast<std::size_t>(image3 + i)], WrittenBack(block, 40, true)) << i;
    ASSERT_EQ(after[static_cast<std::size_t>(image10 + i)], WrittenBack(block, 200, true)) << i;
  }
}

TEST(ImportCommand, WritesTheLandscapeThroughTheRawPaletteWithNoGamma) {
  ImportSetup s;
  s.Uniform("landscape.bmp", 4, 50, 600, 200, false);

  const CliResult result = RunTool({"import", s.shapes, "5", s.pictures, "--no-gamma"});
  ASSERT_EQ(result.status, kExitSuccess) << result.err;
  EXPECT_EQ(result.out, "wrote landscape from " + s.pictures + "/landscape.bmp\n");
  const std::vector<BYTE> after = s.now();
  const LONGLONG pixels = s.builder.SetLayout(4).pixels[0];
  shapes_tests::ExpectChangedOnlyInside(s.before, after, {{pixels, kLandscapeBytes}});
  for (LONGLONG i = 0; i < kLandscapeBytes; ++i) ASSERT_EQ(after[static_cast<std::size_t>(pixels + i)], 50) << i;
}

TEST(ImportCommand, AnUnreadablePictureStopsBeforeAnyWrite) {
  ImportSetup s;
  s.Uniform("slot-00.bmp", 0, 10, 128, 128);
  WriteFileBytes(s.pictures + "/slot-05.bmp", {'B', 'M', 0, 0, 0, 0, 1, 2, 3});

  const CliResult result = RunTool({"import", s.shapes, "1", s.pictures});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_EQ(result.err, "kestrow-cli: Unable to read " + s.pictures + "/slot-05.bmp as a picture; nothing written\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(s.now(), s.before);
}

TEST(ImportCommand, DamagedHeadersOfAnImageToWriteStopBeforeAnyWrite) {
  struct Damage {
    const char* what;
    void (*apply)(ImportSetup& s);
  };
  const Damage rows[] = {
      {"table entry past the end",
       [](ImportSetup& s) { s.Damage(s.builder.SetLayout(3).imageTable + 4 * 29, 0x7FFFFF00); }},
      {"table entry before the start",
       [](ImportSetup& s) { s.Damage(s.builder.SetLayout(3).imageTable + 4 * 29, static_cast<LONG>(0x80000000)); }},
      {"pixels running past the end of a cut file",
       [](ImportSetup& s) {
         s.before = s.builder.Build(static_cast<ULONGLONG>(s.builder.SetLayout(3).pixels[29] + 100));
         sample_shapes::WriteBytes(s.shapes, s.before);
       }},
  };
  for (const Damage& row : rows) {
    SCOPED_TRACE(row.what);
    ImportSetup s;
    row.apply(s);
    s.Uniform("slot-00.bmp", 3, 10, 128, 128);
    s.Uniform("slot-29.bmp", 3, 11, 128, 128);

    const CliResult result = RunTool({"import", s.shapes, "4", s.pictures});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_NE(result.err.find("kestrow-cli: The headers of texture #29 <column 6, row 5> do not fit the file: "),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("; nothing written\n"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(s.now(), s.before);
  }
}

TEST(ImportCommand, ADamagedImageWithoutAFileIsLeftAlone) {
  ImportSetup s;
  s.Damage(s.builder.SetLayout(0).imageTable + 4 * 7, 0x7FFFFF00);
  s.Uniform("slot-00.bmp", 0, 10, 128, 128);

  const CliResult result = RunTool({"import", s.shapes, "1", s.pictures});
  EXPECT_EQ(result.status, kExitSuccess) << result.err;
  EXPECT_NE(s.now(), s.before);
}

TEST(ImportCommand, ALandscapeWithoutItsFileFailsAsAnEmptyLandscapeSlot) {
  ImportSetup s;
  s.Uniform("slot-00.bmp", 4, 10, 128, 128);

  const CliResult result = RunTool({"import", s.shapes, "Landscape # 1", s.pictures});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_EQ(result.err, "kestrow-cli: Failed to write landscape texture: " + s.pictures +
                            "/landscape.bmp is missing; nothing written\n");
  EXPECT_EQ(s.now(), s.before);
}

TEST(ImportCommand, AnEmptyFolderWritesNothingAndAMissingFolderFails) {
  ImportSetup s;
  const CliResult empty = RunTool({"import", s.shapes, "2", s.pictures});
  EXPECT_EQ(empty.status, kExitSuccess);
  EXPECT_EQ(empty.err,
            "kestrow-cli: warning: " + s.pictures + " holds none of slot-00.bmp to slot-29.bmp; nothing written\n");

  const CliResult missing = RunTool({"import", s.shapes, "2", s.folder + "/nowhere"});
  EXPECT_EQ(missing.status, kExitFailed);
  EXPECT_EQ(missing.err, "kestrow-cli: " + s.folder + "/nowhere is not a folder; nothing written\n");
  EXPECT_EQ(s.now(), s.before);
}

TEST(ImportCommand, AFileOfAnotherLengthIsWarnedAboutAndPatched) {
  ImportSetup s(kExpectedShapesFileSize + 1);
  s.Uniform("slot-29.bmp", 1, 7, 128, 128);

  const CliResult result = RunTool({"import", s.shapes, "2", s.pictures});
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_EQ(result.err, "kestrow-cli: warning: Selected shapes file is not the expected size!\n");
  const std::vector<BYTE> after = s.now();
  EXPECT_EQ(after.size(), kExpectedShapesFileSize + 1);
  EXPECT_EQ(after[static_cast<std::size_t>(s.builder.SetLayout(1).pixels[29])], WrittenBack(s.builder.Set(1), 7, true));
}

TEST(ImportCommand, AFileReadByAnotherProgramIsNotPatched) {
  ImportSetup s;
  s.Uniform("slot-00.bmp", 0, 10, 128, 128);
  shapes_tests::HeldByOtherProcess reader(s.shapes, CFile::modeRead | CFile::shareDenyWrite);
  ASSERT_TRUE(reader.Holding());

  const CliResult result = RunTool({"import", s.shapes, "1", s.pictures});
  EXPECT_EQ(result.status, kExitFailed);
  EXPECT_EQ(result.err.rfind("kestrow-cli: Unable to open selected shapes file. Make sure it is not in use by "
                             "another application (",
                             0),
            0u)
      << result.err;
  EXPECT_EQ(s.now(), s.before);
}

}  // namespace
