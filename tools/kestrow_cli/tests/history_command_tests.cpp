// The patch history from the command line: history lists what import
// patched in place, undo puts it back (and undoing an undo redoes), undo
// refuses a file changed since; and a journal that was never finished, or
// that a replaced file left, is removed without touching the file.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <regex>

#include "editor/import/patch_journal.h"
#include "platform/base/sha256.h"
#include "tools/kestrow_cli/tests/cli_test_support.h"

namespace {

using namespace cli_tests;

// A shapes file in a folder of the test's own, and the pictures of set 2
// exported beside it to be imported into set 1.
struct HistorySetup {
  explicit HistorySetup(const std::string& name = "shapes") : shapes(folder + "/" + name + ".shp2") {
    original = builder.Build();
    sample_shapes::WriteBytes(shapes, original);
    EXPECT_EQ(RunTool({"export", shapes, "2", pictures}).status, kExitSuccess);
  }

  sample_shapes::ShapesFileBuilder builder;
  std::string folder = TestFolder();
  std::string shapes;
  std::string pictures = folder + "/set-2";
  std::vector<BYTE> original;

  // The id of the newest entry of the file's history (ids count over every
  // file the test program patches).
  std::uint64_t NewestId() const {
    return nlohmann::json::parse(RunTool({"history", shapes, "--json"}).out)["entries"][0]["id"];
  }
  std::vector<BYTE> Import() {
    const CliResult result = RunTool({"import", shapes, "1", pictures});
    EXPECT_EQ(result.status, kExitSuccess) << result.err;
    return ReadBytes(shapes);
  }
  // The bytes of set 1's thirty images, one after another.
  std::vector<BYTE> SetBytes(const std::vector<BYTE>& file) const {
    std::vector<BYTE> bytes;
    for (LONGLONG at : builder.SetLayout(0).pixels)
      bytes.insert(bytes.end(), file.begin() + at, file.begin() + at + kTextureBytes);
    return bytes;
  }
};

CliResult Undo(const HistorySetup& s, std::vector<std::string> more = {}) {
  std::vector<std::string> arguments = {"undo", s.shapes};
  arguments.insert(arguments.end(), more.begin(), more.end());
  return RunTool(arguments);
}

TEST(HistoryCommand, UndoPutsBackTheNewestPatchAndUndoingTheUndoRedoesIt) {
  HistorySetup s;
  const std::vector<BYTE> patched = s.Import();
  ASSERT_NE(patched, s.original);
  const std::uint64_t first = s.NewestId();
  const std::regex line(std::to_string(first) +
                        R"(  \d{4}-\d\d-\d\d \d\d:\d\d:\d\d  patch of Texture Set # 1, 30 images\n)");
  EXPECT_TRUE(std::regex_match(RunTool({"history", s.shapes}).out, line)) << RunTool({"history", s.shapes}).out;

  // Each undo is a patch of its own, newest first: the second entry undoes
  // the first, the third the second. --steps 3 then goes back over all
  // three.
  const struct {
    std::vector<std::string> options;
    std::uint64_t undoes;
    const std::vector<BYTE>* after;
  } rows[] = {
      {{}, first, &s.original},
      {{}, first + 1, &patched},
      {{"--steps", "3"}, first + 2, &s.original},
  };
  for (const auto& row : rows) {
    const CliResult result = Undo(s, row.options);
    ASSERT_EQ(result.status, kExitSuccess) << result.err;
    EXPECT_EQ(result.out.rfind("undid " + std::to_string(row.undoes) + "  ", 0), 0u) << result.out;
    EXPECT_TRUE(ReadBytes(s.shapes) == *row.after) << row.undoes;
  }

  const nlohmann::json history = nlohmann::json::parse(RunTool({"history", s.shapes, "--json"}).out);
  ASSERT_EQ(history["entries"].size(), 4u);
  const nlohmann::json& newest = history["entries"][0];
  EXPECT_EQ(newest["kind"], "undo");
  EXPECT_EQ(newest["undoes"], nlohmann::json::array({first + 2, first + 1, first}));
  EXPECT_EQ(newest["sets"][0]["name"], "Texture Set # 1");
  EXPECT_EQ(newest["sets"][0]["images"].size(), 30u);
  // The digest of what the first patch wrote is that of its images.
  EXPECT_EQ(history["entries"][3]["written_sha256"], kp::base::DigestHex(kp::base::Sha256Of(s.SetBytes(patched))));
}

TEST(HistoryCommand, UndoRefusesAndChangesNothingWhenItCannotPutThePatchBack) {
  // clang-format off
  const struct {
    const char* what;
    int imports;
    std::function<void(HistorySetup&)> meanwhile;
    std::vector<std::string> options;
    int status;
    std::string error;  // after "kestrow-cli: " and SHAPES; #ID is the newest entry's
  } rows[] = {
      {"no patch yet", 0, {}, {}, kExitFailed, " has no patch in its history to undo."},
      {"changed since", 1,
       [](HistorySetup& s) {
         std::vector<BYTE> bytes = ReadBytes(s.shapes);
         bytes[static_cast<std::size_t>(s.builder.SetLayout(0).pixels[5] + 77)] ^= 1;
         sample_shapes::WriteBytes(s.shapes, bytes);
       },
       {}, kExitFailed, " no longer holds the bytes patch #ID wrote, so it cannot be undone; nothing was changed."},
      {"more steps than patches", 1, {}, {"--steps", "2"}, kExitFailed,
       " has 1 patch in its history, not 2; nothing was changed."},
  };
  // clang-format on
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    // A file of its own: one at the same path, after another was removed,
    // may get the same inode and with it the other's history.
    HistorySetup s(row.what);
    for (int i = 0; i < row.imports; ++i) s.Import();
    if (row.meanwhile) row.meanwhile(s);
    const std::vector<BYTE> before = ReadBytes(s.shapes);
    std::string error = row.error;
    if (const std::size_t id = error.find("#ID"); id != std::string::npos)
      error.replace(id + 1, 2, std::to_string(s.NewestId()));
    const CliResult result = Undo(s, row.options);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.err, "kestrow-cli: " + s.shapes + error + "\n");
    EXPECT_EQ(ReadBytes(s.shapes), before);
  }
  HistorySetup s;
  EXPECT_EQ(Undo(s, {"--steps", "0"}).status, kExitUsage);
}

// A patch of texture 3 of set 1 that died, with the journal it left.
// (That a whole journal is rolled back by the next command, the kill tests
// show with every command in turn.)
struct Interrupted {
  HistorySetup s;
  std::string journal = JournalBeside(s.shapes);

  // The journal of a patch of texture 3, whole or `cut` bytes of it, for
  // the file or for another one (another inode).
  void Leave(std::size_t cut = 0, bool otherFile = false) {
    const LONGLONG at = s.builder.SetLayout(0).pixels[3];
    FileIdentity file = *PosixPatchFileSystem().Identify(s.shapes);
    if (otherFile) ++file.inode;
    const std::uint64_t start = static_cast<std::uint64_t>(at) / 512 * 512;
    const std::vector<BYTE> saved(s.original.begin() + static_cast<std::ptrdiff_t>(start),
                                  s.original.begin() + at + kTextureBytes);
    std::vector<BYTE> bytes = EncodeJournal({s.shapes, file, {{start, saved}}});
    if (cut > 0) bytes.resize(cut);
    WriteFileBytes(journal, bytes);
  }
};

TEST(Recovery, AJournalNeverFinishedOrOfAnotherFileIsRemovedAndTheFileLeftAlone) {
  const struct {
    const char* what;
    std::size_t cut;
    bool otherFile;
  } rows[] = {
      {"cut short in its bytes", 9000, false},
      {"cut short in its header", 20, false},
      {"left by a file since replaced", 0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Interrupted patch;
    patch.Leave(row.cut, row.otherFile);
    const CliResult result = RunTool({"info", patch.s.shapes});
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(ReadBytes(patch.s.shapes) == patch.s.original);
    EXPECT_FALSE(std::filesystem::exists(patch.journal));
  }
}

}  // namespace
