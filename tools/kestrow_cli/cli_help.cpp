#include "tools/kestrow_cli/cli_help.h"

#include <algorithm>
#include <vector>

#include "kestrow_version.h"

namespace {

constexpr char kSetHelp[] =
    "SET is the position in the editor's set list, 1 to 8 (\"Texture Set # 1\" is 1,\n"
    "\"Landscape # 4\" is 8), or the list string itself.\n";
constexpr char kSafety[] =
    "A patch in place (import, import-all, apply, undo) is one transaction: a\n"
    "journal of the bytes it replaces is made durable beside SHAPES (or in\n"
    "$XDG_STATE_HOME/kestrow) before SHAPES changes, so a patch cut short by a\n"
    "crash, a kill or a full disk is rolled back, at once or by the next command\n"
    "that opens SHAPES. Each patch is kept in a patch history in\n"
    "$XDG_STATE_HOME/kestrow (by default ~/.local/state/kestrow), for history and\n"
    "undo: the newest 100 patches of each file and 256 MiB in all, the oldest\n"
    "dropped first.\n";
constexpr char kExitStatus[] =
    "Exit status: 0 on success, 1 when the work failed (one line on standard error),\n"
    "2 for a wrong command line. Warnings go to standard error and leave the status.\n";

bool TakesOperand(const CliCommand& command, CliOperand operand) {
  const int count = command.requiredOperands + command.optionalOperands;
  return std::find(command.operands, command.operands + count, operand) != command.operands + count;
}

// One entry of a list of options or commands: the name, then the
// description in a column that every entry of the list shares.
struct ListEntry {
  std::string name;
  std::string description;  // lines, each ending in a line break
};

// Descriptions start two spaces after the longest name; the lines after an
// entry's first are indented to the same column.
std::string FormatList(const std::vector<ListEntry>& entries) {
  std::size_t widest = 0;
  for (const ListEntry& entry : entries) widest = std::max(widest, entry.name.size());
  const std::string indent(2 + widest + 2, ' ');
  std::string text;
  for (const ListEntry& entry : entries) {
    std::string line = "  " + entry.name;
    line.resize(indent.size(), ' ');
    for (std::size_t i = 0; i < entry.description.size(); ++i) {
      line += entry.description[i];
      if (entry.description[i] == '\n' && i + 1 < entry.description.size()) line += indent;
    }
    text += line;
  }
  return text;
}

}  // namespace

std::string ToolHelp() {
  std::vector<ListEntry> commands;
  for (const CliCommand& command : CliCommands())
    commands.push_back({command.name, command.summary + std::string("\n")});
  return std::string("usage: ") + kProgramName + " COMMAND ARGUMENTS...\n" +
         "The shapes-file work of the Kestrow editor, without windows.\n\nCommands:\n" + FormatList(commands) + "\n" +
         kSetHelp + "\n" + kSafety + "\nOptions:\n" +
         FormatList({{"--help", "show this help\n"}, {"--version", "show the version\n"}}) + "\n\"" + kProgramName +
         " COMMAND --help\" describes one command.\n" + kExitStatus;
}

std::string CommandHelp(const CliCommand& command) {
  std::string text = std::string("usage: ") + kProgramName + " " + command.synopsis + "\n" + command.details;
  std::vector<ListEntry> options;
  for (const CliOptionRule& option : CliOptions()) {
    if (!command.Takes(option.option)) continue;
    if (option.details != nullptr) text += std::string("\n") + option.details;
    const std::string value = option.value != nullptr ? std::string(" ") + option.value : std::string();
    options.push_back({option.name + value, option.help});
  }
  options.push_back({"--help", "show this help\n"});
  if (TakesOperand(command, CliOperand::Set)) text += std::string("\n") + kSetHelp;
  // The commands that patch in place, or look back on what was patched.
  for (auto patchesInPlace :
       {&RunImportCommand, &RunImportAllCommand, &RunApplyCommand, &RunHistoryCommand, &RunUndoCommand})
    if (command.run == patchesInPlace) text += std::string("\n") + kSafety;
  text += "\nOptions:\n" + FormatList(options);
  text += std::string("\n") + kExitStatus;
  return text;
}

std::string VersionText() { return std::string(kProgramName) + " " + KESTROW_VERSION + "\n"; }

std::string UsageHint(const CliCommand* command) {
  if (command == nullptr) return std::string("Try '") + kProgramName + " --help'.";
  return std::string("usage: ") + kProgramName + " " + command->synopsis + " (try '" + kProgramName + " " +
         command->name + " --help')";
}
