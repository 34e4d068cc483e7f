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

TEST(CString, SlicesClampToTheText) {
  CString s("shapes.shp2");
  EXPECT_EQ(s.Left(6), CString("shapes"));
  EXPECT_EQ(s.Right(4), CString("shp2"));
  EXPECT_EQ(s.Mid(7), CString("shp2"));
  EXPECT_EQ(s.Mid(7, 3), CString("shp"));
  EXPECT_EQ(s.Left(99), s);
  EXPECT_EQ(s.Right(99), s);
  EXPECT_EQ(s.Mid(99), CString(""));
  EXPECT_EQ(s.Find('.'), 6);
  EXPECT_EQ(s.Find('z'), -1);
  EXPECT_EQ(s.ReverseFind('s'), 7);
}

TEST(CString, NullPointersReadAsEmpty) {
  CString s(static_cast<const char*>(nullptr));
  EXPECT_TRUE(s.IsEmpty());
  s = static_cast<const char*>(nullptr);
  EXPECT_TRUE(s.IsEmpty());
}
}  // namespace
