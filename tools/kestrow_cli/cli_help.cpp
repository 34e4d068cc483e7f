#include "tools/kestrow_cli/cli_help.h"

#include <algorithm>

namespace {

constexpr char kSetHelp[] =
    "SET is the position in the editor's set list, 1 to 8 (\"Texture Set # 1\" is 1,\n"
    "\"Landscape # 4\" is 8), or the list string itself.\n";
constexpr char kGammaOption[] =
    "  --no-gamma  read the set palette without the gamma curve, as the check box\n"
    "              \"Disable gamma correction when loading\" does\n";
constexpr char kHelpOption[] = "  --help      show this help\n";
constexpr char kExitStatus[] =
    "Exit status: 0 on success, 1 when the work failed (one line on standard error),\n"
    "2 for a wrong command line. Warnings go to standard error and leave the status.\n";

bool TakesOperand(const CliCommand& command, CliOperand operand) {
  const int count = command.requiredOperands + command.optionalOperands;
  return std::find(command.operands, command.operands + count, operand) != command.operands + count;
}

}  // namespace

std::string ToolHelp() {
  std::string text = std::string("usage: ") + kProgramName + " COMMAND ARGUMENTS...\n" +
                     "The shapes-file work of the Kestrow editor, without windows.\n\nCommands:\n";
  for (const CliCommand& command : CliCommands()) {
    std::string line = std::string("  ") + command.name;
    line.resize(11, ' ');
    text += line + command.summary + '\n';
  }
  text += std::string("\n") + kSetHelp + "\nOptions:\n" + kHelpOption + "  --version   show the version\n\n" +
          "\"" + kProgramName + " COMMAND --help\" describes one command.\n" + kExitStatus;
  return text;
}

std::string CommandHelp(const CliCommand& command) {
  std::string text = std::string("usage: ") + kProgramName + " " + command.synopsis + "\n" + command.details;
  if (TakesOperand(command, CliOperand::set)) text += std::string("\n") + kSetHelp;
  text += "\nOptions:\n";
  if (command.takesNoGamma) text += kGammaOption;
  text += kHelpOption;
  text += std::string("\n") + kExitStatus;
  return text;
}

std::string VersionText() { return std::string(kProgramName) + " " + KESTROW_VERSION + "\n"; }

std::string UsageHint(const CliCommand* command) {
  if (command == nullptr) return std::string("Try '") + kProgramName + " --help'.";
  return std::string("usage: ") + kProgramName + " " + command->synopsis + " (try '" + kProgramName + " " +
         command->name + " --help')";
}
