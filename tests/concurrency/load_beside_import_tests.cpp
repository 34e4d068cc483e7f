// An editor's Load Set while kestrow-cli imports into the set it loads.
// Loading lets others read the file but not write it, and the import takes
// it exclusively, so a load shows the set wholly as it was before the
// import or wholly as the import left it, or is refused with the sharing
// message while the import writes; an import that comes while a load reads
// is refused and writes nothing.

#include <chrono>
#include <string>
#include <vector>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/ui/editor_ids.h"
#include "platform/testing/temp_environment.h"
#include "tests/cli/cli_process.h"
#include "tests/concurrency/two_programs.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

using Bytes = std::vector<unsigned char>;
using Slots = std::vector<Picture>;
using cli_journeys::ReadBytes;
using sample_shapes::WriteBytes;

constexpr int kRounds = 50;
constexpr char kOpenFailed[] = "Unable to open selected shapes file\nMake sure it is not in use by another application";
constexpr std::chrono::minutes kEndBound{2};

// For slots that are neither: which of the two each slot shows.
std::string DescribeSlots(const Slots& shown, const Slots& before, const Slots& after) {
  std::string text;
  for (std::size_t k = 0; k < shown.size(); ++k)
    text += "slot " + std::to_string(k) + ": " +
            (shown[k] == before[k]  ? "before"
             : shown[k] == after[k] ? "after"
                                    : "neither") +
            "\n";
  return text;
}

class LoadBesideImport : public EditorJourney {
 protected:
  static Slots SlotPictures(CJourneyDlg& dlg) {
    Slots pictures;
    for (CTavlet& slot : dlg.m_slot) pictures.push_back(PictureOf(slot));
    return pictures;
  }
};

TEST_F(LoadBesideImport, ShowsTheSetWhollyBeforeOrWhollyAfter) {
  sample_shapes::ShapesFileBuilder builder;
  const Bytes original = builder.Build();
  const std::string folder = kp::testing::TemporaryRoot() + "/beside-import";
  const std::string pictures = folder + "/pictures";
  concurrency::WriteSlotPictures(pictures, 0, kTextureSlotCount - 1, 0x00508030);
  const std::string path = folder + "/shapes.shp2";
  const std::vector<std::string> import = {"import", path, "1", pictures};
  WriteBytes(path, original);
  const kp::testing::ProgramRun reference = cli_journeys::RunKestrowCli(import);
  ASSERT_EQ(reference.status, 0) << reference.err;
  const Bytes imported = ReadBytes(path);

  concurrency::Outcomes imports;
  concurrency::Outcomes loads;
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ClickItem(dlg, IDC_LOAD_SET);
    const Slots after = SlotPictures(dlg);
    WriteBytes(path, original);
    ClickItem(dlg, IDC_LOAD_SET);
    const Slots before = SlotPictures(dlg);
    ASSERT_NE(before, after);

    for (int round = 0; round < kRounds; ++round) {
      SCOPED_TRACE("round " + std::to_string(round));
      WriteBytes(path, original);
      const auto cli = cli_journeys::StartKestrowCli(import);
      // Loads follow one another until one starts after the import ended.
      bool ended = false;
      const Slots* last = nullptr;
      do {
        ended = cli->Ended();
        if (m_prompts.ScriptDone()) m_prompts.AnswerMessageBox(IDOK);
        const std::size_t shown = m_prompts.MessageBoxes().size();
        ClickItem(dlg, IDC_LOAD_SET);
        if (m_prompts.MessageBoxes().size() > shown) {
          ASSERT_EQ(m_prompts.MessageBoxes().back().text, kOpenFailed);
          ASSERT_FALSE(ended) << "nothing holds the file once the import has ended";
          loads.Count("refused");
          continue;
        }
        const Slots now = SlotPictures(dlg);
        ASSERT_TRUE(now == before || now == after) << DescribeSlots(now, before, after);
        last = now == before ? &before : &after;
        loads.Count(now == before ? "showed the set before" : "showed the set after");
      } while (!ended);

      ASSERT_TRUE(cli->WaitForEnd(kEndBound));
      if (cli->Status() == 0) {
        ASSERT_TRUE(ReadBytes(path) == imported);
        EXPECT_EQ(last, &after) << "the load after the import shows what it wrote";
        imports.Count("wrote");
      } else {
        ASSERT_EQ(cli->Status(), 1) << cli->Err();
        EXPECT_EQ(cli->Err(),
                  "kestrow-cli: Unable to open selected shapes file. Make sure it is not in use by another "
                  "application (A sharing violation occurred while accessing " +
                      path + ".)\n");
        ASSERT_TRUE(ReadBytes(path) == original);
        EXPECT_EQ(last, &before);
        imports.Count("refused");
      }
    }
  });
  imports.Print("kestrow-cli import beside Load Set", kRounds);
  loads.Print("Load Set beside kestrow-cli import (every load)", kRounds);
}

}  // namespace
}  // namespace editor_journey
