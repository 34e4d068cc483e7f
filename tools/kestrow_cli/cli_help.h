#pragma once
// The texts of --help and --version.

#include <string>

#include "tools/kestrow_cli/cli_commands.h"

std::string ToolHelp();
std::string CommandHelp(const CliCommand& command);
std::string VersionText();
// The line that follows a usage error.
std::string UsageHint(const CliCommand* command);
