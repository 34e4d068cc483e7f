#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/file/tests/file_test_support.h"
#include "platform/testing/in_child.h"

namespace {
using file_tests::MakeFile;
using file_tests::ReadFileText;

constexpr UINT kReplace = CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::modeReplaceOnClose;

int FilesIn(const std::string& folder) {
  int n = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(ReplaceOnClose, TargetChangesOnlyWhenClosed) {
  std::string folder = kp::testing::TemporaryRoot() + "/replace-commit";
  std::filesystem::create_directories(folder);
  std::string path = MakeFile("replace-commit/texture.bmp", "old contents");
  CFile file(path.c_str(), kReplace);
  file.Write("new", 3);
  EXPECT_EQ(ReadFileText(path), "old contents") << "nothing shows before Close";
  file.Close();
  EXPECT_EQ(ReadFileText(path), "new");
  EXPECT_EQ(FilesIn(folder), 1) << "no temporary file is left behind";
}

TEST(ReplaceOnClose, AbandonedWriteLeavesTheTargetAndNoLitter) {
  std::string folder = kp::testing::TemporaryRoot() + "/replace-abandon";
  std::filesystem::create_directories(folder);
  std::string path = MakeFile("replace-abandon/texture.bmp", "precious");
  {
    CFile file(path.c_str(), kReplace);
    file.Write("half", 4);
  }
  EXPECT_EQ(ReadFileText(path), "precious");
  EXPECT_EQ(FilesIn(folder), 1);
}

TEST(ReplaceOnClose, CreatesANewFileWithOrdinaryPermissions) {
  std::string path = kp::testing::TemporaryRoot() + "/fresh.bmp";
  CFile file(path.c_str(), kReplace);
  file.Write("BM", 2);
  file.Close();
  EXPECT_EQ(ReadFileText(path), "BM");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
}

TEST(ReplaceOnClose, KeepsTheModeOfTheFileItReplaces) {
  std::string path = MakeFile("private.bmp", "old");
  chmod(path.c_str(), 0600);
  CFile file(path.c_str(), kReplace);
  file.Write("new", 3);
  file.Close();
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(ReplaceOnClose, RefusesAFileHeldByAnotherOpen) {
  std::string path = MakeFile("held.bmp", "held");
  CFile reader(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  EXPECT_EQ(kp::testing::InChild([&] {
              CFile file;
              CFileException error;
              bool opened = file.Open(path.c_str(), kReplace, &error);
              return !opened && error.m_cause == CFileException::sharingViolation ? 0 : 1;
            }),
            0);
  EXPECT_EQ(ReadFileText(path), "held");
}

TEST(ReplaceOnClose, MissingFolderFailsToOpen) {
  std::string path = kp::testing::TemporaryRoot() + "/no/such/folder/out.bmp";
  CFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(path.c_str(), kReplace, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
}
}  // namespace
