// undo SHAPES [--steps N]: the newest N patches of SHAPES put back from the
// patch history, as one patch of its own.

#include <charconv>

#include "editor/import/patch_undo.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/cli_help.h"
#include "tools/kestrow_cli/history_text.h"

namespace {

// --steps N: a whole number from 1 to the bound of the history.
std::optional<int> StepsOf(const CliRequest& request) {
  if (request.steps.empty()) return 1;
  int steps = 0;
  const char* end = request.steps.data() + request.steps.size();
  const auto [stop, error] = std::from_chars(request.steps.data(), end, steps);
  if (error != std::errc() || stop != end || steps < 1 || steps > static_cast<int>(kHistoryEntriesPerFile))
    return std::nullopt;
  return steps;
}

}  // namespace

int RunUndoCommand(const CliRequest& request, const CliOutput& output) {
  const std::optional<int> steps = StepsOf(request);
  if (!steps) {
    output.err << kProgramName << ": --steps must be a whole number from 1 to " << kHistoryEntriesPerFile << ", not '"
               << request.steps << "'\n"
               << UsageHint(request.command) << '\n';
    return kExitUsage;
  }
  CFile file;
  if (!OpenShapesForCommand(file, request.shapesPath, ShapesFileUse::Patch, output)) return kExitFailed;
  UndoResult result;
  try {
    result = UndoPatches(file, *steps);
  } catch (const UndoRefusal& refusal) {
    return output.Fail(refusal.what());
  } catch (const CFileException& e) {
    // PatchFailure says what became of SHAPES.
    return output.Fail(e.ErrorMessage().str());
  }
  file.Close();
  for (const HistoryEntry& entry : result.undone) output.out << "undid " << HistoryLine(entry) << '\n';
  if (!result.committed.historyProblem.empty())
    output.Warn("the undo is not kept in the history, so it cannot be undone: " + result.committed.historyProblem);
  return kExitSuccess;
}
