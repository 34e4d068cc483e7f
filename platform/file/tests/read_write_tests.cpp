#include <gtest/gtest.h>

#include <vector>

#include "platform/file/tests/file_test_support.h"

namespace {
using file_tests::MakeFile;

TEST(CFileRead, ReadsExactlyWhatIsAskedAndTracksThePosition) {
  std::string path = MakeFile("digits", "0123456789");
  CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  EXPECT_EQ(file.GetLength(), 10u);
  char buffer[4] = {};
  EXPECT_EQ(file.Read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(file.Seek(8, CFile::begin), 8u);
  EXPECT_EQ(file.Read(buffer, 2), 2u);
  EXPECT_EQ(std::string(buffer, 2), "89");
  EXPECT_EQ(file.GetPosition(), 10u);
}

TEST(CFileRead, ShortReadThrowsEndOfFileNamingTheFile) {
  std::string path = MakeFile("short", "abc");
  CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  std::vector<char> buffer(16);
  try {
    file.Read(buffer.data(), 16);
    FAIL() << "a short read must not pass";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::endOfFile);
    EXPECT_EQ(e.ErrorMessage(), CString("An attempt was made to access " + path + " past its end."));
  }
}

TEST(CFileRead, ReadPastTheEndAfterASeekThrows) {
  std::string path = MakeFile("seek-past", "abc");
  CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  EXPECT_EQ(file.Seek(1000, CFile::begin), 1000u);
  char c = 0;
  EXPECT_THROW(file.Read(&c, 1), CFileException);
}

TEST(CFileSeek, BeforeTheStartIsABadSeek) {
  std::string path = MakeFile("seek-neg", "abc");
  CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  try {
    file.Seek(-1, CFile::begin);
    FAIL();
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::badSeek);
  }
  EXPECT_EQ(file.SeekToEnd(), 3u);
}

TEST(CFileWrite, WritesInPlaceWithoutTouchingOtherBytes) {
  std::string path = MakeFile("patch", "aaaaaaaaaa");
  CFile file(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
  file.Seek(3, CFile::begin);
  file.Write("XYZ", 3);
  file.Close();
  EXPECT_EQ(file_tests::ReadFileText(path), "aaaXYZaaaa");
}

TEST(CFileOpen, FailuresCarryTheirCause) {
  struct Case {
    std::string path;
    UINT flags;
    int cause;
  };
  std::string folder = kp::testing::TemporaryRoot();
  std::string readOnly = MakeFile("no-write", "x");
  chmod(readOnly.c_str(), 0444);
  const Case cases[] = {
      {folder + "/missing.shp2", CFile::modeRead, CFileException::fileNotFound},
      {folder, CFile::modeRead, CFileException::accessDenied},
      {folder + "/no-write/child", CFile::modeRead, CFileException::badPath},
      {"", CFile::modeRead, CFileException::badPath},
  };
  for (const Case& c : cases) {
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(c.path.c_str(), c.flags, &error)) << c.path;
    EXPECT_EQ(error.m_cause, c.cause) << c.path;
    EXPECT_FALSE(file.IsOpen());
  }
  if (geteuid() != 0) {
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(readOnly.c_str(), CFile::modeReadWrite | CFile::shareExclusive, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
  }
}

TEST(CFileOpen, ThrowingConstructorReportsTheSameError) {
  std::string missing = kp::testing::TemporaryRoot() + "/nowhere.bmp";
  try {
    CFile file(missing.c_str(), CFile::modeRead);
    FAIL();
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_STREQ(e.what(), (missing + " was not found.").c_str());
  }
}

TEST(CFileOpen, OperationsOnAClosedFileThrowInvalidFile) {
  CFile file;
  char c;
  EXPECT_THROW(file.Read(&c, 1), CFileException);
  EXPECT_THROW(file.GetLength(), CFileException);
  EXPECT_NO_THROW(file.Close());
}
}  // namespace
