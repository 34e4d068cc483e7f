#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "editor/import/reference/reference_conversion.h"
#include "editor/import/set_patch.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_images.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/tests/expected_pictures.h"
#include "editor/shapes/tests/shapes_test_support.h"
#include "platform/gdi/gdi.h"
#include "platform/testing/file_contents.h"

namespace {
using sample_shapes::ShapesFileBuilder;
using shapes_tests::WriteShapes;

constexpr UINT kPatchFlags = CFile::modeReadWrite | CFile::shareExclusive;

// Patches set `set` of the file at `path` from `sourceOf`, as the editor does.
SetPatchResult PatchFile(const std::string& path, int set, BOOL noGamma, const PatchSourceBitmap& sourceOf) {
  CFile file(path.c_str(), kPatchFlags);
  return PatchSetImages(file, set, noGamma, sourceOf);
}

using kp::testing::ReadFileBytes;

// A bitmap whose pixel (x, y), y = 0 at the top, is rgbAt(x, y).
kp::gdi::ScopedBitmap MakeBitmap(int width, int height, DWORD (*rgbAt)(int, int)) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>((height - 1 - y) * width + x)] = rgbAt(x, y);
  return kp::gdi::ScopedBitmap(kp::gdi::CreateBitmapFromPixels(width, height, 32, pixels));
}

DWORD Stripes(int x, int y) { return PaletteEntry(static_cast<BYTE>(x * 3), static_cast<BYTE>(y * 5), 90); }
DWORD Rings(int x, int y) { return PaletteEntry(static_cast<BYTE>((x * x + y * y) / 64), 200, static_cast<BYTE>(y)); }

// What the plain conversion makes of `bitmap` for set `set`'s palette.
std::vector<BYTE> ReferenceIndices(HBITMAP bitmap, const ShapesFileBuilder& builder, int set, bool gamma) {
  const SetKind& kind = KindOfSet(set);
  const auto& block = builder.Block(SetHeaderNumbers[static_cast<std::size_t>(set)]);
  BITMAP description{};
  GetObject(bitmap, sizeof description, &description);
  kp::gdi::ScopedMemoryDC dc(nullptr);
  kp::gdi::ScopedSelectObject select(dc.get(), bitmap);
  std::vector<BYTE> indices(static_cast<std::size_t>(kind.ImageBytes()));
  reference::ConvertBitmapToPalette(indices.data(), kind.width, kind.height, dc.get(), description.bmWidth,
                                    description.bmHeight, kind.order == PixelOrder::BottomUpRows,
                                    shapes_tests::ExpectedPalette(block, gamma), block.colourCount);
  return indices;
}

using shapes_tests::ExpectChangedOnlyInside;
using shapes_tests::Slice;

TEST(PatchSetImages, WritesEachSourceAsItsConversionAndNothingElse) {
  struct Row {
    int set;
    BOOL noGamma;
  } rows[] = {{0, FALSE}, {3, TRUE}, {5, FALSE}, {6, TRUE}};
  kp::gdi::ScopedBitmap wide = MakeBitmap(300, 200, &Stripes);
  kp::gdi::ScopedBitmap small = MakeBitmap(64, 64, &Rings);
  for (const Row& row : rows) {
    ShapesFileBuilder builder;
    std::vector<BYTE> before = builder.Build();
    std::string path = WriteShapes("patch", before);
    const SetKind& kind = KindOfSet(row.set);
    std::map<int, HBITMAP> sources = IsLandscapeSet(row.set)
                                         ? std::map<int, HBITMAP>{{0, wide.get()}}
                                         : std::map<int, HBITMAP>{{2, small.get()}, {7, wide.get()}, {29, small.get()}};
    SetPatchResult result;
    std::vector<PatchImageReport> reported;
    {
      CFile file(path.c_str(), kPatchFlags);
      result = PatchSetImages(
          file, row.set, row.noGamma,
          [&](int image) {
            auto it = sources.find(image);
            return it == sources.end() ? HBITMAP{} : it->second;
          },
          [&](const PatchImageReport& report) { reported.push_back(report); });
    }
    EXPECT_TRUE(result.sourceDcCreated);
    EXPECT_EQ(result.colourCount, row.set % 2 == 0 ? 256 : 231);
    ASSERT_EQ(result.images.size(), static_cast<std::size_t>(kind.imageCount));
    ASSERT_EQ(reported.size(), result.images.size()) << "each image reported as it is done";

    std::vector<BYTE> after = ReadFileBytes(path);
    std::vector<std::pair<LONGLONG, LONGLONG>> written;
    for (int image = 0; image < kind.imageCount; ++image) {
      const PatchImageReport& report = result.images[static_cast<std::size_t>(image)];
      EXPECT_EQ(reported[static_cast<std::size_t>(image)].outcome, report.outcome);
      EXPECT_EQ(report.image, image);
      auto it = sources.find(image);
      if (it == sources.end()) {
        EXPECT_EQ(report.outcome, PatchImageOutcome::SkippedEmpty) << image;
        continue;
      }
      const LONGLONG at = builder.SetLayout(row.set).pixels[static_cast<std::size_t>(image)];
      EXPECT_EQ(report.outcome, PatchImageOutcome::Written) << image;
      EXPECT_EQ(report.position, at);
      written.push_back({at, kind.ImageBytes()});
      EXPECT_EQ(Slice(after, at, kind.ImageBytes()), ReferenceIndices(it->second, builder, row.set, !row.noGamma))
          << "set " << row.set << " image " << image;
    }
    ExpectChangedOnlyInside(before, after, written);
  }
}

TEST(PatchSetImages, PatchingWhatWasLoadedRewritesTheSameIndicesSaveLowerTwinsAndIndicesAbove230) {
  for (BOOL noGamma : {TRUE, FALSE}) {
    ShapesFileBuilder builder;
    std::vector<BYTE> before = builder.Build();
    std::string path = WriteShapes("round-trip", before);
    std::vector<kp::gdi::ScopedBitmap> loaded;
    {
      CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
      ReadSetImages(file, 0, noGamma, [&](const SetImagePixels& p) {
        loaded.emplace_back(kp::gdi::CreateBitmapFromPixels(
            p.width, p.height, 32,
            std::span<const std::uint32_t>(p.pixels, static_cast<std::size_t>(p.width * p.height))));
      });
    }
    ASSERT_EQ(loaded.size(), 30u);
    {
      CFile file(path.c_str(), kPatchFlags);
      PatchSetImages(file, 0, noGamma, [&](int image) { return loaded[static_cast<std::size_t>(image)].get(); });
    }
    std::vector<BYTE> after = ReadFileBytes(path);

    // The index a decoded pixel converts back to: the lowest entry with the
    // colour it was shown in.
    const SetPalette palette = shapes_tests::ExpectedPalette(builder.Set(0), !noGamma);
    auto lowestTwin = [&](BYTE stored) {
      const DWORD shown = palette[std::min<BYTE>(stored, 230)];
      for (int i = 0; i < 256; ++i)
        if (palette[static_cast<std::size_t>(i)] == shown) return static_cast<BYTE>(i);
      return stored;
    };
    std::vector<std::pair<LONGLONG, LONGLONG>> images;
    int differing = 0;
    for (int image = 0; image < 30; ++image) {
      const LONGLONG at = builder.SetLayout(0).pixels[static_cast<std::size_t>(image)];
      images.push_back({at, kTextureBytes});
      for (LONGLONG i = at; i < at + kTextureBytes; ++i) {
        const BYTE stored = before[static_cast<std::size_t>(i)];
        ASSERT_EQ(after[static_cast<std::size_t>(i)], lowestTwin(stored)) << "image " << image << " byte " << i - at;
        differing += after[static_cast<std::size_t>(i)] != stored;
      }
    }
    EXPECT_GT(differing, 0) << "the pattern holds indices above 230, which come back as their lowest twin";
    ExpectChangedOnlyInside(before, after, images);
  }
}

TEST(PatchSetImages, AnEmptyLandscapeIsReportedAndLeavesTheFileAlone) {
  ShapesFileBuilder builder;
  std::vector<BYTE> before = builder.Build();
  std::string path = WriteShapes("empty-landscape", before);
  const SetPatchResult result = PatchFile(path, 4, FALSE, [](int) { return HBITMAP{}; });
  ASSERT_EQ(result.images.size(), 1u);
  EXPECT_EQ(result.images[0].outcome, PatchImageOutcome::SkippedEmpty);
  EXPECT_EQ(result.images[0].position, -1);
  EXPECT_EQ(ReadFileBytes(path), before);
}

TEST(PatchSetImages, AnImageWhoseBytesWouldLeaveTheFileIsNotWrittenAndTheOthersAre) {
  ShapesFileBuilder builder;
  std::vector<BYTE> before = builder.Build();
  const auto& layout = builder.SetLayout(1);
  const LONGLONG length = static_cast<LONGLONG>(before.size());
  // Each damaged image gets an image header of its own, placed by its entry
  // of the offset table, whose field 0 puts the pixels where the row says.
  // clang-format off
  const struct {
    int image;
    LONGLONG header;
    SHORT field0;
  } damaged[] = {
      {3, length - 26, 0},          // the pixels would begin past the end
      {5, length - 32 - 100, 0},    // they would begin inside and run past the end
      {7, 100, -32768},             // they would begin before the start
  };
  // clang-format on
  for (const auto& d : damaged) {
    sample_shapes::PutBigEndian32(before, layout.imageTable + 4 * d.image, static_cast<LONG>(d.header - layout.base));
    sample_shapes::PutBigEndian16(before, d.header, d.field0);
  }
  std::string path = WriteShapes("outside", before);
  kp::gdi::ScopedBitmap bitmap = MakeBitmap(128, 128, &Stripes);

  const SetPatchResult result =
      PatchFile(path, 1, FALSE, [&](int image) { return image % 2 == 1 ? bitmap.get() : HBITMAP{}; });
  std::vector<std::pair<LONGLONG, LONGLONG>> written;
  for (int image = 1; image < 30; image += 2) {
    const PatchImageReport& report = result.images[static_cast<std::size_t>(image)];
    if (image == 3 || image == 5 || image == 7) {
      EXPECT_EQ(report.outcome, PatchImageOutcome::OutsideFile) << image;
    } else {
      EXPECT_EQ(report.outcome, PatchImageOutcome::Written) << image;
      written.push_back({report.position, kTextureBytes});
    }
  }
  EXPECT_EQ(written.size(), 12u);
  ExpectChangedOnlyInside(before, ReadFileBytes(path), written);
}

TEST(PatchSetImages, AHeaderThatCannotBeReadStopsThePatchBeforeAnythingIsWritten) {
  ShapesFileBuilder builder;
  std::vector<BYTE> before = builder.Build();
  // Image 20's entry of the offset table points past the end of the file.
  sample_shapes::PutBigEndian32(before, builder.SetLayout(2).imageTable + 4 * 20, 0x7FFFFFF0);
  std::string path = WriteShapes("broken-header", before);
  kp::gdi::ScopedBitmap bitmap = MakeBitmap(128, 128, &Rings);

  int reports = 0;
  {
    CFile file(path.c_str(), kPatchFlags);
    shapes_tests::ExpectFileException(
        [&] {
          PatchSetImages(
              file, 2, FALSE, [&](int) { return bitmap.get(); }, [&](const PatchImageReport&) { ++reports; });
        },
        CFileException::endOfFile, path);
  }
  EXPECT_EQ(reports, 0);
  EXPECT_EQ(ReadFileBytes(path), before) << "slots 0 to 19 were not written either";

  // The same header under an empty slot is never read.
  const SetPatchResult result =
      PatchFile(path, 2, FALSE, [&](int image) { return image == 20 ? HBITMAP{} : bitmap.get(); });
  EXPECT_EQ(result.images[20].outcome, PatchImageOutcome::SkippedEmpty);
  EXPECT_EQ(result.images[21].outcome, PatchImageOutcome::Written);
}

TEST(PatchSetImages, ABitmapThatCannotBeSelectedIsAFailedConversion) {
  ShapesFileBuilder builder;
  std::vector<BYTE> before = builder.Build();
  std::string path = WriteShapes("selected-elsewhere", before);
  kp::gdi::ScopedBitmap bitmap = MakeBitmap(128, 128, &Rings);
  kp::gdi::ScopedMemoryDC elsewhere(nullptr);
  kp::gdi::ScopedSelectObject held(elsewhere.get(), bitmap.get());
  ASSERT_TRUE(held.ok());

  const SetPatchResult result = PatchFile(path, 4, FALSE, [&](int) { return bitmap.get(); });
  EXPECT_EQ(result.images[0].outcome, PatchImageOutcome::ConversionFailed);
  EXPECT_EQ(ReadFileBytes(path), before);
}

}  // namespace
