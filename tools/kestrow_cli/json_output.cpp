#include "tools/kestrow_cli/json_output.h"

void PrintJson(const nlohmann::json& object, const CliOutput& output) {
  output.out << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}
