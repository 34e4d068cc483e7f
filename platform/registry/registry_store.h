#pragma once
// The registry file on disk: reading it, and changing it safely when
// several processes write at once.
//
// Readers open the file and parse it without a lock: writers only ever
// replace it by renaming a complete new file over it, so a reader sees one
// whole version or the other. Each version gets an inode of its own, which
// is how a process knows that the version it parsed last is still the file. Writers take an exclusive open-file-description
// lock on "classes.reg.lock" beside the file, read the current file under
// that lock, apply their change, write the result to a temporary file in the
// same folder, flush it to disk and rename it over the file. Two processes
// changing different keys at the same time therefore both keep their change.

#include <functional>
#include <memory>
#include <string>

#include "platform/registry/registry_tree.h"

namespace kp::registry {

// The registry as it is now (empty when there is no file yet), shared with
// the other readers of the same version of the file: a version already read
// is not read and parsed again. ERROR_REGISTRY_CORRUPT when the file cannot
// be parsed, ERROR_CANTREAD when it cannot be read.
LONG ReadRegistry(std::shared_ptr<const RegistryKey>& root);

// A change to the tree: returns ERROR_SUCCESS to keep it (and sets
// `changed` when it changed anything), or an error to drop it.
using RegistryChange = std::function<LONG(RegistryKey& root, bool& changed)>;

// Runs `change` on the current tree under the writers' lock and writes the
// result when it succeeded and changed something. Returns the change's own
// error, ERROR_REGISTRY_CORRUPT (the file is left untouched),
// ERROR_CANTWRITE or ERROR_CANTOPEN.
LONG ModifyRegistry(const RegistryChange& change);

}  // namespace kp::registry
