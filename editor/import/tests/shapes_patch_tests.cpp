#include "editor/import/shapes_patch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/import/vcdiff/delta_encoder.h"
#include "editor/import/vcdiff/tests/delta_builder.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {

using sample_shapes::ShapesFileBuilder;

// Long enough for every block of the builder, short enough to be quick.
constexpr ULONGLONG kTestLength = 3000000;

ShapesLayout LayoutOf(const std::vector<BYTE>& bytes) {
  const std::string path = shapes_tests::WriteShapes("layout.shp2", bytes);
  CFile file(path.c_str(), CFile::modeRead);
  return ReadShapesLayout(file);
}

// A shapes file built in memory, with its layout as the builder laid it out
// and as Kestrow reads it.
struct TestShapes {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes;
  ShapesLayout layout;

  TestShapes() : bytes(builder.Build(kTestLength)), layout(LayoutOf(bytes)) {}

  LONGLONG Pixels(int set, int image) const {
    return builder.SetLayout(set).pixels.at(static_cast<std::size_t>(image));
  }
  LONGLONG ColourTable(int set) const { return builder.SetLayout(set).colourTable; }
  LONGLONG ImageHeader(int set, int image) const {
    return builder.SetLayout(set).imageHeaders.at(static_cast<std::size_t>(image));
  }
};

const TestShapes& Shapes() {
  static const TestShapes shapes;
  return shapes;
}

std::vector<BYTE> Changed(std::vector<BYTE> bytes, LONGLONG offset, LONGLONG count = 1) {
  for (LONGLONG i = 0; i < count; ++i) bytes[static_cast<std::size_t>(offset + i)] ^= 0x5A;
  return bytes;
}

// A plain delta, as another program would make it.
std::vector<BYTE> OthersDelta(const std::vector<BYTE>& source, const std::vector<BYTE>& target) {
  return vcdiff::EncodeSameLengthDelta(source, target, {});
}

TEST(ShapesLayout, FindsWhatTheHeadersSay) {
  const TestShapes& shapes = Shapes();
  const RegionMap map(shapes.layout);
  for (int set = 0; set < kSetCount; ++set) {
    const SetKind& kind = KindOfSet(set);
    for (int image = 0; image < kind.imageCount; ++image) {
      const int pixels = map.OwnerOf(shapes.Pixels(set, image));
      ASSERT_NE(pixels, RegionMap::kNoRegion);
      EXPECT_EQ(shapes.layout.regions[static_cast<std::size_t>(pixels)],
                (ShapesRegion{shapes.Pixels(set, image), kind.ImageBytes(), RegionKind::Pixels, set, image}));
      const int header = map.OwnerOf(shapes.ImageHeader(set, image) + 25);
      ASSERT_NE(header, RegionMap::kNoRegion);
      EXPECT_EQ(shapes.layout.regions[static_cast<std::size_t>(header)].kind, RegionKind::Headers);
    }
    EXPECT_EQ(RegionName(shapes.layout.regions[static_cast<std::size_t>(map.OwnerOf(shapes.ColourTable(set)))]),
              std::string("the colour table of ") + kSetListStrings[static_cast<std::size_t>(set)]);
  }
}

TEST(ShapesLayout, RefusesHeadersThatPointOutsideTheFile) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build(kTestLength);
  sample_shapes::PutBigEndian32(bytes, builder.SetLayout(2).record + 4, static_cast<LONG>(kTestLength + 10));
  EXPECT_THROW(LayoutOf(bytes), CFileException);
}

// Where a damaged file lets regions overlap, headers own their bytes, then
// colour tables, then pixels.
TEST(RegionMap, GivesOverlapsToHeadersFirst) {
  ShapesLayout layout;
  layout.regions = {{100, 50, RegionKind::Pixels, 0, 0},
                    {120, 10, RegionKind::Headers, 1, 0},
                    {140, 20, RegionKind::ColourTable, 2, 0},
                    {145, 2, RegionKind::Pixels, 3, 0}};
  const RegionMap map(layout);
  const struct {
    LONGLONG offset;
    int owner;
  } rows[] = {{99, RegionMap::kNoRegion},
              {100, 0},
              {119, 0},
              {120, 1},
              {129, 1},
              {130, 0},
              {140, 2},
              {146, 2},
              {150, 2},
              {159, 2},
              {160, RegionMap::kNoRegion}};
  for (const auto& row : rows) EXPECT_EQ(map.OwnerOf(row.offset), row.owner) << row.offset;

  std::vector<std::pair<int, LONGLONG>> shares;
  map.Share(110, 60, [&](int owner, LONGLONG, LONGLONG count) { shares.emplace_back(owner, count); });
  const std::vector<std::pair<int, LONGLONG>> expected = {{0, 10}, {1, 10}, {0, 10}, {2, 20}, {-1, 10}};
  EXPECT_EQ(shares, expected);
}

TEST(MakeShapesPatch, RefusesFilesThatDifferOutsidePixelBytes) {
  const TestShapes& shapes = Shapes();
  const LONGLONG table = shapes.ColourTable(1);
  const LONGLONG header = shapes.ImageHeader(6, 0);
  const LONGLONG probeBlock = shapes.builder.Layout(3).pixels[0];  // header 3 is no set's
  const struct {
    const char* what;
    std::vector<BYTE> modified;
    std::string refusal;
  } rows[] = {
      {"another length", std::vector<BYTE>(shapes.bytes.begin(), shapes.bytes.end() - 1),
       "differ in length (3000000 and 2999999 bytes)"},
      {"a colour", Changed(shapes.bytes, table + 10),
       "differ at offset " + std::to_string(table + 10) + ", in the colour table of Texture Set # 2"},
      {"an image header", Changed(shapes.bytes, header + 1),
       "differ at offset " + std::to_string(header + 1) + ", in the headers of Landscape # 3"},
      {"a byte of no set", Changed(shapes.bytes, probeBlock),
       "differ at offset " + std::to_string(probeBlock) + ", outside the images' pixel bytes"},
      {"a picture and, after it, a colour", Changed(Changed(shapes.bytes, shapes.Pixels(0, 0)), table),
       "differ at offset " + std::to_string(table) + ", in the colour table"},
  };
  for (const auto& row : rows) {
    const MadePatch made = MakeShapesPatch(shapes.bytes, row.modified, shapes.layout, "test");
    EXPECT_EQ(made.refusal.rfind(row.refusal, 0), 0u) << row.what << ": " << made.refusal;
    EXPECT_TRUE(made.bytes.empty()) << row.what;
  }
}

TEST(MakeShapesPatch, DescribesTheImagesItChangesAndDecodesToTheTarget) {
  const TestShapes& shapes = Shapes();
  std::vector<BYTE> modified = Changed(shapes.bytes, shapes.Pixels(0, 4) + 100, 30);
  modified = Changed(modified, shapes.Pixels(0, 4) + kTextureBytes - 2, 2);
  modified = Changed(modified, shapes.Pixels(0, 5), 2);
  modified = Changed(modified, shapes.Pixels(7, 0), kLandscapeBytes);
  const MadePatch made = MakeShapesPatch(shapes.bytes, modified, shapes.layout, "kestrow-cli test");
  ASSERT_EQ(made.refusal, "");
  const std::vector<PatchedImage> expected = {{0, 4, 32}, {0, 5, 2}, {7, 0, kLandscapeBytes}};
  EXPECT_EQ(made.description.images, expected);
  EXPECT_EQ(made.description.sourceDigest, kp::base::Sha256Of(shapes.bytes));
  EXPECT_EQ(ReadPatchDescription(made.bytes), made.description);

  const DecodedPatch decoded = DecodeShapesPatch(shapes.bytes, shapes.layout, made.bytes);
  std::vector<BYTE> rebuilt = shapes.bytes;
  decoded.changes.ApplyTo(rebuilt);
  EXPECT_EQ(rebuilt, modified);
  ASSERT_EQ(decoded.summary.regions.size(), 3u);
  EXPECT_EQ(decoded.summary.regions[0].bytes, 32u);
  EXPECT_EQ(decoded.summary.regions[0].first, shapes.Pixels(0, 4) + 100);
  EXPECT_EQ(CheckPatchKeepsHeaders(decoded.summary), "");
}

TEST(DecodeShapesPatch, RefusesOursForAnotherFile) {
  const TestShapes& shapes = Shapes();
  const MadePatch made =
      MakeShapesPatch(shapes.bytes, Changed(shapes.bytes, shapes.Pixels(2, 2)), shapes.layout, "test");
  const struct {
    const char* what;
    std::vector<BYTE> source;
    const char* error;
  } rows[] = {
      {"another version", Changed(shapes.bytes, shapes.Pixels(3, 3)), "made for another version of the shapes file"},
      {"another length", std::vector<BYTE>(shapes.bytes.begin(), shapes.bytes.end() - 4),
       "made for a shapes file of 3000000 bytes, not of 2999996"},
  };
  for (const auto& row : rows) {
    try {
      DecodeShapesPatch(row.source, shapes.layout, made.bytes);
      ADD_FAILURE() << row.what << " was accepted";
    } catch (const PatchFileError& e) {
      EXPECT_NE(std::string(e.what()).find(row.error), std::string::npos) << row.what << ": " << e.what();
    }
  }
}

TEST(DecodeShapesPatch, SharesOutOthersChangesAndTellsAHeaderChange) {
  const TestShapes& shapes = Shapes();
  const LONGLONG pixels = shapes.Pixels(1, 0);
  const LONGLONG probeBlock = shapes.builder.Layout(3).pixels[0];
  std::vector<BYTE> modified = Changed(shapes.bytes, pixels, 5);
  modified = Changed(modified, pixels + 20);  // 15 unchanged bytes later: the same range
  modified = Changed(modified, shapes.ColourTable(4) + 8, 8);
  modified = Changed(modified, probeBlock, 3);
  const DecodedPatch decoded = DecodeShapesPatch(shapes.bytes, shapes.layout, OthersDelta(shapes.bytes, modified));
  EXPECT_FALSE(decoded.description);
  std::vector<BYTE> rebuilt = shapes.bytes;
  decoded.changes.ApplyTo(rebuilt);
  EXPECT_EQ(rebuilt, modified);
  EXPECT_EQ(decoded.changes.ranges.size(), 3u) << "changes 15 bytes apart share a range";

  // In the layout's order: the sets in turn.
  ASSERT_EQ(decoded.summary.regions.size(), 2u);
  EXPECT_EQ(decoded.summary.regions[0].region,
            shapes.layout.regions[static_cast<std::size_t>(RegionMap(shapes.layout).OwnerOf(pixels))]);
  EXPECT_EQ(decoded.summary.regions[0].bytes, 6u);
  EXPECT_EQ(decoded.summary.regions[1].region.kind, RegionKind::ColourTable);
  EXPECT_EQ(decoded.summary.regions[1].region.setIndex, 4);
  EXPECT_EQ(decoded.summary.regions[1].bytes, 8u);
  EXPECT_EQ(decoded.summary.otherBytes, 3u);
  EXPECT_EQ(decoded.summary.firstOther, probeBlock);
  EXPECT_EQ(CheckPatchKeepsHeaders(decoded.summary), "");

  const LONGLONG record = shapes.builder.SetLayout(5).record + 4;
  const DecodedPatch headers =
      DecodeShapesPatch(shapes.bytes, shapes.layout, OthersDelta(shapes.bytes, Changed(shapes.bytes, record)));
  EXPECT_EQ(CheckPatchKeepsHeaders(headers.summary),
            "it changes the headers of Landscape # 2 at offset " + std::to_string(record) +
                ": the result would not be a shapes file with the same headers");
}

// A window that copies from the target made before it sees the changes of
// the windows before, not the source.
TEST(DecodeShapesPatch, CopiesFromTheTargetAsChanged) {
  using namespace vcdiff_tests;
  const std::vector<BYTE> source(5000, 0x11);
  const auto window = [](std::uint64_t at, std::uint64_t length, std::uint8_t mode, std::uint64_t address) {
    return WindowSpec{.indicator = vcdiff::kWindowSource,
                      .segmentLength = length,
                      .segmentPosition = at,
                      .targetLength = length,
                      .instructions = Join({{Copy(0, mode)}, Integer(length)}),
                      .addresses = Integer(address)};
  };
  WindowSpec changed = window(1000, 1000, 0, 0);
  changed.data = Text("!!!!");
  changed.instructions = Join({{Copy(0, 0)}, Integer(996), {Add(4)}});
  const Bytes delta = Delta(Header(), {window(0, 1000, 0, 0),
                                       changed,
                                       {.indicator = vcdiff::kWindowTarget,
                                        .segmentLength = 10,
                                        .segmentPosition = 1990,
                                        .targetLength = 3000,
                                        .instructions = Join({{Copy(0, 0)}, Integer(3000)}),
                                        .addresses = Integer(0)}});
  ShapesLayout layout;
  const DecodedPatch decoded = DecodeShapesPatch(source, layout, delta);
  std::vector<BYTE> rebuilt = source;
  decoded.changes.ApplyTo(rebuilt);
  // The third window repeats the ten bytes 1990 to 1999 of the target:
  // six of the source's, then the four changed ones.
  for (std::size_t i = 2000; i < 5000; ++i) EXPECT_EQ(rebuilt[i], (i - 2000) % 10 >= 6 ? '!' : 0x11) << i;
  EXPECT_EQ(decoded.summary.otherBytes, 4u + 1200u);
}

TEST(DecodeShapesPatch, RefusesATargetOfAnotherLength) {
  const std::vector<BYTE> source(100, 1);
  const std::vector<BYTE> longer(101, 1);
  const std::vector<BYTE> shorter(99, 1);
  ShapesLayout layout;
  EXPECT_THROW(DecodeShapesPatch(source, layout, vcdiff::EncodeSameLengthDelta(longer, longer, {})), PatchFileError);
  try {
    DecodeShapesPatch(source, layout, vcdiff::EncodeSameLengthDelta(shorter, shorter, {}));
    ADD_FAILURE() << "a shorter target was accepted";
  } catch (const PatchFileError& e) {
    EXPECT_NE(std::string(e.what()).find("makes a file of 99 bytes from one of 100"), std::string::npos) << e.what();
  }
}

}  // namespace
