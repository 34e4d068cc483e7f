// The built kestrow-cli run as a script runs it: a separate program with no
// display, on real files in a folder of the test's own.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "editor/shapes/image_pixels.h"
#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "editor/shapes/tests/shapes_test_support.h"
#include "kestrow_version.h"
#include "platform/file/file.h"
#include "tests/cli/cli_process.h"

namespace cli_journeys {
namespace {

using Bytes = std::vector<unsigned char>;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(KestrowCliProgram, AnswersHelpVersionAndWrongLinesWithoutADisplay) {
  const ProgramRun version = RunKestrowCli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "kestrow-cli " KESTROW_VERSION "\n");

  const ProgramRun help = RunKestrowCli({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"info", "export", "import", "export-all", "import-all", "convert", "palette", "probe"}) {
    EXPECT_TRUE(Contains(help.out, std::string("  ") + command)) << command;
    const ProgramRun commandHelp = RunKestrowCli({command, "--help"});
    EXPECT_EQ(commandHelp.status, 0) << command;
    EXPECT_TRUE(Contains(commandHelp.out, std::string("usage: kestrow-cli ") + command + " SHAPES")) << command;
  }

  for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"export", "x.shp2", "9", "out"}, {"probe", "x.shp2", "17"}}) {
    const ProgramRun run = RunKestrowCli(wrong);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.err, "kestrow-cli: ")) << run.err;
  }
}

// The bytes a set's images hold after an unchanged export and import: each
// stored index becomes the lowest entry whose colour is the colour Load Set
// shows for it (indices above 230 showing entry 230).
Bytes ExpectedAfterRoundTrip(const std::string& path, const Bytes& before, int set, bool gamma) {
  CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
  const int header = SetHeaderNumbers[static_cast<std::size_t>(set)];
  SetPalette palette{};
  const int count = UsablePaletteEntries(ReadSetPalette(file, header, palette, gamma ? FALSE : TRUE));
  Bytes expected = before;
  const SetKind& kind = KindOfSet(set);
  for (int image = 0; image < kind.imageCount; ++image) {
    const LONGLONG at = SeekImagePixels(file, header, image);
    for (LONGLONG i = 0; i < kind.ImageBytes(); ++i) {
      BYTE& b = expected[static_cast<std::size_t>(at + i)];
      const DWORD shown = palette[std::min<int>(b, 230)];
      int lowest = 0;
      while (lowest < count - 1 && palette[static_cast<std::size_t>(lowest)] != shown) ++lowest;
      b = static_cast<BYTE>(lowest);
    }
  }
  return expected;
}

TEST(KestrowCliProgram, ExportThenImportLeavesTheFileAsItWasExceptWhatPatchingNames) {
  struct Trip {
    const char* what;
    bool sample;  // the drawn sample file, else the builder's pattern file
    int set;
    bool gamma;
    // Without gamma the pattern sets of 231 distinct colours store no index
    // above 230 and no colour twice: nothing at all may change. The
    // 256-colour set stores indices above 230, which must change.
    enum { SomeChange, NoChange, Any } change;
  };
  const Trip trips[] = {
      {"pattern texture set of 256 colours", false, 0, true, Trip::SomeChange},
      {"pattern texture set of 231 colours, no gamma", false, 1, false, Trip::NoChange},
      {"pattern landscape", false, 5, true, Trip::Any},
      {"pattern landscape of 231 colours, no gamma", false, 7, false, Trip::NoChange},
      {"sample texture set", true, 2, true, Trip::Any},
      {"sample landscape", true, 6, true, Trip::Any},
  };
  const Bytes sampleFile = sample_shapes::MakeSampleShapes().Build();
  const Bytes patternFile = sample_shapes::ShapesFileBuilder().Build();
  for (const Trip& trip : trips) {
    SCOPED_TRACE(trip.what);
    const std::string folder = TestFolder();
    const std::string shapes = folder + "/shapes.shp2";
    const Bytes& before = trip.sample ? sampleFile : patternFile;
    WriteBytes(shapes, before);
    const Bytes expected = ExpectedAfterRoundTrip(shapes, before, trip.set, trip.gamma);

    std::vector<std::string> exportLine = {"export", shapes, std::to_string(trip.set + 1), folder + "/set"};
    std::vector<std::string> importLine = {"import", shapes, std::to_string(trip.set + 1), folder + "/set"};
    if (!trip.gamma) {
      exportLine.push_back("--no-gamma");
      importLine.push_back("--no-gamma");
    }
    const ProgramRun exported = RunKestrowCli(exportLine);
    ASSERT_EQ(exported.status, 0) << exported.err;
    const ProgramRun imported = RunKestrowCli(importLine);
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "");
    const int images = KindOfSet(trip.set).imageCount;
    EXPECT_EQ(std::count(imported.out.begin(), imported.out.end(), '\n'), images) << imported.out;

    const Bytes after = ReadBytes(shapes);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(after == expected) << "the file changed beyond the indices that patching rewrites";
    if (trip.change == Trip::NoChange) {
      EXPECT_TRUE(after == before);
    }
    if (trip.change == Trip::SomeChange) {
      EXPECT_FALSE(after == before);
    }
  }
}

// Exporting every set and importing the folders back is the single-set
// round trip for each set in turn, and changes the file no more than those.
TEST(KestrowCliProgram, ExportAllThenImportAllChangesNoMoreThanSingleSetRoundTrips) {
  const struct {
    const char* what;
    bool sample;
    bool gamma;
  } trips[] = {{"sample file", true, true}, {"pattern file, no gamma", false, false}};
  for (const auto& trip : trips) {
    SCOPED_TRACE(trip.what);
    const std::string folder = TestFolder();
    const Bytes before =
        trip.sample ? sample_shapes::MakeSampleShapes().Build() : sample_shapes::ShapesFileBuilder().Build();
    const std::string all = folder + "/all.shp2";
    const std::string single = folder + "/single.shp2";
    WriteBytes(all, before);
    WriteBytes(single, before);
    const auto withGamma = [&](std::vector<std::string> line) {
      if (!trip.gamma) line.push_back("--no-gamma");
      return line;
    };

    ASSERT_EQ(RunKestrowCli(withGamma({"export-all", all, folder + "/sets"})).status, 0);
    const ProgramRun imported = RunKestrowCli(withGamma({"import-all", all, folder + "/sets"}));
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.err, "");
    EXPECT_EQ(std::count(imported.out.begin(), imported.out.end(), '\n'), 4 * 30 + 4);

    Bytes expected = before;
    for (int set = 0; set < kSetCount; ++set) {
      const std::string setFolder = folder + "/set-" + std::to_string(set);
      ASSERT_EQ(RunKestrowCli(withGamma({"export", single, std::to_string(set + 1), setFolder})).status, 0);
      ASSERT_EQ(RunKestrowCli(withGamma({"import", single, std::to_string(set + 1), setFolder})).status, 0);
      expected = ExpectedAfterRoundTrip(all, expected, set, trip.gamma);
    }
    const Bytes after = ReadBytes(all);
    EXPECT_FALSE(after == before) << "the round trip rewrote lower twins and indices above 230";
    EXPECT_TRUE(after == ReadBytes(single)) << "import-all and the single-set round trips differ";
    EXPECT_TRUE(after == expected) << "the file changed beyond the indices that patching rewrites";
  }
}

// One command line per command, over a shapes file and a folder; what it
// writes besides the shapes file; whether a reader elsewhere keeps it out
// (the commands that write or deny reading); and whether it patches the
// shapes file itself.
struct CommandCase {
  const char* name;
  // The words, with SHAPES for the shapes file and FOLDER for the folder.
  std::vector<std::string> words;
  const char* output;  // in the folder; nullptr: nothing
  bool keptOutByAReader;
  bool patchesInPlace = false;

  std::vector<std::string> line(const std::string& shapes, const std::string& folder) const {
    std::vector<std::string> line;
    for (const std::string& word : words)
      line.push_back(word == "SHAPES" ? shapes : word.rfind("FOLDER", 0) == 0 ? folder + word.substr(6) : word);
    return line;
  }
  bool wroteOutput(const std::string& folder) const {
    return output != nullptr && std::filesystem::exists(folder + output);
  }
};

std::vector<CommandCase> CommandCases() {
  return {
      {"info", {"info", "SHAPES"}, nullptr, false},
      {"export", {"export", "SHAPES", "1", "FOLDER/out"}, "/out/slot-00.bmp", false},
      {"import", {"import", "SHAPES", "1", "FOLDER/in"}, nullptr, true, true},
      {"palette", {"palette", "SHAPES", "1", "FOLDER/p.bmp"}, "/p.bmp", true},
      {"probe", {"probe", "SHAPES", "17", "3", "FOLDER/i.bmp"}, "/i.bmp", false},
      {"import --output", {"import", "SHAPES", "1", "FOLDER/in", "--output", "FOLDER/new.shp2"}, "/new.shp2", false},
      {"export-all", {"export-all", "SHAPES", "FOLDER/all"}, "/all", false},
      {"import-all", {"import-all", "SHAPES", "FOLDER/in"}, nullptr, true, true},
      {"convert", {"convert", "SHAPES", "1", "FOLDER/in/slot-00.bmp", "FOLDER/c.bmp"}, "/c.bmp", false},
  };
}

// A shapes file and an import folder holding one good picture, for import
// and, in the folder of the first texture set, for import-all.
std::string PrepareFolder(const Bytes& shapes) {
  const std::string folder = TestFolder();
  WriteBytes(folder + "/shapes.shp2", shapes);
  std::filesystem::create_directories(folder + "/in/texture-set-1");
  CopyFile(IMAGE_SAMPLES "/info_24bpp_top-down.bmp", folder + "/in/slot-00.bmp");
  CopyFile(IMAGE_SAMPLES "/info_24bpp_top-down.bmp", folder + "/in/texture-set-1/slot-00.bmp");
  return folder;
}

TEST(KestrowCliProgram, EveryCommandFailsCleanlyOnAMissingOrHeldFile) {
  const Bytes shapes = sample_shapes::ShapesFileBuilder().Build();
  for (const CommandCase& command : CommandCases()) {
    SCOPED_TRACE(command.name);
    const std::string folder = PrepareFolder(shapes);
    const std::string path = folder + "/shapes.shp2";

    const ProgramRun missing = RunKestrowCli(command.line(folder + "/none.shp2", folder));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err,
              "kestrow-cli: Unable to open selected shapes file. Make sure it is not in use by "
              "another application (" +
                  folder + "/none.shp2 was not found.)\n");
    {
      // Patched by another editor: nothing may read it meanwhile.
      shapes_tests::HeldByOtherProcess patcher(path, CFile::modeReadWrite | CFile::shareExclusive);
      ASSERT_TRUE(patcher.Holding());
      const ProgramRun held = RunKestrowCli(command.line(path, folder));
      EXPECT_EQ(held.status, 1);
      EXPECT_TRUE(Contains(held.err, "Unable to open selected shapes file")) << held.err;
      EXPECT_TRUE(Contains(held.err, "violation")) << held.err;
      EXPECT_FALSE(command.wroteOutput(folder));
    }
    {
      shapes_tests::HeldByOtherProcess reader(path, CFile::modeRead | CFile::shareDenyWrite);
      ASSERT_TRUE(reader.Holding());
      const ProgramRun read = RunKestrowCli(command.line(path, folder));
      EXPECT_EQ(read.status, command.keptOutByAReader ? 1 : 0) << read.err;
    }
    EXPECT_TRUE(ReadBytes(path) == shapes);
  }
}

TEST(KestrowCliProgram, EveryCommandWarnsAboutTheLengthAndStillWorks) {
  sample_shapes::ShapesFileBuilder builder;
  for (ULONGLONG length : {kExpectedShapesFileSize - 1, kExpectedShapesFileSize + 1}) {
    const Bytes shapes = builder.Build(length);
    for (const CommandCase& command : CommandCases()) {
      SCOPED_TRACE(std::string(command.name) + " " + std::to_string(length));
      const std::string folder = PrepareFolder(shapes);
      const ProgramRun run = RunKestrowCli(command.line(folder + "/shapes.shp2", folder));
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.err, "kestrow-cli: warning: Selected shapes file is not the expected size!\n");
      EXPECT_NE(run.out, "");
      if (command.patchesInPlace) {
        EXPECT_FALSE(ReadBytes(folder + "/shapes.shp2") == shapes) << "still patches";
      }
    }
  }
}

TEST(KestrowCliProgram, DamagedHeadersGiveAMessageAndWriteNothing) {
  sample_shapes::ShapesFileBuilder builder;
  Bytes shapes = builder.Build();
  // Header 17 ("Texture Set # 1") points its block past the end.
  sample_shapes::PutBigEndian32(shapes, 32 * 17 + 4, 0x7FFFFFF0);
  for (const CommandCase& command : CommandCases()) {
    SCOPED_TRACE(command.name);
    const std::string folder = PrepareFolder(shapes);
    const ProgramRun run = RunKestrowCli(command.line(folder + "/shapes.shp2", folder));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.err, "An attempt was made to access " + folder + "/shapes.shp2 past its end.")) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one line: " << run.err;
    EXPECT_FALSE(command.wroteOutput(folder));
    EXPECT_TRUE(ReadBytes(folder + "/shapes.shp2") == shapes);
  }
}

TEST(KestrowCliProgram, ImportTakesEveryPictureFormatTheControlTakesWithoutADisplay) {
  const Bytes shapes = sample_shapes::ShapesFileBuilder().Build();
  const std::string folder = PrepareFolder(shapes);
  const char* samples[] = {"rgba.png",      "one_pixel.gif",     "info_rle8.bmp",
                           "core_4bpp.bmp", "os2v2-16_8bpp.bmp", "rle_24bpp.tga"};
  for (int slot = 0; slot < 6; ++slot) {
    char name[32];
    std::snprintf(name, sizeof name, "/in/slot-%02d.bmp", slot);
    CopyFile(std::string(IMAGE_SAMPLES "/") + samples[slot], folder + name);
  }
  const ProgramRun run = RunKestrowCli({"import", folder + "/shapes.shp2", "1", folder + "/in"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 6) << run.out;

  // A file that is no picture at all stops the import before any write.
  const Bytes patched = ReadBytes(folder + "/shapes.shp2");
  CopyFile(IMAGE_SAMPLES "/malformed_truncated.png", folder + "/in/slot-29.bmp");
  const ProgramRun bad = RunKestrowCli({"import", folder + "/shapes.shp2", "1", folder + "/in"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "kestrow-cli: Unable to read " + folder + "/in/slot-29.bmp as a picture; nothing written\n");
  EXPECT_EQ(bad.out, "");
  EXPECT_TRUE(ReadBytes(folder + "/shapes.shp2") == patched);
}

}  // namespace
}  // namespace cli_journeys
