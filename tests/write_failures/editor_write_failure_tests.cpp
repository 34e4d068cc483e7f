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

namespace editor_journey {
namespace {

using write_failures::ChildOutcome;
using write_failures::ChildWork;
using write_failures::Listing;
using write_failures::NewFolder;
using write_failures::WriteFailure;

std::string DiskFull(const std::string& path) { return "Disk full while accessing " + path + "."; }

// A patch that fails part-way writes the old bytes back and says so.
std::string PatchFailed(const std::string& failing, const std::string& shapes) {
  return DiskFull(failing) + " Nothing in " + shapes + " was changed.";
}

// Room on a small disk for the journal of thirty textures (a little under
// 500 KiB), but not for every image of a set stored as holes besides.
constexpr std::uint64_t kRoomForATextureJournal = 600 << 10;
constexpr std::uint64_t kRoomForALandscapeJournal = 200 << 10;

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
    // The write that fails is the journal's, before the file is touched.
    bool journalFails = false;
  };
  // Loads set `from` into the slots and patches set `into` with them in a
  // child whose writes fail, then checks the message and that the file is
  // as it was.
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
  WithEditor(path, [&](CJourneyDlg& dlg) {
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
  const std::string failing = row.journalFails ? path + ".kestrow-journal" : path;
  EXPECT_EQ(outcome.lines, std::vector<std::string>{Caption() + ": " + PatchFailed(failing, path)});
  EXPECT_NE(FileBytes(reference), before) << "the patch changes the file";
  EXPECT_EQ(FileBytes(path), before) << "the file is as it was";
  EXPECT_EQ(Listing(folder), std::vector<std::string>{"shapes.shp2"}) << "no journal is left";
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
  WithEditor(shapes, [&](CJourneyDlg& dlg) {
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

// The journal (some 500 KiB for thirty textures) is written first: a limit
// below its end stops the patch before the file is touched, a limit beyond
// it in the middle of the images written.
TEST_F(EditorWriteFailures, PatchCutShortByAFileSizeLimitLeavesTheFileAsItWas) {
  // clang-format off
  const PatchCase rows[] = {
      {"inside the journal", 1, 0,
       [](const auto&) { return WriteFailure::SizeLimit(100000); }, -1, true},
      {"at texture 3's first byte", 1, 2,
       [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[3])); }},
      {"inside texture 5", 0, 2,
       [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[5] + 5000)); }},
      {"inside the landscape", 4, 6,
       [](const auto& l) { return WriteFailure::SizeLimit(At(l.pixels[0] + 70001)); }},
  };
  // clang-format on
  for (const PatchCase& row : rows) CheckPatch(row);
}

TEST_F(EditorWriteFailures, PatchOnAFullDiskLeavesTheFileAsItWas) {
  if (const std::string& reason = write_failures::SmallDiskUnavailable(); !reason.empty()) GTEST_SKIP() << reason;
  // A sparse file: the images stored as zeros are holes that need room
  // when they are written; the rest of the file has its room already.
  // clang-format off
  const PatchCase rows[] = {
      {"no room for the journal", 1, 0, [](const auto&) { return WriteFailure::FullDisk(); }, 3, true},
      {"textures 3 to 29 stored as holes", 1, 0,
       [](const auto&) { return WriteFailure::FullDisk(kRoomForATextureJournal); }, 3},
      {"the landscape stored as holes", 5, 7,
       [](const auto&) { return WriteFailure::FullDisk(kRoomForALandscapeJournal); }, 0},
  };
  // clang-format on
  for (const PatchCase& row : rows) CheckPatch(row);
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
