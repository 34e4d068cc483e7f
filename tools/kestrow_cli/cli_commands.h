#pragma once
// The commands of the tool, as one table: what each is called, what it
// takes, its help, and the function that runs it; and the options, as one
// table that the parser and the help both read.

#include <span>
#include <string>

#include "tools/kestrow_cli/cli_output.h"
#include "tools/kestrow_cli/cli_request.h"

enum class CliOperand { Shapes, Set, Folder, Input, Output, Header, Image, Original, Modified, Patch, PatchOutput };

// The options a command takes, as bits of CliCommand::options.
enum CliOption : unsigned {
  NoGammaOption = 1u << 0,
  DitherOption = 1u << 1,
  OutputOption = 1u << 2,
  JsonOption = 1u << 3,
  StepsOption = 1u << 4,
};

struct CliOptionRule {
  CliOption option;
  const char* name;               // "--no-gamma"
  const char* value;              // the value's name in the help ("NEW"), or null for a switch
  bool CliRequest::*flag;         // set by a switch
  std::string CliRequest::*text;  // takes the value
  const char* help;               // its line in the options list: one line or more, each ending in a line break
  const char* details;            // a paragraph for the help of the commands that take it, or null
};

struct CliCommand {
  const char* name;
  const char* synopsis;  // the usage line after the program name
  const char* summary;   // one line for the tool's help
  const char* details;   // the rest of the command's help
  CliOperand operands[4];
  int requiredOperands;
  int optionalOperands;
  unsigned options;  // CliOption bits
  int (*run)(const CliRequest& request, const CliOutput& output);

  bool Takes(CliOption option) const { return (options & option) != 0; }
};

std::span<const CliCommand> CliCommands();
// The command named `name`, or null.
const CliCommand* FindCliCommand(const char* name);
std::span<const CliOptionRule> CliOptions();

int RunInfoCommand(const CliRequest& request, const CliOutput& output);
int RunExportCommand(const CliRequest& request, const CliOutput& output);
int RunImportCommand(const CliRequest& request, const CliOutput& output);
int RunConvertCommand(const CliRequest& request, const CliOutput& output);
int RunExportAllCommand(const CliRequest& request, const CliOutput& output);
int RunImportAllCommand(const CliRequest& request, const CliOutput& output);
int RunPaletteCommand(const CliRequest& request, const CliOutput& output);
int RunProbeCommand(const CliRequest& request, const CliOutput& output);
int RunDiffCommand(const CliRequest& request, const CliOutput& output);
int RunApplyCommand(const CliRequest& request, const CliOutput& output);
int RunShowCommand(const CliRequest& request, const CliOutput& output);
int RunHistoryCommand(const CliRequest& request, const CliOutput& output);
int RunUndoCommand(const CliRequest& request, const CliOutput& output);
