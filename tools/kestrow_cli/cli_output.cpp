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

namespace {
// Says what the recovery did: a refusal as the command's failure, a patch
// rolled back as a line of its own, after which the command goes on.
bool Tell(const RecoveryReport& recovery, const CliOutput& output) {
  if (recovery.message.empty()) return true;
  if (recovery.Refuses()) {
    output.Fail(recovery.message);
    return false;
  }
  output.err << kProgramName << ": " << recovery.message << '\n';
  return true;
}
}  // namespace

bool RecoverShapesForCommand(const std::string& path, const CliOutput& output) {
  return Tell(RecoverShapesFile(path), output);
}

bool OpenShapesForCommand(CFile& file, const std::string& path, ShapesFileUse use, const CliOutput& output,
                          ULONGLONG* length) {
  const RecoveredOpen recovered = OpenRecoveredShapesFile(file, path, use);
  if (!Tell(recovered.recovery, output)) return false;
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
