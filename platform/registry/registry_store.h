#pragma once
// The registry files on disk (registry_locations.h says which): reading
// them into one view, and changing the writable one safely when several
// processes write at once.
//
// Readers open the files and parse them without a lock: writers only ever
// replace a file by renaming a complete new file over it, so a reader sees
// one whole version or the other, and each version gets an inode of its
// own, which is how a process knows that the version it parsed last is still
// the file. Writers of a user's file take an exclusive open-file-description
// lock on the file's name with ".lock" added ("classes.reg.lock"); an
// installer writing a machine-wide file locks the folder itself, so that no
// lock file is left in an installed tree. Under the lock a writer reads the
// current file, applies its change, writes the result to a temporary file
// in the same folder, flushes it to disk and renames it over the file. Two
// processes changing different keys at the same time therefore both keep
// their change.

#include <functional>
#include <memory>
#include <string>

#include "platform/base/hresult.h"
#include "platform/registry/registry_locations.h"
#include "platform/registry/registry_tree.h"

namespace kp::registry {

// What the Reg* calls read: the machine-wide file's keys with the user's
// over them. A key the user has shows the user's values; the subkeys of
// both show.
struct RegistryView {
  RegistryKey root;
  // ERROR_SUCCESS, or why the machine-wide file could not be read
  // (ERROR_CANTREAD, ERROR_REGISTRY_CORRUPT). It then reads as empty, and a
  // lookup that finds nothing reports this instead of ERROR_FILE_NOT_FOUND.
  LONG belowFault = ERROR_SUCCESS;
};

// Reads the view of `hive` (empty when there are no files yet), shared with
// the other readers of the same versions of the files: a version already
// read is not read and parsed again. ERROR_REGISTRY_CORRUPT when the writable file
// cannot be parsed, ERROR_CANTREAD when it cannot be read: the user's own
// file failing fails every call.
LONG LoadRegistry(std::shared_ptr<const RegistryView>& view, Hive hive = Hive::ClassesRoot);

// A change to the writable file's tree `root`, with the read-only tree
// under it (`below`, paths already absolute) for what readers see there.
// Returns ERROR_SUCCESS to keep it (and sets `changed` when it changed
// anything), or an error to drop it.
using RegistryChange = std::function<LONG(RegistryKey& root, const RegistryKey& below, bool& changed)>;

// Runs `change` on the current tree of the writable file of `hive` under the
// writers' lock and writes the result when it succeeded and changed
// something. Returns
// the change's own error, ERROR_REGISTRY_CORRUPT (the file is left
// untouched), ERROR_CANTWRITE or ERROR_CANTOPEN.
LONG ModifyRegistry(Hive hive, const RegistryChange& change);

}  // namespace kp::registry
