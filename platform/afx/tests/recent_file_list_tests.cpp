// The recent-file list: newest first, each file once, at most its size,
// kept per user in the registry.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/recent_file_list.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/temp_registry.h"

namespace {

constexpr char kKey[] = "Software\\Maker\\Program\\Recent File List";

std::vector<std::string> Files(const CRecentFileList& list) {
  std::vector<std::string> files;
  for (int i = 0; i < list.GetSize(); ++i) files.push_back(list[i].str());
  return files;
}

class RecentFileList : public ::testing::Test {
 protected:
  void SetUp() override { kp::testing::UseFreshRegistry(); }
};

TEST_F(RecentFileList, KeepsTheNewestFirstEachOnceAndAtMostItsSizeAcrossPrograms) {
  CRecentFileList list(kKey, "File", 3);
  for (const char* path : {"/a", "/b", "/c", "/b", "/d"}) list.Add(path);
  EXPECT_EQ(Files(list), (std::vector<std::string>{"/d", "/b", "/c"}));
  ASSERT_TRUE(list.WriteList());

  // Another instance of the program reads what this one wrote.
  CRecentFileList other(kKey, "File", 3);
  other.ReadList();
  EXPECT_EQ(Files(other), Files(list));

  EXPECT_TRUE(other.Remove("/b"));
  EXPECT_FALSE(other.Remove("/b"));
  other.Remove(5);
  ASSERT_TRUE(other.WriteList());
  list.ReadList();
  EXPECT_EQ(Files(list), (std::vector<std::string>{"/d", "/c"}));
  std::string stale;
  EXPECT_EQ(kp::registry::GetStringValue(HKEY_CURRENT_USER, kKey, "File3", &stale), ERROR_FILE_NOT_FOUND)
      << "the entry of the file that left the list goes too";
}

TEST_F(RecentFileList, ReadingSkipsEmptyRepeatedAndExtraEntries) {
  const struct {
    const char* entry;
    const char* path;
  } entries[] = {{"File1", "/x"}, {"File2", ""}, {"File3", "/x"}, {"File4", "/y"}, {"File5", "/beyond"}};
  for (const auto& e : entries) ASSERT_EQ(kp::registry::SetStringValue(HKEY_CURRENT_USER, kKey, e.entry, e.path), 0);
  CRecentFileList list(kKey, "File", 4);
  list.ReadList();
  EXPECT_EQ(Files(list), (std::vector<std::string>{"/x", "/y"}));

  CRecentFileList none("Software\\Maker\\Nothing", "File", 4);
  none.ReadList();
  EXPECT_EQ(none.GetSize(), 0);
}

TEST_F(RecentFileList, LongPathsAreShortenedInTheMiddleKeepingTheFilesName) {
  const struct {
    const char* path;
    int maxLength;
    const char* shown;
  } rows[] = {
      {"/home/u/shapes.shp2", 60, "/home/u/shapes.shp2"},
      {"/home/user/games/data/shapes.shp2", 24, "/home/use.../shapes.shp2"},
      {"/home/u/a-very-long-name-of-a-file.shp2", 20, ".../a-very-long-name-of-a-file.shp2"},
      {"/h\xC3\xA9llo/world/s.shp2", 13, "/h.../s.shp2"},  // never half of the two bytes of "é"
  };
  for (const auto& row : rows) {
    CRecentFileList list(kKey, "File", 4);
    list.Add(row.path);
    EXPECT_EQ(list.GetDisplayName(0, row.maxLength).str(), row.shown) << row.path;
  }
}

}  // namespace
