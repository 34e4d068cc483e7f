// The tools' writes failing part-way: kestrow-cli's import in place and
// with --output, its exported pictures, regsvr into the user's registry file
// and into a machine-wide one, and kestrow-sample-shapes. Each is the built
// program, run in a child process of the test whose writes end at a file
// size limit or on a full disk.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "platform/registry/registry_file_format.h"
#include "platform/registry/registry_helpers.h"
#include "platform/registry/registry_locations.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_registry.h"
#include "tests/write_failures/failing_writes.h"

namespace {

using kp::testing::ProgramRun;
using write_failures::FileBytes;
using write_failures::Listing;
using write_failures::NewFolder;
using write_failures::WriteFailure;
using Lines = std::vector<std::string>;

std::string DiskFull(const std::string& path) { return "Disk full while accessing " + path + "."; }

std::string Describe(const ProgramRun& run) {
  return "status " + std::to_string(run.status) + "\nout:\n" + run.out + "err:\n" + run.err;
}

// kestrow-cli as a script runs it, without a display.
ProgramRun KestrowCli(Lines arguments, const WriteFailure* failure = nullptr, const std::string& folder = {}) {
  arguments.insert(arguments.begin(), KESTROW_CLI_PROGRAM);
  return failure != nullptr
             ? write_failures::RunWithWritesFailing(*failure, folder, arguments, kp::testing::WithoutDisplay())
             : kp::testing::RunProgram(arguments, kp::testing::WithoutDisplay());
}

const std::vector<BYTE> kEarlier(3000, 0x5A);

// The name export gives a texture slot's picture.
std::string SlotFile(std::size_t slot) {
  char name[32];
  std::snprintf(name, sizeof name, "slot-%02zu.bmp", slot);
  return name;
}

// --- kestrow-cli import in place ---------------------------------------

// Room on a small disk for the journal of thirty textures (a little under
// 500 KiB), but not for every image of a set stored as holes besides.
constexpr std::uint64_t kRoomForATextureJournal = 600 << 10;

struct InPlaceCase {
  const char* what;
  // The failure, from where set 3's images lie.
  std::function<WriteFailure(const sample_shapes::BlockLayout&)> failure;
  // Images of set 3 from this one on stored as zeros, which a full disk
  // holds as holes.
  int zeroFrom = -1;
  // The write that fails is the journal's, before the file is touched.
  bool journalFails = false;
};

// Imports the pictures of set 2 into set 3 of a file in place, with the
// writes failing; then checks what it printed and that the file is as it
// was.
void CheckImportInPlace(const InPlaceCase& row) {
  SCOPED_TRACE(row.what);
  sample_shapes::ShapesFileBuilder builder;
  if (row.zeroFrom >= 0)
    for (int image = row.zeroFrom; image < 30; ++image)
      builder.SetImagePixels(2, image, std::vector<BYTE>(kTextureBytes, 0));
  const std::string folder = NewFolder("import");
  const std::string shapes = folder + "/shapes.shp2";
  const std::string pictures = NewFolder("import-pictures") + "/set";
  builder.WriteFile(shapes);
  const std::vector<BYTE> before = FileBytes(shapes);
  const ProgramRun exported = KestrowCli({"export", shapes, "2", pictures});
  ASSERT_EQ(exported.status, 0) << Describe(exported);

  const WriteFailure failure = row.failure(builder.SetLayout(2));
  const ProgramRun run = KestrowCli({"import", shapes, "3", pictures}, &failure, folder);
  EXPECT_EQ(FileBytes(shapes), before) << "the file is as it was";
  EXPECT_EQ(Listing(folder), Lines{"shapes.shp2"}) << "no journal is left";
  // Nothing is said to be written: the images are told of once all are.
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_EQ(run.out, "");
  const std::string failing = row.journalFails ? shapes + ".kestrow-journal" : shapes;
  EXPECT_EQ(run.err, "kestrow-cli: " + DiskFull(failing) + " Nothing in " + shapes + " was changed.\n");
}

std::uint64_t At(LONGLONG position) { return static_cast<std::uint64_t>(position); }

TEST(ToolWriteFailures, ImportInPlaceCutShortByAFileSizeLimitLeavesTheFileAsItWas) {
  const InPlaceCase rows[] = {
      {"inside the journal", [](const auto&) { return WriteFailure::SizeLimit(100000); }, -1, true},
      {"at the first image's first byte", [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[0])); }},
      {"inside the first image", [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[0] + 1)); }},
      {"inside texture 12", [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[12] + 16383)); }},
  };
  for (const InPlaceCase& row : rows) CheckImportInPlace(row);
}

TEST(ToolWriteFailures, ImportInPlaceOnAFullDiskLeavesTheFileAsItWas) {
  if (const std::string& reason = write_failures::SmallDiskUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  const InPlaceCase rows[] = {
      {"no room for the journal", [](const auto&) { return WriteFailure::FullDisk(); }, 7, true},
      {"textures 7 to 29 stored as holes", [](const auto&) { return WriteFailure::FullDisk(kRoomForATextureJournal); },
       7},
  };
  for (const InPlaceCase& row : rows) CheckImportInPlace(row);
}

// import-all writes every set in one patch: a failure in the last image of
// the last set leaves the seven sets before it as they were too.
TEST(ToolWriteFailures, ImportAllInPlaceCutShortLeavesEverySetAsItWas) {
  // Pictures of other pixels than the file holds, so that every image
  // written changes its bytes.
  sample_shapes::ShapesFileBuilder source;
  for (int set = 0; set < 8; ++set)
    for (int image = 0; image < KindOfSet(set).imageCount; ++image)
      source.SetImagePixels(
          set, image,
          std::vector<BYTE>(static_cast<std::size_t>(KindOfSet(set).ImageBytes()), static_cast<BYTE>(40 + image)));
  const std::string sourcePath = NewFolder("import-all-source") + "/shapes.shp2";
  source.WriteFile(sourcePath);
  const std::string pictures = NewFolder("import-all-pictures");
  const ProgramRun exported = KestrowCli({"export-all", sourcePath, pictures});
  ASSERT_EQ(exported.status, 0) << Describe(exported);

  sample_shapes::ShapesFileBuilder builder;
  const std::string folder = NewFolder("import-all");
  const std::string shapes = folder + "/shapes.shp2";
  builder.WriteFile(shapes);
  const std::vector<BYTE> before = FileBytes(shapes);
  // Past the journal of all eight sets (some 2.5 MB), short of the end of
  // the last landscape.
  const sample_shapes::BlockLayout& last = builder.SetLayout(7);
  const WriteFailure failure = WriteFailure::SizeLimit(At(last.pixels[0]) + kLandscapeBytes - 1000);
  const ProgramRun run = KestrowCli({"import-all", shapes, pictures}, &failure, folder);

  EXPECT_EQ(FileBytes(shapes), before) << "the file is as it was";
  EXPECT_EQ(Listing(folder), Lines{"shapes.shp2"}) << "no journal is left";
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "kestrow-cli: " + DiskFull(shapes) + " Nothing in " + shapes + " was changed.\n");
}

// --- whole-file writes -------------------------------------------------

// A write of whole files that fails: what it prints, and the folder it
// writes into afterwards.
struct WholeFileCase {
  const char* what;
  WriteFailure failure;
  bool earlierFile;  // the file that fails is there before, holding kEarlier
};

// Checks a run that wrote `written` (paths in `folder`, in order) and then
// failed on `failing`, with the one line `failureLine`. Every file written
// before is whole, the failing one is as it was, and no temporary file is
// left.
void CheckWholeFiles(const ProgramRun& run, const std::string& folder, const Lines& written, const std::string& failing,
                     bool earlierFile, const std::string& failureLine,
                     const std::string& writtenLinePrefix = "wrote ") {
  EXPECT_EQ(run.status, 1) << Describe(run);
  std::string lines;
  for (const std::string& name : written) lines += writtenLinePrefix + folder + "/" + name + "\n";
  EXPECT_EQ(run.out, lines);
  EXPECT_EQ(run.err, failureLine + "\n");
  Lines expected = written;
  if (earlierFile) {
    EXPECT_EQ(FileBytes(folder + "/" + failing), kEarlier) << "the earlier " << failing << " is whole";
    expected.push_back(failing);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Listing(folder), expected) << "no temporary file is left";
}

void CheckImportOutput(const WholeFileCase& row) {
  SCOPED_TRACE(row.what);
  sample_shapes::ShapesFileBuilder builder;
  const std::string shapes = NewFolder("output-shapes") + "/shapes.shp2";
  const std::string pictures = NewFolder("output-pictures") + "/set";
  const std::string folder = NewFolder("output");
  const std::string fresh = folder + "/new.shp2";
  builder.WriteFile(shapes);
  const std::vector<BYTE> before = FileBytes(shapes);
  if (row.earlierFile) sample_shapes::WriteBytes(fresh, kEarlier);
  ASSERT_EQ(KestrowCli({"export", shapes, "3", pictures}).status, 0);

  const ProgramRun run = KestrowCli({"import", shapes, "2", pictures, "--output", fresh}, &row.failure, folder);
  CheckWholeFiles(run, folder, {}, "new.shp2", row.earlierFile,
                  "kestrow-cli: " + DiskFull(fresh) + "; nothing written");
  EXPECT_EQ(FileBytes(shapes), before) << "SHAPES is only read";
}

TEST(ToolWriteFailures, ImportToANewFileCutShortLeavesTheEarlierFileWhole) {
  const WholeFileCase rows[] = {
      {"limit inside the copy", WriteFailure::SizeLimit(5000000), true},
      {"limit inside the copy's first bytes, no earlier file", WriteFailure::SizeLimit(1000), false},
  };
  for (const WholeFileCase& row : rows) CheckImportOutput(row);
}

TEST(ToolWriteFailures, ImportToANewFileOnAFullDiskLeavesTheEarlierFileWhole) {
  if (const std::string& reason = write_failures::SmallDiskUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  CheckImportOutput({"room for part of the copy", WriteFailure::FullDisk(1 << 20), true});
}

// export writes slot-00.bmp to slot-29.bmp, 54 + 128 x 384 bytes each, in
// order: the failure comes at slot `failing`.
void CheckExport(const WholeFileCase& row, std::size_t failing) {
  SCOPED_TRACE(row.what);
  sample_shapes::ShapesFileBuilder builder;
  const std::string shapes = NewFolder("export-shapes") + "/shapes.shp2";
  builder.WriteFile(shapes);
  const std::string folder = NewFolder("export");
  const std::string name = SlotFile(failing);
  if (row.earlierFile) sample_shapes::WriteBytes(folder + "/" + name, kEarlier);
  Lines written;
  for (std::size_t slot = 0; slot < failing; ++slot) written.push_back(SlotFile(slot));
  const ProgramRun run = KestrowCli({"export", shapes, "1", folder}, &row.failure, folder);
  CheckWholeFiles(run, folder, written, name, row.earlierFile, "kestrow-cli: " + DiskFull(folder + "/" + name));
}

void CheckPalette(const WholeFileCase& row) {
  SCOPED_TRACE(row.what);
  sample_shapes::ShapesFileBuilder builder;
  const std::string shapes = NewFolder("palette-shapes") + "/shapes.shp2";
  builder.WriteFile(shapes);
  const std::string folder = NewFolder("palette");
  if (row.earlierFile) sample_shapes::WriteBytes(folder + "/palette.bmp", kEarlier);
  const ProgramRun run = KestrowCli({"palette", shapes, "5", folder + "/palette.bmp"}, &row.failure, folder);
  CheckWholeFiles(run, folder, {}, "palette.bmp", row.earlierFile, "kestrow-cli: " + DiskFull(folder + "/palette.bmp"));
}

constexpr std::uint64_t kSlotFileBytes = 54 + 128 * 384;

TEST(ToolWriteFailures, ExportedPicturesCutShortLeaveTheEarlierFileWhole) {
  CheckExport({"limit inside the first picture", WriteFailure::SizeLimit(30000), true}, 0);
  CheckPalette({"palette picture, limit inside it", WriteFailure::SizeLimit(100000), true});
  CheckPalette(
      {"palette picture, limit inside the headers' page, no earlier file", WriteFailure::SizeLimit(1000), false});
}

TEST(ToolWriteFailures, ExportedPicturesOnAFullDiskLeaveTheEarlierFileWhole) {
  if (const std::string& reason = write_failures::SmallDiskUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  // Room for three pictures and part of the fourth.
  const std::uint64_t page = write_failures::DiskPageSize();
  const std::uint64_t picture = (kSlotFileBytes + page - 1) / page * page;
  CheckExport({"room for three pictures and a half", WriteFailure::FullDisk(3 * picture + picture / 2), true}, 3);
  CheckPalette({"palette picture, room for part of it", WriteFailure::FullDisk(65536), true});
}

// --- kestrow-sample-shapes ---------------------------------------------

void CheckSampleMaker(const WholeFileCase& row) {
  SCOPED_TRACE(row.what);
  const std::string folder = NewFolder("sample");
  const std::string out = folder + "/sample.shp2";
  if (row.earlierFile) sample_shapes::WriteBytes(out, kEarlier);
  const ProgramRun run =
      write_failures::RunWithWritesFailing(row.failure, folder, {KESTROW_SAMPLE_SHAPES_PROGRAM, out});
  CheckWholeFiles(run, folder, {}, "sample.shp2", row.earlierFile, "kestrow-sample-shapes: " + DiskFull(out));
}

TEST(ToolWriteFailures, SampleMakerCutShortLeavesTheEarlierFileWhole) {
  CheckSampleMaker({"limit inside the file", WriteFailure::SizeLimit(4000000), true});
  CheckSampleMaker({"limit inside the first page, no earlier file", WriteFailure::SizeLimit(1000), false});
}

TEST(ToolWriteFailures, SampleMakerOnAFullDiskLeavesTheEarlierFileWhole) {
  if (const std::string& reason = write_failures::SmallDiskUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  CheckSampleMaker({"room for part of the file", WriteFailure::FullDisk(1 << 20), true});
}

// --- regsvr ------------------------------------------------------------

// Whether every key and value of `part` is in `whole`, with the same value.
::testing::AssertionResult Within(const kp::registry::RegistryKey& part, const kp::registry::RegistryKey& whole,
                                  const std::string& path = "") {
  for (const auto& [name, value] : part.values) {
    const auto found = whole.values.find(name);
    if (found == whole.values.end() || !(found->second == value))
      return ::testing::AssertionFailure() << "value \"" << name << "\" of [" << path << "] is not the registration's";
  }
  for (const auto& [name, key] : part.subkeys) {
    const kp::registry::RegistryKey* other = whole.Find(name);
    const std::string below = path.empty() ? name : path + "\\" + name;
    if (other == nullptr) return ::testing::AssertionFailure() << "[" << below << "] is not the registration's";
    if (auto result = Within(*key, *other, below); !result) return result;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Parse(const std::vector<BYTE>& bytes, kp::registry::RegistryKey& root) {
  std::string error;
  if (kp::registry::ParseRegistryFile(bytes, root, &error)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the registry file does not parse: " << error;
}

struct RegistrationCase {
  const char* what;
  bool machine;  // --machine DATADIR, else the user's own file
  // The failure, from the size of the registry file before.
  std::function<WriteFailure(std::uint64_t oldSize)> failure;
  bool changesNothing;  // no write at all can succeed
};

// Registers the control with the writes failing, into a registry file that
// already holds an unrelated key; then registers it again without failing.
void CheckRegistration(const RegistrationCase& row) {
  SCOPED_TRACE(row.what);
  const std::string user = kp::testing::UseFreshRegistry();
  const std::string folder = row.machine ? NewFolder("machine-data") : user;
  const std::string file = folder + "/kestrow-platform/classes.reg";
  Lines words = {REGSVR_PROGRAM, TAVLET_MODULE};
  if (row.machine) words.insert(words.begin() + 1, {"--machine", folder});
  {
    std::unique_ptr<kp::registry::MachineRegistryScope> scope;
    if (row.machine) scope = std::make_unique<kp::registry::MachineRegistryScope>(folder, folder);
    ASSERT_EQ(kp::registry::SetStringValue(HKEY_CLASSES_ROOT, "Unrelated\\Key", "", "kept"), ERROR_SUCCESS);
    // Longer than regsvr's failure line, which a limit below the file's
    // size must leave room for.
    ASSERT_EQ(kp::registry::SetStringValue(HKEY_CLASSES_ROOT, "Unrelated\\Key", "Long", std::string(300, 'k')),
              ERROR_SUCCESS);
  }
  const std::vector<BYTE> before = FileBytes(file);
  ASSERT_FALSE(before.empty());
  const Lines files = Listing(folder);

  const ProgramRun run = write_failures::RunWithWritesFailing(row.failure(before.size()), folder, words);
  EXPECT_EQ(run.status, 1) << Describe(run);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(run.err.rfind("regsvr: DllRegisterServer failed: 0x8004020", 0), 0u) << run.err;
  EXPECT_EQ(Listing(folder), files) << "no temporary file is left";
  const std::vector<BYTE> after = FileBytes(file);
  if (row.changesNothing) {
    EXPECT_EQ(after, before);
  }

  // What was written is part of the registration, and the unrelated key is
  // as it was; registering again completes it.
  const ProgramRun again = kp::testing::RunProgram(words);
  ASSERT_EQ(again.status, 0) << Describe(again);
  kp::registry::RegistryKey partial;
  kp::registry::RegistryKey whole;
  ASSERT_TRUE(Parse(after, partial));
  ASSERT_TRUE(Parse(FileBytes(file), whole));
  EXPECT_TRUE(Within(partial, whole));
  const kp::registry::RegistryKey* kept = partial.Find("Unrelated");
  ASSERT_NE(kept, nullptr);
  ASSERT_NE(kept->Find("Key"), nullptr);
  EXPECT_EQ(kept->Find("Key")->values.at("").text, "kept");
}

TEST(ToolWriteFailures, RegistrationCutShortByAFileSizeLimitKeepsTheRegistryFileWhole) {
  const RegistrationCase rows[] = {
      {"user's file, limit below its size", false, [](std::uint64_t old) { return WriteFailure::SizeLimit(old - 1); },
       true},
      {"user's file, limit part-way", false, [](std::uint64_t old) { return WriteFailure::SizeLimit(old + 1200); },
       false},
      {"machine-wide file, limit below its size", true,
       [](std::uint64_t old) { return WriteFailure::SizeLimit(old - 1); }, true},
      {"machine-wide file, limit part-way", true, [](std::uint64_t old) { return WriteFailure::SizeLimit(old + 900); },
       false},
  };
  for (const RegistrationCase& row : rows) CheckRegistration(row);
}

TEST(ToolWriteFailures, RegistrationOnAFullDiskKeepsTheRegistryFileWhole) {
  if (const std::string& reason = write_failures::SmallDiskUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  const RegistrationCase rows[] = {
      {"user's file", false, [](std::uint64_t) { return WriteFailure::FullDisk(); }, true},
      {"machine-wide file", true, [](std::uint64_t) { return WriteFailure::FullDisk(); }, true},
  };
  for (const RegistrationCase& row : rows) CheckRegistration(row);
}

}  // namespace
