// A long session: one editor dialog, hosting the real control module, run
// through five hundred rounds of every command a user has. What the process
// holds (GDI objects, file descriptors, registry keys, resident memory) is
// counted after round 50 and after round 500 and must not have grown.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "editor/shapes/set_kinds.h"
#include "editor/ui/about_dlg.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/image_finder_dlg.h"
#include "platform/gdi/handle_table.h"
#include "platform/qt/window_system.h"
#include "platform/registry/registry_api.h"
#include "platform/testing/manual_clock.h"
#include "tests/control/tavlet_calls.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

constexpr int kRounds = 500;
// Long enough for every cache, pool and lazily made object to be in place.
constexpr int kSettledRound = 50;
// Resident memory may differ by this much between the two counts without a
// leak: the allocator keeps and returns freed pages in chunks of its own
// choosing (up to its 128 KiB mmap threshold and trim threshold), and Qt's
// caches fill to their limits. Any leak of 5 KiB or more a round passes it
// in the 450 rounds between the counts (one texture's bitmap is 64 KiB, so
// one left behind would add 28 MiB); the handle counts below catch any
// leaked object exactly, whatever its size.
constexpr long kResidentSlackKiB = 2048;

struct Holdings {
  int gdiObjects = 0;
  int fileDescriptors = 0;
  int registryKeys = 0;
  long residentKiB = 0;
};

int OpenFileDescriptors() {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    static_cast<void>(entry);
    ++count;
  }
  return count;
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

Holdings Count() {
  return {kp::gdi::LiveObjectCount(), OpenFileDescriptors(), kp::registry::OpenKeyCount(), ResidentKiB()};
}

void Print(int round, const Holdings& h) {
  std::printf("after round %d: %d GDI objects, %d file descriptors, %d registry keys, %ld KiB resident\n", round,
              h.gdiObjects, h.fileDescriptors, h.registryKeys, h.residentKiB);
  std::fflush(stdout);
}

DWORD Stripes(int x, int y) { return ((x + 2 * y) / 6 % 3 == 0) ? 0x00C04020u : 0x00204080u + static_cast<DWORD>(x); }

// A dialog the round could not close fails the round, and is closed so
// that the test ends rather than waits in its modal loop.
void ExpectClosed(HWND dialog, const char* caption) {
  if (!kp::qt::IsModalLoopRunning(dialog)) return;
  ADD_FAILURE() << "the " << caption << " stayed open";
  ::SendMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

class Soak : public EditorJourney {
 protected:
  // Loads every set, hands every slot a bitmap file, patches one set and
  // draws its palette, loads an image in the Image Finder and opens and
  // closes the About box.
  void Round(CJourneyDlg& dlg, int round) {
    for (int set = 0; set < kSetCount; ++set) {
      ChooseSet(dlg, set);
      ClickItem(dlg, IDC_LOAD_SET);
    }
    for (CTavlet& slot : dlg.m_slot) ASSERT_TRUE(tavlet_calls::RecreateBitmapFromFile(slot, m_bitmap.c_str())) << round;
    ASSERT_TRUE(tavlet_calls::RecreateBitmapFromFile(dlg.m_wndLandscape, m_bitmap.c_str())) << round;

    const int set = round % kSetCount;
    ChooseSet(dlg, set);
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP);
    ASSERT_EQ(PictureOf(dlg.m_wndPreview).width, 256) << round;

    int found = 0;
    kp::testing::WhenModalWindowOpens("Image Finder", [&](HWND finder) {
      const int image = round % KindOfSet(set).imageCount;
      kp::testing::TypeText(::GetDlgItem(finder, CImageFinderDlg::IDC_FINDER_HEADER),
                            std::to_string(SetHeaderNumbers[static_cast<std::size_t>(set)]));
      kp::testing::TypeText(::GetDlgItem(finder, CImageFinderDlg::IDC_FINDER_IMAGE_NUMBER), std::to_string(image));
      kp::testing::Click(::GetDlgItem(finder, CImageFinderDlg::IDC_FINDER_GET_VALUES));
      kp::testing::Click(::GetDlgItem(finder, CImageFinderDlg::IDC_FINDER_LOAD));
      kp::testing::ProcessEvents();
      found = PictureOf(dlg.m_pImageFinder->m_wndImage).width;
      // Its OK and Cancel are not shown, and Enter would press Load again,
      // the button with the focus: Escape closes it.
      kp::testing::PressKey(finder, VK_ESCAPE);
      ExpectClosed(finder, "Image Finder");
    });
    ClickItem(dlg, IDC_IMAGE_FINDER);
    ASSERT_EQ(found, KindOfSet(set).width) << round;

    // The box's animation takes its ticks from this clock: all seven frames
    // pass at once, and OK may then close it.
    kp::testing::ManualClock clock;
    bool okEnabled = false;
    kp::testing::WhenModalWindowOpens("About Kestrow", [&](HWND about) {
      clock.Advance((CAboutDlg::kLastFrame + 1) * CAboutDlg::kFrameMilliseconds);
      okEnabled = kp::qt::IsWindowEnabled(::GetDlgItem(about, IDOK));
      kp::testing::Click(::GetDlgItem(about, IDOK));
      ExpectClosed(about, "About Kestrow");
    });
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
    kp::testing::ProcessEvents();
    ASSERT_TRUE(okEnabled) << round;
    ASSERT_EQ(clock.RunningTimers(), 0u) << "the box stopped its timer, round " << round;
  }

  std::string m_bitmap;
};

TEST_F(Soak, FiveHundredRoundsOfEveryCommandHoldNoMoreThanTheFiftieth) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  m_bitmap = WriteBitmapFile("stripes.bmp", 96, 72, &Stripes);
  Holdings settled;
  Holdings last;
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP, kp::testing::Control | kp::testing::Shift);
    ASSERT_TRUE(Visible(dlg, IDC_IMAGE_FINDER));
    for (int round = 1; round <= kRounds; ++round) {
      Round(dlg, round);
      if (HasFatalFailure()) return;
      if (round == kSettledRound) Print(round, settled = Count());
    }
    Print(kRounds, last = Count());
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
  EXPECT_NE(FileBytes(path), builder.Build()) << "Patch wrote the rounds' bitmaps";
  // Every object, descriptor and key the rounds take they give back, so
  // these stay exactly where they were.
  EXPECT_EQ(last.gdiObjects, settled.gdiObjects);
  EXPECT_EQ(last.fileDescriptors, settled.fileDescriptors);
  EXPECT_EQ(last.registryKeys, settled.registryKeys);
  EXPECT_LE(last.residentKiB, settled.residentKiB + kResidentSlackKiB);
}

}  // namespace
}  // namespace editor_journey
