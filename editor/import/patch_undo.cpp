#include "editor/import/patch_undo.h"

#include <algorithm>

namespace {

std::string Unchanged() { return "; nothing was changed."; }

// The bytes of every range the entries touched, as one set of ranges that
// do not overlap: what the file holds there, then each entry's bytes laid
// over them in turn.
class Workspace {
 public:
  explicit Workspace(std::vector<FileRange> ranges) {
    std::sort(ranges.begin(), ranges.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
    for (const FileRange& range : ranges) {
      const std::uint64_t end = range.offset + range.bytes.size();
      if (m_ranges.empty() || range.offset > End(m_ranges.back()))
        m_ranges.push_back({range.offset, std::vector<BYTE>(range.bytes.size())});
      else if (end > End(m_ranges.back()))
        m_ranges.back().bytes.resize(static_cast<std::size_t>(end - m_ranges.back().offset));
    }
  }

  void Read(PatchFile& file) {
    for (FileRange& range : m_ranges) file.ReadAt(range.offset, range.bytes.data(), range.bytes.size());
  }

  // The bytes at `offset`, inside one of the ranges.
  BYTE* At(std::uint64_t offset) {
    auto range = std::upper_bound(m_ranges.begin(), m_ranges.end(), offset,
                                  [](std::uint64_t at, const FileRange& r) { return at < r.offset; });
    --range;
    return range->bytes.data() + (offset - range->offset);
  }

  kp::base::Sha256Digest DigestOf(const std::vector<FileRange>& ranges) {
    kp::base::Sha256 digest;
    for (const FileRange& range : ranges) digest.Update({At(range.offset), range.bytes.size()});
    return digest.Finish();
  }

  void Lay(const std::vector<FileRange>& ranges) {
    for (const FileRange& range : ranges) std::copy(range.bytes.begin(), range.bytes.end(), At(range.offset));
  }

  std::vector<FileRange>& Ranges() { return m_ranges; }

 private:
  static std::uint64_t End(const FileRange& range) { return range.offset + range.bytes.size(); }
  std::vector<FileRange> m_ranges;
};

std::vector<PatchedSet> SetsOf(const std::vector<HistoryEntry>& entries) {
  std::vector<PatchedSet> sets;
  for (const HistoryEntry& entry : entries)
    for (const PatchedSet& set : entry.sets) AddPatchedSet(sets, set);
  return sets;
}

}  // namespace

UndoResult UndoPatches(PatchFile& shapes, int steps, const PatchEnvironment& env,
                       std::optional<std::uint64_t> expectedNewest) {
  const std::string& path = shapes.Path();
  const FileIdentity file = shapes.Identity();
  std::vector<HistoryEntry> entries = ListHistory(env, path, file);
  if (entries.empty()) throw UndoRefusal(path + " has no patch in its history to undo.");
  if (expectedNewest && entries.front().id != *expectedNewest)
    throw UndoRefusal(path + " was patched again since" + Unchanged());
  if (steps < 1 || static_cast<std::size_t>(steps) > entries.size())
    throw UndoRefusal(path + " has " + std::to_string(entries.size()) + (entries.size() == 1 ? " patch" : " patches") +
                      " in its history, not " + std::to_string(steps) + Unchanged());
  entries.resize(static_cast<std::size_t>(steps));

  std::vector<std::vector<FileRange>> befores;
  std::vector<FileRange> all;
  for (const HistoryEntry& entry : entries) {
    std::optional<std::vector<FileRange>> before = ReadHistoryBefore(env, entry);
    if (!before)
      throw UndoRefusal("The history of patch #" + std::to_string(entry.id) + " of " + path + " is damaged" +
                        Unchanged());
    all.insert(all.end(), before->begin(), before->end());
    befores.push_back(std::move(*before));
  }
  // Ranges of a file of another length (another file at this path) are
  // not even read.
  for (const FileRange& range : all)
    if (!LiesInFile(range.offset, range.bytes.size(), file.length))
      throw UndoRefusal(path + " is not the file its history was kept for" + Unchanged());
  Workspace workspace(std::move(all));
  workspace.Read(shapes);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].file.length != file.length || workspace.DigestOf(befores[i]) != entries[i].written)
      throw UndoRefusal(path + " no longer holds the bytes patch #" + std::to_string(entries[i].id) +
                        " wrote, so it cannot be undone" + Unchanged());
    workspace.Lay(befores[i]);
  }

  PatchSubject subject;
  subject.kind = PatchKind::Undo;
  subject.sets = SetsOf(entries);
  for (const HistoryEntry& entry : entries) subject.undoes.push_back(entry.id);
  UndoResult result;
  result.committed = CommitPatch(shapes, std::move(workspace.Ranges()), subject, env);
  result.undone = std::move(entries);
  return result;
}

UndoResult UndoPatches(CFile& shapes, int steps, std::optional<std::uint64_t> expectedNewest) {
  const std::unique_ptr<PatchFile> file = BorrowOpenFile(shapes);
  return UndoPatches(*file, steps, DefaultPatchEnvironment(), expectedNewest);
}
