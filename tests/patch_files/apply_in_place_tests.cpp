// A patch file applied in place: checked as with --output, then written as
// one patch that history lists and undo takes back byte for byte; refused,
// with the file and its history untouched, when it was made for another
// file.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "tests/cli/cli_process.h"

namespace {

using cli_journeys::ProgramRun;
using cli_journeys::RunKestrowCli;
using cli_journeys::RunXdelta3;
using Bytes = std::vector<std::uint8_t>;

// The builder's file with images of the first set painted over, one
// value per image.
Bytes Painted(const std::vector<std::pair<int, BYTE>>& images) {
  sample_shapes::ShapesFileBuilder builder;
  for (const auto& [image, value] : images) builder.SetImagePixels(0, image, std::vector<BYTE>(kTextureBytes, value));
  return builder.Build();
}

// The stock file, a mod of two textures of the first set, and patches of
// the mod: one of diff's, two of xdelta3's.
struct InPlace {
  std::string folder = cli_journeys::TestFolder();
  std::string stock = folder + "/stock.shp2";
  std::string modified = folder + "/modded.shp2";
  Bytes stockBytes;
  Bytes modifiedBytes;
  struct Patch {
    const char* madeBy;
    std::string path;
  };
  std::vector<Patch> patches;

  InPlace() : stockBytes(Painted({})), modifiedBytes(Painted({{2, 0x21}, {17, 0x35}})) {
    kp::testing::WriteFileBytes(stock, stockBytes);
    kp::testing::WriteFileBytes(modified, modifiedBytes);
    patches = {{"diff", folder + "/ours.vcdiff"},
               {"xdelta3 -e", folder + "/theirs.vcdiff"},
               {"xdelta3 -e -S none", folder + "/theirs-plain.vcdiff"}};
    EXPECT_EQ(RunKestrowCli({"diff", stock, modified, patches[0].path}).status, 0);
    EXPECT_EQ(RunXdelta3({"-e", "-s", stock, modified, patches[1].path}).status, 0);
    EXPECT_EQ(RunXdelta3({"-e", "-S", "none", "-s", stock, modified, patches[2].path}).status, 0);
  }
};

TEST(ApplyInPlace, WritesTheModAsOnePatchThatHistoryListsAndUndoTakesBack) {
  ASSERT_EQ(RunXdelta3({"-V"}).status, 0) << "xdelta3 is not installed (scripts/lib/common.sh installs it)";
  InPlace files;
  for (const auto& patch : files.patches) {
    const std::string target = files.folder + "/target-" + std::filesystem::path(patch.path).stem().string() + ".shp2";
    kp::testing::WriteFileBytes(target, files.stockBytes);

    const ProgramRun apply = RunKestrowCli({"apply", target, patch.path});
    ASSERT_EQ(apply.status, 0) << patch.madeBy << ": " << apply.err;
    EXPECT_EQ(apply.err, "") << patch.madeBy;
    EXPECT_NE(apply.out.find("changed Texture Set # 1 texture #17 <column 6, row 3>: "), std::string::npos)
        << apply.out;
    EXPECT_EQ(apply.out.find("wrote"), std::string::npos) << apply.out;
    EXPECT_EQ(kp::testing::ReadFileBytes(target), files.modifiedBytes) << patch.madeBy;

    const ProgramRun history = RunKestrowCli({"history", target});
    EXPECT_NE(history.out.find("patch file applied to Texture Set # 1, 2 images\n"), std::string::npos)
        << patch.madeBy << ": " << history.out;
    const ProgramRun undo = RunKestrowCli({"undo", target});
    ASSERT_EQ(undo.status, 0) << patch.madeBy << ": " << undo.err;
    EXPECT_EQ(kp::testing::ReadFileBytes(target), files.stockBytes) << patch.madeBy;
    const ProgramRun json = RunKestrowCli({"history", target, "--json"});
    EXPECT_NE(json.out.find(R"("kind":"apply")"), std::string::npos) << json.out;
    EXPECT_LT(json.out.find(R"("kind":"undo")"), json.out.find(R"("kind":"apply")")) << "newest first";
  }
}

// The mod's patches applied to another version of the file, one whose
// texture 10 differs: diff's are refused by the source's digest, xdelta3's
// by the checksums of what they make. The file keeps every byte and gets
// no history.
TEST(ApplyInPlace, APatchForAnotherFileIsRefusedAndLeavesTheFileAndItsHistoryAlone) {
  ASSERT_EQ(RunXdelta3({"-V"}).status, 0) << "xdelta3 is not installed (scripts/lib/common.sh installs it)";
  InPlace files;
  const std::string other = files.folder + "/other.shp2";
  const Bytes otherBytes = Painted({{10, 0x44}});
  kp::testing::WriteFileBytes(other, otherBytes);
  const char* reasons[] = {"it was made for another version of the shapes file", "does not match its checksum",
                           "does not match its checksum"};
  for (std::size_t i = 0; i < files.patches.size(); ++i) {
    const std::string& patch = files.patches[i].path;
    const ProgramRun apply = RunKestrowCli({"apply", other, patch});
    EXPECT_EQ(apply.status, 1) << files.patches[i].madeBy;
    EXPECT_NE(apply.err.find("Cannot apply " + patch + " to " + other + ": "), std::string::npos) << apply.err;
    EXPECT_NE(apply.err.find(reasons[i]), std::string::npos) << apply.err;
    EXPECT_NE(apply.err.find("; nothing written"), std::string::npos) << apply.err;
    EXPECT_EQ(kp::testing::ReadFileBytes(other), otherBytes) << files.patches[i].madeBy;
  }
  const ProgramRun history = RunKestrowCli({"history", other});
  EXPECT_EQ(history.out, other + " has no patch in its history\n");
}

}  // namespace
