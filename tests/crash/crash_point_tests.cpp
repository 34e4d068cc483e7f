// Power cuts at every point of a patch in place. Each patch runs on a
// simulated disk (simulated_disk.h) and is stopped at each of its writes and
// syncs in turn; at each stop the disk comes back as each loss model lets
// it, and recovery runs. Every outcome must be the whole file before the
// patch or the whole file after it, byte for byte, with no journal left.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/import/journal_recovery.h"
#include "editor/import/patch_undo.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "tests/crash/simulated_disk.h"

namespace crash_tests {
namespace {

constexpr char kGame[] = "/game";
constexpr char kShapes[] = "/game/shapes.shp2";
constexpr char kState[] = "/home/user/.local/state/kestrow";

PatchEnvironment Env(SimulatedDisk& disk) { return {disk, kState}; }

// What a patch writes into image `image` of set `set`: other bytes than the
// builder's.
std::vector<BYTE> NewPixels(int set, int image) {
  std::vector<BYTE> bytes(static_cast<std::size_t>(KindOfSet(set).ImageBytes()));
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<BYTE>(i * 7 + static_cast<std::size_t>(image * 13 + set * 5 + 1));
  return bytes;
}

// Pages of the simulated disk where `a` and `b` differ.
std::vector<std::uint64_t> Differing(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
  constexpr std::uint64_t kPage = SectorContent::kPage;
  std::vector<std::uint64_t> pages;
  for (std::uint64_t start = 0; start < a.size(); start += kPage) {
    const auto n = static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(kPage, a.size() - start));
    const auto at = static_cast<std::ptrdiff_t>(start);
    if (!std::equal(a.begin() + at, a.begin() + at + n, b.begin() + at)) pages.push_back(start / kPage);
  }
  return pages;
}

struct Scenario {
  const char* what;
  std::vector<int> sets;  // the sets the patch writes
  // The work is an undo of that patch, made (and settled) before.
  bool undo = false;
  // The game's folder takes no new files: the journal goes to the state folder.
  bool readOnlyFolder = false;
  // The power goes during the recovery too, at each of its points.
  bool cutDuringRecovery = false;
};

struct Tally {
  int points = 0;
  int outcomes = 0;
  int before = 0;
  int after = 0;
};

class CrashPoints : public ::testing::Test {
 protected:
  void SetUp() override { m_original = std::make_shared<const std::vector<BYTE>>(m_builder.Build()); }

  // Made once per set of sets: every run of a row writes the same bytes.
  const std::vector<FileRange>& Writes(const std::vector<int>& sets) const {
    std::vector<FileRange>& writes = m_writes[sets];
    if (writes.empty())
      for (int set : sets)
        for (int image = 0; image < KindOfSet(set).imageCount; ++image)
          writes.push_back(
              {static_cast<std::uint64_t>(m_builder.SetLayout(set).pixels[static_cast<std::size_t>(image)]),
               NewPixels(set, image)});
    return writes;
  }

  SimulatedDisk StartingDisk(const Scenario& row) const {
    SimulatedDisk disk;
    disk.AddFolder(kGame);
    disk.AddFile(kShapes, m_original);
    if (row.readOnlyFolder) disk.MakeReadOnly(kGame);
    if (row.undo) Patch(row, disk);
    disk.Settle();
    return disk;
  }

  void Patch(const Scenario& row, SimulatedDisk& disk) const {
    PatchSubject subject;
    for (int set : row.sets) subject.sets.push_back({set, (1u << KindOfSet(set).imageCount) - 1});
    CommitPatch(*disk.Open(kShapes, PatchOpenMode::ReadWrite), Writes(row.sets), subject, Env(disk));
  }

  void Work(const Scenario& row, SimulatedDisk& disk) const {
    if (row.undo)
      UndoPatches(*disk.Open(kShapes, PatchOpenMode::ReadWrite), 1, Env(disk));
    else
      Patch(row, disk);
  }

  // Recovers `disk` and checks that the file is whole; counts the outcome.
  void CheckRecovers(SimulatedDisk& disk, const std::string& where, Tally& tally) {
    ++tally.outcomes;
    const RecoveryReport report = RecoverShapesFile(kShapes, Env(disk));
    const SectorContent* content = disk.Content(kShapes);
    const bool isBefore = content->Holds(m_before, m_beforeDiffers);
    const bool isAfter = content->Holds(m_after, m_afterDiffers);
    tally.before += isBefore ? 1 : 0;
    tally.after += isAfter && !isBefore ? 1 : 0;
    const FileIdentity file = *disk.Identify(kShapes);
    std::string problem;
    if (report.Refuses())
      problem = "recovery refused: " + report.message;
    else if (!isBefore && !isAfter)
      problem = "the file is neither before nor after";
    else if (report.outcome == RecoveryOutcome::Restored && !isBefore)
      problem = "restored, but not to before";
    else if (disk.Identify(JournalBeside(kShapes)) || disk.Identify(JournalInStateFolder(kState, file)))
      problem = "a journal is left";
    // The history may have lost its newest entry, never its readability.
    ListHistory(Env(disk), kShapes, file);
    if (!problem.empty() && ++m_failures <= 10) ADD_FAILURE() << where << ": " << problem;
  }

  void Run(const Scenario& row, Tally& tally);

  sample_shapes::ShapesFileBuilder m_builder;
  mutable std::map<std::vector<int>, std::vector<FileRange>> m_writes;
  std::shared_ptr<const std::vector<BYTE>> m_original;
  std::vector<BYTE> m_before, m_after;
  std::vector<std::uint64_t> m_beforeDiffers, m_afterDiffers;
  int m_failures = 0;
};

void CrashPoints::Run(const Scenario& row, Tally& tally) {
  const SimulatedDisk start = StartingDisk(row);
  SimulatedDisk whole = start.Clone();
  Work(row, whole);
  m_before = start.Content(kShapes)->Bytes();
  m_after = whole.Content(kShapes)->Bytes();
  m_beforeDiffers = Differing(m_before, *m_original);
  m_afterDiffers = Differing(m_after, *m_original);
  ASSERT_NE(m_before, m_after) << row.what;
  const int points = whole.Points();

  // Point p stops the work before its p-th write or sync; one more lets it
  // end, and the power goes after.
  for (int p = 1; p <= points + 1; ++p) {
    ++tally.points;
    SimulatedDisk run = start.Clone();
    run.CutPowerAt(p);
    try {
      Work(row, run);
    } catch (const PowerCut&) {
    }
    const std::string at = std::string(row.what) + ", cut before " +
                           (p <= points ? whole.Log()[static_cast<std::size_t>(p - 1)] : "nothing");
    for (LossModel model : kLossModels) {
      const std::string where = at + ", " + LossModelName(model);
      SimulatedDisk rebooted = run.AfterPowerCut(model);
      if (!row.cutDuringRecovery) {
        CheckRecovers(rebooted, where, tally);
        continue;
      }
      // Only the torn states that recovery has work to do in, every
      // fourth of them, each cut at every point of the recovery.
      SimulatedDisk probe = rebooted.Clone();
      if (model != LossModel::AllWritten || p % 4 != 0 ||
          RecoverShapesFile(kShapes, Env(probe)).outcome != RecoveryOutcome::Restored)
        continue;
      for (int q = 1; q <= probe.Points(); ++q) {
        SimulatedDisk recovering = rebooted.Clone();
        recovering.CutPowerAt(q);
        try {
          RecoverShapesFile(kShapes, Env(recovering));
        } catch (const PowerCut&) {
        }
        for (LossModel again : kLossModels) {
          SimulatedDisk twice = recovering.AfterPowerCut(again);
          CheckRecovers(twice,
                        where + ", recovery cut before " + probe.Log()[static_cast<std::size_t>(q - 1)] + ", " +
                            LossModelName(again),
                        tally);
        }
      }
    }
  }
}

TEST_F(CrashPoints, EveryPowerCutLeavesTheFileWholeBeforeOrAfter) {
  // clang-format off
  const Scenario rows[] = {
      {"texture set patch", {0}},
      {"landscape patch", {5}},
      {"import-all of all eight sets", {0, 1, 2, 3, 4, 5, 6, 7}},
      {"undo of a texture set patch", {2}, true},
      {"texture set patch, journal in the state folder", {3}, false, true},
      {"texture set patch, power cut during recovery", {1}, false, false, true},
  };
  // clang-format on
  Tally total;
  for (const Scenario& row : rows) {
    Tally tally;
    Run(row, tally);
    std::printf("%-50s %4d crash points, %6d outcomes (%d before, %d after)\n", row.what, tally.points, tally.outcomes,
                tally.before, tally.after);
    // Cuts on both sides of the commit; a recovery only ever restores.
    EXPECT_GT(tally.before, 0) << row.what;
    if (!row.cutDuringRecovery) {
      EXPECT_GT(tally.after, 0) << row.what;
    }
    total.points += tally.points;
    total.outcomes += tally.outcomes;
  }
  std::printf("in all: %d crash points, %d outcomes checked\n", total.points, total.outcomes);
}

TEST_F(CrashPoints, WithoutWriteAccessRecoveryRefusesAndKeepsTheJournalForLater) {
  const Scenario row{"texture set patch", {0}};
  SimulatedDisk disk = StartingDisk(row);
  // Cut where the file is torn: the journal and half the images written.
  disk.CutPowerAt(20);
  EXPECT_THROW(Patch(row, disk), PowerCut);
  SimulatedDisk rebooted = disk.AfterPowerCut(LossModel::AllWritten);
  const std::vector<BYTE> torn = rebooted.Content(kShapes)->Bytes();
  ASSERT_NE(torn, *m_original);

  rebooted.MakeReadOnly(kShapes);
  const RecoveryReport refused = RecoverShapesFile(kShapes, Env(rebooted));
  EXPECT_EQ(refused.outcome, RecoveryOutcome::NeedsWriteAccess);
  EXPECT_EQ(refused.message, std::string("The last patch of ") + kShapes + " was interrupted, and " + kShapes +
                                 " cannot be restored without write access to it; Kestrow reads it only once it is "
                                 "restored.");
  EXPECT_TRUE(rebooted.Identify(JournalBeside(kShapes)));
  EXPECT_EQ(rebooted.Content(kShapes)->Bytes(), torn);

  rebooted.MakeWritable(kShapes);
  EXPECT_EQ(RecoverShapesFile(kShapes, Env(rebooted)).outcome, RecoveryOutcome::Restored);
  EXPECT_EQ(rebooted.Content(kShapes)->Bytes(), *m_original);
}

}  // namespace
}  // namespace crash_tests
