#pragma once
// One in-place patch of an open shapes file as one transaction: every new
// byte is written, or none is. Any writer of the file in place (the editor's
// Patch, kestrow-cli's import and import-all, undo) hands its ranges of new
// bytes to CommitPatch, with what the history is to say of them.
//
// The order of the work is what makes it safe, so it is fixed here:
//   1. read what every range holds now;
//   2. write the journal of those bytes, sync it and then its folder;
//   3. write the new bytes and sync the file;
//   4. remove the journal (the commit), then sync its folder;
//   5. keep the patch in the history.
// A crash before 4 leaves a journal that the next open of the file rolls
// back (journal_recovery.h); after it, the patch stands. A write that fails
// in 3 writes the old bytes back at once; only when even that fails does
// the journal stay, for the next open to finish.

#include <string>
#include <vector>

#include "editor/import/patch_file_system.h"
#include "editor/import/patch_history.h"
#include "editor/import/patch_journal.h"
#include "platform/file/file.h"

// What the history says of a patch, besides its bytes.
struct PatchSubject {
  PatchKind kind = PatchKind::Patch;
  std::vector<PatchedSet> sets;
  std::vector<std::uint64_t> undoes;
};

struct PatchCommitted {
  // The history entry kept for the patch; nothing when no byte was written,
  // or when the history could not be written (then `historyProblem` says
  // why, and the patch stands all the same).
  std::optional<HistoryEntry> entry;
  std::string historyProblem;
};

// A patch that failed: the framework's message for the file error, then
// what became of the shapes file.
class PatchFailure : public CFileException {
 public:
  PatchFailure(const CFileException& cause, std::string outcome)
      : CFileException(cause), m_strOutcome(std::move(outcome)) {}
  CString ErrorMessage() const override;

  std::string m_strOutcome;
};

// "Nothing in FILE was changed."
std::string NothingChangedText(const std::string& path);

// Writes `writes` into `shapes` as one transaction, in the order above, and
// keeps it in the history. Ranges that overlap are written as if one after
// another. Throws PatchFailure when the patch could not be made; the file
// then holds what it held before (or, when even that could not be written
// back, will once Kestrow next opens it, as the message says).
PatchCommitted CommitPatch(PatchFile& shapes, std::vector<FileRange> writes, const PatchSubject& subject,
                           const PatchEnvironment& env);
// The same for a shapes file opened for patching, on the program's files.
PatchCommitted CommitPatch(CFile& shapes, std::vector<FileRange> writes, const PatchSubject& subject);
