#include "editor/import/history_state.h"

#include <algorithm>
#include <optional>

namespace {

// Whether every range lies inside a file of `length` bytes.
bool FitsIn(const std::vector<FileRange>& ranges, std::size_t length) {
  return std::all_of(ranges.begin(), ranges.end(),
                     [&](const FileRange& range) { return LiesInFile(range.offset, range.bytes.size(), length); });
}

// The digest of what `bytes` hold where the ranges lie, range after range,
// as the history keeps the digest of what a patch wrote.
kp::base::Sha256Digest DigestAt(std::span<const BYTE> bytes, const std::vector<FileRange>& ranges) {
  kp::base::Sha256 digest;
  for (const FileRange& range : ranges)
    digest.Update(bytes.subspan(static_cast<std::size_t>(range.offset), range.bytes.size()));
  return digest.Finish();
}

}  // namespace

HistoryState OldestHistoryState(const PatchEnvironment& env, const std::string& path, const FileIdentity& file,
                                std::span<const BYTE> current) {
  const std::vector<HistoryEntry> entries = ListHistory(env, path, file);
  if (entries.empty()) throw HistoryStateRefusal(path + " has no patch in its history.");
  HistoryState state;
  state.bytes.assign(current.begin(), current.end());
  for (const HistoryEntry& entry : entries) {
    const bool newest = state.entries == 0;
    std::optional<std::vector<FileRange>> before = ReadHistoryBefore(env, entry);
    if (!before) {
      if (newest)
        throw HistoryStateRefusal("The history of patch #" + std::to_string(entry.id) + " of " + path + " is damaged.");
      break;
    }
    if (entry.file.length != state.bytes.size() || !FitsIn(*before, state.bytes.size()) ||
        DigestAt(state.bytes, *before) != entry.written) {
      if (newest)
        throw HistoryStateRefusal(path + " no longer holds the bytes its newest patch (#" + std::to_string(entry.id) +
                                  ") wrote: it was changed since by another program.");
      break;
    }
    for (const FileRange& range : *before)
      std::copy(range.bytes.begin(), range.bytes.end(),
                state.bytes.begin() + static_cast<std::ptrdiff_t>(range.offset));
    ++state.entries;
  }
  return state;
}
