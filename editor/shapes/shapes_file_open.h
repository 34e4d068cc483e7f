#pragma once
// The opening rule every shapes-file command follows: open by path with the
// access and sharing of the command, and compare the length with the
// expected size. No user interface here: the caller turns the result into
// its message boxes (the editor) or its printed lines (the command-line
// tool), with the texts below so that both say the same thing.

#include "platform/base/win_types.h"
#include "platform/file/file.h"

inline constexpr char kShapesFileOpenFailedMessage[] =
    "Unable to open selected shapes file\nMake sure it is not in use by another application";
inline constexpr char kShapesFileSizeWarning[] = "Selected shapes file is not the expected size!";

enum class ShapesFileUse {
  LoadSet,                // read; others may read, not write
  ImageFinder,            // read; others may read, not write
  Patch,                  // read and write; others may do neither
  GeneratePaletteBitmap,  // read; others may do neither
};

// The CFile open flags of a use.
UINT ShapesFileOpenFlags(ShapesFileUse use);

struct ShapesFileOpenResult {
  bool opened = false;
  // Only meaningful when opened: false means "warn and go on".
  bool expectedSize = false;
  ULONGLONG length = 0;
  // Why the open failed, for callers that want more than the fixed message.
  CFileException error;
};

// Opens `path` into `file` for `use`. Never throws for a file that cannot be
// opened; that is reported through `opened`.
ShapesFileOpenResult OpenShapesFile(CFile& file, LPCTSTR path, ShapesFileUse use);
