#include <set>

#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

std::uint32_t Value(const void* h) { return HandleToLong32(h); }

TEST_F(GdiTest, DeletedHandleFailsEveryCall) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  ASSERT_NE(brush, nullptr);
  ASSERT_TRUE(DeleteObject(brush));
  LOGBRUSH lb;
  EXPECT_EQ(GetObject(brush, sizeof lb, &lb), 0);
  EXPECT_EQ(GetObjectType(brush), 0u);
  EXPECT_FALSE(DeleteObject(brush));
  ScopedMemoryDC dc(nullptr);
  EXPECT_EQ(SelectObject(dc.get(), brush), nullptr);
  const RECT r{0, 0, 1, 1};
  EXPECT_FALSE(FillRect(dc.get(), &r, brush));
}

TEST_F(GdiTest, ForgedValuesAreRefused) {
  ScopedPen pen(CreatePen(PS_SOLID, 1, 0));
  const std::uint32_t live = Value(pen.get());
  // clang-format off
  const std::uint64_t forged[] = {
      1, 0x10, 0x7FFFFFFF, 0xFFFFFFFF,
      (live & 0x0FFFFFFF) | (7u << 28),  // the pen's slot, tagged as a bitmap
      live + 0x10000,                    // the next generation of the slot
      live + 1,                          // the neighbouring slot
      live & 0xF000FFFF,                 // generation 0 is never issued
      0x100000000ull | live,             // wider than 32 bits
  };
  // clang-format on
  ScopedMemoryDC dc(nullptr);
  for (std::uint64_t v : forged) {
    SCOPED_TRACE(v);
    auto* h = reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(v));
    BITMAP bm;
    EXPECT_EQ(GetObject(h, sizeof bm, &bm), 0);
    EXPECT_EQ(SelectObject(dc.get(), h), nullptr);
    EXPECT_FALSE(DeleteObject(h));
  }
  LOGPEN lp;
  EXPECT_EQ(GetObject(pen.get(), sizeof lp, &lp), static_cast<int>(sizeof lp)) << "the real pen is untouched";
}

TEST_F(GdiTest, HandlesOfTheWrongTypeAreRefused) {
  ScopedPen pen(CreatePen(PS_SOLID, 1, 0));
  ScopedBitmap bitmap(MakeUniformBitmap(2, 2, 0));
  ScopedMemoryDC dc(nullptr);
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  BYTE bits[16];
  EXPECT_EQ(GetDIBits(dc.get(), reinterpret_cast<HBITMAP>(pen.get()), 0, 2, bits, &bmi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(SelectPalette(dc.get(), reinterpret_cast<HPALETTE>(pen.get()), FALSE), nullptr);
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(bitmap.get())));
  EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(bitmap.get())));
  EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(bitmap.get())), nullptr);
  EXPECT_FALSE(DeleteObject(dc.get())) << "DCs are deleted with DeleteDC only";
}

TEST(HandleTable, GenerationsWrapWithoutEverIssuingZero) {
  // One slot, reused at once: every Add lands in slot 0 with the next
  // generation, so the whole generation cycle is walked.
  HandleTable table(1, 0);
  std::set<std::uint32_t> seen;
  std::uint32_t first = 0, previous = 0;
  for (std::uint32_t round = 0; round < HandleTable::kMaxGeneration + 1; ++round) {
    const std::uint32_t h = table.Add(std::make_unique<GdiObject>(ObjectKind::Brush));
    ASSERT_NE(h, 0u);
    EXPECT_NE((h >> 16) & 0xFFF, 0u);
    EXPECT_EQ(table.Find(previous), nullptr) << "the previous round's handle is stale";
    if (round == 0) first = h;
    if (round < HandleTable::kMaxGeneration) {
      EXPECT_TRUE(seen.insert(h).second) << "value repeated early";
    } else {
      EXPECT_EQ(h, first) << "the cycle has 4095 generations";
    }
    ASSERT_NE(table.Remove(h), nullptr);
    previous = h;
  }
}

TEST(HandleTable, FreedSlotsWaitBeforeReuseAndAFullTableRefuses) {
  HandleTable table(4, 2);
  const std::uint32_t a = table.Add(std::make_unique<GdiObject>(ObjectKind::Pen));
  table.Remove(a);
  const std::uint32_t b = table.Add(std::make_unique<GdiObject>(ObjectKind::Pen));
  EXPECT_NE(b & 0xFFFF, a & 0xFFFF) << "a fresh slot is preferred while few are free";
  table.Add(std::make_unique<GdiObject>(ObjectKind::Pen));
  table.Add(std::make_unique<GdiObject>(ObjectKind::Pen));
  const std::uint32_t reused = table.Add(std::make_unique<GdiObject>(ObjectKind::Pen));
  EXPECT_EQ(reused & 0xFFFF, a & 0xFFFF) << "the full table falls back to the freed slot";
  EXPECT_EQ(table.Add(std::make_unique<GdiObject>(ObjectKind::Pen)), 0u);
  EXPECT_EQ(table.LiveCount(ObjectKind::Pen), 4);
}

TEST_F(GdiTest, LiveCountsFollowCreationAndDeletion) {
  const int pens = LiveObjectCount(ObjectKind::Pen), bitmaps = LiveObjectCount(ObjectKind::Bitmap);
  const int dcs = LiveObjectCount(ObjectKind::Dc);
  {
    ScopedPen pen(CreatePen(PS_SOLID, 1, 0));
    ScopedBitmap bitmap(CreateCompatibleBitmap(nullptr, 4, 4));
    ScopedMemoryDC dc(nullptr);
    EXPECT_EQ(LiveObjectCount(ObjectKind::Pen), pens + 1);
    EXPECT_EQ(LiveObjectCount(ObjectKind::Bitmap), bitmaps + 1);
    EXPECT_EQ(LiveObjectCount(ObjectKind::Dc), dcs + 1);
  }
  EXPECT_EQ(LiveObjectCount(ObjectKind::Pen), pens);
  EXPECT_EQ(LiveObjectCount(ObjectKind::Bitmap), bitmaps);
  EXPECT_EQ(LiveObjectCount(ObjectKind::Dc), dcs);
}

TEST_F(GdiTest, StockObjectsAreNotCountedAndSurviveDeletion) {
  const int before = LiveObjectCount();
  HGDIOBJ pen = GetStockObject(BLACK_PEN);
  ASSERT_NE(pen, nullptr);
  EXPECT_EQ(LiveObjectCount(), before);
  EXPECT_TRUE(DeleteObject(pen));
  LOGPEN lp{};
  ASSERT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnColor, RGB(0, 0, 0));
  EXPECT_EQ(GetStockObject(99), nullptr);
}

}  // namespace
}  // namespace kp::gdi::testing
