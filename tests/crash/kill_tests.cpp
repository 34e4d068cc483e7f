// The real kestrow-cli import-all of all eight sets, killed with SIGKILL at
// every moment of its patch: before each call it makes from the first read
// of the bytes it will replace to its end (traced_program.h). After each
// kill, another Kestrow command opens the file, and the file must be the
// whole file before the import or the whole file after it, byte for byte.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/syscall.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "editor/import/patch_journal.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "tests/crash/traced_program.h"
#include "tools/kestrow_cli/cli_run.h"

namespace crash_tests {
namespace {

namespace fs = std::filesystem;

// Every moment in the ordinary build. A sanitized kestrow-cli takes half a
// second to load and convert the pictures before each patch, so the
// sanitizer build, which runs the same code under the power cuts of
// crash_point_tests, kills at every third.
#ifdef KESTROW_SANITIZED
constexpr std::size_t kStride = 3;
#else
constexpr std::size_t kStride = 1;
#endif

std::vector<BYTE> ReadFile(const std::string& path) { return kp::testing::ReadFileBytes(path); }

struct CliResult {
  int status;
  std::string err;
};

CliResult Cli(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunCli(arguments, CliOutput{out, err});
  return {status, err.str()};
}

class KilledImport : public ::testing::Test {
 protected:
  void SetUp() override {
    // A kill is not a power cut: what the program wrote stays in the page
    // cache whether it synced or not. So the files can live in memory,
    // where a sync costs nothing, when the machine has a folder for that.
    std::string pattern = "/dev/shm/kestrow-killed-import-XXXXXX";
    m_folder = ::mkdtemp(pattern.data()) != nullptr ? pattern : kp::testing::TemporaryRoot() + "/killed-import";
    fs::create_directories(m_folder + "/out");
    ::setenv("XDG_STATE_HOME", (m_folder + "/state").c_str(), 1);
    m_shapes = m_folder + "/shapes.shp2";
    m_pictures = m_folder + "/sets";
    // Pictures of other pixels than the file holds, from every set.
    sample_shapes::ShapesFileBuilder source;
    for (int set = 0; set < kSetCount; ++set)
      for (int image = 0; image < KindOfSet(set).imageCount; ++image)
        source.SetImagePixels(set, image,
                              std::vector<BYTE>(static_cast<std::size_t>(KindOfSet(set).ImageBytes()),
                                                static_cast<BYTE>(40 + image + set)));
    source.WriteFile(m_folder + "/source.shp2");
    ASSERT_EQ(Cli({"export-all", m_folder + "/source.shp2", m_pictures}).status, 0);

    sample_shapes::ShapesFileBuilder builder;
    m_before = builder.Build();
    sample_shapes::WriteBytes(m_shapes, m_before);
    ASSERT_EQ(Cli({"import-all", m_shapes, m_pictures}).status, 0);
    m_after = ReadFile(m_shapes);
    ASSERT_NE(m_after, m_before);
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }

  std::vector<std::string> ImportAll() const { return {KESTROW_CLI_PROGRAM, "import-all", m_shapes, m_pictures}; }

  std::string m_folder, m_shapes, m_pictures;
  std::vector<BYTE> m_before, m_after;
};

TEST_F(KilledImport, AKillAtAnyMomentLeavesTheFileBeforeOrAfter) {
  if (const std::string& reason = TracingUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  // Which calls the patch makes: from the first read of the bytes it will
  // replace (the calls before it load and convert the pictures).
  sample_shapes::WriteBytes(m_shapes, m_before);
  TracedProgram recording(ImportAll(), true);
  ASSERT_TRUE(recording.Started());
  ASSERT_EQ(recording.Finish(), 0);
  ASSERT_EQ(ReadFile(m_shapes), m_after);
  const std::vector<TracedCall>& calls = recording.Calls();
  const std::string shapes = fs::canonical(m_shapes).string();
  std::size_t first = 0;
  while (first < calls.size() && !(calls[first].number == SYS_pread64 && calls[first].file == shapes)) ++first;
  ASSERT_LT(first, calls.size()) << "the import read nothing of " << shapes << " at an offset";
  ASSERT_GE(calls.size() - first, 200u) << "too few moments to kill the patch at";

  // The Kestrow commands that find the file after each kill, in turn.
  const std::vector<std::vector<std::string>> commands = {
      {"info", m_shapes},
      {"history", m_shapes},
      {"probe", m_shapes, "19", "4", m_folder + "/out/probe.bmp"},
      {"export", m_shapes, "2", m_folder + "/out/set"},
      {"palette", m_shapes, "6", m_folder + "/out/palette.bmp"},
      {"convert", m_shapes, "1", m_pictures + "/texture-set-1/slot-00.bmp", m_folder + "/out/convert.bmp"},
  };
  const std::string journal = JournalBeside(m_shapes);
  const std::string restored = "The last patch of " + m_shapes + " was interrupted";
  int kills = 0, before = 0, after = 0, torn = 0, ended = 0;
  bool sawWriterHold = false;
  for (std::size_t k = first; k < calls.size(); k += kStride) {
    SCOPED_TRACE("killed before call " + std::to_string(k) + " of " + std::to_string(calls.size()));
    sample_shapes::WriteBytes(m_shapes, m_before);
    TracedProgram run(ImportAll());
    bool running = true;
    for (std::size_t i = 0; i <= k && running; ++i) running = run.RunToNextCall();
    if (!running) {
      // It ended sooner than the recording did (its history had less to do).
      ++ended;
      continue;
    }
    const bool journalThere = fs::exists(journal);
    // A writer still at work keeps its journal and its file to itself.
    if (journalThere && !sawWriterHold && k > first + (calls.size() - first) / 2) {
      sawWriterHold = true;
      const std::vector<BYTE> journalBytes = ReadFile(journal);
      const std::vector<BYTE> heldBytes = ReadFile(m_shapes);
      const kp::testing::ProgramRun info = kp::testing::RunProgram({KESTROW_CLI_PROGRAM, "info", m_shapes});
      EXPECT_EQ(info.status, 1) << info.err;
      EXPECT_NE(info.err.find("Unable to open selected shapes file"), std::string::npos) << info.err;
      EXPECT_EQ(ReadFile(journal), journalBytes);
      EXPECT_EQ(ReadFile(m_shapes), heldBytes);
    }
    run.Kill();
    ++kills;
    const std::vector<BYTE> left = ReadFile(m_shapes);
    const bool wasTorn = left != m_before && left != m_after;
    torn += wasTorn ? 1 : 0;

    const CliResult found = Cli(commands[k % commands.size()]);
    const std::vector<BYTE> now = ReadFile(m_shapes);
    const bool isBefore = now == m_before;
    ASSERT_TRUE(isBefore || now == m_after) << "the file is neither before nor after; the command said:\n" << found.err;
    EXPECT_FALSE(fs::exists(journal)) << "a journal is left";
    EXPECT_EQ(found.status, 0) << found.err;
    const bool saidRestored = found.err.find(restored) != std::string::npos;
    // Told of exactly when a journal was rolled back; a torn file always is.
    EXPECT_TRUE(saidRestored || !wasTorn) << found.err;
    EXPECT_TRUE(!saidRestored || (journalThere && isBefore)) << found.err;
    (isBefore ? before : after) += 1;
  }
  std::printf(
      "import-all killed at %d of its %zu moments: %d left the file torn; once found, %d held the file as "
      "before the import and %d as after it (%d runs ended before their moment came)\n",
      kills, calls.size() - first, torn, before, after, ended);
  EXPECT_GE(kills, static_cast<int>(200 / kStride));
  EXPECT_TRUE(sawWriterHold) << "no kill came while the journal was there";
  EXPECT_GT(torn, 0) << "no kill came while the file was torn";
  EXPECT_GT(after, 0) << "no kill came after the commit";
}

}  // namespace
}  // namespace crash_tests
