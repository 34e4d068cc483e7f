#include "tools/kestrow_cli/cli_output.h"

#include "editor/import/journal_recovery.h"

int CliOutput::Fail(std::string_view message) const {
  err << kProgramName << ": " << OneLine(message) << '\n';
  return kExitFailed;
}

void CliOutput::Warn(std::string_view message) const {
  err << kProgramName << ": warning: " << OneLine(message) << '\n';
}

std::string OneLine(std::string_view message) {
  std::string line;
  for (char c : message) {
    if (c == '\n')
      line += ". ";
    else
      line += c;
  }
  return line;
}

bool OpenShapesForCommand(CFile& file, const std::string& path, ShapesFileUse use, const CliOutput& output,
                          ULONGLONG* length) {
  const RecoveredOpen recovered = OpenRecoveredShapesFile(file, path, use);
  if (recovered.recovery.Refuses() && !recovered.recovery.message.empty()) {
    output.Fail(recovered.recovery.message);
    return false;
  }
  // A patch rolled back is told, and the command goes on.
  if (!recovered.recovery.message.empty()) output.err << kProgramName << ": " << recovered.recovery.message << '\n';
  const ShapesFileOpenResult& opened = recovered.open;
  if (!opened.opened) {
    // The cause tells a missing file from one held by another program.
    output.Fail(std::string(kShapesFileOpenFailedMessage) + " (" + opened.error.ErrorMessage().str() + ")");
    return false;
  }
  if (!opened.expectedSize) output.Warn(kShapesFileSizeWarning);
  if (length != nullptr) *length = opened.length;
  return true;
}
