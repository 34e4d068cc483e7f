#include <gtest/gtest.h>

#include "platform/file/tests/file_test_support.h"

namespace {
using file_tests::MakeFile;
using file_tests::OtherProcessCanOpen;

constexpr UINT kLoad = CFile::modeRead | CFile::shareDenyWrite;
constexpr UINT kPatch = CFile::modeReadWrite | CFile::shareExclusive;
constexpr UINT kPaletteRead = CFile::modeRead | CFile::shareExclusive;
constexpr UINT kSave = CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive;

struct ShareCase {
  const char* name;
  UINT held;
  UINT tried;
  bool allowed;
};

class ShareModes : public ::testing::TestWithParam<ShareCase> {};

TEST_P(ShareModes, SecondProcessIsAdmittedOnlyWhenBothModesAgree) {
  const ShareCase& c = GetParam();
  std::string path = MakeFile(std::string("share-") + c.name, "0123456789");
  CFile holder;
  ASSERT_TRUE(holder.Open(path.c_str(), c.held));
  EXPECT_EQ(OtherProcessCanOpen(path, c.tried), c.allowed);
  holder.Close();
  EXPECT_TRUE(OtherProcessCanOpen(path, c.tried)) << "the lock must go with the file";
}

INSTANTIATE_TEST_SUITE_P(Modes, ShareModes,
                         ::testing::Values(ShareCase{"load-load", kLoad, kLoad, true},
                                           ShareCase{"load-patch", kLoad, kPatch, false},
                                           ShareCase{"patch-load", kPatch, kLoad, false},
                                           ShareCase{"patch-patch", kPatch, kPatch, false},
                                           ShareCase{"palette-load", kPaletteRead, kLoad, false},
                                           ShareCase{"load-palette", kLoad, kPaletteRead, false},
                                           ShareCase{"load-save", kLoad, kSave, false}),
                         [](const ::testing::TestParamInfo<ShareCase>& row) {
                           std::string name = row.param.name;
                           for (char& ch : name)
                             if (ch == '-') ch = '_';
                           return name;
                         });

TEST(ShareModes, RefusedCreateDoesNotTruncateTheHeldFile) {
  std::string path = MakeFile("held-by-reader", "keep me");
  CFile reader;
  ASSERT_TRUE(reader.Open(path.c_str(), kLoad));
  EXPECT_FALSE(OtherProcessCanOpen(path, kSave));
  EXPECT_EQ(file_tests::ReadFileText(path), "keep me");
}

TEST(ShareModes, ExclusiveReadWorksOnAReadOnlyFile) {
  std::string path = MakeFile("read-only", "abc");
  chmod(path.c_str(), 0444);
  CFile file;
  CFileException error;
  EXPECT_TRUE(file.Open(path.c_str(), kPaletteRead, &error)) << error.ErrorMessage().str();
  EXPECT_FALSE(OtherProcessCanOpen(path, kLoad));
}

TEST(ShareModes, RefusalIsReportedAsASharingViolation) {
  std::string path = MakeFile("violation", "x");
  CFile holder;
  ASSERT_TRUE(holder.Open(path.c_str(), kPatch));
  CFile second;
  CFileException error;
  EXPECT_FALSE(second.Open(path.c_str(), kLoad, &error));
  EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
  EXPECT_EQ(error.m_strFileName, CString(path));
}
}  // namespace
