// The oldest state a file's history leads back to: every entry laid back
// over the current bytes, refused when the file no longer holds what its
// newest patch wrote, and stopped where an older entry no longer fits what
// the newer ones left.

#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <optional>

#include "editor/import/history_state.h"
#include "platform/testing/temp_environment.h"

namespace {

constexpr char kPath[] = "/game/shapes.shp2";
constexpr FileIdentity kFile{2049, 7, 64};

// A small file's bytes, patched in place with each patch kept in a
// history of its own, as CommitPatch keeps it.
class PatchedFile {
 public:
  explicit PatchedFile(const std::string& name)
      : m_state(kp::testing::TemporaryRoot() + "/history-state-" + name), m_bytes(kFile.length) {
    std::filesystem::remove_all(m_state);
    std::iota(m_bytes.begin(), m_bytes.end(), BYTE{1});
  }

  PatchEnvironment Env() const { return {PosixPatchFileSystem(), m_state}; }
  std::vector<BYTE>& Bytes() { return m_bytes; }

  // Writes `count` bytes of `value` at `offset`, and keeps the patch.
  void Patch(std::size_t offset, std::size_t count, BYTE value) {
    const auto at = m_bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const FileRange before{offset, std::vector<BYTE>(at, at + static_cast<std::ptrdiff_t>(count))};
    std::fill_n(at, count, value);
    HistoryEntry entry;
    entry.path = kPath;
    entry.file = kFile;
    entry.written = kp::base::Sha256Of(std::span<const BYTE>(&*at, count));
    AppendHistoryEntry(Env(), entry, std::vector<FileRange>{before});
  }

 private:
  std::string m_state;
  std::vector<BYTE> m_bytes;
};

TEST(OldestHistoryState, LaysTheEntriesBackFromTheNewestAndStopsWhereTheWayBackBreaks) {
  // Each row patches the file and returns the state the way back should
  // lead to (none: refused).
  using Expected = std::optional<std::vector<BYTE>>;
  // clang-format off
  const struct {
    const char* what;
    Expected (*make)(PatchedFile& file);
    std::size_t entries;  // how many entries lead back
  } rows[] = {
      {"three patches, two of them overlapping",
       [](PatchedFile& f) -> Expected {
         const std::vector<BYTE> stock = f.Bytes();
         f.Patch(8, 8, 0xAA); f.Patch(12, 8, 0xBB); f.Patch(40, 4, 0xCC);
         return stock;
       }, 3},
      {"a change by another program between two patches",
       [](PatchedFile& f) -> Expected {
         f.Patch(8, 8, 0xAA); f.Bytes()[9] = 0x55;
         const std::vector<BYTE> changed = f.Bytes();
         f.Patch(12, 8, 0xBB);
         return changed;
       }, 1},
      {"a change by another program since the newest patch",
       [](PatchedFile& f) -> Expected { f.Patch(8, 8, 0xAA); f.Bytes()[10] = 0x55; return std::nullopt; }, 0},
      {"no patch at all", [](PatchedFile&) -> Expected { return std::nullopt; }, 0},
  };
  // clang-format on
  for (const auto& row : rows) {
    PatchedFile file(std::to_string(&row - rows));
    const Expected expected = row.make(file);
    if (!expected) {
      EXPECT_THROW(OldestHistoryState(file.Env(), kPath, kFile, file.Bytes()), HistoryStateRefusal) << row.what;
      continue;
    }
    const HistoryState state = OldestHistoryState(file.Env(), kPath, kFile, file.Bytes());
    EXPECT_EQ(state.entries, row.entries) << row.what;
    EXPECT_EQ(state.bytes, *expected) << row.what;
  }
}

}  // namespace
