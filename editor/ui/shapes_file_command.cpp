#include "editor/ui/shapes_file_command.h"

#include "platform/afx/prompts.h"

ShapesFileCommand::ShapesFileCommand(LPCTSTR path, ShapesFileUse use) {
  const ShapesFileOpenResult result = OpenShapesFile(m_file, path, use);
  if (!result.opened) {
    AfxMessageBox(kShapesFileOpenFailedMessage, MB_OK);
    return;
  }
  m_wait.emplace();
  if (!result.expectedSize) AfxMessageBox(kShapesFileSizeWarning, MB_OK);
}
