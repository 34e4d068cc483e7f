#include <gtest/gtest.h>

#include <set>

#include "editor/shapes/set_kinds.h"
#include "editor/shapes/slot_layout.h"

namespace {

TEST(SetKinds, FourTextureSetsThenFourLandscapesWithTheirHeaders) {
  const struct {
    int set;
    int header;
    bool landscape;
    int width, height, images, bytes;
  } rows[] = {
      {0, 17, false, 128, 128, 30, 16384}, {1, 18, false, 128, 128, 30, 16384},
      {2, 19, false, 128, 128, 30, 16384}, {3, 21, false, 128, 128, 30, 16384},
      {4, 27, true, 512, 270, 1, 138240},  {5, 28, true, 512, 270, 1, 138240},
      {6, 29, true, 512, 270, 1, 138240},  {7, 30, true, 512, 270, 1, 138240},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.set);
    EXPECT_EQ(SetHeaderNumbers[static_cast<std::size_t>(row.set)], row.header);
    EXPECT_EQ(IsLandscapeSet(row.set), row.landscape);
    const SetKind& kind = KindOfSet(row.set);
    EXPECT_EQ(kind.width, row.width);
    EXPECT_EQ(kind.height, row.height);
    EXPECT_EQ(kind.imageCount, row.images);
    EXPECT_EQ(kind.ImageBytes(), row.bytes);
    EXPECT_EQ(kind.order, row.landscape ? PixelOrder::BottomUpRows : PixelOrder::Columns);
  }
  EXPECT_EQ(kExpectedShapesFileSize, 10043844u);
}

TEST(SlotLayout, ControlIdsAndGridPositions) {
  const struct {
    int slot, id, column, row;
  } rows[] = {
      {0, 1005, 1, 1}, {1, 1006, 2, 1},  {2, 1018, 3, 1},  {5, 1021, 6, 1},
      {6, 1022, 1, 2}, {12, 1028, 1, 3}, {23, 1039, 6, 4}, {29, 1045, 6, 5},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.slot);
    EXPECT_EQ(SlotControlIds[static_cast<std::size_t>(row.slot)], row.id);
    EXPECT_EQ(SlotColumn(row.slot), row.column);
    EXPECT_EQ(SlotRow(row.slot), row.row);
  }
  // The ids are all different and never the landscape slot (1007) or the
  // preview (1011).
  std::set<int> ids(SlotControlIds.begin(), SlotControlIds.end());
  EXPECT_EQ(ids.size(), static_cast<std::size_t>(kTextureSlotCount));
  EXPECT_EQ(ids.count(1007), 0u);
  EXPECT_EQ(ids.count(1011), 0u);
}

}  // namespace
