// The editor's writes failing part-way: Patch, and Save As of a slot and of
// the palette picture, each in a child process of the test whose writes end
// at a file size limit or on a full disk, with the real main dialog
// offscreen.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "editor/ui/editor_ids.h"
#include "platform/gdi/gdi.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"
#include "tests/editor/editor_journey.h"
#include "tests/write_failures/failing_writes.h"
#include "tests/write_failures/written_prefix.h"

namespace editor_journey {
namespace {

using write_failures::ChildOutcome;
using write_failures::ChildWork;
using write_failures::Listing;
using write_failures::NewFolder;
using write_failures::WriteFailure;
using write_failures::WrittenRun;

std::string DiskFull(const std::string& path) { return "Disk full while accessing " + path + "."; }

// Runs a command of the editor in the child and tells what it showed and
// what it left behind: each message as "caption: text", then a line for
// each thing the command should have released and did not (a file of
// `folder` still open, the wait cursor, a GDI object).
std::vector<std::string> CommandOutcome(const std::string& folder, const std::function<void()>& command,
                                        kp::testing::ScriptedPrompts& prompts) {
  const int objects = kp::gdi::LiveObjectCount();
  command();
  std::vector<std::string> lines;
  for (const auto& box : prompts.MessageBoxes()) lines.push_back(box.caption + ": " + box.text);
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (target.rfind(folder + "/", 0) == 0) lines.push_back("left open: " + target);
  }
  if (::GetCursor() != ::LoadCursor(nullptr, IDC_ARROW)) lines.push_back("the cursor is not the arrow");
  if (kp::gdi::LiveObjectCount() != objects)
    lines.push_back("GDI objects: " + std::to_string(objects) + " before, " +
                    std::to_string(kp::gdi::LiveObjectCount()) + " after");
  return lines;
}

class EditorWriteFailures : public EditorJourney {
 protected:
  // The framework names the program in its message boxes.
  static std::string Caption() { return std::filesystem::read_symlink("/proc/self/exe").filename(); }

  struct PatchCase {
    const char* what;
    int from;  // the set loaded into the slots
    int into;  // the set patched with them
    // The failure, from where the set's images lie.
    std::function<WriteFailure(const sample_shapes::BlockLayout&)> failure;
    // Images of `into` from this one on stored as zeros, which a full disk
    // holds as holes.
    int zeroFrom = -1;
  };
  // Loads set `from` into the slots and patches set `into` with them in a
  // child whose writes fail, then checks the message and the file.
  void CheckPatch(const PatchCase& row);

  // Which picture is saved: a bitmap dropped on a texture slot, or the
  // palette picture in the preview.
  enum class Saved { SlotPicture, PalettePicture };
  struct SaveCase {
    const char* what;
    Saved saved;
    WriteFailure failure;
    bool earlierFile;  // a file of that name is there before
  };
  void CheckSaveAs(const SaveCase& row);
};

void EditorWriteFailures::CheckPatch(const PatchCase& row) {
  SCOPED_TRACE(row.what);
  sample_shapes::ShapesFileBuilder builder;
  const SetKind& kind = KindOfSet(row.into);
  if (row.zeroFrom >= 0)
    for (int image = row.zeroFrom; image < kind.imageCount; ++image)
      builder.SetImagePixels(row.into, image, std::vector<BYTE>(static_cast<std::size_t>(kind.ImageBytes()), 0));
  const std::string folder = NewFolder("patch");
  const std::string path = folder + "/shapes.shp2";
  const std::string reference = NewFolder("patch-reference") + "/shapes.shp2";
  builder.WriteFile(path);
  builder.WriteFile(reference);
  const WriteFailure failure = row.failure(builder.SetLayout(row.into));
  const std::vector<BYTE> before = FileBytes(path);

  ChildOutcome outcome;
  WithEditor([&](CJourneyDlg& dlg) {
    SelectShapesFile(dlg, path);
    ChooseSet(dlg, row.from);
    ClickItem(dlg, IDC_LOAD_SET);
    ChooseSet(dlg, row.into);
    outcome = write_failures::WithWritesFailing(failure, folder, [&] {
      kp::testing::ScriptedPrompts prompts;
      prompts.AnswerMessageBox(IDOK);
      return CommandOutcome(
          folder, [&] { ClickItem(dlg, IDC_PATCH_SHAPES_FILE); }, prompts);
    });
    // The same patch, not cut short, of a copy: the bytes it writes.
    SelectShapesFile(dlg, reference);
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
  });
  ASSERT_TRUE(outcome.done) << outcome.failure;
  EXPECT_EQ(outcome.lines, std::vector<std::string>{Caption() + ": " + DiskFull(path)});

  std::vector<WrittenRun> stream;
  for (LONGLONG at : builder.SetLayout(row.into).pixels)
    stream.push_back({static_cast<std::uint64_t>(at), static_cast<std::uint64_t>(kind.ImageBytes())});
  ASSERT_TRUE(std::is_sorted(stream.begin(), stream.end(),
                             [](const WrittenRun& a, const WrittenRun& b) { return a.position < b.position; }));
  const std::uint64_t cut = failure.fullDisk
                                ? write_failures::CutAtFirstHole(stream, before, write_failures::DiskPageSize())
                                : write_failures::CutAtSizeLimit(stream, failure.sizeLimit);
  const std::vector<BYTE> full = FileBytes(reference);
  EXPECT_NE(full, before) << "the patch changes the file";
  EXPECT_TRUE(write_failures::HoldsWrittenPrefix(before, full, stream, cut, FileBytes(path)));
  EXPECT_EQ(Listing(folder), std::vector<std::string>{"shapes.shp2"});
}

DWORD Ramp(int x, int y) { return static_cast<DWORD>((x * 2) << 16 | (y * 2) << 8 | ((x + y) & 0xFF)); }

void EditorWriteFailures::CheckSaveAs(const SaveCase& row) {
  SCOPED_TRACE(row.what);
  sample_shapes::ShapesFileBuilder builder;
  const std::string shapes = WriteShapesFile(builder);
  const std::string bitmap = WriteBitmapFile("ramp.bmp", 128, 128, &Ramp);
  const std::vector<BYTE> earlier(3000, 0x5A);
  const std::string folder = NewFolder("save-as");
  const std::string target = folder + "/saved.bmp";
  if (row.earlierFile) sample_shapes::WriteBytes(target, earlier);

  ChildOutcome outcome;
  WithEditor([&](CJourneyDlg& dlg) {
    SelectShapesFile(dlg, shapes);
    CTavlet* control = &dlg.m_slot[4];
    if (row.saved == Saved::PalettePicture) {
      ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP);
      control = &dlg.m_wndPreview;
    } else {
      ASSERT_TRUE(DropOn(*control, bitmap));
    }
    outcome = write_failures::WithWritesFailing(row.failure, folder, [&] {
      kp::testing::ScriptedPrompts prompts;
      prompts.AnswerFileDialog(target).AnswerMessageBox(IDOK);
      return CommandOutcome(
          folder,
          [&] {
            kp::testing::AnswerNextPopupMenu("Save &As...");
            kp::testing::RightClickAt(control->m_hWnd, POINT{5, 5});
            kp::testing::ProcessEvents();
          },
          prompts);
    });
  });
  ASSERT_TRUE(outcome.done) << outcome.failure;
  EXPECT_EQ(outcome.lines, std::vector<std::string>{Caption() + ": " + DiskFull(target)});
  if (row.earlierFile) {
    EXPECT_EQ(FileBytes(target), earlier) << "the earlier file is whole";
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"saved.bmp"}) << "no temporary file is left";
  } else {
    EXPECT_EQ(Listing(folder), std::vector<std::string>{}) << "neither the file nor a temporary one is left";
  }
}

std::uint64_t At(LONGLONG position) { return static_cast<std::uint64_t>(position); }

TEST_F(EditorWriteFailures, PatchCutShortByAFileSizeLimitWritesNoByteBeyondIt) {
  // clang-format off
  const PatchCase rows[] = {
      {"at the first image's first byte", 1, 0,
       [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[0])); }},
      {"at texture 3's first byte", 1, 0,
       [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[3])); }},
      {"inside texture 5", 2, 0,
       [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[5] + 5000)); }},
      {"inside the landscape", 4, 6,
       [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[0] + 70001)); }},
  };
  // clang-format on
  for (const PatchCase& row : rows) CheckPatch(row);
}

TEST_F(EditorWriteFailures, PatchOnAFullDiskStopsAtTheFirstImageThatNeedsRoom) {
  if (const std::string& reason = write_failures::SmallDiskUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  // A sparse file: the images stored as zeros are holes that need room
  // when they are written; the rest of the file has its room already.
  CheckPatch({"textures 3 to 29 stored as holes", 1, 0, [](const auto&) { return WriteFailure::FullDisk(); }, 3});
  CheckPatch({"the landscape stored as holes", 5, 7, [](const auto&) { return WriteFailure::FullDisk(); }, 0});
}

TEST_F(EditorWriteFailures, SaveAsCutShortByAFileSizeLimitLeavesTheEarlierFileWhole) {
  // clang-format off
  const SaveCase rows[] = {
      {"slot picture, limit 0", Saved::SlotPicture, WriteFailure::SizeLimit(0), true},
      {"slot picture, limit inside the headers", Saved::SlotPicture, WriteFailure::SizeLimit(30), true},
      {"slot picture, limit inside the pixels, no earlier file", Saved::SlotPicture,
       WriteFailure::SizeLimit(20000), false},
      {"palette picture, limit inside the pixels", Saved::PalettePicture, WriteFailure::SizeLimit(100000),
       true},
  };
  // clang-format on
  for (const SaveCase& row : rows) CheckSaveAs(row);
}

TEST_F(EditorWriteFailures, SaveAsOnAFullDiskLeavesTheEarlierFileWhole) {
  if (const std::string& reason = write_failures::SmallDiskUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  // clang-format off
  const SaveCase rows[] = {
      {"slot picture, no room", Saved::SlotPicture, WriteFailure::FullDisk(), true},
      {"slot picture, room for part of it, no earlier file", Saved::SlotPicture, WriteFailure::FullDisk(8192),
       false},
      {"palette picture, room for part of it", Saved::PalettePicture, WriteFailure::FullDisk(65536), true},
  };
  // clang-format on
  for (const SaveCase& row : rows) CheckSaveAs(row);
}

}  // namespace
}  // namespace editor_journey
