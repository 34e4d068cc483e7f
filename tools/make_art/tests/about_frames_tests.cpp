#include "tools/make_art/about_frames.h"

#include <gtest/gtest.h>

#include <set>

#include "control/art/control_art.h"
#include "editor/ui/art/editor_art.h"
#include "platform/gdi/dib_decoder.h"
#include "tools/make_art/art_resources.h"
#include "tools/make_art/packed_dib.h"

namespace make_art {
namespace {

class AboutFramesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { m_frames = new AboutFrames(MakeAboutFrames()); }
  static void TearDownTestSuite() {
    delete m_frames;
    m_frames = nullptr;
  }
  static AboutFrames* m_frames;
};
AboutFrames* AboutFramesTest::m_frames = nullptr;

// The pixels drawn come back unchanged through the RLE8 encoder and the
// platform's decoder, for every frame.
TEST_F(AboutFramesTest, EveryFrameRoundTripsThroughThePlatformDecoder) {
  for (int frame = 0; frame < kAboutFrameCount; ++frame) {
    const IndexedImage& drawn = m_frames->frames[frame];
    ASSERT_EQ(drawn.width, kAboutFrameWidth);
    ASSERT_EQ(drawn.height, kAboutFrameHeight);
    const auto decoded = kp::gdi::DecodePackedDib(MakeRle8Dib(drawn, m_frames->palette));
    ASSERT_TRUE(decoded) << frame;
    ASSERT_EQ(decoded->pixels.size(), drawn.pixels.size());
    int mismatches = 0;
    for (int y = 0; y < drawn.height; ++y)
      for (int x = 0; x < drawn.width; ++x)
        mismatches += decoded->pixels[static_cast<std::size_t>(drawn.height - 1 - y) * drawn.width + x] !=
                      ToXrgb(m_frames->palette[drawn.At(x, y)]);
    EXPECT_EQ(mismatches, 0) << "frame " << frame;
  }
}

TEST_F(AboutFramesTest, ConsecutiveFramesDifferAndUseARichPalette) {
  for (int frame = 1; frame < kAboutFrameCount; ++frame) {
    const auto& a = m_frames->frames[frame - 1].pixels;
    const auto& b = m_frames->frames[frame].pixels;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < a.size(); ++i) changed += a[i] != b[i];
    EXPECT_GT(changed, 500u) << "frames " << frame - 1 << " and " << frame << " should visibly differ";
  }
  std::set<std::uint8_t> used;
  for (const IndexedImage& image : m_frames->frames) used.insert(image.pixels.begin(), image.pixels.end());
  EXPECT_GT(used.size(), 200u) << "gradients need most of the 256 entries";
}

TEST_F(AboutFramesTest, FramesCompressWell) {
  for (int frame = 0; frame < kAboutFrameCount; ++frame) {
    const std::vector<std::uint8_t> dib = MakeRle8Dib(m_frames->frames[frame], m_frames->palette);
    EXPECT_LT(dib.size() - 40 - 1024, kAboutFrameWidth * kAboutFrameHeight / 2u) << frame;
  }
}

// The libraries hold what the generator draws now: the build ran it and
// compiled its output.
TEST(ArtLibraries, HoldTheGeneratorsCurrentOutput) {
  const std::vector<NamedBytes> editor = EditorArtResources();
  ASSERT_EQ(editor.size(), 9u);
  for (int frame = 0; frame < kAboutFrameCount; ++frame) {
    const std::span<const BYTE> built = AboutFrameDib(kAboutFrameResourceIds[frame]);
    EXPECT_TRUE(std::equal(built.begin(), built.end(), editor[frame].bytes.begin(), editor[frame].bytes.end()))
        << editor[frame].name;
  }
  const std::span<const BYTE> icon32 = ProgramIconImage(32), icon16 = ProgramIconImage(16);
  EXPECT_TRUE(std::equal(icon32.begin(), icon32.end(), editor[7].bytes.begin(), editor[7].bytes.end()));
  EXPECT_TRUE(std::equal(icon16.begin(), icon16.end(), editor[8].bytes.begin(), editor[8].bytes.end()));
  const std::vector<NamedBytes> control = ControlArtResources();
  ASSERT_EQ(control.size(), 1u);
  const std::span<const BYTE> toolbox = ToolboxBitmapDib();
  EXPECT_TRUE(std::equal(toolbox.begin(), toolbox.end(), control[0].bytes.begin(), control[0].bytes.end()));
}

}  // namespace
}  // namespace make_art
