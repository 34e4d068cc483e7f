#include "tools/kestrow_cli/cli_run.h"

#include <exception>
#include <new>

#include "platform/file/file_exception.h"
#include "tools/kestrow_cli/cli_arguments.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/cli_help.h"

int RunCli(std::span<const std::string> arguments, const CliOutput& output) {
  const CliParseResult parsed = ParseCliArguments(arguments);
  if (!parsed.ok) {
    // The command named, when it was recognised, gives its own usage line.
    const CliCommand* command = arguments.empty() ? nullptr : FindCliCommand(arguments[0].c_str());
    output.err << kProgramName << ": " << parsed.error << '\n' << UsageHint(command) << '\n';
    return kExitUsage;
  }
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
  // Reads, seeks and writes on files report as the framework's file
  // messages; the commands catch them only where they add what was or was
  // not written.
  try {
    return request.command->run(request, output);
  } catch (const CFileException& e) {
    return output.Fail(e.ErrorMessage().str());
  } catch (const std::bad_alloc&) {
    return output.Fail("Out of memory");
  } catch (const std::exception& e) {
    return output.Fail(e.what());
  }
}
