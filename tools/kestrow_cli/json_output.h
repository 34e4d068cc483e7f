#pragma once
// --json: the values of a command as one JSON object on standard output,
// on one line. The JSON library escapes every string (quotes, backslashes,
// line breaks and other control characters). JSON text is Unicode, so a
// byte of a path that is not part of valid UTF-8 is written as U+FFFD.

#include <nlohmann/json.hpp>

#include "tools/kestrow_cli/cli_output.h"

void PrintJson(const nlohmann::json& object, const CliOutput& output);
