// A mod shared as a patch file, as modders share them: made by kestrow-cli
// diff and applied by xdelta3, made by xdelta3 and applied by kestrow-cli
// apply, refused when it was made for another file, and exact where
// sharing pictures is not.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "tests/cli/cli_process.h"

namespace {

using cli_journeys::ProgramRun;
using cli_journeys::RunKestrowCli;
using cli_journeys::RunXdelta3;
using Bytes = std::vector<std::uint8_t>;

// The stock file: the builder's, with a palette that holds one colour
// twice in a texture set and in a landscape, as the game's palettes do.
const Bytes& StockShapes() {
  static const Bytes bytes = [] {
    sample_shapes::ShapesFileBuilder builder;
    for (const int set : {1, 5}) {
      std::vector<sample_shapes::ColourEntry>& colours = builder.Set(set).colours;
      colours[200] = colours[10];
    }
    return builder.Build();
  }();
  return bytes;
}

// A picture of `width` x `height` with soft gradients and hard edges.
Bytes Picture(int width, int height, int seed) {
  return kp::testing::BitmapFile24(width, height, [=](int x, int y) {
    const int edge = (x * 3 + y * 2 + seed * 11) % 97 < 40 ? 60 : 0;
    return static_cast<DWORD>(((x * 255 / width + seed * 40) & 0xFF) << 16 | ((y * 255 / height + edge) & 0xFF) << 8 |
                              ((x + y + seed * 13) & 0xFF));
  });
}

// The stock file, and a mod of it made by import: three textures of the
// first set and the second landscape painted over.
struct Mod {
  std::string folder = cli_journeys::TestFolder();
  std::string original = folder + "/shapes.shp2";
  std::string modified = folder + "/modded.shp2";
  std::string patch = folder + "/mod.vcdiff";
  std::string rebuilt = folder + "/rebuilt.shp2";

  Mod() {
    kp::testing::WriteFileBytes(original, StockShapes());
    const std::string pictures = folder + "/pictures";
    std::filesystem::create_directories(pictures);
    for (const int slot : {0, 7, 29})
      kp::testing::WriteFileBytes(pictures + "/slot-" + (slot < 10 ? "0" : "") + std::to_string(slot) + ".bmp",
                                  Picture(128, 128, slot));
    EXPECT_EQ(RunKestrowCli({"import", original, "1", pictures, "--output", modified}).status, 0);
    std::filesystem::remove_all(pictures);
    std::filesystem::create_directories(pictures);
    kp::testing::WriteFileBytes(pictures + "/landscape.bmp", Picture(640, 300, 5));
    EXPECT_EQ(RunKestrowCli({"import", modified, "6", pictures}).status, 0);
  }
};

bool HaveXdelta3() { return RunXdelta3({"-V"}).status == 0; }
constexpr char kNoXdelta3[] = "xdelta3 is not installed (scripts/lib/common.sh installs it)";

TEST(PatchFiles, Xdelta3RebuildsTheModifiedFileFromOurPatch) {
  ASSERT_TRUE(HaveXdelta3()) << kNoXdelta3;
  Mod mod;
  const ProgramRun diff = RunKestrowCli({"diff", mod.original, mod.modified, mod.patch});
  ASSERT_EQ(diff.status, 0) << diff.err;
  const ProgramRun decoded = RunXdelta3({"-d", "-s", mod.original, mod.patch, mod.rebuilt});
  ASSERT_EQ(decoded.status, 0) << decoded.err;
  EXPECT_EQ(kp::testing::ReadFileBytes(mod.rebuilt), kp::testing::ReadFileBytes(mod.modified));
}

TEST(PatchFiles, ApplyRebuildsTheModifiedFileFromXdelta3sPatches) {
  ASSERT_TRUE(HaveXdelta3()) << kNoXdelta3;
  Mod mod;
  const Bytes modified = kp::testing::ReadFileBytes(mod.modified);
  // Without checksums (-n) the result cannot be checked, which apply says.
  const struct {
    std::vector<std::string> setting;
    const char* warning;
  } rows[] = {{{}, ""},
              {{"-S", "none"}, ""},
              {{"-9"}, ""},
              {{"-n"}, "carries no checksum for some of what it makes: that part is not checked"}};
  for (const auto& row : rows) {
    std::vector<std::string> encode = {"-e", "-f"};
    encode.insert(encode.end(), row.setting.begin(), row.setting.end());
    encode.insert(encode.end(), {"-s", mod.original, mod.modified, mod.patch});
    const ProgramRun encoded = RunXdelta3(encode);
    ASSERT_EQ(encoded.status, 0) << encoded.err;
    std::filesystem::remove(mod.rebuilt);
    const ProgramRun apply = RunKestrowCli({"apply", mod.original, mod.patch, "--output", mod.rebuilt});
    const std::string what = "xdelta3 -e " + (row.setting.empty() ? std::string() : row.setting[0]);
    ASSERT_EQ(apply.status, 0) << what << ": " << apply.err;
    EXPECT_EQ(kp::testing::ReadFileBytes(mod.rebuilt), modified) << what;
    EXPECT_NE(apply.out.find("changed Texture Set # 1 texture #7 <column 2, row 2>: "), std::string::npos) << apply.out;
    EXPECT_NE(apply.out.find("changed Landscape # 2: "), std::string::npos) << apply.out;
    if (*row.warning == '\0') {
      EXPECT_EQ(apply.err, "") << what;
    } else {
      EXPECT_NE(apply.err.find(row.warning), std::string::npos) << what << ": " << apply.err;
    }
  }
  EXPECT_EQ(kp::testing::ReadFileBytes(mod.original), StockShapes());
}

TEST(PatchFiles, ApplyNamesAnotherSecondaryCompressorAndWritesNothing) {
  ASSERT_TRUE(HaveXdelta3()) << kNoXdelta3;
  Mod mod;
  const struct {
    const char* option;
    const char* named;
  } rows[] = {{"djw", "DJW (xdelta3 -S djw)"}, {"fgk", "FGK (xdelta3 -S fgk)"}};
  for (const auto& row : rows) {
    ASSERT_EQ(RunXdelta3({"-e", "-f", "-S", row.option, "-s", mod.original, mod.modified, mod.patch}).status, 0);
    const ProgramRun apply = RunKestrowCli({"apply", mod.original, mod.patch, "--output", mod.rebuilt});
    EXPECT_EQ(apply.status, 1) << row.option;
    EXPECT_NE(apply.err.find(row.named), std::string::npos) << apply.err;
    EXPECT_NE(apply.err.find("make the patch again with xdelta3 -S lzma"), std::string::npos) << apply.err;
    EXPECT_FALSE(std::filesystem::exists(mod.rebuilt)) << row.option;
  }
}

// A patch made for one version of the file, applied to another: ours is
// refused by the source's digest, xdelta3's by its windows' checksums, and
// neither writes anything.
TEST(PatchFiles, APatchForAnotherFileIsRefusedAndNothingIsWritten) {
  ASSERT_TRUE(HaveXdelta3()) << kNoXdelta3;
  Mod mod;
  const std::string other = mod.folder + "/other.shp2";
  const std::string pictures = mod.folder + "/other-pictures";
  std::filesystem::create_directories(pictures);
  kp::testing::WriteFileBytes(pictures + "/slot-03.bmp", Picture(64, 64, 9));
  ASSERT_EQ(RunKestrowCli({"import", mod.original, "4", pictures, "--output", other}).status, 0);
  const Bytes otherBytes = kp::testing::ReadFileBytes(other);

  const std::string ours = mod.folder + "/ours.vcdiff";
  const std::string theirs = mod.folder + "/theirs.vcdiff";
  ASSERT_EQ(RunKestrowCli({"diff", mod.original, mod.modified, ours}).status, 0);
  ASSERT_EQ(RunXdelta3({"-e", "-s", mod.original, mod.modified, theirs}).status, 0);
  const struct {
    std::string patch;
    const char* reason;
  } rows[] = {{ours, "it was made for another version of the shapes file"}, {theirs, "does not match its checksum"}};
  for (const auto& row : rows) {
    const ProgramRun apply = RunKestrowCli({"apply", other, row.patch, "--output", mod.rebuilt});
    EXPECT_EQ(apply.status, 1);
    EXPECT_NE(apply.err.find("Cannot apply " + row.patch + " to " + other + ": "), std::string::npos) << apply.err;
    EXPECT_NE(apply.err.find(row.reason), std::string::npos) << apply.err;
    EXPECT_NE(apply.err.find("; nothing written"), std::string::npos) << apply.err;
    EXPECT_FALSE(std::filesystem::exists(mod.rebuilt));
    EXPECT_EQ(kp::testing::ReadFileBytes(other), otherBytes);
  }
}

// Pictures exported from a mod and imported into another copy of the file
// do not give the mod back: where a palette holds one colour twice, the
// lower entry wins on the way in. A patch gives it back byte for byte.
TEST(PatchFiles, APatchCarriesAModExactlyWherePicturesCannot) {
  Mod mod;
  const Bytes modified = kp::testing::ReadFileBytes(mod.modified);
  const std::string copy = mod.folder + "/copy.shp2";
  kp::testing::WriteFileBytes(copy, StockShapes());

  ASSERT_EQ(RunKestrowCli({"export-all", mod.modified, mod.folder + "/sets"}).status, 0);
  const std::string throughPictures = mod.folder + "/through-pictures.shp2";
  ASSERT_EQ(RunKestrowCli({"import-all", copy, mod.folder + "/sets", "--output", throughPictures}).status, 0);
  const Bytes pictures = kp::testing::ReadFileBytes(throughPictures);
  std::size_t lost = 0;
  for (std::size_t i = 0; i < modified.size(); ++i) lost += pictures[i] != modified[i];
  EXPECT_GT(lost, 1000u) << "a palette that repeats a colour, and indices above 230, are lost in pictures";

  ASSERT_EQ(RunKestrowCli({"diff", mod.original, mod.modified, mod.patch}).status, 0);
  const ProgramRun apply = RunKestrowCli({"apply", copy, mod.patch, "--output", mod.rebuilt});
  ASSERT_EQ(apply.status, 0) << apply.err;
  EXPECT_EQ(kp::testing::ReadFileBytes(mod.rebuilt), modified);
  EXPECT_EQ(kp::testing::ReadFileBytes(copy), StockShapes());
}

}  // namespace
