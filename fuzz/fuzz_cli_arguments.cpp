// Fuzz target for kestrow-cli's command line: any arguments give a request
// or one line saying what is wrong. A request fills exactly the fields its
// command's operands name, with a set index of 0 to 7; written out again in
// one plain form (options first, "--", the operands, the set by its list
// position) it reads back as the same request.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/shapes/set_kinds.h"
#include "input_arguments.h"
#include "tools/kestrow_cli/cli_arguments.h"
#include "tools/kestrow_cli/cli_commands.h"

namespace {

std::string OperandText(CliOperand kind, const CliRequest& request) {
  switch (kind) {
    case CliOperand::Shapes: return request.shapesPath;
    case CliOperand::Set: return std::to_string(request.setIndex + 1);
    case CliOperand::Folder: return request.folder;
    case CliOperand::Input: return request.inputPath;
    case CliOperand::Output: return request.outputPath;
    case CliOperand::Header: return std::to_string(request.headerNumber);
    case CliOperand::Image: return std::to_string(request.imageNumber);
    case CliOperand::Original: return request.shapesPath;
    case CliOperand::Modified: return request.modifiedPath;
    case CliOperand::Patch: return request.patchPath;
    case CliOperand::PatchOutput: return request.patchPath;
  }
  std::abort();
}

// How many operands of `command` `request` holds: every required one, and
// the optional ones that were given. Optional operands are paths, and a
// path given is never empty.
int OperandsGiven(const CliCommand& command, const CliRequest& request) {
  int count = command.requiredOperands;
  while (count < command.requiredOperands + command.optionalOperands &&
         !OperandText(command.operands[count], request).empty())
    ++count;
  return count;
}

std::vector<std::string> PlainForm(const CliCommand& command, const CliRequest& request) {
  std::vector<std::string> arguments{command.name};
  for (const CliOptionRule& rule : CliOptions()) {
    if (!command.Takes(rule.option)) continue;
    if (rule.flag != nullptr && request.*(rule.flag)) arguments.push_back(rule.name);
    if (rule.text != nullptr && !(request.*(rule.text)).empty())
      arguments.push_back(std::string(rule.name) + "=" + request.*(rule.text));
  }
  arguments.push_back("--");
  for (int i = 0; i < OperandsGiven(command, request); ++i)
    arguments.push_back(OperandText(command.operands[i], request));
  return arguments;
}

bool SameRequest(const CliRequest& a, const CliRequest& b) {
  return a.command == b.command && a.help == b.help && a.version == b.version &&
         a.noGammaCorrection == b.noGammaCorrection && a.dither == b.dither && a.json == b.json &&
         a.shapesPath == b.shapesPath && a.setIndex == b.setIndex && a.folder == b.folder &&
         a.inputPath == b.inputPath && a.outputPath == b.outputPath && a.newShapesPath == b.newShapesPath &&
         a.headerNumber == b.headerNumber && a.imageNumber == b.imageNumber && a.modifiedPath == b.modifiedPath &&
         a.patchPath == b.patchPath;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> arguments = ArgumentsFromInput(data, size);
  const CliParseResult parsed = ParseCliArguments(arguments);
  if (!parsed.ok) {
    if (parsed.error.empty()) std::abort();
    return 0;
  }
  if (!parsed.error.empty()) std::abort();
  const CliRequest& request = parsed.request;
  if (request.command == nullptr) {
    // Only --help, -h or --version alone.
    if (arguments.size() != 1 || request.help == request.version) std::abort();
    return 0;
  }
  // With help asked for, the operands are not read.
  if (request.help) return 0;

  const CliCommand& command = *request.command;
  bool takesSet = false;
  for (int i = 0; i < command.requiredOperands + command.optionalOperands; ++i)
    takesSet |= command.operands[i] == CliOperand::Set;
  if (takesSet ? request.setIndex < 0 || request.setIndex >= kSetCount : request.setIndex != -1) std::abort();
  // The first operand is always a path that was given.
  if (OperandText(command.operands[0], request).empty()) std::abort();

  const std::vector<std::string> again = PlainForm(command, request);
  const CliParseResult reparsed = ParseCliArguments(again);
  if (!reparsed.ok || !SameRequest(reparsed.request, request)) std::abort();
  return 0;
}
