#pragma once
// The whole tool behind main(): parses the arguments, runs the command and
// turns every failure into one line and an exit status.

#include <span>
#include <string>

#include "tools/kestrow_cli/cli_output.h"

// `arguments` without the program name. Returns the exit status.
int RunCli(std::span<const std::string> arguments, const CliOutput& output);
