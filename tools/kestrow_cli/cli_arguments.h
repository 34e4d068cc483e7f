#pragma once
// Taking the command line apart. Anything wrong with it is a usage error
// (exit status 2) with one line saying what.

#include <span>
#include <string>

#include "tools/kestrow_cli/cli_request.h"

struct CliParseResult {
  bool ok = false;
  CliRequest request;
  std::string error;  // when not ok
};

// `arguments` are the program's arguments without the program name.
CliParseResult ParseCliArguments(std::span<const std::string> arguments);
