#include "platform/base/global_memory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GlobalMemory, ABlockKeepsItsBytesUntilFreedAndIsThenNotFound) {
  const std::size_t live = kp::base::LiveGlobalCount();
  HGLOBAL zeroed = GlobalAlloc(GHND, 5);
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(GlobalSize(zeroed), 5u);
  auto* bytes = static_cast<BYTE*>(GlobalLock(zeroed));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::memcmp(bytes, "\0\0\0\0\0", 5), 0);
  std::memcpy(bytes, "kept", 5);
  GlobalUnlock(zeroed);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(zeroed)), "kept");

  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(empty, nullptr) << "a block of no bytes is a block";
  EXPECT_NE(empty, zeroed);
  EXPECT_EQ(kp::base::LiveGlobalCount(), live + 2);

  EXPECT_EQ(GlobalFree(zeroed), nullptr);
  EXPECT_EQ(GlobalLock(zeroed), nullptr);
  EXPECT_EQ(GlobalSize(zeroed), 0u);
  EXPECT_EQ(GlobalFree(zeroed), zeroed) << "freed twice: not found";
  EXPECT_EQ(GlobalFree(empty), nullptr);
  EXPECT_EQ(kp::base::LiveGlobalCount(), live);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, kp::base::kMaxGlobalBytes + 1), nullptr);
}

TEST(GlobalMemory, ABlockOfBytesHoldsItsOwnCopy) {
  const std::size_t live = kp::base::LiveGlobalCount();
  BYTE bytes[] = {'d', 'i', 'b'};
  HGLOBAL block = kp::base::GlobalBlockOf(bytes);
  ASSERT_NE(block, nullptr);
  bytes[0] = 'x';
  EXPECT_EQ(GlobalSize(block), 3u);
  EXPECT_EQ(std::memcmp(GlobalLock(block), "dib", 3), 0);
  HGLOBAL empty = kp::base::GlobalBlockOf({});
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(GlobalSize(empty), 0u);
  EXPECT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalFree(empty), nullptr);
  EXPECT_EQ(kp::base::LiveGlobalCount(), live);
}

}  // namespace
