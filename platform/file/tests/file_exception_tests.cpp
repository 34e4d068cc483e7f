#include <gtest/gtest.h>

#include <cerrno>

#include "platform/file/file_exception.h"

namespace {
TEST(CFileException, MessagesNameTheFile) {
  struct Row {
    int cause;
    const char* expected;
  };
  const Row rows[] = {
      {CFileException::diskFull, "Disk full while accessing /data/shapes.shp2."},
      {CFileException::fileNotFound, "/data/shapes.shp2 was not found."},
      {CFileException::accessDenied, "Access to /data/shapes.shp2 was denied."},
      {CFileException::sharingViolation, "A sharing violation occurred while accessing /data/shapes.shp2."},
      {CFileException::endOfFile, "An attempt was made to access /data/shapes.shp2 past its end."},
      {CFileException::badSeek, "Seek failed on /data/shapes.shp2"},
      {999, "An unknown error occurred while accessing /data/shapes.shp2."},
  };
  for (const Row& row : rows)
    EXPECT_EQ(CFileException(row.cause, 0, "/data/shapes.shp2").ErrorMessage(), CString(row.expected));
}

TEST(CFileException, ErrnoMapsToTheNearestCause) {
  EXPECT_EQ(CFileException::OsErrorToException(ENOSPC), CFileException::diskFull);
  EXPECT_EQ(CFileException::OsErrorToException(ENOENT), CFileException::fileNotFound);
  EXPECT_EQ(CFileException::OsErrorToException(EACCES), CFileException::accessDenied);
  EXPECT_EQ(CFileException::OsErrorToException(EIO), CFileException::hardIO);
  EXPECT_EQ(CFileException::OsErrorToException(12345), CFileException::genericException);
}

}  // namespace
