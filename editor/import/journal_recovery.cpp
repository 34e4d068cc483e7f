#include "editor/import/journal_recovery.h"

#include "editor/import/patch_journal.h"

namespace {

std::string InterruptedText(const std::string& path) { return "The last patch of " + path + " was interrupted"; }

RecoveryReport Report(RecoveryOutcome outcome, std::string message) { return {outcome, std::move(message)}; }

std::optional<PatchJournal> ReadJournal(PatchFileSystem& files, const std::string& path) {
  const std::optional<std::vector<BYTE>> bytes = ReadWholeFile(files, path);
  return bytes ? DecodeJournal(*bytes) : std::nullopt;
}

// Removes a journal that has nothing to roll back. One that cannot be
// removed (its folder has become read-only) is only looked at again.
void Discard(PatchFileSystem& files, const std::string& journalPath) {
  try {
    files.Remove(journalPath);
    files.SyncFolder(FolderOfPath(journalPath));
  } catch (const CFileException&) {
  }
}

}  // namespace

RecoveryReport RecoverShapesFile(const std::string& path, const PatchEnvironment& env) {
  const std::optional<FileIdentity> identity = env.files.Identify(path);
  if (!identity) return {};
  std::vector<std::string> journals;
  for (const std::string& candidate : {JournalBeside(path), JournalInStateFolder(env.stateFolder, *identity)})
    if (env.files.Identify(candidate)) journals.push_back(candidate);
  if (journals.empty()) return {};

  // The lock a patch holds while it writes: a writer still at work keeps
  // its journal. flock takes it on a descriptor that only reads, too.
  std::unique_ptr<PatchFile> shapes;
  bool writable = true;
  try {
    shapes = env.files.Open(path, PatchOpenMode::ReadWrite);
  } catch (const CFileException&) {
    writable = false;
    try {
      shapes = env.files.Open(path, PatchOpenMode::Read);
    } catch (const CFileException&) {
      // Not even readable: the command's own open says so.
      return {};
    }
  }
  RecoveryReport report;
  try {
    if (!shapes->Lock(false)) return Report(RecoveryOutcome::InUse, {});
    const FileIdentity now = shapes->Identity();
    for (const std::string& journalPath : journals) {
      const std::optional<PatchJournal> journal = ReadJournal(env.files, journalPath);
      // Unfinished, or left by a file that has since been replaced: either
      // way it never wrote into this file.
      if (!journal || journal->file.inode != now.inode || journal->file.length != now.length) {
        Discard(env.files, journalPath);
        continue;
      }
      if (!writable)
        return Report(RecoveryOutcome::NeedsWriteAccess,
                      InterruptedText(path) + ", and " + path +
                          " cannot be restored without write access to it; Kestrow reads it only once it is "
                          "restored.");
      for (const FileRange& range : journal->before)
        shapes->WriteAll(range.offset, range.bytes.data(), range.bytes.size());
      shapes->Sync();
      env.files.Remove(journalPath);
      try {
        env.files.SyncFolder(FolderOfPath(journalPath));
      } catch (const CFileException&) {
        // Restored and durable; a journal that comes back writes the same.
      }
      report = Report(RecoveryOutcome::Restored,
                      InterruptedText(path) + "; " + path + " has been restored to how it was before that patch.");
    }
  } catch (const CFileException& e) {
    return Report(RecoveryOutcome::Failed, InterruptedText(path) +
                                               ", and restoring it failed: " + e.ErrorMessage().str() +
                                               " Kestrow tries again the next time it opens " + path + ".");
  }
  return report;
}

RecoveryReport RecoverShapesFile(const std::string& path) { return RecoverShapesFile(path, DefaultPatchEnvironment()); }

RecoveredOpen OpenRecoveredShapesFile(CFile& file, const std::string& path, ShapesFileUse use) {
  RecoveredOpen result;
  result.recovery = RecoverShapesFile(path);
  if (result.recovery.Refuses()) {
    result.open.error = CFileException(CFileException::sharingViolation, -1, path.c_str());
    return result;
  }
  result.open = OpenShapesFile(file, path.c_str(), use);
  return result;
}
