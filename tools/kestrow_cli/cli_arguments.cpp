#include "tools/kestrow_cli/cli_arguments.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <vector>

#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/set_names.h"

namespace {

bool IsHelp(const std::string& argument) { return argument == "--help" || argument == "-h"; }

// An option begins with a dash; a dash before a digit is a negative number,
// which a header or image number may be.
bool IsOption(const std::string& argument) {
  return argument.size() > 1 && argument[0] == '-' && !std::isdigit(static_cast<unsigned char>(argument[1]));
}

std::optional<int> ParseInteger(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

CliParseResult Refuse(std::string error) {
  CliParseResult result;
  result.error = std::move(error);
  return result;
}

// What each kind of operand is called in messages and where it goes: a
// path into a text field, a number into an integer field, or the set.
struct OperandRule {
  CliOperand kind;
  const char* name;
  std::string CliRequest::*text;
  int CliRequest::*number;
};

constexpr OperandRule kOperandRules[] = {
    {CliOperand::Shapes, "SHAPES", &CliRequest::shapesPath, nullptr},
    {CliOperand::Set, "SET", nullptr, nullptr},
    {CliOperand::Folder, "DIR", &CliRequest::folder, nullptr},
    {CliOperand::Input, "IN", &CliRequest::inputPath, nullptr},
    {CliOperand::Output, "OUT.bmp", &CliRequest::outputPath, nullptr},
    {CliOperand::Header, "HEADER", nullptr, &CliRequest::headerNumber},
    {CliOperand::Image, "IMAGE", nullptr, &CliRequest::imageNumber},
    {CliOperand::Original, "ORIGINAL", &CliRequest::shapesPath, nullptr},
    {CliOperand::Modified, "MODIFIED", &CliRequest::modifiedPath, nullptr},
    {CliOperand::Patch, "PATCH", &CliRequest::patchPath, nullptr},
    {CliOperand::PatchOutput, "OUT.vcdiff", &CliRequest::patchPath, nullptr},
};

// Stores operand `text` where its kind goes; an error message when it
// cannot mean that.
std::string TakeOperand(CliOperand kind, const std::string& text, CliRequest& request) {
  const OperandRule* rule = &kOperandRules[0];
  while (rule->kind != kind) ++rule;
  if (text.empty()) return std::string(rule->name) + " is empty";
  if (rule->text != nullptr) {
    request.*(rule->text) = text;
  } else if (rule->number != nullptr) {
    const std::optional<int> number = ParseInteger(text);
    if (!number) return std::string(rule->name) + " must be a decimal integer, not '" + text + "'";
    request.*(rule->number) = *number;
  } else {
    const std::optional<int> set = ParseSetArgument(text);
    if (!set) return "SET must be 1 to 8 or a name from the set list such as \"Texture Set # 1\", not '" + text + "'";
    request.setIndex = *set;
  }
  return {};
}

// The option `argument` names among those `command` takes ("--output NEW"
// may also be written "--output=NEW"), or null.
const CliOptionRule* FindOption(const CliCommand& command, const std::string& argument) {
  for (const CliOptionRule& rule : CliOptions()) {
    if (!command.Takes(rule.option)) continue;
    const std::string name = rule.name;
    if (argument == name || (rule.value != nullptr && argument.rfind(name + "=", 0) == 0)) return &rule;
  }
  return nullptr;
}

}  // namespace

CliParseResult ParseCliArguments(std::span<const std::string> arguments) {
  if (arguments.empty()) return Refuse("no command given");
  CliParseResult result;
  CliRequest& request = result.request;

  const std::string& first = arguments[0];
  if (IsHelp(first) || first == "--version") {
    request.help = IsHelp(first);
    request.version = !request.help;
    if (arguments.size() > 1) return Refuse("'" + first + "' takes nothing after it");
    result.ok = true;
    return result;
  }
  if (IsOption(first)) return Refuse("unknown option '" + first + "'");
  request.command = FindCliCommand(first.c_str());
  if (request.command == nullptr) return Refuse("unknown command '" + first + "'");
  const CliCommand& command = *request.command;

  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (optionsEnded || !IsOption(argument)) {
      operands.push_back(argument);
    } else if (argument == "--") {
      optionsEnded = true;
    } else if (IsHelp(argument)) {
      request.help = true;
    } else if (const CliOptionRule* option = FindOption(command, argument); option == nullptr) {
      return Refuse(std::string(command.name) + " has no option '" + argument + "'");
    } else if (option->value == nullptr) {
      request.*(option->flag) = true;
    } else {
      const std::size_t equals = argument.find('=');
      if (equals == std::string::npos && i + 1 == arguments.size())
        return Refuse(std::string(option->name) + " needs " + option->value + " after it");
      const std::string value = equals != std::string::npos ? argument.substr(equals + 1) : arguments[++i];
      if (value.empty()) return Refuse(std::string(option->value) + " is empty");
      request.*(option->text) = value;
    }
  }
  // Help is asked for: the operands do not matter.
  if (request.help) {
    result.ok = true;
    return result;
  }

  const auto count = static_cast<int>(operands.size());
  if (count < command.requiredOperands) return Refuse(std::string(command.name) + " needs more arguments");
  if (count > command.requiredOperands + command.optionalOperands)
    return Refuse(std::string(command.name) + " takes no argument '" + operands.back() + "'");
  for (int i = 0; i < count; ++i) {
    std::string error = TakeOperand(command.operands[i], operands[static_cast<std::size_t>(i)], request);
    if (!error.empty()) return Refuse(std::move(error));
  }
  result.ok = true;
  return result;
}
