#include <gtest/gtest.h>

#include "platform/base/guid.h"

namespace {
constexpr GUID kSample = {0x1A2B3C4D, 0x5E6F, 0x7081, {0x92, 0xA3, 0xB4, 0xC5, 0xD6, 0xE7, 0xF8, 0x09}};

TEST(Guid, TextFormIsBracedUpperCase) {
  EXPECT_EQ(GuidToString(kSample), "{1A2B3C4D-5E6F-7081-92A3-B4C5D6E7F809}");
  EXPECT_EQ(GuidToString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
}

TEST(Guid, ParsesEitherCaseAndRoundTrips) {
  auto parsed = GuidFromString("{1a2b3c4d-5e6f-7081-92a3-b4c5d6e7f809}");
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(*parsed, kSample);
  EXPECT_EQ(GuidFromString(GuidToString(kSample)), kSample);
}

TEST(Guid, RejectsAnythingButTheBracedForm) {
  for (const char* bad : {"", "{}", "1A2B3C4D-5E6F-7081-92A3-B4C5D6E7F809", "{1A2B3C4D-5E6F-7081-92A3-B4C5D6E7F80}",
                          "{1A2B3C4D-5E6F-7081-92A3-B4C5D6E7F8090}", "{1A2B3C4D_5E6F-7081-92A3-B4C5D6E7F809}",
                          "{1A2B3C4D-5E6F-7081-92A3-B4C5D6E7F8G9}", "{1A2B3C4D-5E6F-7081-92A3-B4C5D6E7F809"})
    EXPECT_FALSE(GuidFromString(bad).has_value()) << bad;
}

}  // namespace
