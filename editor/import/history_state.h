#pragma once
// The oldest state of a shapes file that its patch history leads back to:
// its current bytes with the before-ranges of its entries laid over them,
// from the newest entry to the oldest. What the user has patched since is
// then the difference between that state and the current bytes, which is
// what Save Changes as Patch File... writes, without a copy of the stock
// file ever being kept.

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/import/patch_history.h"

// Why no older state can be told; what() is the message.
class HistoryStateRefusal : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct HistoryState {
  std::vector<BYTE> bytes;
  // How many entries, newest first, lead back to it: all of them, unless
  // an older one no longer fits what the newer ones left (the file was
  // changed between them by another program), where the way back stops.
  std::size_t entries = 0;
};

// The oldest state of the file at `path`, with identity `file`, whose
// bytes are now `current`. Throws HistoryStateRefusal when the history is
// empty, or when the file no longer holds what its newest patch wrote, as
// undo refuses then.
HistoryState OldestHistoryState(const PatchEnvironment& env, const std::string& path, const FileIdentity& file,
                                std::span<const BYTE> current);
