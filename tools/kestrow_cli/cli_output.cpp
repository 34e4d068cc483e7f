#include "tools/kestrow_cli/cli_output.h"

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
  const ShapesFileOpenResult opened = OpenShapesFile(file, path.c_str(), use);
  if (!opened.opened) {
    // The cause tells a missing file from one held by another program.
    output.Fail(std::string(kShapesFileOpenFailedMessage) + " (" + opened.error.ErrorMessage().str() + ")");
    return false;
  }
  if (!opened.expectedSize) output.Warn(kShapesFileSizeWarning);
  if (length != nullptr) *length = opened.length;
  return true;
}
