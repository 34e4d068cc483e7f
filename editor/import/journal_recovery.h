#pragma once
// Finishing what a patch that died left: before Kestrow reads or writes a
// shapes file, it looks for a journal of that file (beside it, and in the
// state folder) and rolls it back, under the exclusive lock a patch takes,
// so that a writer still at work is never disturbed. A journal that is not
// whole was never committed to: it is removed, and the file was not
// touched. Every command that opens a shapes file opens it through
// OpenRecoveredShapesFile; choosing a file runs RecoverShapesFile.

#include <string>

#include "editor/import/patch_file_system.h"
#include "editor/shapes/shapes_file_open.h"
#include "platform/file/file.h"

enum class RecoveryOutcome {
  Clean,             // no journal, or one never committed to, now removed
  Restored,          // an interrupted patch was rolled back
  InUse,             // another program holds the file: its journal is not touched
  NeedsWriteAccess,  // an interrupted patch that only write access can roll back
  Failed,            // rolling back failed; the journal stays for the next time
};

struct RecoveryReport {
  RecoveryOutcome outcome = RecoveryOutcome::Clean;
  // What the user is told, once: empty for Clean and InUse.
  std::string message;
  // Whether the file may not be read until it is restored.
  bool Refuses() const { return outcome != RecoveryOutcome::Clean && outcome != RecoveryOutcome::Restored; }
};

RecoveryReport RecoverShapesFile(const std::string& path, const PatchEnvironment& env);
RecoveryReport RecoverShapesFile(const std::string& path);

struct RecoveredOpen {
  RecoveryReport recovery;
  ShapesFileOpenResult open;  // not opened when the recovery refuses
};

// RecoverShapesFile, then OpenShapesFile unless the recovery refuses.
RecoveredOpen OpenRecoveredShapesFile(CFile& file, const std::string& path, ShapesFileUse use);
