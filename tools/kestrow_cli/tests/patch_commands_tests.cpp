// diff, apply and show in process, on shapes files built by code: what
// each prints and writes, and what each refuses with nothing written.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "editor/import/vcdiff/delta_encoder.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "kestrow_version.h"
#include "platform/base/sha256.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

// An original shapes file and a modified one: two textures and a landscape
// painted over.
struct PatchFiles {
  sample_shapes::ShapesFileBuilder builder;
  std::string folder = TestFolder();
  std::string original = folder + "/original.shp2";
  std::string modified = folder + "/modified.shp2";
  std::string patch = folder + "/mod.vcdiff";
  std::string rebuilt = folder + "/rebuilt.shp2";
  std::vector<BYTE> originalBytes;
  std::vector<BYTE> modifiedBytes;

  PatchFiles() {
    originalBytes = builder.Build();
    sample_shapes::WriteBytes(original, originalBytes);
    builder.SetImagePixels(0, 4, std::vector<BYTE>(kTextureBytes, 3));
    std::vector<BYTE> half = builder.Set(2).images[29].pixels;
    std::fill(half.begin(), half.begin() + kTextureBytes / 2, 7);
    builder.SetImagePixels(2, 29, half);
    builder.SetImagePixels(5, 0, std::vector<BYTE>(kLandscapeBytes, 9));
    modifiedBytes = builder.Build();
    sample_shapes::WriteBytes(modified, modifiedBytes);
  }
  std::size_t Changed(int set, int image) const {
    const LONGLONG at = builder.SetLayout(set).pixels[static_cast<std::size_t>(image)];
    const std::size_t length = static_cast<std::size_t>(KindOfSet(set).ImageBytes());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < length; ++i)
      changed += originalBytes[static_cast<std::size_t>(at) + i] != modifiedBytes[static_cast<std::size_t>(at) + i];
    return changed;
  }
};

TEST(PatchCommands, DiffWritesWhatApplyRebuildsAndShowLists) {
  PatchFiles files;
  const CliResult diff = RunTool({"diff", files.original, files.modified, files.patch});
  ASSERT_EQ(diff.status, kExitSuccess) << diff.err;
  EXPECT_EQ(diff.err, "");
  const std::string images[] = {
      "Texture Set # 1 texture #4 <column 5, row 1>: " + std::to_string(files.Changed(0, 4)) + " bytes\n",
      "Texture Set # 3 texture #29 <column 6, row 5>: " + std::to_string(files.Changed(2, 29)) + " bytes\n",
      "Landscape # 2: " + std::to_string(files.Changed(5, 0)) + " bytes\n"};
  EXPECT_EQ(diff.out, "changes " + images[0] + "changes " + images[1] + "changes " + images[2] + "wrote " +
                          files.patch + " (" + std::to_string(std::filesystem::file_size(files.patch)) + " bytes)\n");

  const CliResult apply = RunTool({"apply", files.original, files.patch, "--output", files.rebuilt});
  ASSERT_EQ(apply.status, kExitSuccess) << apply.err;
  EXPECT_EQ(apply.out,
            "changed " + images[0] + "changed " + images[1] + "changed " + images[2] + "wrote " + files.rebuilt + "\n");
  EXPECT_EQ(ReadBytes(files.rebuilt), files.modifiedBytes);
  EXPECT_EQ(ReadBytes(files.original), files.originalBytes);

  const std::string digest = kp::base::DigestHex(kp::base::Sha256Of(files.originalBytes));
  const CliResult show = RunTool({"show", files.patch, files.modified});
  ASSERT_EQ(show.status, kExitSuccess) << show.err;
  EXPECT_EQ(show.out, "made by kestrow-cli " + std::string(KESTROW_VERSION) +
                          " from a shapes file of 10043844 bytes, SHA-256 " + digest + "\nmade for " + files.modified +
                          ": no, it was made for another version of the shapes file (SHA-256 " + digest + ")\n" +
                          images[0] + images[1] + images[2]);

  const CliResult json = RunTool({"show", files.patch, files.original, "--json"});
  ASSERT_EQ(json.status, kExitSuccess) << json.err;
  const nlohmann::json object = nlohmann::json::parse(json.out);
  EXPECT_EQ(object["made_for"], true);
  EXPECT_EQ(object["source_sha256"], digest);
  EXPECT_EQ(object["source_length"], 10043844);
  ASSERT_EQ(object["changes"].size(), 3u);
  EXPECT_EQ(object["changes"][1], nlohmann::json({{"set", 3},
                                                  {"name", "Texture Set # 3"},
                                                  {"part", "image"},
                                                  {"image", 29},
                                                  {"column", 6},
                                                  {"row", 5},
                                                  {"bytes", files.Changed(2, 29)}}));
  EXPECT_FALSE(object["changes"][2].contains("column")) << "a landscape has no place in the grid";
}

TEST(PatchCommands, DiffRefusesFilesThatDifferOutsidePixelsAndWritesNothing) {
  PatchFiles files;
  const LONGLONG colour = files.builder.SetLayout(1).colourTable + 3;
  std::vector<BYTE> recoloured = files.modifiedBytes;
  recoloured[static_cast<std::size_t>(colour)] ^= 1;
  sample_shapes::WriteBytes(files.modified, recoloured);
  const CliResult diff = RunTool({"diff", files.original, files.modified, files.patch});
  EXPECT_EQ(diff.status, kExitFailed);
  EXPECT_EQ(diff.err, "kestrow-cli: " + files.original + " and " + files.modified + " differ at offset " +
                          std::to_string(colour) +
                          ", in the colour table of Texture Set # 2, outside the images' pixel bytes: a patch "
                          "carries changed pictures only; nothing written\n");
  EXPECT_FALSE(std::filesystem::exists(files.patch));
  EXPECT_EQ(FolderNames(files.folder), (std::vector<std::string>{"modified.shp2", "original.shp2"}));
}

TEST(PatchCommands, RefusesAnOutputThatIsAnInput) {
  PatchFiles files;
  const std::filesystem::path link = files.folder + "/link.vcdiff";
  std::filesystem::create_symlink(files.modified, link);
  const std::vector<std::string> lines[] = {
      {"diff", files.original, files.modified, files.original},
      {"diff", files.original, files.modified, link},
      {"apply", files.original, files.patch, "--output", files.original},
  };
  for (const std::vector<std::string>& line : lines) {
    const CliResult result = RunTool(line);
    EXPECT_EQ(result.status, kExitUsage) << line.back();
    EXPECT_NE(result.err.find("itself"), std::string::npos) << result.err;
  }
  EXPECT_EQ(ReadBytes(files.original), files.originalBytes);
  EXPECT_EQ(ReadBytes(files.modified), files.modifiedBytes);
}

TEST(PatchCommands, ApplyRefusesWhatDoesNotFitAndWritesNothing) {
  PatchFiles files;
  ASSERT_EQ(RunTool({"diff", files.original, files.modified, files.patch}).status, kExitSuccess);
  const std::vector<BYTE> patch = ReadBytes(files.patch);
  const auto write = [&](const std::string& name, const std::vector<BYTE>& bytes) {
    WriteFileBytes(files.folder + "/" + name, bytes);
    return files.folder + "/" + name;
  };
  // A plain delta that changes a header record, as another program could.
  std::vector<BYTE> moved = files.originalBytes;
  const LONGLONG record = files.builder.SetLayout(0).record + 4;
  moved[static_cast<std::size_t>(record) + 3] ^= 8;
  const std::string headers = write("headers.vcdiff", vcdiff::EncodeSameLengthDelta(files.originalBytes, moved, {}));
  const std::string cut = write("cut.vcdiff", std::vector<BYTE>(patch.begin(), patch.end() - 100));
  const std::string text = write("notes.vcdiff", std::vector<BYTE>{'n', 'o', 't', 'e', 's'});
  const std::string huge = write("huge.vcdiff", std::vector<BYTE>(2 * 10043844 + (1 << 20) + 1, 0));

  const struct {
    const char* what;
    std::string shapes;
    std::string patch;
    std::string error;
  } rows[] = {
      {"a patch cut short", files.original, cut, "ends early"},
      {"not a patch", files.original, text, "it is not a VCDIFF delta"},
      {"a patch that changes a header", files.original, headers,
       "it changes the headers of Texture Set # 1 at offset " + std::to_string(record + 3)},
      {"a file larger than any patch", files.original, huge, "more than any patch of a shapes file"},
      {"no patch file", files.original, files.folder + "/missing.vcdiff", "Unable to open patch file"},
  };
  for (const auto& row : rows) {
    const std::vector<BYTE> before = ReadBytes(row.shapes);
    const CliResult result = RunTool({"apply", row.shapes, row.patch, "--output", files.rebuilt});
    EXPECT_EQ(result.status, kExitFailed) << row.what;
    EXPECT_NE(result.err.find(row.error), std::string::npos) << row.what << ": " << result.err;
    EXPECT_EQ(result.out, "") << row.what;
    EXPECT_FALSE(std::filesystem::exists(files.rebuilt)) << row.what;
    EXPECT_EQ(ReadBytes(row.shapes), before) << row.what;
  }
}

TEST(PatchCommands, ShowNamesWhatAnotherProgramsPatchChangesInShapes) {
  PatchFiles files;
  std::vector<BYTE> target = files.modifiedBytes;
  const LONGLONG colour = files.builder.SetLayout(7).colourTable;
  target[static_cast<std::size_t>(colour) + 2] ^= 1;
  WriteFileBytes(files.patch, vcdiff::EncodeSameLengthDelta(files.originalBytes, target, {}));

  const CliResult alone = RunTool({"show", files.patch});
  ASSERT_EQ(alone.status, kExitSuccess) << alone.err;
  EXPECT_EQ(alone.out, "made by another program: name SHAPES to see which images it changes\n");
  const CliResult json = RunTool({"show", files.patch, "--json"});
  EXPECT_EQ(nlohmann::json::parse(json.out),
            nlohmann::json({{"path", files.patch}, {"made_by", nullptr}, {"changes", nullptr}}));

  const CliResult named = RunTool({"show", files.patch, files.original});
  ASSERT_EQ(named.status, kExitSuccess) << named.err;
  EXPECT_EQ(
      named.out,
      "made by another program\nTexture Set # 1 texture #4 <column 5, row 1>: " + std::to_string(files.Changed(0, 4)) +
          " bytes\nTexture Set # 3 texture #29 <column 6, row "
          "5>: " +
          std::to_string(files.Changed(2, 29)) + " bytes\nLandscape # 2: " + std::to_string(files.Changed(5, 0)) +
          " bytes\nthe colour table of Landscape # 4: 1 byte\n");

  // Another version of the file: bytes that the patch copies differ.
  std::vector<BYTE> other = files.originalBytes;
  other[static_cast<std::size_t>(files.builder.SetLayout(3).pixels[0])] ^= 1;
  sample_shapes::WriteBytes(files.modified, other);
  const CliResult wrong = RunTool({"show", files.patch, files.modified});
  EXPECT_EQ(wrong.status, kExitFailed);
  EXPECT_NE(wrong.err.find("does not match its checksum"), std::string::npos) << wrong.err;
}

}  // namespace
