#include "editor/import/patch_transaction.h"

#include <algorithm>
#include <ctime>

namespace {

// A disk writes in sectors; one cut short by a power cut may hold garbage
// in any byte of it, also in bytes the patch did not change.
constexpr std::uint64_t kSectorBytes = 512;

std::string RestoredLaterText(const std::string& path) {
  return path + " could not be restored at once; Kestrow restores it the next time it opens it.";
}

// The writes as ranges that do not overlap, by rising offset. Overlapping
// writes (headers that put two images on the same bytes) become one range
// holding what writing them one after another leaves.
std::vector<FileRange> Disjoint(std::vector<FileRange> writes) {
  std::erase_if(writes, [](const FileRange& write) { return write.bytes.empty(); });
  std::vector<FileRange> ranges;
  std::vector<const FileRange*> byOffset;
  for (const FileRange& write : writes) byOffset.push_back(&write);
  std::stable_sort(byOffset.begin(), byOffset.end(), [](auto* a, auto* b) { return a->offset < b->offset; });
  for (const FileRange* write : byOffset) {
    const std::uint64_t end = write->offset + write->bytes.size();
    if (ranges.empty() || write->offset >= ranges.back().offset + ranges.back().bytes.size()) {
      ranges.push_back({write->offset, {}});
      ranges.back().bytes.resize(write->bytes.size());
    } else if (end > ranges.back().offset + ranges.back().bytes.size()) {
      ranges.back().bytes.resize(static_cast<std::size_t>(end - ranges.back().offset));
    }
  }
  // Each write into the range that holds it, in the order given.
  for (const FileRange& write : writes) {
    auto range = std::upper_bound(ranges.begin(), ranges.end(), write.offset,
                                  [](std::uint64_t offset, const FileRange& r) { return offset < r.offset; });
    --range;
    std::copy(write.bytes.begin(), write.bytes.end(), range->bytes.begin() + (write.offset - range->offset));
  }
  return ranges;
}

// The whole sectors the writes (disjoint, by rising offset) touch, within
// the file: what the journal saves, so that a torn sector can be put back
// whole.
std::vector<FileRange> SectorsOf(const std::vector<FileRange>& writes, std::uint64_t length) {
  std::vector<FileRange> sectors;
  for (const FileRange& write : writes) {
    const std::uint64_t start = write.offset / kSectorBytes * kSectorBytes;
    const std::uint64_t end =
        std::min(length, (write.offset + write.bytes.size() + kSectorBytes - 1) / kSectorBytes * kSectorBytes);
    if (!sectors.empty() && start < sectors.back().offset + sectors.back().bytes.size())
      sectors.back().bytes.resize(static_cast<std::size_t>(end - sectors.back().offset));
    else
      sectors.push_back({start, std::vector<BYTE>(static_cast<std::size_t>(end - start))});
  }
  return sectors;
}

// The saved bytes at `offset`, which one of the saved ranges holds.
const BYTE* SavedAt(const std::vector<FileRange>& saved, std::uint64_t offset) {
  auto range = std::upper_bound(saved.begin(), saved.end(), offset,
                                [](std::uint64_t at, const FileRange& r) { return at < r.offset; });
  --range;
  return range->bytes.data() + (offset - range->offset);
}

// Where this patch's journal goes: beside the file while its folder takes
// new files, else in the state folder.
std::string JournalPathFor(const PatchEnvironment& env, const std::string& path, const FileIdentity& file) {
  if (env.files.CanWriteIn(FolderOfPath(path))) return JournalBeside(path);
  env.files.MakeFolders(env.stateFolder + "/journals");
  return JournalInStateFolder(env.stateFolder, file);
}

// Writes the journal and makes it durable, name and all. A journal that
// cannot be finished is removed: the file has not been touched.
void WriteJournal(const PatchEnvironment& env, const std::string& journalPath, const PatchJournal& journal) {
  const std::vector<BYTE> bytes = EncodeJournal(journal);
  std::unique_ptr<PatchFile> file;
  try {
    file = env.files.Open(journalPath, PatchOpenMode::CreateNew);
  } catch (const CFileException& e) {
    throw PatchFailure(e, NothingChangedText(journal.path));
  }
  try {
    file->WriteAll(0, bytes.data(), bytes.size());
    file->Sync();
    file.reset();
    env.files.SyncFolder(FolderOfPath(journalPath));
  } catch (const CFileException& e) {
    file.reset();
    try {
      env.files.Remove(journalPath);
    } catch (const CFileException&) {
      // A journal left unfinished fails its checksum: the next open removes it.
    }
    throw PatchFailure(e, NothingChangedText(journal.path));
  }
}

// After `cause` stopped the patch: writes back the old bytes of the first
// `whole` writes and the first `part` bytes of the next (no more, so that a
// file size limit or a full disk does not stop this too), syncs, and
// removes the journal. Always throws.
[[noreturn]] void RollBack(const PatchEnvironment& env, PatchFile& shapes, const PatchJournal& journal,
                           const std::string& journalPath, const std::vector<FileRange>& writes, std::size_t whole,
                           std::size_t part, const CFileException& cause) {
  try {
    for (std::size_t i = 0; i < whole; ++i)
      shapes.WriteAll(writes[i].offset, SavedAt(journal.before, writes[i].offset), writes[i].bytes.size());
    if (whole < writes.size() && part > 0)
      shapes.WriteAll(writes[whole].offset, SavedAt(journal.before, writes[whole].offset), part);
    shapes.Sync();
    env.files.Remove(journalPath);
  } catch (const CFileException&) {
    throw PatchFailure(cause, RestoredLaterText(journal.path));
  }
  try {
    env.files.SyncFolder(FolderOfPath(journalPath));
  } catch (const CFileException&) {
    // The file holds its old bytes, durably; a journal that comes back
    // after a power cut only writes them again.
  }
  throw PatchFailure(cause, NothingChangedText(journal.path));
}

kp::base::Sha256Digest DigestOf(const std::vector<FileRange>& ranges) {
  kp::base::Sha256 digest;
  for (const FileRange& range : ranges) digest.Update(range.bytes);
  return digest.Finish();
}

}  // namespace

CString PatchFailure::ErrorMessage() const {
  return CString((CFileException::ErrorMessage().str() + " " + m_strOutcome).c_str());
}

std::string NothingChangedText(const std::string& path) { return "Nothing in " + path + " was changed."; }

PatchCommitted CommitPatch(PatchFile& shapes, std::vector<FileRange> writes, const PatchSubject& subject,
                           const PatchEnvironment& env) {
  writes = Disjoint(std::move(writes));
  if (writes.empty()) return {};
  PatchJournal journal;
  journal.path = shapes.Path();
  std::string journalPath;
  try {
    journal.file = shapes.Identity();
    for (const FileRange& write : writes)
      if (!LiesInFile(write.offset, write.bytes.size(), journal.file.length))
        throw CFileException(CFileException::endOfFile, 0, journal.path.c_str());
    journal.before = SectorsOf(writes, journal.file.length);
    for (FileRange& saved : journal.before) shapes.ReadAt(saved.offset, saved.bytes.data(), saved.bytes.size());
    journalPath = JournalPathFor(env, journal.path, journal.file);
  } catch (const CFileException& e) {
    throw PatchFailure(e, NothingChangedText(journal.path));
  }
  WriteJournal(env, journalPath, journal);

  std::size_t whole = 0;
  std::size_t part = 0;
  try {
    for (; whole < writes.size(); ++whole)
      shapes.WriteAll(writes[whole].offset, writes[whole].bytes.data(), writes[whole].bytes.size(), &part);
    shapes.Sync();
    env.files.Remove(journalPath);
  } catch (const CFileException& e) {
    RollBack(env, shapes, journal, journalPath, writes, whole, part, e);
  }
  try {
    env.files.SyncFolder(FolderOfPath(journalPath));
  } catch (const CFileException&) {
    // The patch is whole and durable. Should a power cut bring the journal
    // back, the next open puts the old bytes back: before, never half.
  }

  PatchCommitted committed;
  try {
    HistoryEntry entry;
    entry.time = static_cast<std::int64_t>(std::time(nullptr));
    entry.kind = subject.kind;
    entry.undoes = subject.undoes;
    entry.path = journal.path;
    entry.file = journal.file;
    entry.sets = subject.sets;
    entry.written = DigestOf(writes);
    // The history keeps the bytes of the writes themselves, not their
    // sectors: undo checks them against what the patch wrote.
    std::vector<FileRange> before;
    for (const FileRange& write : writes) {
      const BYTE* saved = SavedAt(journal.before, write.offset);
      before.push_back({write.offset, std::vector<BYTE>(saved, saved + write.bytes.size())});
    }
    committed.entry = AppendHistoryEntry(env, std::move(entry), before);
  } catch (const CFileException& e) {
    committed.historyProblem = e.ErrorMessage().str();
  }
  return committed;
}

PatchCommitted CommitPatch(CFile& shapes, std::vector<FileRange> writes, const PatchSubject& subject) {
  const std::unique_ptr<PatchFile> file = BorrowOpenFile(shapes);
  return CommitPatch(*file, std::move(writes), subject, DefaultPatchEnvironment());
}
