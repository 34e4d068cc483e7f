#include <gtest/gtest.h>

#include "platform/base/cstring.h"

namespace {
TEST(CString, FormatsLikePrintf) {
  CString s;
  s.Format("Failed to write texture #%d <column %d, row %d>", 7, 2, 2);
  EXPECT_STREQ(s, "Failed to write texture #7 <column 2, row 2>");
  s.Format("%s", "");
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, FormatsTextLongerThanAnyFixedBuffer) {
  std::string long_text(5000, 'x');
  CString s;
  s.Format("[%s]", long_text.c_str());
  EXPECT_EQ(s.GetLength(), 5002);
}

TEST(CString, NullPointersReadAsEmpty) {
  CString s(static_cast<const char*>(nullptr));
  EXPECT_TRUE(s.IsEmpty());
  s = static_cast<const char*>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
}
}  // namespace
