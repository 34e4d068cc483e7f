// The patch journal and the patch history on disk: what a crash can damage
// is refused or made again, and the history keeps to its bound.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/import/patch_history.h"
#include "editor/import/patch_journal.h"
#include "platform/testing/temp_environment.h"

namespace {

namespace fs = std::filesystem;

PatchJournal SmallJournal() {
  return {"/game/shapes.shp2", {2049, 77, 4096}, {{512, std::vector<BYTE>(512, 0x11)}, {3584, {1, 2, 3, 4, 5}}}};
}

TEST(PatchJournal, AJournalCutShortOrChangedInAnyByteIsRefused) {
  const std::vector<BYTE> bytes = EncodeJournal(SmallJournal());
  const std::optional<PatchJournal> whole = DecodeJournal(bytes);
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->before, SmallJournal().before);
  for (std::size_t cut = 0; cut < bytes.size(); ++cut)
    EXPECT_FALSE(DecodeJournal(std::span(bytes).first(cut))) << "cut to " << cut << " bytes";
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    std::vector<BYTE> changed = bytes;
    changed[at] ^= 0x40;
    EXPECT_FALSE(DecodeJournal(changed)) << "byte " << at << " changed";
  }
}

TEST(PatchJournal, ARangeBeyondTheFileItNamesIsRefusedThoughItsChecksumHolds) {
  PatchJournal journal = SmallJournal();
  journal.before.push_back({4090, std::vector<BYTE>(7, 0)});
  EXPECT_FALSE(DecodeJournal(EncodeJournal(journal)));
}

TEST(PatchedSets, AddedSetsStayByRisingIndexWithTheImagesOfEachJoined) {
  const struct {
    const char* what;
    std::vector<PatchedSet> sets;
    PatchedSet added;
    std::vector<PatchedSet> expected;
  } rows[] = {
      {"the first", {}, {5, 0x1}, {{5, 0x1}}},
      {"before the others", {{2, 0x1}, {6, 0x2}}, {0, 0x4}, {{0, 0x4}, {2, 0x1}, {6, 0x2}}},
      {"between", {{2, 0x1}, {6, 0x2}}, {4, 0x8}, {{2, 0x1}, {4, 0x8}, {6, 0x2}}},
      {"after the others", {{2, 0x1}}, {7, 0x1}, {{2, 0x1}, {7, 0x1}}},
      {"a set already there", {{2, 0x1}, {6, 0x2}}, {6, 0x3}, {{2, 0x1}, {6, 0x3}}},
      {"a set without images", {{3, 0x10}}, {3, 0}, {{3, 0x10}}},
  };
  for (const auto& row : rows) {
    std::vector<PatchedSet> sets = row.sets;
    AddPatchedSet(sets, row.added);
    EXPECT_EQ(sets, row.expected) << row.what;
  }
}

HistoryEntry Entry(std::uint64_t inode, std::uint64_t bytes, std::string path = "/game/shapes.shp2") {
  HistoryEntry entry;
  entry.time = 1718000000;
  entry.path = std::move(path);
  entry.file = {2049, inode, 10043844};
  entry.sets = {{0, 0x3FFFFFFF}};
  entry.bytes = bytes;
  return entry;
}

TEST(HistoryIndex, DamagedLinesAreRefused) {
  const std::string good = FormatHistoryIndex(std::vector<HistoryEntry>{Entry(7, 16)});
  ASSERT_TRUE(ParseHistoryIndex(good));
  const std::string line = good.substr(good.find('\n') + 1);
  // clang-format off
  const struct {
    const char* what;
    std::string from, to;
  } rows[] = {
      {"a field left out", " kind=patch", ""},
      {"a field twice", " kind=patch", " kind=patch kind=patch"},
      {"a kind not known", "kind=patch", "kind=redo"},
      {"a number that is not one", "inode=7", "inode=7x"},
      {"a short digest", "written=00", "written=0"},
      {"a set outside the list", "sets=0:", "sets=8:"},
      {"a path escape cut short", "path=/game/shapes.shp2", "path=/game/shapes.shp%2"},
      {"two spaces", " time=", "  time="},
  };
  // clang-format on
  for (const auto& row : rows) {
    std::string damaged = good;
    ASSERT_NE(damaged.find(row.from), std::string::npos) << row.what;
    damaged.replace(damaged.find(row.from), row.from.size(), row.to);
    EXPECT_FALSE(ParseHistoryIndex(damaged)) << row.what;
  }
  EXPECT_FALSE(ParseHistoryIndex(good.substr(0, good.size() - 1))) << "the last line cut short";
  EXPECT_FALSE(ParseHistoryIndex(good + line)) << "an id that does not rise";
}

TEST(HistoryIndex, EveryKindIsWrittenAndReadBackByItsName) {
  for (const auto& [kind, name] : {std::pair{PatchKind::Patch, "patch"}, std::pair{PatchKind::Undo, "undo"},
                                   std::pair{PatchKind::Apply, "apply"}}) {
    std::vector<HistoryEntry> entries{Entry(7, 16)};
    entries[0].kind = kind;
    const std::string text = FormatHistoryIndex(entries);
    EXPECT_NE(text.find(std::string(" kind=") + name + " "), std::string::npos) << text;
    EXPECT_EQ(ParseHistoryIndex(text), entries) << name;
  }
}

class PatchHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    m_state =
        kp::testing::TemporaryRoot() + "/history-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(m_state);
  }

  PatchEnvironment Env() const { return {PosixPatchFileSystem(), m_state}; }
  HistoryEntry Append(HistoryEntry entry, std::size_t bytes) const {
    return AppendHistoryEntry(Env(), std::move(entry), std::vector<FileRange>{{100, std::vector<BYTE>(bytes, 9)}});
  }
  std::vector<std::uint64_t> Ids(const std::vector<HistoryEntry>& entries) const {
    std::vector<std::uint64_t> ids;
    for (const HistoryEntry& entry : entries) ids.push_back(entry.id);
    return ids;
  }

  std::string m_state;
};

TEST_F(PatchHistory, KeepsTheNewestHundredEntriesOfAFileAndDropsTheFilesOfTheOthers) {
  for (int i = 0; i < 102; ++i) Append(Entry(7, 0), 3);
  Append(Entry(8, 0, "/game/other.shp2"), 3);
  const std::vector<HistoryEntry> kept = ListHistory(Env(), "/game/shapes.shp2", {2049, 7, 10043844});
  ASSERT_EQ(kept.size(), 100u);
  EXPECT_EQ(kept.front().id, 102u) << "newest first";
  EXPECT_EQ(kept.back().id, 3u);
  EXPECT_EQ(ListHistory(Env(), "/game/other.shp2", {2049, 8, 10043844}).size(), 1u);
  EXPECT_FALSE(fs::exists(m_state + "/history/2.entry"));
  EXPECT_TRUE(ReadHistoryBefore(Env(), kept.back()));
}

TEST_F(PatchHistory, KeepsAtMost256MiBInAllDroppingTheOldestOfAnyFile) {
  // An index that says its entries are large; their files need not be.
  std::vector<HistoryEntry> large;
  for (std::uint64_t id = 1; id <= 3; ++id) {
    large.push_back(Entry(id, std::uint64_t{100} << 20));
    large.back().id = id;
  }
  fs::create_directories(m_state + "/history");
  std::ofstream(m_state + "/history/index") << FormatHistoryIndex(large);
  Append(Entry(9, 0), 1000);
  std::vector<std::uint64_t> left;
  for (std::uint64_t inode : {1, 2, 3, 9})
    for (const HistoryEntry& entry : ListHistory(Env(), "/game/shapes.shp2", {2049, inode, 10043844}))
      left.push_back(entry.id);
  EXPECT_EQ(left, (std::vector<std::uint64_t>{2, 3, 4}));
}

TEST_F(PatchHistory, ADamagedIndexIsMadeAgainFromTheEntries) {
  const HistoryEntry first = Append(Entry(7, 0), 10);
  const HistoryEntry second = Append(Entry(7, 0), 20);
  std::ofstream(m_state + "/history/index", std::ios::trunc) << "kestrow patch history 1\nid=";
  const std::vector<HistoryEntry> listed = ListHistory(Env(), "/game/shapes.shp2", {2049, 7, 10043844});
  EXPECT_EQ(Ids(listed), (std::vector<std::uint64_t>{second.id, first.id}));
  EXPECT_EQ(listed.front(), second);
  // A damaged entry is listed by the index, but refused when it is read.
  fs::resize_file(m_state + "/history/" + std::to_string(first.id) + ".entry", 100);
  EXPECT_FALSE(ReadHistoryBefore(Env(), listed.back()));
  EXPECT_TRUE(ReadHistoryBefore(Env(), listed.front()));
}

TEST_F(PatchHistory, AFileIsKnownByItsPathAndInode) {
  Append(Entry(7, 0, "/game/shapes.shp2"), 1);
  EXPECT_EQ(ListHistory(Env(), "/game/shapes.shp2", {2050, 7, 1}).size(), 1u) << "on a disk mounted again";
  EXPECT_EQ(ListHistory(Env(), "/game/shapes.shp2", {2049, 99, 1}).size(), 0u) << "a new file at the path";
  EXPECT_EQ(ListHistory(Env(), "/game/moved.shp2", {2049, 7, 1}).size(), 0u) << "another file with the inode";
}

}  // namespace
