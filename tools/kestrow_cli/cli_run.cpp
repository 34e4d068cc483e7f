#include "tools/kestrow_cli/cli_run.h"

#include <exception>
#include <new>

#include "platform/file/file_exception.h"
#include "tools/kestrow_cli/cli_arguments.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/cli_help.h"
#include "tools/kestrow_cli/patch_target.h"

namespace {

// A wrong command line: the reason, then the usage line of the command
// named when it was recognised, else a pointer to the help.
int UsageError(const std::string& error, const CliCommand* command, const CliOutput& output) {
  output.err << kProgramName << ": " << error << '\n' << UsageHint(command) << '\n';
  return kExitUsage;
}

}  // namespace

int RunCli(std::span<const std::string> arguments, const CliOutput& output) {
  const CliParseResult parsed = ParseCliArguments(arguments);
  if (!parsed.ok)
    return UsageError(parsed.error, arguments.empty() ? nullptr : FindCliCommand(arguments[0].c_str()), output);
  const CliRequest& request = parsed.request;
  if (request.version) {
    output.out << VersionText();
    return kExitSuccess;
  }
  if (request.command == nullptr) {
    output.out << ToolHelp();
    return kExitSuccess;
  }
  if (request.help) {
    output.out << CommandHelp(*request.command);
    return kExitSuccess;
  }
  // Patching SHAPES into itself would replace it while it is being read.
  if (std::string error = CheckOutputIsAnotherFile(request); !error.empty())
    return UsageError(error, request.command, output);
  // Reads, seeks and writes on files report as the framework's file
  // messages; the commands catch them only where they add what was or was
  // not written.
  try {
    // A patch of SHAPES that was interrupted is rolled back first, whatever
    // the command, even one that finds nothing to do with the file.
    if (!request.shapesPath.empty() && !RecoverShapesForCommand(request.shapesPath, output)) return kExitFailed;
    return request.command->run(request, output);
  } catch (const CFileException& e) {
    return output.Fail(e.ErrorMessage().str());
  } catch (const std::bad_alloc&) {
    return output.Fail("Out of memory");
  } catch (const std::exception& e) {
    return output.Fail(e.what());
  }
}
