// The sample shapes file people without game data try the editor with: it
// must read through the same code as a real file and show real pictures.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "editor/shapes/image_pixels.h"
#include "editor/shapes/pixel_expansion.h"
#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "editor/shapes/shapes_file_open.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {

class SampleFile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    m_path = shapes_tests::TempPath("sample.shp2");
    sample_shapes::MakeSampleShapes().WriteFile(m_path);
  }
  static std::vector<BYTE> ReadImage(CFile& file, int set, int image) {
    std::vector<BYTE> stored(static_cast<std::size_t>(KindOfSet(set).ImageBytes()));
    SeekImagePixels(file, SetHeaderNumbers[static_cast<std::size_t>(set)], image);
    file.Read(stored.data(), static_cast<UINT>(stored.size()));
    return stored;
  }
  static std::string m_path;
};
std::string SampleFile::m_path;

TEST_F(SampleFile, HasTheExpectedSizeAndBothPaletteSizes) {
  CFile file;
  ShapesFileOpenResult opened = OpenShapesFile(file, m_path.c_str(), ShapesFileUse::LoadSet);
  ASSERT_TRUE(opened.opened);
  EXPECT_TRUE(opened.expectedSize);
  std::multiset<LONG> counts;
  for (int set = 0; set < kSetCount; ++set) {
    SetPalette palette{};
    counts.insert(ReadSetPalette(file, SetHeaderNumbers[static_cast<std::size_t>(set)], palette, FALSE));
  }
  EXPECT_EQ(counts.count(256), 4u);
  EXPECT_EQ(counts.count(231), 4u);
}

TEST_F(SampleFile, ThirtyDifferentTexturesPerSetEachAPictureNotAFlatColour) {
  CFile file(m_path.c_str(), CFile::modeRead);
  for (int set = 0; set < 4; ++set) {
    std::set<std::vector<BYTE>> distinct;
    for (int image = 0; image < kTextureSlotCount; ++image) {
      const std::vector<BYTE> stored = ReadImage(file, set, image);
      distinct.insert(stored);
      const std::set<BYTE> colours(stored.begin(), stored.end());
      EXPECT_GE(colours.size(), 6u) << "set " << set << " image " << image;
      EXPECT_LE(*std::max_element(stored.begin(), stored.end()), kHighestShownIndex)
          << "every index is one the editor shows as itself";
    }
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kTextureSlotCount)) << "set " << set;
  }
}

TEST_F(SampleFile, LandscapesHaveSkyAboveAndLandBelow) {
  CFile file(m_path.c_str(), CFile::modeRead);
  // Sky, clouds and the sun or moon are ramps 0, 1 and 5 of a landscape's
  // palette; the land below is ramps 2, 3, 4 and 6.
  auto rampOf = [](BYTE index) { return index / sample_shapes::kShades; };
  for (int set = 4; set < kSetCount; ++set) {
    SetPalette palette{};
    ReadSetPalette(file, SetHeaderNumbers[static_cast<std::size_t>(set)], palette, FALSE);
    const std::vector<BYTE> stored = ReadImage(file, set, 0);
    const std::size_t topRow = static_cast<std::size_t>(kLandscapeHeight - 1) * kLandscapeWidth;
    for (std::size_t x = 0; x < static_cast<std::size_t>(kLandscapeWidth); ++x) {
      const int top = rampOf(stored[topRow + x]);
      const int bottom = rampOf(stored[x]);
      ASSERT_TRUE(top == 0 || top == 1 || top == 5) << "set " << set << " column " << x;
      ASSERT_TRUE(bottom == 2 || bottom == 3 || bottom == 4 || bottom == 6)
          << "set " << set << " column " << x;
    }
    std::vector<DWORD> pixels(stored.size());
    ExpandRowOrder(pixels.data(), stored.data(), palette, kLandscapeWidth, kLandscapeHeight);
    const std::set<DWORD> colours(pixels.begin(), pixels.end());
    EXPECT_GE(colours.size(), 40u) << "set " << set;
  }
}

TEST(SampleTextures, TileWithoutSeams) {
  // A texture repeats along a wall: the step from its last column to its
  // first must look like the steps between its own neighbouring columns
  // (panel edges meeting there may make it a little larger than any of
  // them, a seam in the noise makes it many times larger), and the same for
  // rows.
  for (int set = 0; set < 4; ++set) {
    const auto textures = sample_shapes::Textures(set);
    for (std::size_t i = 0; i < textures.size(); ++i) {
      std::vector<double> value(128 * 128);
      for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
          const sample_shapes::Paint p = textures[i](x, y);
          value[static_cast<std::size_t>(y * 128 + x)] = p.ramp * 2.0 + std::clamp(p.shade, 0.0, 1.0);
        }
      auto at = [&](int x, int y) { return value[static_cast<std::size_t>(y * 128 + x)]; };
      auto columnStep = [&](int a, int b) {
        double sum = 0;
        for (int y = 0; y < 128; ++y) sum += std::abs(at(a, y) - at(b, y));
        return sum;
      };
      auto rowStep = [&](int a, int b) {
        double sum = 0;
        for (int x = 0; x < 128; ++x) sum += std::abs(at(x, a) - at(x, b));
        return sum;
      };
      double largestColumnStep = 0, largestRowStep = 0;
      for (int k = 0; k < 127; ++k) {
        largestColumnStep = std::max(largestColumnStep, columnStep(k, k + 1));
        largestRowStep = std::max(largestRowStep, rowStep(k, k + 1));
      }
      EXPECT_LE(columnStep(127, 0), largestColumnStep * 1.5) << "set " << set << " texture " << i;
      EXPECT_LE(rowStep(127, 0), largestRowStep * 1.5) << "set " << set << " texture " << i;
    }
  }
}

}  // namespace
