#pragma once
// Undo: the newest entries of a file's patch history put back, as one
// patch of its own. It writes the bytes the entries saved, but only while
// the file still holds the bytes those patches wrote; a file that was
// changed since by anything else is refused and left alone. The undo is
// kept in the history like any patch, so undoing an undo redoes.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "editor/import/patch_transaction.h"

// Why an undo was not made; nothing was written. what() is the message.
class UndoRefusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct UndoResult {
  std::vector<HistoryEntry> undone;  // newest first
  PatchCommitted committed;
};

// Puts back the newest `steps` entries of the history of `shapes`, newest
// first, in one transaction. With `expectedNewest`, refuses unless that is
// the id of the newest entry (what the user was asked about). Throws
// UndoRefusal, or PatchFailure as CommitPatch does.
UndoResult UndoPatches(PatchFile& shapes, int steps, const PatchEnvironment& env,
                       std::optional<std::uint64_t> expectedNewest = std::nullopt);
UndoResult UndoPatches(CFile& shapes, int steps, std::optional<std::uint64_t> expectedNewest = std::nullopt);
