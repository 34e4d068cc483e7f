#include "editor/ui/shapes_file_command.h"

#include "editor/import/journal_recovery.h"
#include "platform/afx/prompts.h"

ShapesFileCommand::ShapesFileCommand(LPCTSTR path, ShapesFileUse use) {
  const RecoveredOpen result = OpenRecoveredShapesFile(m_file, path, use);
  // An interrupted patch rolled back, or why the file cannot be read until
  // it is: said once, before anything else.
  if (!result.recovery.message.empty()) AfxMessageBox(result.recovery.message.c_str(), MB_OK);
  if (!result.open.opened) {
    if (result.recovery.message.empty()) AfxMessageBox(kShapesFileOpenFailedMessage, MB_OK);
    return;
  }
  m_wait.emplace();
  if (!result.open.expectedSize) AfxMessageBox(kShapesFileSizeWarning, MB_OK);
}
