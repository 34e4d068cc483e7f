#pragma once
// The shape every shapes-file command shares: roll back a patch of the
// selected file that was interrupted (and say so), open it by path with the
// command's access and sharing, and when that fails say so and end;
// otherwise show the wait cursor, warn when the length is not the expected
// one and go on. The file is closed and the arrow cursor is back
// when the object goes, on every path out of the command.

#include <optional>

#include "editor/shapes/shapes_file_open.h"
#include "editor/ui/wait_cursor.h"
#include "platform/base/handles.h"
#include "platform/file/file.h"

class ShapesFileCommand {
 public:
  ShapesFileCommand(LPCTSTR path, ShapesFileUse use);
  ShapesFileCommand(const ShapesFileCommand&) = delete;
  ShapesFileCommand& operator=(const ShapesFileCommand&) = delete;

  // False when the file could not be opened; the user has been told.
  bool Opened() const { return m_file.IsOpen(); }
  CFile& File() { return m_file; }

 private:
  // Declared before the file, so the file is closed before the cursor
  // goes back to the arrow.
  std::optional<WaitCursor> m_wait;
  CFile m_file;
};
