#pragma once
// The commands of the tool, as one table: what each is called, what it
// takes, its help, and the function that runs it.

#include <span>

#include "tools/kestrow_cli/cli_output.h"
#include "tools/kestrow_cli/cli_request.h"

enum class CliOperand { shapes, set, folder, output, header, image };

struct CliCommand {
  const char* name;
  const char* synopsis;  // the usage line after the program name
  const char* summary;   // one line for the tool's help
  const char* details;   // the rest of the command's help
  CliOperand operands[4];
  int requiredOperands;
  int optionalOperands;
  bool takesNoGamma;
  int (*run)(const CliRequest& request, const CliOutput& output);
};

std::span<const CliCommand> CliCommands();
// The command named `name`, or null.
const CliCommand* FindCliCommand(const char* name);

int RunInfoCommand(const CliRequest& request, const CliOutput& output);
int RunExportCommand(const CliRequest& request, const CliOutput& output);
int RunImportCommand(const CliRequest& request, const CliOutput& output);
int RunPaletteCommand(const CliRequest& request, const CliOutput& output);
int RunProbeCommand(const CliRequest& request, const CliOutput& output);
