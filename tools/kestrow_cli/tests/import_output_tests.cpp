// import and import-all with --output NEW: SHAPES is only read, and NEW
// holds exactly what patching SHAPES in place leaves.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/tests/shapes_test_support.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

// A shapes file, a folder of pictures beside it, and the paths of a copy
// patched in place and of NEW.
struct OutputSetup : ShapesBesidePictures {
  OutputSetup() : ShapesBesidePictures("in") {}
  std::string inPlace = folder + "/in-place.shp2";
  std::string fresh = folder + "/new.shp2";
  void Picture(const std::string& name, int width, int height, int seed) {
    std::filesystem::create_directories(std::filesystem::path(pictures + "/" + name).parent_path());
    WriteFileBytes(pictures + "/" + name, PhotoBitmap24(width, height, seed));
  }
};

TEST(ImportOutput, NewHoldsWhatPatchingInPlaceLeavesAndShapesIsOnlyRead) {
  struct Row {
    const char* what;
    Lines (*line)(const std::string& shapes, const std::string& pictures);
    void (*pictures)(OutputSetup& s);
  };
  const Row rows[] = {
      {"texture set",
       [](auto& shapes, auto& in) {
         return Lines{"import", shapes, "1", in};
       },
       [](OutputSetup& s) {
         s.Picture("slot-00.bmp", 128, 128, 1);
         s.Picture("slot-17.bmp", 300, 200, 2);
       }},
      {"landscape without gamma",
       [](auto& shapes, auto& in) {
         return Lines{"import", shapes, "6", in, "--no-gamma"};
       },
       [](OutputSetup& s) { s.Picture("landscape.bmp", 600, 200, 3); }},
      {"dithered texture set",
       [](auto& shapes, auto& in) {
         return Lines{"import", shapes, "3", in, "--dither"};
       },
       [](OutputSetup& s) {
         s.Picture("slot-05.bmp", 64, 64, 4);
         s.Picture("slot-29.bmp", 128, 128, 5);
       }},
      {"every set, dithered",
       [](auto& shapes, auto& in) {
         return Lines{"import-all", "--dither", shapes, in};
       },
       [](OutputSetup& s) {
         s.Picture("texture-set-2/slot-11.bmp", 128, 128, 6);
         s.Picture("landscape-4/landscape.bmp", 512, 270, 7);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    OutputSetup s;
    row.pictures(s);
    std::filesystem::copy_file(s.shapes, s.inPlace);
    Lines toNew = row.line(s.shapes, s.pictures);
    toNew.insert(toNew.end(), {"--output", s.fresh});

    const CliResult patched = RunTool(row.line(s.inPlace, s.pictures));
    ASSERT_EQ(patched.status, kExitSuccess) << patched.err;
    const CliResult written = RunTool(toNew);
    ASSERT_EQ(written.status, kExitSuccess) << written.err;
    EXPECT_EQ(written.err, "");
    EXPECT_EQ(written.out, patched.out) << "the same images are reported written";

    EXPECT_TRUE(ReadBytes(s.shapes) == s.before) << "SHAPES changed";
    const std::vector<BYTE> inPlace = ReadBytes(s.inPlace);
    EXPECT_FALSE(inPlace == s.before) << "nothing was patched";
    EXPECT_TRUE(ReadBytes(s.fresh) == inPlace) << "NEW differs from the file patched in place";
    EXPECT_EQ(FolderNames(s.folder), (Lines{"in", "in-place.shp2", "new.shp2", "shapes.shp2"}))
        << "no temporary file is left";
  }
}

TEST(ImportOutput, NamingTheShapesFileItselfIsAUsageError) {
  struct Row {
    const char* what;
    std::string (*make)(const OutputSetup& s);  // NEW, made to name SHAPES
  };
  const Row rows[] = {
      {"the same path", [](const OutputSetup& s) { return s.shapes; }},
      {"another spelling of it", [](const OutputSetup& s) { return s.folder + "/./in/../shapes.shp2"; }},
      {"a hard link",
       [](const OutputSetup& s) {
         std::filesystem::create_hard_link(s.shapes, s.folder + "/hard.shp2");
         return s.folder + "/hard.shp2";
       }},
      {"a symbolic link",
       [](const OutputSetup& s) {
         std::filesystem::create_symlink(s.shapes, s.folder + "/soft.shp2");
         return s.folder + "/soft.shp2";
       }},
  };
  for (const Row& row : rows) {
    for (const char* command : {"import", "import-all"}) {
      SCOPED_TRACE(std::string(row.what) + ", " + command);
      OutputSetup s;
      s.Picture("slot-00.bmp", 128, 128, 1);
      s.Picture("texture-set-1/slot-00.bmp", 128, 128, 1);
      const std::string fresh = row.make(s);
      const Lines names = FolderNames(s.folder);
      Lines arguments = {command, s.shapes};
      if (std::string(command) == "import") arguments.push_back("1");
      arguments.insert(arguments.end(), {s.pictures, "--output", fresh});

      const CliResult result = RunTool(arguments);
      EXPECT_EQ(result.status, kExitUsage);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err.rfind("kestrow-cli: --output " + fresh +
                                     " is the shapes file itself; NEW must be "
                                     "another file\nusage: kestrow-cli " +
                                     command + " SHAPES ",
                                 0),
                0u)
          << result.err;
      EXPECT_TRUE(ReadBytes(s.shapes) == s.before);
      EXPECT_EQ(FolderNames(s.folder), names);
    }
  }
}

TEST(ImportOutput, AFailureLeavesAnEarlierNewAsItWas) {
  OutputSetup s;
  WriteFileBytes(s.fresh, {'o', 'l', 'd'});
  s.Picture("slot-00.bmp", 128, 128, 1);
  WriteFileBytes(s.pictures + "/slot-01.bmp", {'B', 'M', 0, 0});

  const CliResult bad = RunTool({"import", s.shapes, "1", s.pictures, "--output", s.fresh});
  EXPECT_EQ(bad.status, kExitFailed);
  EXPECT_EQ(bad.err, "kestrow-cli: Unable to read " + s.pictures + "/slot-01.bmp as a picture; nothing written\n");
  EXPECT_EQ(ReadBytes(s.fresh), (std::vector<BYTE>{'o', 'l', 'd'}));

  // Headers that put an image outside the file: found once NEW is open.
  std::filesystem::remove(s.pictures + "/slot-01.bmp");
  std::vector<BYTE> damaged = s.before;
  sample_shapes::PutBigEndian32(damaged, s.builder.SetLayout(0).imageTable, 0x7FFFFF00);
  sample_shapes::WriteBytes(s.shapes, damaged);
  const CliResult outside = RunTool({"import", s.shapes, "1", s.pictures, "--output", s.fresh});
  EXPECT_EQ(outside.status, kExitFailed);
  EXPECT_NE(outside.err.find("The headers of texture #0 <column 1, row 1> do not fit the file"), std::string::npos)
      << outside.err;
  EXPECT_EQ(ReadBytes(s.fresh), (std::vector<BYTE>{'o', 'l', 'd'}));
  EXPECT_EQ(FolderNames(s.folder), (Lines{"in", "new.shp2", "shapes.shp2"}));

  sample_shapes::WriteBytes(s.shapes, s.before);
  const CliResult good = RunTool({"import", s.shapes, "1", s.pictures, "--output=" + s.fresh});
  EXPECT_EQ(good.status, kExitSuccess) << good.err;
  EXPECT_EQ(ReadBytes(s.fresh).size(), s.before.size());
}

TEST(ImportOutput, ShapesIsReadWithTheSharingOfLoadSet) {
  OutputSetup s;
  s.Picture("slot-00.bmp", 128, 128, 1);
  {
    // Being read elsewhere does not keep a reader out.
    shapes_tests::HeldByOtherProcess reader(s.shapes, CFile::modeRead | CFile::shareDenyWrite);
    ASSERT_TRUE(reader.Holding());
    const CliResult result = RunTool({"import", s.shapes, "1", s.pictures, "--output", s.fresh});
    EXPECT_EQ(result.status, kExitSuccess) << result.err;
  }
  std::filesystem::remove(s.fresh);
  {
    shapes_tests::HeldByOtherProcess patcher(s.shapes, CFile::modeReadWrite | CFile::shareExclusive);
    ASSERT_TRUE(patcher.Holding());
    const CliResult result = RunTool({"import", s.shapes, "1", s.pictures, "--output", s.fresh});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_NE(result.err.find("Unable to open selected shapes file"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(s.fresh));
  }
  EXPECT_TRUE(ReadBytes(s.shapes) == s.before);
}

TEST(ImportOutput, NewThatCannotBeMadeFailsAndAFolderWithoutPicturesCopiesShapes) {
  OutputSetup s;
  const CliResult nowhere = RunTool({"import", s.shapes, "1", s.pictures, "--output", s.folder + "/missing/new.shp2"});
  EXPECT_EQ(nowhere.status, kExitFailed);
  EXPECT_EQ(nowhere.err.rfind("kestrow-cli: warning: " + s.pictures + " holds none of", 0), 0u) << nowhere.err;
  EXPECT_NE(nowhere.err.find("\nkestrow-cli: Unable to open file " + s.folder + "/missing/new.shp2 ("),
            std::string::npos)
      << nowhere.err;

  const CliResult copied = RunTool({"import", s.shapes, "1", s.pictures, "--output", s.fresh});
  EXPECT_EQ(copied.status, kExitSuccess) << copied.err;
  EXPECT_EQ(copied.err, "kestrow-cli: warning: " + s.pictures + " holds none of slot-00.bmp to slot-29.bmp; " +
                            s.fresh + " is written unchanged\n");
  EXPECT_TRUE(ReadBytes(s.fresh) == s.before);
}

}  // namespace
